#include "integration_loader.h"

#include <windows.h>

#include "module_state.h"
#include "text.h"
#include "win32_procs.h"

namespace {

typedef int(WINAPI* AvailableOperation)();
typedef int(WINAPI* FileOperation)(const char* installationDirectory, const char* dependIniPath);

// Loads path unless it could not be built (too long for its buffer), which
// counts as a module that is not there.
HMODULE LoadModuleAt(bool pathBuilt, const char* path)
{
    return pathBuilt ? LoadLibraryA(path) : nullptr;
}

}  // namespace

int CallIntegrationModule(const char* moduleFile, unsigned ordinal, int passArguments,
                          const char* installationDirectory, const char* supportDirectory)
{
    if (IsLoadedModule(g_integrationModule))
        return 1;

    UINT previousErrorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);

    char supportPath[100];
    char installationPath[256];
    bool supportPathBuilt = JoinName(supportPath, sizeof supportPath, supportDirectory, moduleFile);
    bool installationPathBuilt =
        JoinName(installationPath, sizeof installationPath, installationDirectory, moduleFile);

    g_integrationModule = LoadModuleAt(installationPathBuilt, installationPath);
    if (!IsLoadedModule(g_integrationModule))
        g_integrationModule = LoadModuleAt(supportPathBuilt, supportPath);
    if (!IsLoadedModule(g_integrationModule)) {
        SetErrorMode(previousErrorMode);
        return 0;
    }

    if (passArguments == 0) {
        FARPROC operation = ProcByOrdinal(g_integrationModule, ordinal);
        if (operation == nullptr)
            return 0;
        return ProcAs<AvailableOperation>(operation)();
    }

    // A "depend.ini" path that does not fit its buffer is never passed cut:
    // the operation is not called, as if the module lacked it.
    char dependIniPath[256];
    if (!JoinName(dependIniPath, sizeof dependIniPath, supportDirectory, "depend.ini"))
        return 0;
    FARPROC operation = ProcByOrdinal(g_integrationModule, ordinal);
    if (operation == nullptr)
        return 0;
    return ProcAs<FileOperation>(operation)(installationDirectory, dependIniPath);
}

void FreeIntegrationModule()
{
    if (!IsLoadedModule(g_integrationModule))
        return;
    FreeLibrary(g_integrationModule);
    g_integrationModule = nullptr;
}

extern "C" int WINAPI IntegAval(DWORD, const char* moduleFile, DWORD,
                                const char* installationDirectory, const char* supportDirectory)
{
    int result = CallIntegrationModule(moduleFile, kOperationAvailable, 0, installationDirectory,
                                       supportDirectory);
    FreeIntegrationModule();
    return result & 1;
}

extern "C" int WINAPI IntegInteg(DWORD, const char* moduleFile, const char* installationDirectory,
                                 const char* supportDirectory)
{
    CallIntegrationModule(moduleFile, kOperationInstall, 1, installationDirectory,
                          supportDirectory);
    FreeIntegrationModule();
    return 1;
}

extern "C" int WINAPI IntegRemove(DWORD, const char* moduleFile, const char* installationDirectory,
                                  const char* supportDirectory)
{
    CallIntegrationModule(moduleFile, kOperationDeinstall, 1, installationDirectory,
                          supportDirectory);
    FreeIntegrationModule();
    return 1;
}
