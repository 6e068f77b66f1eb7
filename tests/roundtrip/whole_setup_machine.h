// The machine of a whole setup: the setup's own files in C:\SorbixSetup, the
// viewer's home, and host applications (a browser, File Manager, Dralin
// mail, Microsoft Mail with user hives, Eudora) that have settings of their
// own; the places a setup and its removal may touch, and a snapshot of them.
// Everything the fixture touches is put back as it was.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/hive_files.h"
#include "machine_snapshot.h"
#include "support/process_environment.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"
#include "support/token_privileges.h"

namespace whole_setup {

// The places the scripts name: the setup's own files and the viewer's home.
const char kSetupDirectory[] = "C:\\SorbixSetup";
const char kViewerDirectory[] = "C:\\Program Files\\Sorbix";
const char kEudoraDirectory[] = "C:\\Eudora";
const char kDralinDirectory[] = "C:\\Dralin";
const char kMailKey[] = "SOFTWARE\\Microsoft\\Mail\\Microsoft Mail";
const char kNavigatorKey[] = "SOFTWARE\\Netscape\\Netscape Navigator";

// Every file below a directory (names and bytes); a file whose name ends
// with one of skippedSuffixes is only listed, not read.
inline void AddDirectoryTree(MachineSnapshot* snapshot, const std::string& directory,
                             const std::vector<std::string>& skippedSuffixes)
{
    for (const DirectoryEntry& entry : EntriesBelow(directory)) {
        if (entry.directory) {
            snapshot->AddDirectory(entry.path);
            continue;
        }
        bool skipped = false;
        for (const std::string& suffix : skippedSuffixes)
            skipped = skipped || (entry.path.size() >= suffix.size() &&
                                  _stricmp(entry.path.c_str() + entry.path.size() - suffix.size(),
                                           suffix.c_str()) == 0);
        if (skipped)
            snapshot->AddListedFile(entry.path);
        else
            snapshot->AddFile(entry.path);
    }
}

// The key tree inside a hive file, mounted for a moment.
inline void AddHiveFile(MachineSnapshot* snapshot, const std::string& path, const std::string& shown)
{
    MountedHive hive(path);
    if (hive.Mounted())
        snapshot->AddKeyTree(HKEY_LOCAL_MACHINE, hive.MountName(), shown);
}

// A directory the test makes at a fixed place and removes with all it holds;
// the place must be free when the test starts.
class FixedDirectory {
public:
    explicit FixedDirectory(std::string path) : path_(std::move(path))
    {
        free_ = GetFileAttributesA(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
        EXPECT_TRUE(free_) << path_ << " is there already; the test will not touch it";
        if (free_)
            CreateDirectoryA(path_.c_str(), nullptr);
    }
    ~FixedDirectory()
    {
        if (free_)
            DeleteDirectoryTree(path_);
    }
    FixedDirectory(const FixedDirectory&) = delete;
    FixedDirectory& operator=(const FixedDirectory&) = delete;

    bool Free() const { return free_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
    bool free_;
};

inline std::string Crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// What every whole-setup test shares: the setup's own files and the
// viewer's home, the fixed directories of the host applications, the run of
// a setup script by the setup script host, and guards that put back every
// watched key and host file the test touches.
class WholeSetupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(setup_.Free() && viewer_.Free() && eudora_.Free() && dralin_.Free() && profiles_.Free());
        ClearSetupKeys();
        UnmountTemporaryHive();
        MakeSetupFiles();
    }

    void TearDown() override { ClearSetupKeys(); }

