#include "machine_generator.h"

#include <algorithm>
#include <cctype>

const SetupMimeType kSetupMimeTypes[3] = {
    {"application/x-sorbix", ".sbx", "binary", "Sorbix document", false},
    {"application/msword", ".doc,.dot", "binary", "Word document", false},
    {"image/gif", ".gif", nullptr, "GIF picture", true},
};

const char kViewerBrowserCommand[] = "C:\\Program Files\\Sorbix\\sorbix.exe %s";
const char kViewerMailHandler[] = "C:\\Program Files\\Sorbix\\sxmscah.dll,2";

namespace {

bool SameText(const std::string& a, const std::string& b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// splitmix64: small, fast, and the same sequence on every platform.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t Next()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // True with the given chance in percent.
    bool Chance(int percent) { return static_cast<int>(Next() % 100) < percent; }
    // A number from low to high, both included.
    int Between(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint64_t>(high - low + 1)); }
    template <typename T, size_t N>
    const T& Pick(const T (&items)[N])
    {
        return items[Next() % N];
    }
    template <typename T>
    void Shuffle(std::vector<T>& items)
    {
        for (size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[Next() % i]);
    }

private:
    uint64_t state_;
};

// Texts outside ASCII, valid in the machine's code page. The Japanese ones
// hold characters whose second byte is a backslash (0x5C) or a capital
// letter, which a byte-wise test or lowering would take apart.
const char* const kWesternTexts[] = {"Document W\xf6rd", "Caf\xe9 viewer", "Pr\xe9sentation \xab" "classique\xbb"};
const char* const kJapaneseTexts[] = {
    "\x95\xb6\x8f\x91",                  // a document
    "\x95\x5c\x8e\xa6",                  // display: 0x5C second byte
    "\x83\x5c\x83\x74\x83\x67",          // software: 0x5C second byte
    "\x83\x41\x83\x43\x83\x52\x83\x93",  // icon: second bytes A, C, R
};

std::string LocalText(Random& random, bool japanese)
{
    return japanese ? random.Pick(kJapaneseTexts) : random.Pick(kWesternTexts);
}

// A text of exactly length characters made from a start and filler.
std::string TextOfLength(std::string start, size_t length, const std::string& end)
{
    static const char filler[] = "LONGNAME";
    size_t i = 0;
    while (start.size() + end.size() < length)
        start += filler[i++ % (sizeof filler - 1)];
    start += end;
    return start.substr(0, length);
}

// A value of 250 to 300 characters, around the 255 a profile read holds.
std::string LongValue(Random& random, const std::string& section)
{
    size_t length = static_cast<size_t>(random.Between(250, 300));
    if (section == "Viewers")
        return TextOfLength("C:\\APPS\\", length, "\\VIEW.EXE %s");
    if (section == "Suffixes") {
        std::string suffixes;
        for (int n = 0; suffixes.size() < length; ++n)
            suffixes += (n ? ",.x" : ".x") + std::to_string(100 + n);
        return suffixes.substr(0, length);
    }
    if (section == "Encodings")
        return TextOfLength("x-encoding-", length, "");
    return TextOfLength("A description ", length, ".");
}

// Another program's MIME type, with what a browser holds for it.
struct OtherType {
    const char* type;
    const char* suffixes;
    const char* command;
    const char* encoding;
    const char* description;
};
const OtherType kOtherTypes[] = {
    {"audio/wav", ".wav", "C:\\WINDOWS\\MPLAYER.EXE %s", nullptr, "Wave sound"},
    {"video/mpeg", ".mpg,.mpeg", "C:\\MPEGPLAY\\MPEGPLAY.EXE %s", "binary", "MPEG video"},
    {"application/postscript", ".ps,.eps", "C:\\GSVIEW\\GSVIEW32.EXE %s", "7bit", "PostScript"},
    {"application/zip", ".zip", "C:\\WINZIP\\WINZIP32.EXE %s", "binary", "Zip archive"},
    {"image/jpeg", ".jpg,.jpeg", "C:\\LVIEW\\LVIEWPRO.EXE %s", "binary", "JPEG picture"},
    {"text/richtext", ".rtx", "C:\\WINDOWS\\WRITE.EXE %s", nullptr, "Rich text"},
};

