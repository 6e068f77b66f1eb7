// Converter entries of the picture and word-processing sections, merged
// from source and target sides, with the picture engine entries; one table
// of expected rows per key and case.

#include "install/registration/registration_fixture.h"
#include "support/import_patch.h"
#include "support/registry_calls.h"

namespace {

const char kPic[] = "pic 0 sxpicve.dll";
const ExpectedRow kPictureEngineName = {"sxpicve.dll", "sxPICVIEW"};
const ExpectedRow kCursorRow = {"133", kCursorEntry};

struct Step {
    std::string section;
    std::string entry;
    int result;
};

struct StoredValue {
    std::string key;
    std::string name;
    DWORD type;
    std::string bytes;
};

struct ConverterCase {
    const char* what;
    std::vector<Step> steps;
    std::vector<ExpectedRow> image;
    std::vector<ExpectedRow> graphics;
    std::vector<ExpectedRow> wordProcessing;
    std::vector<ExpectedRow> vapi;
    std::vector<std::string> failingKeys = {};
    std::vector<StoredValue> stored = {};
};

void Store(const StoredValue& value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, value.key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, value.name.c_str(), 0, value.type,
                   reinterpret_cast<const BYTE*>(value.bytes.data()),
                   static_cast<DWORD>(value.bytes.size()));
    RegCloseKey(key);
}

class ConverterRegistrationTest : public RegistrationTest {
protected:
    void Run(const ConverterCase& c)
    {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        for (const StoredValue& value : c.stored)
            Store(value);
        {
            RegistryCallLog failure(install_.Handle());
            for (const std::string& key : c.failingKeys)
                failure.FailKey(key);
            for (const Step& step : c.steps)
                EXPECT_EQ(Register(step.section, step.entry), step.result)
                    << step.section << ": " << step.entry;
        }
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kImageKey, c.image));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kGraphicsKey, c.graphics));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kWordProcessingKey, c.wordProcessing));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey, c.vapi));
    }
};

TEST_F(ConverterRegistrationTest, PictureSourceWritesConvertersAndEngineEntries)
{
    const std::string cux = "Windows Cursor, cux, cux,30,128,";
    const ConverterCase cases[] = {
        {"the cursor/icon entry itself, stored unchanged",
         {{"SPICINFO", kCursorEntry, 1}},
         {kCursorRow}, {}, {}, {kPictureEngineName, {"133", kPic}}},
        {"format 128 with both flags",
         {{"SPICINFO", cux + "0,1,-,1,1", 1}},
         {{"128", cux + "1,0,-,1,1"}, kCursorRow},
         {{"128", cux + "1,0,-,1,1"}, kCursorRow},
         {},
         {kPictureEngineName, {"128", kPic}, {"133", kPic}, {"128.5", "pic 125 rxifcnvt.dll 4"}}},
        {"format 6: no converter at all",
         {{"SPICINFO", "Screen Show, ssh, ssh,30,6,1,0,-,1,1", 1}},
         {}, {}, {}, {kPictureEngineName, {"6", "pic 125 sxssfun.dll 6"}}},
        {"format 71: raster and fax entries, no graphics converter",
         {{"SPICINFO", "Fax Group 3, fax, fax,30,71,1,0,-,1,1", 1}},
         {{"71", "Fax Group 3, fax, fax,30,71,1,0,-,1,1"}}, {}, {},
         {kPictureEngineName, {"71.4", kPic}, {"71.19", "fax 0 sxpicve.dll"}}},
        {"format 22 is a graphics exclusion",
         {{"SPICINFO", "PC Paintbrush, pcx, pcx,30,22,0,0,-,1,1", 1}},
         {{"22", "PC Paintbrush, pcx, pcx,30,22,1,0,-,1,1"}}, {}, {},
         {kPictureEngineName, {"22.4", kPic}}},
        {"presentation and fax formats",
         {{"SPICINFO", "Slides, sld, sld,30,98,1,0,-,1,0", 1},
          {"SPICINFO", "Fax Image, fxi, fxi,30,182,1,0,-,1,0", 1},
          {"SPICINFO", "Sun Raster, ras, ras,30,8,1,0,-,1,0", 1}},
         {{"98", "Slides, sld, sld,30,98,1,0,-,1,0"},
          {"182", "Fax Image, fxi, fxi,30,182,1,0,-,1,0"},
          {"8", "Sun Raster, ras, ras,30,8,1,0,-,1,0"}},
         {}, {},
         {kPictureEngineName, {"98", "prsgfx 0 sxpicve.dll"}, {"182", "fax 0 sxpicve.dll"},
          {"8.4", kPic}}},
        {"graphics only: no engine name",
         {{"SPICINFO", "Vector Art, vec, vec,30,300,0,0,-,0,1", 1}},
         {}, {{"300", "Vector Art, vec, vec,30,300,1,0,-,0,1"}}, {},
         {{"300.5", "pic 125 rxifcnvt.dll 4"}}},
        {"neither flag: nothing written, success",
         {{"SPICINFO", "Nothing, non, non,30,301,0,1,-,0,0", 1}}, {}, {}, {}, {}},
    };
    for (const ConverterCase& c : cases)
        Run(c);
}

