// msmaillink: the attachment handler value of the current user and the
// all-users pass over real hive files, driven through install's IntegAval,
// IntegInteg and IntegRemove as the script drives them.
//
// The module is held loaded by the test (install's loads then find the same
// module), so that its imports can be patched for the length of a test: the
// Windows directory points into a scratch tree holding "Profiles" or
// "system32\config", GetVersionExA tells Windows NT 4 from Windows 95,
// MessageBoxA is answered and recorded, RegLoadKeyA keeps a log beside the
// mounted hive as Windows does, and RegSaveKeyA records the security
// attributes it is given and saves without them (Wine refuses any).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "support/hive_files.h"
#include "integrations/module_contract.h"
#include "support/import_hook.h"
#include "support/integration_exports.h"
#include "support/loaded_dll.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"
#include "support/token_privileges.h"

namespace {

const char kMailKey[] = "SOFTWARE\\Microsoft\\Mail\\Microsoft Mail";
const char kHandler[] = "CustomAttachmentHandler";
const char kScratchName[] = "SXHIVE.TMP";

const char kInstallText[] =
    "You do not have the required permissions necessary to install the Microsoft Mail "
    "integration for all users on this system.If you require this functionallity please contact "
    "your system administrator.\n\nPress OK and Sorbix will integrate with Microsoft Mail for the "
    "current user only.";
const char kDeinstallText[] =
    "You do not have the required permissions necessary to un-install the Microsoft Mail "
    "integration for all users on this system.If you require this functionallity please contact "
    "your system administrator.\n\nPress OK and Sorbix will un-install the Microsoft Mail "
    "integration for the current user only.";

// What the patched imports were told and what they should do.
struct PatchState {
    std::string windowsDirectory;
    DWORD platform = VER_PLATFORM_WIN32_NT;

    struct Message {
        std::string text, caption;
        UINT flags;
        HWND owner;
    };
    std::vector<Message> messages;

    bool hiveMounted = false;
    int loads = 0;
    int saves = 0;
    std::vector<std::string> privilegeCalls;  // names enabled, "disable all"

