// The setup script host: a stand-in for the setup program's script engine.
// It loads install.dll from a directory and runs scripts of export calls
// (see script.h) in order, printing each call's result and out-arguments.
// Every script is checked whole before the first call: one with any fault
// runs nothing.
//
//   setuphost [--dir DIR] [--answer yes|no|ok|cancel|abort|retry|ignore]...
//             [--export-reg FILE] [--diff] [--save-state FILE] [--diff-from FILE]
//             [--measure] SCRIPT...
//
// Message boxes that install.dll, or a module it loads, shows are printed and
// answered: by the --answer values in order, then by the box's default button.
// --export-reg writes the watched keys (the viewer's and the host
// applications') as REGEDIT4 text after the run; --diff prints what the run
// changed in them and in the INI files the DLLs wrote. --save-state keeps the
// state from before the run in a file, and --diff-from prints what differs
// from such a state after this run: a removal against the state before setup.
// --measure prints the time spent inside the exports and how many registry
// and profile calls the DLLs made.
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "import_table.h"
#include "regedit_export.h"
#include "script.h"
#include "section_walk.h"
#include "state.h"

namespace {

const ExportRow kInstallExports[] = {
#include "install_exports.inc"
};

struct Answer {
    const char* word;
    int id;
};

const Answer kAnswers[] = {{"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT},
                           {"retry", IDRETRY},   {"ignore", IDIGNORE}, {"yes", IDYES},
                           {"no", IDNO}};

// The buttons of each MB_ type, in the order the box shows them.
const std::vector<std::vector<int>> kButtons = {
    {IDOK}, {IDOK, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
    {IDYES, IDNO}, {IDRETRY, IDCANCEL}};

std::map<std::string, int32_t> g_namedCells;  // @name cells, for the whole run
std::vector<int> g_answers;  // scripted answers still to give
size_t g_nextAnswer;
struct RunningCall {
    std::string script;
    const ScriptStatement* statement;
};
const RunningCall* g_running;  // the call being run, for crash reports

const char* AnswerWord(int id)
{
    for (const Answer& answer : kAnswers) {
        if (answer.id == id)
            return answer.word;
    }
    return "?";
}

void PrintIndented(const char* text)
{
    printf("    | ");
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n')
            printf("\n    | ");
        else if (*p != '\r')
            putchar(*p);
    }
    putchar('\n');
}

int WINAPI HostMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    size_t style = type & MB_TYPEMASK;
    const std::vector<int>& buttons = style < kButtons.size() ? kButtons[style] : kButtons[0];
    size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    if (defaultIndex >= buttons.size())
        defaultIndex = 0;

    printf("  message box \"%s\", buttons:", caption != nullptr ? caption : "Error");
    for (int button : buttons)
        printf(" %s", AnswerWord(button));
    printf(" (flags 0x%lx)\n", static_cast<unsigned long>(type));
    PrintIndented(text != nullptr ? text : "");

    int answer = buttons[defaultIndex];
    if (g_nextAnswer < g_answers.size()) {
        int scripted = g_answers[g_nextAnswer++];
        bool offered = false;
        for (int button : buttons)
            offered = offered || button == scripted;
        if (offered) {
            printf("    answered %s, as told\n", AnswerWord(scripted));
            fflush(stdout);
            return scripted;
        }
        printf("    the box has no %s button:", AnswerWord(scripted));
    }
    printf("    answered %s, the default button\n", AnswerWord(answer));
    fflush(stdout);
    return answer;
}

// Where the profile functions look for a file named without a directory.
std::string ProfilePath(const std::string& file)
{
    if (file.find('\\') == std::string::npos && file.find(':') == std::string::npos) {
        char windows[MAX_PATH];
        UINT length = GetWindowsDirectoryA(windows, sizeof windows);
        return std::string(windows, length) + "\\" + file;
    }
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(file.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : file;
}

// The INI files the DLLs wrote, each with what it held before the first write.
std::map<std::string, FileState> g_filesBefore;

void NoteProfileWrite(const char* file)
{
    if (file == nullptr)
        return;
    std::string path = ProfilePath(file);
    for (char& c : path)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    if (g_filesBefore.count(path) == 0)
        g_filesBefore[path] = ReadMachineState({path}).files[path];
}

// The registry and profile calls the DLLs make, counted for --measure.
enum CountedCall {
    kRegCreateKey,
    kRegOpenKey,
    kRegSetValue,
    kRegQueryValue,
    kRegDeleteValue,
    kRegCloseKey,
    kGetProfileString,
    kWriteProfileString,
    kCountedCalls
};
const char* const kCountedCallNames[kCountedCalls] = {
    "RegCreateKeyExA", "RegOpenKeyExA",  "RegSetValueExA",          "RegQueryValueExA",
    "RegDeleteValueA", "RegCloseKey",    "GetPrivateProfileStringA", "WritePrivateProfileStringA"};
unsigned long g_calls[kCountedCalls];

LONG WINAPI HostRegCreateKey(HKEY key, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                             REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result,
                             LPDWORD disposition)
{
    ++g_calls[kRegCreateKey];
    return RegCreateKeyExA(key, subKey, reserved, keyClass, options, access, security, result,
                           disposition);
}

LONG WINAPI HostRegOpenKey(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    ++g_calls[kRegOpenKey];
    return RegOpenKeyExA(key, subKey, options, access, result);
}

LONG WINAPI HostRegSetValue(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                            DWORD size)
{
    ++g_calls[kRegSetValue];
    return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI HostRegQueryValue(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                              LPDWORD size)
{
    ++g_calls[kRegQueryValue];
    return RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI HostRegDeleteValue(HKEY key, LPCSTR name)
{
    ++g_calls[kRegDeleteValue];
    return RegDeleteValueA(key, name);
}

LONG WINAPI HostRegCloseKey(HKEY key)
{
    ++g_calls[kRegCloseKey];
    return RegCloseKey(key);
}

DWORD WINAPI HostGetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR value,
                                         DWORD size, LPCSTR file)
{
    ++g_calls[kGetProfileString];
    return GetPrivateProfileStringA(section, key, fallback, value, size, file);
}

BOOL WINAPI HostWritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    ++g_calls[kWriteProfileString];
    NoteProfileWrite(file);
    return WritePrivateProfileStringA(section, key, value, file);
}

BOOL WINAPI HostWritePrivateProfileSection(LPCSTR section, LPCSTR entries, LPCSTR file)
{
    NoteProfileWrite(file);
    return WritePrivateProfileSectionA(section, entries, file);
}

BOOL WINAPI HostWriteProfileString(LPCSTR section, LPCSTR key, LPCSTR value)
{
    NoteProfileWrite("win.ini");
    return WriteProfileStringA(section, key, value);
}

// Wine's RegSaveKeyA refuses every security attributes structure with
// ERROR_UNKNOWN_REVISION, where Windows saves the hive owned as the
// attributes say. A module that saves a user's hive that way would fail
// under Wine on every profile: the host saves it again without them, and
// says so.
LONG WINAPI HostRegSaveKey(HKEY key, LPCSTR file, LPSECURITY_ATTRIBUTES attributes)
{
    LONG result = RegSaveKeyA(key, file, attributes);
    if (result == ERROR_UNKNOWN_REVISION && attributes != nullptr) {
        DeleteFileA(file);
        result = RegSaveKeyA(key, file, nullptr);
        printf("  (hive %s saved without its security attributes, which Wine refuses: %ld)\n", file,
               static_cast<long>(result));
        fflush(stdout);
    }
    return result;
}

void WatchModule(HMODULE module);

HMODULE WINAPI HostLoadLibrary(LPCSTR fileName)
{
    HMODULE module = LoadLibraryA(fileName);
    if (reinterpret_cast<ULONG_PTR>(module) > 32)
        WatchModule(module);
    return module;
}

// Routes the module's message boxes and INI writes, and those of the modules
// it loads, through the host.
void WatchModule(HMODULE module)
{
    const struct {
        const char* dll;
        const char* function;
        void* replacement;
    } hooks[] = {
        {"USER32.dll", "MessageBoxA", reinterpret_cast<void*>(&HostMessageBox)},
        {"KERNEL32.dll", "LoadLibraryA", reinterpret_cast<void*>(&HostLoadLibrary)},
        {"KERNEL32.dll", "WritePrivateProfileStringA",
         reinterpret_cast<void*>(&HostWritePrivateProfileString)},
        {"KERNEL32.dll", "WritePrivateProfileSectionA",
         reinterpret_cast<void*>(&HostWritePrivateProfileSection)},
        {"KERNEL32.dll", "WriteProfileStringA", reinterpret_cast<void*>(&HostWriteProfileString)},
        {"ADVAPI32.dll", "RegSaveKeyA", reinterpret_cast<void*>(&HostRegSaveKey)},
        {"ADVAPI32.dll", "RegCreateKeyExA", reinterpret_cast<void*>(&HostRegCreateKey)},
        {"ADVAPI32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&HostRegOpenKey)},
        {"ADVAPI32.dll", "RegSetValueExA", reinterpret_cast<void*>(&HostRegSetValue)},
        {"ADVAPI32.dll", "RegQueryValueExA", reinterpret_cast<void*>(&HostRegQueryValue)},
        {"ADVAPI32.dll", "RegDeleteValueA", reinterpret_cast<void*>(&HostRegDeleteValue)},
        {"ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&HostRegCloseKey)},
        {"KERNEL32.dll", "GetPrivateProfileStringA",
         reinterpret_cast<void*>(&HostGetPrivateProfileString)},
    };
    for (const auto& hook : hooks) {
        if (void** slot = FindImportSlot(module, hook.dll, hook.function))
            ReplaceImportSlot(slot, hook.replacement);
    }
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception)
{
    if (g_running != nullptr)
        fprintf(stderr, "setuphost: %s:%d: %s crashed (exception 0x%08lx at %p)\n",
                g_running->script.c_str(),
                g_running->statement->line, g_running->statement->name.c_str(),
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                exception->ExceptionRecord->ExceptionAddress);
    else
        fprintf(stderr, "setuphost: crashed (exception 0x%08lx)\n",
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    fflush(stdout);
    fflush(stderr);
    ExitProcess(4);
    return EXCEPTION_EXECUTE_HANDLER;
}

typedef intptr_t Word;

// Calls an export with exactly its number of 32-bit arguments (a stdcall
// callee removes them itself, so the count must be right).
int CallExport(FARPROC procedure, const std::vector<Word>& a)
{
    void (*p)() = reinterpret_cast<void (*)()>(procedure);
    switch (a.size()) {
    case 0: return reinterpret_cast<int(WINAPI*)()>(p)();
    case 1: return reinterpret_cast<int(WINAPI*)(Word)>(p)(a[0]);
    case 2: return reinterpret_cast<int(WINAPI*)(Word, Word)>(p)(a[0], a[1]);
    case 3: return reinterpret_cast<int(WINAPI*)(Word, Word, Word)>(p)(a[0], a[1], a[2]);
    case 4: return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word)>(p)(a[0], a[1], a[2], a[3]);
    case 5:
        return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word, Word)>(p)(a[0], a[1], a[2], a[3],
                                                                               a[4]);
    case 6:
        return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word, Word, Word)>(p)(
            a[0], a[1], a[2], a[3], a[4], a[5]);
    case 7:
        return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word, Word, Word, Word)>(p)(
            a[0], a[1], a[2], a[3], a[4], a[5], a[6]);
    case 8:
        return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word, Word, Word, Word, Word)>(p)(
            a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7]);
    case 9:
        return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word, Word, Word, Word, Word, Word)>(
            p)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    default:
        fprintf(stderr, "setuphost: no export takes %zu arguments\n", a.size());
        ExitProcess(5);
    }
}

