// The INI text format on its own: what is written for each kind of text and
// what is read back from hand-made or damaged text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/linux/IniDocument.h"

using kelvaro::linuxp::IniDocument;

namespace {

std::string valueOf(const IniDocument& doc, const std::string& section, const std::string& key) {
    const std::string* v = doc.find(section, key);
    return v ? *v : "<missing>";
}

}  // namespace

TEST(IniDocument, PlainValuesAreWrittenBare) {
    EXPECT_EQ(IniDocument::encodeValue("19:00"), "19:00");
    EXPECT_EQ(IniDocument::encodeValue(""), "");
    EXPECT_EQ(IniDocument::encodeValue("c: [/home/alice]"), "c: [/home/alice]");
    EXPECT_EQ(IniDocument::encodeValue("C:\\KELVARO.LOG"), "C:\\KELVARO.LOG");
    EXPECT_EQ(IniDocument::encodeValue("a=b"), "a=b");
    EXPECT_EQ(IniDocument::encodeValue("Grüße"), "Grüße");
}

TEST(IniDocument, OtherValuesAreQuotedWithEscapes) {
    EXPECT_EQ(IniDocument::encodeValue(" "), "\" \"");
    EXPECT_EQ(IniDocument::encodeValue("/A "), "\"/A \"");
    EXPECT_EQ(IniDocument::encodeValue(" /HC:off"), "\" /HC:off\"");
    EXPECT_EQ(IniDocument::encodeValue("/L \"C:\\KELVARO.LOG\""), "\"/L \\\"C:\\\\KELVARO.LOG\\\"\"");
    EXPECT_EQ(IniDocument::encodeValue("a;b"), "\"a;b\"");
    EXPECT_EQ(IniDocument::encodeValue("#x"), "\"#x\"");
    EXPECT_EQ(IniDocument::encodeValue("one\ntwo\rthree\tfour"), "\"one\\ntwo\\rthree\\tfour\"");
    EXPECT_EQ(IniDocument::encodeValue(std::string("a\0b\x7F", 4)), "\"a\\x00b\\x7F\"");
}

TEST(IniDocument, SerializesSectionsAndKeysInFirstSeenOrder) {
    IniDocument doc;
    doc.set("Backup Drives", "Drive01", "c: [/home/alice]");
    doc.set("Backup Type", "Tape Drive:", "1");
    doc.set("Time/Date", "Backup Time", "19:00");
    doc.set("Backup Type", "Append to Tape", "/A ");
    doc.set("Backup Drives", "Drive01", "d: [/mnt/data]");  // replaced in place
    EXPECT_EQ(doc.serialize(),
              "[Backup Drives]\n"
              "Drive01=d: [/mnt/data]\n"
              "\n"
              "[Backup Type]\n"
              "Tape Drive:=1\n"
              "Append to Tape=\"/A \"\n"
              "\n"
              "[Time/Date]\n"
              "Backup Time=19:00\n");
}

TEST(IniDocument, OddSectionAndKeyNamesAreQuotedAndReadBack) {
    const std::vector<std::string> names = {"a=b", " lead", "trail ", "[bracket", ";semi", "#hash",
                                            "quote\"d", "", "line\nbreak", "Odd ] name", "x]"};
    IniDocument doc;
    for (const auto& n : names) {
        doc.set(n, n, "v:" + n);
        doc.set("Plain", n, "k:" + n);
    }
    const IniDocument back = IniDocument::parse(doc.serialize());
    for (const auto& n : names) {
        EXPECT_EQ(valueOf(back, n, n), "v:" + n) << "name [" << n << "]";
        EXPECT_EQ(valueOf(back, "Plain", n), "k:" + n) << "name [" << n << "]";
    }
    EXPECT_EQ(doc.serialize(), back.serialize());
}

