#include "ntbackup/FileIndex.h"
#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

using Names = std::vector<std::string>;

TEST_F(NtbackupTest, EachTypeTakesWhatItShouldAndMovesTheMarkOnlyForNormalAndIncremental) {
    writeFile(c() + "/old", "1");
    writeFile(c() + "/changed", "1");
    age(c() + "/old", 2);
    age(c() + "/changed", 2);
    const std::string base = "c: /tape:1 /A /T ";

    ASSERT_EQ(run(base + "Incremental").status, 0);  // no mark yet: everything
    EXPECT_EQ(filesIn(sets().back(), "c"), (Names{"./changed", "./old"}));
    const std::string afterFirst = markOf('c');

    writeFile(c() + "/changed", "2");
    writeFile(c() + "/new", "3");
    const struct {
        const char* type;
        Names files;
        bool movesMark;
    } runs[] = {
        {"Differential", {"./changed", "./new"}, false},
        {"Copy", {"./changed", "./new", "./old"}, false},
        {"Daily", {"./changed", "./new"}, false},  // "old" was last modified two days ago
        {"Incremental", {"./changed", "./new"}, true},
        {"Incremental", {}, true},  // nothing changed since
        {"Normal", {"./changed", "./new", "./old"}, true},
        {"Incremental", {}, true},  // the Normal's mark holds
    };
    std::string mark = afterFirst;
    for (const auto& r : runs) {
        SCOPED_TRACE(r.type);
        const RunResult result = run(base + r.type);
        ASSERT_EQ(result.status, 0) << result.text;
        EXPECT_EQ(sets().back().type, *typeFromName(r.type));
        EXPECT_EQ(filesIn(sets().back(), "c"), r.files);
        EXPECT_EQ(markOf('c') != mark, r.movesMark);
        mark = markOf('c');
    }
    EXPECT_EQ(sets().size(), 8u);
    EXPECT_NE(readFile(tape() + "/catalog.txt").find("Set 8\n  Date:"), std::string::npos);
}

TEST_F(NtbackupTest, ProgressFollowsTheArchiveAsItIsWrittenNeitherAheadOfItNorBehind) {
    constexpr std::uint64_t kAll = 40 * (256 << 10);
    for (int i = 0; i < 40; ++i) writeFile(c() + "/f" + std::to_string(i), std::string(256 << 10, 'x'));
    std::uint64_t reports = 0, ahead = 0, pastHalf = 0;
    observer.onProgress = [&](const Counts& done, const Counts&, bool) {
        if (done.bytes == 0 || done.bytes == kAll) return;
        ++reports;
        // What a checkpoint says is done is in the archive already.
        std::error_code ec;
        if (done.bytes > fs::file_size(tape() + "/.incomplete/c.tar", ec)) ++ahead;
        if (done.bytes * 2 >= kAll) ++pastHalf;
    };
    ASSERT_EQ(run("c: /T Normal /tape:1").status, 0);
    EXPECT_GE(reports, 3u);
    EXPECT_EQ(ahead, 0u);
    EXPECT_GE(pastHalf, 1u) << "the counts lag behind the archive";
}

TEST_F(NtbackupTest, ACancelledRunKeepsNoSetMovesNoMarkAndReplacesNothing) {
    writeFile(c() + "/a", "a");
    writeFile(d() + "/b", "b");
    ASSERT_EQ(run("c: d: /T Normal /tape:1").status, 0);
    const std::string markC = markOf('c'), markD = markOf('d');
    writeFile(c() + "/a", "changed");

    // Cancel as the second drive starts: drive c: is already in the new set.
    int creates = 0;
    tar.before = [&](const std::vector<std::string>& args) {
        if (args[1] != "--file=/dev/null" && args[0] == "--create" && ++creates == 2) cancel = true;
    };
    const RunResult r = run("c: d: /T Normal /tape:1 /L \"C:\\run.log\"");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.text, "Backup cancelled.");
    EXPECT_EQ(markOf('c'), markC);
    EXPECT_EQ(markOf('d'), markD);
    ASSERT_EQ(sets().size(), 1u);  // the old set, still whole
    EXPECT_EQ(sets()[0].number, 1);
    EXPECT_FALSE(fs::exists(tape() + "/.incomplete"));
    EXPECT_NE(readFile(c() + "/run.log").find("Result: Backup cancelled. Nothing was kept and no mark was changed."),
              std::string::npos);
}

TEST_F(NtbackupTest, WithoutAppendTheNewSetReplacesTheTapeWithAppendItIsAdded) {
    writeFile(c() + "/a", "a");
    const RunResult first = run("c: /T Normal /tape:2");
    ASSERT_EQ(first.status, 0) << first.text;
    ASSERT_EQ(run("c: /T Normal /tape:2 /A").status, 0);
    EXPECT_EQ(sets(2).size(), 2u);
    ASSERT_EQ(run("c: /T Copy /tape:2").status, 0);
    ASSERT_EQ(sets(2).size(), 1u);
    EXPECT_EQ(sets(2)[0].number, 3);
    EXPECT_TRUE(sets(1).empty());
}

TEST_F(NtbackupTest, ATapeLinkedToAnotherDiskIsFollowedAndAMissingOneIsSaid) {
    writeFile(c() + "/a", "a");
    fs::create_directories(data() + "/tapes");
    fs::create_directories(tmp / "usb");
    fs::create_directory_symlink(tmp / "usb", tape(4));
    ASSERT_EQ(run("c: /T Normal /tape:4").status, 0);
    EXPECT_TRUE(fs::exists(tmp / "usb/set-0001/c.tar"));
    fs::create_directory_symlink(tmp / "unmounted", tape(5));
    const RunResult r = run("c: /T Normal /tape:5");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.text, "Backup failed: The tape folder " + tape(5) + " is a link to " + (tmp / "unmounted").string() +
                          ", which is not there: is the disk or network share mounted?");
}

