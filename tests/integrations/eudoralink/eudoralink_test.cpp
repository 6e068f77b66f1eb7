// eudoralink: finding Eudora through its three registry sources, its program
// type and version, and the plug-in copied into and removed from its
// "plugins" directory, driven through install's IntegAval, IntegInteg and
// IntegRemove as the script drives them. Each candidate Eudora lies in a
// directory of its own, so the directory that receives the plug-in shows
// which source won.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "integrations/module_contract.h"
#include "support/integration_exports.h"
#include "support/loaded_dll.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE";
const char kCommandLineKey[] = "Software\\Qualcomm\\Eudora\\CommandLine\\current";
const char kHomeKey[] = "SOFTWARE\\Quorvane\\Sorbix\\GENERAL";
const char kPlugIn[] = "plug-in of the viewer, build 2";

// A 16-bit Windows program's first bytes: "MZ", the new header's offset at
// 60, and the "NE" header there.
std::string ProgramBytes(DWORD newHeaderOffset, const std::string& signature)
{
    std::string bytes(64, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        bytes[60 + i] = static_cast<char>((newHeaderOffset >> (8 * i)) & 0xFF);
    if (newHeaderOffset >= 64) {
        bytes.resize(newHeaderOffset, '\0');
        bytes += signature;
        bytes += std::string(30, '\0');
    }
    return bytes;
}

class EudoraLinkTest : public ::testing::Test {
public:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("eudoralink.dll"), support_.File("eudoralink.dll"));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
        DeleteKeyTree(HKEY_CLASSES_ROOT, ".sta");
        DeleteKeyTree(HKEY_CLASSES_ROOT, "EudoraMailbox");
        DeleteKeyTree(HKEY_CLASSES_ROOT, "Software\\Qualcomm");
        DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
        home_ = root_.File("Sorbix");
        CreateDirectoryA(home_.c_str(), nullptr);
        WriteFileBytes(home_ + "\\SORBIXEU.DLL", kPlugIn);
        SetRegSz(HKEY_LOCAL_MACHINE, kHomeKey, "HOME", home_);
    }

    // A directory holding an Eudora program file: a stand-in of the given
    // build, or the given bytes.
    std::string MakeEudora(const std::string& directory, const std::string& standIn,
                           const std::string& file = "EUDORA.EXE")
    {
        std::string path = root_.File(directory);
        CreateDirectoryA(path.c_str(), nullptr);
        CopyFileTo(BinaryFile(standIn), path + "\\" + file);
        return path + "\\" + file;
    }
    std::string MakeFile(const std::string& directory, const std::string& bytes)
    {
        std::string path = root_.File(directory);
        CreateDirectoryA(path.c_str(), nullptr);
        WriteFileBytes(path + "\\EUDORA.EXE", bytes);
        return path + "\\EUDORA.EXE";
    }
    std::string PlugInOf(const std::string& directory) const
    {
        return root_.File(directory) + "\\plugins\\SORBIXEU.DLL";
    }
    bool HasPlugIns(const std::string& directory) const
    {
        return FileExists(root_.File(directory) + "\\plugins");
    }

    static void SetAppPath(const std::string& path) { SetRegSz(HKEY_LOCAL_MACHINE, kAppPathsKey, "", path); }
    static void SetMailboxCommand(const std::string& command, const std::string& className = "EudoraMailbox")
    {
        SetRegSz(HKEY_CLASSES_ROOT, ".sta", "", className);
        SetRegSz(HKEY_CLASSES_ROOT, className + "\\shell\\open\\command", "", command);
    }
    static void SetCommandLine(const std::string& command)
    {
        SetRegSz(HKEY_CLASSES_ROOT, kCommandLineKey, "", command);
    }

    int Aval() { return install_.Available("eudoralink.dll", "C:\\Sorbix", support_.Path().c_str()); }
    int Integ() { return install_.Integrate("eudoralink.dll", "C:\\Sorbix", support_.Path().c_str()); }
    int Remove() { return install_.Remove("eudoralink.dll", "C:\\Sorbix", support_.Path().c_str()); }

    // The module's own install or deinstall result (IntegInteg and
    // IntegRemove always answer 1).
    int ModuleOperation(ModuleContractOrdinal ordinal)
    {
        LoadedDll module(support_.File("eudoralink.dll"));
        return module.Export<ModuleFileOperationProc>(ordinal)("C:\\Sorbix", "C:\\support\\depend.ini");
    }

    RegistryKeyGuard appPaths_{HKEY_LOCAL_MACHINE, kAppPathsKey};
    RegistryKeyGuard sta_{HKEY_CLASSES_ROOT, ".sta"};
    RegistryKeyGuard mailboxClass_{HKEY_CLASSES_ROOT, "EudoraMailbox"};
    RegistryKeyGuard qualcomm_{HKEY_CLASSES_ROOT, "Software\\Qualcomm"};
    RegistryKeyGuard quorvane_{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    ScratchDirectory support_{"support"};
    ScratchDirectory root_{"eudora"};
    std::string home_;
    IntegrationExports install_;
};

