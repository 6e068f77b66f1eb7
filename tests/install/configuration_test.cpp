// updateRegHard and SetOEMHard: the viewer's fixed configuration and the
// launch manager's tables, checked by what they leave in the registry and,
// for the order of writes, by the registry calls install.dll makes.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "install/install_exports.h"
#include "support/loaded_dll.h"
#include "support/registry_calls.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kProduct[] = "SOFTWARE\\Quorvane\\Sorbix";
const char kGeneral[] = "SOFTWARE\\Quorvane\\Sorbix\\General";
const char kAppPaths[] = "SOFTWARE\\Quorvane\\Sorbix\\AppPaths";
const char kHelp[] = "SOFTWARE\\Microsoft\\Windows\\help";
const char kClassRootHome[] = "SOFTWARE\\Quorvane\\Sorbix\\General\\Home";
const char kTemporary[] = "SOFTWARE\\Quorvane\\Sorbix\\Temporary";
const char kPictures[] = "SOFTWARE\\Quorvane\\Sorbix\\SXPICVE";
const char kWorkbooks[] = "SOFTWARE\\Quorvane\\Sorbix\\SXWKBVE";
const char kDocuments[] = "SOFTWARE\\Quorvane\\Sorbix\\SXDOCVE";
const char kFonts[] = "SOFTWARE\\Quorvane\\Sorbix\\DecorativeFontFaces";
const char kExtensions[] = "SOFTWARE\\Quorvane\\Sorbix\\LaunchManager\\Extensions";
const char kClassDefaults[] = "SOFTWARE\\Quorvane\\Sorbix\\LaunchManager\\DocumentClassDefaults";
const char kHunter[] = "SOFTWARE\\Quorvane\\Sorbix\\LaunchManager\\ResourceHunterApplications";

const char kHome[] = "C:\\Program Files\\Sorbix";

struct ConfigurationKey {
    HKEY root;
    const char* path;
    size_t values;  // values the writer puts there (all version values present)
};

// Every key the writer touches, in write order.
const ConfigurationKey kKeys[] = {
    {HKEY_LOCAL_MACHINE, kExtensions, 169}, {HKEY_LOCAL_MACHINE, kClassDefaults, 12},
    {HKEY_LOCAL_MACHINE, kHunter, 65},      {HKEY_LOCAL_MACHINE, kGeneral, 9},
    {HKEY_LOCAL_MACHINE, kAppPaths, 2},     {HKEY_LOCAL_MACHINE, kHelp, 1},
    {HKEY_CLASSES_ROOT, kClassRootHome, 1}, {HKEY_LOCAL_MACHINE, kTemporary, 13},
    {HKEY_LOCAL_MACHINE, kPictures, 34},    {HKEY_LOCAL_MACHINE, kWorkbooks, 15},
    {HKEY_LOCAL_MACHINE, kDocuments, 50},   {HKEY_LOCAL_MACHINE, kFonts, 25},
};
const size_t kFirstBaseKey = 3;  // the launch manager's three come first

std::string RootName(HKEY root)
{
    return root == HKEY_CLASSES_ROOT ? "HKCR\\" : "HKLM\\";
}

// The values of the viewer's help entry: the key is shared with other
// programs, so only the viewer's value counts.
std::vector<std::string> OwnValueNames(const ConfigurationKey& key)
{
    std::vector<std::string> names = ValueNames(key.root, key.path);
    if (key.path == kHelp)
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [](const std::string& n) { return n != "sorbix.hlp"; }),
                    names.end());
    return names;
}

std::vector<std::string> SortedValueNames(HKEY root, const char* key)
{
    std::vector<std::string> names = ValueNames(root, key);
    std::sort(names.begin(), names.end());
    return names;
}

// ---- Fixture ---------------------------------------------------------------

class ConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kProduct);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kProduct);
        DeleteValue(HKEY_LOCAL_MACHINE, kHelp, "sorbix.hlp");
        WriteVersionIni("[GENERAL]\r\n"
                        "Internal=SX-STD-40\r\n"
                        "MAJOR_VER_NUM=4\r\n"
                        "MINOR_VER_NUM=02\r\n"
                        "SKU=Standard Edition\r\n"
                        "ProductName=Sorbix Viewer\r\n"
                        "BuildTime=1997-03-14 18:02\r\n"
                        "BuildNum=412\r\n");
    }

    static void DeleteValue(HKEY root, const char* key, const char* name)
    {
        HKEY handle;
        if (RegOpenKeyExA(root, key, 0, KEY_SET_VALUE, &handle) == ERROR_SUCCESS) {
            RegDeleteValueA(handle, name);
            RegCloseKey(handle);
        }
    }

    void WriteVersionIni(const std::string& text) { WriteFileBytes(versionIni_, text); }

    int Update(const std::string& home = kHome, const std::string& productId = "SX-1997-0042")
    {
        return update_(7, home.c_str(), 9, productId.c_str(), versionIni_.c_str());
    }

    RegistryKeyGuard machineProduct_{HKEY_LOCAL_MACHINE, kProduct};
    RegistryKeyGuard classesSoftware_{HKEY_CLASSES_ROOT, "SOFTWARE"};
    RegistryKeyGuard help_{HKEY_LOCAL_MACHINE, kHelp};
    ScratchDirectory setup_{"setup"};
    std::string versionIni_ = setup_.File("version.ini");
    LoadedDll install_{BinaryFile("install.dll")};
    UpdateRegHardProc update_ = install_.Export<UpdateRegHardProc>(kOrdinalUpdateRegHard);
    SetOEMHardProc oem_ = install_.Export<SetOEMHardProc>(kOrdinalSetOEMHard);
};

// Each key holds exactly the writer's values, every one REG_SZ with the
// bytes of its text and one terminating zero; a second call changes nothing.
TEST_F(ConfigurationTest, EveryKeyHoldsItsValuesAsStringsWithOneTerminatingZero)
{
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("call " + std::to_string(round));
        EXPECT_EQ(Update(), 1);
        for (const ConfigurationKey& key : kKeys) {
            SCOPED_TRACE(RootName(key.root) + key.path);
            std::vector<std::string> names = OwnValueNames(key);
            EXPECT_EQ(names.size(), key.values);
            for (const std::string& name : names) {
                RegistryValue value = ReadRegistryValue(key.root, key.path, name);
                EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
                ASSERT_FALSE(value.bytes.empty()) << name;
                EXPECT_EQ(value.bytes.find('\0'), value.bytes.size() - 1)
                    << name << " holds " << Printable(value.bytes);
            }
        }
    }
}

