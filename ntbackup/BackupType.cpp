#include "ntbackup/BackupType.h"

#include <array>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

namespace {
constexpr std::array<const char*, 5> kNames = {"Normal", "Copy", "Incremental", "Differential", "Daily"};
}

const char* typeName(BackupType type) { return kNames[static_cast<int>(type)]; }

std::optional<BackupType> typeFromName(const std::string& name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (lowerAscii(name) == lowerAscii(kNames[i])) return static_cast<BackupType>(i);
    return std::nullopt;
}

}  // namespace kelvaro::ntbackup
