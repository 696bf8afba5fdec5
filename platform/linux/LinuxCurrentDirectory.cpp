#include "platform/linux/LinuxCurrentDirectory.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

namespace kelvaro::linuxp {

std::string LinuxCurrentDirectory::get() {
    std::vector<char> buf(4096);
    while (!getcwd(buf.data(), buf.size())) {
        if (errno != ERANGE) return {};
        buf.resize(buf.size() * 2);
    }
    return drives_.toWindows(buf.data()).value_or(std::string{});
}

}  // namespace kelvaro::linuxp
