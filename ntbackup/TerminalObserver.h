#pragma once
#include <iostream>

#include "ntbackup/RunObserver.h"

namespace kelvaro::ntbackup {

// A run in a terminal: phases and exceptions as lines, notices and a failure on standard error.
class TerminalObserver : public RunObserver {
public:
    void phase(const std::string& text) override { std::cout << text << std::endl; }
    void exception(const std::string& text) override { std::cout << "Exception: " << text << std::endl; }
    void notice(const std::string& text) override { std::cerr << text << std::endl; }
    void finished(const RunResult& r) override { (r.status == 2 ? std::cerr : std::cout) << r.text << std::endl; }
};

}  // namespace kelvaro::ntbackup