// The keys are created one at a time, in order, each closed before the next;
// every value goes to the key that is open, in the order of its table.
TEST_F(ConfigurationTest, KeysAreWrittenOneAtATimeAndValuesInTableOrder)
{
    std::vector<std::vector<std::string>> written;  // value names, key by key
    {
        RegistryCallLog recording(install_.Handle());
        EXPECT_EQ(Update(), 1);

        HKEY open = nullptr;
        std::set<HKEY> reading;
        size_t keyIndex = 0;
        for (const RegistryCall& call : recording.Calls()) {
            switch (call.kind) {
            case RegistryCall::kCreate:
                ASSERT_EQ(open, nullptr) << "a key was created while another was open: "
                                         << call.subKey;
                ASSERT_LT(keyIndex, std::size(kKeys)) << "more keys than expected";
                EXPECT_EQ(call.root, kKeys[keyIndex].root);
                EXPECT_EQ(call.subKey, kKeys[keyIndex].path);
                EXPECT_EQ(call.keyClass, "");
                EXPECT_EQ(call.options, static_cast<DWORD>(REG_OPTION_NON_VOLATILE));
                EXPECT_EQ(call.access, static_cast<REGSAM>(KEY_WRITE));
                open = call.key;
                written.emplace_back();
                ++keyIndex;
                break;
            case RegistryCall::kSet:
                ASSERT_NE(open, nullptr) << "value " << call.name << " set with no key open";
                EXPECT_EQ(call.key, open);
                EXPECT_EQ(call.type, static_cast<DWORD>(REG_SZ));
                EXPECT_EQ(call.bytes.size(), strlen(call.bytes.c_str()) + 1) << call.name;
                written.back().push_back(call.name);
                break;
            case RegistryCall::kOpen:
                // A key opened to read is no key written; its close is its own.
                if (call.key != nullptr)
                    reading.insert(call.key);
                break;
            case RegistryCall::kClose:
                if (reading.erase(call.key) != 0)
                    break;
                EXPECT_EQ(call.key, open);
                open = nullptr;
                break;
            }
        }
        EXPECT_EQ(open, nullptr) << "a key was left open";
        EXPECT_TRUE(reading.empty()) << "a key opened to read was left open";
        ASSERT_EQ(written.size(), std::size(kKeys));
    }

    // Every value written once; what was written is what the key holds.
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        SCOPED_TRACE(kKeys[i].path);
        std::vector<std::string> names = OwnValueNames(kKeys[i]);
        std::set<std::string, bool (*)(const std::string&, const std::string&)> unique(
            [](const std::string& a, const std::string& b) { return _stricmp(a.c_str(), b.c_str()) < 0; });
        unique.insert(written[i].begin(), written[i].end());
        EXPECT_EQ(unique.size(), written[i].size()) << "a value was written twice";
        EXPECT_EQ(written[i].size(), names.size());
    }

    // The order of each table, by its landmarks.
    auto at = [&](const char* path) -> const std::vector<std::string>& {
        for (size_t i = 0; i < std::size(kKeys); ++i)
            if (kKeys[i].path == path)
                return written[i];
        static const std::vector<std::string> none;
        return none;
    };
    EXPECT_EQ(at(kGeneral), (std::vector<std::string>{"ProductID", "Internal", "MAJOR_VER_NUM",
                                                      "MINOR_VER_NUM", "SKU", "ProductName",
                                                      "BuildTime", "BuildNum", "Home"}));
    EXPECT_EQ(at(kAppPaths), (std::vector<std::string>{"path", ""}));
    for (size_t i = 0; i < at(kTemporary).size(); ++i)
        EXPECT_EQ(at(kTemporary)[i], "List" + std::to_string(i));

    // Extensions: the 50 short format names, then format codes ascending.
    const std::vector<std::string>& extensions = at(kExtensions);
    ASSERT_EQ(extensions.size(), 169u);
    EXPECT_EQ(extensions.front(), "af");
    EXPECT_EQ(extensions[49], "tga");
    auto numbers = [](const std::string& code) {
        std::vector<long> parts;
        for (const char* p = code.c_str(); *p != '\0';) {
            char* end;
            parts.push_back(strtol(p, &end, 10));
            p = *end == '.' ? end + 1 : end;
        }
        return parts;
    };
    for (size_t i = 50; i < extensions.size(); ++i) {
        EXPECT_NE(extensions[i].find_first_of("0123456789"), std::string::npos) << extensions[i];
        if (i > 50) {
            EXPECT_LT(numbers(extensions[i - 1]), numbers(extensions[i]))
                << extensions[i - 1] << " before " << extensions[i];
        }
    }

    // Document classes: six applications, then six actions.
    const std::vector<std::string>& classes = at(kClassDefaults);
    ASSERT_EQ(classes.size(), 12u);
    for (size_t i = 0; i < 12; ++i) {
        const std::string suffix = i < 6 ? "app" : "action";
        EXPECT_EQ(classes[i].substr(classes[i].size() - suffix.size()), suffix) << classes[i];
    }

    // Helper applications: seven groups, each count first, every target
    // format right after its application.
    const std::vector<std::string>& hunter = at(kHunter);
    std::vector<std::string> counts;
    for (size_t i = 0; i < hunter.size(); ++i) {
        const std::string& name = hunter[i];
        if (name[0] == 'n')
            counts.push_back(name);
        const std::string target = "TrgFormat";
        if (name.size() > target.size() &&
            name.compare(name.size() - target.size(), target.size(), target) == 0) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(_stricmp((hunter[i - 1] + target).c_str(), name.c_str()), 0)
                << name << " follows " << hunter[i - 1];
        }
    }
    EXPECT_EQ(counts, (std::vector<std::string>{"nURL_Apps", "nWP_apps", "nSS_apps", "nDB_apps",
                                                "nGFX_apps", "nIMG_apps", "nPG_apps"}));
    EXPECT_EQ(hunter.front(), "nURL_Apps");
    EXPECT_EQ(hunter.back(), "pg_App2");

    EXPECT_EQ(at(kPictures).front(), "118");
    EXPECT_EQ(at(kPictures)[17], "39");  // the second column starts here
    EXPECT_EQ(at(kPictures).back(), "98");
    EXPECT_EQ(at(kDocuments).front(), "11");
    EXPECT_EQ(at(kDocuments)[25], "42");
    EXPECT_EQ(at(kDocuments).back(), "-1");
    EXPECT_EQ(at(kWorkbooks).front(), "81.2.0.1.0");
    EXPECT_EQ(at(kWorkbooks).back(), "194");
    EXPECT_EQ(at(kFonts).front(), "Lucida.Bright.Math");
    EXPECT_EQ(at(kFonts).back(), "WP.MathExtendedB");
}