// A browser's own command for one of the setup's types.
std::string OwnCommand(Random& random, const std::string& type, bool japanese)
{
    switch (random.Between(0, 6)) {
    case 0:
        return "\"C:\\Program Files\\Word Viewer\\WORDVIEW.EXE\" %s";  // quoted program path
    case 1:
        return "\"C:\\APPS\\VIEW.EXE\"";  // quoted whole
    case 2:
        return "'C:\\APPS\\VIEW32.EXE'";  // quoted whole, single marks
    case 3:
        return "C:\\Apps\\Viewer.EXE /P %s";  // mixed letter case, an argument
    case 4:
        return "C:\\" + LocalText(random, japanese) + "\\VIEW.EXE %s";
    default:
        return type == "image/gif" ? "C:\\LVIEW\\LVIEWPRO.EXE %s" : "C:\\WINWORD\\WINWORD.EXE %s";
    }
}

// How a browser spells one of the setup's types.
std::string Spelling(Random& random, const std::string& type)
{
    switch (random.Between(0, 5)) {
    case 0: {
        std::string upper = type;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return upper;
    }
    case 1: {
        std::string mixed = type;
        mixed[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(mixed[0])));
        size_t slash = mixed.find('/');
        if (slash + 1 < mixed.size())
            mixed[slash + 1] = static_cast<char>(std::toupper(static_cast<unsigned char>(mixed[slash + 1])));
        return mixed;
    }
    default:
        return type;
    }
}

IniSection& SectionOf(IniContents& contents, const std::string& name)
{
    for (IniSection& section : contents)
        if (SameText(section.name, name))
            return section;
    contents.push_back({name, {}});
    return contents.back();
}

void SetEntry(IniContents& contents, const std::string& section, const std::string& key, const std::string& value)
{
    IniSection& target = SectionOf(contents, section);
    for (IniEntry& entry : target.entries)
        if (SameText(entry.key, key)) {
            entry.value = value;
            return;
        }
    target.entries.push_back({key, value});
}

// The text the profile functions read for a value: one quoted whole, with
// double or single marks, arrives without them.
std::string Unquoted(const std::string& value)
{
    bool quoted = value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0];
    return quoted ? value.substr(1, value.size() - 2) : value;
}

const char* const kValueSections[] = {"Viewers", "Suffixes", "Encodings", "MIME Descriptions"};
const char* const kBackupSections[] = {"OViewers", "OSuffixes", "OEncodings", "OMIME Descriptions"};

