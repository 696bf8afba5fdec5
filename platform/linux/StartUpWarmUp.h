#pragma once
#include <string>
#include <thread>

namespace kelvaro::linuxp {

// Start-up work that needs no display, done on a second thread while the main
// thread starts Qt:
//  - the session bus connection. Building the first widget asks for it (the
//    screen-reader bridge looks for the accessibility bus there), and the main
//    thread would wait for it at that point. Without a known bus address libdbus
//    forks a launcher; forking is cheapest while the process is still small, so
//    this comes first. Where no bus can be had at all (sessionBusPossible), the
//    connection is told so, and libdbus fails at once instead of forking to
//    find out. Programs started later get the environment as it was.
//  - fontconfig's configuration, the largest single piece of start-up work;
//    Qt's first font lookup would otherwise read it on the main thread.
// Construct it on the main thread before any other Qt call and before any other
// thread starts: it makes that thread Qt's main thread before its own thread
// uses Qt, and may set an environment variable. wait() must come before the
// first widget is built: fontconfig loads its configuration once, and a second
// loader would only repeat the work.
class StartUpWarmUp {
public:
    // `launcher`: libdbus's own dbus-launch.
    explicit StartUpWarmUp(const std::string& launcher = "/usr/bin/dbus-launch");
    ~StartUpWarmUp();
    StartUpWarmUp(const StartUpWarmUp&) = delete;
    StartUpWarmUp& operator=(const StartUpWarmUp&) = delete;

    void wait();

private:
    bool addressSet_ = false;
    std::thread thread_;
};

}  // namespace kelvaro::linuxp
