#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

// Names that break naive tools: blanks, quotes, a newline, non-ASCII.
void makeAwkwardTree(const std::string& root) {
    fs::create_directories(root + "/with blank/empty folder");
    fs::create_directories(root + "/Ünïcødé ordner");
    writeFile(root + "/with blank/say \"hi\".txt", "quoted");
    writeFile(root + "/line\nbreak", "newline in the name");
    writeFile(root + "/Ünïcødé ordner/größe.bin", std::string("\0\1\2binary", 9));
    writeFile(root + "/stays", "unchanged");
    writeFile(root + "/goes", "deleted later");
    fs::create_symlink("with blank/say \"hi\".txt", root + "/link");
}

class RestoreChainTest : public NtbackupTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(RestoreChainTest, RestoredTreeEqualsTheSourceAfterChangesAndDeletions) {
    const std::string type = GetParam();
    makeAwkwardTree(c());
    ASSERT_EQ(run("c: /T Normal /tape:3").status, 0);
    writeFile(c() + "/with blank/say \"hi\".txt", "changed");
    writeFile(c() + "/new file", "new");
    ASSERT_EQ(run("c: /A /T " + type + " /tape:3").status, 0);
    fs::remove(c() + "/goes");
    fs::remove_all(c() + "/Ünïcødé ordner");
    ASSERT_EQ(run("c: /A /HC:on /T " + type + " /tape:3").status, 0);

    const std::string target = tmp / "restored";
    const RunResult r = run("Restore /tape:3 c: \"" + target + "\"");
    ASSERT_EQ(r.status, 0) << r.text;
    EXPECT_EQ(treeOf(target), treeOf(c()));
    // The chain: Normal, then every Incremental, or the last Differential only.
    std::vector<std::string> restored;
    for (const auto& p : observer.phases) restored.push_back(p.substr(p.find("set ")));
    const std::vector<std::string> expected =
        type == "Incremental"
            ? std::vector<std::string>{"set 1 (Normal)", "set 2 (Incremental)", "set 3 (Incremental)"}
            : std::vector<std::string>{"set 1 (Normal)", "set 3 (Differential)"};
    EXPECT_EQ(restored, expected);

    // An earlier set: the tree as it stood then, "goes" still there.
    const std::string earlier = tmp / "earlier";
    ASSERT_EQ(run("Restore /tape:3 /set:2 c: \"" + earlier + "\"").status, 0);
    EXPECT_EQ(readFile(earlier + "/goes"), "deleted later");
    EXPECT_EQ(readFile(earlier + "/new file"), "new");
}
INSTANTIATE_TEST_SUITE_P(Types, RestoreChainTest, ::testing::Values("Incremental", "Differential"));

TEST(RestoreChain, LastNormalThenIncrementalsThenTheLastDifferentialAfterThem) {
    const auto chainOf = [](const std::string& types) {
        std::vector<BackupSet> sets;
        for (char t : types) {
            BackupSet s;
            s.number = static_cast<int>(sets.size()) + 1;
            s.type = t == 'N' ? BackupType::Normal : t == 'I' ? BackupType::Incremental : t == 'D' ? BackupType::Differential
                   : t == 'C' ? BackupType::Copy : BackupType::Daily;
            sets.push_back(s);
        }
        std::string numbers;
        for (const auto& s : restoreChain(sets)) numbers += std::to_string(s.number);
        return numbers;
    };
    EXPECT_EQ(chainOf("NIDID"), "1245");
    EXPECT_EQ(chainOf("NIDI"), "124");
    EXPECT_EQ(chainOf("INDD"), "24");
    EXPECT_EQ(chainOf("NICI"), "124");
    EXPECT_EQ(chainOf("NIC"), "3");
    EXPECT_EQ(chainOf("NIY"), "123");
    EXPECT_EQ(chainOf("ID"), "12");  // no Normal: what there is, with a warning from the restore
}

TEST_F(NtbackupTest, RestoreRefusesAFolderThatIsNotEmptyUnlessToldToOverwrite) {
    writeFile(c() + "/a", "a");
    ASSERT_EQ(run("c: /T Normal").status, 0);
    const std::string target = tmp / "busy";
    fs::create_directories(target);
    writeFile(target + "/mine", "x");
    const RunResult refused = run("Restore /tape:1 c: \"" + target + "\"");
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.text.rfind("Restore failed: " + target + " is not empty.", 0), 0u);
    EXPECT_TRUE(fs::exists(target + "/mine"));
    ASSERT_EQ(run("Restore /tape:1 c: \"" + target + "\" /overwrite").status, 0);
    EXPECT_EQ(treeOf(target), treeOf(c())) << "made equal to the backup: \"mine\" is gone, nothing is left over";
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
