// The installer's services for the script: shared-file questions, the
// registry-rights test, removal of help and start-up entries, closing a
// window, the Windows NT 4 test, and running the launch manager and the
// plug-in loader's module.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "support/dialog_key_presser.h"
#include "install/install_exports.h"
#include "support/import_hook.h"
#include "support/loaded_dll.h"
#include "support/message_box_recorder.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kSharedFile[] = "C:\\Program Files\\Common Files\\Sorbix\\sxshared.dll";
const char kCaption[] = "Remove shared file";
const char kAllFilesQuestion[] =
    "Some files may be used by other programs. Remove all shared files?";
const DWORD kUntouched = 0xA5A5A5A5;

UINT CurrentErrorMode()
{
    UINT mode = SetErrorMode(0);
    SetErrorMode(mode);
    return mode;
}

std::string CurrentDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof path, path);
    return std::string(path, length);
}

class UtilitiesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("sxinsres.dll"), resources_.File("sxinsres.dll"));
        SetErrorMode(0);
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("sxinsres.dll"), nullptr) << "the message module stayed loaded";
        SetErrorMode(savedErrorMode_);
    }

    std::string ResourceDirectory() const { return resources_.Path() + "\\"; }

    UINT savedErrorMode_ = CurrentErrorMode();
    ScratchDirectory resources_{"resources"};
    ScratchDirectory setup_{"setup"};  // holds no message module
    LoadedDll install_{BinaryFile("install.dll")};
};

// ---- DeleteShareDLL ---------------------------------------------------------

class DeleteShareDllTest : public UtilitiesTest {
protected:
    void SetUp() override
    {
        UtilitiesTest::SetUp();
        SetRegDword(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedFile, 2);
        SetRegDword(HKEY_LOCAL_MACHINE, kSharedDlls, "C:\\Other\\other.dll", 1);
    }

    int Delete(DWORD* mode, const std::string& resourceDirectory,
               const std::string& shownName = "sxshared.dll")
    {
        return delete_(0, shownName.c_str(), &removed_, kSharedFile, resourceDirectory.c_str(),
                       mode);
    }

    bool SharedValueKept() { return ReadRegistryValue(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedFile).exists; }

    RegistryKeyGuard sharedDlls_{HKEY_LOCAL_MACHINE, kSharedDlls};
    DeleteShareDLLProc delete_ = install_.Export<DeleteShareDLLProc>(kOrdinalDeleteShareDLL);
    DWORD removed_ = kUntouched;
};

