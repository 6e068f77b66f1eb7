// filemgrlink: the File Manager add-on value, the "winfile.ini" entry and the
// reload message, driven through install's IntegAval, IntegInteg and
// IntegRemove as the script drives them. The module's own available result
// (3 or 1) is read by calling its ordinal 2 directly, since IntegAval keeps
// only bit 0.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/file_manager_standin.h"
#include "integrations/module_contract.h"
#include "support/import_hook.h"
#include "support/integration_exports.h"
#include "support/loaded_dll.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kAddOnsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager\\AddOns";

class FileManagerLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("filemgrlink.dll"), support_.File("filemgrlink.dll"));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager");
        DeleteFileA(winfileIni_.c_str());
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("filemgrlink.dll"), nullptr) << "the module stayed loaded";
    }

    int Aval() { return install_.Available("filemgrlink.dll", "C:\\Sorbix", support_.Path().c_str()); }
    int Integ(const std::string& installation)
    {
        return install_.Integrate("filemgrlink.dll", installation.c_str(), support_.Path().c_str());
    }
    int Remove() { return install_.Remove("filemgrlink.dll", "C:\\Sorbix", support_.Path().c_str()); }

    // The module's own available result, not cut to bit 0.
    int ModuleAvailable()
    {
        LoadedDll module(support_.File("filemgrlink.dll"));
        return module.Export<ModuleAvailableProc>(kOrdinalAvailable)();
    }

    std::string winfileIni_ = WindowsDirectory() + "\\winfile.ini";
    FileGuard winfileGuard_{winfileIni_};
    RegistryKeyGuard fileManagerKey_{HKEY_LOCAL_MACHINE,
                                     "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager"};
    ScratchDirectory support_{"support"};
    IntegrationExports install_;
};

TEST_F(FileManagerLinkTest, AvailableAnswersThreeOnlyForANonEmptyIniEntry)
{
    const struct {
        const char* what;
        const char* winfile;  // null: no file
        int module;
    } cases[] = {
        {"no winfile.ini", nullptr, 1},
        {"no AddOns section", "[Settings]\r\nSorbix=x\r\n", 1},
        {"empty entry", "[AddOns]\r\nSorbix=\r\n", 1},
        {"entry set", "[AddOns]\r\nSorbix=C:\\Sorbix\\sxfm.dll\r\n", 3},
        {"entry set, other case", "[addons]\r\nSORBIX=x\r\n", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.winfile != nullptr)
            WriteFileBytes(winfileIni_, c.winfile);
        else
            DeleteFileA(winfileIni_.c_str());
        EXPECT_EQ(ModuleAvailable(), c.module);
        EXPECT_EQ(Aval(), 1) << "IntegAval keeps bit 0 of 1 and of 3";
    }
}

TEST_F(FileManagerLinkTest, RegistryValueAloneDoesNotMakeTheEntryPresent)
{
    SetRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", "C:\\Sorbix\\sxfm.dll");
    EXPECT_EQ(ModuleAvailable(), 1);
}

TEST_F(FileManagerLinkTest, InstallStoresTheExtensionPathWithOneBackslash)
{
    const char* directories[] = {"C:\\Program Files\\Sorbix", "C:\\Program Files\\Sorbix\\"};
    for (const char* directory : directories) {
        SCOPED_TRACE(directory);
        EXPECT_EQ(Integ(directory), 1);
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix",
                            "C:\\Program Files\\Sorbix\\sxfm.dll"));
        EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kAddOnsKey), std::vector<std::string>{"Sorbix"});
    }
}

TEST_F(FileManagerLinkTest, InstallLeavesWinfileIniAlone)
{
    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_FALSE(FileExists(winfileIni_)) << "install made winfile.ini";

    const std::string own = "[AddOns]\r\nOther=other.dll\r\n";
    WriteFileBytes(winfileIni_, own);
    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_EQ(ReadFileBytes(winfileIni_), own);
}

