// netmaillink: the Dralin mail program's default viewer in "maildr.ini",
// beside the "netkit.ini" that NETKIT names, driven through install's
// IntegAval, IntegInteg and IntegRemove as the script drives them. The
// module's own results (IntegInteg and IntegRemove always answer 1) are read
// by calling its exports directly.
#include <windows.h>

#include <gtest/gtest.h>

#include "integrations/module_contract.h"
#include "support/integration_exports.h"
#include "support/loaded_dll.h"
#include "support/process_environment.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kMissing[] = "<missing>";

// An INI entry as the profile functions read it, or kMissing.
std::string Entry(const std::string& file, const char* section, const char* key)
{
    char value[1024];
    GetPrivateProfileStringA(section, key, kMissing, value, sizeof value, file.c_str());
    return value;
}

class NetMailLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("netmaillink.dll"), support_.File("netmaillink.dll"));
        WriteFileBytes(kit_.File("NETKIT.INI"), "[Kit]\r\nVersion=2\r\n");
    }

    void TearDown() override
    {
        EXPECT_EQ(GetModuleHandleA("netmaillink.dll"), nullptr) << "the module stayed loaded";
    }

    int Aval() { return install_.Available("netmaillink.dll", "C:\\Sorbix", support_.Path().c_str()); }
    int Integ(const std::string& installation)
    {
        return install_.Integrate("netmaillink.dll", installation.c_str(), support_.Path().c_str());
    }
    int Remove() { return install_.Remove("netmaillink.dll", "C:\\Sorbix", support_.Path().c_str()); }

    // The module's own result of ordinal 3 or 4.
    int ModuleOperation(ModuleContractOrdinal ordinal, const char* directory)
    {
        LoadedDll module(support_.File("netmaillink.dll"));
        return module.Export<ModuleFileOperationProc>(ordinal)(directory, "C:\\support\\depend.ini");
    }

    std::string Viewer() { return Entry(mailIni_, "Viewers", "default"); }
    std::string Backup() { return Entry(mailIni_, "Sorbix Backup - Viewers", "default"); }

    ScratchDirectory support_{"support"};
    ScratchDirectory kit_{"NetKit"};
    // NETKIT as a user would have set it, in capitals; the module lowers it.
    std::string netkit_ = kit_.File("NETKIT.INI");
    std::string mailIni_ = kit_.File("maildr.ini");
    ScopedVariable netkitVariable_{"NETKIT", netkit_.c_str()};
    IntegrationExports install_;
};

TEST_F(NetMailLinkTest, AvailableWhenTheMailIniBesideTheKitExists)
{
    EXPECT_EQ(Aval(), 0) << "no maildr.ini yet";
    WriteFileBytes(mailIni_, "[Viewers]\r\n");
    EXPECT_EQ(Aval(), 1);

    const struct {
        const char* what;
        const char* netkit;  // null: not set
    } absent[] = {
        {"NETKIT not set", nullptr},
        {"NETKIT empty", ""},
        {"no kit INI name in NETKIT", "C:\\NETKIT\\"},
        {"another INI name", "C:\\NETKIT\\KIT.INI"},
    };
    for (const auto& c : absent) {
        SCOPED_TRACE(c.what);
        netkitVariable_.Set(c.netkit);
        EXPECT_EQ(Aval(), 0);
    }
}

TEST_F(NetMailLinkTest, RoundTripGivesTheOldCommandBackAsItWas)
{
    WriteFileBytes(mailIni_, "[Viewers]\r\ndefault=C:\\APPS\\Viewer.EXE /P\r\ntext/plain=NOTEPAD.EXE\r\n");
    ASSERT_EQ(Aval(), 1);

    EXPECT_EQ(Integ("C:\\SORBIX"), 1);
    EXPECT_EQ(Viewer(), "C:\\SORBIX\\sorbix.exe") << "the command carries no argument";
    EXPECT_EQ(Backup(), "C:\\APPS\\Viewer.EXE /P") << "kept letter for letter";
    EXPECT_EQ(Entry(mailIni_, "Viewers", "text/plain"), "NOTEPAD.EXE");

    // A second install finds its own command and keeps the first backup.
    EXPECT_EQ(Integ("D:\\Other"), 1);
    EXPECT_EQ(Viewer(), "D:\\Other\\sorbix.exe");
    EXPECT_EQ(Backup(), "C:\\APPS\\Viewer.EXE /P");

    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Viewer(), "C:\\APPS\\Viewer.EXE /P");
    EXPECT_EQ(Backup(), "") << "the backup entry stays, emptied";
    EXPECT_EQ(Entry(mailIni_, "Viewers", "text/plain"), "NOTEPAD.EXE");

    // Nothing of the viewer's is left: a second deinstall changes nothing.
    std::string after = ReadFileBytes(mailIni_);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(ReadFileBytes(mailIni_), after);
}

