#pragma once
#include <string>
#include <vector>

namespace kelvaro::linuxp {

// Splits a command line the way a Windows program sees it.
//
// Program name (element 0): runs to the first blank or tab outside double quotes;
// quotes toggle and are dropped; backslashes are always literal. Leading blanks
// are skipped.
//
// Arguments, by the rule of the current Microsoft C runtime (UCRT):
//  - blanks and tabs outside quotes separate arguments; runs of them count as one,
//    so they never produce empty arguments;
//  - 2n backslashes followed by a quote give n backslashes, and the quote opens or
//    closes a quoted part;
//  - 2n+1 backslashes followed by a quote give n backslashes and a literal quote;
//  - backslashes not followed by a quote are literal;
//  - inside a quoted part, "" gives one literal quote and the part stays open;
//  - a quoted part, even an empty one (""), makes an argument.
std::vector<std::string> splitWindowsCommandLine(const std::string& commandLine);

// The raw text after the program name with the blanks before it removed, as a
// program that reads its own command line (Notepad) sees it.
std::string windowsCommandTail(const std::string& commandLine);

}  // namespace kelvaro::linuxp
