// The setup script host: a stand-in for the setup program's script engine.
// It loads install.dll from a directory and runs scripts of export calls
// (script.h) in order, printing each call's result and what it wrote. Every
// script is checked whole before the first call: one with any fault runs
// nothing. The command line is this file's; each other job has a file of
// its own: script.* (reading and checking), export_call.* (arguments, guard
// bytes, the call), directives.* and section_walk.* (the host's own
// statements), message_boxes.* and module_hooks.* (what the DLLs call), and
// the machine snapshot of tools/win32 (--diff, --save-state, --diff-from).
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#include "directives.h"
#include "export_call.h"
#include "host_exports.h"
#include "machine_snapshot.h"
#include "message_boxes.h"
#include "module_hooks.h"
#include "script.h"
#include "section_walk.h"

namespace {

// Exit statuses.
const int kUsageStatus = 2;      // the command line or a script is faulty: nothing ran
const int kNoInstallStatus = 3;  // install.dll could not be loaded: nothing ran

const char kUsage[] =
    "usage: setuphost [--dir DIR] [--answer WORD]... [--export-reg FILE] [--diff]\n"
    "                 [--save-state FILE] [--diff-from FILE] [--measure] SCRIPT...\n";

void PrintHelp()
{
    printf("%s", kUsage);
    printf(
        "\n"
        "Runs setup scripts: calls of install.dll's exports, one a line, as a setup\n"
        "program's script makes them. Every script is checked whole first; a script\n"
        "with any fault runs nothing.\n"
        "\n"
        "Options:\n"
        "  --dir DIR          load install.dll from DIR (default: the host's own\n"
        "                     directory); the modules it loads are found as the\n"
        "                     script's directories say\n"
        "  --answer WORD      answer the next message box with WORD (%s);\n"
        "                     boxes beyond the answers given get their default button\n"
        "  --export-reg FILE  after the run, write the watched registry keys (the\n"
        "                     viewer's and the host applications') as REGEDIT4 text\n"
        "  --diff             after the run, print what it changed in the watched keys\n"
        "                     and in the INI files the DLLs wrote\n"
        "  --save-state FILE  keep the state from before the run in FILE\n"
        "  --diff-from FILE   after the run, print what differs from a saved state\n"
        "                     (a removal against the state before the setup)\n"
        "  --measure          print the time spent inside the exports and the\n"
        "                     registry and profile calls the DLLs made\n"
        "  --help             this text\n"
        "\n"
        "Script syntax (ANSI or UTF-8 text):\n"
        "  # comment                          to the end of the line\n"
        "  EXPORT ARGUMENT...                 a call: exactly the export's number of\n"
        "                                     arguments (below)\n"
        "  Arguments:\n"
        "    12  -1  0x8000                   a 32-bit integer\n"
        "    \"C:\\Setup\\\"                      a string; a backslash is itself, two\n"
        "                                     double quotes stand for one\n"
        "    buffer(N)                        N writable zero bytes, printed after the\n"
        "                                     call; a call that writes past them stops\n"
        "                                     the run (exit status %d)\n"
        "    out  out(V)                      a 32-bit cell the export writes, starting\n"
        "                                     at 0 or V, printed after the call\n"
        "    @name  @name(V)                  a named 32-bit cell kept for the whole run\n"
        "                                     (@name(V) sets it to V first)\n"
        "  Directives:\n"
        "    .echo \"text\"                     print the text\n"
        "    .reg \"HKEY_LOCAL_MACHINE\\...\"     print a key tree as REGEDIT4 text\n"
        "    .ini \"file\" \"section\" [\"key\"]    print an INI section or entry (a bare\n"
        "                                     file name lies in the Windows directory)\n"
        "    .shared \"path\"                   count one more shared-file reference, as\n"
        "                                     the setup program does for a shared file\n"
        "    .walk \"iniFile\" \"section\" \"moduleDirectory\" [\"typical\"|\"compact\"]\n"
        "                                     walk a class section as a setup does:\n"
        "                                     IncludeSet, then SetVapiDLL, from Info1\n"
        "\n"
        "Exports of install.dll (ordinal, name, number of 32-bit arguments):\n",
        AnswerWords(), kOverrunStatus);
    for (size_t i = 0; i < kInstallExportCount; ++i)
        printf("  %2u %-15s %u\n", kInstallExports[i].ordinal, kInstallExports[i].name,
               kInstallExports[i].argumentCount);
    printf(
        "\n"
        "Exit status: 0 the scripts ran; 1 a file could not be written; %d a faulty\n"
        "command line or script (nothing ran); %d install.dll not loaded (nothing ran);\n"
        "%d a call crashed; %d a call wrote past a buffer.\n",
        kUsageStatus, kNoInstallStatus, kCrashStatus, kOverrunStatus);
}

int Usage(const std::string& fault)
{
    fprintf(stderr, "setuphost: %s\n%s(setuphost --help tells more)\n", fault.c_str(), kUsage);
    return kUsageStatus;
}

std::string SystemMessage(DWORD error)
{
    char text[512] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                  error, 0, text, sizeof text, nullptr);
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ' ||
                          text[length - 1] == '.'))
        text[--length] = '\0';
    return text;
}