TEST_F(DeleteShareDllTest, EveryAnswerMode)
{
    const std::string oneFile =
        "The file sxshared.dll may be used by other programs. Remove it?";
    const struct {
        const char* what;
        DWORD mode;
        int answer;               // what the user presses, if asked
        const char* question;     // null: nothing asked
        UINT buttons;
        DWORD modeAfter;
        bool removed;
    } cases[] = {
        {"one file, Yes", 0, IDYES, oneFile.c_str(), MB_YESNO | MB_DEFBUTTON2, 0, true},
        {"one file, No", 0, IDNO, oneFile.c_str(), MB_YESNO | MB_DEFBUTTON2, 0, false},
        {"all files, Yes", 1, IDYES, kAllFilesQuestion, MB_YESNO, 3, true},
        {"all files, No", 1, IDNO, kAllFilesQuestion, MB_YESNO, 2, false},
        {"No for all", 2, 0, nullptr, 0, 2, false},
        {"Yes for all", 3, 0, nullptr, 0, 3, true},
        {"any other mode is Yes for all", 7, 0, nullptr, 0, 7, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetRegDword(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedFile, 2);
        removed_ = kUntouched;
        DWORD mode = c.mode;
        MessageBoxRecorder boxes(install_.Handle(), {c.answer});
        EXPECT_EQ(Delete(&mode, ResourceDirectory()), 0);

        if (c.question != nullptr) {
            ASSERT_EQ(boxes.Shown().size(), 1u);
            EXPECT_EQ(boxes.Shown()[0].owner, nullptr);
            EXPECT_EQ(boxes.Shown()[0].text, c.question);
            EXPECT_EQ(boxes.Shown()[0].caption, kCaption);
            EXPECT_EQ(boxes.Shown()[0].flags, c.buttons);
        } else {
            EXPECT_TRUE(boxes.Shown().empty());
        }
        EXPECT_EQ(mode, c.modeAfter);
        EXPECT_EQ(removed_, c.removed ? 1u : 0u);
        EXPECT_EQ(SharedValueKept(), !c.removed);
        EXPECT_TRUE(ReadRegistryValue(HKEY_LOCAL_MACHINE, kSharedDlls, "C:\\Other\\other.dll").exists);
    }
}

TEST_F(DeleteShareDllTest, AnswerForAllFilesHoldsForTheCallsAfterIt)
{
    const struct {
        int answer;
        DWORD modeAfter;
        bool removed;
    } cases[] = {{IDNO, 2, false}, {IDYES, 3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer == IDYES ? "Yes" : "No");
        SetRegDword(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedFile, 2);
        DWORD mode = 1;
        MessageBoxRecorder boxes(install_.Handle(), {c.answer});
        Delete(&mode, ResourceDirectory());
        for (int call = 0; call < 2; ++call) {
            SetRegDword(HKEY_LOCAL_MACHINE, kSharedDlls, kSharedFile, 2);
            removed_ = kUntouched;
            EXPECT_EQ(Delete(&mode, ResourceDirectory()), 0);
            EXPECT_EQ(mode, c.modeAfter);
            EXPECT_EQ(removed_, c.removed ? 1u : 0u);
            EXPECT_EQ(SharedValueKept(), !c.removed);
        }
        EXPECT_EQ(boxes.Shown().size(), 1u) << "asked once only";
    }
}

TEST_F(DeleteShareDllTest, BoxThatCouldNotBeShownIsNoConsent)
{
    const DWORD modes[] = {0, 1};
    for (DWORD start : modes) {
        SCOPED_TRACE("mode " + std::to_string(start));
        DWORD mode = start;
        MessageBoxRecorder boxes(install_.Handle(), {0});
        Delete(&mode, ResourceDirectory());
        EXPECT_EQ(removed_, 0u);
        EXPECT_TRUE(SharedValueKept());
        EXPECT_EQ(mode, start == 1 ? 2u : 0u);
    }
}

TEST_F(DeleteShareDllTest, WithoutTheMessageModuleNothingIsAskedOrRemoved)
{
    for (DWORD start : {0u, 1u, 3u}) {
        SCOPED_TRACE("mode " + std::to_string(start));
        DWORD mode = start;
        removed_ = kUntouched;
        MessageBoxRecorder boxes(install_.Handle());
        EXPECT_EQ(Delete(&mode, setup_.Path() + "\\"), 0);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, "-1");
        EXPECT_EQ(boxes.Shown()[0].caption, "DovOzedo");
        EXPECT_EQ(boxes.Shown()[0].flags, static_cast<UINT>(MB_OK));
        EXPECT_EQ(removed_, kUntouched);
        EXPECT_EQ(mode, start);
        EXPECT_TRUE(SharedValueKept());
    }
}

TEST_F(DeleteShareDllTest, LongOneFileQuestionIsShownCutAtItsBuffer)
{
    const std::string prefix = "The file ";
    const struct {
        size_t nameLength;
        size_t shownLength;
    } cases[] = {{200, 255}, {300, 255}, {100, 100 + 54}};
    for (const auto& c : cases) {
        SCOPED_TRACE("name of " + std::to_string(c.nameLength));
        const std::string name(c.nameLength, 'n');
        const std::string whole =
            prefix + name + " may be used by other programs. Remove it?";
        DWORD mode = 0;
        MessageBoxRecorder boxes(install_.Handle(), {IDNO});
        Delete(&mode, ResourceDirectory(), name);
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].text, whole.substr(0, c.shownLength));
    }
}

