// Loading a module of another file for the length of a call, and fetching
// its exports by ordinal.
#pragma once

#include <windows.h>

#include <stddef.h>

// LoadLibraryA's 16-bit heritage: values 0 to 32 are failures, so a handle
// counts as a loaded module only above 32.
inline bool IsLoadedModule(HMODULE module)
{
    return reinterpret_cast<ULONG_PTR>(module) > 32;
}

// Loads file from directory, joined with it by one backslash. A path longer
// than limit (bytes, terminating zero included, at most 256) is not tried:
// null, as a module that is not there.
HMODULE LoadModuleIn(const char* directory, size_t limit, const char* file);

// Loads file from firstDirectory, else from secondDirectory, each joined
// with it by one backslash. A path longer than its limit (bytes, terminating
// zero included, at most 256) is not tried, as a module that is not there.
// Returns the last LoadLibraryA result, or null when no path was tried.
HMODULE LoadModuleFromEither(const char* file, const char* firstDirectory, size_t firstLimit,
                             const char* secondDirectory, size_t secondLimit);

// GetProcAddress returns a generic function pointer; going through a
// function type without arguments keeps the conversion to the real
// signature explicit and free of cast-function-type warnings.
template <typename Function>
Function ProcAs(FARPROC procedure)
{
    return reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(procedure));
}

// Fetches an export by ordinal (its low 16 bits).
inline FARPROC ProcByOrdinal(HMODULE module, unsigned ordinal)
{
    return GetProcAddress(module, MAKEINTRESOURCEA(ordinal & 0xFFFF));
}