// Says in words why install.dll did not load.
void ReportMissingInstall(const std::string& directory, const std::string& path, DWORD error)
{
    std::string why;
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        why = "there is no such file";
    else if (error == ERROR_BAD_EXE_FORMAT)
        why = "it is not a DLL this host can load (the 32-bit install.dll needs the 32-bit "
              "setuphost.exe)";
    else
        why = "the system refused to load it";
    std::string system = SystemMessage(error);
    fprintf(stderr,
            "setuphost: cannot load %s: %s (error %lu%s%s).\n"
            "Name the directory that holds install.dll with --dir DIR (now: %s).\n"
            "Nothing was run.\n",
            path.c_str(), why.c_str(), static_cast<unsigned long>(error), system.empty() ? "" : ": ",
            system.c_str(), directory.c_str());
}

std::string OwnDirectory()
{
    char self[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string directory(self, length);
    return directory.substr(0, directory.find_last_of('\\'));
}

void PrintDifferences(const char* heading, const std::vector<std::string>& differences)
{
    printf("\n-- %s:\n", heading);
    if (differences.empty())
        printf("nothing\n");
    for (const std::string& line : differences)
        printf("%s\n", line.c_str());
}

// The REGEDIT4 text with the line ends regedit expects.
bool WriteRegFile(const std::string& path)
{
    std::ofstream out(path, std::ios::binary);
    for (char c : ExportWatchedKeys())
        out << (c == '\n' ? std::string("\r\n") : std::string(1, c));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    std::string directory;
    std::string exportRegPath;
    std::string saveStatePath;
    std::string diffFromPath;
    bool diff = false;
    bool measure = false;
    std::vector<std::string> scripts;
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        std::string* value = option == "--dir"          ? &directory
                             : option == "--export-reg" ? &exportRegPath
                             : option == "--save-state" ? &saveStatePath
                             : option == "--diff-from"  ? &diffFromPath
                                                        : nullptr;
        if (option == "--help" || option == "-h" || option == "/?") {
            PrintHelp();
            return 0;
        } else if (value != nullptr || option == "--answer") {
            if (i + 1 >= argc)
                return Usage(option + " needs a value");
            const char* word = argv[++i];
            if (value != nullptr)
                *value = word;
            else if (!AddAnswer(word))
                return Usage(std::string("--answer takes ") + AnswerWords() + ", not " + word);
        } else if (option == "--diff") {
            diff = true;
        } else if (option == "--measure") {
            measure = true;
        } else if (option.size() > 1 && option[0] == '-') {
            return Usage("unknown option " + option);
        } else {
            scripts.push_back(option);
        }
    }
    if (scripts.empty())
        return Usage("no script named");

    // Every script is read and checked before anything runs.
    std::vector<std::vector<ScriptStatement>> programs(scripts.size());
    for (size_t i = 0; i < scripts.size(); ++i) {
        std::string bytes, text, error;
        if (!ReadWholeFile(scripts[i], &bytes)) {
            fprintf(stderr, "setuphost: cannot read %s; nothing was run\n", scripts[i].c_str());
            return kUsageStatus;
        }
        if (!ScriptText(bytes, &text, &error) || !ParseScript(text, &programs[i], &error)) {
            fprintf(stderr, "setuphost: %s: %s; nothing was run\n", scripts[i].c_str(), error.c_str());
            return kUsageStatus;
        }
        if (programs[i].empty()) {
            fprintf(stderr, "setuphost: %s holds no statement (only blank lines and comments); "
                    "nothing was run\n", scripts[i].c_str());
            return kUsageStatus;
        }
    }
    MachineSnapshot baseline;
    if (!diffFromPath.empty() && !baseline.Load(diffFromPath)) {
        fprintf(stderr, "setuphost: cannot read the state %s; nothing was run\n", diffFromPath.c_str());
        return kUsageStatus;
    }

    if (directory.empty())
        directory = OwnDirectory();
    std::string installPath = directory + (directory.empty() || directory.back() == '\\' ? "" : "\\") +
                              "install.dll";
    HMODULE install = LoadLibraryA(installPath.c_str());
    if (install == nullptr) {
        ReportMissingInstall(directory, installPath, GetLastError());
        return kNoInstallStatus;
    }

    // The state before the run: the watched keys now, and each INI file the
    // DLLs write as it was before their first write to it.
    MachineSnapshot before;
    before.AddWatchedKeys();
    NoteIniFilesInto(&before);
    WatchModule(install);
    ReportCrashesOfCalls();

    LARGE_INTEGER frequency, started, finished;
    QueryPerformanceFrequency(&frequency);
    double callTime = 0;
    int status = 0;
    for (size_t i = 0; i < scripts.size() && status == 0; ++i) {
        for (const ScriptStatement& statement : programs[i]) {
            if (statement.name == ".walk") {
                RunSectionWalk(install, statement);
            } else if (statement.name[0] == '.') {
                RunDirective(statement);
            } else {
                QueryPerformanceCounter(&started);
                bool whole = RunExport(install, scripts[i], statement);
                QueryPerformanceCounter(&finished);
                callTime += static_cast<double>(finished.QuadPart - started.QuadPart);
                if (!whole) {
                    status = kOverrunStatus;
                    break;
                }
            }
        }
    }
    NoteIniFilesInto(nullptr);
    FreeLibrary(install);

    // The INI files of the saved state are read after the run as well, and
    // the files first written in this run join the saved state as they were.
    baseline.AddIniFilesFrom(before);
    MachineSnapshot after;
    after.AddWatchedKeys();
    for (const std::string& path : baseline.IniFiles())
        after.AddIniFile(path);

    if (!saveStatePath.empty() && !before.Save(saveStatePath)) {
        fprintf(stderr, "setuphost: cannot write %s\n", saveStatePath.c_str());
        status = status != 0 ? status : 1;
    }
    if (!exportRegPath.empty() && !WriteRegFile(exportRegPath)) {
        fprintf(stderr, "setuphost: cannot write %s\n", exportRegPath.c_str());
        status = status != 0 ? status : 1;
    }
    if (diff)
        PrintDifferences("What the run changed", after.DifferencesFrom(before));
    if (!diffFromPath.empty())
        PrintDifferences("What differs from the saved state", after.DifferencesFrom(baseline));
    if (measure) {
        // Only the time inside the exports counts, not the host's printing.
        printf("\n-- Measured: %.3f ms inside the exports; calls made by the DLLs: %s\n",
               callTime * 1000.0 / static_cast<double>(frequency.QuadPart), DescribeCallCounts().c_str());
    }
    fflush(stdout);
    return status;
}
