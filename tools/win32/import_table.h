// Import address table access for the programs that drive the DLLs (the
// tests and the setup script host): they replace one imported function of
// a loaded module to watch or steer what it does.
#pragma once

#include <windows.h>

// The import address table slot of functionName imported from dllName
// (compared without regard to case) by module; null when it has none.
void** FindImportSlot(HMODULE module, const char* dllName, const char* functionName);

// Stores value in a slot found by FindImportSlot and returns what it held.
void* ReplaceImportSlot(void** slot, void* value);
