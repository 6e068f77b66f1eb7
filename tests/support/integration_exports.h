// install.dll's integration exports, called as the setup script calls them:
// IntegAval (@5), IntegInteg (@6) and IntegRemove (@9) with a module file
// name, the installation directory and the support directory.
#pragma once

#include <windows.h>

#include "loaded_dll.h"
#include "test_paths.h"

class IntegrationExports {
public:
    int Available(const char* moduleFile, const char* installation, const char* support) const
    {
        return available_(0, moduleFile, 0, installation, support);
    }
    int Integrate(const char* moduleFile, const char* installation, const char* support) const
    {
        return integrate_(0, moduleFile, installation, support);
    }
    int Remove(const char* moduleFile, const char* installation, const char* support) const
    {
        return remove_(0, moduleFile, installation, support);
    }

private:
    typedef int(WINAPI* AvailableExport)(DWORD, const char*, DWORD, const char*, const char*);
    typedef int(WINAPI* FileExport)(DWORD, const char*, const char*, const char*);

    LoadedDll install_{BinaryFile("install.dll")};
    AvailableExport available_ = install_.Export<AvailableExport>(5);
    FileExport integrate_ = install_.Export<FileExport>(6);
    FileExport remove_ = install_.Export<FileExport>(9);
};
