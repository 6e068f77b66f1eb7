// Handles that live as long as install.dll is loaded. Each is zero at load
// and holds a module only for the length of one export call.
#pragma once

#include <windows.h>

extern HMODULE g_resourceModule;     // "sxinsres.dll", the message strings
extern HMODULE g_integrationModule;  // the integration module being called
extern HMODULE g_pluginModule;       // the plug-in loader's module LoadPlug calls

// LoadLibraryA's 16-bit heritage: values 0 to 32 are failures, so a handle
// counts as a loaded module only above 32.
inline bool IsLoadedModule(HMODULE module)
{
    return reinterpret_cast<ULONG_PTR>(module) > 32;
}