// The real box of the one-file question: Enter presses its default button,
// No.
TEST_F(DeleteShareDllTest, EnterInTheRealOneFileQuestionAnswersNo)
{
    DWORD mode = 0;
    DialogKeyPresser enter(kCaption, VK_RETURN);
    EXPECT_EQ(Delete(&mode, ResourceDirectory()), 0);
    enter.Finish();
    EXPECT_TRUE(enter.Found());
    EXPECT_TRUE(enter.ClosedByTheKey());
    EXPECT_EQ(removed_, 0u);
    EXPECT_TRUE(SharedValueKept());
    EXPECT_EQ(mode, 0u);
}

// ---- HaveRegRights ----------------------------------------------------------

class HaveRegRightsTest : public UtilitiesTest {
protected:
    HaveRegRightsProc rights_ = install_.Export<HaveRegRightsProc>(kOrdinalHaveRegRights);
};

TEST_F(HaveRegRightsTest, FullAccessToSoftwareShowsNothing)
{
    MessageBoxRecorder boxes(install_.Handle());
    EXPECT_EQ(rights_(ResourceDirectory().c_str()), 1);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(HaveRegRightsTest, WithoutRightsTheUserIsToldAndTheAnswerIsNo)
{
    const struct {
        const char* what;
        bool messageModule;
        std::vector<std::pair<std::string, std::string>> boxes;  // text, caption
    } cases[] = {
        {"with the message module",
         true,
         {{"You need the rights to write to the registry to install the viewer.",
           "Registry rights"}}},
        {"without the message module", false, {{"-1", "DovOzedo"}, {"", ""}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        // No full access to HKLM\SOFTWARE.
        ImportHook<decltype(RegOpenKeyExA)> open(
            install_.Handle(), "ADVAPI32.dll", "RegOpenKeyExA",
            [&](HKEY root, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
                if (root == HKEY_LOCAL_MACHINE && _stricmp(subKey, "SOFTWARE") == 0 &&
                    access == KEY_ALL_ACCESS)
                    return static_cast<LONG>(ERROR_ACCESS_DENIED);
                return open.Original()(root, subKey, options, access, result);
            });
        MessageBoxRecorder boxes(install_.Handle());
        std::string directory = c.messageModule ? ResourceDirectory() : setup_.Path() + "\\";
        EXPECT_EQ(rights_(directory.c_str()), 0);
        ASSERT_EQ(boxes.Shown().size(), c.boxes.size());
        for (size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(boxes.Shown()[i].owner, nullptr);
            EXPECT_EQ(boxes.Shown()[i].text, c.boxes[i].first);
            EXPECT_EQ(boxes.Shown()[i].caption, c.boxes[i].second);
            EXPECT_EQ(boxes.Shown()[i].flags, static_cast<UINT>(MB_OK));
        }
    }
}

// ---- GetMajorVer ------------------------------------------------------------

class GetMajorVerTest : public UtilitiesTest {
protected:
    GetMajorVerProc majorVer_ = install_.Export<GetMajorVerProc>(kOrdinalGetMajorVer);
    DWORD out_[2] = {kUntouched, kUntouched};  // the second is a sentinel
};

TEST_F(GetMajorVerTest, OneOnlyForWindowsNtFourAndLater)
{
    const struct {
        const char* what;
        DWORD platform;
        DWORD major;
        DWORD minor;
        BOOL succeeds;
        DWORD expected;
    } cases[] = {
        {"Windows 95", VER_PLATFORM_WIN32_WINDOWS, 4, 0, TRUE, 0},
        {"Windows NT 3.51", VER_PLATFORM_WIN32_NT, 3, 51, TRUE, 0},
        {"Windows NT 4.0", VER_PLATFORM_WIN32_NT, 4, 0, TRUE, 1},
        {"Windows 2000", VER_PLATFORM_WIN32_NT, 5, 0, TRUE, 1},
        {"Win32s", VER_PLATFORM_WIN32s, 4, 0, TRUE, 0},
        {"failed query", VER_PLATFORM_WIN32_NT, 4, 0, FALSE, 0},
    };
    OSVERSIONINFOA reportedVersion = {};
    BOOL versionQuerySucceeds = FALSE;
    ImportHook<decltype(GetVersionExA)> version(
        install_.Handle(), "KERNEL32.dll", "GetVersionExA", [&](OSVERSIONINFOA* info) {
            if (info->dwOSVersionInfoSize != 148)
                return FALSE;
            DWORD size = info->dwOSVersionInfoSize;
            *info = reportedVersion;
            info->dwOSVersionInfoSize = size;
            return versionQuerySucceeds;
        });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reportedVersion = {};
        reportedVersion.dwPlatformId = c.platform;
        reportedVersion.dwMajorVersion = c.major;
        reportedVersion.dwMinorVersion = c.minor;
        versionQuerySucceeds = c.succeeds;
        out_[0] = kUntouched;
        EXPECT_EQ(majorVer_(out_), 1);
        EXPECT_EQ(out_[0], c.expected);
        EXPECT_EQ(out_[1], kUntouched);
    }
}

TEST_F(GetMajorVerTest, AnswersForTheSystemItRunsOn)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    DWORD expected = version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4;
    EXPECT_EQ(majorVer_(out_), 1);
    EXPECT_EQ(out_[0], expected);
    EXPECT_EQ(out_[1], kUntouched);
}

// ---- UpRegDeleteVal ---------------------------------------------------------

class UpRegDeleteValTest : public UtilitiesTest {
protected:
    void Place()
    {
        SetRegSz(HKEY_LOCAL_MACHINE, kHelp, "sorbix.hlp", "C:\\Sorbix");
        SetRegSz(HKEY_LOCAL_MACHINE, kHelp, "other.hlp", "C:\\Other");
        SetRegSz(HKEY_LOCAL_MACHINE, kRun, "txldmgr.exe", "C:\\Sorbix\\txldmgr.exe");
        SetRegSz(HKEY_LOCAL_MACHINE, kRun, "other.exe", "C:\\Other\\other.exe");
        SetRegSz(HKEY_LOCAL_MACHINE, kFormerMaker, "CommonFiles", "C:\\Fenwold");
        SetRegSz(HKEY_LOCAL_MACHINE, kFormerMaker, "Other", "x");
    }

    static constexpr const char* kHelp = "SOFTWARE\\Microsoft\\Windows\\Help";
    static constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr const char* kFormerMaker = "SOFTWARE\\FenwoldSoftware";

    RegistryKeyGuard help_{HKEY_LOCAL_MACHINE, kHelp};
    RegistryKeyGuard run_{HKEY_LOCAL_MACHINE, kRun};
    RegistryKeyGuard formerMaker_{HKEY_LOCAL_MACHINE, kFormerMaker};
    UpRegDeleteValProc upRegDeleteVal_ =
        install_.Export<UpRegDeleteValProc>(kOrdinalUpRegDeleteVal);
};

TEST_F(UpRegDeleteValTest, RemovesTheViewersEntriesAndTheFormerMakersOnlyForFlagZero)
{
    const DWORD flags[] = {0, 1, 0xFFFFFFFF};
    for (DWORD flag : flags) {
        SCOPED_TRACE("flag " + std::to_string(flag));
        Place();
        EXPECT_EQ(upRegDeleteVal_(flag), 1);
        EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kHelp, "sorbix.hlp"));
        EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kRun, "txldmgr.exe"));
        if (flag == 0)
            EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, kFormerMaker, "CommonFiles"));
        else
            EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kFormerMaker, "CommonFiles", "C:\\Fenwold"));
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kHelp, "other.hlp", "C:\\Other"));
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kRun, "other.exe", "C:\\Other\\other.exe"));
        EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kFormerMaker, "Other", "x"));
    }
}

