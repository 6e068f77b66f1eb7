// browserlink and Netscape Navigator: discovery's fourth group (Navigator's
// key below HKEY_CURRENT_USER, else the INI file of an older Navigator on a
// fixed drive), and install and deinstall on Navigator's keys: every value
// Navigator had given back byte for byte, the keys made and opened in their
// order with all access, and what a key that cannot be made or opened
// leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "integrations/browserlink/browser_machine.h"
#include "support/import_hook.h"
#include "support/loaded_dll.h"
#include "support/registry_calls.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/wine_drive.h"

namespace {

const char kOwnIni[] = "netscape\\netscape.ini";

// The keys install makes, in the order it makes them.
const char* const kCreationOrder[] = {"Viewers",   "OViewers",  "OSuffixes",
                                      "Suffixes",  "OEncodings", "Encodings",
                                      "OMIME Descriptions", "MIME Descriptions"};

struct NavigatorValue {
    const char* section;  // "" for Navigator's own key
    std::string name;
    DWORD type;
    std::string bytes;  // exactly as stored
};

std::string Sz(const std::string& text)
{
    return SzBytes(text);
}

void SetNavigatorValues(const std::vector<NavigatorValue>& values)
{
    MakeNavigator();
    for (const NavigatorValue& v : values) {
        std::string path = *v.section != '\0' ? NavigatorKey(v.section) : kNavigatorKey;
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(key, v.name.c_str(), 0, v.type,
                                 reinterpret_cast<const BYTE*>(v.bytes.data()),
                                 static_cast<DWORD>(v.bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

// A REG_SZ value of one of Navigator's keys holds exactly text.
bool NavigatorHas(const char* section, const std::string& name, const std::string& text)
{
    return IsRegSz(HKEY_CURRENT_USER, NavigatorKey(section), name, text);
}

// Navigator's tree as "key|value" -> type and bytes, and its keys.
struct NavigatorState {
    std::map<std::string, std::pair<DWORD, std::string>> values;
    std::vector<std::string> keys;
};

NavigatorState ReadNavigator()
{
    NavigatorState state;
    for (const RegistryKeyContents& key : NavigatorTree()) {
        state.keys.push_back(key.path);
        for (const auto& value : key.values)
            state.values[key.path + "|" + value.first] = {value.second.type, value.second.bytes};
    }
    return state;
}

// Every difference between two states, one line each, for failure messages.
std::vector<std::string> Differences(const NavigatorState& before, const NavigatorState& after)
{
    std::vector<std::string> lines;
    for (const auto& value : before.values) {
        auto found = after.values.find(value.first);
        if (found == after.values.end())
            lines.push_back("lost " + value.first);
        else if (found->second != value.second)
            lines.push_back("changed " + value.first + ": " + Printable(value.second.second) +
                            " -> " + Printable(found->second.second));
    }
    for (const auto& value : after.values) {
        if (before.values.count(value.first) == 0)
            lines.push_back("added " + value.first + " = " + Printable(value.second.second));
    }
    if (before.keys != after.keys)
        lines.push_back("keys differ");
    return lines;
}

// ---------------------------------------------------------------- discovery

TEST_F(BrowserLinkTest, NavigatorsKeyFillsTheSlotWithoutAnyDriveBeingAsked)
{
    WineDrive drive('D', MadeDirectory(places_.Path() + "\\d"), DRIVE_FIXED);
    PlaceFile(std::string("D:\\") + kOwnIni);
    MakeNavigator();

    LoadedDll module(support_.File("browserlink.dll"));
    std::vector<std::string> attributeQueries;
    ImportHook<decltype(GetFileAttributesA)> recordedAttributes(
        module.Handle(), "KERNEL32.dll", "GetFileAttributesA", [&](LPCSTR path) {
            attributeQueries.push_back(path);
            return recordedAttributes.Original()(path);
        });
    EXPECT_EQ(Aval(), 1) << "Navigator alone is a browser";
    ASSERT_FALSE(attributeQueries.empty()) << "the Mosaic groups probe as before";
    for (const std::string& path : attributeQueries)
        EXPECT_EQ(path.find("netscape"), std::string::npos) << path;

    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(NavigatorServed());
    EXPECT_FALSE(Served(std::string("D:\\") + kOwnIni)) << "the key wins over the file";
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, NavigatorKey("Viewers"), "application/x-sorbix"));
}

TEST_F(BrowserLinkTest, OlderNavigatorsFileOnAFixedDrive)
{
    WineDrive fixed('D', MadeDirectory(places_.Path() + "\\d"), DRIVE_FIXED);
    WineDrive removable('E', MadeDirectory(places_.Path() + "\\e"), DRIVE_REMOVABLE);
    RegistryKeyGuard machineNetscape(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape");
    const std::string onFixed = std::string("D:\\") + kOwnIni;
    const std::string onRemovable = std::string("E:\\") + kOwnIni;

    const struct {
        const char* what;
        bool fileOnFixed;
        bool fileOnRemovable;
        bool machineKey;  // Navigator's key below HKEY_LOCAL_MACHINE only
        int available;
    } cases[] = {
        {"file on a fixed drive", true, false, false, 1},
        {"file on a removable drive only", false, true, false, 0},
        {"neither key nor file", false, false, false, 0},
        {"key of the machine, not the user's", false, false, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(onFixed.c_str());
        DeleteFileA(onRemovable.c_str());
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape");
        if (c.fileOnFixed)
            PlaceFile(onFixed);
        if (c.fileOnRemovable)
            PlaceFile(onRemovable);
        if (c.machineKey) {
            HKEY key;
            ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kNavigatorKey, 0, nullptr, 0,
                                      KEY_ALL_ACCESS, nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            RegCloseKey(key);
        }
        EXPECT_EQ(Aval(), c.available);
        EXPECT_EQ(Integ(), 1);
        EXPECT_EQ(Served(onFixed), c.fileOnFixed) << "the file is edited like any browser file";
        if (c.fileOnRemovable) {
            EXPECT_FALSE(Served(onRemovable));
        }
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kNavigatorKey)) << "no key is made";
        if (c.fileOnFixed) {
            EXPECT_EQ(Remove(), 1);
            EXPECT_EQ(Entry(onFixed, "Viewers", "application/x-sorbix"), kMissing);
            EXPECT_EQ(Entry(onFixed, "Viewers", "TYPE0"), "application/x-sorbix");
        }
    }
}

TEST_F(BrowserLinkTest, NavigatorComesAfterTheMosaicGroups)
{
    const std::string kit = MadeDirectory(places_.Path() + "\\net");
    netkit_.Set((kit + "\\NETKIT.INI").c_str());
    const std::string smosaic = kit + "\\mosaic\\smosaic.ini";
    const std::string mosaicFiles[] = {windowsEmosaic_, windowsMosaic_, smosaic};

    // All four browsers are served.
    for (const std::string& file : mosaicFiles)
        PlaceFile(file);
    MakeNavigator();
    EXPECT_EQ(Integ(), 1);
    for (const std::string& file : mosaicFiles)
        EXPECT_TRUE(Served(file)) << file;
    EXPECT_TRUE(NavigatorServed());

    // depend.ini without the image type's description stops install in the
    // first browser of the list: with each Mosaic group's file beside
    // Navigator, that file is edited and Navigator is not.
    std::string noImageDescription = kDependIni;
    noImageDescription.erase(noImageDescription.find("image/gif=GIF picture\r\n"), 23);
    WriteFileBytes(dependIni_, noImageDescription);
    for (const std::string& file : mosaicFiles) {
        SCOPED_TRACE(file);
        for (const std::string& other : mosaicFiles)
            DeleteFileA(other.c_str());
        PlaceFile(file);
        DeleteKeyTree(HKEY_CURRENT_USER, kNavigatorKey);
        MakeNavigator();
        EXPECT_EQ(ModuleInstall(), 3);
        EXPECT_TRUE(Served(file));
        EXPECT_EQ(NavigatorTree().size(), 1u) << "Navigator's key gained keys";
    }
    for (const std::string& file : mosaicFiles)
        DeleteFileA(file.c_str());
    EXPECT_EQ(ModuleInstall(), 3);
    EXPECT_TRUE(NavigatorServed()) << "alone, Navigator is the first browser";
}

// ------------------------------------------------------ install and deinstall

const char kRoundTripDepend[] =
    "[MIME Types]\r\n"
    "TYPE0=application/x-sorbix\r\n"
    "TYPE1=application/msword\r\n"
    "TYPE2=image/gif\r\n"
    "TYPE3=application/pdf\r\n"
    "TYPE4=application/rtf\r\n"
    "TYPE5=image/jpeg\r\n"
    "TYPE6=application/x-old\r\n"
    "[MIME Suffixes]\r\n"
    "application/x-sorbix=.sbx\r\n"
    "application/msword=.doc,.dot\r\n"
    "image/gif=.gif\r\n"
    "application/pdf=.pdf\r\n"
    "application/rtf=.rtf\r\n"
    "image/jpeg=.jpg\r\n"
    "application/x-old=.old\r\n"
    "[Encodings]\r\n"
    "application/x-sorbix=binary\r\n"
    "application/msword=binary\r\n"
    "application/pdf=binary\r\n"
    "application/rtf=binary\r\n"
    "application/x-old=binary\r\n"
    "[MIME Descriptions]\r\n"
    "application/x-sorbix=Sorbix document\r\n"
    "application/msword=Word document\r\n"
    "image/gif=GIF picture\r\n"
    "application/pdf=PDF document\r\n"
    "application/rtf=Rich text\r\n"
    "image/jpeg=JPEG picture\r\n"
    "application/x-old=Older document\r\n";

// A Navigator with settings of its own: a listed type with a viewer of its
// own (msword), one listed without a viewer (pdf), one whose viewer is not
// a plain text (rtf), an older viewer's command (x-old), an image type with
// a description that is not text, values too long to keep whole, one with
// a zero inside, an empty one, and settings install never looks at.
std::vector<NavigatorValue> OwnNavigator()
{
    const std::string longText(300, 'L');
    return {
        {"", "Version", REG_SZ, Sz("3.0")},
        {"Main", "Home Page", REG_SZ, Sz("http://home.example.com/")},
        {"Viewers", "TYPE0", REG_SZ, Sz("application/msword")},
        {"Viewers", "TYPE1", REG_SZ, Sz("image/gif")},
        {"Viewers", "TYPE2", REG_SZ, Sz("application/pdf")},
        {"Viewers", "TYPE3", REG_SZ, Sz("text/plain")},
        {"Viewers", "TYPE4", REG_SZ, Sz("application/rtf")},
        {"Viewers", "TYPE5", REG_SZ, Sz("application/x-old")},
        {"Viewers", "application/msword", REG_SZ, Sz("C:\\WINWORD\\WINWORD.EXE %s")},
        {"Viewers", "image/gif", REG_SZ, Sz("C:\\LVIEW\\LVIEW.EXE %s")},
        {"Viewers", "text/plain", REG_SZ, Sz("NOTEPAD.EXE %s")},
        {"Viewers", "application/rtf", REG_EXPAND_SZ, Sz("%WINDIR%\\WRITE.EXE %s")},
        {"Viewers", "application/x-old", REG_SZ, Sz("C:\\SORBIX4\\sorbix4.exe %s")},
        {"Suffixes", "application/msword", REG_SZ, Sz(".doc")},
        {"Suffixes", "image/gif", REG_SZ, Sz(".gif")},
        {"Suffixes", "application/pdf", REG_SZ, Sz(".pdf,.fdf")},
        {"Suffixes", "application/rtf", REG_SZ, Sz(".rtf")},
        {"Suffixes", "application/x-sorbix", REG_SZ, std::string(".own\0.old\0", 10)},
        {"Suffixes", "application/x-old", REG_SZ, Sz(".s4")},
        {"Encodings", "application/msword", REG_SZ, Sz("7bit")},
        {"Encodings", "application/pdf", REG_SZ, Sz("8bit")},
        {"Encodings", "application/x-sorbix", REG_SZ, Sz("base64")},
        {"MIME Descriptions", "application/msword", REG_SZ, Sz("Word file")},
        {"MIME Descriptions", "image/gif", REG_BINARY, std::string("\x01\x02\0\x03", 4)},
        {"MIME Descriptions", "application/pdf", REG_SZ, Sz(longText)},
        {"MIME Descriptions", "application/x-sorbix", REG_SZ, Sz("")},
        {"MIME Descriptions", "application/x-old", REG_SZ, Sz("Sorbix 4 document")},
    };
}

TEST_F(BrowserLinkTest, NavigatorGetsBackEveryValueItHad)
{
    WriteFileBytes(dependIni_, kRoundTripDepend);
    SetNavigatorValues(OwnNavigator());
    const NavigatorState before = ReadNavigator();

    EXPECT_EQ(ModuleInstall(), 0);
    const std::string viewers = NavigatorKey("Viewers");
    EXPECT_TRUE(NavigatorServed());
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, viewers, "TYPE6", "application/x-sorbix"));
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, viewers, "TYPE7")) << "one type was new";
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, viewers, "application/msword", kCommand));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, viewers, "application/pdf", kCommand));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, viewers, "application/x-old", kCommand));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("OViewers"), "application/x-old",
                        "C:\\SORBIX4\\sorbix4.exe %s"))
        << "every old command is kept, an older viewer's too";
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, viewers, "image/gif", "C:\\LVIEW\\LVIEW.EXE %s"));
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, viewers, "application/rtf").type,
              static_cast<DWORD>(REG_EXPAND_SZ))
        << "a value that is not REG_SZ is left alone";
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Suffixes"), "application/pdf", ".pdf"));
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, NavigatorKey("Suffixes"), "application/x-sorbix")
                  .bytes,
              std::string(".own\0.old\0", 10))
        << "a value that is more than one text cannot be given back as it was: left alone";
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Encodings"), "application/x-sorbix",
                        "binary"));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Encodings"), "application/pdf", "8bit"))
        << "a listed type's encoding stays";
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("MIME Descriptions"), "application/pdf",
                        std::string(300, 'L')))
        << "too long to keep whole: left alone";

    // A second install, from another directory.
    EXPECT_EQ(ModuleInstall("D:\\SORBIX"), 0);
    EXPECT_TRUE(
        IsRegSz(HKEY_CURRENT_USER, viewers, "application/msword", "D:\\SORBIX\\sorbix.exe %s"));
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, viewers, "TYPE7")) << "no type appended twice";

    EXPECT_EQ(Remove(), 1);
    NavigatorState expected = before;
    const std::string viewersPath = viewers + "|";
    expected.values[viewersPath + "TYPE6"] = {REG_SZ, Sz("application/x-sorbix")};
    // Descriptions written where Navigator had none, for an image type it
    // does not list and for a listed type whose viewer install left alone,
    // stay: deinstall removes what belongs to a viewer command of its own.
    expected.values[NavigatorKey("MIME Descriptions") + "|image/jpeg"] = {REG_SZ,
                                                                         Sz("JPEG picture")};
    expected.values[NavigatorKey("MIME Descriptions") + "|application/rtf"] = {REG_SZ,
                                                                              Sz("Rich text")};
    const NavigatorState after = ReadNavigator();
    EXPECT_EQ(Differences(expected, after), std::vector<std::string>{})
        << "only the appended type entry and descriptions written where there were none stay";
    for (const char* backup : {"OViewers", "OSuffixes", "OEncodings", "OMIME Descriptions"})
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, NavigatorKey(backup))) << backup;
}

