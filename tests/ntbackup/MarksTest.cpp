// A finished run's snapshot becomes the drive's mark: moved when it sits on the
// marks' own disk, copied from another one, the same bytes either way.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "ntbackup/Marks.h"
#include "tests/linux/TempFolder.h"

namespace kelvaro::ntbackup::test {
namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::writeFile;

dev_t deviceOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_dev : 0;
}

TEST(MarksTest, TheRunsSnapshotBecomesTheMarkMovedFromBesideItCopiedFromAnotherDisk) {
    testsupport::TempFolder tmp;
    const std::string marksFolder = tmp.path() + "/marks";
    const struct {
        const char* where;
        std::string folder;
        bool left;  // the run's file is still there afterwards
    } cases[] = {
        {"beside the marks", marksFolder + "/.run-1", false},
        {"another disk", "/dev/shm", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        if (!c.left) fs::create_directories(c.folder);
        if (!fs::is_directory(c.folder) || (c.left && deviceOf(c.folder) == deviceOf(tmp.path()))) {
            std::printf("no %s here: not checked\n", c.where);
            continue;
        }
        const std::string snapshot = c.folder + "/kelvaro-marks-test-" + std::to_string(::getpid()) + ".snar";
        writeFile(snapshot, std::string("GNU tar-1.34-2\n") + c.where);
        const Marks marks(marksFolder);
        ASSERT_EQ(marks.set('c', "/home/me", snapshot, {1, {1, 2}}), "");
        ASSERT_EQ(marks.snapshot('c', "/home/me"), marksFolder + "/c.snar");
        EXPECT_EQ(readFile(marksFolder + "/c.snar"), std::string("GNU tar-1.34-2\n") + c.where);
        EXPECT_EQ(marks.chain('c', "/home/me")->sets, (std::vector<int>{1, 2}));
        EXPECT_EQ(fs::exists(snapshot), c.left);
        fs::remove(snapshot);
    }
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
