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

void RunLog::write(const std::string& line) {
    if (!out_.is_open()) return;
    out_ << line << "\n";
    // Flushed line by line: a log read while the run goes on, or after a crash, is current.
    out_.flush();
}

void RunLog::header(const std::string& text) { write(text); }
void RunLog::file(const std::string& line) {
    if (!exceptionsOnly_) write(line);
}
void RunLog::exception(const std::string& text) { write("Exception: " + text); }
void RunLog::footer(const std::string& text) { write(text); }

}  // namespace kelvaro::ntbackup