TEST_F(BrowserLinkTest, NavigatorWithoutKeysOfItsOwnGetsThemMade)
{
    MakeNavigator();
    EXPECT_EQ(Integ(), 1);
    EXPECT_TRUE(NavigatorServed());
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Viewers"), "TYPE0",
                        "application/x-sorbix"));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Suffixes"), "application/msword",
                        ".doc,.dot"));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Encodings"), "application/msword",
                        "binary"));
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("MIME Descriptions"), "image/gif",
                        "GIF picture"));
    EXPECT_EQ(Remove(), 1);
    for (const char* section : {"Viewers", "Suffixes", "Encodings", "MIME Descriptions"}) {
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, NavigatorKey(section))) << section;
    }
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, NavigatorKey("Viewers")),
              (std::vector<std::string>{"TYPE0", "TYPE1"}));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, NavigatorKey("Suffixes")), std::vector<std::string>{});
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, NavigatorKey("Encodings")), std::vector<std::string>{});
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, NavigatorKey("MIME Descriptions")),
              std::vector<std::string>{"image/gif"});
}

TEST_F(BrowserLinkTest, DependIniWithoutTypesLeavesNavigatorAlone)
{
    MakeNavigator();
    WriteFileBytes(dependIni_, "[MIME Types]\r\nTYPE1=application/x-sorbix\r\n");
    EXPECT_EQ(ModuleInstall(), 0);
    EXPECT_EQ(NavigatorTree().size(), 1u) << "no key is made";
}