// Entries a reader of the tables would most likely get wrong.
TEST_F(ConfigurationTest, EntriesWrittenExactlyAsTheViewerReadsThem)
{
    ASSERT_EQ(Update(), 1);
    const struct {
        const char* key;
        const char* name;
        const char* data;
    } rows[] = {
        {kExtensions, "wo", "WPD"},
        {kExtensions, "MI", "DOC"},
        {kExtensions, "mi", "DOC"},  // value names are not case-sensitive
        {kExtensions, "81.2.0.4", "WK4"},
        {kExtensions, "249.9.0.3", "MP3"},
        {kExtensions, "272", "PPT"},
        {kHunter, "nURL_Apps", "11"},
        {kHunter, "url_app10", "WINTAP32.EXE Tapestry"},
        {kHunter, "nWP_apps", "8"},
        {kHunter, "wp_app0", "WINWORD.EXE Word for Windows"},
        {kHunter, "wp_App0TrgFormat", "mww 42 45"},
        {kHunter, "wp_App6TrgFormat", "mw 46 123"},
        {kHunter, "nDB_apps", "7"},
        {kHunter, "db_App0", "PDOXWIN.EXE Paradow for Windows"},
        {kHunter, "db_App6", "SMART.EXE SmartWare II for DOS"},
        {kHunter, "nGFX_apps", "5"},
        {kHunter, "gfx_App1", "CORELDRW.EXE"},
        {kHunter, "gfx_App4TrgFormat", "wmf 83"},
        {kHunter, "img_App3TrgFormat", "tiff 71"},
        {kHunter, "nPG_apps", "3"},
        {kClassDefaults, "WPapp", ""},
        {kClassDefaults, "PGapp", ""},
        {kClassDefaults, "GFXaction", "0 0"},
        {kTemporary, "List0", "TX*."},
        {kTemporary, "List11", "TX*.$$$"},
        {kPictures, "202", "rxg4rdr.dll"},
        {kWorkbooks, "81.2.0.5.0", "sxssfun.dll 2 5 sxssvwr.dll 38"},
        {kWorkbooks, "228", "0 0 0 sxssvwr.dll 35"},
        {kWorkbooks, "sxssvwr.dll", "2"},
        {kWorkbooks, "3", "sxssvwr.dll"},
        {kDocuments, "-1", "hexflt.dll"},
        {kDocuments, "80", "woflt.dll"},
        {kFonts, "WP.MultinationalA Roman", "1"},
        {kFonts, "ITC.Zapf.Dingbats", "1"},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, row.key, row.name, row.data));

    const char* absent[][2] = {
        {kHunter, "gfx_App0"},          // the drawing group starts at 1
        {kHunter, "gfx_App5"},
        {kHunter, "db_App7"},
        {kFonts, "WP.MultinationalA.Roman"},
    };
    for (const auto& name : absent)
        EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, name[0], name[1]));
}

TEST_F(ConfigurationTest, HomeDirectoryIsStoredAsGivenAndJoinedWithOneBackslash)
{
    const struct {
        std::string home;
        std::string application;
    } cases[] = {
        {"C:\\Program Files\\Sorbix", "C:\\Program Files\\Sorbix\\SORBIX.EXE"},
        {"C:\\Program Files\\Sorbix\\", "C:\\Program Files\\Sorbix\\SORBIX.EXE"},
        {"", "\\SORBIX.EXE"},
        {"D:\\", "D:\\SORBIX.EXE"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("home \"" + c.home + "\"");
        EXPECT_EQ(Update(c.home), 1);
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Home", c.home));
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAppPaths, "path", c.home));
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAppPaths, "", c.application));
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kHelp, "sorbix.hlp", c.home));
        EXPECT_TRUE(IsRegSz(HKEY_CLASSES_ROOT, kClassRootHome, "", c.home));
    }
}