// One browser's settings: its type list and, per type, what it holds.
BrowserSettings MakeBrowser(Random& random, BrowserPlace place, const std::string& location, bool japanese)
{
    BrowserSettings browser;
    browser.place = place;
    browser.location = location;
    IniContents& contents = browser.contents;
    bool registry = place == BrowserPlace::kNavigatorRegistry;
    if (!registry && random.Chance(70))
        SetEntry(contents, "Main", "Home Page", "http://www.example.com/");
    SectionOf(contents, "Viewers");

    // The types the browser lists, the setup's own among them now and then.
    std::vector<std::string> listed;
    std::vector<std::string> spelled(3);
    for (const OtherType& other : kOtherTypes)
        if (random.Chance(50))
            listed.push_back(other.type);
    for (int i = 0; i < 3; ++i) {
        spelled[i] = Spelling(random, kSetupMimeTypes[i].type);
        if (random.Chance(35))
            listed.push_back(spelled[i]);
    }
    random.Shuffle(listed);
    int gapAt = -1;
    if (listed.size() >= 2 && random.Chance(25)) {
        gapAt = random.Between(0, static_cast<int>(listed.size()) - 1);
    }
    for (size_t i = 0; i < listed.size(); ++i) {
        int index = static_cast<int>(i) + (gapAt >= 0 && static_cast<int>(i) >= gapAt ? 1 : 0);
        SetEntry(contents, "Viewers", "TYPE" + std::to_string(index), listed[i]);
    }
    if (random.Chance(10))  // an entry too long to be a type
        SetEntry(contents, "Viewers", "TYPE" + std::to_string(listed.size() + (gapAt >= 0 ? 1 : 0)),
                 LongValue(random, "MIME Descriptions"));

    // Other programs' types: their commands, suffixes, encodings, descriptions.
    for (const OtherType& other : kOtherTypes) {
        bool isListed = std::find(listed.begin(), listed.end(), other.type) != listed.end();
        if (isListed || random.Chance(20))
            SetEntry(contents, "Viewers", other.type, other.command);
        if (random.Chance(60))
            SetEntry(contents, "Suffixes", other.type, other.suffixes);
        if (other.encoding && random.Chance(60))
            SetEntry(contents, "Encodings", other.type, other.encoding);
        if (random.Chance(50))
            SetEntry(contents, "MIME Descriptions", other.type, other.description);
    }

    // The setup's types: the browser's own values, of every length.
    for (int i = 0; i < 3; ++i) {
        const SetupMimeType& setup = kSetupMimeTypes[i];
        const std::string& type = spelled[i];
        bool tooLong = random.Chance(15);
        auto value = [&](const std::string& section, const std::string& ordinary) {
            return tooLong && random.Chance(70) ? LongValue(random, section) : ordinary;
        };
        if (random.Chance(50))
            SetEntry(contents, "Viewers", type, value("Viewers", OwnCommand(random, setup.type, japanese)));
        if (random.Chance(50))
            SetEntry(contents, "Suffixes", type, value("Suffixes", random.Chance(50) ? ".doc" : ".DOC,.RTF"));
        if (random.Chance(45))
            SetEntry(contents, "Encodings", type, value("Encodings", random.Chance(50) ? "binary" : "base64"));
        if (random.Chance(50))
            SetEntry(contents, "MIME Descriptions", type,
                     value("MIME Descriptions", random.Chance(40) ? LocalText(random, japanese) : "A document"));
        // An older version of the viewer registered the type, without backups.
        if (!setup.image && random.Chance(8))
            SetEntry(contents, "Viewers", type, random.Chance(50) ? "C:\\SORBIX4\\sorbix4.exe %s" : "C:\\SX\\SORBIX.EXE %s");
    }

    // An earlier install of this viewer: its values in place, the browser's
    // own in the backup sections, its types in the type list.
    if (random.Chance(20)) {
        browser.earlierInstall = true;
        int nextIndex = 0;
        for (int i = 0; i < 3; ++i) {
            const SetupMimeType& setup = kSetupMimeTypes[i];
            if (setup.image || !random.Chance(70))
                continue;
            const std::string& type = spelled[i];
            // That install saw the list up to its first missing index.
            bool wasListed = false;
            for (int t = 0;; ++t) {
                const std::string* entry = FindIniValue(contents, "Viewers", "TYPE" + std::to_string(t));
                if (!entry)
                    break;
                wasListed = wasListed || SameText(*entry, type);
            }
            // That install read each value through the profile functions
            // (a value quoted whole arrives unquoted) and left alone a value
            // too long to keep whole.
            bool tooLong[4] = {};
            for (int s = 0; s < 4; ++s) {
                const std::string* own = FindIniValue(contents, kValueSections[s], type);
                tooLong[s] = own && own->size() >= 255;
                bool kept = s != 2 || !wasListed;  // a listed type's encoding is left alone
                if (own && !tooLong[s] && kept && (s != 0 || own->find("sorbix") == std::string::npos))
                    SetEntry(contents, kBackupSections[s], setup.type, Unquoted(*own));
            }
            if (tooLong[0])
                continue;
            // Its entries went to the first free indices, as install appends.
            if (!wasListed) {
                while (FindIniValue(contents, "Viewers", "TYPE" + std::to_string(nextIndex)))
                    ++nextIndex;
                SetEntry(contents, "Viewers", "TYPE" + std::to_string(nextIndex), setup.type);
            }
            SetEntry(contents, "Viewers", type,
                     random.Chance(70) ? kViewerBrowserCommand : "C:\\SORBIX\\sorbix.exe %s");
            if (!tooLong[1])
                SetEntry(contents, "Suffixes", type, setup.suffixes);
            if (!wasListed && !tooLong[2])
                SetEntry(contents, "Encodings", type, setup.encoding);
            if (!tooLong[3])
                SetEntry(contents, "MIME Descriptions", type, setup.description);
        }
    }
    // A gap: a missing index below the last entry of the list.
    int entries = 0, last = -1;
    for (int t = 0; t < 64; ++t)
        if (FindIniValue(contents, "Viewers", "TYPE" + std::to_string(t)))
            ++entries, last = t;
    browser.typeListGap = entries != last + 1;
    if (!registry && random.Chance(40))
        SetEntry(contents, "Proxy", "http_proxy", random.Chance(50) ? "" : "http://proxy.example.com:8080/");
    return browser;
}