// Wine hands a REG_SZ value stored without its terminating zero over with
// one; Windows hands over the bytes as stored. The module's query is
// patched to strip the zero of the suffixes of msword, as Windows would
// hand them over had they been stored so.
TEST_F(BrowserLinkTest, NavigatorValueWithoutItsZeroIsLeftAlone)
{
    SetNavigatorValues({{"Viewers", "TYPE0", REG_SZ, Sz("application/msword")},
                        {"Suffixes", "application/msword", REG_SZ, Sz(".doc")}});
    LoadedDll module(support_.File("browserlink.dll"));
    ImportHook<decltype(RegQueryValueExA)> queryWithoutZero(
        module.Handle(), "ADVAPI32.dll", "RegQueryValueExA",
        [&](HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
            LONG status = queryWithoutZero.Original()(key, name, reserved, type, data, size);
            if (status == ERROR_SUCCESS && name != nullptr && data != nullptr &&
                size != nullptr && lstrcmpA(name, "application/msword") == 0 && *size == 5 &&
                memcmp(data, ".doc", 5) == 0)
                *size = 4;
            return status;
        });
    EXPECT_EQ(ModuleInstall(), 0);
    EXPECT_TRUE(NavigatorServed());
    EXPECT_TRUE(NavigatorHas("Suffixes", "application/msword", ".doc")) << "not replaced";
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, NavigatorKey("OSuffixes"), "application/msword"))
        << "a backup would give it back with a zero it did not have";
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(NavigatorHas("Suffixes", "application/msword", ".doc")) << "not deleted";
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, NavigatorKey("Viewers"), "application/msword"));
}