TEST_F(ConfigurationTest, ApplicationPathTooLongForItsBufferIsNotStoredCut)
{
    // home + "\" + "SORBIX.EXE" fills the 256-byte buffer at 244 characters.
    const std::string fits = "C:\\" + std::string(244 - 3, 'h');
    EXPECT_EQ(Update(fits), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAppPaths, "", fits + "\\SORBIX.EXE"));

    const std::string tooLong = fits + "h";
    EXPECT_EQ(Update(tooLong), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAppPaths, "", fits + "\\SORBIX.EXE"))
        << "the earlier application path stays";
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAppPaths, "path", tooLong));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Home", tooLong));
}

TEST_F(ConfigurationTest, IdentityAndVersionValuesComeFromTheIniSection)
{
    ASSERT_EQ(Update(), 1);
    const char* expected[][2] = {
        {"ProductID", "SX-1997-0042"}, {"Internal", "SX-STD-40"},   {"MAJOR_VER_NUM", "4"},
        {"MINOR_VER_NUM", "02"},       {"SKU", "Standard Edition"}, {"ProductName", "Sorbix Viewer"},
        {"BuildTime", "1997-03-14 18:02"}, {"BuildNum", "412"},
    };
    for (const auto& value : expected)
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, value[0], value[1]));

    // Entries that are empty or missing are skipped and keep the earlier
    // values; "Internal" is always written, empty when missing.
    WriteVersionIni("[general]\r\n"
                    "internal=\r\n"
                    "MAJOR_VER_NUM=5\r\n"
                    "SKU=\r\n"
                    "[Other]\r\n"
                    "BuildNum=999\r\n");
    ASSERT_EQ(Update(kHome, ""), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "ProductID", ""));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Internal", ""));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "MAJOR_VER_NUM", "5"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "MINOR_VER_NUM", "02"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "SKU", "Standard Edition"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "BuildNum", "412"));

    DeleteFileA(versionIni_.c_str());
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kGeneral);
    ASSERT_EQ(Update(), 1);
    EXPECT_EQ(SortedValueNames(HKEY_LOCAL_MACHINE, kGeneral),
              (std::vector<std::string>{"Home", "Internal", "ProductID"}));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Internal", ""));
}

TEST_F(ConfigurationTest, IniEntryLongerThanItsBufferIsNotStoredCut)
{
    // The lookup holds 254 characters.
    const std::string fits(254, 'v');
    WriteVersionIni("[GENERAL]\r\nInternal=" + fits + "\r\nSKU=" + fits + "\r\n");
    ASSERT_EQ(Update(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Internal", fits));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "SKU", fits));

    const std::string tooLong(255, 'w');
    WriteVersionIni("[GENERAL]\r\nInternal=" + tooLong + "\r\nSKU=" + tooLong + "\r\n");
    ASSERT_EQ(Update(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Internal", ""))
        << "an entry that does not fit counts as missing";
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "SKU", fits)) << "the earlier SKU stays";
}

// Each key made to fail in turn: the keys before it complete, it and the
// keys after it untouched. A launch-manager key stops only the launch
// manager's tables.
TEST_F(ConfigurationTest, KeyThatCannotBeCreatedStopsTheWriterThere)
{
    for (size_t failing = 0; failing < std::size(kKeys); ++failing) {
        const ConfigurationKey& key = kKeys[failing];
        SCOPED_TRACE("failing " + RootName(key.root) + key.path);
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kProduct);
        DeleteKeyTree(HKEY_CLASSES_ROOT, kProduct);
        DeleteValue(HKEY_LOCAL_MACHINE, kHelp, "sorbix.hlp");

        int result;
        {
            RegistryCallLog recording(install_.Handle());
            recording.FailKey(key.path, key.root);
            result = Update();
        }
        bool launchManagerKey = failing < kFirstBaseKey;
        EXPECT_EQ(result, launchManagerKey ? 1 : 0);

        size_t lastOfItsGroup = launchManagerKey ? kFirstBaseKey - 1 : std::size(kKeys) - 1;
        for (size_t i = 0; i < std::size(kKeys); ++i) {
            const ConfigurationKey& other = kKeys[i];
            SCOPED_TRACE(RootName(other.root) + other.path);
            bool untouched = i >= failing && i <= lastOfItsGroup;
            EXPECT_EQ(OwnValueNames(other).size(), untouched ? 0u : other.values);
            if (untouched && other.path != kHelp) {
                // Only the keys on the way to a written key exist.
                bool parentOfWritten = false;
                for (size_t j = 0; j < std::size(kKeys); ++j) {
                    bool written = !(j >= failing && j <= lastOfItsGroup);
                    if (written && kKeys[j].root == other.root &&
                        std::string(kKeys[j].path).rfind(std::string(other.path) + "\\", 0) == 0)
                        parentOfWritten = true;
                }
                if (!parentOfWritten) {
                    EXPECT_FALSE(KeyExists(other.root, other.path)) << "the key was created";
                }
            }
        }
    }
}

TEST_F(ConfigurationTest, OemSetupWritesNoProductIdAndNoVersion)
{
    EXPECT_EQ(oem_("unused", 1, 2, "unused", "D:\\Viewer\\"), 1);
    EXPECT_EQ(SortedValueNames(HKEY_LOCAL_MACHINE, kGeneral),
              (std::vector<std::string>{"Home", "Internal", "ProductID"}));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "ProductID", ""));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Internal", ""));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "Home", "D:\\Viewer\\"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAppPaths, "", "D:\\Viewer\\SORBIX.EXE"));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kFonts).size(), 25u);
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kExtensions).size(), 169u);
}

