// The setup script host: a script with any fault runs nothing; a good one
// prints each call's result and out-arguments.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/registry_state.h"
#include "support/scratch_files.h"
#include "support/test_paths.h"

namespace {

const char kAddOnsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager\\AddOns";

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// winfile.ini in the Windows directory, put back as it was afterwards.
class WindowsIniGuard {
public:
    const std::string& Path() const { return path_; }

private:
    std::string path_ = WindowsDirectory() + "\\winfile.ini";
    FileGuard guard_{path_};
};

struct HostRun {
    DWORD exitCode = 0;
    std::string output;  // standard output and error together
};

class SetupHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CopyFileTo(BinaryFile("filemgrlink.dll"), support_.File("filemgrlink.dll"));
        CopyFileTo(BinaryFile("sxinsres.dll"), support_.File("sxinsres.dll"));
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kFileManagerKey);
    }

    HostRun Run(const std::string& script, const std::string& options = "")
    {
        WriteFileBytes(work_.File("test.script"), script);
        std::string outputPath = work_.File("output.txt");
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = output;
        startup.hStdError = output;
        std::string command = "\"" + BinaryFile("setuphost.exe") + "\" " + options + " \"" +
                              work_.File("test.script") + "\"";
        PROCESS_INFORMATION process = {};
        HostRun run;
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                            &startup, &process)) {
            ADD_FAILURE() << "cannot start the host, error " << GetLastError();
            CloseHandle(output);
            return run;
        }
        WaitForSingleObject(process.hProcess, 30000);
        GetExitCodeProcess(process.hProcess, &run.exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(output);
        // Line ends as the console shows them, CR LF or LF alike.
        for (char c : ReadFileBytes(outputPath)) {
            if (c != '\r')
                run.output += c;
        }
        return run;
    }

    std::string Integrate() const
    {
        return "IntegInteg 0 \"filemgrlink.dll\" \"C:\\Sorbix\" \"" + support_.Path() + "\"\n";
    }

    static constexpr const char* kFileManagerKey =
        "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager";
    RegistryKeyGuard fileManager_{HKEY_LOCAL_MACHINE, kFileManagerKey};
    ScratchDirectory support_{"support"};
    ScratchDirectory work_{"host"};
};

TEST_F(SetupHostTest, AScriptWithAFaultRunsNothing)
{
    const struct {
        const char* what;
        std::string faultyLine;
        const char* message;
    } cases[] = {
        {"unknown export", "Nope 1 2", "line 3: install.dll has no export named Nope"},
        {"too few arguments", "IntegRemove 0 \"a.dll\" \"C:\\\\\"",
         "line 3: IntegRemove takes 4 arguments, the script gives 3"},
        {"too many arguments", "installLoadStr 1 buffer(200) \"C:\\\" 5",
         "line 3: installLoadStr takes 3 arguments, the script gives 4"},
        {"unclosed string", "IntegRemove 0 \"a.dll", "line 3: a string is not closed"},
        {"bad buffer", "installLoadStr 1 buffer(0) \"C:\\\"", "line 3: a buffer needs a size"},
        {"not an argument", "installLoadStr one buffer(9) \"C:\\\"", "line 3: not an argument: one"},
        {"unknown directive", ".dance \"x\"", "line 3: unknown directive .dance"},
        {"nameless cell", "installLoadStr 1 @ \"C:\\\"", "line 3: a named cell is @name or @name(V): @"},
        {"unknown setup type", ".walk \"C:\\s.ini\" \"VWPINFO\" \"C:\\\" \"custom\"",
         "line 3: .walk walks a \"typical\" or a \"compact\" setup, not \"custom\""},
        {"bad cell value", "installLoadStr 1 @mode(x) \"C:\\\"",
         "line 3: a named cell is @name or @name(V): @mode(x)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HostRun run = Run(Integrate() + "# a comment\n" + c.faultyLine + "\n");
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("nothing was run"), std::string::npos) << run.output;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnsKey)) << "line 1 ran";
    }
}

TEST_F(SetupHostTest, AMissingInstallDllIsNamedInWordsWithTheOptionThatNamesItsDirectory)
{
    HostRun run = Run(Integrate(), "--dir C:\\nowhere");
    EXPECT_EQ(run.exitCode, 3u);
    for (const char* text : {"cannot load C:\\nowhere\\install.dll: there is no such file (error 126",
                             "with --dir DIR (now: C:\\nowhere)", "Nothing was run."})
        EXPECT_NE(run.output.find(text), std::string::npos) << text << " in:\n" << run.output;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnsKey));
}