    // Failure points; each fires once (at the call given) unless 0.
    int failEnableAt = 0;            // n-th enabling call returns FALSE
    int failLoadAt = 0;              // n-th load fails with loadError
    LONG loadError = ERROR_SUCCESS;
    int failOwnerAt = 0;             // n-th RegGetKeySecurity fails
    int failStepAt = 0;              // n-th value write in a mounted hive fails
    int raiseInStepAt = 0;           // n-th value write in a mounted hive raises
    DWORD raiseCode = 0;
    int failSaveAt = 0;              // n-th save writes part of a file and fails
    int valueWrites = 0;
    int ownerReads = 0;
    bool failLookup = false;
    bool failOpenToken = false;
};

// Every file below a directory, as paths relative to it.
std::vector<std::string> FilesBelow(const std::string& root)
{
    std::vector<std::string> files;
    for (const DirectoryEntry& entry : EntriesBelow(root)) {
        if (!entry.directory)
            files.push_back(entry.path.substr(root.size()));
    }
    return files;
}

class MsMailLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        state_ = PatchState();
        state_.windowsDirectory = windows_.Path();
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "sxtmpkey");
        ASSERT_TRUE(EnablePrivileges({"SeChangeNotifyPrivilege"}));
    }

    void TearDown() override
    {
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey")) << "a hive stayed mounted";
    }

    UINT FakeWindowsDirectory(LPSTR buffer, UINT size)
    {
        const std::string& path = state_.windowsDirectory;
        if (path.size() + 1 > size)
            return static_cast<UINT>(path.size() + 1);
        memcpy(buffer, path.c_str(), path.size() + 1);
        return static_cast<UINT>(path.size());
    }

    BOOL FakeVersion(OSVERSIONINFOA* info)
    {
        if (info->dwOSVersionInfoSize != 148)
            return FALSE;
        info->dwMajorVersion = 4;
        info->dwMinorVersion = 0;
        info->dwBuildNumber = state_.platform == VER_PLATFORM_WIN32_NT ? 1381 : 950;
        info->dwPlatformId = state_.platform;
        strcpy(info->szCSDVersion, "");
        return TRUE;
    }

    int RecordMessage(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
    {
        state_.messages.push_back({text, caption, flags, owner});
        return IDOK;
    }

    LONG LoadKeepingLog(HKEY root, LPCSTR name, LPCSTR file)
    {
        ++state_.loads;
        if (state_.loads == state_.failLoadAt)
            return state_.loadError;
        LONG result = load_.Original()(root, name, file);
        if (result == ERROR_SUCCESS) {
            state_.hiveMounted = true;
            WriteFileBytes(std::string(file) + ".log", "log of a mounted hive");
        }
        return result;
    }

    LONG RecordUnload(HKEY root, LPCSTR name)
    {
        state_.hiveMounted = false;
        return unload_.Original()(root, name);
    }

    LONG SaveWithoutAttributes(HKEY key, LPCSTR file, LPSECURITY_ATTRIBUTES attributes)
    {
        ++state_.saves;
        // Windows takes the hive's owner with the save; Wine refuses any
        // attributes, so they are checked here and left out.
        EXPECT_NE(attributes, nullptr);
        if (attributes != nullptr) {
            EXPECT_EQ(attributes->nLength, sizeof(SECURITY_ATTRIBUTES));
            EXPECT_FALSE(attributes->bInheritHandle);
            auto* descriptor = static_cast<PSECURITY_DESCRIPTOR>(attributes->lpSecurityDescriptor);
            EXPECT_TRUE(IsValidSecurityDescriptor(descriptor));
            PSID owner = nullptr;
            BOOL defaulted = FALSE;
            EXPECT_TRUE(GetSecurityDescriptorOwner(descriptor, &owner, &defaulted));
            EXPECT_NE(owner, nullptr) << "the hive's owner is saved with it";
        }
        if (state_.saves == state_.failSaveAt) {
            WriteFileBytes(file, "part of a hive");
            return ERROR_DISK_FULL;
        }
        return save_.Original()(key, file, nullptr);
    }

    LONG SetValueInStep(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                               DWORD size)
    {
        if (state_.hiveMounted) {
            ++state_.valueWrites;
            if (state_.valueWrites == state_.failStepAt)
                return ERROR_ACCESS_DENIED;
            if (state_.valueWrites == state_.raiseInStepAt) {
                if (state_.raiseCode == EXCEPTION_ACCESS_VIOLATION)
                    *static_cast<volatile int*>(nullptr) = 1;
                RaiseException(state_.raiseCode, 0, 0, nullptr);
            }
        }
        return setValue_.Original()(key, name, reserved, type, data, size);
    }

    BOOL RecordAdjust(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                             PTOKEN_PRIVILEGES previous, PDWORD returned)
    {
        if (disableAll) {
            state_.privilegeCalls.push_back("disable all");
        } else {
            for (DWORD i = 0; i < state->PrivilegeCount; ++i)
                state_.privilegeCalls.push_back(PrivilegeName(state->Privileges[i].Luid));
            if (static_cast<int>(state_.privilegeCalls.size()) == state_.failEnableAt) {
                SetLastError(ERROR_ACCESS_DENIED);
                return FALSE;
            }
        }
        return adjust_.Original()(token, disableAll, state, length, previous, returned);
    }

    LONG ReadOwner(HKEY key, SECURITY_INFORMATION what, PSECURITY_DESCRIPTOR descriptor,
                          LPDWORD size)
    {
        if (++state_.ownerReads == state_.failOwnerAt)
            return ERROR_ACCESS_DENIED;
        return owner_.Original()(key, what, descriptor, size);
    }

    BOOL LookupPrivilege(LPCSTR system, LPCSTR name, PLUID privilege)
    {
        if (state_.failLookup && strcmp(name, "SeSecurityPrivilege") == 0) {
            SetLastError(ERROR_NO_SUCH_PRIVILEGE);
            return FALSE;
        }
        return lookup_.Original()(system, name, privilege);
    }

    BOOL OpenToken(HANDLE process, DWORD access, PHANDLE token)
    {
        if (state_.failOpenToken) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        return openToken_.Original()(process, access, token);
    }

    std::string Profile(const std::string& name) const
    {
        return windows_.Path() + "\\Profiles\\" + name;
    }
    std::string ProfileHive(const std::string& name) const
    {
        return Profile(name) + "\\NTUSER.DAT";
    }
    std::string ConfigDirectory() const { return windows_.Path() + "\\system32\\config"; }

    // A profile directory, with a hive holding the values unless hive is
    // false (a shared profile).
    void AddProfile(const std::string& name, const std::vector<HiveText>& values, bool hive = true)
    {
        CreateDirectoryA((windows_.Path() + "\\Profiles").c_str(), nullptr);
        CreateDirectoryA(Profile(name).c_str(), nullptr);
        if (hive)
            MakeHiveFile(ProfileHive(name), values);
    }

    // The NT 4 layout: the shared profile without a hive, the default
    // profile for new users, the account running setup and one other user.
    void MakeNtLayout()
    {
        AddProfile("All Users", {}, false);
        WriteFileBytes(Profile("All Users") + "\\desktop.ini", "[.ShellClassInfo]\r\n");
        AddProfile("Default User", {{"Control Panel\\Desktop", "Wallpaper", "(None)"}});
        AddProfile("Administrator", {{kMailKey, "Login", "admin"}});
        AddProfile("Other User", {{kMailKey, "Login", "other"},
                                  {kMailKey, "Polling", "10"},
                                  {"Control Panel\\Desktop", "Wallpaper", "tiles.bmp"}});
    }

    std::map<std::string, std::string> SnapshotFiles() const
    {
        std::map<std::string, std::string> contents;
        for (const auto& file : FilesBelow(windows_.Path()))
            contents[file] = ReadFileBytes(windows_.Path() + file);
        return contents;
    }

    // No scratch file or scratch log anywhere in the tree.
    void ExpectNoScratchLeft() const
    {
        for (const auto& file : FilesBelow(windows_.Path())) {
            EXPECT_EQ(file.find(kScratchName), std::string::npos) << file << " was left";
            EXPECT_EQ(file.find(".log"), std::string::npos) << file << " was left";
        }
    }

    RegistryValue HandlerInHive(const std::string& hive) const
    {
        MountedHive mounted(hive);
        return mounted.Read(kMailKey, kHandler);
    }

    int Aval() { return install_.Available("msmaillink.dll", "C:\\Sorbix", support_.Path().c_str()); }
    int Integ(const std::string& installation)
    {
        return install_.Integrate("msmaillink.dll", installation.c_str(), support_.Path().c_str());
    }
    int Remove() { return install_.Remove("msmaillink.dll", "C:\\Sorbix", support_.Path().c_str()); }

    PatchState state_;
    ScratchDirectory support_{"support"};
    ScratchDirectory windows_{"windows"};
    RegistryKeyGuard mailKey_{HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail"};
    PrivilegeStateGuard privileges_;
    bool copied_ = CopyFileA(BinaryFile("msmaillink.dll").c_str(),
                             support_.File("msmaillink.dll").c_str(), FALSE) != FALSE;
    LoadedDll module_{support_.File("msmaillink.dll")};
    // The module's imports, answered by the fixture (see PatchState).
    ImportHook<decltype(GetWindowsDirectoryA)> windowsDirectory_{
        module_.Handle(), "KERNEL32.dll", "GetWindowsDirectoryA",
        [this](auto... arguments) { return FakeWindowsDirectory(arguments...); }};
    ImportHook<decltype(GetVersionExA)> version_{
        module_.Handle(), "KERNEL32.dll", "GetVersionExA",
        [this](auto... arguments) { return FakeVersion(arguments...); }};
    ImportHook<decltype(MessageBoxA)> messageBox_{
        module_.Handle(), "USER32.dll", "MessageBoxA",
        [this](auto... arguments) { return RecordMessage(arguments...); }};
    ImportHook<decltype(RegLoadKeyA)> load_{
        module_.Handle(), "ADVAPI32.dll", "RegLoadKeyA",
        [this](auto... arguments) { return LoadKeepingLog(arguments...); }};
    ImportHook<decltype(RegUnLoadKeyA)> unload_{
        module_.Handle(), "ADVAPI32.dll", "RegUnLoadKeyA",
        [this](auto... arguments) { return RecordUnload(arguments...); }};
    ImportHook<decltype(RegSaveKeyA)> save_{
        module_.Handle(), "ADVAPI32.dll", "RegSaveKeyA",
        [this](auto... arguments) { return SaveWithoutAttributes(arguments...); }};
    ImportHook<decltype(RegSetValueExA)> setValue_{
        module_.Handle(), "ADVAPI32.dll", "RegSetValueExA",
        [this](auto... arguments) { return SetValueInStep(arguments...); }};
    ImportHook<decltype(AdjustTokenPrivileges)> adjust_{
        module_.Handle(), "ADVAPI32.dll", "AdjustTokenPrivileges",
        [this](auto... arguments) { return RecordAdjust(arguments...); }};
    ImportHook<decltype(RegGetKeySecurity)> owner_{
        module_.Handle(), "ADVAPI32.dll", "RegGetKeySecurity",
        [this](auto... arguments) { return ReadOwner(arguments...); }};
    ImportHook<decltype(LookupPrivilegeValueA)> lookup_{
        module_.Handle(), "ADVAPI32.dll", "LookupPrivilegeValueA",
        [this](auto... arguments) { return LookupPrivilege(arguments...); }};
    ImportHook<decltype(OpenProcessToken)> openToken_{
        module_.Handle(), "ADVAPI32.dll", "OpenProcessToken",
        [this](auto... arguments) { return OpenToken(arguments...); }};
    IntegrationExports install_;
};

TEST_F(MsMailLinkTest, StringTableHoldsTheMessageTexts)
{
    const struct {
        UINT id;
        const char* text;
    } rows[] = {
        {120, "You do not have the required permissions necessary to install the Microsoft Mail "
              "integration for all users on this system."},
        {121, "If you require this functionallity please contact your system administrator.\n\n"
              "Press OK and Sorbix will integrate with Microsoft Mail for the current user only."},
        {122, "You do not have the required permissions necessary to un-install the Microsoft "
              "Mail integration for all users on this system."},
        {123, "If you require this functionallity please contact your system administrator.\n\n"
              "Press OK and Sorbix will un-install the Microsoft Mail integration for the "
              "current user only."},
        {124, "Sorbix"},
    };
    for (const auto& row : rows) {
        char text[600];
        int length = LoadStringA(module_.Handle(), row.id, text, sizeof text);
        EXPECT_EQ(std::string(text, length), row.text) << "string " << row.id;
    }
}

TEST_F(MsMailLinkTest, AvailableAnswersWhetherTheUserHasALogin)
{
    const struct {
        const char* what;
        std::function<void()> arrange;
        int expected;
    } cases[] = {
        {"no mail key", [] {}, 0},
        {"mail key without Login", [] { SetRegSz(HKEY_CURRENT_USER, kMailKey, "Polling", "10"); },
         0},
        {"empty Login", [] { SetRegSz(HKEY_CURRENT_USER, kMailKey, "Login", ""); }, 1},
        {"Login of 99 characters",
         [] { SetRegSz(HKEY_CURRENT_USER, kMailKey, "Login", std::string(99, 'u')); }, 1},
        {"Login of 100 characters does not fit its 100 bytes",
         [] { SetRegSz(HKEY_CURRENT_USER, kMailKey, "Login", std::string(100, 'u')); }, 0},
        {"Login of another type", [] { SetRegDword(HKEY_CURRENT_USER, kMailKey, "Login", 7); }, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
        c.arrange();
        EXPECT_EQ(Aval(), c.expected);
    }
}

TEST_F(MsMailLinkTest, InstallWritesTheHandlerBesideTheDirectory)
{
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    // The value is built in 52 bytes: 51 characters with "sxmscah.dll,2".
    const std::string longest = "C:\\" + std::string(51 - 14 - 3, 'd');
    const struct {
        std::string directory;
        std::string value;
    } cases[] = {
        {"C:\\SORBIX", "C:\\SORBIX\\sxmscah.dll,2"},
        {"C:\\SORBIX\\", "C:\\SORBIX\\sxmscah.dll,2"},
        {"", "\\sxmscah.dll,2"},
        {longest, longest + "\\sxmscah.dll,2"},
        {longest + "\\", longest + "\\sxmscah.dll,2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(Integ(c.directory), 1);
        EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, c.value));
        EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{kHandler});
    }
}

