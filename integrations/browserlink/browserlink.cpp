// Browser integration: makes the viewer the external viewer of the MIME
// types that depend.ini lists, in the INI files of Mosaic-family browsers
// and in Netscape Navigator's keys.
#include <windows.h>

#include "discovery.h"
#include "integrations/module_contract.h"
#include "viewers.h"

SORBIX_DECLARE_MODULE_CONTRACT(WBIntAvaliable, WBIntInstall, WBIntDeinstall)

extern "C" int WINAPI WEP(DWORD)
{
    return 1;
}

extern "C" int WINAPI WBIntAvaliable()
{
    return DiscoverBrowsers();
}

extern "C" int WINAPI WBIntInstall(const char* directory, const char* dependIni)
{
    DiscoverBrowsers();
    return InstallViewers(dependIni, directory) != 0 ? 3 : 0;
}

extern "C" int WINAPI WBIntDeinstall(const char*, const char*)
{
    return RemoveViewers();
}
