#include "loader/integration_loader.h"

#include <windows.h>

#include "common/module_access.h"
#include "common/text.h"
#include "frame/module_state.h"
#include "install/install_exports.h"
#include "integrations/module_contract.h"

namespace {

// The buffers the module's path is built in, per directory.
const size_t kInstallationPathCapacity = 256;
const size_t kSupportPathCapacity = 100;

}  // namespace

int CallIntegrationModule(const char* moduleFile, unsigned ordinal, int passArguments,
                          const char* installationDirectory, const char* supportDirectory)
{
    if (IsLoadedModule(g_integrationModule))
        return 1;

    UINT previousErrorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);

    g_integrationModule =
        LoadModuleFromEither(moduleFile, installationDirectory, kInstallationPathCapacity,
                             supportDirectory, kSupportPathCapacity);
    if (!IsLoadedModule(g_integrationModule)) {
        SetErrorMode(previousErrorMode);
        return 0;
    }

    if (passArguments == 0) {
        FARPROC operation = ProcByOrdinal(g_integrationModule, ordinal);
        if (operation == nullptr)
            return 0;
        return ProcAs<ModuleAvailableProc>(operation)();
    }

    // A "depend.ini" path that does not fit its buffer is never passed cut:
    // the operation is not called, as if the module lacked it.
    char dependIniPath[256];
    if (!JoinName(dependIniPath, sizeof dependIniPath, supportDirectory, "depend.ini"))
        return 0;
    FARPROC operation = ProcByOrdinal(g_integrationModule, ordinal);
    if (operation == nullptr)
        return 0;
    return ProcAs<ModuleFileOperationProc>(operation)(installationDirectory, dependIniPath);
}

void FreeIntegrationModule()
{
    if (!IsLoadedModule(g_integrationModule))
        return;
    FreeLibrary(g_integrationModule);
    g_integrationModule = nullptr;
}

namespace {

// One operation, the module freed before the export returns.
int CallOnce(const char* moduleFile, unsigned ordinal, int passArguments,
             const char* installationDirectory, const char* supportDirectory)
{
    int result = CallIntegrationModule(moduleFile, ordinal, passArguments, installationDirectory,
                                       supportDirectory);
    FreeIntegrationModule();
    return result;
}

}  // namespace

extern "C" int WINAPI IntegAval(DWORD, const char* moduleFile, DWORD,
                                const char* installationDirectory, const char* supportDirectory)
{
    return CallOnce(moduleFile, kOrdinalAvailable, 0, installationDirectory, supportDirectory) & 1;
}

extern "C" int WINAPI IntegInteg(DWORD, const char* moduleFile, const char* installationDirectory,
                                 const char* supportDirectory)
{
    CallOnce(moduleFile, kOrdinalInstall, 1, installationDirectory, supportDirectory);
    return 1;
}

extern "C" int WINAPI IntegRemove(DWORD, const char* moduleFile, const char* installationDirectory,
                                  const char* supportDirectory)
{
    CallOnce(moduleFile, kOrdinalDeinstall, 1, installationDirectory, supportDirectory);
    return 1;
}
