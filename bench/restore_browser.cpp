// The Restore window's core on a big tape: a chain of a full set and 29
// Incrementals over a drive of 200 000 files, written as the program writes its
// indexes (no archives: browsing reads the indexes only). Prints the time to
// show the tree after choosing the newest set, to search, and to list one
// file's versions. Usage: bench_restore_browser [FILES] [SETS]
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "ntbackup/BackupSet.h"
#include "ntbackup/FileIndex.h"
#include "ntbackup/RestoreBrowser.h"
#include "ntbackup/Tape.h"
#include "ntbackup/posix/ProcessTarRunner.h"

using namespace kelvaro::ntbackup;
namespace fs = std::filesystem;

namespace {

std::string fileName(int i) {
    char name[96];
    std::snprintf(name, sizeof name, "folder %04d/sub %d/document number %05d.txt", i / 100, i % 100 / 34, i);
    return name;
}

void writeTape(const std::string& folder, int files, int sets) {
    fs::create_directories(folder);
    const Tape tape(folder, 1);
    for (int k = 1; k <= sets; ++k) {
        const std::string setFolder = tape.setFolder(k);
        fs::create_directories(setFolder);
        IndexWriter index;
        index.open(setFolder + "/c.idx");
        std::string lastFolder;
        for (int i = 0; i < files; ++i) {
            const std::string path = fileName(i);
            const std::string dir = path.substr(0, path.rfind('/'));
            if (dir != lastFolder) {  // every folder is in every archive, as tar's incrementals have it
                for (const std::string& d : {dir.substr(0, dir.find('/')), dir})
                    index.member({true, 0, MemberKind::Directory, d, "", 1780000000});
                lastFolder = dir;
            }
            const bool changed = k == 1 || i % 2000 == k;  // 100 files a day
            if (changed) index.member({false, 1000u + static_cast<unsigned>(i % 5000), MemberKind::File, path, "", 1780000000 + k});
            else index.unchanged(path);
        }
        index.close();
        BackupSet s;
        s.number = k;
        s.date = "2026-12-" + std::to_string(10 + k % 18) + " 19:00:00";
        s.type = k == 1 ? BackupType::Normal : BackupType::Incremental;
        ArchiveEntry a{"c", "c.tar", "/home/alice", k > 1, 0, 0, true, {}, 0, true};
        for (int j = 1; j < k; ++j) a.chain.push_back(j);
        s.archives.push_back(a);
        std::ofstream(setFolder + "/set.txt") << formatSetFile(s);
    }
}

double seconds(const std::chrono::steady_clock::time_point& from) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 200000, sets = argc > 2 ? std::atoi(argv[2]) : 30;
    const fs::path root = fs::temp_directory_path() / ("kelvaro-bench-browser-" + std::to_string(::getpid()));
    auto t = std::chrono::steady_clock::now();
    writeTape((root / "1").string(), files, sets);
    std::printf("tape of %d sets over %d files written in %.2f s; index of the full set %.1f MB\n", sets, files,
                seconds(t), fs::file_size(root / "1/set-0001/c.idx") / 1e6);

    ProcessTarRunner tar;
    std::atomic<bool> cancel{false};
    {
        const Tape tape((root / "1").string(), 1);
        t = std::chrono::steady_clock::now();
        const auto state = chainState(tape.sets(), "c", "", ArchiveEntries(tape, tar, cancel));
        std::printf("the chain merged alone: %zu entries in %.3f s\n", state.entries.size(), seconds(t));
    }
    RestoreBrowser browser(root.string(), tar, cancel);
    t = std::chrono::steady_clock::now();
    browser.chooseTape(1);
    const std::string error = browser.choose(sets, "c");
    const auto& top = browser.children("");
    std::printf("tree as of set %d: %zu rows, %zu at the top, in %.3f s%s\n", sets, browser.size(), top.size(),
                seconds(t), error.empty() ? "" : (" (" + error + ")").c_str());
    t = std::chrono::steady_clock::now();
    const auto found = browser.search("number 0012");
    std::printf("search: %zu results in %.3f s\n", found.size(), seconds(t));
    t = std::chrono::steady_clock::now();
    const auto versions = browser.versions(fileName(2005));
    std::printf("versions of one file: %zu in %.3f s\n", versions.size(), seconds(t));
    fs::remove_all(root);
    return error.empty() ? 0 : 1;
}