TEST_F(UpRegDeleteValTest, MissingKeysArePassedOverAndNotCreated)
{
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kFormerMaker);
    EXPECT_EQ(upRegDeleteVal_(0), 1);
    EXPECT_EQ(upRegDeleteVal_(0), 1);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kFormerMaker));
}

// ---- UnLoadWindow -----------------------------------------------------------

std::vector<std::pair<HWND, UINT>>* g_received;

LRESULT CALLBACK RecordingWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (g_received != nullptr && (message == WM_CLOSE || message == WM_DESTROY))
        g_received->push_back({window, message});
    if (message == WM_CLOSE)
        return 0;  // a program that asks before it closes: nothing is destroyed here
    return DefWindowProcA(window, message, wParam, lParam);
}

class TestWindowClass {
public:
    explicit TestWindowClass(const char* name) : name_(name)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = &RecordingWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = name;
        RegisterClassA(&windowClass);
    }
    ~TestWindowClass() { UnregisterClassA(name_, GetModuleHandleA(nullptr)); }
    const char* Name() const { return name_; }

private:
    const char* name_;
};

class UnLoadWindowTest : public UtilitiesTest {
protected:
    void TearDown() override
    {
        g_received = nullptr;
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it)
            DestroyWindow(*it);
        UtilitiesTest::TearDown();
    }

    HWND Make(const TestWindowClass& windowClass, DWORD style, HWND owner)
    {
        HWND window = CreateWindowExA(0, windowClass.Name(), "Sorbix test window", style, 0, 0,
                                      100, 100, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr);
        windows_.push_back(window);
        return window;
    }

    TestWindowClass ownerClass_{"SorbixTestOwner"};
    TestWindowClass ownedClass_{"SorbixTestOwned"};
    TestWindowClass loneClass_{"SorbixTestLone"};
    std::vector<HWND> windows_;
    std::vector<std::pair<HWND, UINT>> received_;
    UnLoadWindowProc unload_ = install_.Export<UnLoadWindowProc>(kOrdinalUnLoadWindow);
};

