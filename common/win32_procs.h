// Typed access to functions fetched from a loaded module.
#pragma once

#include <windows.h>

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
