// The contract between install.dll and its integration modules: the
// operations every module exports by ordinal, with their stdcall signatures.
// install's loader, the six modules, the tests and the host include this
// header; each module's exports.list holds the same ordinals and argument
// counts for the link.
#pragma once

#include <windows.h>

enum ModuleContractOrdinal : unsigned {
    kOrdinalWep = 1,        // four modules only: does nothing, returns 1
    kOrdinalAvailable = 2,  // bit 0 of the result: the host application is present
    kOrdinalInstall = 3,
    kOrdinalDeinstall = 4,
};

// Ordinal 1 where a module has it.
typedef int(WINAPI* ModuleWepProc)(DWORD unused);
// Ordinal 2: no arguments.
typedef int(WINAPI* ModuleAvailableProc)();
// Ordinals 3 and 4: the installation directory and the full path of
// "depend.ini" in the support directory.
typedef int(WINAPI* ModuleFileOperationProc)(const char* installationDirectory,
                                            const char* dependIniPath);
// pluginlink's install, called by LoadPlug rather than by the loader: the
// first directory, the product key path and the directory of its INI file.
typedef int(WINAPI* PluginInstallProc)(const char* firstDirectory, const char* productKeyPath,
                                      const char* iniDirectory);
// pluginlink's deinstall takes two arguments it does not read.
typedef int(WINAPI* PluginDeinstallProc)(DWORD unused1, DWORD unused2);

// Ordinal 1, defined by the modules that have it.
extern "C" int WINAPI WEP(DWORD unused);

// Declares a module's exports with the contract's types, so a definition that
// disagrees does not compile. Used once in each module.
#define SORBIX_DECLARE_MODULE_CONTRACT(available, install, deinstall)                 \
    extern "C" {                                                                      \
    int WINAPI available();                                                           \
    int WINAPI install(const char* installationDirectory, const char* dependIniPath); \
    int WINAPI deinstall(const char* installationDirectory, const char* dependIniPath); \
    }

// As SORBIX_DECLARE_MODULE_CONTRACT, for pluginlink's own signatures.
#define SORBIX_DECLARE_PLUGIN_CONTRACT(available, install, deinstall)                        \
    extern "C" {                                                                             \
    int WINAPI available();                                                                  \
    int WINAPI install(const char* firstDirectory, const char* productKeyPath,               \
                       const char* iniDirectory);                                            \
    int WINAPI deinstall(DWORD unused1, DWORD unused2);                                      \
    }
