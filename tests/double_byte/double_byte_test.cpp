// The DLLs on a Japanese system: this program runs with code page 932, where
// the second byte of a character may be 0x5C, the backslash ("表" is
// 0x95 0x5C), or a letter ("ア" is 0x83 0x41, "ヂ" 0x83 0x61). Every
// directory here ends in such a character, and every export that joins a
// directory and a file name must still put its one backslash between them;
// comparisons without regard to letter case must not fold second bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/import_patch.h"
#include "support/integration_exports.h"
#include "support/loaded_dll.h"
#include "support/process_environment.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kHyou[] = "\x95\x5C";  // second byte: a backslash
const char kA[] = "\x83\x41";     // katakana A, second byte "A"
const char kDi[] = "\x83\x61";    // katakana DI, second byte "a"

typedef int(WINAPI* OneStringExport)(const char*);
typedef int(WINAPI* LoadPlugExport)(DWORD, const char*, const char*, const char*);
typedef int(WINAPI* HaveKeyDllExport)(DWORD, char*, const char*, DWORD*, char*);
typedef int(WINAPI* FileOperation)(const char*, const char*);

const char kAddOnsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager\\AddOns";

BOOL WINAPI ReportWindows95(OSVERSIONINFOA* info)
{
    info->dwMajorVersion = 4;
    info->dwMinorVersion = 0;
    info->dwBuildNumber = 950;
    info->dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    info->szCSDVersion[0] = '\0';
    return TRUE;
}

// Wine 8's GetEnvironmentVariableA ends the ANSI value after as many bytes
// as the value has characters, cutting a value with double-byte characters
// short; Windows does not. The module's import is answered as Windows
// answers it.
DWORD WINAPI WholeEnvironmentVariable(LPCSTR name, LPSTR value, DWORD size)
{
    wchar_t wideName[64];
    if (MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, 64) == 0)
        return 0;
    static wchar_t wide[32767];
    DWORD length = GetEnvironmentVariableW(wideName, wide, 32767);
    if (length == 0 || length >= 32767)
        return 0;
    int needed = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || static_cast<DWORD>(needed) > size)
        return static_cast<DWORD>(needed);
    WideCharToMultiByte(CP_ACP, 0, wide, -1, value, static_cast<int>(size), nullptr, nullptr);
    return static_cast<DWORD>(needed - 1);
}

class DoubleByteTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(GetACP(), 932u) << "the program must run with code page 932 (LOCPATH, LANG, LC_ALL)";
        ASSERT_TRUE(IsDBCSLeadByte(0x95));
    }

    // A new directory below scratch whose name ends in "表".
    static std::string EndingInHyou(const ScratchDirectory& scratch, const std::string& name)
    {
        std::string path = scratch.File(name + kHyou);
        EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << "cannot make a directory in 932";
        return path;
    }

    ScratchDirectory scratch_{"dbcs"};
};

TEST_F(DoubleByteTest, LoaderAndFileManagerJoinAfterTheLastCharacter)
{
    RegistryKeyGuard addOns{HKEY_LOCAL_MACHINE, kAddOnsKey};
    std::string support = EndingInHyou(scratch_, "support");
    std::string installation = "C:\\Program Files\\" + std::string(kHyou);
    CopyFileTo(BinaryFile("filemgrlink.dll"), support + "\\filemgrlink.dll");
    IntegrationExports install;

    EXPECT_EQ(install.Available("filemgrlink.dll", installation.c_str(), support.c_str()), 1)
        << "the module is found in the support directory";
    EXPECT_EQ(install.Integrate("filemgrlink.dll", installation.c_str(), support.c_str()), 1);
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", installation + "\\sxfm.dll"));
    EXPECT_EQ(install.Remove("filemgrlink.dll", installation.c_str(), support.c_str()), 1);
    EXPECT_FALSE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix").exists);
}

TEST_F(DoubleByteTest, LaunchManagerIsLoadedFromTheDirectory)
{
    RegistryKeyGuard record{HKEY_CURRENT_USER, "Software\\SorbixTests"};
    char saved[MAX_PATH];
    GetCurrentDirectoryA(sizeof saved, saved);
    std::string viewer = EndingInHyou(scratch_, "viewer");
    CopyFileTo(BinaryFile("launch_manager.dll"), viewer + "\\txlm.dll");
    {
        LoadedDll install(BinaryFile("install.dll"));
        EXPECT_EQ(install.Export<OneStringExport>(11)(viewer.c_str()), 0);
    }
    SetCurrentDirectoryA(saved);
    RegistryValue loadedFrom =
        ReadRegistryValue(HKEY_CURRENT_USER, "Software\\SorbixTests\\LaunchManager", "LoadedFrom");
    ASSERT_TRUE(loadedFrom.exists) << "txlm.dll was not loaded";
    EXPECT_EQ(std::string(loadedFrom.bytes.c_str()), viewer + "\\txlm.dll");
}

TEST_F(DoubleByteTest, PlugInLoaderFindsItsModuleAndIniAndKeepsSectionNamesWhole)
{
    RegistryKeyGuard quorvane{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    std::string first = EndingInHyou(scratch_, "first");
    std::string second = EndingInHyou(scratch_, "second");
    CopyFileTo(BinaryFile("pluginlink.dll"), second + "\\pluginlink.dll");
    // A section named by one character whose second byte is a backslash
    // names one key, not two.
    WriteFileBytes(second + "\\PLUGINLINK.INI",
                   std::string("[Sorbix Sections]\r\nLoader=1\r\n") + kHyou + "=1\r\n" +
                       "[Loader]\r\nPath=C:\\Plug\r\n[" + kHyou + "]\r\nName=one\r\n");
    {
        LoadedDll install(BinaryFile("install.dll"));
        EXPECT_EQ(install.Export<LoadPlugExport>(12)(0, "pluginlink.dll", first.c_str(),
                                                      second.c_str()),
                  1);
    }
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\Loader", "Path",
                        "C:\\Plug"))
        << "PLUGINLINK.INI was not read from the directory";
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Quorvane\\Sorbix\\") + kHyou,
                        "Name", "one"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\\x95"))
        << "the section name was split at its second byte";
}