TEST_F(SetupHostTest, HelpListsOptionsSyntaxAndEveryExportWithItsArgumentCount)
{
    HostRun run = Run(Integrate(), "--help");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    for (const char* text : {"--dir DIR", "--answer WORD", "--export-reg FILE", "--diff ", "--save-state FILE",
                             "--diff-from FILE", "--measure", "buffer(N)", "@name(V)", ".walk \"iniFile\"",
                             ".shared \"path\"", "two\n", "   2 updateRegHard   5\n", "   3 SetVapiDLL      9\n",
                             "   4 IncludeSet      2\n", "  10 DeleteShareDLL  6\n", "  18 HaveRegRights   1\n"})
        EXPECT_NE(run.output.find(text), std::string::npos) << text << " in:\n" << run.output;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnsKey)) << "--help ran the script";
}

TEST_F(SetupHostTest, AFaultyCommandLineIsNamedAndRunsNothing)
{
    const struct {
        const char* options;
        const char* message;
    } cases[] = {
        {"--frobnicate", "setuphost: unknown option --frobnicate"},
        {"--answer maybe", "setuphost: --answer takes yes|no|ok|cancel|abort|retry|ignore, not maybe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        HostRun run = Run(Integrate(), c.options);
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("setuphost --help"), std::string::npos) << run.output;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnsKey));
    }
}

TEST_F(SetupHostTest, OnlyTextScriptsRunAndAnEmptyOneSaysNothingRan)
{
    const struct {
        const char* what;
        std::string bytes;
        const char* message;
    } cases[] = {
        {"UTF-16 with its mark", std::string("\xff\xfe.\0e\0", 6), "is UTF-16 text"},
        {"UTF-16 without its mark", std::string(".\0e\0c\0", 6), "holds NUL bytes (line 1)"},
        {"binary", "\n\n\x01\x02MZ\x90", "holds the control byte 0x01 (line 3): not a script"},
        {"empty", "", "holds no statement"},
        {"only comments", "# nothing\r\n\r\n   # here\r\n", "holds no statement"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HostRun run = Run(c.bytes);
        EXPECT_EQ(run.exitCode, 2u);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("nothing was run"), std::string::npos) << run.output;
    }
    // A byte order mark of UTF-8 is read past.
    HostRun marked = Run("\xef\xbb\xbf" + Integrate());
    EXPECT_EQ(marked.exitCode, 0u) << marked.output;
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", "C:\\Sorbix\\sxfm.dll"));
}

TEST_F(SetupHostTest, TwoDoubleQuotesInAStringStandForOne)
{
    HostRun run = Run(".echo \"say \"\"yes\"\" \"\"\"\"\"\n"
                      "UnLoadWindow \"No\"\"Such\"\"Class\"\n");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output.find("say \"yes\" \"\"\n"), 0u) << run.output;
    EXPECT_NE(run.output.find("> UnLoadWindow \"No\"\"Such\"\"Class\"\n  = 1\n"), std::string::npos)
        << run.output;
}

