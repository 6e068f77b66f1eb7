// The bounded text helpers. Every destination is a heap block of exactly the
// capacity handed in, so AddressSanitizer stops any byte written past it;
// refused calls must leave the destination as it was.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

#include "common/text.h"

namespace {

// A destination of exactly capacity bytes, pre-filled with a marker text.
class Destination {
public:
    Destination(size_t capacity, const std::string& initial)
        : capacity_(capacity), bytes_(new char[capacity])
    {
        memset(bytes_.get(), 'Z', capacity);
        if (capacity > 0)
            memcpy(bytes_.get(), initial.c_str(), std::min(initial.size() + 1, capacity));
    }
    char* Data() { return bytes_.get(); }
    size_t Capacity() const { return capacity_; }
    std::string Raw() const { return std::string(bytes_.get(), capacity_); }

private:
    size_t capacity_;
    std::unique_ptr<char[]> bytes_;
};

TEST(TextTest, LengthAndTrailingBackslash)
{
    EXPECT_EQ(TextLength(""), 0u);
    EXPECT_EQ(TextLength("abc"), 3u);
    EXPECT_FALSE(EndsWithBackslash("", NoLeadBytes));
    EXPECT_FALSE(EndsWithBackslash("C:\\dir", NoLeadBytes));
    EXPECT_TRUE(EndsWithBackslash("C:\\", NoLeadBytes));
    EXPECT_TRUE(EndsWithBackslash("\\", NoLeadBytes));
}

TEST(TextTest, EqualsNoCaseFoldsAsciiLettersOnly)
{
    EXPECT_TRUE(TextEqualsNoCase("Internal", "INTERNAL", NoLeadBytes));
    EXPECT_TRUE(TextEqualsNoCase("", "", NoLeadBytes));
    EXPECT_FALSE(TextEqualsNoCase("Internal", "Internals", NoLeadBytes));
    EXPECT_FALSE(TextEqualsNoCase("Intern", "Internal", NoLeadBytes));
    EXPECT_FALSE(TextEqualsNoCase("[", "{", NoLeadBytes));  // '[' + 0x20 is '{': not letters
}

TEST(TextTest, EqualsComparesLetterCaseToo)
{
    EXPECT_TRUE(TextEquals("VWPINFO", "VWPINFO"));
    EXPECT_TRUE(TextEquals("", ""));
    EXPECT_FALSE(TextEquals("VWPINFO", "vwpinfo"));
    EXPECT_FALSE(TextEquals("INTERN", "INTERNAL"));
    EXPECT_FALSE(TextEquals("INTERNAL", "INTERN"));
    EXPECT_FALSE(TextEquals("", "x"));
}

TEST(TextTest, CopyFitsOrRefusesWithoutTouchingTheDestination)
{
    const struct {
        const char* source;
        size_t capacity;
        bool fits;
    } cases[] = {
        {"", 1, true}, {"", 0, false}, {"abc", 4, true}, {"abc", 3, false}, {"abc", 100, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " into " + std::to_string(c.capacity));
        Destination d(c.capacity, "old");
        std::string before = d.Raw();
        EXPECT_EQ(CopyText(d.Data(), d.Capacity(), c.source), c.fits);
        if (c.fits)
            EXPECT_STREQ(d.Data(), c.source);
        else
            EXPECT_EQ(d.Raw(), before);
    }
}

TEST(TextTest, AppendFitsOrRefuses)
{
    Destination d(7, "abc");
    EXPECT_TRUE(AppendText(d.Data(), d.Capacity(), "def"));
    EXPECT_STREQ(d.Data(), "abcdef");
    std::string before = d.Raw();
    EXPECT_FALSE(AppendText(d.Data(), d.Capacity(), "g"));
    EXPECT_EQ(d.Raw(), before);
    EXPECT_TRUE(AppendText(d.Data(), d.Capacity(), ""));
}

TEST(TextTest, AppendNameInsertsOneBackslashUnlessThereIsOne)
{
    const struct {
        const char* directory;
        const char* name;
        size_t capacity;
        const char* result;  // null: refused
    } cases[] = {
        {"C:\\dir", "sxfm.dll", 16, "C:\\dir\\sxfm.dll"},
        {"C:\\dir\\", "sxfm.dll", 16, "C:\\dir\\sxfm.dll"},
        {"C:\\dir", "sxfm.dll", 15, nullptr},  // 15 characters need 16 bytes
        {"C:\\dir\\", "sxfm.dll", 15, nullptr},
        {"", "a.dll", 7, "\\a.dll"},  // an empty directory gets its backslash
        {"C:\\", "", 4, "C:\\"},
        {"C:", "", 4, "C:\\"},
        {"C:", "", 3, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.directory) + " + " + c.name + " in " + std::to_string(c.capacity));
        Destination d(c.capacity, c.directory);
        std::string before = d.Raw();
        EXPECT_EQ(AppendName(d.Data(), d.Capacity(), c.name, NoLeadBytes), c.result != nullptr);
        if (c.result != nullptr)
            EXPECT_STREQ(d.Data(), c.result);
        else
            EXPECT_EQ(d.Raw(), before);

        Destination joined(c.capacity, "old");
        std::string joinedBefore = joined.Raw();
        EXPECT_EQ(JoinName(joined.Data(), joined.Capacity(), c.directory, c.name, NoLeadBytes), c.result != nullptr);
        if (c.result != nullptr)
            EXPECT_STREQ(joined.Data(), c.result);
        else
            EXPECT_EQ(joined.Raw(), joinedBefore);
    }
}

