// The names a snapshot says a run left out, read in large pieces: a name cut by
// the end of a piece comes whole, and a damaged snapshot says where.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "ntbackup/SnapshotFile.h"

namespace kelvaro::ntbackup::test {
namespace {

namespace fs = std::filesystem;

std::string field(const std::string& s) { return s + '\0'; }

class SnapshotFileTest : public ::testing::Test {
protected:
    void TearDown() override { fs::remove(file); }
    std::string read(const std::string& bytes, std::vector<std::string>& names) {
        std::ofstream(file, std::ios::binary) << bytes;
        return unchangedNames(file, [&](const std::string& n) { names.push_back(n); });
    }
    std::string file = (fs::temp_directory_path() / ("kelvaro-snapshot-" + std::to_string(::getpid()))).string();
};

TEST_F(SnapshotFileTest, EveryUnchangedNameOfEveryFolderComesWholeAcrossThePiecesItIsReadIn) {
    // 5000 names of 301 bytes: 1.5 MB, beyond one piece, names cut anywhere.
    std::string bytes = "GNU tar-1.34-2\n" + field("1796900000") + field("5");
    bytes += field("0") + field("1") + field("2") + field("3") + field("4") + field(".");
    bytes += field("Dd") + field("Ytop") + field("Nkept") + field("");
    bytes += field("0") + field("1") + field("2") + field("3") + field("4") + field("./d");
    std::vector<std::string> expected{"kept"};
    for (int i = 0; i < 5000; ++i) {
        const std::string name = std::to_string(i) + std::string(300 - std::to_string(i).size(), 'x') + "y";
        bytes += field((i % 3 ? "N" : "Y") + name);
        if (i % 3) expected.push_back("d/" + name);
    }
    bytes += field("");
    std::vector<std::string> names;
    EXPECT_EQ(read(bytes, names), "");
    EXPECT_EQ(names, expected);
}

TEST_F(SnapshotFileTest, ASnapshotCutShortSaysWhere) {
    std::vector<std::string> names;
    const std::string head = "GNU tar-1.34-2\n" + field("1796900000") + field("5");
    EXPECT_EQ(read(head + field("0") + field("1") + field("2") + field("3") + field("4") + field("./d") + field("Na"),
                   names),
              "the contents of ./d are cut short");
    EXPECT_EQ(read("GNU tar-1.34-1\n", names), "not a snapshot of format 2");
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