TEST_F(MsMailLinkTest, HandlerTooLongForItsBufferIsWrittenNowhere)
{
    MakeNtLayout();
    SetRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\OLD\\sxmscah.dll,2");
    auto before = SnapshotFiles();
    const std::string tooLong = "C:\\" + std::string(52 - 14 - 3, 'd');

    EXPECT_EQ(Integ(tooLong), 1);
    EXPECT_EQ(Integ(tooLong + "\\"), 1) << "with its backslash it is one longer still";

    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\OLD\\sxmscah.dll,2"));
    EXPECT_EQ(SnapshotFiles(), before) << "no user hive was touched";
    EXPECT_EQ(state_.loads, 0);
    EXPECT_TRUE(state_.messages.empty());
}

TEST_F(MsMailLinkTest, InstallAndDeinstallKeepTheMailKey)
{
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    SetRegSz(HKEY_CURRENT_USER, kMailKey, "Login", "me");

    EXPECT_EQ(Remove(), 1) << "nothing to remove yet";
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{"Login"});

    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Sorbix\\sxmscah.dll,2"));
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{"Login"});

    // A key that install made itself also stays.
    DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_EQ(Aval(), 0) << "install does not make a Login";
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kMailKey));
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, kMailKey).empty());
}

TEST_F(MsMailLinkTest, OnWindows95OnlyTheCurrentUserIsServed)
{
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    MakeNtLayout();
    auto before = SnapshotFiles();
    auto enabled = EnabledPrivileges();

    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Sorbix\\sxmscah.dll,2"));
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, kMailKey, kHandler));

    EXPECT_EQ(SnapshotFiles(), before);
    EXPECT_TRUE(state_.privilegeCalls.empty());
    EXPECT_EQ(EnabledPrivileges(), enabled);
}

