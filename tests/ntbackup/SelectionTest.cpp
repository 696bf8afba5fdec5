// What comes back besides the bytes, and restoring or listing single files and folders.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "ntbackup/FileIndex.h"
#include "ntbackup/ListRun.h"
#include "tests/ntbackup/NtbackupFixture.h"

namespace kelvaro::ntbackup::test {
namespace {

struct Meta {
    unsigned mode;
    long mtime;
    nlink_t links;
    blkcnt_t blocks;
    uid_t uid;
    std::string xattr;
    bool operator==(const Meta&) const = default;
};

Meta metaOf(const std::string& p) {
    struct stat st {};
    ::lstat(p.c_str(), &st);
    char value[64] = {};
    const auto n = ::lgetxattr(p.c_str(), "user.kelvaro", value, sizeof value - 1);
    return {static_cast<unsigned>(st.st_mode), static_cast<long>(st.st_mtime), st.st_nlink, st.st_blocks, st.st_uid,
            n > 0 ? std::string(value, static_cast<std::size_t>(n)) : ""};
}

TEST_F(NtbackupTest, ModesTimesLinksFifosSparseFilesAndExtendedAttributesComeBack) {
    writeFile(c() + "/setuid", "s");
    ::chmod((c() + "/setuid").c_str(), 04755);
    fs::create_directories(c() + "/shared");
    ::chmod((c() + "/shared").c_str(), 03775);  // setgid and sticky
    ::link((c() + "/setuid").c_str(), (c() + "/hard").c_str());
    ::mkfifo((c() + "/fifo").c_str(), 0640);
    fs::create_symlink("setuid", c() + "/link");
    {
        std::ofstream sparse(c() + "/disk.img", std::ios::binary);
        sparse.seekp(50 << 20);
        sparse << "6bytes";
    }
    const bool xattrs = ::setxattr((c() + "/setuid").c_str(), "user.kelvaro", "kept", 4, 0) == 0;
    if (::geteuid() == 0) ::lchown((c() + "/fifo").c_str(), 65534, 65534);  // owners come back as root
    const std::string acl = "setfacl -m u:65534:r -m d:u:65534:rx \"" + c() + "/shared\" 2>/dev/null";
    const bool acls = std::system(acl.c_str()) == 0;
    age(c() + "/shared", 3);
    { const auto r = run("c: /T Normal /V"); ASSERT_EQ(r.status, 0) << "no false differences on verify: " << (observer.exceptions.empty() ? "" : observer.exceptions[0]); }
    writeFile(c() + "/shared/new", "n");
    ASSERT_EQ(run("c: /T Incremental /V").status, 0);

    const std::string target = tmp / "restored";
    ASSERT_EQ(run("Restore /tape:1 c: \"" + target + "\"").status, 0);
    for (const char* name : {"setuid", "shared", "hard", "fifo", "link", "disk.img", "shared/new"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(metaOf(target + "/" + name), metaOf(c() + "/" + name));
    }
    EXPECT_LT(metaOf(target + "/disk.img").blocks, 1000) << "the image stays sparse";
    if (acls) {
        const auto aclOf = [&](const std::string& p) {
            const std::string out = (tmp / "acl").string();
            std::system(("getfacl -n --omit-header \"" + p + "\" >\"" + out + "\" 2>/dev/null").c_str());
            return readFile(out);
        };
        const std::string shared = aclOf(target + "/shared");
        EXPECT_NE(shared.find("\nuser:65534:r--"), std::string::npos) << shared;
        EXPECT_NE(shared.find("default:user:65534:r-x"), std::string::npos) << shared;
    }
    if (!xattrs) GTEST_SKIP() << "this file system holds no user.* extended attributes";
    EXPECT_EQ(metaOf(target + "/setuid").xattr, "kept");
}

// Gives a file a modification time of its own (the change time still tells tar it changed).
void stamp(const std::string& p, std::time_t t) {
    fs::last_write_time(p, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(t)));
}
constexpr std::time_t kFirst = 1780000000, kSecond = 1780086400;

class PiecesTest : public NtbackupTest {
protected:
    // Set 1 Normal, set 2 Incremental: letter changed, old note deleted, a photo added.
    void SetUp() override {
        fs::create_directories(c() + "/docs");
        fs::create_directories(c() + "/photos");
        writeFile(c() + "/docs/letter one.txt", "first");
        writeFile(c() + "/docs/old note", "old");
        writeFile(c() + "/elsewhere", "e");
        stamp(c() + "/docs/letter one.txt", kFirst);
        stamp(c() + "/docs/old note", kFirst);
        ASSERT_EQ(run("c: /T Normal").status, 0);
        writeFile(c() + "/docs/letter one.txt", "second");
        stamp(c() + "/docs/letter one.txt", kSecond);
        fs::remove(c() + "/docs/old note");
        writeFile(c() + "/photos/cat.jpg", "meow");
        ASSERT_EQ(run("c: /T Incremental").status, 0);
    }
    std::string list(const std::string& pieces) {
        auto args = linuxp::splitWindowsCommandLine("NTBackup.exe List /tape:1 " + pieces);
        args.erase(args.begin());
        RunContext ctx{tar, tar, lock, drives, data(), {}, registry, [] { return std::time(nullptr); }, cancel, observer};
        std::string printed;
        const RunResult r = runList(std::get<Request>(parseRequest(args)), ctx, printed);
        return r.status == 0 ? printed : r.text;
    }
    std::string target = tmp / "out";
};
TEST_F(PiecesTest, AFileAndAFolderComeBackAtTheirPlaceInTheVersionOfTheChosenSet) {
    const RunResult r = run("Restore /tape:1 \"c:\\docs\\letter one.txt\" \"c:\\photos\" \"" + target + "\"");
    ASSERT_EQ(r.status, 0) << r.text;
    EXPECT_EQ(treeOf(target), (std::map<std::string, std::string>{{"docs", "dir"},
                                                                   {"docs/letter one.txt", "second"},
                                                                   {"photos", "dir"},
                                                                   {"photos/cat.jpg", "meow"}}));
    const std::string older = tmp / "older";
    ASSERT_EQ(run("Restore /tape:1 \"c:\\docs\" \"" + older + "\" /set:1").status, 0);
    EXPECT_EQ(readFile(older + "/docs/letter one.txt"), "first");
    EXPECT_EQ(readFile(older + "/docs/old note"), "old");
    const std::string latest = tmp / "latest";
    ASSERT_EQ(run("Restore /tape:1 \"c:\\docs\" \"" + latest + "\"").status, 0);
    EXPECT_FALSE(fs::exists(latest + "/docs/old note")) << "deleted before set 2";
}

TEST_F(PiecesTest, APieceNoSetHoldsOrAFileThatIsThereAlreadyIsRefusedBeforeAnythingIsWritten) {
    RunResult r = run("Restore /tape:1 \"c:\\docs\\letter one.txt\" \"c:\\docs\\old note\" \"" + target + "\"");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.text, "Restore failed: no set of the chain of set 2 holds c:\\docs\\old note.");
    EXPECT_FALSE(fs::exists(target));

