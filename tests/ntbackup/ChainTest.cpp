// A tape restores every drive it holds by itself, whatever the mix of types,
// tapes and /A: each case runs day after day and restores each tape.
#include <sstream>

#include "ntbackup/ChainPlan.h"
#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

struct ChainCase {
    const char* name;
    const char* runs;                   // "I1" Incremental on tape 1; "N2a" Normal on tape 2 with /A
    std::map<int, std::string> kept;    // tape -> the set numbers left on it
};

class ChainRulesTest : public NtbackupTest, public ::testing::WithParamInterface<ChainCase> {
protected:
    // A day's work on drive c: something new, something changed, something gone,
    // beside what never changes and makes the full set the largest, as at home.
    void work(int day) {
        if (day == 1) writeFile(c() + "/holiday.jpg", std::string(100000, 'p'));
        writeFile(c() + "/day " + std::to_string(day), std::to_string(day));
        fs::create_directories(c() + "/docs");
        writeFile(c() + "/docs/letter", "version " + std::to_string(day));
        fs::remove(c() + "/day " + std::to_string(day - 2));
    }
};

TEST_P(ChainRulesTest, EachTapeRestoresTheDriveAsItsLastRunSawIt) {
    std::map<int, std::map<std::string, std::string>> expected;  // tape -> the tree its last run saw
    std::istringstream runs(GetParam().runs);
    int day = 0;
    for (std::string run_; runs >> run_;) {
        work(++day);
        const int tapeNumber = run_[1] - '0';
        const std::string line = "c: /T " + std::string(typeName(*typeFromName(std::string(1, run_[0]) == "N"   ? "normal"
                                                                             : run_[0] == 'I' ? "incremental"
                                                                             : run_[0] == 'D' ? "differential"
                                                                             : run_[0] == 'Y' ? "daily"
                                                                                              : "copy"))) +
                                 " /tape:" + std::to_string(tapeNumber) + (run_.size() > 2 ? " /A" : "");
        const RunResult r = run(line);
        ASSERT_EQ(r.status, 0) << line << ": " << r.text;
        expected[tapeNumber] = treeOf(c());
    }
    for (const auto& [tapeNumber, tree] : expected) {
        SCOPED_TRACE("tape " + std::to_string(tapeNumber));
        std::string numbers;
        for (const auto& s : sets(tapeNumber)) numbers += (numbers.empty() ? "" : " ") + std::to_string(s.number);
        EXPECT_EQ(numbers, GetParam().kept.at(tapeNumber));
        const std::string target = tmp / ("restored-" + std::to_string(tapeNumber));
        const RunResult r = run("Restore /tape:" + std::to_string(tapeNumber) + " c: \"" + target + "\"");
        ASSERT_EQ(r.status, 0) << r.text;
        EXPECT_EQ(treeOf(target), tree);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Mixes, ChainRulesTest,
    ::testing::Values(
        ChainCase{"TheDefaultsDayAfterDay", "I1 I1 I1 I1 I1", {{1, "1 2 3 4 5"}}},
        ChainCase{"DifferentialsReplaceEachOther", "N1 I1 D1 D1 I1", {{1, "1 2 5"}}},
        ChainCase{"DailiesStackACopyStandsAlone", "N1 Y1 Y1 C1", {{1, "4"}}},
        ChainCase{"DailyOnTopOfAnIncremental", "N1 I1 Y1", {{1, "1 2 3"}}},
        ChainCase{"AppendKeepsEverySet", "N1a I1a D1a Y1a C1a I1a", {{1, "1 2 3 4 5 6"}}},
        ChainCase{"ACopyTookTheFullSetAway", "N1 C1 I1", {{1, "3"}}},
        ChainCase{"RotationNormalOnOneIncrementalsOnTwo", "N1 I2 I2 N1 I2", {{1, "2"}, {2, "3"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NtbackupTest, AChainThatIsNotWholeOnItsTapeIsStartedAgainAndSaysWhy) {
    const struct {
        const char* why;
        std::function<void()> breakIt;
        std::string note;
    } cases[] = {
        {"damaged full set",
         [&] { fs::resize_file(Tape(tape(), 1).setFolder(1) + "/c.tar", 1024); },
         "Tape 1 holds no full backup of c:, so this run takes every file."},
        {"lost Incremental",
         [&] { fs::remove_all(Tape(tape(), 1).setFolder(2)); },
         "Set 2 of the chain of c: on tape 1 is missing or damaged, so this run takes every file."},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.why);
        fs::remove_all(data());
        writeFile(c() + "/a", k.why);
        ASSERT_EQ(run("c: /T Incremental /A").status, 0);
        ASSERT_EQ(run("c: /T Incremental /A").status, 0);
        k.breakIt();
        ASSERT_EQ(run("c: /T Incremental").status, 0);
        EXPECT_EQ(observer.notices, (std::vector<std::string>{k.note}));
        EXPECT_EQ(sets().back().notes, (std::vector<std::string>{k.note}));
        EXPECT_TRUE(sets().back().archiveOf("c")->chain.empty());
        EXPECT_NE(readFile(tape() + "/catalog.txt").find("  Note:        " + k.note + "\n"), std::string::npos);
        EXPECT_EQ(sets().size(), 1u);  // the broken chain is gone with the replace
        const std::string target = tmp / "restored";
        fs::remove_all(target);
        ASSERT_EQ(run("Restore /tape:1 c: \"" + target + "\"").status, 0);
        EXPECT_EQ(treeOf(target), treeOf(c()));
    }
}

TEST_F(NtbackupTest, AChainOfThirtySetsIsStartedAgainSoRestoreStaysShort) {
    writeFile(c() + "/holiday.jpg", std::string(100000, 'p'));
    for (int day = 1; day <= 31; ++day) {
        writeFile(c() + "/day", std::to_string(day));
        ASSERT_EQ(run("c: /T Incremental").status, 0);
    }
    const auto left = sets();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].number, 31);
    EXPECT_EQ(left[0].notes, (std::vector<std::string>{
                                 "The chain of c: on tape 1 holds 30 sets, so this run takes every file and starts a new one."}));
}

TEST(ChainPlan, IncrementalsOutweighingTheirFullSetStartANewChainOnlyWhenReplacing) {
    std::vector<BackupSet> sets(3);
    for (int k = 0; k < 3; ++k) {
        sets[k].number = k + 1;
        ArchiveEntry a;
        a.drive = "c";
        a.chainKnown = true;
        a.bytes = k == 0 ? 100 : 60;
        sets[k].archives.push_back(a);
    }
    const MarkChain mark{1, {1, 2, 3}};
    const auto whole = [](const BackupSet&, const ArchiveEntry&) { return true; };
    const DrivePlan replace = planDrive(BackupType::Incremental, false, 'c', 1, mark, sets, whole);
    EXPECT_FALSE(replace.buildsOnChain);
    EXPECT_EQ(replace.note, "The changes kept for c: on tape 1 outweigh its full backup, so this run takes every file "
                            "and starts a new one.");
    const DrivePlan append = planDrive(BackupType::Incremental, true, 'c', 1, mark, sets, whole);
    EXPECT_TRUE(append.buildsOnChain);
    EXPECT_EQ(append.chain, (std::vector<int>{1, 2, 3}));
}

}  // namespace
}  // namespace kelvaro::ntbackup::test

