// A whole setup and its removal, as the setup program runs them: the demo's
// typical setup script, then its removal script, through the setup script
// host on a machine whose host applications have settings of their own.
// Every setting they had before must be back byte for byte; what remains
// different is exactly the list of leftovers the system is meant to leave.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "hive_files.h"
#include "machine_snapshot.h"
#include "process_environment.h"
#include "registry_state.h"
#include "scratch_files.h"
#include "test_paths.h"
#include "whole_setup.h"

namespace {

// The places of the host applications.
const char kEudoraDirectory[] = "C:\\Eudora";
const char kDralinDirectory[] = "C:\\Dralin";
const char kMailKey[] = "SOFTWARE\\Microsoft\\Mail\\Microsoft Mail";

// What the typical setup and the removal leave behind on purpose.
const char* const kExpectedLeftovers[] = {
    // The viewer's own configuration: no export of the removal deletes it.
    "+ key tree HKLM\\SOFTWARE\\Quorvane",
    "+ key tree HKCR\\SOFTWARE\\Quorvane",
    "+ key tree HKCR\\CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}",
    "+ key tree HKCR\\*\\shellex\\ContextMenuHandlers\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}",
    // File Manager: the add-on key stays, empty, and the INI entry is emptied.
    "+ key tree HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager",
    "+ C:\\windows\\winfile.ini [AddOns] Sorbix=",
    // Microsoft Mail: the mail key made in a hive that had none stays, empty.
    "+ key tree Default User's hive\\SOFTWARE",
    // The browser: the appended type-list entry stays, and so does the
    // description written for an image type that had none.
    "+ C:\\windows\\mosaic.ini [Viewers] TYPE3=application/x-sorbix",
    "+ C:\\windows\\mosaic.ini [MIME Descriptions] image/gif=GIF picture",
    // The Dralin mail program: the backup section stays with an empty
    // entry, and the default viewer comes back in small letters, as kept.
    "+ C:\\Dralin\\maildr.ini [Sorbix Backup - Viewers] [Sorbix Backup - Viewers]",
    "+ C:\\Dralin\\maildr.ini [Sorbix Backup - Viewers] default=",
    "- C:\\Dralin\\maildr.ini [Viewers] default=C:\\DRALIN\\VIEWER.EXE",
    "+ C:\\Dralin\\maildr.ini [Viewers] default=c:\\dralin\\viewer.exe",
};

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

class RoundTripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(setup_.Free() && viewer_.Free() && eudora_.Free() && dralin_.Free() && profiles_.Free());
        ClearSetupKeys();
        UnmountTemporaryHive();
        MakeSetupFiles(setup_, viewer_);
        MakeHostApplications();
    }

    void TearDown() override { ClearSetupKeys(); }

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
        // File Manager with add-ons of its own.
        WriteFileBytes(winfileIni_, Crlf({"[Settings]", "LowerCase=1", "Window=0,0,640,480, , ,1",
                                          "[AddOns]", "Network=netext.dll"}));
        // The Dralin mail program, with its own default viewer.
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
        for (const auto& key : kWatchedKeys)
            snapshot.AddKeyTree(key.root, key.key, key.shown);
        snapshot.AddIniFile(mosaicIni_);
        snapshot.AddIniFile(winfileIni_);
        snapshot.AddIniFile(dralin_.File("maildr.ini"));
        snapshot.AddDirectoryTree(kDralinDirectory, {"maildr.ini"});
        snapshot.AddDirectoryTree(kEudoraDirectory, {});
        // Hive files are written anew by the all-users pass: their keys and
        // values are what counts.
        snapshot.AddDirectoryTree(ProfilesPath(), {"NTUSER.DAT"});
        snapshot.AddHiveFile(profiles_.File("Ana\\NTUSER.DAT"), "Ana's hive");
        snapshot.AddHiveFile(profiles_.File("Default User\\NTUSER.DAT"), "Default User's hive");
        return snapshot;
    }

    static std::string ProfilesPath() { return WindowsDirectory() + "\\Profiles"; }

    std::string RunHost(const std::string& script) { return RunSetupScript(script, work_.File("output.txt")); }

    // Everything the test touches is put back as it was.
    WatchedKeyGuards keys_;
    std::string mosaicIni_ = WindowsDirectory() + "\\mosaic.ini";
    std::string winfileIni_ = WindowsDirectory() + "\\winfile.ini";
    FileGuard mosaicGuard_{mosaicIni_};
    FileGuard winfileGuard_{winfileIni_};
    ScopedVariable netkit_{"NETKIT", "C:\\Dralin\\NETKIT.INI"};
    FixedDirectory setup_{kSetupDirectory};
    FixedDirectory viewer_{kViewerDirectory};
    FixedDirectory eudora_{kEudoraDirectory};
    FixedDirectory dralin_{kDralinDirectory};
    FixedDirectory profiles_{ProfilesPath()};
    ScratchDirectory work_{"roundtrip"};
};

TEST_F(RoundTripTest, TheRemovalPutsBackEveryHostSettingAndLeavesOnlyTheKnownLeftovers)
{
    MachineSnapshot before = Snapshot();

    std::string setupOutput = RunHost("typical.script");
    // The setup reached every host application.
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, kMailKey, "CustomAttachmentHandler",
                        "C:\\Program Files\\Sorbix\\sxmscah.dll,2"))
        << setupOutput;
    {
        MountedHive ana(profiles_.File("Ana\\NTUSER.DAT"));
        RegistryValue handler = ana.Read(kMailKey, "CustomAttachmentHandler");
        EXPECT_EQ(handler.bytes, SzBytes("C:\\Program Files\\Sorbix\\sxmscah.dll,2")) << setupOutput;
    }
    EXPECT_EQ(ReadFileBytes(eudora_.File("plugins\\SORBIXEU.DLL")), "the viewer's Eudora plug-in\r\n");
    char viewer[256] = "";
    GetPrivateProfileStringA("Viewers", "default", "", viewer, sizeof viewer, dralin_.File("maildr.ini").c_str());
    EXPECT_STREQ(viewer, "C:\\Program Files\\Sorbix\\sorbix.exe");
    GetPrivateProfileStringA("Viewers", "application/msword", "", viewer, sizeof viewer, mosaicIni_.c_str());
    EXPECT_STREQ(viewer, "C:\\Program Files\\Sorbix\\sorbix.exe %s");
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager\\AddOns",
                        "Sorbix", "C:\\Program Files\\Sorbix\\sxfm.dll"));
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\Netscape", "Plugin", "npsorbx32.dll"));

    std::string removalOutput = RunHost("remove.script");
    std::vector<std::string> differences = Snapshot().DifferencesFrom(before);
    std::vector<std::string> expected(std::begin(kExpectedLeftovers), std::end(kExpectedLeftovers));
    std::sort(differences.begin(), differences.end());
    std::sort(expected.begin(), expected.end());
    std::string shown;
    for (const std::string& line : differences)
        shown += "  \"" + line + "\"\n";
    EXPECT_EQ(differences, expected) << "what remains different:\n" << shown << "\nremoval:\n" << removalOutput;
}

}  // namespace
