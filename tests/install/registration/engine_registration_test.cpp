// SetVapiDLL and SetOEMVapi for the document, spreadsheet, archive,
// fixed-set and multimedia sections: the values written, in write order,
// compared with one table of expected rows per case.
#include "install/registration/registration_fixture.h"
#include "support/registry_calls.h"

namespace {

const char kUrl[] = "http://www.example.com/quorvane/sorbix/\n";

const std::vector<ExpectedRow> kDocumentFixedRows = {
    {"185.1", "doc 0 sxdocve.dll"},
    {"2", "text 0 sxdocve.dll"},
    {"275", "text 0 sxdocve.dll"},
    {"sxdocve.dll", "sxDOCVIEW"},
};
const std::vector<ExpectedRow> kWorkbookFixedRows = {{"sxwkbve.dll", "sxWKBVIEW"}};
// What any entry of the fixed-set section writes.
const std::vector<ExpectedRow> kFixedSetRows = {
    {"238", "0 133 fxtrst32.dll 1"}, {"239", "0 133 fxtrst32.dll 1"}, {"240", "0 133 fxtrst32.dll 1"},
    {"241", "0 133 fxtrst32.dll 1"}, {"243", "0 133 fxtrst32.dll 1"}, {"244", "0 133 fxtrst32.dll 1"},
    {"246", "0 133 fxtrst32.dll 1"}};

std::vector<ExpectedRow> Join(std::vector<ExpectedRow> first, const std::vector<ExpectedRow>& more)
{
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

std::string Entry(int formatNumber)
{
    return "Sample format, smp, smp,1," + std::to_string(formatNumber) + ",1,0,-,0,0";
}

// The set calls as rows; every one must be REG_SZ with its zero.
std::vector<ExpectedRow> WrittenRows(const std::vector<RegistryCall>& calls)
{
    std::vector<ExpectedRow> rows;
    for (const RegistryCall& call : calls) {
        EXPECT_EQ(call.type, static_cast<DWORD>(REG_SZ)) << call.name;
        EXPECT_TRUE(!call.bytes.empty() && call.bytes.back() == '\0') << call.name;
        rows.push_back({call.name, call.bytes.substr(0, call.bytes.size() - 1)});
    }
    return rows;
}

class EngineRegistrationTest : public RegistrationTest {};

TEST_F(EngineRegistrationTest, WritesTheRowsOfTheSectionAndFormatInOrder)
{
    const struct {
        std::string section;
        std::string entry;
        std::vector<ExpectedRow> vapiRows;  // in write order
    } cases[] = {
        {"VWPINFO", Entry(90),
         Join(kDocumentFixedRows, {{"188.2", "wkb 0 sxwkbve.dll"},
                                   {"90.2.0", "wkb 0 sxwkbve.dll"},
                                   {"90.2.2", "wkb 0 sxwkbve.dll"},
                                   {"90.2.4", "wkb 0 sxwkbve.dll"},
                                   {"90.2.3", "pic 127 txvector.dll 2"},
                                   {"40.2.3", "pic 95 txvector.dll 2"},
                                   {"44.2.3", "pic 95 txvector.dll 2"}})},
        {"VWPINFO", Entry(181),
         Join(kDocumentFixedRows,
              {{"181.1.0.4", "doc 95 txcm.dll 19"}, {"15", "doc 0 sxdocve.dll"}})},
        {"VWPINFO", Entry(100), Join(kDocumentFixedRows, {{"100", "doc 0 sxdocve.dll"}})},
        {"VWPINFO", Entry(-1), Join(kDocumentFixedRows, {{"-1", "text 0 sxdocve.dll"}})},
        {"VWPINFO", Entry(123),
         Join(kDocumentFixedRows, {{"123", "doc 0 sxdocve.dll"},
                                   {"46", "doc 0 sxdocve.dll"},
                                   {"245", "pic 0 sxpicve.dll"}})},
        {"SPREADSHEETINFO", Entry(100),
         Join(kWorkbookFixedRows, {{"100.2.0", "wkb 0 sxwkbve.dll"}})},
        {"SPREADSHEETINFO", Entry(263),
         Join(kWorkbookFixedRows, {{"263.3.0", "wkb 0 sxwkbve.dll"}})},
        {"SPREADSHEETINFO", Entry(2), Join(kWorkbookFixedRows, {{"2", "text 0 sxdocve.dll"}})},
        {"SPREADSHEETINFO", Entry(208),
         Join(kWorkbookFixedRows, {{"207", "doc 0 sxdocve.dll"}, {"208", "doc 0 sxdocve.dll"}})},
        {"INTERUTILINFO", Entry(100), Join(kWorkbookFixedRows, {{"100", "zip 0 sxwkbve.dll"}})},
        {"INTERUTILINFO", Entry(192), Join(kWorkbookFixedRows, {{"192", "0 133 sxzee.dll 2"}})},
        {"INTERUTILINFO", Entry(198), Join(kWorkbookFixedRows, {{"198", "0 133 sxgz.dll 10"}})},
        {"INTERUTILINFO", Entry(206), Join(kWorkbookFixedRows, {{"206", "0 133 sxhqx.dll 2"}})},
        {"INTERUTILINFO", Entry(210), Join(kWorkbookFixedRows, {{"210", "doc 0 sxdocve.dll"}})},
        {"INTERUTILINFO", Entry(275), Join(kWorkbookFixedRows, {{"275", "text 0 sxdocve.dll"}})},
        {"INTERN", "Fonts and filters",
         kFixedSetRows},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section + ": " + c.entry);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        RegistryCallLog recorder(install_.Handle());
        EXPECT_EQ(Register(c.section, c.entry), 1);
        EXPECT_EQ(selected_, 1);
        EXPECT_EQ(WrittenRows(recorder.Sets()), c.vapiRows);
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey, c.vapiRows));
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kGeneralKey, {}));
    }
}

