// Machines for the round trip of a whole setup, made from a seed: the
// settings of every host application that the typical setup and its removal
// touch, each with values of its own. The generator only describes a
// machine; the test lays it out, and reads the choices back to tell what a
// removal may leave different. One seed always gives the same machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An INI file, or a registry key holding a key per section: sections in
// order, each with its entries in order. A section with no name holds lines
// that come before the first section header.
struct IniEntry {
    std::string key;
    std::string value;
};
struct IniSection {
    std::string name;
    std::vector<IniEntry> entries;
};
using IniContents = std::vector<IniSection>;

// The file bytes: "[name]" and "key=value" lines, each ending in CR LF.
std::string IniBytes(const IniContents& contents);
// The entry's value, or null; keys and section names are found without
// regard to letter case, as the profile functions find them.
const std::string* FindIniValue(const IniContents& contents, const std::string& section, const std::string& key);
bool HasIniSection(const IniContents& contents, const std::string& section);

// One of the setup's own MIME types (the setup's "depend.ini").
struct SetupMimeType {
    const char* type;
    const char* suffixes;
    const char* encoding;  // null: none (an image type)
    const char* description;
    bool image;
};
extern const SetupMimeType kSetupMimeTypes[3];

// The viewer's browser command and mail handler, in the home the setup
// scripts name ("C:\Program Files\Sorbix").
extern const char kViewerBrowserCommand[];
extern const char kViewerMailHandler[];

// Where a browser keeps its viewer settings.
enum class BrowserPlace {
    kWindowsEmosaic,   // emosaic.ini in the Windows directory
    kWindowsMosaic,    // mosaic.ini in the Windows directory
    kNetkitEmosaic,    // mosaic\emosaic.ini below the network kit's directory
    kNetkitSmosaic,    // mosaic\smosaic.ini below the network kit's directory
    kDriveSpyglass,    // C:\win32app\spyglass\emosaic.ini
    kDriveMosaic,      // C:\mosaic\mosaic.ini
    kOlderNavigator,   // C:\netscape\netscape.ini, an older Navigator's file
    kNavigatorRegistry,  // HKCU "SOFTWARE\Netscape\Netscape Navigator", a key per section
};

struct BrowserSettings {
    BrowserPlace place;
    // The file's full path, or the registry key below HKEY_CURRENT_USER.
    std::string location;
    IniContents contents;
    // The choices that explain what a removal leaves different.
    bool earlierInstall = false;  // an earlier install of the viewer left its entries and backups
    bool typeListGap = false;     // the "TYPE%d" list has a missing index with entries after it
};

// A user of Microsoft Mail: the current user, or a profile with a hive file.
struct MailUser {
    std::string profile;      // the profile directory's name; empty: the current user
    bool hasHive = true;      // a profile without "NTUSER.DAT" (a shared one) has none
    bool mailKey = false;     // "SOFTWARE\Microsoft\Mail\Microsoft Mail" is there
    bool login = false;
    std::string handler;      // "CustomAttachmentHandler"; empty: none
    bool handlerIsViewers = false;  // the handler an earlier install of the viewer set
    std::vector<IniEntry> otherValues;  // other values of the mail key
    bool otherKeys = false;   // the hive holds other settings of the user
};

struct MailProgramSettings {
    bool netkitSet = false;
    std::string netkit;           // the NETKIT variable
    bool mailIniPresent = false;  // "maildr.ini" beside the kit's INI file
    IniContents mailIni;
    bool defaultQuotedWhole = false;
    bool earlierInstall = false;  // "default" names the viewer, with a backup beside it
};

enum class EudoraChoice { kNone, kWithPlugins, kWithoutPlugins, kTooOld };

struct FileManagerSettings {
    bool iniPresent = false;
    IniContents ini;
    bool earlierEntry = false;  // "Sorbix" of "AddOns" from an earlier install
    bool addOnsKey = false;     // the registry add-on key is there
    std::vector<IniEntry> addOnsValues;
};

struct GeneratedMachine {
    uint64_t seed = 0;
    bool codePage932 = false;  // the setup runs under the Japanese code page
    std::vector<BrowserSettings> browsers;
    MailProgramSettings mailProgram;
    std::vector<MailUser> mailUsers;  // the current user first
    EudoraChoice eudora = EudoraChoice::kNone;
    bool eudoraEarlierPlugin = false;  // the viewer's plug-in is in "plugins" already
    FileManagerSettings fileManager;
    std::vector<IniEntry> sharedFiles;  // other programs' SharedDLLs counts (value name, decimal count)
    std::vector<IniEntry> helpFiles;    // other programs' Help entries

    // A few lines naming every choice, for failure messages.
    std::string Describe() const;
};

GeneratedMachine GenerateMachine(uint64_t seed);