TEST_F(NtbackupTest, VerifyCatchesAnArchiveDamagedAfterWritingAndKeepsTheOldSets) {
    std::string data(200000, 'x');
    writeFile(c() + "/big", data);
    ASSERT_EQ(run("c: /T Normal /V").status, 0);
    tar.before = [&](const std::vector<std::string>& args) {
        if (args[0] != "--compare") return;
        const std::string archive = args[1].substr(std::string("--file=").size());
        std::fstream f(archive, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(100000);
        f << "DAMAGED";
    };
    const RunResult r = run("c: /T Normal /V");
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(observer.exceptions.size(), 1u);
    EXPECT_EQ(observer.exceptions[0], "c: verify: ./big: Contents differ");
    EXPECT_EQ(sets().size(), 2u);  // not replaced: the new set does not match the files
}

TEST_F(NtbackupTest, FullDetailLogsEveryFileExceptionsOnlyLogsNone) {
    writeFile(c() + "/kept file", "k");
    ASSERT_EQ(run("c: e: /T Normal /L \"D:\\full.log\"").status, 1);  // e: has no link
    ASSERT_EQ(run("c: e: /T Normal /L \"D:\\short.log\" /E").status, 1);
    const std::string full = readFile(d() + "/full.log"), brief = readFile(d() + "/short.log");
    for (const std::string& log : {full, brief}) {
        EXPECT_NE(log.find("Type: Normal   Description: \n"), std::string::npos);
        EXPECT_NE(log.find("Exception: Drive e: does not exist"), std::string::npos);
        EXPECT_NE(log.find("Totals: 1 files, 1 bytes in set"), std::string::npos);
        EXPECT_NE(log.find("Result: Backup done with 1 exception.\n"), std::string::npos);
    }
    EXPECT_NE(full.find(" ./kept file\n"), std::string::npos);
    EXPECT_EQ(brief.find("kept file"), std::string::npos);
}

TEST_F(NtbackupTest, ALogThatCannotBeWrittenIsSaidAndTheBackupStillRuns) {
    writeFile(c() + "/a", "a");
    const RunResult r = run("c: /T Normal /L \"C:\\no such folder\\x.log\"");
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(observer.notices.size(), 1u);
    EXPECT_EQ(observer.notices[0], "The log file C:\\no such folder\\x.log (" + c() +
                                       "/no such folder/x.log) cannot be written: No such file or directory. "
                                       "The backup goes on without a log.");
    EXPECT_EQ(sets().size(), 1u);
}

TEST_F(NtbackupTest, TheDataFolderIsPrivateAndRestrictMakesTheSetReadableByTheOwnerOnly) {
    writeFile(c() + "/a", "a");
    ASSERT_EQ(run("c: /T Normal /R").status, 0);
    EXPECT_EQ(testsupport::modeOf(data()), 0700u);
    const std::string folder = Tape(tape(), 1).setFolder(1);
    EXPECT_EQ(testsupport::modeOf(folder), 0700u);
    EXPECT_EQ(testsupport::modeOf(folder + "/c.tar"), 0600u);
}

TEST_F(NtbackupTest, RegistryAddsTheConfigurationFolderAsItsOwnArchive) {
    registry = tmp / "etc";
    fs::create_directories(registry);
    writeFile(registry + "/hosts", "127.0.0.1 localhost\n");
    writeFile(c() + "/a", "a");
    ASSERT_EQ(run("c: /B /HC:on /T Incremental").status, 0);
    const BackupSet set = sets().back();
    ASSERT_NE(set.archiveOf("registry"), nullptr);
    EXPECT_EQ(set.archiveOf("registry")->file, "registry.tar.zst");
    EXPECT_EQ(filesIn(set, "registry"), (Names{"./hosts"}));
}

}  // namespace
}  // namespace kelvaro::ntbackup::test

namespace kelvaro::ntbackup::test {
namespace {

TEST_F(NtbackupTest, ASecondRunOnTheSameTapeSaysItWaitsAndGoesOnOnceTheTapeIsFree) {
    writeFile(c() + "/a", "a");
    fs::create_directories(tape());
    FlockTapeLock other;
    std::atomic<bool> no{false};
    ASSERT_EQ(other.acquire(tape(), nullptr, no), "");
    std::thread release([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        other.release();
    });
    const RunResult r = run("c: /T Normal");
    release.join();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(observer.notices, std::vector<std::string>{"Tape 1 is in use by another backup run: waiting for it to end."});
    EXPECT_EQ(sets().size(), 1u);
}

TEST_F(NtbackupTest, AnIncrementalsIndexIsWholeBeforeItsArchiveIsWritten) {
    writeFile(c() + "/kept", "1");
    ASSERT_EQ(run("c: /T Normal /tape:1").status, 0);
    writeFile(c() + "/new", "2");
    // The archive tar waits (10 s at most) for the index to name the unchanged
    // file: an index finished only after its archive never would.
    bool whole = false;
    tar.before = [&](const std::vector<std::string>& args) {
        if (args.at(0) != "--create" || args.at(1) == "--file=/dev/null") return;
        for (int i = 0; i < 1000 && !whole; ++i) {
            readIndexFile(tape() + "/.incomplete/c.idx", [&](const IndexEntry& e) {
                whole = whole || (e.unchanged && e.path == "kept");
                return true;
            });
            if (!whole) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    ASSERT_EQ(run("c: /T Incremental /tape:1 /A").status, 0);
    EXPECT_TRUE(whole);
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
