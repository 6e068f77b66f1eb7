#include "frame/resource_strings.h"

#include <windows.h>

#include "common/text.h"
#include "frame/module_state.h"
#include "install/install_exports.h"

namespace {
const char kResourceModuleName[] = "sxinsres.dll";
const int kLoadedStringCapacity = 200;  // characters, terminating zero included
}  // namespace

int LoadResourceModule(const char* directory)
{
    // The directory is a prefix, not joined with a separator. A directory too
    // long for the 256-byte path is not loaded at all, as a missing module.
    char path[256];
    if (!CopyText(path, sizeof path, directory) ||
        !AppendText(path, sizeof path, kResourceModuleName)) {
        g_resourceModule = nullptr;
        return 0;
    }
    g_resourceModule = LoadLibraryA(path);
    return IsLoadedModule(g_resourceModule) ? 1 : 0;
}

void FreeResourceModule()
{
    if (!IsLoadedModule(g_resourceModule))
        return;
    FreeLibrary(g_resourceModule);
    g_resourceModule = nullptr;
}

int OpenResourceModule(const char* directory)
{
    if (LoadResourceModule(directory))
        return 1;
    MessageBoxA(nullptr, "-1", "DovOzedo", MB_OK);
    return -1;
}

extern "C" int WINAPI installLoadStr(UINT id, char* buffer, const char* directory)
{
    if (!LoadResourceModule(directory))
        return -1;
    int copied = LoadStringA(g_resourceModule, id, buffer, kLoadedStringCapacity);
    FreeResourceModule();
    return copied > 0 ? 1 : 0;
}
