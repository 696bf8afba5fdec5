#pragma once
#include <cstdint>
#include <fstream>
#include <functional>
#include <istream>
#include <string>
#include <string_view>

#include "ntbackup/TarOutput.h"

namespace kelvaro::ntbackup {

// The file index beside each archive ("c.tar" has "c.idx"): every member with
// its kind, size, modification time and link target, then the names that the
// drive held but this archive did not take again (unchanged since the mark).
// Read without tar, so that browsing a tape never scans an archive.
//
// One text line a name, front-coded (how many bytes it shares with the name
// before, then the rest), fields separated by tabs and escaped like set.txt:
//   Kelvaro file index 1
//   0	d	0	1796900000	docs
//   4	f	1234	1796900000	/letter one.txt
//   =unchanged
//   0	photos/old.jpg
struct IndexEntry {
    std::string path;  // relative to the drive: "docs/letter one.txt"
    MemberKind kind = MemberKind::File;
    std::uint64_t size = 0;
    std::int64_t mtime = 0;
    std::string target;
    bool unchanged = false;  // named by the archive's snapshot only: its data is in an earlier set
};

class IndexWriter {
public:
    // Empty on success, else why not.
    std::string open(const std::string& file);
    void member(const MemberLine& m);
    void unchanged(const std::string& path);
    // No member follows: the unchanged names from here on go straight into the
    // index, not through the file that holds them while members may still come.
    void membersDone();
    std::string close();  // empty when every line reached the file

private:
    void unchangedLine(std::string_view path);

    std::string file_;
    std::ofstream out_;
    std::ofstream names_;  // unchanged names that came between members, until membersDone()
    std::string previous_;
    bool membersDone_ = false;
    bool unchangedBegun_ = false;
};

// Calls `each` for every entry in file order; `each` returns false to stop.
// `membersOnly` stops at the unchanged names. Empty on success, else what is wrong
// with the index ("line 12: ...").
std::string readIndex(std::istream& in, const std::function<bool(const IndexEntry&)>& each, bool membersOnly = false);
std::string readIndexFile(const std::string& file, const std::function<bool(const IndexEntry&)>& each,
                          bool membersOnly = false);

// "c.tar.zst" -> "c.idx"
std::string indexFileFor(const std::string& archiveFile);

}  // namespace kelvaro::ntbackup