// A small Navigator of its own for the failure cases.
std::vector<NavigatorValue> SmallNavigator()
{
    return {
        {"Viewers", "TYPE0", REG_SZ, Sz("application/msword")},
        {"Viewers", "application/msword", REG_SZ, Sz("C:\\WINWORD\\WINWORD.EXE %s")},
        {"Suffixes", "application/msword", REG_SZ, Sz(".doc")},
        {"Encodings", "application/msword", REG_SZ, Sz("7bit")},
        {"MIME Descriptions", "application/msword", REG_SZ, Sz("Word file")},
    };
}

TEST_F(BrowserLinkTest, InstallEndsAtAKeyItCannotMake)
{
    LoadedDll module(support_.File("browserlink.dll"));
    const std::string viewers = NavigatorKey("Viewers");
    for (size_t failing = 0; failing < 8; ++failing) {
        SCOPED_TRACE(kCreationOrder[failing]);
        DeleteKeyTree(HKEY_CURRENT_USER, kNavigatorKey);
        SetNavigatorValues(SmallNavigator());
        {
            RegistryCallLog calls(module.Handle());
            calls.FailKey(NavigatorKey(kCreationOrder[failing]));
            EXPECT_EQ(ModuleInstall(), 0) << "a key that cannot be made ends install with 0";
        }
        // The backup keys from the failing one on were never made.
        for (size_t k = failing; k < 8; ++k) {
            if (kCreationOrder[k][0] == 'O') {
                EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, NavigatorKey(kCreationOrder[k])))
                    << kCreationOrder[k];
            }
        }
        // Each step ran when its keys were there, and not otherwise.
        const bool appended = failing > 0;
        const bool viewersSet = failing > 1;
        const bool suffixesSet = failing > 3;
        const bool encodingsSet = failing > 5;
        EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, viewers, "TYPE1").exists, appended);
        EXPECT_EQ(NavigatorHas("Viewers", "application/msword", kCommand), viewersSet);
        EXPECT_EQ(NavigatorHas("OViewers", "application/msword", "C:\\WINWORD\\WINWORD.EXE %s"),
                  viewersSet);
        EXPECT_TRUE(NavigatorHas("Suffixes", "application/msword", suffixesSet ? ".doc,.dot" : ".doc"));
        EXPECT_EQ(NavigatorHas("OSuffixes", "application/msword", ".doc"), suffixesSet);
        EXPECT_EQ(NavigatorHas("Encodings", "application/x-sorbix", "binary"), encodingsSet);
        EXPECT_TRUE(NavigatorHas("Encodings", "application/msword", "7bit"));
        EXPECT_TRUE(NavigatorHas("MIME Descriptions", "application/msword", "Word file"))
            << "descriptions come last";
        EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, NavigatorKey("MIME Descriptions"),
                                  "application/x-sorbix"));
    }
}

