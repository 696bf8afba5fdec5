#include "ntbackup/Request.h"

#include <algorithm>

#include "ntbackup/Text.h"

namespace kelvaro::ntbackup {

const char* const kUsage =
    "Usage:\n"
    "  NTBackup.exe Backup c: [d: ...] [/A] [/V] [/R] [/B] [/HC:on|off] [/D \"text\"]\n"
    "               [/T normal|copy|incremental|differential|daily] [/L \"file\" [/E]] [/tape:N]\n"
    "  NTBackup.exe Restore /tape:N c: \"target folder\" [/set:K] [/overwrite]\n"
    "  NTBackup.exe Restore /tape:N \"c:\\docs\\a file.txt\" \"c:\\photos\" ... \"target folder\" [/set:K] [/overwrite]\n"
    "  NTBackup.exe List /tape:N [\"c:\\docs\\a file.txt\" | \"c:\\docs\" [/set:K]]\n";

namespace {

bool isDrivePiece(const std::string& a) {
    return a.size() == 2 && a[1] == ':' && std::isalpha(static_cast<unsigned char>(a[0])) && (a[0] & 0x80) == 0;
}

std::optional<int> digitAfter(const std::string& lowered, const std::string& prefix) {
    if (!lowered.starts_with(prefix)) return std::nullopt;
    const std::string rest = lowered.substr(prefix.size());
    if (rest.size() != 1 || rest[0] < '0' || rest[0] > '9') return -1;
    return rest[0] - '0';
}

BadCommandLine bad(const std::string& text) { return {text}; }

// The pieces of a Restore or List, all of one drive.
std::optional<BadCommandLine> takePieces(const std::vector<std::string>& given, Request& r) {
    for (const auto& g : given) {
        const auto piece = parsePiece(g);
        if (!piece) return bad("\"" + g + "\" is neither a drive (c: to z:) nor a file or folder on one (c:\\docs).");
        if (!r.drives.empty() && r.drives[0] != piece->first)
            return bad("\"" + g + "\" is on another drive: the files of one run come from one drive.");
        if (r.drives.empty()) r.drives.push_back(piece->first);
        r.pieces.push_back(piece->second);
        r.pieceNames.push_back(g);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::pair<char, std::string>> parsePiece(const std::string& w) {
    if (w.size() < 2 || !isDrivePiece(w.substr(0, 2)) || (w.size() > 2 && w[2] != '\\')) return std::nullopt;
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(w[0])));
    std::string path;
    std::size_t from = 2;
    while (from < w.size()) {
        const std::size_t end = std::min(w.find('\\', from + 1), w.size());
        const std::string part = w.substr(from + 1, end - from - 1);
        from = end;
        if (part.empty()) continue;
        if (part == "." || part == ".." || part.find('/') != std::string::npos) return std::nullopt;
        path += (path.empty() ? "" : "/") + part;
    }
    return std::make_pair(letter, path);
}

std::variant<Request, BadCommandLine> parseRequest(const std::vector<std::string>& rawArgs) {
    std::vector<std::string> args;
    for (const auto& a : rawArgs)
        if (a.find_first_not_of(" \t") != std::string::npos) args.push_back(a);
    if (args.empty()) return bad("No operation given: use Backup, Restore or List.");

    Request r;
    const std::string op = lowerAscii(args[0]);
    if (op == "backup") r.operation = Operation::Backup;
    else if (op == "restore") r.operation = Operation::Restore;
    else if (op == "list") r.operation = Operation::List;
    else return bad("Unknown operation \"" + args[0] + "\": use Backup, Restore or List.");

    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const std::string s = lowerAscii(a);
        // Switches that take the next argument as their value.
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (s == "/a") r.append = true;
        else if (s == "/v") r.verify = true;
        else if (s == "/r") r.restrict = true;
        else if (s == "/b") r.registry = true;
        else if (s == "/e") r.exceptionsOnly = true;
        else if (s == "/hc:on") r.compress = true;
        else if (s == "/hc:off") r.compress = false;
        else if (s == "/overwrite") r.overwrite = true;
        else if (s == "/d") {
            const auto v = value();
            if (!v) return bad("The switch \"" + a + "\" needs a description after it.");
            r.description = *v;
        } else if (s == "/l") {
            const auto v = value();
            if (!v || v->empty()) return bad("The switch \"" + a + "\" needs a log file name after it.");
            r.logFile = *v;
        } else if (s == "/t") {
            const auto v = value();
            if (!v) return bad("The switch \"" + a + "\" needs a backup type after it: normal, copy, incremental, differential or daily.");
            const auto t = typeFromName(*v);
            if (!t) return bad("Unknown backup type \"" + *v + "\": use normal, copy, incremental, differential or daily.");
            r.type = *t;
        } else if (const auto tape = digitAfter(s, "/tape:")) {
            if (*tape < 0) return bad("Bad tape number in \"" + a + "\": the tape is a number from 0 to 9.");
            r.tape = *tape;
        } else if (s.starts_with("/set:")) {
            const std::string k = a.substr(5);
            if (k.empty() || k.size() > 6 || !std::all_of(k.begin(), k.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return bad("Bad set number in \"" + a + "\": the set is a number that List shows.");
            r.set = std::stoi(k);
        } else if (a[0] == '/' && r.operation != Operation::Restore) {
            return bad("Unknown switch \"" + a + "\".");
        } else if (a[0] == '/' && a.find('/', 1) == std::string::npos) {
            // A restore's target may be a Linux path; one with a single slash reads as a switch.
            return bad("Unknown switch \"" + a + "\" (a target folder right under / is written with a slash at its end: \"" + a + "/\").");
        } else {
            positional.push_back(a);
        }
    }

    switch (r.operation) {
    case Operation::Backup:
        for (const auto& p : positional) {
            if (!isDrivePiece(p)) return bad("\"" + p + "\" is neither a drive (c: to z:) nor a switch.");
            const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(p[0])));
            if (std::find(r.drives.begin(), r.drives.end(), letter) == r.drives.end()) r.drives.push_back(letter);
        }
        if (r.drives.empty()) return bad("No drives are selected for backup.");
        break;
    case Operation::Restore:
        if (positional.size() < 2 || !parsePiece(positional[0]))
            return bad("Restore needs a drive and a target folder: NTBackup.exe Restore /tape:N c: \"folder\".");
        r.restoreTarget = positional.back();
        positional.pop_back();
        if (auto b = takePieces(positional, r)) return *b;
        break;
    case Operation::List:
        if (positional.size() > 1) return bad("List takes one file or folder, not \"" + positional[1] + "\".");
        if (auto b = takePieces(positional, r)) return *b;
        break;
    }
    return r;
}

}  // namespace kelvaro::ntbackup
