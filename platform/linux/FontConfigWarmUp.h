#pragma once
#include <thread>

namespace kelvaro::linuxp {

// Reads the system's font configuration on a second thread while the main
// thread starts Qt. Parsing fontconfig's files is the largest single piece of
// start-up work and needs no display; Qt's own first font lookup would
// otherwise do it on the main thread, before any window can be drawn.
// wait() must come before the first widget is built: fontconfig loads its
// configuration once, and a second loader would only repeat the work.
class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    void wait();

private:
    std::thread thread_;
};

}  // namespace kelvaro::linuxp
