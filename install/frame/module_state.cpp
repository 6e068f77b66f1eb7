#include "frame/module_state.h"

HMODULE g_resourceModule;
HMODULE g_integrationModule;
HMODULE g_pluginModule;
