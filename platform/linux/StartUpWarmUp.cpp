#include "platform/linux/StartUpWarmUp.h"

#include <fontconfig/fontconfig.h>

#include <QDBusConnection>
#include <QThread>
#include <cstdlib>

#include "platform/linux/SessionBusProbe.h"

namespace kelvaro::linuxp {

namespace {

constexpr const char* kAddress = "DBUS_SESSION_BUS_ADDRESS";
// An address libdbus rejects at once, without looking further.
constexpr const char* kNoBus = "disabled:";

bool markNoBusIfNonePossible(const std::string& launcher) {
    if (sessionBusPossible(std::getenv(kAddress), std::getenv("XDG_RUNTIME_DIR"), std::getenv("PATH"), launcher))
        return false;
    ::setenv(kAddress, kNoBus, 1);
    return true;
}

// Qt takes the first thread that asks for its own thread data as the main
// thread. The bus connection asks for it on the warm-up thread, and if that
// came first while the application object was being made, Qt would warn and
// take the warm-up thread for the GUI thread (3 of 40 starts did).
std::thread afterClaimingMainThread(void (*work)()) {
    QThread::currentThread();
    return std::thread(work);
}

}  // namespace

StartUpWarmUp::StartUpWarmUp(const std::string& launcher)
    : addressSet_(markNoBusIfNonePossible(launcher)),
      thread_(afterClaimingMainThread([] {
          QDBusConnection::sessionBus();
          FcInit();
      })) {}

StartUpWarmUp::~StartUpWarmUp() { wait(); }

void StartUpWarmUp::wait() {
    if (thread_.joinable()) thread_.join();
    // The connection is made; programs started later (the backup program,
    // xdg-open) look for a bus of their own.
    if (addressSet_) ::unsetenv(kAddress);
    addressSet_ = false;
}

}  // namespace kelvaro::linuxp
