#pragma once
#include <fstream>
#include <string>

namespace kelvaro::ntbackup {

// The report a run appends to the log file named by /L. With /E only the
// exceptions go in, never the files that were backed up without trouble.
class RunLog {
public:
    // Empty on success, else why the file cannot be written (the run goes on without it).
    std::string open(const std::string& path, bool exceptionsOnly);
    bool isOpen() const { return out_.is_open(); }

    void header(const std::string& text);  // always written
    void file(const std::string& line);    // full detail only
    void exception(const std::string& text);
    void footer(const std::string& text);  // totals and result, always written

private:
    void write(const std::string& line, bool flush = true);
    std::ofstream out_;
    int unflushed_ = 0;
    bool exceptionsOnly_ = false;
};

}  // namespace kelvaro::ntbackup