std::string Shown(const ScriptArgument& argument)
{
    switch (argument.kind) {
    case ScriptArgument::kString: return "\"" + argument.text + "\"";
    case ScriptArgument::kBuffer: return "buffer(" + std::to_string(argument.integer) + ")";
    case ScriptArgument::kOutCell:
        return argument.integer == 0 ? "out" : "out(" + std::to_string(argument.integer) + ")";
    case ScriptArgument::kNamedCell:
        return "@" + argument.text +
               (argument.setsCell ? "(" + std::to_string(argument.integer) + ")" : std::string());
    default: return std::to_string(argument.integer);
    }
}

// A buffer's text: up to its first zero, with a note when it has none.
std::string BufferText(const std::vector<char>& buffer)
{
    size_t end = 0;
    while (end < buffer.size() && buffer[end] != '\0')
        ++end;
    std::string text = "\"" + std::string(buffer.data(), end) + "\"";
    if (end == buffer.size())
        text += " (no terminating zero)";
    return text;
}

void RunExport(HMODULE install, const std::string& script, const ScriptStatement& statement)
{
    const ExportRow* row =
        FindExport(kInstallExports, sizeof kInstallExports / sizeof kInstallExports[0], statement.name);
    std::string shown = statement.name;
    for (const ScriptArgument& argument : statement.arguments)
        shown += " " + Shown(argument);
    printf("> %s\n", shown.c_str());
    fflush(stdout);

    FARPROC procedure = GetProcAddress(install, MAKEINTRESOURCEA(row->ordinal));
    if (procedure == nullptr) {
        printf("  install.dll has no export at ordinal %u\n", row->ordinal);
        return;
    }

    // Each argument owns its storage for the length of the call.
    std::vector<std::vector<char>> storage(statement.arguments.size());
    std::vector<int32_t> cells(statement.arguments.size());
    std::vector<Word> words;
    for (size_t i = 0; i < statement.arguments.size(); ++i) {
        const ScriptArgument& argument = statement.arguments[i];
        switch (argument.kind) {
        case ScriptArgument::kString:
            storage[i].assign(argument.text.begin(), argument.text.end());
            storage[i].push_back('\0');
            words.push_back(reinterpret_cast<Word>(storage[i].data()));
            break;
        case ScriptArgument::kBuffer:
            storage[i].assign(static_cast<size_t>(argument.integer), '\0');
            words.push_back(reinterpret_cast<Word>(storage[i].data()));
            break;
        case ScriptArgument::kOutCell:
            cells[i] = static_cast<int32_t>(argument.integer);
            words.push_back(reinterpret_cast<Word>(&cells[i]));
            break;
        case ScriptArgument::kNamedCell:
            if (argument.setsCell)
                g_namedCells[argument.text] = static_cast<int32_t>(argument.integer);
            words.push_back(reinterpret_cast<Word>(&g_namedCells[argument.text]));
            break;
        default:
            // A 32-bit value, as the script engine pushes it.
            words.push_back(static_cast<Word>(static_cast<int32_t>(argument.integer)));
            break;
        }
    }

    RunningCall running = {script, &statement};
    g_running = &running;
    int result = CallExport(procedure, words);
    g_running = nullptr;

    printf("  = %d\n", result);
    for (size_t i = 0; i < statement.arguments.size(); ++i) {
        const ScriptArgument& argument = statement.arguments[i];
        if (argument.kind == ScriptArgument::kBuffer)
            printf("  argument %zu, buffer(%lld): %s\n", i + 1, argument.integer,
                   BufferText(storage[i]).c_str());
        else if (argument.kind == ScriptArgument::kOutCell)
            printf("  argument %zu, out: %ld\n", i + 1, static_cast<long>(cells[i]));
        else if (argument.kind == ScriptArgument::kNamedCell)
            printf("  argument %zu, @%s: %ld\n", i + 1, argument.text.c_str(),
                   static_cast<long>(g_namedCells[argument.text]));
        else if (argument.kind == ScriptArgument::kString &&
                 memcmp(storage[i].data(), argument.text.c_str(), argument.text.size() + 1) != 0)
            printf("  argument %zu, string changed to: %s\n", i + 1, BufferText(storage[i]).c_str());
    }
    fflush(stdout);
}