std::string MailDefault(Random& random, bool japanese, MailProgramSettings& mail)
{
    switch (random.Between(0, 7)) {
    case 0:
        return "C:\\DRALIN\\VIEWER.EXE";
    case 1:
        return "C:\\APPS\\Viewer.EXE /P";  // letter case and an argument
    case 2:
        mail.defaultQuotedWhole = true;
        return "\"C:\\Program Files\\Dralin\\VIEWER.EXE\"";
    case 3:
        return "\"C:\\Program Files\\Dralin\\VIEWER.EXE\" /view";
    case 4:
        return "C:\\" + LocalText(random, japanese) + "\\Viewer.exe";
    case 5:
        return TextOfLength("C:\\DRALIN\\", static_cast<size_t>(random.Between(90, 300)), "\\VIEWER.EXE");
    case 6:
        return "c:\\dralin\\viewer.exe";
    default:
        return "";
    }
}

void MakeMailProgram(Random& random, bool japanese, MailProgramSettings& mail)
{
    mail.netkitSet = random.Chance(80);
    if (!mail.netkitSet)
        return;
    static const char* const kNetkitValues[] = {"C:\\Dralin\\NETKIT.INI", "C:\\Dralin\\netkit.ini",
                                                "C:\\DRALIN\\NetKit.Ini", "C:\\Dralin\\KIT.CFG"};
    mail.netkit = random.Pick(kNetkitValues);
    mail.mailIniPresent = random.Chance(85);
    if (!mail.mailIniPresent)
        return;
    IniContents& ini = mail.mailIni;
    if (random.Chance(70))
        SetEntry(ini, "Mail", "Server", "mail.example.com");
    if (random.Chance(85)) {
        SectionOf(ini, "Viewers");
        if (random.Chance(80)) {
            std::string own = MailDefault(random, japanese, mail);
            if (own.size() < 255 && random.Chance(15)) {
                // An earlier install: the viewer is the default, the mail
                // program's own viewer (lowered, as kept then) in the backup.
                mail.earlierInstall = true;
                mail.defaultQuotedWhole = false;
                SetEntry(ini, "Viewers", "default", "C:\\Program Files\\Sorbix\\sorbix.exe");
                std::string lowered = Unquoted(own);
                for (char& c : lowered)
                    if (c >= 'A' && c <= 'Z')
                        c = static_cast<char>(c - 'A' + 'a');
                SetEntry(ini, "Sorbix Backup - Viewers", "default", lowered);
            } else {
                SetEntry(ini, "Viewers", "default", own);
            }
        }
        if (random.Chance(60))
            SetEntry(ini, "Viewers", "text/plain", "NOTEPAD.EXE");
    }
    if (!mail.earlierInstall && random.Chance(10))  // left by an earlier removal
        SetEntry(ini, "Sorbix Backup - Viewers", "default", "");
}

MailUser MakeMailUser(Random& random, const std::string& profile)
{
    MailUser user;
    user.profile = profile;
    user.mailKey = random.Chance(70);
    if (user.mailKey) {
        user.login = random.Chance(75);
        int handler = random.Between(0, 9);
        if (handler < 4) {
            static const char* const kOtherHandlers[] = {"C:\\MSOFFICE\\OFFICE\\MSOCAH.DLL,1",
                                                         "C:\\Program Files\\QuickView\\qvcah.dll,3",
                                                         "C:\\WINDOWS\\SYSTEM\\FAXCAH.DLL"};
            user.handler = random.Pick(kOtherHandlers);
        } else if (handler == 4) {
            user.handler = kViewerMailHandler;
            user.handlerIsViewers = true;
        }
        // The mail key always holds a value of its own: a hive file keeps
        // no empty key.
        if (random.Chance(50) || (!user.login && user.handler.empty()))
            user.otherValues.push_back({"Polling", random.Chance(50) ? "10" : "5"});
    }
    user.otherKeys = random.Chance(60);
    return user;
}