TEST_F(EudoraLinkTest, TheFirstSourceNamingA32BitProgramWins)
{
    const struct {
        const char* what;
        std::function<void(EudoraLinkTest&)> appPaths;  // arranges the first source
        const char* winner;                              // directory, or null: none
    } cases[] = {
        {"App Paths names Eudora",
         [](EudoraLinkTest& t) { SetAppPath(t.MakeEudora("First", "eudora_3010.exe")); }, "First"},
        {"App Paths names a 16-bit Eudora",
         [](EudoraLinkTest& t) { SetAppPath(t.MakeFile("First", ProgramBytes(0x80, "NE"))); },
         "Second"},
        {"App Paths names a file without a new header",
         [](EudoraLinkTest& t) { SetAppPath(t.MakeFile("First", ProgramBytes(0, ""))); }, "Second"},
        {"App Paths names a file with another header",
         [](EudoraLinkTest& t) { SetAppPath(t.MakeFile("First", ProgramBytes(0x80, "LE"))); },
         "Second"},
        {"App Paths names a file whose header lies past its end",
         [](EudoraLinkTest& t) {
             std::string bytes = ProgramBytes(0, "");
             bytes[61] = 0x10;  // 0x1000
             SetAppPath(t.MakeFile("First", bytes));
         },
         "Second"},
        {"App Paths names a file too short for the offset",
         [](EudoraLinkTest& t) { SetAppPath(t.MakeFile("First", "MZ")); }, "Second"},
        {"App Paths names a missing file",
         [](EudoraLinkTest& t) { SetAppPath(t.root_.File("First") + "\\EUDORA.EXE"); }, "Second"},
        {"App Paths is empty", [](EudoraLinkTest&) { SetAppPath(""); }, "Second"},
        {"no App Paths", [](EudoraLinkTest&) {}, "Second"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteDirectoryTree(root_.File("First"));
        DeleteDirectoryTree(root_.File("Second"));
        DeleteDirectoryTree(root_.File("Third"));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
        c.appPaths(*this);
        SetMailboxCommand(MakeEudora("Second", "eudora_3010.exe") + " %1");
        SetCommandLine(MakeEudora("Third", "eudora_3010.exe") + " /m");

        EXPECT_EQ(Aval(), 1);
        EXPECT_EQ(Integ(), 1);
        for (const char* directory : {"First", "Second", "Third"}) {
            bool winner = std::string(directory) == c.winner;
            EXPECT_EQ(ReadFileBytes(PlugInOf(directory)), winner ? kPlugIn : "") << directory;
            EXPECT_EQ(HasPlugIns(directory), winner) << directory;
        }
    }
}

TEST_F(EudoraLinkTest, CommandsAreCutAfterEudorasNameInCapitalsOrSmallLetters)
{
    const struct {
        const char* what;
        std::string command;  // "@" stands for the directory Second
        const char* winner;   // Second (the ".sta" command) or Third (the command line)
    } cases[] = {
        {"capitals with an argument", "@\\EUDORA.EXE %1", "Second"},
        {"capitals alone", "@\\EUDORA.EXE", "Second"},
        {"small letters with options", "@\\eudora.exe /m \"%1\"", "Second"},
        {"name followed at once by more letters", "@\\EUDORA.EXEC", "Second"},
        {"first letter in capitals", "@\\Eudora.exe %1", "Third"},
        {"mixed letters", "@\\EUDORA.exe %1", "Third"},
        {"quoted program path keeps its quotation mark", "\"@\\EUDORA.EXE\" %1", "Third"},
        {"another program", "@\\NOTEPAD.EXE %1", "Third"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteDirectoryTree(root_.File("Second"));
        DeleteDirectoryTree(root_.File("Third"));
        MakeEudora("Second", "eudora_3010.exe");
        std::string command = c.command;
        command.replace(command.find('@'), 1, root_.File("Second"));
        SetMailboxCommand(command);
        SetCommandLine(MakeEudora("Third", "eudora_3010.exe") + " /m");

        EXPECT_EQ(Integ(), 1);
        EXPECT_EQ(HasPlugIns("Second"), std::string(c.winner) == "Second");
        EXPECT_EQ(HasPlugIns("Third"), std::string(c.winner) == "Third");
    }
}

TEST_F(EudoraLinkTest, MailboxClassFallsBackToTheExtensionItself)
{
    // ".sta" names no class (or an empty one): its own open command counts.
    for (bool emptyClass : {false, true}) {
        SCOPED_TRACE(emptyClass ? "empty class name" : "no class name");
        DeleteKeyTree(HKEY_CLASSES_ROOT, ".sta");
        DeleteDirectoryTree(root_.File("Second"));
        SetRegSz(HKEY_CLASSES_ROOT, ".sta\\shell\\open\\command", "",
                 MakeEudora("Second", "eudora_3010.exe") + " %1");
        if (emptyClass)
            SetRegSz(HKEY_CLASSES_ROOT, ".sta", "", "");
        EXPECT_EQ(Aval(), 1);
        EXPECT_EQ(Integ(), 1);
        EXPECT_EQ(ReadFileBytes(PlugInOf("Second")), kPlugIn);
    }
}

TEST_F(EudoraLinkTest, OnlyProductVersion3010OrLaterIsAvailable)
{
    const struct {
        const char* standIn;
        int available;
    } cases[] = {
        {"eudora_3010.exe", 1},         // product 3.0.1.0
        {"eudora_3100.exe", 1},         // product 3.1.0.0
        {"eudora_3009.exe", 0},         // product 3.0.0.9, file version 3.0.1.0
        {"eudora_unversioned.exe", 0},  // no version resource
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.standIn);
        DeleteDirectoryTree(root_.File("First"));
        SetAppPath(MakeEudora("First", c.standIn));
        EXPECT_EQ(Aval(), c.available);
        EXPECT_EQ(ModuleOperation(kOrdinalInstall), 1) << "Eudora was found";
        EXPECT_EQ(ReadFileBytes(PlugInOf("First")), c.available ? kPlugIn : "");
        EXPECT_EQ(HasPlugIns("First"), c.available == 1) << "an older Eudora is left alone";
    }
}

TEST_F(EudoraLinkTest, NoEudoraAnywhere)
{
    SetAppPath(MakeFile("First", ProgramBytes(0x80, "NE")));
    EXPECT_EQ(Aval(), 0);
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(ModuleOperation(kOrdinalInstall), 0);
    EXPECT_EQ(ModuleOperation(kOrdinalDeinstall), 0);
    EXPECT_FALSE(HasPlugIns("First"));
}

TEST_F(EudoraLinkTest, InstallMakesPluginsAndReplacesAnOlderPlugIn)
{
    SetAppPath(MakeEudora("First", "eudora_3010.exe"));
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(ReadFileBytes(PlugInOf("First")), kPlugIn);

    WriteFileBytes(PlugInOf("First"), "plug-in of the viewer, build 1");
    WriteFileBytes(root_.File("First") + "\\plugins\\OTHER.DLL", "another plug-in");
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(ReadFileBytes(PlugInOf("First")), kPlugIn);
    EXPECT_EQ(ReadFileBytes(root_.File("First") + "\\plugins\\OTHER.DLL"), "another plug-in");
}

TEST_F(EudoraLinkTest, InstallWithoutAPlugInToCopyStillMakesPlugins)
{
    const struct {
        const char* what;
        std::function<void(EudoraLinkTest&)> arrange;
    } cases[] = {
        {"no home value", [](EudoraLinkTest&) { DeleteKeyTree(HKEY_LOCAL_MACHINE, kHomeKey); }},
        {"empty home", [](EudoraLinkTest&) { SetRegSz(HKEY_LOCAL_MACHINE, kHomeKey, "HOME", ""); }},
        {"no plug-in at home",
         [](EudoraLinkTest& t) { DeleteFileA((t.home_ + "\\SORBIXEU.DLL").c_str()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteDirectoryTree(root_.File("First"));
        SetAppPath(MakeEudora("First", "eudora_3010.exe"));
        c.arrange(*this);
        EXPECT_EQ(ModuleOperation(kOrdinalInstall), 1);
        EXPECT_TRUE(HasPlugIns("First"));
        EXPECT_FALSE(FileExists(PlugInOf("First")));
        SetUp();
    }
}

TEST_F(EudoraLinkTest, HomeWithATrailingBackslash)
{
    SetRegSz(HKEY_LOCAL_MACHINE, kHomeKey, "HOME", home_ + "\\");
    SetAppPath(MakeEudora("First", "eudora_3010.exe"));
    EXPECT_EQ(Integ(), 1);
    EXPECT_EQ(ReadFileBytes(PlugInOf("First")), kPlugIn);
}

TEST_F(EudoraLinkTest, DeinstallRemovesThePlugInAndKeepsPlugins)
{
    // The version is not looked at: an unversioned Eudora still loses it.
    for (const char* standIn : {"eudora_3010.exe", "eudora_unversioned.exe"}) {
        SCOPED_TRACE(standIn);
        DeleteDirectoryTree(root_.File("First"));
        SetAppPath(MakeEudora("First", standIn));
        CreateDirectoryA((root_.File("First") + "\\plugins").c_str(), nullptr);
        WriteFileBytes(PlugInOf("First"), kPlugIn);
        WriteFileBytes(root_.File("First") + "\\plugins\\OTHER.DLL", "another plug-in");

        EXPECT_EQ(ModuleOperation(kOrdinalDeinstall), 1);
        EXPECT_FALSE(FileExists(PlugInOf("First")));
        EXPECT_EQ(ReadFileBytes(root_.File("First") + "\\plugins\\OTHER.DLL"), "another plug-in");

        EXPECT_EQ(Remove(), 1) << "nothing left to remove";
        EXPECT_TRUE(HasPlugIns("First"));
    }
}

TEST_F(EudoraLinkTest, DeinstallLeavesAReadOnlyPlugInAndMakesNoPlugins)
{
    SetAppPath(MakeEudora("First", "eudora_3010.exe"));
    EXPECT_EQ(ModuleOperation(kOrdinalDeinstall), 1);
    EXPECT_FALSE(HasPlugIns("First")) << "deinstall does not make the directory";

    CreateDirectoryA((root_.File("First") + "\\plugins").c_str(), nullptr);
    WriteFileBytes(PlugInOf("First"), kPlugIn);
    SetFileAttributesA(PlugInOf("First").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(ModuleOperation(kOrdinalDeinstall), 1);
    EXPECT_EQ(Remove(), 1);
    EXPECT_EQ(ReadFileBytes(PlugInOf("First")), kPlugIn);
    EXPECT_EQ(GetFileAttributesA(PlugInOf("First").c_str()) & FILE_ATTRIBUTE_READONLY,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    SetFileAttributesA(PlugInOf("First").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(EudoraLinkTest, PathsAtTheEdgeOfTheirBuffers)
{
    // The plug-in's path in "plugins" must fit 256 bytes: directory + 1 +
    // "plugins" + 1 + "SORBIXEU.DLL" at most 255 characters.
    const size_t fits = 255 - 1 - 7 - 1 - 12;
    for (size_t length : {fits, fits + 1}) {
        SCOPED_TRACE(length);
        std::string directory = root_.MakeDirectoryOfLength(length);
        std::string program = directory + "\\EUDORA.EXE";
        CopyFileTo(BinaryFile("eudora_3010.exe"), program);
        SetAppPath(program);
        EXPECT_EQ(Aval(), 1);
        EXPECT_EQ(Integ(), 1);
        std::string plugIn = directory + "\\plugins\\SORBIXEU.DLL";
        EXPECT_EQ(ReadFileBytes(plugIn), length == fits ? kPlugIn : "")
            << "a target that does not fit is not copied";
        EXPECT_EQ(Remove(), 1);
        EXPECT_FALSE(FileExists(plugIn));
    }

    // A program path of 259 characters (the most its 260 bytes hold) whose
    // directory is short: "plugins" fits, and the plug-in is copied.
    {
        std::string directory = root_.File("Long");
        CreateDirectoryA(directory.c_str(), nullptr);
        std::string program = directory + "\\" + std::string(259 - directory.size() - 1 - 4, 'e') + ".EXE";
        ASSERT_EQ(program.size(), 259u);
        CopyFileTo(BinaryFile("eudora_3010.exe"), program);
        SetAppPath(program);
        EXPECT_EQ(Aval(), 1);
        EXPECT_EQ(Integ(), 1);
        EXPECT_EQ(ReadFileBytes(directory + "\\plugins\\SORBIXEU.DLL"), kPlugIn);
        EXPECT_EQ(Remove(), 1);
        EXPECT_FALSE(FileExists(directory + "\\plugins\\SORBIXEU.DLL"));
    }

    // An App Paths value that does not fit Eudora's 260 bytes is not read
    // cut; the next source serves.
    SetAppPath(MakeEudora("First", "eudora_3010.exe") + std::string(260, ' '));
    SetMailboxCommand(MakeEudora("Second", "eudora_3010.exe") + " %1");
    EXPECT_EQ(Integ(), 1);
    EXPECT_FALSE(HasPlugIns("First"));
    EXPECT_TRUE(HasPlugIns("Second"));
}

}  // namespace