TEST(TextTest, FormatDecimal)
{
    const struct {
        long value;
        size_t capacity;
        const char* result;
    } cases[] = {
        {0, 2, "0"},          {0, 1, nullptr},          {7, 2, "7"},
        {-1, 3, "-1"},        {-1, 2, nullptr},         {128, 4, "128"},
        {2147483647L, 11, "2147483647"}, {-2147483647L - 1, 12, "-2147483648"},
        {-2147483647L - 1, 11, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.value) + " in " + std::to_string(c.capacity));
        Destination d(c.capacity, "");
        std::string before = d.Raw();
        EXPECT_EQ(FormatDecimal(d.Data(), d.Capacity(), c.value), c.result != nullptr);
        if (c.result != nullptr)
            EXPECT_STREQ(d.Data(), c.result);
        else
            EXPECT_EQ(d.Raw(), before);
    }
}

TEST(TextTest, FormatTextJoinsWithTheFormatsSeparatorAlways)
{
    Destination d(40, "");
    EXPECT_TRUE(FormatText(d.Data(), d.Capacity(), "%s\\%s", "SOFTWARE\\Quorvane\\Sorbix", "VAPI"));
    EXPECT_STREQ(d.Data(), "SOFTWARE\\Quorvane\\Sorbix\\VAPI");
    EXPECT_TRUE(FormatText(d.Data(), d.Capacity(), "%s\\%s", "C:\\", "x"));
    EXPECT_STREQ(d.Data(), "C:\\\\x") << "unlike AppendName, the format's backslash always stands";
    EXPECT_TRUE(FormatText(d.Data(), d.Capacity(), "Info%dTypical", 12));
    EXPECT_STREQ(d.Data(), "Info12Typical");
    EXPECT_TRUE(FormatText(d.Data(), d.Capacity(), "TYPE%d %u %d%%", -3, 4000000000u, 0));
    EXPECT_STREQ(d.Data(), "TYPE-3 4000000000 0%");
}

TEST(TextTest, FormatTextRefusesWhatDoesNotFitAndUnknownDirectives)
{
    const struct {
        const char* format;
        size_t capacity;
    } refused[] = {{"%s\\%s", 5}, {"%x", 10}, {"abc%", 10}, {"%s\\%s", 0}};
    for (const auto& c : refused) {
        SCOPED_TRACE(std::string(c.format) + " in " + std::to_string(c.capacity));
        Destination d(c.capacity, "ab");
        std::string before = d.Raw();
        EXPECT_FALSE(FormatText(d.Data(), d.Capacity(), c.format, "ab", "cd"));
        EXPECT_EQ(d.Raw(), before);
    }
    Destination exact(6, "");
    EXPECT_TRUE(FormatText(exact.Data(), exact.Capacity(), "%s\\%s", "ab", "cd"));
    EXPECT_STREQ(exact.Data(), "ab\\cd");
}