TEST_F(SetupHostTest, ACallThatWritesPastItsBufferIsNamedWithItsLineArgumentAndBytes)
{
    RegistryKeyGuard product(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    RegistryKeyGuard classes(HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane");
    DeleteKeyTree(HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane");
    SetRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\General", "Home", "C:\\Program Files\\Sorbix");
    const struct {
        std::string line;
        std::vector<std::string> messages;
    } cases[] = {
        // "Registry rights" and its zero: 16 bytes into 1.
        {"installLoadStr 501 buffer(1) \"" + support_.Path() + "\\\"",
         {"test.script:1: installLoadStr wrote 15 byte(s) past the end of its argument 2, buffer(1)"}},
        // The home directory (24 bytes) into 4, the maker key (18 bytes) into 2.
        {"HaveKeyDLL 0 buffer(4) \"C:\\MySetup\" out buffer(2)",
         {"test.script:1: HaveKeyDLL wrote 20 byte(s) past the end of its argument 2, buffer(4)",
          "test.script:1: HaveKeyDLL wrote 16 byte(s) past the end of its argument 5, buffer(2)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        HostRun run = Run(c.line + "\n" + Integrate());
        EXPECT_EQ(run.exitCode, 5u) << run.output;
        for (const std::string& message : c.messages)
            EXPECT_NE(run.output.find(message), std::string::npos) << message << " in:\n" << run.output;
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnsKey)) << "the run went on after the overrun";
    }
    // Buffers of the sizes the exports need are not overrun.
    HostRun fitting = Run("installLoadStr 501 buffer(200) \"" + support_.Path() +
                          "\\\"\nHaveKeyDLL 0 buffer(256) \"C:\\MySetup\" out buffer(25)\n");
    EXPECT_EQ(fitting.exitCode, 0u) << fitting.output;
    EXPECT_NE(fitting.output.find("argument 5, buffer(25): \"SOFTWARE\\Quorvane\""), std::string::npos)
        << fitting.output;
}

TEST_F(SetupHostTest, PrintsResultsAndBuffers)
{
    HostRun run = Run(Integrate() + "installLoadStr 509 buffer(200) \"" + support_.Path() +
                      "\\\"\n.reg \"HKEY_LOCAL_MACHINE\\" + kAddOnsKey + "\"\n");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, kAddOnsKey, "Sorbix", "C:\\Sorbix\\sxfm.dll"));
    const char* expected[] = {
        "> IntegInteg 0 \"filemgrlink.dll\" \"C:\\Sorbix\"",
        "  = 1\n> installLoadStr 509 buffer(200)",
        "  = 1\n  argument 2, buffer(200): \"Remove shared file\"\n",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File "
        "Manager\\AddOns]\n\"Sorbix\"=\"C:\\\\Sorbix\\\\sxfm.dll\"\n",
    };
    for (const char* text : expected)
        EXPECT_NE(run.output.find(text), std::string::npos) << "missing: " << text << "\nin:\n" << run.output;
}

TEST_F(SetupHostTest, ACrashInsideTheDllIsReportedWithItsLine)
{
    // A module file name that is not a string: the DLL reads address 1.
    HostRun run = Run(Integrate() + "IntegAval 0 1 0 2 3\n.echo \"not reached\"\n");
    EXPECT_EQ(run.exitCode, 4u);
    EXPECT_NE(run.output.find("test.script:2: IntegAval crashed (exception 0xc0000005"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("not reached"), std::string::npos) << run.output;
}

TEST_F(SetupHostTest, DiffAndExportShowWhatTheRunChanged)
{
    WindowsIniGuard winfile;
    WriteFileBytes(winfile.Path(), "[AddOns]\r\nSorbix=C:\\Sorbix\\sxfm.dll\r\n");
    std::string reg = work_.File("after.reg");
    HostRun run = Run(Integrate() + "IntegRemove 0 \"filemgrlink.dll\" \"C:\\Sorbix\" \"" +
                          support_.Path() + "\"\n",
                      "--diff --export-reg \"" + reg + "\"");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    std::string expected = "-- What the run changed:\n"
                           "+ key tree HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File "
                           "Manager\n"
                           "- " + Upper(winfile.Path()) + " [AddOns] Sorbix=C:\\Sorbix\\sxfm.dll\n"
                           "+ " + Upper(winfile.Path()) + " [AddOns] Sorbix=\n";
    EXPECT_NE(run.output.find(expected), std::string::npos) << "expected:\n" << expected << "\nin:\n" << run.output;
    std::string exported = ReadFileBytes(reg);
    EXPECT_EQ(exported.compare(0, 12, "REGEDIT4\r\n\r\n"), 0) << exported;
    EXPECT_NE(exported.find("\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                            "NT\\CurrentVersion\\File Manager\\AddOns]\r\n\r\n"),
              std::string::npos)
        << exported;
}

TEST_F(SetupHostTest, SharedCountsOneMoreReferenceAsTheSetupProgramDoes)
{
    const char kSharedDlls[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    RegistryKeyGuard shared(HKEY_LOCAL_MACHINE, kSharedDlls);
    const std::string kFile = "C:\\Common\\sxtest.dll";
    SetRegDword(HKEY_LOCAL_MACHINE, kSharedDlls, "C:\\Common\\other.dll", 7);

    HostRun run = Run(".shared \"" + kFile + "\"\n.shared \"" + kFile + "\"\n");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    RegistryValue count = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSharedDlls, kFile);
    EXPECT_EQ(count.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(count.bytes, std::string("\x02\0\0\0", 4));
    RegistryValue other = ReadRegistryValue(HKEY_LOCAL_MACHINE, kSharedDlls, "C:\\Common\\other.dll");
    EXPECT_EQ(other.bytes, std::string("\x07\0\0\0", 4));
    EXPECT_NE(run.output.find("shared file " + kFile + ": 2 reference(s)"), std::string::npos)
        << run.output;
}

TEST_F(SetupHostTest, WalkAsksAndRegistersEachEntryOfASectionUntilOneIsMissing)
{
    RegistryKeyGuard product(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane");
    std::string ini = work_.File("setup.ini");
    WriteFileBytes(ini,
                   "[VWPINFO]\r\n"
                   "Info1=Word for Windows, doc, doc,1,181,1,0,-,0,0\r\n"
                   "Info2=Ami Pro, sam, sam,1,46,1,0,-,0,0\r\n"
                   "Info2Typical=U\r\n"
                   "Info4=Never reached, x, x,1,100,1,0,-,0,0\r\n");
    HostRun run = Run(".walk \"" + ini + "\" \"VWPINFO\" \"C:\\Sorbix\"\n");
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    const char* lines[] = {
        "  Info1   \"doc\"    selected      IncludeSet  1  SetVapiDLL  1 (selected 1)  listed 1, "
        "category 30 0\n",
        "  Info2   \"sam\"    not selected  IncludeSet  0  SetVapiDLL  1 (selected 0)  listed 1, "
        "category 30 0\n",
        "  Info3: no entry, the walk ends\n",
    };
    for (const char* line : lines)
        EXPECT_NE(run.output.find(line), std::string::npos) << line << "in:\n" << run.output;
    EXPECT_TRUE(IsRegSz(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\VAPI", "181.1.0.4",
                        "doc 95 txcm.dll 19"));
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\VAPI", "46"));
    EXPECT_TRUE(IsAbsentValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane\\Sorbix\\VAPI", "100"));
}

TEST_F(SetupHostTest, WalkSaysWhyItEnds)
{
    std::string ini = work_.File("setup.ini");
    WriteFileBytes(ini, "[VWPINFO]\r\nInfo1=Too few, doc, doc,1,181\r\n[INTERN]\r\nInfo3=x\r\n");
    const struct {
        std::string iniFile;
        const char* section;
        const char* line;
    } cases[] = {
        {work_.File("missing.ini"), "VWPINFO",
         "  Info1: the setup INI file C:\\"},  // ...missing.ini does not exist
        {ini, "SPICINFO", "  Info1: the setup INI file has no section [SPICINFO]; the walk ends\n"},
        {ini, "VWPINFO",
         "  Info1: an entry install.dll refused (more than 511 characters, or fewer than ten fields); "
         "the walk ends\n"},
        {ini, "INTERN", "  Info1: no entry, the walk ends\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.section);
        HostRun run = Run(".walk \"" + c.iniFile + "\" \"" + c.section + "\" \"C:\\Sorbix\"\n");
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << c.line << " in:\n" << run.output;
    }
    HostRun missing = Run(".walk \"" + work_.File("missing.ini") + "\" \"VWPINFO\" \"C:\\Sorbix\"\n");
    EXPECT_NE(missing.output.find("missing.ini does not exist; the walk ends\n"), std::string::npos)
        << missing.output;
}

TEST_F(SetupHostTest, RegShowsATextWithAControlByteAsHexBytes)
{
    const char kKey[] = "Software\\SorbixTests\\Regedit";
    RegistryKeyGuard key(HKEY_CURRENT_USER, "Software\\SorbixTests");
    const struct {
        std::string data;  // REG_SZ bytes
        const char* line;
    } cases[] = {
        {std::string("http://x/\n\0", 11), "\"v\"=hex(1):68,74,74,70,3a,2f,2f,78,2f,0a,00\n"},
        {std::string("a\rb\0", 4), "\"v\"=hex(1):61,0d,62,00\n"},
        {std::string("a\tb\0", 4), "\"v\"=hex(1):61,09,62,00\n"},
        {std::string("C:\\a \"b\"\0", 9), "\"v\"=\"C:\\\\a \\\"b\\\"\"\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        HKEY handle;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                                  nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(handle, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(c.data.data()),
                       static_cast<DWORD>(c.data.size()));
        RegCloseKey(handle);
        HostRun run = Run(".reg \"HKEY_CURRENT_USER\\" + std::string(kKey) + "\"\n");
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        EXPECT_NE(run.output.find(c.line), std::string::npos) << run.output;
    }
}

}  // namespace