namespace kelvaro::ntbackup::test {
namespace {

// A week with the program's defaults (Incremental, no /A, tape 1) on a USB disk:
// unplugged one day, full the next, then a restore of the whole drive and of
// one file as it was mid-week.
TEST_F(NtbackupTest, AWeekOfDefaultRunsThroughAnUnpluggedAndAFullDiskStillRestores) {
    fs::create_directories(data() + "/tapes");
    fs::create_directories(tmp / "usb");
    fs::create_directory_symlink(tmp / "usb", tape());
    writeFile(c() + "/photos", std::string(100000, 'p'));  // what a home holds and never changes
    std::time_t today = 1796900000;  // 19:00 each day
    clock = [&] { return today; };
    std::map<std::string, std::string> wednesday;
    for (int day = 1; day <= 7; ++day, today += 86400) {
        SCOPED_TRACE("day " + std::to_string(day));
        writeFile(c() + "/diary", "day " + std::to_string(day));
        writeFile(c() + "/day " + std::to_string(day), "new");
        const std::string line = "c: /T Incremental /HC:off /D \"Kelvaro Tape\" /tape:1";
        if (day == 3) fs::rename(tmp / "usb", tmp / "usb-away");
        if (day == 4) tar.rewrite = [](std::vector<std::string>& a) {
            for (auto& x : a)
                if (a[0] == "--create" && x.starts_with("--file=") && x != "--file=/dev/null") x = "--file=/dev/full";
        };
        const RunResult r = run(line);
        if (day == 3 || day == 4) {
            EXPECT_EQ(r.status, 2) << "a failed run is told, and keeps nothing";
            EXPECT_EQ(r.text.rfind("Backup failed: ", 0), 0u) << r.text;
        } else {
            EXPECT_EQ(r.status, 0) << r.text;
        }
        if (day == 3) fs::rename(tmp / "usb-away", tmp / "usb");
        tar.rewrite = nullptr;
        if (day == 5) wednesday = treeOf(c());
    }
    EXPECT_EQ(sets().size(), 5u);  // days 1, 2, 5, 6, 7: one chain
    const std::string target = tmp / "a week later";
    ASSERT_EQ(run("Restore /tape:1 c: \"" + target + "\"").status, 0);
    EXPECT_EQ(treeOf(target), treeOf(c()));
    const std::string one = tmp / "one file";
    ASSERT_EQ(run("Restore /tape:1 /set:3 \"c:\\diary\" \"" + one + "\"").status, 0);
    EXPECT_EQ(readFile(one + "/diary"), wednesday.at("diary"));
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