TEST_F(BrowserLinkTest, DeinstallDoesNothingWhenAKeyCannotBeOpened)
{
    SetNavigatorValues(SmallNavigator());
    EXPECT_EQ(ModuleInstall(), 0);
    const NavigatorState installed = ReadNavigator();

    LoadedDll module(support_.File("browserlink.dll"));
    for (const char* section : kNavigatorSections) {
        SCOPED_TRACE(section);
        RegistryCallLog calls(module.Handle());
        calls.FailOpen(NavigatorKey(section));
        EXPECT_EQ(Remove(), 1);
        EXPECT_EQ(Differences(installed, ReadNavigator()), std::vector<std::string>{});
    }
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, NavigatorKey("Viewers"), "application/msword",
                        "C:\\WINWORD\\WINWORD.EXE %s"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, NavigatorKey("OViewers")));
}

// The module's key calls, one line each: what it did, to which key (the
// last part of the path below HKEY_CURRENT_USER, or the path as given for
// a deletion), with which access. Keys that cannot be made or opened are
// chosen through Registry().
class KeyCallLog {
public:
    explicit KeyCallLog(HMODULE module)
        : registry_(module),
          delete_(module, "ADVAPI32.dll", "RegDeleteKeyA", [this](HKEY root, LPCSTR subKey) {
              deletions_.push_back({registry_.Calls().size(), root, subKey});
              return delete_.Original()(root, subKey);
          })
    {
    }

