// Handles that live as long as install.dll is loaded. Each is zero at load
// and holds a module only for the length of one export call.
#pragma once

#include <windows.h>

#include "common/module_access.h"

extern HMODULE g_resourceModule;     // "sxinsres.dll", the message strings
extern HMODULE g_integrationModule;  // the integration module being called
extern HMODULE g_pluginModule;       // the plug-in loader's module LoadPlug calls
