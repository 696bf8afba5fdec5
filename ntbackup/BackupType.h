#pragma once
#include <optional>
#include <string>

namespace kelvaro::ntbackup {

// What a run takes and whether it moves the drive's mark (our archive bit).
enum class BackupType { Normal, Copy, Incremental, Differential, Daily };

// "Normal", "Copy" … as the catalog and the log show them.
const char* typeName(BackupType type);
// The /T value, in any case ("normal", "INCREMENTAL").
std::optional<BackupType> typeFromName(const std::string& name);

// Normal and Incremental set the mark; the others leave it as it is.
inline bool setsMark(BackupType t) { return t == BackupType::Normal || t == BackupType::Incremental; }
// Incremental and Differential take what changed since the mark.
inline bool startsFromMark(BackupType t) { return t == BackupType::Incremental || t == BackupType::Differential; }

}  // namespace kelvaro::ntbackup