const char kSharedDllsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// What the setup program does for each shared file it copies: one more
// reference in SharedDLLs, a REG_DWORD count named by the file's path.
void CountSharedReference(const std::string& path)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        printf("  cannot open HKEY_LOCAL_MACHINE\\%s\n", kSharedDllsKey);
        return;
    }
    DWORD count = 0;
    DWORD type = 0;
    DWORD size = sizeof count;
    if (RegQueryValueExA(key, path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof count)
        count = 0;
    ++count;
    RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(key);
    printf("  shared file %s: %lu reference(s)\n", path.c_str(), static_cast<unsigned long>(count));
}

void RunDirective(const ScriptStatement& statement)
{
    const std::vector<ScriptArgument>& a = statement.arguments;
    if (statement.name == ".echo") {
        printf("%s\n", a[0].text.c_str());
    } else if (statement.name == ".shared") {
        CountSharedReference(a[0].text);
    } else if (statement.name == ".reg") {
        printf("REGEDIT4\n\n%s", RegeditText(a[0].text).c_str());
    } else if (statement.name == ".ini") {
        std::string path = ProfilePath(a[0].text);
        if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
            printf("; %s does not exist\n", path.c_str());
        } else if (a.size() == 3) {
            char value[4096];
            DWORD length = GetPrivateProfileStringA(a[1].text.c_str(), a[2].text.c_str(), "\x01",
                                                    value, sizeof value, path.c_str());
            if (length == 1 && value[0] == '\x01')
                printf("; %s [%s] has no entry %s\n", path.c_str(), a[1].text.c_str(),
                       a[2].text.c_str());
            else
                printf("%s [%s] %s=%s\n", path.c_str(), a[1].text.c_str(), a[2].text.c_str(), value);
        } else {
            std::vector<char> section(65536);
            DWORD length = GetPrivateProfileSectionA(a[1].text.c_str(), section.data(),
                                                     static_cast<DWORD>(section.size()), path.c_str());
            printf("%s [%s]\n", path.c_str(), a[1].text.c_str());
            for (const char* entry = section.data(); entry < section.data() + length && *entry != '\0';
                 entry += strlen(entry) + 1)
                printf("  %s\n", entry);
        }
    }
    fflush(stdout);
}