TEST_F(MsMailLinkTest, OnWindowsNtEveryProfileNotInUseIsServed)
{
    MakeNtLayout();
    const std::string inUse = ProfileHive("Administrator");
    const std::string inUseBytes = ReadFileBytes(inUse);
    const std::string sharedBefore = ReadFileBytes(Profile("All Users") + "\\desktop.ini");
    {
        HeldOpenFile loggedOn(inUse);
        EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    }
    const std::vector<std::string> afterInstall = {"SeBackupPrivilege", "SeRestorePrivilege",
                                                   "SeSecurityPrivilege", "disable all"};
    EXPECT_EQ(state_.privilegeCalls, afterInstall);
    EXPECT_TRUE(EnabledPrivileges().empty()) << "the pass ends with every privilege disabled";
    EXPECT_TRUE(state_.messages.empty());
    EXPECT_EQ(state_.saves, 2);
    ExpectNoScratchLeft();

    const std::string value = "C:\\Sorbix\\sxmscah.dll,2";
    {
        MountedHive other(ProfileHive("Other User"));
        EXPECT_EQ(other.Read(kMailKey, kHandler).bytes, SzBytes(value));
        EXPECT_EQ(other.Read(kMailKey, kHandler).type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(other.Read(kMailKey, "Login").bytes, SzBytes("other"));
        EXPECT_EQ(other.Read(kMailKey, "Polling").bytes, SzBytes("10"));
        EXPECT_EQ(other.Read("Control Panel\\Desktop", "Wallpaper").bytes, SzBytes("tiles.bmp"));
    }
    {
        MountedHive fresh(ProfileHive("Default User"));
        EXPECT_EQ(fresh.Read(kMailKey, kHandler).bytes, SzBytes(value)) << "the key is made";
        EXPECT_EQ(fresh.Read("Control Panel\\Desktop", "Wallpaper").bytes, SzBytes("(None)"));
    }
    EXPECT_EQ(ReadFileBytes(inUse), inUseBytes) << "the logged-on user's hive is left alone";
    EXPECT_FALSE(FileExists(Profile("All Users") + "\\NTUSER.DAT"));
    EXPECT_EQ(ReadFileBytes(Profile("All Users") + "\\desktop.ini"), sharedBefore);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, value));

    // Deinstall takes the value out of the same hives and keeps the keys.
    EnablePrivileges({"SeChangeNotifyPrivilege"});
    {
        HeldOpenFile loggedOn(inUse);
        EXPECT_EQ(Remove(), 1);
    }
    EXPECT_TRUE(EnabledPrivileges().empty());
    EXPECT_TRUE(state_.messages.empty());
    ExpectNoScratchLeft();
    {
        MountedHive other(ProfileHive("Other User"));
        EXPECT_FALSE(other.Read(kMailKey, kHandler).exists);
        EXPECT_EQ(other.Read(kMailKey, "Login").bytes, SzBytes("other"));
    }
    {
        MountedHive fresh(ProfileHive("Default User"));
        EXPECT_FALSE(fresh.Read(kMailKey, kHandler).exists);
        EXPECT_TRUE(fresh.HasKey(kMailKey));
    }
    EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, kMailKey, kHandler));
}

