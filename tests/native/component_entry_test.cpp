// The component entry parser and the in-place flag rewriter. Texts live in
// heap blocks of exactly their own size, so AddressSanitizer stops any read
// or write past them.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

#include "registration/component_entry.h"

namespace {

const char kCursorEntry[] = "Windows Cursor/Icon Graphics, cur, cur,30,133,1,0,-,1,0,22";

std::unique_ptr<char[]> ExactCopy(const std::string& text)
{
    std::unique_ptr<char[]> copy(new char[text.size() + 1]);
    memcpy(copy.get(), text.c_str(), text.size() + 1);
    return copy;
}

// Ten fields whose second (the extension) is padded so that the whole
// entry is exactly length characters.
std::string EntryOfLength(size_t length)
{
    std::string tail = ",e2,30,22,1,0,-,1,0";
    std::string head = "N,";
    return head + std::string(length - head.size() - tail.size(), 'x') + tail;
}

TEST(ComponentEntryTest, ParsesTheFieldsItReads)
{
    const struct {
        std::string text;
        std::string extension;
        int category, formatNumber, sourceFlag, targetFlag, imageFlag, graphicsFlag;
    } cases[] = {
        {kCursorEntry, "cur", 30, 133, 1, 0, 1, 0},
        {"Lotus Notes, nsf, nsf,1, 46 ,0,1,-,0,1", "nsf", 1, 46, 0, 1, 0, 1},
        // Runs of commas are one separator: empty fields are not counted.
        {",,Name,,\t ext,e2,,30,181,1,0,-,1,1,,", "ext", 30, 181, 1, 0, 1, 1},
        // Trailing white space of the extension stays.
        {"N,  tif \t,t,1,22,0,1,-,1,0", "tif \t", 1, 22, 0, 1, 1, 0},
        {"N,x,y,+7,-1,-,abc,-, 12abc ,\n-3", "x", 7, -1, 0, 0, 12, -3},
        // No range check: a number beyond 32 bits wraps.
        {"N,x,y,4294967297,2147483648,0,0,-,0,0", "x", 1, -2147483647 - 1, 0, 0, 0, 0},
        {"N, ,y,1,2,3,4,5,6,7", "", 1, 2, 3, 4, 6, 7},
        {EntryOfLength(511), std::string(511 - 21, 'x'), 30, 22, 1, 0, 1, 0},
        // A longer entry is parsed on its first 511 characters, as a
        // 512-byte read sees it: what follows is not read.
        {std::string(kCursorEntry) + "," + std::string(600, 'z'), "cur", 30, 133, 1, 0, 1, 0},
        {"N," + std::string(510 - 17, 'x') + ",y,1,2,3,4,5,6,78", std::string(510 - 17, 'x'), 1, 2,
         3, 4, 6, 7},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto text = ExactCopy(c.text);
        ComponentEntry entry;
        memset(&entry, 0x5A, sizeof entry);
        ASSERT_TRUE(ParseComponentEntry(text.get(), &entry));
        EXPECT_EQ(std::string(entry.extension), c.extension);
        for (size_t i = c.extension.size() + 1; i < sizeof entry.extension; ++i)
            ASSERT_EQ(entry.extension[i], '\x5A') << "byte " << i << " of the extension was written";
        EXPECT_EQ(entry.category, c.category);
        EXPECT_EQ(entry.formatNumber, c.formatNumber);
        EXPECT_EQ(entry.sourceFlag, c.sourceFlag);
        EXPECT_EQ(entry.targetFlag, c.targetFlag);
        EXPECT_EQ(entry.imageFlag, c.imageFlag);
        EXPECT_EQ(entry.graphicsFlag, c.graphicsFlag);
        EXPECT_EQ(std::string(text.get()), c.text) << "the entry text was changed";
    }
}

TEST(ComponentEntryTest, RefusesShortAndOverlongEntriesWithoutTouchingTheResult)
{
    const std::string cases[] = {
        "",
        "Windows Cursor/Icon Graphics, cur, cur,30,133,1,0,-,1",
        "a,b,c,d,e,f,g,h,i,",
        "a,b,c,d,e,f,g,h,i,,,,,",
        ",,,,,,,,,,,,,,,,,,,,,,",
        EntryOfLength(512),
        EntryOfLength(2000),
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.substr(0, 60));
        auto text = ExactCopy(c);
        ComponentEntry entry;
        memset(&entry, 0x5A, sizeof entry);
        EXPECT_FALSE(ParseComponentEntry(text.get(), &entry));
        const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&entry);
        for (size_t i = 0; i < sizeof entry; ++i)
            ASSERT_EQ(bytes[i], 0x5A) << "byte " << i << " of the result was written";
    }
}

