#include "ntbackup/Verify.h"

#include <chrono>
#include <filesystem>

#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

namespace fs = std::filesystem;

namespace {

constexpr const char* kModTime = ": Mod time differs";

// Whether the file has a fraction of a second and was last changed no later than the second the run began in.
bool onlyTheFractionDiffers(const std::string& file, std::time_t start) {
    std::error_code ec;
    const auto t = fs::last_write_time(file, ec);
    if (ec) return false;
    const auto since = std::chrono::file_clock::to_sys(t).time_since_epoch();
    const auto whole = std::chrono::floor<std::chrono::seconds>(since);
    return whole.count() <= start && since != whole;
}

}  // namespace

void verifyArchive(const VerifyWork& w, TarRunner& tar, const std::atomic<bool>& cancel,
                   const std::function<void(const std::string&)>& difference) {
    std::vector<std::string> args{"--compare", "--file=" + w.archive, kRecordOption, "--directory=" + w.folder, "--no-wildcards",
                                  "--anchored"};
    for (const auto& x : w.exclusions) args.push_back("--exclude=" + x);
    int told = 0;
    const auto report = [&](const std::string& line) {
        const TarNote note = classifyTarError(line, "");
        if (note.text.find("Exiting with failure status") != std::string::npos) return;
        if (note.text.ends_with(kModTime)) {
            const std::string name = unescapeTarName(note.text.substr(0, note.text.size() - std::string(kModTime).size()));
            if (onlyTheFractionDiffers(w.folder + "/" + name, w.runStart)) return;
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
