#pragma once
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "ntbackup/BackupType.h"

namespace kelvaro::ntbackup {

enum class Operation { Backup, Restore, List };

// One run of the program, as its command line asks for it.
struct Request {
    Operation operation = Operation::Backup;
    std::vector<char> drives;       // lower-case letters, in command-line order, no repeats
    bool append = false;            // /A
    bool verify = false;            // /V
    bool restrict = false;          // /R
    bool registry = false;          // /B
    bool compress = false;          // /HC:on
    bool exceptionsOnly = false;    // /E
    BackupType type = BackupType::Normal;  // /T
    std::string description;        // /D "text"
    std::optional<std::string> logFile;    // /L "file", a Windows path
    int tape = 1;                   // /tape:N
    std::optional<int> set;         // /set:K (Restore)
    // Restore and List: files or folders of the one drive in `drives`, as paths
    // below it ("docs/letter one.txt"); none, or one "", for the whole drive.
    std::vector<std::string> pieces;
    std::vector<std::string> pieceNames;  // as given: "c:\docs\letter one.txt"
    std::string restoreTarget;      // Restore: the folder to restore into
    bool overwrite = false;         // Restore into a folder that is not empty
};

struct BadCommandLine {
    std::string message;
};

// Reads the arguments after the program name. Switches are case-insensitive and
// may come in any order; empty arguments (extra blanks) are ignored. Anything the
// program does not know ends the run before it writes a thing.
std::variant<Request, BadCommandLine> parseRequest(const std::vector<std::string>& args);

// "c:\docs\letter one.txt" -> {'c', "docs/letter one.txt"}; "c:" -> {'c', ""}.
// None for anything else, "." and ".." parts included.
std::optional<std::pair<char, std::string>> parsePiece(const std::string& windowsPath);

// The command forms, for a refused command line and for --help.
extern const char* const kUsage;

}  // namespace kelvaro::ntbackup