TEST_F(NetMailLinkTest, ABackupKeptInSmallLettersByAnEarlierInstallRestoresAsItStands)
{
    WriteFileBytes(mailIni_, "[Viewers]\r\ndefault=C:\\Sorbix\\SORBIX.exe\r\n"
                             "[Sorbix Backup - Viewers]\r\ndefault=c:\\apps\\viewer.exe /p\r\n");
    EXPECT_EQ(Integ("C:\\SORBIX"), 1);
    EXPECT_EQ(Backup(), "c:\\apps\\viewer.exe /p") << "the viewer's own command is not kept";
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Viewer(), "c:\\apps\\viewer.exe /p");
    EXPECT_EQ(Backup(), "");
}

TEST_F(NetMailLinkTest, CommandJoinsTheDirectoryWithOneBackslash)
{
    const struct {
        const char* directory;
        const char* command;
    } cases[] = {
        {"C:\\SORBIX", "C:\\SORBIX\\sorbix.exe"},
        {"C:\\SORBIX\\", "C:\\SORBIX\\sorbix.exe"},
        {"", "\\sorbix.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(ModuleOperation(kOrdinalInstall, c.directory), 3);
        EXPECT_EQ(Viewer(), c.command);
    }
}

TEST_F(NetMailLinkTest, NoBackupOfAnEmptyOrAbsentOrOwnCommand)
{
    const struct {
        const char* what;
        const char* before;  // null: no maildr.ini
        const char* afterRemove;
    } cases[] = {
        {"no file", nullptr, ""},
        {"no entry", "[Viewers]\r\n", ""},
        {"empty entry", "[Viewers]\r\ndefault=\r\n", ""},
        {"own command in capitals", "[Viewers]\r\ndefault=C:\\OLD\\SORBIX.EXE\r\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(mailIni_.c_str());
        if (c.before != nullptr)
            WriteFileBytes(mailIni_, c.before);
        EXPECT_EQ(Integ("C:\\SORBIX"), 1);
        EXPECT_EQ(Viewer(), "C:\\SORBIX\\sorbix.exe") << "install makes the file when missing";
        EXPECT_EQ(Backup(), kMissing);
        EXPECT_EQ(Remove(), 1);
        EXPECT_EQ(Viewer(), c.afterRemove);
        EXPECT_EQ(Backup(), "");
    }
}

TEST_F(NetMailLinkTest, DeinstallLeavesAForeignCommandAndAMissingFileAlone)
{
    EXPECT_EQ(ModuleOperation(kOrdinalDeinstall, "C:\\SORBIX"), 1);
    EXPECT_FALSE(FileExists(mailIni_)) << "deinstall made the file";

    const std::string foreign =
        "[Viewers]\r\ndefault=C:\\APPS\\VIEWER.EXE\r\n[Sorbix Backup - Viewers]\r\ndefault=x.exe\r\n";
    WriteFileBytes(mailIni_, foreign);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(ReadFileBytes(mailIni_), foreign);
}

TEST_F(NetMailLinkTest, KitPathsOfTheNetkitValue)
{
    // Where each operation looks: the value lowered, the kit's INI name
    // replaced by "maildr.ini"; deinstall also takes a value without that
    // name as the mail INI path itself.
    ScratchDirectory root("Root");
    ScopedCurrentDirectory currentDirectory(root.Path());
    FileGuard rootMailIni("C:\\maildr.ini");
    DeleteFileA("C:\\maildr.ini");

    // NETKIT.INI alone: a backslash and "maildr.ini", the root of the
    // current drive.
    netkitVariable_.Set("NETKIT.INI");
    EXPECT_EQ(Aval(), 0);
    EXPECT_EQ(Integ("C:\\SORBIX"), 1);
    EXPECT_EQ(Entry("C:\\maildr.ini", "Viewers", "default"), "C:\\SORBIX\\sorbix.exe");
    EXPECT_EQ(Aval(), 1);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Entry("C:\\maildr.ini", "Viewers", "default"), "");
    DeleteFileA("C:\\maildr.ini");

    // A directory without the kit's INI name: available and install refuse;
    // deinstall reads the directory itself as a file, finds nothing and
    // writes nothing.
    netkitVariable_.Set((kit_.Path() + "\\").c_str());
    WriteFileBytes(mailIni_, "[Viewers]\r\ndefault=C:\\SORBIX\\sorbix.exe\r\n");
    EXPECT_EQ(Aval(), 0);
    EXPECT_EQ(ModuleOperation(kOrdinalInstall, "C:\\OTHER"), 3);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Viewer(), "C:\\SORBIX\\sorbix.exe");

    // Deinstall with a plain file named by NETKIT works on that file.
    std::string other = kit_.File("OTHER.INI");
    WriteFileBytes(other, "[Viewers]\r\ndefault=C:\\SORBIX\\sorbix.exe\r\n"
                          "[Sorbix Backup - Viewers]\r\ndefault=c:\\apps\\viewer.exe\r\n");
    netkitVariable_.Set(other.c_str());
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(Entry(other, "Viewers", "default"), "c:\\apps\\viewer.exe");
    EXPECT_EQ(Entry(other, "Sorbix Backup - Viewers", "default"), "");

    // NETKIT not set: nothing is written anywhere.
    netkitVariable_.Set(nullptr);
    EXPECT_EQ(ModuleOperation(kOrdinalInstall, "C:\\OTHER"), 3);
    EXPECT_EQ(ModuleOperation(kOrdinalDeinstall, "C:\\OTHER"), 1);
    EXPECT_EQ(Viewer(), "C:\\SORBIX\\sorbix.exe");
    EXPECT_FALSE(FileExists("C:\\maildr.ini"));
}