    // The keys a setup writes and the host applications' keys the tests
    // make (all guarded below): a machine starts without them.
    static void ClearSetupKeys()
    {
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        DeleteKeyTree(HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane");
        DeleteKeyTree(HKEY_CLASSES_ROOT, "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}");
        DeleteKeyTree(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE");
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail");
        DeleteKeyTree(HKEY_CURRENT_USER, "SOFTWARE\\Netscape");
        DeleteKeyTree(HKEY_CURRENT_USER, "Software\\SorbixTests");
    }

    // The all-users pass mounts each hive as HKLM\sxtmpkey and cannot when
    // something else left a hive mounted there: start without it.
    static void UnmountTemporaryHive()
    {
        if (!KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey"))
            return;
        PrivilegeStateGuard privileges;
        EnablePrivileges({"SeBackupPrivilege", "SeRestorePrivilege"});
        RegUnLoadKeyA(HKEY_LOCAL_MACHINE, "sxtmpkey");
        if (KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey"))
            DeleteKeyTree(HKEY_LOCAL_MACHINE, "sxtmpkey");
        ASSERT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "sxtmpkey")) << "HKLM\\sxtmpkey stays mounted";
    }

    void MakeSetupFiles()
    {
        for (const char* module : {"install.dll", "sxinsres.dll", "eudoralink.dll", "browserlink.dll",
                                   "netmaillink.dll", "msmaillink.dll", "filemgrlink.dll", "pluginlink.dll"})
            CopyFileTo(BinaryFile(module), setup_.File(module));
        for (const char* file : {"setup.ini", "install.ini", "version.ini", "PLUGINLINK.INI", "depend.ini"})
            CopyFileTo(BinaryFile(std::string("roundtrip\\") + file), setup_.File(file));
        // What the setup program copies into the viewer's home: the launch
        // manager and the viewer's Eudora plug-in.
        CopyFileTo(BinaryFile("launch_manager.dll"), viewer_.File("txlm.dll"));
        WriteFileBytes(viewer_.File("SORBIXEU.DLL"), "the viewer's Eudora plug-in\r\n");
    }

    static std::string ProfilesPath() { return WindowsDirectory() + "\\Profiles"; }

    // Runs setuphost.exe on one script; returns its output.
    std::string RunHost(const std::string& script)
    {
        return RunProgram("\"" + BinaryFile("setuphost.exe") + "\" --dir \"" + setupPath_ + "\" \"" +
                              BinaryFile("roundtrip\\" + script) + "\"",
                          script);
    }

    // Runs a command line to its end, with its output in a file; returns the
    // output, and fails the test when the program ends with another code than 0.
    std::string RunProgram(std::string command, const std::string& shown)
    {
        std::string outputPath = work_.File("output.txt");
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                    0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << shown << ", error " << GetLastError();
            CloseHandle(output);
            return "";
        }
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0) << shown << " did not end";
        DWORD exitCode = 99;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(output);
        std::string text = ReadFileBytes(outputPath);
        EXPECT_EQ(exitCode, 0u) << shown << ":\n" << text;
        return text;
    }