TEST_F(MsMailLinkTest, WithoutProfilesTheConfigLogsNameTheHives)
{
    const std::string config = ConfigDirectory();
    CreateDirectoryA((windows_.Path() + "\\system32").c_str(), nullptr);
    CreateDirectoryA(config.c_str(), nullptr);
    MakeHiveFile(config + "\\USER1", {{kMailKey, "Login", "one"}});
    MakeHiveFile(config + "\\USER2", {{"Control Panel\\Desktop", "Wallpaper", "(None)"}});
    MakeHiveFile(config + "\\SYSTEM", {{"Select", "Current", "1"}});
    MakeHiveFile(config + "\\NOLOG", {{"Select", "Current", "1"}});
    for (const char* log : {"USER1.LOG", "USER2.LOG", "SYSTEM.LOG"})
        WriteFileBytes(config + "\\" + log, "hive log");
    const std::string systemBytes = ReadFileBytes(config + "\\SYSTEM");
    const std::string noLogBytes = ReadFileBytes(config + "\\NOLOG");

    {
        HeldOpenFile inUseBySystem(config + "\\SYSTEM");
        EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    }
    EXPECT_EQ(HandlerInHive(config + "\\USER1").bytes, SzBytes("C:\\Sorbix\\sxmscah.dll,2"));
    EXPECT_EQ(HandlerInHive(config + "\\USER2").bytes, SzBytes("C:\\Sorbix\\sxmscah.dll,2"));
    EXPECT_EQ(ReadFileBytes(config + "\\SYSTEM"), systemBytes);
    EXPECT_EQ(ReadFileBytes(config + "\\NOLOG"), noLogBytes) << "a hive without a log is not found";
    for (const char* log : {"USER1.LOG", "USER2.LOG", "SYSTEM.LOG"})
        EXPECT_EQ(ReadFileBytes(config + "\\" + log), "hive log");
    EXPECT_FALSE(FileExists(config + "\\" + kScratchName));
    EXPECT_FALSE(FileExists(config + "\\" + kScratchName + ".log"));
    EXPECT_TRUE(EnabledPrivileges().empty());
}