TEST_F(ConverterRegistrationTest, SourceAndTargetSidesMerge)
{
    const std::string word = "Word 6, doc, doc,1,50,";
    const std::string tail = ",-,0,0";
    const std::string cux = "Windows Cursor, cux, cux,30,128,";
    const std::string longHead = "Long entry, " + std::string(300, 'l') + ", l,1,51,";
    const ConverterCase cases[] = {
        {"source then target: 1 and 1, the source's text",
         {{"SWPINFO", word + "0,0" + tail, 1}, {"TWPINFO", "Other name, d, d,1,50,0,0,-,1,1", 1}},
         {}, {}, {{"50", word + "1,1" + tail}}, {}},
        {"target alone: 0 and 1",
         {{"TWPINFO", word + "1,1" + tail, 1}}, {}, {}, {{"50", word + "0,1" + tail}}, {}},
        {"target then source: the source's text, 1 and 0",
         {{"TWPINFO", "Other name, d, d,1,50,0,0,-,1,1", 1}, {"SWPINFO", word + "0,1" + tail, 1}},
         {}, {}, {{"50", word + "1,0" + tail}}, {}},
        {"flags already 1 and 0 are stored byte for byte, blanks and all",
         {{"SWPINFO", word + " 1, 0" + tail, 1}}, {}, {}, {{"50", word + " 1, 0" + tail}}, {}},
        {"a stored target flag of 1 is written back unchanged",
         {{"TWPINFO", word + "0,0" + tail, 1}}, {}, {}, {{"50", "Stored, s, s,1,50,1, 1,-,0,0"}},
         {}, {}, {{kWordProcessingKey, "50", REG_SZ, SzBytes("Stored, s, s,1,50,1, 1,-,0,0")}}},
        {"a stored entry of 300 characters merges whole",
         {{"SWPINFO", longHead + "0,0" + tail, 1}, {"TWPINFO", "Other, o, o,1,51,0,0,-,0,0", 1}},
         {}, {}, {{"51", longHead + "1,1" + tail}}, {}},
        {"picture target alone, format 128: both keys with the cursor/icon entry",
         {{"TPICINFO", cux + "1,0,-,1,1", 1}},
         {{"128", cux + "0,1,-,1,1"}, kCursorRow}, {{"128", cux + "0,1,-,1,1"}, kCursorRow}, {}, {}},
        {"picture source then target, format 128",
         {{"SPICINFO", cux + "0,0,-,1,1", 1}, {"TPICINFO", cux + "0,0,-,1,1", 1}},
         {{"128", cux + "1,1,-,1,1"}, kCursorRow}, {{"128", cux + "1,1,-,1,1"}, kCursorRow}, {},
         {kPictureEngineName, {"128", kPic}, {"133", kPic}, {"128.5", "pic 125 rxifcnvt.dll 4"}}},
        {"picture target, image side only",
         {{"TPICINFO", "Targa, tga, tga,30,60,1,1,-,1,0", 1}},
         {{"60", "Targa, tga, tga,30,60,0,1,-,1,0"}}, {}, {}, {}},
    };
    for (const ConverterCase& c : cases)
        Run(c);
}

