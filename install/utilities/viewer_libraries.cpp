// Running two libraries of the viewer that register themselves: the launch
// manager "txlm.dll" (its ordinal 200) and the plug-in loader's module (its
// ordinal 3). Each is loaded for the length of one call.
#include <windows.h>

#include "common/module_access.h"
#include "frame/module_state.h"
#include "frame/registry_layout.h"
#include "install/install_exports.h"
#include "integrations/module_contract.h"

namespace {

const char kLaunchManagerFile[] = "txlm.dll";
const unsigned kLaunchManagerRegistration = 200;
const size_t kLaunchManagerPathCapacity = 100;
const size_t kPluginPathCapacity = 256;

typedef int(WINAPI* LaunchManagerRegistration)();

}  // namespace

// The launch manager expects its own directory to be current while it
// registers; the change is not undone.
extern "C" int WINAPI LoadLaunch(const char* directory)
{
    UINT previousErrorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    SetCurrentDirectoryA(directory);

    HMODULE launchManager = LoadModuleIn(directory, kLaunchManagerPathCapacity, kLaunchManagerFile);
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

    g_pluginModule = LoadModuleFromEither(moduleFile, firstDirectory, kPluginPathCapacity,
                                          secondDirectory, kPluginPathCapacity);
    if (!IsLoadedModule(g_pluginModule)) {
        SetErrorMode(previousErrorMode);
    } else {
        FARPROC install = ProcByOrdinal(g_pluginModule, kOrdinalInstall);
        if (install != nullptr)
            ProcAs<PluginInstallProc>(install)(firstDirectory, kProductKey, secondDirectory);
    }

    if (IsLoadedModule(g_pluginModule)) {
        FreeLibrary(g_pluginModule);
        g_pluginModule = nullptr;
    }
    return 1;
}
