#include "ntbackup/RunLog.h"

#include <cerrno>
#include <cstring>

namespace kelvaro::ntbackup {

std::string RunLog::open(const std::string& path, bool exceptionsOnly) {
    exceptionsOnly_ = exceptionsOnly;
    out_.open(path, std::ios::binary | std::ios::app);
    if (!out_) return std::strerror(errno);
    return {};
}

void RunLog::write(const std::string& line, bool flush) {
    if (!out_.is_open()) return;
    out_ << line << "\n";
    // A log read while the run goes on, or after a crash, is current: every
    // header, exception and total at once, the files a few hundred at a time
    // (one write per file would cost a system call per file backed up).
    if (flush || ++unflushed_ >= 256) {
        out_.flush();
        unflushed_ = 0;
    }
}

void RunLog::header(const std::string& text) { write(text); }
void RunLog::file(const std::string& line) {
    if (!exceptionsOnly_) write(line, false);
}
void RunLog::exception(const std::string& text) { write("Exception: " + text); }
void RunLog::footer(const std::string& text) { write(text); }

}  // namespace kelvaro::ntbackup
