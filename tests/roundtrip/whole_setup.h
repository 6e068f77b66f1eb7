// What the round-trip tests share: the setup's files, the registry places a
// setup and its removal may touch (watched, guarded and cleared), the fixed
// directories of the host applications and the run of a setup script by the
// setup script host.
#pragma once

#include <windows.h>

#include <string>

#include "registry_state.h"

extern const char kSetupDirectory[];   // the setup's own files
extern const char kViewerDirectory[];  // the viewer's home the scripts name

struct WatchedKey {
    HKEY root;
    const char* key;
    const char* shown;
};
extern const WatchedKey kWatchedKeys[14];

// Every watched key the setup or the host applications' settings live in,
// put back as it was when the test ends.
struct WatchedKeyGuards {
    RegistryKeyGuard viewerKey{HKEY_LOCAL_MACHINE, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard classesKey{HKEY_CLASSES_ROOT, "SOFTWARE\\Quorvane"};
    RegistryKeyGuard clsid{HKEY_CLASSES_ROOT, "CLSID\\{4e8b1d62-7c3a-45f0-9b2d-8a61c0e5f7a4}"};
    RegistryKeyGuard shellex{HKEY_CLASSES_ROOT, "*\\shellex"};
    RegistryKeyGuard sharedDlls{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"};
    RegistryKeyGuard run{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"};
    RegistryKeyGuard appPaths{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\EUDORA.EXE"};
    RegistryKeyGuard help{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\Help"};
    RegistryKeyGuard fenwold{HKEY_LOCAL_MACHINE, "SOFTWARE\\Fenwold"};
    RegistryKeyGuard fenwoldSoftware{HKEY_LOCAL_MACHINE, "SOFTWARE\\FenwoldSoftware"};
    RegistryKeyGuard fileManager{HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\File Manager"};
    RegistryKeyGuard mail{HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Mail"};
    RegistryKeyGuard netscape{HKEY_CURRENT_USER, "SOFTWARE\\Netscape"};
    RegistryKeyGuard testRecords{HKEY_CURRENT_USER, "Software\\SorbixTests"};
};

// The keys a setup writes and the host applications' keys the tests make
// (all guarded): a machine starts without them.
void ClearSetupKeys();

// The all-users pass mounts each hive as HKLM\sxtmpkey and cannot when
// something else left a hive mounted there: a test starts without it.
void UnmountTemporaryHive();

// A directory the test makes at a fixed place and removes with all it holds;
// the place must be free when the test starts.
class FixedDirectory {
public:
    explicit FixedDirectory(std::string path);
    ~FixedDirectory();
    FixedDirectory(const FixedDirectory&) = delete;
    FixedDirectory& operator=(const FixedDirectory&) = delete;

    bool Free() const { return free_; }
    std::string File(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
    bool free_;
};

// The setup's own files in the setup directory (the DLLs and the INI files
// the scripts name), and what the setup program copies into the viewer's
// home: the launch manager and the viewer's Eudora plug-in.
void MakeSetupFiles(const FixedDirectory& setup, const FixedDirectory& viewer);

// Runs setuphost.exe on one of the round trip's scripts, with the DLLs of
// the setup directory; its output goes to outputPath and is returned. A host
// that cannot start, does not end or fails is a test failure.
std::string RunSetupScript(const std::string& script, const std::string& outputPath);
