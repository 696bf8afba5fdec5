#include "platform/linux/PosixErrors.h"

#include <cerrno>
#include <cstring>

namespace kelvaro::linuxp {

platform::SystemError systemErrorFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return {53, "File not found"};
    case EACCES:
    case EPERM:
        return {70, "Permission denied"};
    default:
        return {err, std::strerror(err)};
    }
}

}  // namespace kelvaro::linuxp