    // Everything the test touches is put back as it was.
    RegistryKeyGuard viewerKey_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard classesKey_{HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard clsid_{HKEY_CLASSES_ROOT, "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}"};
    RegistryKeyGuard shellex_{HKEY_CLASSES_ROOT, "*\\shellex"};
    RegistryKeyGuard sharedDlls_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"};
    RegistryKeyGuard run_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"};
    RegistryKeyGuard appPaths_{HKEY_LOCAL_MACHINE,
                               "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE"};
    RegistryKeyGuard help_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help"};
    RegistryKeyGuard fenwold_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Fenwold"};
    RegistryKeyGuard fenwoldSoftware_{HKEY_LOCAL_MACHINE, "SOFTWARE\\FenwoldSoftware"};
    RegistryKeyGuard fileManager_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager"};
    RegistryKeyGuard mail_{HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail"};
    RegistryKeyGuard netscape_{HKEY_CURRENT_USER, "SOFTWARE\\Netscape"};
    RegistryKeyGuard testRecords_{HKEY_CURRENT_USER, "Software\\SorbixTests"};
    std::string mosaicIni_ = WindowsDirectory() + "\\mosaic.ini";
    std::string winfileIni_ = WindowsDirectory() + "\\winfile.ini";
    FileGuard mosaicGuard_{mosaicIni_};
    FileGuard winfileGuard_{winfileIni_};
    ScopedVariable netkit_{"NETKIT", nullptr};
    FixedDirectory setup_{kSetupDirectory};
    FixedDirectory viewer_{kViewerDirectory};
    FixedDirectory eudora_{kEudoraDirectory};
    FixedDirectory dralin_{kDralinDirectory};
    FixedDirectory profiles_{ProfilesPath()};
    std::string setupPath_ = kSetupDirectory;
    ScratchDirectory work_{"roundtrip"};
};

// The hand-made machine: a browser in a Mosaic-family file and Netscape
// Navigator, File Manager, Dralin mail, Microsoft Mail with user hives and
// Eudora, each with settings of its own.
class WholeSetupMachineTest : public WholeSetupTest {
protected:
    void SetUp() override
    {
        WholeSetupTest::SetUp();
        if (HasFatalFailure())
            return;
        MakeHostApplications();
    }

    void MakeHostApplications()
    {
        // A Mosaic-family browser with viewers, suffixes, encodings and
        // descriptions of its own; it already lists one type of depend.ini.
        WriteFileBytes(mosaicIni_, Crlf({"[Main]", "Home Page=http://www.example.com/",
                                         "[Viewers]", "TYPE0=audio/wav", "TYPE1=application/msword",
                                         "TYPE2=video/mpeg", "audio/wav=C:\\WINDOWS\\MPLAYER.EXE %s",
                                         "application/msword=C:\\WINWORD\\WINWORD.EXE %s",
                                         "video/mpeg=C:\\MPEGPLAY\\MPEGPLAY.EXE %s", "[Suffixes]",
                                         "audio/wav=.wav", "application/msword=.doc",
                                         "video/mpeg=.mpg,.mpeg", "[Encodings]", "application/msword=binary",
                                         "video/mpeg=binary", "[MIME Descriptions]",
                                         "audio/wav=Wave sound", "application/msword=Word for Windows",
                                         "[Proxy]", "http_proxy="}));
        // Netscape Navigator with viewers, suffixes, an encoding and
        // descriptions of its own in its keys; it lists two types of
        // depend.ini, one of them an image type with a description.
        const char* const kNavigatorSettings[][3] = {
            {"Viewers", "TYPE0", "audio/basic"},
            {"Viewers", "TYPE1", "application/msword"},
            {"Viewers", "TYPE2", "image/gif"},
            {"Viewers", "audio/basic", "C:\\NETSCAPE\\NAPLAYER.EXE %s"},
            {"Viewers", "application/msword", "C:\\WINWORD\\WINWORD.EXE %s"},
            {"Viewers", "image/gif", "C:\\LVIEW\\LVIEW.EXE %s"},
            {"Suffixes", "audio/basic", ".au,.snd"},
            {"Suffixes", "application/msword", ".doc"},
            {"Suffixes", "image/gif", ".gif"},
            {"Encodings", "application/msword", "base64"},
            {"MIME Descriptions", "audio/basic", "Sound"},
            {"MIME Descriptions", "image/gif", "CompuServe GIF"},
        };
        for (const auto& setting : kNavigatorSettings)
            SetRegSz(HKEY_CURRENT_USER, std::string(kNavigatorKey) + "\\" + setting[0], setting[1], setting[2]);
        // File Manager with add-ons of its own.
        WriteFileBytes(winfileIni_, Crlf({"[Settings]", "LowerCase=1", "Window=0,0,640,480, , ,1",
                                          "[AddOns]", "Network=netext.dll"}));
        // The Dralin mail program, with its own default viewer.
        netkit_.Set("C:\\Dralin\\NETKIT.INI");
        WriteFileBytes(dralin_.File("NETKIT.INI"), Crlf({"[Network]", "Protocol=TCP"}));
        WriteFileBytes(dralin_.File("maildr.ini"),
                       Crlf({"[Mail]", "Server=mail.example.com", "[Viewers]", "default=C:\\DRALIN\\VIEWER.EXE",
                             "text/plain=NOTEPAD.EXE"}));
        // Microsoft Mail set up for the current user, for another user whose
        // hive lies in the profiles, and not for the default profile.
        SetRegSz(HKEY_CURRENT_USER, kMailKey, "Login", "setup-user");
        SetRegSz(HKEY_CURRENT_USER, kMailKey, "Polling", "10");
        CreateDirectoryA(profiles_.File("Ana").c_str(), nullptr);
        CreateDirectoryA(profiles_.File("Default User").c_str(), nullptr);
        CreateDirectoryA(profiles_.File("All Users").c_str(), nullptr);
        WriteFileBytes(profiles_.File("All Users\\desktop.ini"), "[.ShellClassInfo]\r\n");
        MakeHiveFile(profiles_.File("Ana\\NTUSER.DAT"),
                     {{kMailKey, "Login", "ana"},
                      {kMailKey, "Polling", "5"},
                      {"Control Panel\\Desktop", "Wallpaper", "C:\\WINDOWS\\ARCADE.BMP"}});
        MakeHiveFile(profiles_.File("Default User\\NTUSER.DAT"),
                     {{"Control Panel\\Desktop", "Wallpaper", "(None)"}});
        // Eudora 3.0.1.0 with a plug-in of its own.
        CreateDirectoryA(eudora_.File("plugins").c_str(), nullptr);
        CopyFileTo(BinaryFile("eudora_3010.exe"), eudora_.File("EUDORA.EXE"));
        WriteFileBytes(eudora_.File("plugins\\ABOOK.DLL"), "an address-book plug-in of Eudora\r\n");
        SetRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE", "",
                 eudora_.File("EUDORA.EXE"));
        // Another program's shared file and help file.
        SetRegDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                    "C:\\WINDOWS\\SYSTEM\\MFC40.DLL", 3);
        SetRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help", "notepad.hlp", "C:\\WINDOWS\\HELP");
    }

    MachineSnapshot Snapshot() const
    {
        MachineSnapshot snapshot;
        snapshot.AddWatchedKeys();
        snapshot.AddIniFile(mosaicIni_);
        snapshot.AddIniFile(winfileIni_);
        snapshot.AddIniFile(dralin_.File("maildr.ini"));
        AddDirectoryTree(&snapshot, kDralinDirectory, {"maildr.ini"});
        AddDirectoryTree(&snapshot, kEudoraDirectory, {});
        // Hive files are written anew by the all-users pass: their keys and
        // values are what counts.
        AddDirectoryTree(&snapshot, ProfilesPath(), {"NTUSER.DAT"});
        AddHiveFile(&snapshot, profiles_.File("Ana\\NTUSER.DAT"), "Ana's hive");
        AddHiveFile(&snapshot, profiles_.File("Default User\\NTUSER.DAT"), "Default User's hive");
        return snapshot;
    }


    // Lays the machine out again as SetUp left it, after a setup and its
    // removal ran on it.
    void LayMachineAgain()
    {
        ClearSetupKeys();
        DeleteFileA(profiles_.File("Ana\\NTUSER.DAT").c_str());
        DeleteFileA(profiles_.File("Default User\\NTUSER.DAT").c_str());
        MakeHostApplications();
    }
};

}  // namespace whole_setup