TEST_F(EngineRegistrationTest, MultimediaWritesTheUrlThenItsEngineEntries)
{
    const std::vector<ExpectedRow> vapiRows = {
        {"224.9", "aud 0 sxmve.dll"},   {"219.9", "aud 0 sxmve.dll"},
        {"222.20", "vid 0 sxmve.dll"},  {"142.9", "aud 0 sxmve.dll"},
        {"141.9", "aud 0 sxmve.dll"},   {"221.20", "vid 0 sxmve.dll"},
        {"214.20", "vid 0 sxmve.dll"},  {"229.21", "anim 0 sxmve.dll"},
        {"230.21", "anim 0 sxmve.dll"}, {"161.9", "aud 0 sxmve.dll"},
        {"223.9", "aud 0 sxmve.dll"},   {"226.9", "aud 0 sxmve.dll"},
        {"225.9", "aud 0 sxmve.dll"},   {"249.9", "aud 0 sxmve.dll"},
        {"sxmve.dll", "sxMVE"},
    };
    RegistryCallLog recorder(install_.Handle());
    EXPECT_EQ(Register("MULTIMEDINFO", "Sound and video"), 1);
    EXPECT_EQ(WrittenRows(recorder.Sets()), Join({{"URL", kUrl}}, vapiRows));
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kGeneralKey, {{"URL", kUrl}}));
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey, vapiRows));
}

TEST_F(EngineRegistrationTest, MultimediaWithoutTheVapiKeyKeepsItsUrlAndFails)
{
    RegistryCallLog failure(install_.Handle());
    failure.FailKey(kVapiKey);
    EXPECT_EQ(Register("MULTIMEDINFO", "Sound and video"), -1);
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kGeneralKey, {{"URL", kUrl}}));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kVapiKey));
}

TEST_F(EngineRegistrationTest, MultimediaWithoutTheGeneralKeyStopsAtOnce)
{
    RegistryCallLog failure(install_.Handle());
    failure.FailKey(kGeneralKey);
    EXPECT_EQ(Register("MULTIMEDINFO", "Sound and video"), -1);
    EXPECT_TRUE(NothingWritten());
}

TEST_F(EngineRegistrationTest, DocumentAndFixedSetWritersSucceedEvenWhenNothingCanBeWritten)
{
    RegistryCallLog failure(install_.Handle());
    failure.FailKey(kVapiKey);
    EXPECT_EQ(Register("VWPINFO", Entry(90)), 1);
    EXPECT_EQ(Register("INTERN", "Fonts"), 1);
    EXPECT_TRUE(NothingWritten());
}