TEST_F(ConverterRegistrationTest, AStoredValueThatIsNoEntryTextIsKeptAndReported)
{
    const struct {
        const char* what;
        DWORD type;
        std::string bytes;
    } cases[] = {
        {"a number", REG_DWORD, std::string("\x01\0\0\0", 4)},
        {"text of more than 511 characters", REG_SZ, SzBytes(std::string(600, 'x'))},
        {"text that is no entry", REG_SZ, SzBytes("Word 6, doc, doc,1,50")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Store({kWordProcessingKey, "50", c.type, c.bytes});
        EXPECT_EQ(Register("TWPINFO", "Word 6, doc, doc,1,50,0,0,-,0,0"), -1);
        RegistryValue kept = ReadRegistryValue(HKEY_LOCAL_MACHINE, kWordProcessingKey, "50");
        EXPECT_EQ(kept.type, c.type);
        EXPECT_EQ(kept.bytes, c.bytes);
    }
}

TEST_F(ConverterRegistrationTest, FailingKeysGiveTheResultsOfTheWritesThatDecide)
{
    const std::string pcx = "PC Paintbrush, pcx, pcx,30,22,1,0,-,1,0";
    const std::string vector = "Vector Art, vec, vec,30,300,1,0,-,0,1";
    const std::string both = "Metafile, wmf, wmf,30,302,1,0,-,1,1";
    const std::string targetBoth = "Metafile, wmf, wmf,30,302,0,1,-,1,1";
    const std::string word = "Word 6, doc, doc,1,50,1,0,-,0,0";
    const ConverterCase cases[] = {
        {"image converter key failing: the engine entries decide",
         {{"SPICINFO", pcx, 1}}, {}, {}, {}, {kPictureEngineName, {"22.4", kPic}}, {kImageKey}},
        {"VAPI key failing: the converter stays, the result is failure",
         {{"SPICINFO", pcx, -1}}, {{"22", pcx}}, {}, {}, {}, {kVapiKey}},
        {"graphics converter key failing: the engine entry decides",
         {{"SPICINFO", vector, 1}}, {}, {}, {}, {{"300.5", "pic 125 rxifcnvt.dll 4"}},
         {kGraphicsKey}},
        {"VAPI failing for a graphics-only entry", {{"SPICINFO", vector, -1}}, {}, {{"300", vector}},
         {}, {}, {kVapiKey}},
        {"format 128 without the VAPI key",
         {{"SPICINFO", "Windows Cursor, cux, cux,30,128,1,0,-,1,0", -1}},
         {{"128", "Windows Cursor, cux, cux,30,128,1,0,-,1,0"}, kCursorRow}, {}, {}, {},
         {kVapiKey}},
        {"word-processing key failing, both sides",
         {{"SWPINFO", word, -1}, {"TWPINFO", word, -1}}, {}, {}, {}, {}, {kWordProcessingKey}},
        {"picture target: image key failing, graphics side decides",
         {{"TPICINFO", both, 1}}, {}, {{"302", targetBoth}}, {}, {}, {kImageKey}},
        {"picture target: graphics key failing", {{"TPICINFO", both, -1}}, {{"302", targetBoth}},
         {}, {}, {}, {kGraphicsKey}},
        {"picture target, image only, key failing",
         {{"TPICINFO", "Targa, tga, tga,30,60,1,1,-,1,0", -1}}, {}, {}, {}, {}, {kImageKey}},
    };
    for (const ConverterCase& c : cases)
        Run(c);
}

TEST_F(ConverterRegistrationTest, SetOemVapiRewritesTheScriptsFlagsInPlace)
{
    const std::string entry = "Targa, tga, tga,30,60,  0 , 1 ,-,1,0";
    const std::string rewritten = "Targa, tga, tga,30,60,1,0,-,1,0";
    std::string buffer = entry + '\0' + "SENTINEL";
    EXPECT_EQ(setOemVapi_("SPICINFO", &buffer[0], "", 0, 0, ""), 1);
    EXPECT_EQ(std::string(buffer.c_str()), rewritten);
    EXPECT_EQ(buffer.substr(entry.size()), std::string(1, '\0') + "SENTINEL")
        << "bytes after the script's text were written";
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kImageKey, {{"60", rewritten}}));
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey,
                                {kPictureEngineName, {"60", kPic}}));
}

