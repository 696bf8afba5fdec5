#include "ntbackup/PlaceRestore.h"
#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

TEST(PlaceRestore, KeepBothNamesTheRestoredFileByTheDayBeforeItsExtension) {
    const std::time_t day = 1796900000;  // 2026-12-09 or -10, local
    std::tm tm {};
    localtime_r(&day, &tm);
    char date[16];
    std::strftime(date, sizeof date, "%Y-%m-%d", &tm);
    const std::string d = date;
    EXPECT_EQ(keptBothName("docs/letter.txt", day), "docs/letter (restored " + d + ").txt");
    EXPECT_EQ(keptBothName("docs/archive.tar.gz", day), "docs/archive.tar (restored " + d + ").gz");
    EXPECT_EQ(keptBothName("v1.2/.bashrc", day), "v1.2/.bashrc (restored " + d + ")");
    EXPECT_EQ(keptBothName("notes", day), "notes (restored " + d + ")");
}

TEST(PlaceRestore, EachAnswerToAClashDoesWhatItSaysAndNothingIsLeftBehind) {
    const std::time_t backupTime = 1780000000;
    const struct {
        ClashAnswer answer;
        bool existingIsNewer;
        const char* letter;       // what docs/letter holds afterwards
        bool keptBoth;            // the backup's copy is there under its restored name
        std::size_t restored, kept;
    } cases[] = {
        {ClashAnswer::Replace, true, "backup", false, 2, 0},
        {ClashAnswer::KeepNewer, true, "mine", false, 1, 1},
        {ClashAnswer::KeepNewer, false, "backup", false, 2, 0},
        {ClashAnswer::KeepBoth, true, "mine", true, 2, 0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(static_cast<int>(k.answer) * 10 + k.existingIsNewer);
        testsupport::TempFolder folder;
        const std::string staging = folder.path() + "/staging", target = folder.path() + "/target";
        fs::create_directories(staging + "/docs");
        fs::create_directories(target + "/docs");
        writeFile(staging + "/docs/letter", "backup");
        writeFile(staging + "/docs/new", "new");
        fs::create_directories(staging + "/deep/notes");
        writeFile(target + "/docs/letter", "mine");
        const auto at = [](std::time_t t) {
            return std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(t));
        };
        fs::last_write_time(target + "/docs/letter", at(k.existingIsNewer ? backupTime + 60 : backupTime - 60));
        std::map<std::string, Version> wanted;
        wanted["docs"] = {1, {"docs", MemberKind::Directory, 0, backupTime, "", false}};
        wanted["docs/letter"] = {1, {"docs/letter", MemberKind::File, 6, backupTime, "", false}};
        wanted["docs/new"] = {1, {"docs/new", MemberKind::File, 3, backupTime, "", false}};
        wanted["deep/notes"] = {1, {"deep/notes", MemberKind::Directory, 0, backupTime, "", false}};  // without "deep"
        EXPECT_EQ(clashesOf(wanted, target), (std::vector<std::string>{"docs/letter"}));

        std::vector<std::string> failures;
        const PlaceCounts c = placeFiles(wanted, staging, target, k.answer, backupTime, [] { return false; },
                                         [&](const std::string& t) { failures.push_back(t); });
        EXPECT_TRUE(failures.empty());
        EXPECT_EQ(readFile(target + "/docs/letter"), k.letter);
        EXPECT_EQ(readFile(target + "/docs/new"), "new");
        EXPECT_TRUE(fs::is_directory(target + "/deep/notes"));
        EXPECT_EQ(fs::exists(target + "/" + keptBothName("docs/letter", backupTime)), k.keptBoth);
        EXPECT_EQ(c.restored, k.restored);
        EXPECT_EQ(c.kept, k.kept);
        EXPECT_EQ(fs::last_write_time(target + "/docs"), at(backupTime)) << "the folder's time, set last";
        std::size_t left = 0;
        for (auto it = fs::recursive_directory_iterator(target); it != fs::recursive_directory_iterator(); ++it)
            left += it->path().filename().string().find("kelvaro") != std::string::npos;
        EXPECT_EQ(left, 0u);
    }
    EXPECT_EQ(summaryText({12, 2}), "12 files restored, 2 kept as they were");
    EXPECT_EQ(summaryText({1, 0}), "1 file restored");
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
