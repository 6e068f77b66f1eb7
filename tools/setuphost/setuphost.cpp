// The setup script host: a stand-in for the setup program's script engine.
// It loads install.dll from a directory and runs a script of export calls
// (see script.h), printing each call's result and out-arguments. A script
// with any fault is refused before the first call.
//
//   setuphost [--dir DIR] [--answer yes|no|ok|cancel|abort|retry|ignore]... SCRIPT
//
// Message boxes that install.dll, or a module it loads, shows are printed and
// answered: by the --answer values in order, then by the box's default button.
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

std::vector<int> g_answers;  // scripted answers still to give
size_t g_nextAnswer;
const ScriptStatement* g_running;  // the statement being run, for crash reports
const char* g_scriptName;

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

void WatchMessageBoxes(HMODULE module);

HMODULE WINAPI HostLoadLibrary(LPCSTR fileName)
{
    HMODULE module = LoadLibraryA(fileName);
    if (reinterpret_cast<ULONG_PTR>(module) > 32)
        WatchMessageBoxes(module);
    return module;
}

// Routes the module's message boxes, and those of the modules it loads, to
// the host.
void WatchMessageBoxes(HMODULE module)
{
    if (void** slot = FindImportSlot(module, "USER32.dll", "MessageBoxA"))
        ReplaceImportSlot(slot, reinterpret_cast<void*>(&HostMessageBox));
    if (void** slot = FindImportSlot(module, "KERNEL32.dll", "LoadLibraryA"))
        ReplaceImportSlot(slot, reinterpret_cast<void*>(&HostLoadLibrary));
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception)
{
    if (g_running != nullptr)
        fprintf(stderr, "setuphost: %s:%d: %s crashed (exception 0x%08lx at %p)\n", g_scriptName,
                g_running->line, g_running->name.c_str(),
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

void RunExport(HMODULE install, const ScriptStatement& statement)
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
        default:
            // A 32-bit value, as the script engine pushes it.
            words.push_back(static_cast<Word>(static_cast<int32_t>(argument.integer)));
            break;
        }
    }

    g_running = &statement;
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
        else if (argument.kind == ScriptArgument::kString &&
                 memcmp(storage[i].data(), argument.text.c_str(), argument.text.size() + 1) != 0)
            printf("  argument %zu, string changed to: %s\n", i + 1, BufferText(storage[i]).c_str());
    }
    fflush(stdout);
}

// Where the profile functions look for a file named without a directory.
std::string ProfilePath(const std::string& file)
{
    if (file.find('\\') != std::string::npos || file.find(':') != std::string::npos)
        return file;
    char windows[MAX_PATH];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows, length) + "\\" + file;
}

void RunDirective(const ScriptStatement& statement)
{
    const std::vector<ScriptArgument>& a = statement.arguments;
    if (statement.name == ".echo") {
        printf("%s\n", a[0].text.c_str());
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
            "usage: setuphost [--dir DIR] [--answer yes|no|ok|cancel|abort|retry|ignore]... SCRIPT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string directory;
    const char* scriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            directory = argv[++i];
        } else if (strcmp(argv[i], "--answer") == 0 && i + 1 < argc) {
            const char* word = argv[++i];
            int id = 0;
            for (const Answer& answer : kAnswers)
                id = _stricmp(word, answer.word) == 0 ? answer.id : id;
            if (id == 0) {
                fprintf(stderr, "setuphost: unknown answer %s\n", word);
                return Usage();
            }
            g_answers.push_back(id);
        } else if (argv[i][0] == '-' || scriptPath != nullptr) {
            return Usage();
        } else {
            scriptPath = argv[i];
        }
    }
    if (scriptPath == nullptr)
        return Usage();
    g_scriptName = scriptPath;

    std::ifstream file(scriptPath, std::ios::binary);
    if (!file) {
        fprintf(stderr, "setuphost: cannot read %s\n", scriptPath);
        return 2;
    }
    std::stringstream text;
    text << file.rdbuf();

    std::vector<ScriptStatement> statements;
    std::string error;
    if (!ParseScript(text.str(), kInstallExports, sizeof kInstallExports / sizeof kInstallExports[0],
                     &statements, &error)) {
        fprintf(stderr, "setuphost: %s: %s; nothing was run\n", scriptPath, error.c_str());
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
    WatchMessageBoxes(install);
    SetUnhandledExceptionFilter(ReportCrash);

    for (const ScriptStatement& statement : statements) {
        if (statement.name[0] == '.')
            RunDirective(statement);
        else
            RunExport(install, statement);
    }
    FreeLibrary(install);
    return 0;
}