TEST_F(DoubleByteTest, DetectionReadsInstallIniBesideTheSetupAndComparesByCharacter)
{
    RegistryKeyGuard quorvane{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard classes{HKEY_CLASSES_ROOT, "SOFTWARE"};
    DeleteKeyTree(HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane");
    std::string setup = EndingInHyou(scratch_, "setup");
    WriteFileBytes(setup + "\\install.ini", std::string("[General]\r\nInternal=SX-") + kA + "\r\n");
    LoadedDll install(BinaryFile("install.dll"));
    auto detect = install.Export<HaveKeyDllExport>(8);

    const struct {
        std::string internal;
        int expected;
    } cases[] = {
        {std::string("SX-") + kA, 1},
        {std::string("sx-") + kA, 1},
        {std::string("SX-") + kDi, 3},  // another product: its second byte differs in case only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.internal);
        SetRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\General", "Home", "C:\\Sorbix");
        SetRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\General", "Internal", c.internal);
        char home[300] = {};
        char maker[40] = {};
        DWORD seen = 7;
        EXPECT_EQ(detect(0, home, setup.c_str(), &seen, maker), c.expected);
        EXPECT_STREQ(maker, "SOFTWARE\\Quorvane");
    }
}

TEST_F(DoubleByteTest, DralinMailKeepsTheKitDirectoryAndJoinsTheCommand)
{
    // The kit's directory ends in "ア" (second byte "A"): lowering it byte
    // by byte would name another directory.
    std::string kit = scratch_.File(std::string("kit") + kA);
    ASSERT_TRUE(CreateDirectoryA(kit.c_str(), nullptr));
    WriteFileBytes(kit + "\\NETKIT.INI", "[Kit]\r\n");
    std::string mailIni = kit + "\\maildr.ini";
    WriteFileBytes(mailIni, "[Viewers]\r\ndefault=C:\\APPS\\Viewer.EXE /P\r\n");
    ScopedVariable netkit{"NETKIT", (kit + "\\NETKIT.INI").c_str()};
    std::string viewer = "C:\\" + std::string(kHyou);

    LoadedDll module(BinaryFile("netmaillink.dll"));
    ImportPatch variable{module.Handle(), "KERNEL32.dll", "GetEnvironmentVariableA",
                         reinterpret_cast<void*>(&WholeEnvironmentVariable)};
    EXPECT_EQ(module.Export<int(WINAPI*)()>(2)(), 1) << "maildr.ini beside the kit is found";
    EXPECT_EQ(module.Export<FileOperation>(3)(viewer.c_str(), ""), 3);
    char value[300];
    GetPrivateProfileStringA("Viewers", "default", "", value, sizeof value, mailIni.c_str());
    EXPECT_EQ(std::string(value), viewer + "\\sorbix.exe");
    EXPECT_EQ(module.Export<FileOperation>(4)("", ""), 1);
    GetPrivateProfileStringA("Viewers", "default", "", value, sizeof value, mailIni.c_str());
    EXPECT_EQ(std::string(value), "C:\\APPS\\Viewer.EXE /P");
}

TEST_F(DoubleByteTest, MicrosoftMailHandlerJoinsAfterTheLastCharacter)
{
    RegistryKeyGuard mail{HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail"};
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
    LoadedDll module(BinaryFile("msmaillink.dll"));
    ImportPatch version{module.Handle(), "KERNEL32.dll", "GetVersionExA",
                        reinterpret_cast<void*>(&ReportWindows95)};
    std::string directory = "C:\\" + std::string(kHyou);
    EXPECT_EQ(module.Export<FileOperation>(3)(directory.c_str(), ""), 3);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail\\Microsoft Mail",
                        "CustomAttachmentHandler", directory + "\\sxmscah.dll,2"));
}

TEST_F(DoubleByteTest, EudoraPlugInsLieBesideTheProgramWhateverItsName)
{
    const char appPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE";
    RegistryKeyGuard appPathsGuard{HKEY_LOCAL_MACHINE, appPaths};
    RegistryKeyGuard quorvane{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    std::string home = EndingInHyou(scratch_, "home");
    WriteFileBytes(home + "\\SORBIXEU.DLL", "plug-in");
    SetRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\GENERAL", "HOME", home);
    // The program's own name holds a 0x5C second byte: the directory ends
    // before the name, at the last backslash character.
    std::string eudora = EndingInHyou(scratch_, "eudora");
    std::string program = eudora + "\\EUDORA" + kHyou + ".EXE";
    CopyFileTo(BinaryFile("eudora_3010.exe"), program);
    SetRegSz(HKEY_LOCAL_MACHINE, appPaths, "", program);

    LoadedDll module(BinaryFile("eudoralink.dll"));
    EXPECT_EQ(module.Export<int(WINAPI*)()>(2)(), 1);
    EXPECT_EQ(module.Export<FileOperation>(3)("", ""), 1);
    EXPECT_EQ(ReadFileBytes(eudora + "\\plugins\\SORBIXEU.DLL"), "plug-in");
    EXPECT_EQ(module.Export<FileOperation>(4)("", ""), 1);
    EXPECT_FALSE(FileExists(eudora + "\\plugins\\SORBIXEU.DLL"));
}

}  // namespace