TEST_F(MsMailLinkTest, NoHiveSourceMeansNoPassAtAll)
{
    auto enabled = EnabledPrivileges();
    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_TRUE(state_.privilegeCalls.empty());
    EXPECT_EQ(EnabledPrivileges(), enabled);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Sorbix\\sxmscah.dll,2"));
}

TEST_F(MsMailLinkTest, AScratchFileLeftBehindKeepsItsProfileOut)
{
    MakeNtLayout();
    const std::string leftOver = Profile("Other User") + "\\" + kScratchName;
    WriteFileBytes(leftOver, "left by an earlier setup");
    const std::string otherBytes = ReadFileBytes(ProfileHive("Other User"));

    EXPECT_EQ(Integ("C:\\Sorbix"), 1);

    EXPECT_EQ(ReadFileBytes(leftOver), "left by an earlier setup");
    EXPECT_EQ(ReadFileBytes(ProfileHive("Other User")), otherBytes);
    EXPECT_EQ(HandlerInHive(ProfileHive("Default User")).bytes,
              SzBytes("C:\\Sorbix\\sxmscah.dll,2"));
    EXPECT_EQ(HandlerInHive(ProfileHive("Administrator")).bytes,
              SzBytes("C:\\Sorbix\\sxmscah.dll,2"));
}

TEST_F(MsMailLinkTest, DeinstallWhereNoHandlerIsSetPutsTheHiveBackUnchanged)
{
    MakeNtLayout();
    auto before = SnapshotFiles();
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(SnapshotFiles(), before);
    EXPECT_EQ(state_.saves, 0) << "the step found nothing to remove";
    EXPECT_TRUE(EnabledPrivileges().empty());
}