TEST(ComponentEntryTest, SetEntryFlagsRewritesTheSixthAndSeventhFieldsOnly)
{
    const struct {
        std::string text;
        int sourceFlag, targetFlag;
        std::string expected;
    } cases[] = {
        {kCursorEntry, 1, 0, kCursorEntry},
        {kCursorEntry, 0, 1, "Windows Cursor/Icon Graphics, cur, cur,30,133,0,1,-,1,0,22"},
        {kCursorEntry, 1, 1, "Windows Cursor/Icon Graphics, cur, cur,30,133,1,1,-,1,0,22"},
        // Any flag but 1 is written as 0.
        {kCursorEntry, 2, -1, "Windows Cursor/Icon Graphics, cur, cur,30,133,0,0,-,1,0,22"},
        // A flag written with a blank loses it when rewritten; the text shrinks.
        {"a,b,c,d,e, 1, 0,h,i,j", 0, 1, "a,b,c,d,e,0,1,h,i,j"},
        // Fields are found as the parser finds them: empty ones are skipped
        // and the separators around the flags are kept as they were.
        {"a,,b,c,d,e,1,0,h,i,j", 0, 1, "a,,b,c,d,e,0,1,h,i,j"},
        {"a,b,c,d,e,1,,0,,h,i,j", 0, 1, "a,b,c,d,e,0,,1,,h,i,j"},
        {"a,b,c,d,e,11,00", 1, 0, "a,b,c,d,e,1,0"},
        // Fewer than seven fields: nothing to rewrite.
        {"a,b,c,d,e,f", 0, 1, "a,b,c,d,e,f"},
        {"a,b,c,d,e,,,,f,", 0, 1, "a,b,c,d,e,,,,f,"},
        {"", 1, 1, ""},
        // More than 511 characters: left whole rather than rewritten in part.
        {EntryOfLength(512), 0, 1, EntryOfLength(512)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 60));
        auto text = ExactCopy(c.text);
        SetEntryFlags(text.get(), c.sourceFlag, c.targetFlag);
        EXPECT_EQ(std::string(text.get()), c.expected);
    }
}

TEST(ComponentEntryTest, SetEntryFlagsKeepsTheBytesAfterTheShortenedText)
{
    std::string text = "a,b,c,d,e,  1  ,  0  ,h,i,j";
    std::string buffer = text + '\0' + "SENTINEL";
    SetEntryFlags(&buffer[0], 0, 1);
    EXPECT_EQ(std::string(buffer.c_str()), "a,b,c,d,e,0,1,h,i,j");
    EXPECT_EQ(buffer.substr(text.size() + 1), "SENTINEL");
}

TEST(ComponentEntryTest, ListedFormatsAreTheTwentySix)
{
    const int listed[] = {3,  11, 13, 16, 20, 26, 27, 28, 29, 32,  38,  43,  46,
                          48, 55, 63, 64, 72, 74, 78, 82, 87, 88, 181, 196, 205};
    int count = 0;
    for (int number = -300; number <= 300; ++number) {
        if (IsListedFormat(number))
            ++count;
    }
    EXPECT_EQ(count, 26);
    for (int number : listed)
        EXPECT_TRUE(IsListedFormat(number)) << number;
    EXPECT_FALSE(IsListedFormat(133));
}

}  // namespace