TEST_F(UnLoadWindowTest, OwnerOfTheWindowFoundIsToldToCloseThenDestroy)
{
    HWND owner = Make(ownerClass_, WS_OVERLAPPEDWINDOW, nullptr);
    Make(ownedClass_, WS_POPUP, owner);
    g_received = &received_;
    EXPECT_EQ(unload_("SorbixTestOwned"), 1);
    EXPECT_EQ(received_, (std::vector<std::pair<HWND, UINT>>{{owner, WM_CLOSE}, {owner, WM_DESTROY}}));
}

TEST_F(UnLoadWindowTest, WindowWithoutOwnerOrParentGetsNothing)
{
    Make(loneClass_, WS_OVERLAPPEDWINDOW, nullptr);
    Make(ownerClass_, WS_OVERLAPPEDWINDOW, nullptr);
    g_received = &received_;
    EXPECT_EQ(unload_("SorbixTestLone"), 1);
    EXPECT_EQ(unload_("SorbixTestOwner"), 1);
    EXPECT_EQ(unload_("SorbixNoSuchClass"), 1);
    EXPECT_TRUE(received_.empty());
}

// ---- LoadLaunch -------------------------------------------------------------

class LoadLaunchTest : public UtilitiesTest {
protected:
    void SetUp() override
    {
        UtilitiesTest::SetUp();
        DeleteKeyTree(HKEY_CURRENT_USER, kRecord);
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("txlm.dll"), nullptr) << "the launch manager stayed loaded";
        SetCurrentDirectoryA(savedDirectory_.c_str());
        UtilitiesTest::TearDown();
    }

    std::string Recorded(const char* name)
    {
        RegistryValue value = ReadRegistryValue(HKEY_CURRENT_USER, kRecord, name);
        return value.exists ? std::string(value.bytes.c_str()) : "<not recorded>";
    }

    static constexpr const char* kRecord = "Software\\SorbixTests\\LaunchManager";
    std::string savedDirectory_ = CurrentDirectory();
    RegistryKeyGuard record_{HKEY_CURRENT_USER, "Software\\SorbixTests"};
    ScratchDirectory viewer_{"viewer"};
    LoadLaunchProc loadLaunch_ = install_.Export<LoadLaunchProc>(kOrdinalLoadLaunch);
};

