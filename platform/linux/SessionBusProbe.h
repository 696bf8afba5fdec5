#pragma once
#include <string>

namespace kelvaro::linuxp {

// Whether libdbus, asked for the session bus, has a way to one: an address in
// DBUS_SESSION_BUS_ADDRESS, the user's bus socket in XDG_RUNTIME_DIR, or
// dbus-launch to start a bus (libdbus tries `launcher`, its own copy, then the
// PATH). With none of them libdbus still forks the whole process to try
// dbus-launch, only to fail. A null argument is an unset variable.
bool sessionBusPossible(const char* address, const char* runtimeDir, const char* path, const std::string& launcher);

}  // namespace kelvaro::linuxp