// Every way the pass can fail leaves each user's hive at its own path, as
// it was, with no scratch file or log; shows the message at most once; and
// ends with every privilege disabled. Failures that fire once let the next
// profile be served, unless the pass ends there.
TEST_F(MsMailLinkTest, EveryFailurePointPutsTheHivesBack)
{
    const struct {
        const char* what;
        std::function<void()> arrange;
        bool installing;
        bool message;
        int served;  // of the two hives that can be served
    } cases[] = {
        {"enabling the restore privilege is refused", [this] { state_.failEnableAt = 2; }, true,
         true, 0},
        {"enabling the security privilege is refused (deinstall)",
         [this] { state_.failEnableAt = 3; }, false, true, 0},
        {"the load lacks the privilege",
         [this] { state_.failLoadAt = 1, state_.loadError = ERROR_PRIVILEGE_NOT_HELD; }, true, true,
         0},
        {"the load lacks the privilege (deinstall)",
         [this] { state_.failLoadAt = 1, state_.loadError = ERROR_PRIVILEGE_NOT_HELD; }, false,
         true, 0},
        {"the load fails otherwise",
         [this] { state_.failLoadAt = 1, state_.loadError = ERROR_BADDB; }, true, false, 1},
        {"the owner cannot be read", [this] { state_.failOwnerAt = 1; }, true, false, 1},
        {"the step fails", [this] { state_.failStepAt = 1; }, true, false, 1},
        {"the step raises an exception",
         [this] { state_.raiseInStepAt = 1, state_.raiseCode = 0xE0534F58; }, true, false, 1},
        {"the step makes an access violation",
         [this] { state_.raiseInStepAt = 1, state_.raiseCode = EXCEPTION_ACCESS_VIOLATION; }, true,
         false, 1},
        {"the save fails after writing part of a file", [this] { state_.failSaveAt = 1; }, true,
         false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteDirectoryTree(windows_.Path() + "\\Profiles");
        AddProfile("All Users", {}, false);
        // For deinstall, both users carry the handler, so both can be served.
        AddProfile("Default User", {{kMailKey, kHandler, "C:\\Old\\sxmscah.dll,2"}});
        AddProfile("Other User", {{kMailKey, kHandler, "C:\\Old\\sxmscah.dll,2"},
                                  {kMailKey, "Login", "other"}});
        auto before = SnapshotFiles();
        state_.messages.clear();
        state_.privilegeCalls.clear();
        state_.loads = state_.saves = state_.valueWrites = state_.ownerReads = 0;
        state_.failEnableAt = state_.failLoadAt = state_.failOwnerAt = state_.failStepAt =
            state_.raiseInStepAt = state_.failSaveAt = 0;
        c.arrange();
        ASSERT_TRUE(EnablePrivileges({"SeChangeNotifyPrivilege"}));

        EXPECT_EQ(c.installing ? Integ("C:\\Sorbix") : Remove(), 1);

        auto after = SnapshotFiles();
        ASSERT_EQ(after.size(), before.size()) << "files were added or lost";
        int served = 0;
        for (const auto& file : before) {
            ASSERT_EQ(after.count(file.first), 1u) << file.first << " is gone";
            if (after[file.first] != file.second)
                ++served;
        }
        EXPECT_EQ(served, c.served);
        ExpectNoScratchLeft();
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey"));
        EXPECT_TRUE(EnabledPrivileges().empty());
        ASSERT_EQ(state_.messages.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(state_.messages[0].text, c.installing ? kInstallText : kDeinstallText);
            EXPECT_EQ(state_.messages[0].caption, "Sorbix");
            EXPECT_EQ(state_.messages[0].flags, static_cast<UINT>(MB_OK));
            EXPECT_EQ(state_.messages[0].owner, nullptr);
        }
        // The current user is served in every case.
        if (c.installing)
            EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Sorbix\\sxmscah.dll,2"));
        else
            EXPECT_TRUE(IsAbsentValue(HKEY_CURRENT_USER, kMailKey, kHandler));
    }
}

TEST_F(MsMailLinkTest, WithoutTokenOrPrivilegeNamesThePassDoesNothing)
{
    const struct {
        const char* what;
        bool* flag;
    } cases[] = {
        {"the token cannot be opened", &state_.failOpenToken},
        {"a privilege cannot be looked up", &state_.failLookup},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteDirectoryTree(windows_.Path() + "\\Profiles");
        MakeNtLayout();
        auto before = SnapshotFiles();
        auto enabled = EnabledPrivileges();
        state_.privilegeCalls.clear();
        *c.flag = true;
        EXPECT_EQ(Integ("C:\\Sorbix"), 1);
        *c.flag = false;
        EXPECT_EQ(SnapshotFiles(), before);
        EXPECT_TRUE(state_.privilegeCalls.empty());
        EXPECT_EQ(EnabledPrivileges(), enabled) << "privileges are left as they were";
        EXPECT_TRUE(state_.messages.empty());
        EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Sorbix\\sxmscah.dll,2"));
    }
}

// Another product's attachment handler, there before install, is kept
// beside the viewer's and given back by deinstall, type and bytes as they
// were; a handler that already is the viewer's is not kept.
const char kHandlerBackup[] = "Sorbix Backup - CustomAttachmentHandler";

TEST_F(MsMailLinkTest, AnotherProductsHandlerIsKeptAndGivenBack)
{
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    const struct {
        const char* what;
        DWORD type;
        std::string bytes;  // as stored
    } cases[] = {
        {"a text", REG_SZ, SzBytes("C:\\Other\\OtherCah.DLL,1")},
        {"an expandable text", REG_EXPAND_SZ, SzBytes("%ProgramFiles%\\Other\\cah.dll,3")},
        {"an empty text", REG_SZ, SzBytes("")},
        {"bytes without a terminating zero", REG_BINARY, std::string("C:\\x.dll,1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
        SetRegSz(HKEY_CURRENT_USER, kMailKey, "Login", "me");
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kMailKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
        RegSetValueExA(key, kHandler, 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                       static_cast<DWORD>(c.bytes.size()));
        RegCloseKey(key);

        EXPECT_EQ(Integ("C:\\Sorbix"), 1);
        EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Sorbix\\sxmscah.dll,2"));
        // A second install finds the viewer's handler and keeps the first
        // backup.
        EXPECT_EQ(Integ("D:\\Sorbix"), 1);
        RegistryValue kept = ReadRegistryValue(HKEY_CURRENT_USER, kMailKey, kHandlerBackup);
        EXPECT_EQ(kept.type, c.type);
        EXPECT_EQ(kept.bytes, c.bytes);

        EXPECT_EQ(Remove(), 1);
        RegistryValue back = ReadRegistryValue(HKEY_CURRENT_USER, kMailKey, kHandler);
        EXPECT_EQ(back.type, c.type);
        EXPECT_EQ(back.bytes, c.bytes) << Printable(back.bytes);
        std::vector<std::string> names = ValueNames(HKEY_CURRENT_USER, kMailKey);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{kHandler, "Login"}));
    }
}

TEST_F(MsMailLinkTest, AHandlerThatIsTheViewersIsNotKept)
{
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    SetRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\OLD\\SXMSCAH.DLL,2");
    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{kHandler});
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, kMailKey).empty());
}

