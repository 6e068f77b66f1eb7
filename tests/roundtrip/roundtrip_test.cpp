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

#include "support/hive_files.h"
#include "machine_snapshot.h"
#include "support/registry_state.h"
#include "whole_setup_machine.h"

namespace whole_setup {
namespace {

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
    // Navigator likewise keeps the appended entry, and the description
    // written for a type whose own viewer it keeps and that had no
    // description: deinstall gives back only what install backed up.
    "+ HKCU\\SOFTWARE\\Netscape\\Netscape Navigator\\Viewers : TYPE3 = \"application/x-sorbix\"",
    "+ HKCU\\SOFTWARE\\Netscape\\Netscape Navigator\\MIME Descriptions : application/msword = \"Word document\"",
    // The Dralin mail program: the backup section stays with an empty
    // entry.
    "+ C:\\Dralin\\maildr.ini [Sorbix Backup - Viewers] [Sorbix Backup - Viewers]",
    "+ C:\\Dralin\\maildr.ini [Sorbix Backup - Viewers] default=",
};

class RoundTripTest : public WholeSetupMachineTest {};

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
    EXPECT_TRUE(IsRegSz(HKEY_CURRENT_USER, std::string(kNavigatorKey) + "\\Viewers", "application/msword",
                        "C:\\Program Files\\Sorbix\\sorbix.exe %s"))
        << setupOutput;
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
}  // namespace whole_setup
