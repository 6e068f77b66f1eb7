// install.dll's integration exports, called as the setup script calls them:
// IntegAval, IntegInteg and IntegRemove with a module file name, the
// installation directory and the support directory.
#pragma once

#include <windows.h>

#include "install/install_exports.h"
#include "support/loaded_dll.h"
#include "support/test_paths.h"

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
    LoadedDll install_{BinaryFile("install.dll")};
    IntegAvalProc available_ = install_.Export<IntegAvalProc>(kOrdinalIntegAval);
    IntegIntegProc integrate_ = install_.Export<IntegIntegProc>(kOrdinalIntegInteg);
    IntegRemoveProc remove_ = install_.Export<IntegRemoveProc>(kOrdinalIntegRemove);
};