TEST_F(MsMailLinkTest, DeinstallLeavesAHandlerThatIsNotTheViewers)
{
    // Another product took the handler over after the viewer's install:
    // deinstall leaves it and drops the viewer's backup, which is no
    // longer what the user had.
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    SetRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Newer\\cah.dll,1");
    SetRegSz(HKEY_CURRENT_USER, kMailKey, kHandlerBackup, "C:\\Older\\cah.dll,1");
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Newer\\cah.dll,1"));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{kHandler});
}

TEST_F(MsMailLinkTest, AHandlerTooLongToKeepWholeIsLeftAsItIs)
{
    state_.platform = VER_PLATFORM_WIN32_WINDOWS;
    const std::string longHandler = "C:\\Other\\" + std::string(1100, 'h') + ".dll,1";
    SetRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, longHandler);
    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, longHandler));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{kHandler});
    EXPECT_EQ(Remove(), 1);
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, longHandler));
}

TEST_F(MsMailLinkTest, EveryUsersOwnHandlerIsKeptAndGivenBack)
{
    AddProfile("Default User", {{"Control Panel\\Desktop", "Wallpaper", "(None)"}});
    AddProfile("Other User", {{kMailKey, "Login", "other"},
                              {kMailKey, kHandler, "C:\\Other\\OtherCah.DLL,1"}});
    SetRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Mine\\cah.dll,4");

    EXPECT_EQ(Integ("C:\\Sorbix"), 1);
    {
        MountedHive other(ProfileHive("Other User"));
        EXPECT_EQ(other.Read(kMailKey, kHandler).bytes, SzBytes("C:\\Sorbix\\sxmscah.dll,2"));
        EXPECT_EQ(other.Read(kMailKey, kHandlerBackup).bytes, SzBytes("C:\\Other\\OtherCah.DLL,1"));
    }
    {
        MountedHive fresh(ProfileHive("Default User"));
        EXPECT_FALSE(fresh.Read(kMailKey, kHandlerBackup).exists) << "it had no handler to keep";
    }
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandlerBackup, "C:\\Mine\\cah.dll,4"));

    EnablePrivileges({"SeChangeNotifyPrivilege"});
    EXPECT_EQ(Remove(), 1);
    ExpectNoScratchLeft();
    {
        MountedHive other(ProfileHive("Other User"));
        RegistryValue back = other.Read(kMailKey, kHandler);
        EXPECT_EQ(back.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(back.bytes, SzBytes("C:\\Other\\OtherCah.DLL,1"));
        EXPECT_FALSE(other.Read(kMailKey, kHandlerBackup).exists);
        EXPECT_EQ(other.Read(kMailKey, "Login").bytes, SzBytes("other"));
    }
    {
        MountedHive fresh(ProfileHive("Default User"));
        EXPECT_FALSE(fresh.Read(kMailKey, kHandler).exists);
        EXPECT_FALSE(fresh.Read(kMailKey, kHandlerBackup).exists);
    }
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, kHandler, "C:\\Mine\\cah.dll,4"));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kMailKey), std::vector<std::string>{kHandler});
}

TEST_F(MsMailLinkTest, WepAnswersOne)
{
    EXPECT_EQ(module_.Export<ModuleWepProc>(kOrdinalWep)(0), 1);
}

}  // namespace