TEST_F(NetMailLinkTest, CommandAtTheEdgeOfItsBufferIsWrittenWholeOrNotAtAll)
{
    WriteFileBytes(mailIni_, "[Viewers]\r\ndefault=C:\\APPS\\VIEWER.EXE\r\n");
    const std::string before = ReadFileBytes(mailIni_);

    // directory + "\" + "sorbix.exe" in 52 bytes: at most 51 characters.
    const std::string tooLong = "C:\\" + std::string(52 - 11 - 3, 'd');
    EXPECT_EQ(ModuleOperation(kOrdinalInstall, tooLong.c_str()), 3);
    EXPECT_EQ(ReadFileBytes(mailIni_), before) << "neither the command nor a backup is written";
    EXPECT_EQ(ModuleOperation(kOrdinalInstall, (tooLong + "\\").c_str()), 3);
    EXPECT_EQ(ReadFileBytes(mailIni_), before);

    const std::string fits = "C:\\" + std::string(51 - 11 - 3, 'd');
    EXPECT_EQ(Integ(fits), 1);
    EXPECT_EQ(Viewer(), fits + "\\sorbix.exe");
    EXPECT_EQ(Backup(), "C:\\APPS\\VIEWER.EXE");
}

TEST_F(NetMailLinkTest, NetkitValueAtTheEdgeOfAWindowsPath)
{
    // The mail INI path is a Windows path: the NETKIT value and the path
    // made from it must each fit 259 characters, or nothing is done.
    ScratchDirectory deep("Deep");
    const std::string kitDirectory = deep.MakeDirectoryOfLength(259 - 11);  // + "\maildr.ini"
    const std::string fitting = kitDirectory + "\\netkit.ini";
    WriteFileBytes(kitDirectory + "\\maildr.ini", "[Viewers]\r\ndefault=C:\\APPS\\VIEWER.EXE\r\n");
    netkitVariable_.Set(fitting.c_str());
    EXPECT_EQ(Aval(), 1);
    EXPECT_EQ(Integ("C:\\SORBIX"), 1);
    EXPECT_EQ(Entry(kitDirectory + "\\maildr.ini", "Viewers", "default"), "C:\\SORBIX\\sorbix.exe");

    // One character more in the value (260) does not fit its buffer.
    const std::string tooLong = kitDirectory + "\\\\netkit.ini";
    netkitVariable_.Set(tooLong.c_str());
    EXPECT_EQ(Aval(), 0);
    EXPECT_EQ(ModuleOperation(kOrdinalDeinstall, ""), 1);
    EXPECT_EQ(Entry(kitDirectory + "\\maildr.ini", "Viewers", "default"), "C:\\SORBIX\\sorbix.exe");
}

TEST_F(NetMailLinkTest, AnOldCommandTooLongToKeepWholeIsLeftAlone)
{
    const std::string longCommand = "C:\\APPS\\" + std::string(300, 'v') + ".EXE";
    WriteFileBytes(mailIni_, "[Viewers]\r\ndefault=" + longCommand + "\r\n");
    const std::string before = ReadFileBytes(mailIni_);
    EXPECT_EQ(Integ("C:\\SORBIX"), 1);
    EXPECT_EQ(ReadFileBytes(mailIni_), before);
}

TEST_F(NetMailLinkTest, WepAnswersOne)
{
    LoadedDll module(support_.File("netmaillink.dll"));
    EXPECT_EQ(module.Export<ModuleWepProc>(kOrdinalWep)(0), 1);
}

}  // namespace