int Usage()
{
    fprintf(stderr,
            "usage: setuphost [--dir DIR] [--answer yes|no|ok|cancel|abort|retry|ignore]...\n"
            "                 [--export-reg FILE] [--diff] [--save-state FILE] [--diff-from FILE]\n"
            "                 [--measure] SCRIPT...\n");
    return 2;
}

bool ReadText(const std::string& path, std::string* text)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::stringstream bytes;
    bytes << file.rdbuf();
    *text = bytes.str();
    return true;
}

std::vector<std::string> Keys(const std::map<std::string, FileState>& files)
{
    std::vector<std::string> keys;
    for (const auto& file : files)
        keys.push_back(file.first);
    return keys;
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
        bool hasValue = i + 1 < argc;
        if (option == "--dir" && hasValue) {
            directory = argv[++i];
        } else if (option == "--export-reg" && hasValue) {
            exportRegPath = argv[++i];
        } else if (option == "--save-state" && hasValue) {
            saveStatePath = argv[++i];
        } else if (option == "--diff-from" && hasValue) {
            diffFromPath = argv[++i];
        } else if (option == "--diff") {
            diff = true;
        } else if (option == "--measure") {
            measure = true;
        } else if (option == "--answer" && hasValue) {
            const char* word = argv[++i];
            int id = 0;
            for (const Answer& answer : kAnswers)
                id = _stricmp(word, answer.word) == 0 ? answer.id : id;
            if (id == 0) {
                fprintf(stderr, "setuphost: unknown answer %s\n", word);
                return Usage();
            }
            g_answers.push_back(id);
        } else if (option[0] == '-') {
            return Usage();
        } else {
            scripts.push_back(option);
        }
    }
    if (scripts.empty())
        return Usage();

    // Every script is read and checked before anything runs.
    std::vector<std::vector<ScriptStatement>> programs(scripts.size());
    for (size_t i = 0; i < scripts.size(); ++i) {
        std::string text;
        if (!ReadText(scripts[i], &text)) {
            fprintf(stderr, "setuphost: cannot read %s; nothing was run\n", scripts[i].c_str());
            return 2;
        }
        std::string error;
        if (!ParseScript(text, kInstallExports, sizeof kInstallExports / sizeof kInstallExports[0],
                         &programs[i], &error)) {
            fprintf(stderr, "setuphost: %s: %s; nothing was run\n", scripts[i].c_str(), error.c_str());
            return 2;
        }
    }
    MachineState baseline;
    if (!diffFromPath.empty() && !LoadMachineState(diffFromPath, &baseline)) {
        fprintf(stderr, "setuphost: cannot read the state %s; nothing was run\n", diffFromPath.c_str());
        return 2;
    }

    if (directory.empty()) {
        char self[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
        directory = std::string(self, length);
        directory = directory.substr(0, directory.find_last_of('\\'));
    }
    std::string installPath = directory + "\\install.dll";
    HMODULE install = LoadLibraryA(installPath.c_str());
    if (install == nullptr) {
        fprintf(stderr, "setuphost: cannot load %s (error %lu)\n", installPath.c_str(),
                static_cast<unsigned long>(GetLastError()));
        return 3;
    }
    WatchModule(install);
    SetUnhandledExceptionFilter(ReportCrash);

    MachineState before = ReadMachineState(Keys(baseline.files));
    LARGE_INTEGER frequency, started, finished;
    QueryPerformanceFrequency(&frequency);
    double callTime = 0;
    for (size_t i = 0; i < scripts.size(); ++i) {
        for (const ScriptStatement& statement : programs[i]) {
            if (statement.name == ".walk")
                RunSectionWalk(install, statement);
            else if (statement.name[0] == '.')
                RunDirective(statement);
            else {
                QueryPerformanceCounter(&started);
                RunExport(install, scripts[i], statement);
                QueryPerformanceCounter(&finished);
                callTime += static_cast<double>(finished.QuadPart - started.QuadPart);
            }
        }
    }
    FreeLibrary(install);

    // The files written during the run join the state from before it.
    for (const auto& file : g_filesBefore) {
        if (before.files.count(file.first) == 0)
            before.files[file.first] = file.second;
        if (baseline.files.count(file.first) == 0)
            baseline.files[file.first] = file.second;
    }

    int status = 0;
    if (!saveStatePath.empty() && !SaveMachineState(before, saveStatePath)) {
        fprintf(stderr, "setuphost: cannot write %s\n", saveStatePath.c_str());
        status = 1;
    }
    if (!exportRegPath.empty()) {
        std::ofstream out(exportRegPath, std::ios::binary);
        std::string text = ExportWatchedKeys();
        for (char c : text)
            out << (c == '\n' ? std::string("\r\n") : std::string(1, c));
        if (!out) {
            fprintf(stderr, "setuphost: cannot write %s\n", exportRegPath.c_str());
            status = 1;
        }
    }
    if (diff) {
        std::string changes = DescribeChanges(before, ReadMachineState(Keys(before.files)));
        printf("\n-- What the run changed:\n%s", changes.empty() ? "nothing\n" : changes.c_str());
    }
    if (!diffFromPath.empty()) {
        std::string changes = DescribeChanges(baseline, ReadMachineState(Keys(baseline.files)));
        printf("\n-- What differs from the saved state:\n%s",
               changes.empty() ? "nothing\n" : changes.c_str());
    }
    if (measure) {
        // Only the time inside the exports counts, not the host's printing.
        printf("\n-- Measured: %.3f ms inside the exports; calls made by the DLLs:",
               callTime * 1000.0 / static_cast<double>(frequency.QuadPart));
        for (int i = 0; i < kCountedCalls; ++i)
            printf(" %s=%lu", kCountedCallNames[i], g_calls[i]);
        printf("\n");
    }
    fflush(stdout);
    return status;
}