    RegistryCallLog& Registry() { return registry_; }

    Lines Described() const
    {
        Lines lines;
        std::map<HKEY, std::string> names;
        const std::vector<RegistryCall>& calls = registry_.Calls();
        size_t deletion = 0;
        for (size_t i = 0; i <= calls.size(); ++i) {
            for (; deletion < deletions_.size() && deletions_[deletion].callsBefore == i;
                 ++deletion) {
                lines.push_back(std::string("delete ") +
                                (deletions_[deletion].root == HKEY_CURRENT_USER ? ""
                                                                                : "(other root) ") +
                                deletions_[deletion].subKey);
            }
            if (i == calls.size())
                break;
            const RegistryCall& call = calls[i];
            switch (call.kind) {
            case RegistryCall::kCreate:
            case RegistryCall::kOpen:
                lines.push_back((call.kind == RegistryCall::kCreate ? "create " : "open ") +
                                Named(call.root, call.subKey) + " " + Access(call.access));
                if (call.status == ERROR_SUCCESS)
                    names[call.key] = Named(call.root, call.subKey);
                break;
            case RegistryCall::kClose:
                lines.push_back("close " + names[call.key]);
                names.erase(call.key);
                break;
            case RegistryCall::kSet:
                break;
            }
        }
        return lines;
    }

private:
    struct Deletion {
        size_t callsBefore;  // the registry calls made before it
        HKEY root;
        std::string subKey;
    };

