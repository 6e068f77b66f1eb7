// Running two libraries of the viewer that register themselves: the launch
// manager "txlm.dll" (its ordinal 200) and the plug-in loader's module (its
// ordinal 3). Each is loaded for the length of one call.
#include <windows.h>

#include "module_state.h"
#include "text.h"
#include "win32_procs.h"

namespace {

const char kLaunchManagerFile[] = "txlm.dll";
const unsigned kLaunchManagerRegistration = 200;
const unsigned kPluginInstall = 3;
const char kProductKeyPath[] = "SOFTWARE\\Quorvane\\Sorbix";

typedef int(WINAPI* LaunchManagerRegistration)();
typedef int(WINAPI* PluginInstall)(const char* firstDirectory, const char* productKeyPath,
                                   const char* secondDirectory);

// A path too long for its buffer is not loaded, as a library that is not
// there.
HMODULE LoadLibraryIfBuilt(bool built, const char* path)
{
    return built ? LoadLibraryA(path) : nullptr;
}

}  // namespace

// The launch manager expects its own directory to be current while it
// registers; the change is not undone.
extern "C" int WINAPI LoadLaunch(const char* directory)
{
    UINT previousErrorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    char path[100];
    bool built = JoinName(path, sizeof path, directory, kLaunchManagerFile);
    SetCurrentDirectoryA(directory);

    HMODULE launchManager = LoadLibraryIfBuilt(built, path);
    if (IsLoadedModule(launchManager)) {
        FARPROC registration = ProcByOrdinal(launchManager, kLaunchManagerRegistration);
        if (registration != nullptr)
            ProcAs<LaunchManagerRegistration>(registration)();
    }
    SetErrorMode(previousErrorMode);
    if (IsLoadedModule(launchManager))
        FreeLibrary(launchManager);
    return 0;
}

// Like the integration loader, LoadPlug leaves the error mode at
// SEM_NOOPENFILEERRORBOX once it has loaded a module.
extern "C" int WINAPI LoadPlug(DWORD, const char* moduleFile, const char* firstDirectory,
                               const char* secondDirectory)
{
    if (IsLoadedModule(g_pluginModule))
        return 1;
    UINT previousErrorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);

    char secondPath[256];
    char firstPath[256];
    bool secondBuilt = JoinName(secondPath, sizeof secondPath, secondDirectory, moduleFile);
    bool firstBuilt = JoinName(firstPath, sizeof firstPath, firstDirectory, moduleFile);

    g_pluginModule = LoadLibraryIfBuilt(firstBuilt, firstPath);
    if (!IsLoadedModule(g_pluginModule))
        g_pluginModule = LoadLibraryIfBuilt(secondBuilt, secondPath);
    if (!IsLoadedModule(g_pluginModule)) {
        SetErrorMode(previousErrorMode);
    } else {
        FARPROC install = ProcByOrdinal(g_pluginModule, kPluginInstall);
        if (install != nullptr)
            ProcAs<PluginInstall>(install)(firstDirectory, kProductKeyPath, secondDirectory);
    }

    if (IsLoadedModule(g_pluginModule)) {
        FreeLibrary(g_pluginModule);
        g_pluginModule = nullptr;
    }
    return 1;
}