// The registry of Wine stores every text with its terminating zero; a
// stored entry without one is shown to install by handing the bytes over
// one short, the byte after them not a zero.
const ImportPatch* g_queryPatch;

LONG WINAPI QueryWithoutTerminator(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type,
                                   LPBYTE data, LPDWORD size)
{
    LONG status = g_queryPatch->Original<decltype(&RegQueryValueExA)>()(key, name, reserved, type,
                                                                        data, size);
    if (status == ERROR_SUCCESS && data != nullptr && size != nullptr && *size > 0 &&
        data[*size - 1] == '\0') {
        --*size;
        data[*size] = 'Z';
    }
    return status;
}

TEST_F(ConverterRegistrationTest, AStoredEntryWithoutItsTerminatingZeroGetsOne)
{
    const std::string stored = "Stored, s, s,1,50,1,0,-,0,0";
    const std::string tail = ", s,1,51,1,0,-,0,0";
    const std::string longest = "Stored, " + std::string(511 - 8 - tail.size(), 's') + tail;
    ASSERT_EQ(longest.size(), 511u);
    Store({kWordProcessingKey, "50", REG_SZ, SzBytes(stored)});
    Store({kWordProcessingKey, "51", REG_SZ, SzBytes(longest)});
    {
        ImportPatch query(install_.Handle(), "ADVAPI32.dll", "RegQueryValueExA",
                          reinterpret_cast<void*>(&QueryWithoutTerminator));
        g_queryPatch = &query;
        EXPECT_EQ(Register("TWPINFO", "Word 6, doc, doc,1,50,0,0,-,0,0"), 1);
        EXPECT_EQ(Register("TWPINFO", "Word 6, doc, doc,1,51,0,0,-,0,0"), 1)
            << "511 characters without their zero still fit 512 bytes";
    }
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kWordProcessingKey,
                                {{"50", "Stored, s, s,1,50,1,1,-,0,0"},
                                 {"51", longest.substr(0, longest.size() - 9) + "1,1,-,0,0"}}));
}

// An entry of more than 511 characters is read as its first 511: the
// converter writers store the entry's text, so they refuse one that was cut
// and write nothing.
TEST_F(ConverterRegistrationTest, ConverterWritersRefuseAnEntryCutAt511Characters)
{
    const std::string cut = "Word 6, doc, doc,1,50,1,0,-,1,1," + std::string(600, 'z');
    for (const char* section : {"SWPINFO", "TWPINFO", "SPICINFO", "TPICINFO"}) {
        SCOPED_TRACE(section);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        EXPECT_EQ(Register(section, cut), -1);
        EXPECT_TRUE(NothingWritten());
        std::string buffer = cut + '\0' + "SENTINEL";
        EXPECT_EQ(setOemVapi_(section, &buffer[0], "", 0, 0, ""), -1);
        EXPECT_EQ(buffer, cut + '\0' + "SENTINEL");
        EXPECT_TRUE(NothingWritten());
    }
}

}  // namespace
