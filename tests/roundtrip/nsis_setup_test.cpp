// A real installer engine drives install.dll: the NSIS example
// (examples/nsis/sorbix-setup.nsi, built by makensis beside this program)
// runs its typical setup and its removal silently on the whole-setup
// machine, and must leave exactly what the host's typical and removal
// scripts leave on the same machine: every watched registry value (type and
// bytes) and every INI line, after the setup and after the removal.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/dialog_key_presser.h"
#include "machine_snapshot.h"
#include "support/registry_state.h"
#include "whole_setup_machine.h"

namespace whole_setup {
namespace {

const char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sorbix";
// The caption of install.dll's shared-file question (the message module's
// string 509).
const char kSharedFileQuestion[] = "Remove shared file";

// Wine's RegSaveKeyA refuses the owner's security attributes that
// msmaillink saves a user's hive with (Windows takes them); the host works
// around that in the module's import table, an installer cannot. Under Wine
// the installer's pass over the other users' hives therefore saves none:
// their lines are compared with the machine before the setup instead, where
// they must be exactly as they were.
bool IsUserHiveLine(const std::string& line)
{
    for (const char* hive : {"Ana's hive", "Default User's hive"}) {
        for (const char* sign : {"+ ", "- ", "~ ", "+ key tree ", "- key tree "}) {
            std::string start = std::string(sign) + hive;
            if (line.compare(0, start.size(), start) == 0)
                return true;
        }
    }
    return false;
}

// The differences outside the user hives, and those inside them.
void SplitUserHiveLines(const std::vector<std::string>& lines, std::vector<std::string>* others,
                        std::vector<std::string>* hives)
{
    for (const std::string& line : lines)
        (IsUserHiveLine(line) ? hives : others)->push_back(line);
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += "  " + line + "\n";
    return text;
}

class NsisSetupTest : public WholeSetupMachineTest {
protected:
    void SetUp() override
    {
        WholeSetupMachineTest::SetUp();
        // The host's scripts name the shared files under C:\Program Files\Common
        // Files, as on Windows 95; the installer finds that folder where
        // install.dll does. A 32-bit program on a 64-bit Windows sees another
        // one: give both the Windows 95 place.
        SetRegSz(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir", "C:\\Program Files\\Common Files");
        CopyFileTo(BinaryFile("sorbix-setup.exe"), setup_.File("sorbix-setup.exe"));
    }

    void TearDown() override
    {
        WholeSetupMachineTest::TearDown();
        RestoreCommonFilesDir();
    }

    void RestoreCommonFilesDir()
    {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return;
        if (commonFilesDir_.exists)
            RegSetValueExA(key, "CommonFilesDir", 0, commonFilesDir_.type,
                           reinterpret_cast<const BYTE*>(commonFilesDir_.bytes.data()),
                           static_cast<DWORD>(commonFilesDir_.bytes.size()));
        else
            RegDeleteValueA(key, "CommonFilesDir");
        RegCloseKey(key);
    }

    // The removal's shared-file question is answered with Enter, its
    // default button, as the host answers it.
    std::string RunAnsweringTheQuestion(const std::string& command, const std::string& shown)
    {
        DialogKeyPresser presser(kSharedFileQuestion, VK_RETURN);
        std::string output = RunProgram(command, shown);
        presser.Finish();
        EXPECT_TRUE(presser.Found()) << shown << " asked no shared-file question";
        return output;
    }

    // The installer's machine is the host's, but for the user hives, which
    // are as they were before.
    static void CompareWithHost(const MachineSnapshot& installer, const MachineSnapshot& host,
                                const MachineSnapshot& before, const char* step)
    {
        std::vector<std::string> fromHost, hivesFromHost, ignored, hivesFromBefore;
        SplitUserHiveLines(installer.DifferencesFrom(host), &fromHost, &hivesFromHost);
        SplitUserHiveLines(installer.DifferencesFrom(before), &ignored, &hivesFromBefore);
        EXPECT_EQ(fromHost, std::vector<std::string>{})
            << "after the " << step << ", the installer's machine differs from the host's:\n" << Lines(fromHost);
        EXPECT_EQ(hivesFromBefore, std::vector<std::string>{})
            << "after the " << step << ", the user hives are not as they were:\n" << Lines(hivesFromBefore);
    }

    RegistryValue commonFilesDir_ = ReadRegistryValue(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "CommonFilesDir");
    RegistryKeyGuard uninstall_{HKEY_LOCAL_MACHINE, kUninstallKey};
};

TEST_F(NsisSetupTest, TheInstallerAndItsUninstallerLeaveWhatTheHostScriptsLeave)
{
    MachineSnapshot before = Snapshot();

    // The host's scripts, as the reference.
    RunHost("typical.script");
    MachineSnapshot hostSetup = Snapshot();
    RunHost("remove.script");  // the host answers the question with its default button
    MachineSnapshot hostRemoval = Snapshot();
    ASSERT_FALSE(hostSetup.DifferencesFrom(before).empty()) << "the host's setup changed nothing";

    // The same machine again.
    LayMachineAgain();
    ASSERT_EQ(Snapshot().DifferencesFrom(before), std::vector<std::string>{})
        << "the machine is not laid out again as before";

    // The installer, silently, into the viewer's home the scripts name; then
    // its uninstaller, silently and in place (_?=) so that its end is waited for.
    RunProgram("\"" + setup_.File("sorbix-setup.exe") + "\" /S /D=" + kViewerDirectory, "sorbix-setup.exe");
    MachineSnapshot nsisSetup = Snapshot();
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", "Sorbix"));
    CompareWithHost(nsisSetup, hostSetup, before, "setup");

    RunAnsweringTheQuestion("\"" + viewer_.File("uninstall.exe") + "\" /S _?=" + kViewerDirectory,
                            "uninstall.exe");
    MachineSnapshot nsisRemoval = Snapshot();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    CompareWithHost(nsisRemoval, hostRemoval, before, "removal");
}

}  // namespace
}  // namespace whole_setup
