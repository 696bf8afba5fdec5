#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/linux/SessionBusProbe.h"
#include "platform/linux/StartUpWarmUp.h"
#include "tests/linux/TempFolder.h"

using kelvaro::linuxp::sessionBusPossible;
using kelvaro::testsupport::ScopedEnv;
using kelvaro::testsupport::TempFolder;
using kelvaro::testsupport::writeFile;

namespace {

// Folders a, b (on the PATH) and run (the runtime folder), and a launcher path.
struct BusWorld {
    TempFolder tmp;
    BusWorld() {
        for (const char* folder : {"a", "b", "run"}) ::mkdir((tmp / folder).c_str(), 0700);
    }
    void put(const std::string& name, unsigned mode) {
        writeFile(tmp / name, "#!/bin/sh\n");
        ::chmod((tmp / name).c_str(), mode);
    }
    std::string path() const { return tmp / "a" + ":" + tmp / "b"; }
    bool possible(const char* address = nullptr) const {
        return sessionBusPossible(address, (tmp / "run").c_str(), path().c_str(), tmp / "own/dbus-launch");
    }
};

}  // namespace

TEST(SessionBusProbe, FindsEachWayToABusAndOnlyThose) {
    struct Case {
        const char* put;
        unsigned mode;
        bool possible;
    };
    const Case cases[] = {
        {nullptr, 0, false},
        {"run/bus", 0600, true},
        {"b/dbus-launch", 0755, true},
        {"b/dbus-launch", 0644, false},  // not executable: execvp passes it by
        {"a/dbus", 0755, false},
    };
    for (const Case& c : cases) {
        BusWorld world;
        if (c.put) world.put(c.put, c.mode);
        EXPECT_EQ(world.possible(), c.possible) << (c.put ? c.put : "nothing");
    }
    BusWorld world;
    EXPECT_TRUE(world.possible("unix:path=/run/user/1000/bus"));
    ::mkdir((world.tmp / "own").c_str(), 0700);
    world.put("own/dbus-launch", 0755);
    EXPECT_TRUE(world.possible());
}

// Where no bus is possible the warm-up tells the connection so, and programs
// started afterwards get the environment as it was.
TEST(StartUpWarmUp, LeavesTheBusAddressAsItFoundIt) {
    BusWorld world;
    ScopedEnv address("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
    ScopedEnv runtime("XDG_RUNTIME_DIR", world.tmp / "run");
    ScopedEnv path("PATH", world.path());
    kelvaro::linuxp::StartUpWarmUp warmUp(world.tmp / "own/dbus-launch");
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");
    warmUp.wait();
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
}