TEST_F(LoadLaunchTest, RegistrationRunsWithTheDirectoryCurrent)
{
    CopyFileTo(BinaryFile("launch_manager.dll"), viewer_.File("txlm.dll"));
    const std::string directories[] = {viewer_.Path(), viewer_.Path() + "\\"};
    for (const std::string& directory : directories) {
        SCOPED_TRACE(directory);
        DeleteKeyTree(HKEY_CURRENT_USER, kRecord);
        SetCurrentDirectoryA("C:\\");
        for (UINT mode : {0u, static_cast<UINT>(SEM_FAILCRITICALERRORS)}) {
            SetErrorMode(mode);
            EXPECT_EQ(loadLaunch_(directory.c_str()), 0);
            EXPECT_EQ(CurrentErrorMode(), mode);
        }
        EXPECT_EQ(Recorded("LoadedFrom"), viewer_.File("txlm.dll"));
        EXPECT_EQ(Recorded("CurrentDirectory"), viewer_.Path());
        EXPECT_EQ(CurrentDirectory(), viewer_.Path()) << "the directory stays current";
    }
}

TEST_F(LoadLaunchTest, MissingLibraryOrEntryDoesNothingMore)
{
    const struct {
        const char* what;
        const char* fixture;  // null: no txlm.dll
    } cases[] = {{"no txlm.dll", nullptr},
                 {"no registration entry", "launch_manager_no_registration.dll"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDirectory directory("viewer");
        if (c.fixture != nullptr)
            CopyFileTo(BinaryFile(c.fixture), directory.File("txlm.dll"));
        SetErrorMode(SEM_FAILCRITICALERRORS);
        EXPECT_EQ(loadLaunch_(directory.Path().c_str()), 0);
        EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
        EXPECT_EQ(Recorded("LoadedFrom"), "<not recorded>");
        EXPECT_EQ(CurrentDirectory(), directory.Path());
        SetCurrentDirectoryA(savedDirectory_.c_str());
    }
}

TEST_F(LoadLaunchTest, PathAtTheEdgeOfItsBuffer)
{
    // directory + "\" + "txlm.dll" must fit 100 bytes: 99 characters.
    const struct {
        size_t length;
        bool runs;
    } cases[] = {{99 - 9, true}, {100 - 9, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE("directory of " + std::to_string(c.length) + " characters");
        DeleteKeyTree(HKEY_CURRENT_USER, kRecord);
        ScratchDirectory deep("lm");
        std::string directory = deep.MakeDirectoryOfLength(c.length);
        CopyFileTo(BinaryFile("launch_manager.dll"), directory + "\\txlm.dll");
        EXPECT_EQ(loadLaunch_(directory.c_str()), 0);
        EXPECT_EQ(Recorded("LoadedFrom"), c.runs ? directory + "\\txlm.dll" : "<not recorded>");
        EXPECT_EQ(CurrentDirectory(), directory);
        SetCurrentDirectoryA(savedDirectory_.c_str());
    }
}

// ---- LoadPlug ---------------------------------------------------------------

class LoadPlugTest : public UtilitiesTest {
protected:
    void SetUp() override
    {
        UtilitiesTest::SetUp();
        DeleteKeyTree(HKEY_CURRENT_USER, kRecord);
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("plugin.dll"), nullptr) << "the module stayed loaded";
        UtilitiesTest::TearDown();
    }

    std::string Recorded(const char* name)
    {
        RegistryValue value = ReadRegistryValue(HKEY_CURRENT_USER, kRecord, name);
        return value.exists ? std::string(value.bytes.c_str()) : "<not recorded>";
    }

    int Plug(const std::string& first, const std::string& second)
    {
        return loadPlug_(0, "plugin.dll", first.c_str(), second.c_str());
    }

    static constexpr const char* kRecord = "Software\\SorbixTests\\PluginProbe";
    RegistryKeyGuard record_{HKEY_CURRENT_USER, "Software\\SorbixTests"};
    ScratchDirectory first_{"first"};
    ScratchDirectory second_{"second"};
    LoadPlugProc loadPlug_ = install_.Export<LoadPlugProc>(kOrdinalLoadPlug);
};

TEST_F(LoadPlugTest, ModuleIsTakenFromTheFirstDirectoryElseTheSecond)
{
    const struct {
        const char* what;
        bool inFirst;
        bool inSecond;
        std::string first;
        std::string second;
    } cases[] = {
        {"first only", true, false, first_.Path(), second_.Path()},
        {"both", true, true, first_.Path() + "\\", second_.Path()},
        {"second only", false, true, first_.Path(), second_.Path() + "\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(first_.File("plugin.dll").c_str());
        DeleteFileA(second_.File("plugin.dll").c_str());
        if (c.inFirst)
            CopyFileTo(BinaryFile("plugin_probe.dll"), first_.File("plugin.dll"));
        if (c.inSecond)
            CopyFileTo(BinaryFile("plugin_probe.dll"), second_.File("plugin.dll"));
        DeleteKeyTree(HKEY_CURRENT_USER, kRecord);
        SetErrorMode(0);
        EXPECT_EQ(Plug(c.first, c.second), 1);
        EXPECT_EQ(Recorded("LoadedFrom"), (c.inFirst ? first_ : second_).File("plugin.dll"));
        EXPECT_EQ(Recorded("FirstDirectory"), c.first);
        EXPECT_EQ(Recorded("ProductKeyPath"), "SOFTWARE\\Quorvane\\Sorbix");
        EXPECT_EQ(Recorded("SecondDirectory"), c.second);
        EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX))
            << "the error mode stays set once a module was loaded";
    }
}