    static std::string Named(HKEY root, const std::string& path)
    {
        std::string last = path.substr(path.rfind('\\') + 1);
        return (root == HKEY_CURRENT_USER ? "" : "(other root) ") + last;
    }
    static std::string Access(REGSAM access)
    {
        return access == KEY_ALL_ACCESS     ? "all"
               : access == KEY_QUERY_VALUE ? "query"
                                           : "access " + std::to_string(access);
    }

    RegistryCallLog registry_;
    std::vector<Deletion> deletions_;
    ImportHook<decltype(RegDeleteKeyA)> delete_;
};

// The keys of a pair are closed together, in no fixed order among
// themselves: each run of closings is compared as a sorted run.
Lines ClosingsSorted(Lines lines)
{
    for (auto run = lines.begin(); run != lines.end();) {
        auto end = run;
        while (end != lines.end() && end->compare(0, 6, "close ") == 0)
            ++end;
        std::sort(run, end);
        run = end == run ? end + 1 : end;
    }
    return lines;
}

TEST_F(BrowserLinkTest, NavigatorsKeysAreMadeOpenedAndClosedPairByPair)
{
    SetNavigatorValues(SmallNavigator());
    LoadedDll module(support_.File("browserlink.dll"));
    {
        KeyCallLog log(module.Handle());
        EXPECT_EQ(ModuleInstall(), 0);
        EXPECT_EQ(ClosingsSorted(log.Described()),
                  ClosingsSorted(Lines{"open Netscape Navigator query", "close Netscape Navigator",
                         "create Viewers all", "create OViewers all", "close Viewers",
                         "close OViewers", "create OSuffixes all", "create Suffixes all",
                         "close OSuffixes", "close Suffixes", "create OEncodings all",
                         "create Encodings all", "close OEncodings", "close Encodings",
                         "create OMIME Descriptions all", "create MIME Descriptions all",
                         "close OMIME Descriptions", "close MIME Descriptions"}));
    }
    {
        KeyCallLog log(module.Handle());
        EXPECT_EQ(Remove(), 1);
        EXPECT_EQ(ClosingsSorted(log.Described()),
                  ClosingsSorted(Lines{"open Netscape Navigator query", "close Netscape Navigator",
                         "open Viewers all", "open OViewers all", "open Suffixes all",
                         "open OSuffixes all", "open Encodings all", "open OEncodings all",
                         "open MIME Descriptions all", "open OMIME Descriptions all",
                         "close Viewers", "close OViewers", "close Suffixes", "close OSuffixes",
                         "close Encodings", "close OEncodings", "close MIME Descriptions",
                         "close OMIME Descriptions",
                         "delete Software\\Netscape\\Netscape Navigator\\OViewers",
                         "delete Software\\Netscape\\Netscape Navigator\\OMIME Descriptions",
                         "delete Software\\Netscape\\Netscape Navigator\\OSuffixes",
                         "delete Software\\Netscape\\Netscape Navigator\\OEncodings"}));
    }
    {
        // A key that cannot be made: the keys already open are closed.
        KeyCallLog log(module.Handle());
        log.Registry().FailKey(NavigatorKey("Suffixes"));
        EXPECT_EQ(ModuleInstall(), 0);
        const Lines lines = log.Described();
        EXPECT_EQ(Lines(lines.end() - 3, lines.end()),
                  (Lines{"create OSuffixes all", "create Suffixes all", "close OSuffixes"}));
    }
    {
        // Deinstall with a key that cannot be opened closes those it opened.
        KeyCallLog log(module.Handle());
        log.Registry().FailOpen(NavigatorKey("Encodings"));
        EXPECT_EQ(Remove(), 1);
        const Lines lines = log.Described();
        EXPECT_EQ(ClosingsSorted(Lines(lines.begin() + 2, lines.end())),
                  ClosingsSorted(Lines{"open Viewers all", "open OViewers all", "open Suffixes all",
                         "open OSuffixes all", "open Encodings all", "close Viewers",
                         "close OViewers", "close Suffixes", "close OSuffixes"}));
    }
}

}  // namespace