void MakeFileManager(Random& random, FileManagerSettings& manager)
{
    manager.iniPresent = random.Chance(85);
    if (manager.iniPresent) {
        IniContents& ini = manager.ini;
        SetEntry(ini, "Settings", "LowerCase", "1");
        if (random.Chance(50))
            SetEntry(ini, "Settings", "Window", "0,0,640,480, , ,1");
        if (random.Chance(70)) {
            SectionOf(ini, "AddOns");
            if (random.Chance(60))
                SetEntry(ini, "AddOns", "Network", "netext.dll");
            int sorbix = random.Between(0, 4);
            if (sorbix == 0) {
                SetEntry(ini, "AddOns", "Sorbix", "");  // left by an earlier removal
            } else if (sorbix == 1) {
                manager.earlierEntry = true;
                SetEntry(ini, "AddOns", "Sorbix", "C:\\SX\\sxfm.dll");
            }
            if (random.Chance(30))
                SetEntry(ini, "AddOns", "Backup", "C:\\WINDOWS\\BKUPEXT.DLL");
        }
    }
    manager.addOnsKey = random.Chance(30);
    if (manager.addOnsKey && random.Chance(60))
        manager.addOnsValues.push_back({"Network", "C:\\WINDOWS\\SYSTEM32\\NETEXT.DLL"});
}

const char* PlaceName(BrowserPlace place)
{
    switch (place) {
    case BrowserPlace::kWindowsEmosaic: return "emosaic.ini in the Windows directory";
    case BrowserPlace::kWindowsMosaic: return "mosaic.ini in the Windows directory";
    case BrowserPlace::kNetkitEmosaic: return "emosaic.ini below the network kit";
    case BrowserPlace::kNetkitSmosaic: return "smosaic.ini below the network kit";
    case BrowserPlace::kDriveSpyglass: return "emosaic.ini of a fixed drive";
    case BrowserPlace::kDriveMosaic: return "mosaic.ini of a fixed drive";
    case BrowserPlace::kOlderNavigator: return "an older Navigator's netscape.ini";
    case BrowserPlace::kNavigatorRegistry: return "Navigator's registry keys";
    }
    return "?";
}

}  // namespace

std::string IniBytes(const IniContents& contents)
{
    std::string bytes;
    for (const IniSection& section : contents) {
        if (!section.name.empty())
            bytes += "[" + section.name + "]\r\n";
        for (const IniEntry& entry : section.entries)
            bytes += entry.key + "=" + entry.value + "\r\n";
    }
    return bytes;
}

const std::string* FindIniValue(const IniContents& contents, const std::string& section, const std::string& key)
{
    for (const IniSection& candidate : contents) {
        if (!SameText(candidate.name, section))
            continue;
        for (const IniEntry& entry : candidate.entries)
            if (SameText(entry.key, key))
                return &entry.value;
    }
    return nullptr;
}

bool HasIniSection(const IniContents& contents, const std::string& section)
{
    for (const IniSection& candidate : contents)
        if (SameText(candidate.name, section))
            return true;
    return false;
}