    fs::create_directories(target + "/docs");
    writeFile(target + "/docs/letter one.txt", "mine");
    r = run("Restore /tape:1 \"c:\\docs\" \"" + target + "\"");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.text, "Restore failed: " + target + "/docs/letter one.txt is there already. Add /overwrite to replace "
                      "it with the backup.");
    EXPECT_EQ(readFile(target + "/docs/letter one.txt"), "mine");
    ASSERT_EQ(run("Restore /tape:1 \"c:\\docs\" \"" + target + "\" /overwrite").status, 0);
    EXPECT_EQ(readFile(target + "/docs/letter one.txt"), "second");
}

TEST_F(PiecesTest, ListGivesEachVersionOfAFileAndWhatAFolderHeldAsOfASet) {
    const auto s = sets();
    EXPECT_EQ(list("\"c:\\docs\\letter one.txt\""),
              "Set 1  " + s[0].date + "  Normal  5 bytes  modified " + localStamp(kFirst) + "\n" +
              "Set 2  " + s[1].date + "  Incremental  6 bytes  modified " + localStamp(kSecond) + "\n");
    EXPECT_EQ(list("\"c:\\docs\" /set:1"), "c:\\docs as of set 1 (" + s[0].date + ", Normal):\n" +
                                              "  letter one.txt  file  5 bytes  modified " + localStamp(kFirst) + "\n" +
                                              "  old note  file  3 bytes  modified " + localStamp(kFirst) + "\n");
    EXPECT_EQ(list("\"c:\\docs\\old note\""), "Set 1  " + s[0].date + "  Normal  3 bytes  modified " +
                                                 localStamp(kFirst) + "\n");  // deleted since, still listed
    EXPECT_EQ(list("\"c:\\nothing\""), "No set on tape 1 holds c:\\nothing.");
}

// Names that break line-based tools, read back through the index alone.
TEST_F(NtbackupTest, TheIndexKeepsHostileNamesAndADamagedOneIsAnErrorNamingTheSet) {
    const std::vector<std::string> names = {"new\nline", "say \"hi\"", "back\\slash", "Ünïcødé", "-leading dash",
                                            "tab\there", "arrow -> here", std::string(250, 'x') + "/" +
                                                                                std::string(250, 'y')};
    std::string deep = "deep";
    while (deep.size() < 4000) deep += "/" + std::string(200, 'd');
    fs::create_directories(c() + "/" + deep);
    fs::create_directories(c() + "/" + std::string(250, 'x'));
    for (const auto& n : names) writeFile(c() + "/" + n, n);
    writeFile(c() + "/" + deep + "/end", "end");
    ASSERT_EQ(run("c: /T Normal").status, 0);
    ASSERT_TRUE(sets()[0].archiveOf("c")->indexed);

    std::vector<std::string> indexed;
    ASSERT_EQ(readIndexFile(Tape(tape(), 1).setFolder(1) + "/c.idx",
                            [&](const IndexEntry& e) {
                                if (e.kind == MemberKind::File) indexed.push_back(e.path);
                                return true;
                            }),
              "");
    auto expected = names;
    expected.push_back(deep + "/end");
    std::sort(expected.begin(), expected.end());
    std::sort(indexed.begin(), indexed.end());
    EXPECT_EQ(indexed, expected);

    const std::string target = tmp / "one";
    ASSERT_EQ(run("Restore /tape:1 \"c:\\new\nline\" \"c:\\-leading dash\" \"" + target + "\"").status, 0);
    EXPECT_EQ(readFile(target + "/new\nline"), "new\nline");
    EXPECT_EQ(readFile(target + "/-leading dash"), "-leading dash");

    writeFile(Tape(tape(), 1).setFolder(1) + "/c.idx", "Kelvaro file index 1\n9\tf\t1\t1\tx\n");
    const RunResult r = run("Restore /tape:1 \"c:\\say \"\"hi\"\"\" \"" + std::string(tmp / "two") + "\"");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.text, "Restore failed: the file index of set 1 (c.idx) on tape 1 is damaged: line 2: bad shared length.");
    EXPECT_FALSE(fs::exists(tmp / "two"));
}

}  // namespace
}  // namespace kelvaro::ntbackup::test
