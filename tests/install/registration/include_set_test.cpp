// IncludeSet: the record laid out as raw bytes the way the script lays it
// out, with sentinel bytes after every field the library may write.
#include <string.h>

#include "install/registration/registration_fixture.h"
#include "support/sentinel_buffer.h"

namespace {

const size_t kExtensionOffset = 528;
const size_t kRecordSize = kExtensionOffset + 511;

// The script's record: integers little-endian at 0, 4, 8, 12; the INI path
// at 16 and the section at 272 (256 bytes each); the extension at 528.
class ScriptRecord {
public:
    ScriptRecord(int setupType, int entryIndex, const std::string& iniFile,
                 const std::string& section)
        : buffer_(kRecordSize, 32)
    {
        PutInt(0, setupType);
        PutInt(4, entryIndex);
        PutInt(8, 0x12345678);
        PutInt(12, 0x12345678);
        PutText(16, iniFile);
        PutText(272, section);
    }

    IncludeSetRecord* Data() { return reinterpret_cast<IncludeSetRecord*>(buffer_.Data()); }
    char* At(size_t offset) { return buffer_.Data() + offset; }
    // The record and the sentinel bytes after it.
    const std::string& Bytes() const { return buffer_.Bytes(); }
    const SentinelBuffer& Buffer() const { return buffer_; }
    int IntAt(size_t offset) const
    {
        int value;
        memcpy(&value, buffer_.Data() + offset, 4);
        return value;
    }

private:
    void PutInt(size_t offset, int value) { memcpy(At(offset), &value, 4); }
    void PutText(size_t offset, const std::string& text)
    {
        memcpy(At(offset), text.c_str(), text.size() + 1);
    }
    SentinelBuffer buffer_;
};

class IncludeSetTest : public RegistrationTest {};

struct IncludeCase {
    const char* what;
    std::string ini;
    std::string section;
    int setupType;
    int result;
    bool filled;  // the output fields were written
    std::string extension;
    int listedFormat;
    int category30;
};

TEST_F(IncludeSetTest, AnswersAndFillsTheRecordAsTheSectionAndSetupTypeSay)
{
    const std::string cursor = std::string("Info7=") + kCursorEntry + "\r\n";
    const IncludeCase cases[] = {
        {"typical, selected", "[SPICINFO]\r\n" + cursor, "SPICINFO", 1, 1, true, "cur", 0, 1},
        {"no selection test: outputs keep the script's values",
         "[SPICINFO]\r\n" + cursor + "Info7Typical=U\r\n", "SPICINFO", 0, 1, false, "", 0, 0},
        {"typical left out by u: still parsed", "[SPICINFO]\r\n" + cursor + "Info7Typical=u\r\n",
         "SPICINFO", 1, 0, true, "cur", 0, 1},
        {"compact ignores the typical mark", "[SPICINFO]\r\n" + cursor + "Info7Typical=u\r\n",
         "SPICINFO", 2, 1, true, "cur", 0, 1},
        {"compact left out by U", "[SPICINFO]\r\n" + cursor + "Info7Compact=U\r\n", "SPICINFO", 2,
         0, true, "cur", 0, 1},
        {"setup type 3 reads the compact mark", "[SPICINFO]\r\n" + cursor + "Info7Compact=u\r\n",
         "SPICINFO", 3, 0, true, "cur", 0, 1},
        {"a longer mark selects", "[SPICINFO]\r\n" + cursor + "Info7Typical=UU\r\n", "SPICINFO", 1,
         1, true, "cur", 0, 1},
        {"lower-case section: no class section",
         "[spicinfo]\r\n" + cursor + "Info7Typical=U\r\n", "spicinfo", 1, 0, false, "", 0, 0},
        {"format 181 is listed", "[VWPINFO]\r\nInfo7=Word for DOS, doc, doc,1,181,1,0,-,0,0\r\n",
         "VWPINFO", 1, 1, true, "doc", 1, 0},
        {"format 46 with blanks around it is listed",
         "[SWPINFO]\r\nInfo7=Lotus Notes,\tnsf  ,nsf,2, 46 ,1,0,-,0,0\r\n", "SWPINFO", 1, 1, true,
         "nsf  ", 1, 0},
        {"INTERN is never parsed", "[INTERN]\r\nInfo7=Fonts\r\n", "INTERN", 1, 1, false, "", 0, 0},
        {"MULTIMEDINFO is never parsed",
         "[MULTIMEDINFO]\r\nInfo7=Sound\r\nInfo7Typical=U\r\n", "MULTIMEDINFO", 1, 0, false, "",
         0, 0},
        {"VIEWENGINEINFO is never parsed", "[VIEWENGINEINFO]\r\nInfo7=Shell\r\n",
         "VIEWENGINEINFO", 2, 1, false, "", 0, 0},
        {"an over-long entry outside the parsed sections still exists",
         "[INTERN]\r\nInfo7=" + std::string(600, 'x') + "\r\n", "INTERN", 1, 1, false, "", 0, 0},
    };
    for (const IncludeCase& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSetupIni(c.ini);
        ScriptRecord record(c.setupType, 7, iniFile_, c.section);
        std::string before = record.Bytes();
        EXPECT_EQ(includeSet_(0xDEAD, record.Data()), c.result);
        const std::string& after = record.Bytes();
        if (!c.filled) {
            EXPECT_TRUE(after == before) << "the record was written";
            continue;
        }
        EXPECT_EQ(record.IntAt(0), c.setupType);
        EXPECT_EQ(record.IntAt(4), 7);
        EXPECT_EQ(record.IntAt(8), c.listedFormat);
        EXPECT_EQ(record.IntAt(12), c.category30);
        EXPECT_TRUE(std::equal(before.begin() + 16, before.begin() + kExtensionOffset,
                               after.begin() + 16))
            << "an input field was written";
        std::string extension(after, kExtensionOffset, c.extension.size());
        EXPECT_EQ(extension, c.extension);
        EXPECT_EQ(after[kExtensionOffset + c.extension.size()], 0) << "no terminating zero";
        ASSERT_TRUE(record.Buffer().UntouchedFrom(kExtensionOffset + c.extension.size() + 1))
            << "after the extension";
    }
}

TEST_F(IncludeSetTest, MissingEmptyAndRefusedEntriesAnswerMinusOneAndLeaveTheRecord)
{
    const struct {
        const char* what;
        std::string ini;
        std::string section;
        int setupType;
    } cases[] = {
        {"no such index", "[VWPINFO]\r\nInfo8=Word, doc, doc,1,181,1,0,-,0,0\r\n", "VWPINFO", 1},
        {"no such section", "[VWPINFO]\r\nInfo7=Word, doc, doc,1,181,1,0,-,0,0\r\n", "SWPINFO", 1},
        {"empty value", "[INTERN]\r\nInfo7=\r\n", "INTERN", 0},
        {"nine fields", "[VWPINFO]\r\nInfo7=Word, doc, doc,1,181,1,0,-,0\r\n", "VWPINFO", 1},
        {"nine fields, no selection test", "[TPICINFO]\r\nInfo7=a,b,c,d,e,,f,g,h,i,\r\n",
         "TPICINFO", 0},
        {"ten fields only past the 511th character",
         "[SPICINFO]\r\nInfo7=Name, " + std::string(500, 'x') + ", x,30,22,1,0,-,1,0\r\n",
         "SPICINFO", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteSetupIni(c.ini);
        ScriptRecord record(c.setupType, 7, iniFile_, c.section);
        std::string before = record.Bytes();
        EXPECT_EQ(includeSet_(0, record.Data()), -1);
        EXPECT_TRUE(record.Bytes() == before) << "the record was written";
    }
}

TEST_F(IncludeSetTest, TheLongestEntryFillsTheExtensionFieldExactly)
{
    // 511 characters in all, of which 491 are the extension.
    std::string extension(491, 'e');
    std::string entry = "N," + extension + ",x,30,22,1,0,-,1,0";
    ASSERT_EQ(entry.size(), 511u);
    WriteSetupIni("[TPICINFO]\r\nInfo0=" + entry + "\r\n");
    ScriptRecord record(1, 0, iniFile_, "TPICINFO");
    EXPECT_EQ(includeSet_(0, record.Data()), 1);
    EXPECT_EQ(std::string(record.Bytes().c_str() + kExtensionOffset), extension);
    ASSERT_TRUE(record.Buffer().UntouchedFrom(kExtensionOffset + extension.size() + 1));
}

TEST_F(IncludeSetTest, TextFieldsWithoutTheirTerminatorAreRefused)
{
    WriteSetupIni(std::string("[SPICINFO]\r\nInfo7=") + kCursorEntry + "\r\n");
    ScriptRecord record(1, 7, iniFile_, "SPICINFO");
    memset(record.At(272), 'S', 256);  // a section of 256 characters, no zero
    std::string before = record.Bytes();
    EXPECT_EQ(includeSet_(0, record.Data()), -1);
    EXPECT_TRUE(record.Bytes() == before);
}

TEST_F(IncludeSetTest, WritesNoRegistryValue)
{
    WriteSetupIni(std::string("[SPICINFO]\r\nInfo7=") + kCursorEntry + "\r\n");
    ScriptRecord record(1, 7, iniFile_, "SPICINFO");
    EXPECT_EQ(includeSet_(0, record.Data()), 1);
    EXPECT_TRUE(NothingWritten());
}

// The entry is read with 512 bytes: one of more than 511 characters is
// parsed on its first 511, and the walk of the section goes on past it.
TEST_F(IncludeSetTest, AnEntryOver511CharactersIsParsedOnItsFirst511)
{
    WriteSetupIni("[SPICINFO]\r\nInfo1=Name, ext, x,30,46,1,0,-,1,0," + std::string(600, 'z') +
                  "\r\nInfo1Typical=u\r\nInfo2=Next, nxt, n,1,22,1,0,-,1,0\r\n");
    ScriptRecord record(1, 1, iniFile_, "SPICINFO");
    EXPECT_EQ(includeSet_(0, record.Data()), 0) << "it exists, and is not in a typical setup";
    EXPECT_EQ(std::string(record.Bytes().c_str() + kExtensionOffset), "ext");
    EXPECT_EQ(record.IntAt(8), 1) << "46 is a listed format";
    EXPECT_EQ(record.IntAt(12), 1);
    ASSERT_TRUE(record.Buffer().UntouchedFrom(kExtensionOffset + 4));

    ScriptRecord next(0, 2, iniFile_, "SPICINFO");
    EXPECT_EQ(includeSet_(0, next.Data()), 1);
}

}  // namespace
