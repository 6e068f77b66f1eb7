#include "export_call.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <map>
#include <vector>

#include "host_exports.h"

namespace {

// Guard bytes after each buffer and cell: more than any export writes past
// a buffer of the wrong size (the largest a DLL fills is 511 bytes).
const size_t kGuardSize = 4096;
const char kGuardByte = static_cast<char>(0xFD);

std::map<std::string, int32_t> g_namedCells;  // @name cells, for the whole run

struct RunningCall {
    std::string script;
    const ScriptStatement* statement;
};
const RunningCall* g_running;  // the call being run, for crash reports

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* exception)
{
    fflush(stdout);
    if (g_running != nullptr)
        fprintf(stderr, "setuphost: %s:%d: %s crashed (exception 0x%08lx at %p)\n",
                g_running->script.c_str(), g_running->statement->line,
                g_running->statement->name.c_str(),
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode),
                exception->ExceptionRecord->ExceptionAddress);
    else
        fprintf(stderr, "setuphost: crashed (exception 0x%08lx)\n",
                static_cast<unsigned long>(exception->ExceptionRecord->ExceptionCode));
    fflush(stderr);
    ExitProcess(kCrashStatus);
    return EXCEPTION_EXECUTE_HANDLER;
}

typedef intptr_t Word;

// Calls an export with exactly its number of 32-bit arguments (a stdcall
// callee removes them itself, so the count must be right; the script was
// checked against it).
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
    default:
        return reinterpret_cast<int(WINAPI*)(Word, Word, Word, Word, Word, Word, Word, Word, Word)>(
            p)(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
    }
}

// The argument as the script writes it.
std::string Shown(const ScriptArgument& argument)
{
    switch (argument.kind) {
    case ScriptArgument::kString: return QuotedScriptString(argument.text);
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
std::string BufferText(const char* bytes, size_t size)
{
    size_t end = 0;
    while (end < size && bytes[end] != '\0')
        ++end;
    std::string text = "\"" + std::string(bytes, end) + "\"";
    if (end == size)
        text += " (no terminating zero)";
    return text;
}

// How many bytes past its end the call wrote: the last guard byte changed.
size_t OverrunOf(const std::vector<char>& storage, size_t size)
{
    for (size_t i = storage.size(); i-- > size;) {
        if (storage[i] != kGuardByte)
            return i - size + 1;
    }
    return 0;
}

}  // namespace

void ReportCrashesOfCalls()
{
    SetUnhandledExceptionFilter(ReportCrash);
}

bool RunExport(HMODULE install, const std::string& script, const ScriptStatement& statement)
{
    const ExportRow* row = FindExport(statement.name);
    std::string shown = statement.name;
    for (const ScriptArgument& argument : statement.arguments)
        shown += " " + Shown(argument);
    printf("> %s\n", shown.c_str());
    fflush(stdout);

    FARPROC procedure = GetProcAddress(install, MAKEINTRESOURCEA(row->ordinal));
    if (procedure == nullptr) {
        printf("  install.dll has no export at ordinal %u\n", row->ordinal);
        return true;
    }

    // Each argument owns its storage for the length of the call; a buffer
    // or cell has its size, then the guard bytes.
    std::vector<std::vector<char>> storage(statement.arguments.size());
    std::vector<size_t> sizes(statement.arguments.size(), 0);
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
        case ScriptArgument::kOutCell: {
            bool buffer = argument.kind == ScriptArgument::kBuffer;
            sizes[i] = buffer ? static_cast<size_t>(argument.integer) : sizeof(int32_t);
            storage[i].assign(sizes[i] + kGuardSize, kGuardByte);
            memset(storage[i].data(), 0, sizes[i]);
            if (!buffer) {
                int32_t first = static_cast<int32_t>(argument.integer);
                memcpy(storage[i].data(), &first, sizeof first);
            }
            words.push_back(reinterpret_cast<Word>(storage[i].data()));
            break;
        }
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
    bool whole = true;
    for (size_t i = 0; i < statement.arguments.size(); ++i) {
        const ScriptArgument& argument = statement.arguments[i];
        if (argument.kind == ScriptArgument::kBuffer) {
            printf("  argument %zu, buffer(%lld): %s\n", i + 1, argument.integer,
                   BufferText(storage[i].data(), sizes[i]).c_str());
        } else if (argument.kind == ScriptArgument::kOutCell) {
            int32_t value;
            memcpy(&value, storage[i].data(), sizeof value);
            printf("  argument %zu, out: %ld\n", i + 1, static_cast<long>(value));
        } else if (argument.kind == ScriptArgument::kNamedCell) {
            printf("  argument %zu, @%s: %ld\n", i + 1, argument.text.c_str(),
                   static_cast<long>(g_namedCells[argument.text]));
        } else if (argument.kind == ScriptArgument::kString &&
                   memcmp(storage[i].data(), argument.text.c_str(), argument.text.size() + 1) != 0) {
            printf("  argument %zu, string changed to: %s\n", i + 1,
                   BufferText(storage[i].data(), storage[i].size()).c_str());
        }
        size_t overrun = sizes[i] != 0 ? OverrunOf(storage[i], sizes[i]) : 0;
        if (overrun != 0) {
            fflush(stdout);
            fprintf(stderr,
                    "setuphost: %s:%d: %s wrote %zu byte(s) past the end of its argument %zu, %s: "
                    "the buffer is too small for this export\n",
                    script.c_str(), statement.line, statement.name.c_str(), overrun, i + 1,
                    Shown(argument).c_str());
            fflush(stderr);
            whole = false;
        }
    }
    fflush(stdout);
    return whole;
}
