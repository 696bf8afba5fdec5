#include "ntbackup/Verify.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>

#include "ntbackup/FileIndex.h"
#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kModTime = ": Mod time differs";

// Whether the file's modification time, to the second, is what the index holds.
bool sameSecond(const std::string& folder, const std::string& path, const std::map<std::string, std::int64_t>& seconds) {
    const auto it = seconds.find(path);
    if (it == seconds.end()) return false;
    std::error_code ec;
    const auto t = fs::last_write_time(folder + "/" + path, ec);
    if (ec) return false;
    const auto s = std::chrono::floor<std::chrono::seconds>(std::chrono::file_clock::to_sys(t));
    return s.time_since_epoch().count() == it->second;
}

}  // namespace

void verifyArchive(const VerifyWork& w, TarRunner& tar, const std::atomic<bool>& cancel,
                   const std::function<void(const std::string&)>& difference) {
    std::vector<std::string> args{"--compare", "--file=" + w.archive, "--directory=" + w.folder, "--no-wildcards",
                                  "--anchored"};
    for (const auto& x : w.exclusions) args.push_back("--exclude=" + x);
    std::optional<std::map<std::string, std::int64_t>> seconds;  // read when first needed
    int told = 0;
    const auto report = [&](const std::string& line) {
        const TarNote note = classifyTarError(line, "");
        if (note.text.find("Exiting with failure status") != std::string::npos) return;
        if (note.text.ends_with(kModTime) && !w.index.empty()) {
            if (!seconds) {
                seconds.emplace();
                readIndexFile(w.index, [&](const IndexEntry& e) {
                    (*seconds)[e.path] = e.mtime;
                    return true;
                }, true);
            }
            std::string name = unescapeTarName(note.text.substr(0, note.text.size() - std::string(kModTime).size()));
            if (name.starts_with("./")) name.erase(0, 2);
            if (sameSecond(w.folder, name, *seconds)) return;
        }
        ++told;
        difference("verify: " + note.text);
    };
    const auto outcome = tar.run(args, report, report, cancel);
    if (!outcome.started) difference("verify: tar cannot be started: " + outcome.startError);
    else if (outcome.exitStatus >= 2 && told == 0 && !outcome.cancelled)
        difference("verify: the archive cannot be read back (tar status " + std::to_string(outcome.exitStatus) + ")");
}

}  // namespace kelvaro::ntbackup
