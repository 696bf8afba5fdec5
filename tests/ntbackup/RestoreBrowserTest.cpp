// The drive as the Restore window shows it: the chain merged, real tar.
#include "ntbackup/RestoreBrowser.h"
#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

class BrowserTest : public NtbackupTest {
protected:
    RestoreBrowser browser{data() + "/tapes", tar, cancel};
    std::string names(const std::string& folder) {
        std::string out;
        for (auto i : browser.children(folder)) out += browser.row(i).name + (browser.row(i).folder() ? "/ " : " ");
        return out;
    }
};

TEST_F(BrowserTest, TheDriveAsOfEachSetMergesChangesDeletionsReCreationsAndAFolderThatBecameAFile) {
    fs::create_directories(c() + "/docs");
    fs::create_directories(c() + "/was folder");
    writeFile(c() + "/docs/letter", "1");
    writeFile(c() + "/docs/gone", "1");
    writeFile(c() + "/back again", "1");
    writeFile(c() + "/was folder/inside", "1");
    ASSERT_EQ(run("c: /T Normal /A").status, 0);
    writeFile(c() + "/docs/letter", "22");
    fs::remove(c() + "/docs/gone");
    fs::remove(c() + "/back again");
    fs::remove_all(c() + "/was folder");
    writeFile(c() + "/was folder", "now a file");
    ASSERT_EQ(run("c: /T Incremental /A").status, 0);
    writeFile(c() + "/back again", "333");
    ASSERT_EQ(run("c: /T Differential /A").status, 0);

    ASSERT_EQ(browser.tapes().size(), 1u);
    EXPECT_EQ(browser.tapes()[0].sets, 3u);
    browser.chooseTape(1);
    ASSERT_EQ(browser.sets().front().number, 3) << "newest first";
    EXPECT_EQ(browser.drivesOf(3), (std::vector<std::string>{"c"}));

    const struct {
        int set;
        std::string top, docs;
        std::uint64_t letterSize;
    } asOf[] = {
        {1, "docs/ was folder/ back again ", "gone letter ", 1},
        {2, "docs/ was folder ", "letter ", 2},
        {3, "docs/ back again was folder ", "letter ", 2},
    };
    for (const auto& a : asOf) {
        SCOPED_TRACE(a.set);
        ASSERT_EQ(browser.choose(a.set, "c"), "");
        EXPECT_EQ(names(""), a.top);
        EXPECT_EQ(names("docs"), a.docs);
        EXPECT_EQ(browser.row(*browser.find("docs/letter")).version.entry.size, a.letterSize);
    }
    EXPECT_EQ(browser.row(*browser.find("back again")).version.set, 3);
    const auto found = browser.search("LETT");
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(browser.row(found[0]).path, "docs/letter");
    std::vector<int> versionSets;
    for (const auto& v : browser.versions("docs/letter")) versionSets.push_back(v.set->number);
    EXPECT_EQ(versionSets, (std::vector<int>{1, 2}));
}

TEST_F(BrowserTest, AFoldersTickTakesWhatIsBelowUntilARowBelowSaysOtherwise) {
    fs::create_directories(c() + "/docs/old");
    writeFile(c() + "/docs/a", "a");
    writeFile(c() + "/docs/old/b", "b");
    writeFile(c() + "/top", "t");
    ASSERT_EQ(run("c: /T Normal").status, 0);
    writeFile(c() + "/docs/a", "aa");
    ASSERT_EQ(run("c: /T Incremental").status, 0);
    browser.chooseTape(1);
    ASSERT_EQ(browser.choose(2, "c"), "");

    browser.tick("docs", true);
    browser.tick("docs/old/b", false);
    EXPECT_TRUE(browser.partlyTicked("docs"));
    EXPECT_TRUE(browser.ticked("docs/a"));
    browser.pickVersion("docs/a", 1);
    auto chosen = browser.selection();
    std::string paths;
    for (const auto& [p, v] : chosen) paths += p + "@" + std::to_string(v.set) + " ";
    EXPECT_EQ(paths, "docs@2 docs/a@1 docs/old@2 ");
    EXPECT_EQ(chosen.at("docs/a").entry.size, 1u) << "the version picked, not the newest";

    browser.tick("docs", false);  // what lay below follows the folder again
    EXPECT_FALSE(browser.partlyTicked("docs"));
    EXPECT_TRUE(browser.selection().empty());
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