TEST_F(EngineRegistrationTest, SelectionDecidesWhatIsRegistered)
{
    const std::string ini =
        "[VWPINFO]\r\n"
        "Info1=" + Entry(100) + "\r\n"
        "Info1Typical=u\r\n"
        "Info1Compact=U\r\n"
        "Info2=" + Entry(101) + "\r\n"
        "Info2Compact=u\r\n"
        "Info3=\r\n"
        "Info4=Word, doc, doc,1,181,1,0,-,0\r\n"
        "[vwpinfo]\r\n"
        "Info1=" + Entry(100) + "\r\n";
    const struct {
        const char* what;
        std::string section;
        int index;
        int setupType;
        int result;
        int selected;
        bool written;
    } cases[] = {
        {"typical, marked u", "VWPINFO", 1, 1, 1, 0, false},
        {"compact, marked U", "VWPINFO", 1, 2, 1, 0, false},
        {"no selection test (0)", "VWPINFO", 1, 0, 1, 1, true},
        {"no selection test (3)", "VWPINFO", 1, 3, 1, 1, true},
        {"typical, compact mark only", "VWPINFO", 2, 1, 1, 1, true},
        {"compact, marked u", "VWPINFO", 2, 2, 1, 0, false},
        {"no such index", "VWPINFO", 9, 1, 0, 1, false},
        {"empty entry", "VWPINFO", 3, 0, 0, 1, false},
        {"nine fields: no entry", "VWPINFO", 4, 0, 0, 1, false},
        {"lower-case section: not handled", "vwpinfo", 1, 0, 1, 1, false},
    };
    WriteSetupIni(ini);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        EXPECT_EQ(SetVapi(c.section, c.index, c.setupType), c.result);
        EXPECT_EQ(selected_, c.selected);
        EXPECT_EQ(KeyExists(HKEY_LOCAL_MACHINE, kVapiKey), c.written);
    }
}

TEST_F(EngineRegistrationTest, SetOemVapiRegistersTheScriptsTextAndRefusesWhatItCannot)
{
    const struct {
        const char* what;
        std::string section;
        std::string entry;
        int result;
        std::vector<ExpectedRow> vapiRows;
    } cases[] = {
        {"spreadsheet entry", "SPREADSHEETINFO", Entry(100), 1,
         Join(kWorkbookFixedRows, {{"100.2.0", "wkb 0 sxwkbve.dll"}})},
        {"fixed set", "INTERN", "x", 1,
         kFixedSetRows},
        {"toolbar", "TOOLBAR", Entry(100), -1, {}},
        {"shell registration is not done here", "VIEWENGINEINFO", Entry(100), 1, {}},
        {"section not handled", "OTHERINFO", Entry(100), 1, {}},
        {"lower-case section not handled", "spreadsheetinfo", Entry(100), 1, {}},
        {"nine fields", "VWPINFO", "Word, doc, doc,1,181,1,0,-,0", -1, {}},
        {"more than 511 characters", "VWPINFO", "N," + std::string(520, 'x') + ",y,1,2,3,4,5,6,7",
         -1, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        std::string buffer = c.entry + '\0' + "SENTINEL";
        EXPECT_EQ(setOemVapi_(c.section.c_str(), &buffer[0], "ignored", 1, 2, "ignored"), c.result);
        EXPECT_EQ(buffer, c.entry + '\0' + "SENTINEL") << "the script's text was changed";
        EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey, c.vapiRows));
        EXPECT_TRUE(NothingWritten() || !c.vapiRows.empty());
    }
}

// The setup INI entry is read with 512 bytes: an entry of more than 511
// characters is parsed on its first 511, and the sections that use only its
// format number register it.
TEST_F(EngineRegistrationTest, AnEntryOver511CharactersIsRegisteredOnItsFirst511)
{
    const std::string entry = Entry(100) + "," + std::string(600, 'z');
    EXPECT_EQ(Register("SPREADSHEETINFO", entry), 1);
    EXPECT_EQ(selected_, 1);
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey,
                                Join(kWorkbookFixedRows, {{"100.2.0", "wkb 0 sxwkbve.dll"}})));

    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    std::string buffer = entry + '\0' + "SENTINEL";
    EXPECT_EQ(setOemVapi_("INTERUTILINFO", &buffer[0], "", 0, 0, ""), 1);
    EXPECT_EQ(buffer, entry + '\0' + "SENTINEL");
    EXPECT_TRUE(KeyHoldsExactly(HKEY_LOCAL_MACHINE, kVapiKey,
                                Join(kWorkbookFixedRows, {{"100", "zip 0 sxwkbve.dll"}})));

    // Ten fields only past the 511th character: the entry is refused.
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    EXPECT_EQ(Register("SPREADSHEETINFO", "N, " + std::string(520, 'x') + ", x,1,100,1,0,-,0,0"), 0);
    EXPECT_TRUE(NothingWritten());
}

}  // namespace
