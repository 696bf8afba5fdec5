// NTBackup.exe: the backup program the scheduler starts, answering its command line.
#include <atomic>
#include <iostream>

#include "ntbackup/Request.h"
#include "ntbackup/posix/Program.h"

namespace {

using namespace kelvaro::ntbackup;

// In a terminal: the phases and exceptions as lines, notices on standard error.
class TerminalObserver : public RunObserver {
public:
    void phase(const std::string& text) override { std::cout << text << std::endl; }
    void exception(const std::string& text) override { std::cout << "Exception: " << text << std::endl; }
    void notice(const std::string& text) override { std::cerr << text << std::endl; }
    void finished(const RunResult& r) override { (r.status == 2 ? std::cerr : std::cout) << r.text << std::endl; }
};

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "/?")) {
        std::cout << kUsage;
        return 0;
    }
    auto parsed = parseRequest(args);
    if (auto* bad = std::get_if<BadCommandLine>(&parsed)) {
        std::cerr << "NTBackup.exe: " << bad->message << "\n" << kUsage;
        return 2;
    }
    static std::atomic<bool> cancel{false};
    cancelOnSignals(cancel);
    TerminalObserver observer;
    std::string printed;
    const RunResult result = runOnThisMachine(std::get<Request>(parsed), observer, cancel, printed);
    std::cout << printed;
    return result.status;
}
