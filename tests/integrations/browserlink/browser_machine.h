// The machine browserlink's tests run on: the module and depend.ini in a
// support directory, no browser anywhere (no Mosaic-family file in the
// Windows directory, PATH and NETKIT unset, an empty current directory, no
// Netscape Navigator key), and helpers that read back what the module left
// in browser files and in Navigator's keys. The script's calls go through
// install's IntegAval, IntegInteg and IntegRemove; the module's own install
// result (IntegInteg always answers 1) is read by calling it directly.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "regedit_export.h"
#include "support/integration_exports.h"
#include "support/process_environment.h"
#include "support/registry_state.h"
#include "support/scratch_files.h"

typedef std::vector<std::string> Lines;

extern const char kMissing[];
extern const char kCommand[];  // the viewer's command for C:\SORBIX
extern const char kEmptyBrowser[];
extern const char kDependIni[];

// Navigator's key below HKEY_CURRENT_USER, and the keys of its settings.
extern const char kNavigatorKey[];
extern const char* const kNavigatorSections[8];  // "Viewers", "OViewers", ...

// A profile entry as the profile functions read it; kMissing when absent.
std::string Entry(const std::string& file, const char* section, const char* key);

// The "key=value" lines of a section in file order; empty when missing.
Lines Section(const std::string& file, const char* section);

void MakeDirectories(const std::string& path);
std::string MadeDirectory(const std::string& path);

// Writes a browser file, making its directory.
void PlaceFile(const std::string& path, const std::string& bytes = kEmptyBrowser);

// Install registered its first type in file.
bool Served(const std::string& file);

// "SOFTWARE\Netscape\Netscape Navigator\" + section.
std::string NavigatorKey(const std::string& section);

// Navigator's whole tree (its key and every key below it, values by type
// and bytes); empty when Navigator's key is missing.
std::vector<RegistryKeyContents> NavigatorTree();

// Navigator's key exists, so discovery takes Navigator as a browser.
void MakeNavigator();

// Install registered its first type in Navigator's keys.
bool NavigatorServed();

class BrowserLinkTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    int Aval();
    int Integ(const char* installation = "C:\\SORBIX");
    int Remove();

    // The module's own install result: 0 done, 3 failed.
    int ModuleInstall(const char* directory = "C:\\SORBIX");

    ScratchDirectory support_{"support"};
    ScratchDirectory places_{"places"};
    std::string dependIni_ = support_.File("depend.ini");
    std::string windowsEmosaic_ = WindowsDirectory() + "\\emosaic.ini";
    std::string windowsMosaic_ = WindowsDirectory() + "\\mosaic.ini";
    FileGuard emosaicGuard_{windowsEmosaic_};
    FileGuard mosaicGuard_{windowsMosaic_};
    RegistryKeyGuard netscapeGuard_{HKEY_CURRENT_USER, "SOFTWARE\\Netscape"};
    ScopedVariable path_{"PATH", nullptr};
    ScopedVariable netkit_{"NETKIT", nullptr};
    std::string currentDirectory_ = MadeDirectory(places_.Path() + "\\current");
    ScopedCurrentDirectory cwd_{currentDirectory_};
    IntegrationExports install_;
};
