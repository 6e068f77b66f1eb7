// The module's own instance handle, recorded when the process attaches; the
// string table is loaded with it.
#pragma once

#include <windows.h>

HINSTANCE ModuleInstance();