TEST(IniDocument, ReadsHandWrittenText) {
    const IniDocument doc = IniDocument::parse(
        "; a comment\n"
        "# another\n"
        "\xEF\xBB\xBF"  // not at the start: just bytes of a garbage line
        "\n"
        "  [ Time/Date ]  \n"
        "  Backup Time =  07:30  \n"
        "Backup Date=\"12/31/96\"   ; trailing remark\n"
        "Monday=\"\\q\\x4\"\n");
    EXPECT_EQ(valueOf(doc, "Time/Date", "Backup Time"), "07:30");
    EXPECT_EQ(valueOf(doc, "Time/Date", "Backup Date"), "12/31/96");
    // Escapes this writer does not make are kept as they stand.
    EXPECT_EQ(valueOf(doc, "Time/Date", "Monday"), "\\q\\x4");
}

TEST(IniDocument, SkipsByteOrderMarkAndCarriageReturns) {
    const IniDocument doc = IniDocument::parse("\xEF\xBB\xBF[SYSTEM]\r\nSOUND=No\r\nOther=\"x \"\r\n");
    EXPECT_EQ(valueOf(doc, "SYSTEM", "SOUND"), "No");
    EXPECT_EQ(valueOf(doc, "SYSTEM", "Other"), "x ");
}

TEST(IniDocument, FirstOfDuplicateKeysWinsAndSectionsMerge) {
    const IniDocument doc = IniDocument::parse(
        "[Startup]\nWindow State=1\n[SYSTEM]\nSOUND=Yes\n[Startup]\nWindow State=0\nOther=x\n");
    EXPECT_EQ(valueOf(doc, "Startup", "Window State"), "1");
    EXPECT_EQ(valueOf(doc, "Startup", "Other"), "x");
    EXPECT_EQ(doc.serialize(), "[Startup]\nWindow State=1\nOther=x\n\n[SYSTEM]\nSOUND=Yes\n");
}

TEST(IniDocument, KeysOutsideAReadableSectionAreDropped) {
    const IniDocument doc = IniDocument::parse(
        "Lost=1\n"
        "[Time/Date]\n"
        "Backup Time=08:00\n"
        "[Backup Type\n"  // no closing bracket: what follows belongs to no known section
        "Tape Drive:=5\n"
        "[\"unterminated]\n"
        "Tape Drive:=6\n"
        "[Backup Type]\n"
        "Log Name=C:\\X.LOG\n");
    EXPECT_EQ(valueOf(doc, "Time/Date", "Backup Time"), "08:00");
    EXPECT_EQ(valueOf(doc, "Time/Date", "Tape Drive:"), "<missing>");
    EXPECT_EQ(valueOf(doc, "Backup Type", "Tape Drive:"), "<missing>");
    EXPECT_EQ(valueOf(doc, "Backup Type", "Log Name"), "C:\\X.LOG");
    EXPECT_EQ(valueOf(doc, "", "Lost"), "<missing>");
}

TEST(IniDocument, UnclosedQuoteTakesTheRestOfTheLineRaw) {
    const IniDocument doc = IniDocument::parse(
        "[Backup Type]\n"
        "Log Name=\"C:\\\\KEL \\\"x\n"
        "Tape Drive:=3\n"
        "\"Unclosed key=1\n");
    EXPECT_EQ(valueOf(doc, "Backup Type", "Log Name"), "C:\\\\KEL \\\"x");
    EXPECT_EQ(valueOf(doc, "Backup Type", "Tape Drive:"), "3");
    EXPECT_EQ(valueOf(doc, "Backup Type", "\"Unclosed key"), "<missing>");
    EXPECT_EQ(valueOf(doc, "Backup Type", "Unclosed key"), "<missing>");
}

TEST(IniDocument, GarbageGivesNothingAndDoesNotCrash) {
    std::string noise;
    for (int i = 0; i < 4096; ++i) noise += static_cast<char>((i * 7919 + 13) & 0xFF);
    const IniDocument doc = IniDocument::parse(noise);
    EXPECT_EQ(valueOf(doc, "Time/Date", "Backup Time"), "<missing>");
    // Whatever was read writes and reads back the same.
    EXPECT_EQ(IniDocument::parse(doc.serialize()).serialize(), doc.serialize());
    for (const char* text : {"", "[", "]", "=", "\"", "[\"", "[\"a\"", "a=\"", "\"=\"", "\\", "\n\n\n"}) {
        const IniDocument d = IniDocument::parse(text);
        EXPECT_EQ(IniDocument::parse(d.serialize()).serialize(), d.serialize()) << text;
    }
}