TEST_F(FileManagerLinkTest, ExtensionPathAtTheEdgeOfItsBuffer)
{
    // directory + "\" + "sxfm.dll" must fit 52 bytes: 51 characters.
    const std::string fits = "C:\\" + std::string(51 - 9 - 3, 'f');
    EXPECT_EQ(Integ(fits), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", fits + "\\sxfm.dll"));

    // One character more is not stored cut: the value stays as it was.
    FileManagerStandIn fileManager;
    const std::string tooLong = "C:\\" + std::string(52 - 9 - 3, 'f');
    EXPECT_EQ(Integ(tooLong), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", fits + "\\sxfm.dll"));
    EXPECT_EQ(fileManager.ReloadCount(), 1) << "File Manager is still told to reload";

    // With a trailing backslash the same directory fits once more.
    EXPECT_EQ(Integ(fits + "\\"), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", fits + "\\sxfm.dll"));
}

TEST_F(FileManagerLinkTest, InstallAndDeinstallTellTheUntitledFrameToReload)
{
    FileManagerStandIn fileManager;
    FileManagerStandIn titled("File Manager - [C:\\]");
    ASSERT_TRUE(fileManager.Running());
    ASSERT_TRUE(titled.Running());

    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_EQ(fileManager.ReloadCount(), 1);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(fileManager.ReloadCount(), 2);
    EXPECT_EQ(titled.ReloadCount(), 0) << "a frame with a title is not File Manager's";
    EXPECT_EQ(Aval(), 1);
}

TEST_F(FileManagerLinkTest, DeinstallEmptiesTheEntryAndDeletesTheValue)
{
    WriteFileBytes(winfileIni_, "[AddOns]\r\nSorbix=C:\\Sorbix\\sxfm.dll\r\nOther=other.dll\r\n"
                                "[Settings]\r\nLowerCase=1\r\n");
    SetRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", "C:\\Sorbix\\sxfm.dll");
    SetRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Other", "C:\\Other\\other.dll");
    ASSERT_EQ(ModuleAvailable(), 3);

    EXPECT_EQ(Remove(), 1);

    char entry[64] = {};
    GetPrivateProfileStringA("AddOns", "Sorbix", "<missing>", entry, sizeof entry,
                             winfileIni_.c_str());
    EXPECT_STREQ(entry, "") << "the entry stays, emptied";
    GetPrivateProfileStringA("AddOns", "Other", "", entry, sizeof entry, winfileIni_.c_str());
    EXPECT_STREQ(entry, "other.dll");
    GetPrivateProfileStringA("Settings", "LowerCase", "", entry, sizeof entry, winfileIni_.c_str());
    EXPECT_STREQ(entry, "1");
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Other", "C:\\Other\\other.dll"));
    EXPECT_EQ(ModuleAvailable(), 1) << "right after deinstall the entry is empty";
}

TEST_F(FileManagerLinkTest, DeinstallWithoutWinfileIniNeitherMakesItNorSkipsTheRest)
{
    SetRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", "C:\\Sorbix\\sxfm.dll");
    FileManagerStandIn fileManager;

    EXPECT_EQ(Remove(), 1);

    EXPECT_FALSE(FileExists(winfileIni_));
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix"));
    EXPECT_EQ(fileManager.ReloadCount(), 1);
}

TEST_F(FileManagerLinkTest, RoundTripThroughTheScriptExports)
{
    WriteFileBytes(winfileIni_, "[AddOns]\r\n");
    FileManagerStandIn fileManager;
    EXPECT_EQ(Aval(), 1);
    EXPECT_EQ(Integ("C:\\Program Files\\Sorbix"), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix",
                        "C:\\Program Files\\Sorbix\\sxfm.dll"));
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix"));
    EXPECT_EQ(fileManager.ReloadCount(), 2);
}

TEST_F(FileManagerLinkTest, InstallWhoseKeyCannotBeCreatedStillNotifiesAndAnswersThree)
{
    // Called directly: the patch must sit in the loaded module's own imports.
    LoadedDll module(support_.File("filemgrlink.dll"));
    ImportHook<decltype(RegCreateKeyExA)> failing(
        module.Handle(), "ADVAPI32.dll", "RegCreateKeyExA",
        [](HKEY, LPCSTR, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD) {
            return static_cast<LONG>(ERROR_ACCESS_DENIED);
        });
    FileManagerStandIn fileManager;
    EXPECT_EQ(module.Export<ModuleFileOperationProc>(kOrdinalInstall)("C:\\Sorbix", "C:\\support\\depend.ini"), 3);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnsKey));
    EXPECT_EQ(fileManager.ReloadCount(), 1);
}

TEST_F(FileManagerLinkTest, WepAnswersOne)
{
    LoadedDll module(support_.File("filemgrlink.dll"));
    EXPECT_EQ(module.Export<ModuleWepProc>(kOrdinalWep)(0), 1);
}

}  // namespace