TEST_F(ConfigurationTest, OemSetupAnswersOneEvenWhenTheGeneralKeyFails)
{
    RegistryCallLog recording(install_.Handle());
    recording.FailKey(kGeneral, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(oem_("unused", 1, 2, "unused", "D:\\Viewer"), 1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGeneral));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAppPaths));
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kHunter).size(), 65u);
}

// The version entries are stored as the profile reader itself reads them
// (GetPrivateProfileStringA, asked here as the oracle), in a small section
// and in a large one.
TEST_F(ConfigurationTest, VersionEntriesAreReadAsTheProfileReaderReadsThem)
{
    const struct {
        const char* what;
        const char* lines;
    } cases[] = {
        {"blanks around names and values", "  SKU  =  Standard Edition  \r\n"},
        {"double quotes", "SKU=\"Standard Edition\"\r\n"},
        {"single quotes", "SKU='Standard Edition'\r\n"},
        {"unmatched quote", "SKU=\"Standard Edition\r\n"},
        {"one quote alone", "SKU=\"\r\n"},
        {"quotes inside", "SKU=Standard \"Edition\"\r\n"},
        {"empty quotes", "SKU=\"\"\r\n"},
        {"first of two entries wins", "SKU=first\r\nSKU=second\r\n"},
        {"name in other letter case", "sku=lower\r\n"},
        {"equals sign in the value", "SKU=a=b\r\n"},
        {"comment line", ";SKU=comment\r\nSKU=real\r\n"},
        {"name that only begins alike", "SKUX=other\r\nSKU=real\r\n"},
    };
    const std::string longLines[] = {"SKU=" + std::string(254, 's') + "\r\n",
                                     "SKU=" + std::string(255, 's') + "\r\n"};
    const std::string padding = [] {
        std::string lines;
        for (int i = 0; i < 100; ++i)
            lines += "Padding" + std::to_string(i) + "=" + std::string(30, 'p') + "\r\n";
        return lines;  // well over the 2048 bytes the section is read into
    }();
    std::vector<std::pair<std::string, std::string>> all;  // what, lines
    for (const auto& c : cases)
        all.push_back({c.what, c.lines});
    for (const std::string& lines : longLines)
        all.push_back({std::to_string(lines.size() - 6) + " characters", lines});
    for (bool large : {false, true}) {
        for (const auto& [what, lines] : all) {
            SCOPED_TRACE(what + (large ? ", large section" : ""));
            WriteVersionIni("[GENERAL]\r\nBuildNum=7\r\n" + (large ? padding : "") + lines +
                            "[Other]\r\nSKU=other section\r\n");
            char expected[512];
            DWORD length = GetPrivateProfileStringA("GENERAL", "SKU", "", expected,
                                                    sizeof expected, versionIni_.c_str());
            SetRegSz(HKEY_LOCAL_MACHINE, kGeneral, "SKU", "before");
            ASSERT_EQ(Update(), 1);
            if (length == 0 || length > 254)
                EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "SKU", "before"));
            else
                EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "SKU", expected));
            EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kGeneral, "BuildNum", "7"));
        }
    }
}

}  // namespace
