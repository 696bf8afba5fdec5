#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/WindowsCommandLine.h"

using kelvaro::linuxp::splitWindowsCommandLine;
using kelvaro::linuxp::windowsCommandTail;
using Args = std::vector<std::string>;

namespace {

// The command text as the backup job composes it: drives c: and d:, append and
// verify on, restrict and registry off, compression off, Normal, full log.
std::string composedCommand(const std::string& driveList, const std::string& logName) {
    return "NTBackup.exe Backup " + driveList + " " + "/A " + " " + "/V " + " " + " " +
           " /D \"Kelvaro Tape\" " + " " + " " + " " + " /HC:off" + " " + "/T Normal" + " " +
           "/L \"" + logName + "\" " + " /tape:" + "1";
}

std::string emptyDriveList() { return std::string(23, ' '); }

}  // namespace

TEST(CommandLineSplit, ComposedBackupCommandGivesTheSwitchesAsArguments) {
    const std::string drives = "c: d:" + std::string(22, ' ');
    const std::string cmd = composedCommand(drives, "C:\\KELVARO.LOG");
    ASSERT_EQ(cmd.size(), 126u);  // the documented length of this command
    EXPECT_EQ(splitWindowsCommandLine(cmd),
              (Args{"NTBackup.exe", "Backup", "c:", "d:", "/A", "/V", "/D", "Kelvaro Tape", "/HC:off", "/T",
                    "Normal", "/L", "C:\\KELVARO.LOG", "/tape:1"}));
}

TEST(CommandLineSplit, BlanksOfAnEmptyDriveListMakeNoEmptyArguments) {
    const std::string cmd = "NTBackup.exe Backup " + emptyDriveList() + "  /HC:off /T Incremental  /tape:1";
    EXPECT_EQ(splitWindowsCommandLine(cmd),
              (Args{"NTBackup.exe", "Backup", "/HC:off", "/T", "Incremental", "/tape:1"}));
}

TEST(CommandLineSplit, QuotedTapeNameIsOneArgumentWithoutQuotes) {
    EXPECT_EQ(splitWindowsCommandLine("NTBackup.exe /D \"Kelvaro Tape\" /V"),
              (Args{"NTBackup.exe", "/D", "Kelvaro Tape", "/V"}));
}

TEST(CommandLineSplit, QuotedLogPathKeepsBlankAndBackslashes) {
    EXPECT_EQ(splitWindowsCommandLine("NTBackup.exe /L \"C:\\My Logs\\night.log\" /E"),
              (Args{"NTBackup.exe", "/L", "C:\\My Logs\\night.log", "/E"}));
}

TEST(CommandLineSplit, TabsSeparateLikeBlanks) {
    EXPECT_EQ(splitWindowsCommandLine("prog\ta\t\tb \t c"), (Args{"prog", "a", "b", "c"}));
}

TEST(CommandLineSplit, EmptyAndBlankLinesGiveNothing) {
    EXPECT_EQ(splitWindowsCommandLine(""), Args{});
    EXPECT_EQ(splitWindowsCommandLine("   \t "), Args{});
}

TEST(CommandLineSplit, TrailingBlanksAddNoArgument) {
    EXPECT_EQ(splitWindowsCommandLine("prog a   "), (Args{"prog", "a"}));
}

TEST(CommandLineSplit, BackslashesNotBeforeAQuoteAreLiteral) {
    EXPECT_EQ(splitWindowsCommandLine(R"(prog a\\b c\d\\\e \\)"), (Args{"prog", R"(a\\b)", R"(c\d\\\e)", R"(\\)"}));
}

TEST(CommandLineSplit, OddBackslashesBeforeAQuoteGiveALiteralQuote) {
    // 1 backslash + quote: no backslash, a quote.  3 backslashes + quote: one backslash, a quote.
    EXPECT_EQ(splitWindowsCommandLine(R"(prog a\"b c\\\"d)"), (Args{"prog", R"(a"b)", R"(c\"d)"}));
}

TEST(CommandLineSplit, EvenBackslashesBeforeAQuoteHalveAndToggleQuoting) {
    // 2 backslashes + quote: one backslash, quoting starts, so the blank stays inside.
    EXPECT_EQ(splitWindowsCommandLine(R"(prog a\\"b c" d)"), (Args{"prog", R"(a\b c)", "d"}));
    // 4 backslashes + quote closing a quoted part.
    EXPECT_EQ(splitWindowsCommandLine(R"(prog "x y\\\\" z)"), (Args{"prog", R"(x y\\)", "z"}));
}

TEST(CommandLineSplit, QuotedPathEndingInBackslashSwallowsTheClosingQuote) {
    // The well-known trap: \" escapes, so the quoted part runs on to the end.
    EXPECT_EQ(splitWindowsCommandLine(R"(prog "C:\logs\" next)"), (Args{"prog", R"(C:\logs" next)"}));
}

TEST(CommandLineSplit, QuotesInsideAWordJoinTheParts) {
    EXPECT_EQ(splitWindowsCommandLine(R"(prog ab"c d"ef g)"), (Args{"prog", "abc def", "g"}));
}

TEST(CommandLineSplit, EmptyQuotesMakeAnEmptyArgument) {
    EXPECT_EQ(splitWindowsCommandLine(R"(prog "" b)"), (Args{"prog", "", "b"}));
}

TEST(CommandLineSplit, DoubledQuoteInsideQuotesIsALiteralQuoteAndQuotingContinues) {
    // Modern runtime rule: "" inside a quoted part gives " and the part stays open.
    EXPECT_EQ(splitWindowsCommandLine(R"(prog "a""b c" d)"), (Args{"prog", R"(a"b c)", "d"}));
    EXPECT_EQ(splitWindowsCommandLine(R"(prog """" x)"), (Args{"prog", R"(")", "x"}));
}

TEST(CommandLineSplit, UnterminatedQuoteRunsToTheEnd) {
    EXPECT_EQ(splitWindowsCommandLine(R"(prog "a b  c)"), (Args{"prog", "a b  c"}));
}

TEST(CommandLineSplit, ProgramNameMayBeQuotedAndKeepsItsBackslashes) {
    EXPECT_EQ(splitWindowsCommandLine(R"("C:\Program Files\NTBackup.exe" Backup)"),
              (Args{R"(C:\Program Files\NTBackup.exe)", "Backup"}));
    // No escaping in the program name: the backslash before the quote stays.
    EXPECT_EQ(splitWindowsCommandLine(R"("C:\tools\"x y)"), (Args{R"(C:\tools\x)", "y"}));
}

TEST(CommandLineSplit, LeadingBlanksBeforeTheProgramAreSkipped) {
    EXPECT_EQ(splitWindowsCommandLine("  NTBackup.exe Backup"), (Args{"NTBackup.exe", "Backup"}));
}

TEST(CommandLineSplit, ShellCharactersAreOrdinaryText) {
    EXPECT_EQ(splitWindowsCommandLine("prog a;b $(x) `y` |z &w"),
              (Args{"prog", "a;b", "$(x)", "`y`", "|z", "&w"}));
}

TEST(CommandLineSplit, TailIsTheRawRestAfterTheProgramName) {
    EXPECT_EQ(windowsCommandTail("notepad.exe C:\\My Logs\\night.log"), "C:\\My Logs\\night.log");
    EXPECT_EQ(windowsCommandTail("  \"notepad.exe\"   \"C:\\a b.log\" "), "\"C:\\a b.log\" ");
    EXPECT_EQ(windowsCommandTail("notepad.exe"), "");
}