TEST_F(LoadPlugTest, ModuleInNeitherDirectorySetsTheErrorModeBack)
{
    SetErrorMode(SEM_FAILCRITICALERRORS);
    EXPECT_EQ(Plug(first_.Path(), second_.Path()), 1);
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_FAILCRITICALERRORS));
    EXPECT_EQ(Recorded("LoadedFrom"), "<not recorded>");
}

TEST_F(LoadPlugTest, ModuleWithoutItsInstallOperationIsFreed)
{
    CopyFileTo(BinaryFile("probe_available_only.dll"), first_.File("plugin.dll"));
    EXPECT_EQ(Plug(first_.Path(), second_.Path()), 1);
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOOPENFILEERRORBOX));
    EXPECT_EQ(Recorded("LoadedFrom"), "<not recorded>");
}

TEST_F(LoadPlugTest, PathsAtTheEdgeOfTheirBuffers)
{
    // directory + "\" + "plugin.dll" must fit 256 bytes: 255 characters.
    const struct {
        size_t length;
        bool runs;
    } cases[] = {{255 - 11, true}, {256 - 11, false}};
    for (const auto& c : cases) {
        for (bool asFirst : {true, false}) {
            SCOPED_TRACE(std::string(asFirst ? "first" : "second") + " directory of " +
                         std::to_string(c.length) + " characters");
            DeleteKeyTree(HKEY_CURRENT_USER, kRecord);
            ScratchDirectory deep("pl");
            std::string directory = deep.MakeDirectoryOfLength(c.length);
            CopyFileTo(BinaryFile("plugin_probe.dll"), directory + "\\plugin.dll");
            EXPECT_EQ(asFirst ? Plug(directory, second_.Path()) : Plug(first_.Path(), directory),
                      1);
            EXPECT_EQ(Recorded("LoadedFrom"),
                      c.runs ? directory + "\\plugin.dll" : "<not recorded>");
        }
    }
}

}  // namespace
