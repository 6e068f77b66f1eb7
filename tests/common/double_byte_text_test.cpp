// The text helpers in a double-byte code page. Japanese, Chinese and Korean
// Windows keep two bytes for many characters, and the second byte may be
// 0x5C (the backslash) or a letter: "表" is 0x95 0x5C, "ア" 0x83 0x41 and
// "ヂ" 0x83 0x61 in code page 932. The helpers are handed the code page's
// lead-byte test; here a stand-in for code page 932, and the single-byte
// test beside it to show where the two differ.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

#include "common/text.h"

namespace {

// Lead bytes of code page 932 (Shift JIS).
bool ShiftJisLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

const char kHyou[] = "\x95\x5C";  // a character whose second byte is a backslash
const char kA[] = "\x83\x41";     // katakana A: second byte "A"
const char kDi[] = "\x83\x61";    // katakana DI: second byte "a"

std::string S(const std::string& a, const std::string& b = "", const std::string& c = "")
{
    return a + b + c;
}

// A text in a heap block of exactly its own size, so that AddressSanitizer
// stops any read or write past its terminating zero.
std::unique_ptr<char[]> Exact(const std::string& text)
{
    std::unique_ptr<char[]> bytes(new char[text.size() + 1]);
    memcpy(bytes.get(), text.c_str(), text.size() + 1);
    return bytes;
}

TEST(DoubleByteTextTest, NextCharacterStepsOverASecondByte)
{
    auto text = Exact(S("a", kHyou, "b"));
    const char* p = text.get();
    p = NextCharacter(p, ShiftJisLeadByte);
    EXPECT_EQ(p, text.get() + 1);
    p = NextCharacter(p, ShiftJisLeadByte);
    EXPECT_EQ(p, text.get() + 3) << "the lead byte and its second byte are one character";
    EXPECT_EQ(NextCharacter(p, NoLeadBytes), text.get() + 4);

    auto cut = Exact("a\x95");
    EXPECT_EQ(NextCharacter(cut.get() + 1, ShiftJisLeadByte), cut.get() + 2)
        << "a lead byte before the terminating zero is a character alone";
    EXPECT_EQ(NextCharacter(cut.get() + 2, ShiftJisLeadByte), cut.get() + 2)
        << "the end of the text stays the end";
}

TEST(DoubleByteTextTest, EndsWithBackslashLooksAtTheLastCharacter)
{
    const struct {
        std::string text;
        bool doubleByte;
        bool singleByte;
    } cases[] = {
        {S("C:\\Program Files\\", kHyou), false, true},
        {S("C:\\Program Files\\", kHyou, "\\"), true, true},
        {S(kHyou, kHyou), false, true},
        {S("\\", kA), false, false},
        {"C:\\", true, true},
        {"\\", true, true},
        {"", false, false},
        {"C:\\\x95", false, false},  // a lead byte cut from its second byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto text = Exact(c.text);
        EXPECT_EQ(EndsWithBackslash(text.get(), ShiftJisLeadByte), c.doubleByte);
        EXPECT_EQ(EndsWithBackslash(text.get(), NoLeadBytes), c.singleByte);
    }
}

TEST(DoubleByteTextTest, JoinedNamesGetTheirBackslashAfterADoubleByteCharacter)
{
    const std::string directory = S("C:\\Program Files\\", kHyou);
    const std::string joined = directory + "\\sxfm.dll";
    {
        std::unique_ptr<char[]> d(new char[joined.size() + 1]);
        ASSERT_TRUE(JoinName(d.get(), joined.size() + 1, directory.c_str(), "sxfm.dll",
                             ShiftJisLeadByte));
        EXPECT_EQ(std::string(d.get()), joined);
        EXPECT_FALSE(JoinName(d.get(), joined.size(), directory.c_str(), "sxfm.dll",
                              ShiftJisLeadByte))
            << "the backslash counts against the capacity";
    }
    {
        std::unique_ptr<char[]> d(new char[joined.size() + 1]);
        memcpy(d.get(), directory.c_str(), directory.size() + 1);
        ASSERT_TRUE(AppendName(d.get(), joined.size() + 1, "sxfm.dll", ShiftJisLeadByte));
        EXPECT_EQ(std::string(d.get()), joined);
    }
    {
        char d[64];
        ASSERT_TRUE(JoinName(d, sizeof d, directory.c_str(), "sxfm.dll", NoLeadBytes));
        EXPECT_EQ(std::string(d), directory + "sxfm.dll") << "read byte by byte, 0x5C ends it";
    }
    {
        char d[64];
        ASSERT_TRUE(JoinName(d, sizeof d, (directory + "\\").c_str(), "sxfm.dll",
                             ShiftJisLeadByte));
        EXPECT_EQ(std::string(d), joined) << "a real backslash is not doubled";
    }
}

TEST(DoubleByteTextTest, LetterCaseIsFoldedInSingleByteCharactersOnly)
{
    const struct {
        std::string a, b;
        bool doubleByte;
        bool singleByte;
    } cases[] = {
        {S("SX-", kA), S("SX-", kDi), false, true},
        {S("sx-", kA), S("SX-", kA), true, true},
        {S(kA, "a"), S(kA, "A"), true, true},
        {S(kA), S(kA, "x"), false, false},
        {"Internal", "INTERNAL", true, true},
        {"[", "{", false, false},
        {"", "", true, true},
        {"\x83", "\x83", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.a + " / " + c.b);
        auto a = Exact(c.a);
        auto b = Exact(c.b);
        EXPECT_EQ(TextEqualsNoCase(a.get(), b.get(), ShiftJisLeadByte), c.doubleByte);
        EXPECT_EQ(TextEqualsNoCase(b.get(), a.get(), ShiftJisLeadByte), c.doubleByte);
        EXPECT_EQ(TextEqualsNoCase(a.get(), b.get(), NoLeadBytes), c.singleByte);
    }
}

TEST(DoubleByteTextTest, PrefixesAreComparedByCharacter)
{
    auto text = Exact(S("SX-", kDi, "\\rest"));
    EXPECT_TRUE(StartsWithNoCase(text.get(), S("sx-", kDi).c_str(), ShiftJisLeadByte));
    EXPECT_FALSE(StartsWithNoCase(text.get(), S("sx-", kA).c_str(), ShiftJisLeadByte));
    EXPECT_TRUE(StartsWithNoCase(text.get(), S("sx-", kA).c_str(), NoLeadBytes));
    EXPECT_FALSE(StartsWithNoCase(text.get(), "SX-\x83", ShiftJisLeadByte))
        << "a prefix may not end inside a character of the text";
    auto shortText = Exact("SOFTWARE");
    EXPECT_FALSE(StartsWithNoCase(shortText.get(), "SOFTWARE\\", ShiftJisLeadByte));
    EXPECT_TRUE(StartsWithNoCase(shortText.get(), "software", ShiftJisLeadByte));
}

TEST(DoubleByteTextTest, SubtextsAreFoundAtTheStartOfACharacterOnly)
{
    // "\x83s" is one character: its second byte is the letter s.
    auto text = Exact("c:\\\x83sorbix\\sorbix.exe");
    EXPECT_EQ(FindSubtext(text.get(), "sorbix", ShiftJisLeadByte), text.get() + 11);
    EXPECT_EQ(FindSubtext(text.get(), "sorbix", NoLeadBytes), text.get() + 4);
    auto only = Exact("\x83sorbix");
    EXPECT_EQ(FindSubtext(only.get(), "sorbix.exe", ShiftJisLeadByte), nullptr);
    EXPECT_EQ(FindSubtext(only.get(), "orbix", ShiftJisLeadByte), only.get() + 2);
    EXPECT_EQ(FindSubtext(only.get(), "", ShiftJisLeadByte), only.get());
}

TEST(DoubleByteTextTest, LoweringLeavesSecondBytesAlone)
{
    auto text = Exact(S("C:\\NETKIT\\", kA, "A\\NETKIT.INI"));
    LowerAscii(text.get(), ShiftJisLeadByte);
    EXPECT_EQ(std::string(text.get()), S("c:\\netkit\\", kA, "a\\netkit.ini"));
    auto single = Exact(S(kA));
    LowerAscii(single.get(), NoLeadBytes);
    EXPECT_EQ(std::string(single.get()), S(kDi)) << "byte by byte, the second byte is lowered";
    auto cut = Exact("AB\x83");
    LowerAscii(cut.get(), ShiftJisLeadByte);
    EXPECT_EQ(std::string(cut.get()), "ab\x83");
}

TEST(DoubleByteTextTest, LastCharacterIsNeverASecondByte)
{
    auto text = Exact(S("C:\\eudora\\x", kHyou, ".exe"));
    EXPECT_EQ(LastCharacter(text.get(), '\\', ShiftJisLeadByte), text.get() + 9);
    EXPECT_EQ(LastCharacter(text.get(), '\\', NoLeadBytes), text.get() + 12);
    auto none = Exact(S(kHyou));
    EXPECT_EQ(LastCharacter(none.get(), '\\', ShiftJisLeadByte), nullptr);
    EXPECT_EQ(LastCharacter(none.get(), '\0', ShiftJisLeadByte), nullptr)
        << "the terminating zero is no character";
}

}  // namespace