GeneratedMachine GenerateMachine(uint64_t seed)
{
    Random random(seed);
    GeneratedMachine machine;
    machine.seed = seed;
    machine.codePage932 = random.Chance(20);
    bool japanese = machine.codePage932;

    MakeMailProgram(random, japanese, machine.mailProgram);
    bool netkitDirectory = machine.mailProgram.netkitSet;

    // Browsers: each probe group finds its first file, and now and then a
    // second file of a group lies where the group never looks once it found one.
    struct Candidate {
        BrowserPlace place;
        const char* location;
        bool needsNetkit;
        int percent;
    };
    const Candidate candidates[] = {
        {BrowserPlace::kWindowsEmosaic, "C:\\windows\\emosaic.ini", false, 30},
        {BrowserPlace::kNetkitEmosaic, "C:\\Dralin\\mosaic\\emosaic.ini", true, 20},
        {BrowserPlace::kDriveSpyglass, "C:\\win32app\\spyglass\\emosaic.ini", false, 20},
        {BrowserPlace::kWindowsMosaic, "C:\\windows\\mosaic.ini", false, 50},
        {BrowserPlace::kDriveMosaic, "C:\\mosaic\\mosaic.ini", false, 20},
        {BrowserPlace::kNetkitSmosaic, "C:\\Dralin\\mosaic\\smosaic.ini", true, 30},
        {BrowserPlace::kOlderNavigator, "C:\\netscape\\netscape.ini", false, 15},
        {BrowserPlace::kNavigatorRegistry, "SOFTWARE\\Netscape\\Netscape Navigator", false, 30},
    };
    for (const Candidate& candidate : candidates) {
        if (candidate.needsNetkit && !netkitDirectory)
            continue;
        if (random.Chance(candidate.percent))
            machine.browsers.push_back(MakeBrowser(random, candidate.place, candidate.location, japanese));
    }

    machine.mailUsers.push_back(MakeMailUser(random, ""));
    static const char* const kProfiles[] = {"Ana", "Bo Lindqvist", "Default User"};
    for (const char* profile : kProfiles)
        if (random.Chance(60))
            machine.mailUsers.push_back(MakeMailUser(random, profile));
    if (random.Chance(50)) {
        MailUser shared;
        shared.profile = "All Users";
        shared.hasHive = false;
        machine.mailUsers.push_back(shared);
    }

    static const EudoraChoice kEudora[] = {EudoraChoice::kNone, EudoraChoice::kWithPlugins,
                                           EudoraChoice::kWithPlugins, EudoraChoice::kWithoutPlugins,
                                           EudoraChoice::kTooOld};
    machine.eudora = random.Pick(kEudora);
    machine.eudoraEarlierPlugin = machine.eudora == EudoraChoice::kWithPlugins && random.Chance(20);

    MakeFileManager(random, machine.fileManager);

    if (random.Chance(60))
        machine.sharedFiles.push_back({"C:\\WINDOWS\\SYSTEM\\MFC40.DLL", std::to_string(random.Between(1, 9))});
    if (random.Chance(50))
        machine.helpFiles.push_back({"notepad.hlp", "C:\\WINDOWS\\HELP"});
    return machine;
}

std::string GeneratedMachine::Describe() const
{
    std::string text = "machine " + std::to_string(seed) + (codePage932 ? ", code page 932" : ", code page 1252") + "\n";
    for (const BrowserSettings& browser : browsers) {
        text += "  browser: " + std::string(PlaceName(browser.place)) + " (" + browser.location + ")";
        if (browser.earlierInstall)
            text += ", an earlier install's entries";
        if (browser.typeListGap)
            text += ", a gap in its type list";
        text += "\n";
    }
    const MailProgramSettings& mail = mailProgram;
    text += "  Dralin mail: ";
    text += !mail.netkitSet ? "NETKIT not set"
                            : "NETKIT=" + mail.netkit + (mail.mailIniPresent ? ", maildr.ini" : ", no maildr.ini");
    if (mail.earlierInstall)
        text += ", an earlier install's default";
    text += "\n  Microsoft Mail:";
    for (const MailUser& user : mailUsers) {
        text += " [" + (user.profile.empty() ? std::string("current user") : user.profile);
        if (!user.hasHive)
            text += ", no hive";
        else if (!user.mailKey)
            text += ", no mail key";
        else
            text += std::string(user.login ? ", Login" : ", no Login") +
                    (user.handler.empty() ? "" : ", handler " + user.handler);
        text += "]";
    }
    static const char* const kEudoraNames[] = {"none", "3.0.1.0 with plugins", "3.0.1.0 without plugins",
                                               "3.0.0.9"};
    text += "\n  Eudora: " + std::string(kEudoraNames[static_cast<int>(eudora)]);
    if (eudoraEarlierPlugin)
        text += ", the viewer's plug-in already there";
    text += "\n  File Manager: " + std::string(fileManager.iniPresent ? "winfile.ini" : "no winfile.ini");
    if (fileManager.earlierEntry)
        text += ", an earlier install's entry";
    if (fileManager.addOnsKey)
        text += ", add-on key";
    return text + "\n";
}