TEST(TextTest, FormatTextMayReadTheTextItWritesOver)
{
    char buffer[32] = "SOFTWARE";
    EXPECT_TRUE(FormatText(buffer, sizeof buffer, "%s\\%s", buffer, "Sorbix"));
    EXPECT_STREQ(buffer, "SOFTWARE\\Sorbix");
}

TEST(TextTest, StartsWithNoCase)
{
    EXPECT_TRUE(StartsWithNoCase("software\\Quorvane", "SOFTWARE\\", NoLeadBytes));
    EXPECT_TRUE(StartsWithNoCase("SOFTWARE\\", "SOFTWARE\\", NoLeadBytes));
    EXPECT_TRUE(StartsWithNoCase("anything", "", NoLeadBytes));
    EXPECT_FALSE(StartsWithNoCase("SOFTWARE", "SOFTWARE\\", NoLeadBytes));
    EXPECT_FALSE(StartsWithNoCase("SOFTWAREX", "SOFTWARE\\", NoLeadBytes));
    EXPECT_FALSE(StartsWithNoCase("", "S", NoLeadBytes));
}

TEST(TextTest, FormatShownMessageFillsTheOneArgumentAndCutsToTheCapacity)
{
    const struct {
        const char* messageTemplate;
        const char* argument;
        size_t capacity;
        const char* shown;
    } cases[] = {
        {"Remove %s?", "a.dll", 32, "Remove a.dll?"},
        {"Remove %s?", "a.dll", 14, "Remove a.dll?"},  // exactly fits
        {"Remove %s?", "a.dll", 13, "Remove a.dll"},
        {"Remove %s?", "a.dll", 10, "Remove a."},
        {"Remove %s?", "a.dll", 1, ""},
        {"100%% of %s, %s %d", "x", 32, "100% of x, %s %d"},  // one argument only
        {"no directive", "x", 32, "no directive"},
        {"ends with %", "x", 32, "ends with %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.messageTemplate) + " in " + std::to_string(c.capacity));
        Destination d(c.capacity, "");
        FormatShownMessage(d.Data(), d.Capacity(), c.messageTemplate, c.argument);
        EXPECT_STREQ(d.Data(), c.shown);
    }
}

}  // namespace

namespace {

TEST(TextTest, FindSubtextIsACaseSensitiveSubstringSearch)
{
    const char text[] = "C:\\SORBIX\\sorbix4.exe %s";
    EXPECT_EQ(FindSubtext(text, "sorbix", NoLeadBytes), text + 10);
    EXPECT_EQ(FindSubtext(text, "sorbix4.exe", NoLeadBytes), text + 10);
    EXPECT_EQ(FindSubtext(text, "sorbix.exe", NoLeadBytes), nullptr);
    EXPECT_EQ(FindSubtext(text, "Sorbix", NoLeadBytes), nullptr);
    EXPECT_EQ(FindSubtext(text, "%s", NoLeadBytes), text + 22) << "a match that ends the text";
    EXPECT_EQ(FindSubtext(text, "%s ", NoLeadBytes), nullptr) << "a match may not run past the end";
    EXPECT_EQ(FindSubtext(text, "", NoLeadBytes), text);
    const char empty[] = "";
    EXPECT_EQ(FindSubtext(empty, "", NoLeadBytes), empty);
    EXPECT_EQ(FindSubtext("", "x", NoLeadBytes), nullptr);
    EXPECT_EQ(FindSubtext("netkit.in", "netkit.ini", NoLeadBytes), nullptr);
    const char restart[] = "sosorbix";
    EXPECT_EQ(FindSubtext(restart, "sorbix", NoLeadBytes), restart + 2) << "a partial match does not hide a later one";
}

TEST(TextTest, LowerAsciiLowersOnlyTheLettersAToZ)
{
    // Exactly as long as the text: ASan stops any byte touched past it.
    std::unique_ptr<char[]> text(new char[15]);
    memcpy(text.get(), "C:\\NETKIT\\\xC4@[Z", 15);
    LowerAscii(text.get(), NoLeadBytes);
    EXPECT_EQ(std::string(text.get(), 15), std::string("c:\\netkit\\\xC4@[z", 15));
    char empty[1] = {'\0'};
    LowerAscii(empty, NoLeadBytes);
    EXPECT_EQ(empty[0], '\0');
}

}  // namespace
