// The viewer's fixed machine-wide configuration: identity and version,
// paths, help location, temporary-file patterns, reader tables and
// decorative font faces, after the launch manager's tables.
#include <windows.h>

#include "common/array_count.h"
#include "common/text.h"
#include "configuration/launch_manager_tables.h"
#include "configuration/version_section.h"
#include "frame/registry.h"
#include "frame/registry_layout.h"
#include "frame/table_writer.h"
#include "install/install_exports.h"

namespace {

const char kApplicationFile[] = "SORBIX.EXE";

// Version values copied from the INI file only when present and not empty,
// in write order.
const char* const kVersionNames[] = {"MAJOR_VER_NUM", "MINOR_VER_NUM", "SKU",
                                     "ProductName",   "BuildTime",     "BuildNum"};

const ValueRow kTemporaryRows[] = {
    {"List0", "TX*."},
    {"List1", "RX*.*"},
    {"List2", "FCS*.TMP"},
    {"List3", "MIS*.TMP"},
    {"List4", "LAS*.TMP"},
    {"List5", "WSX*.TMP"},
    {"List6", "KBH*.TMP"},
    {"List7", "SXL*.TMP"},
    {"List8", "TX*.TMP"},
    {"List9", "OSM*.TMP"},
    {"List10", "RXT*.*"},
    {"List11", "TX*.$$$"},
    {"List12", "M6*.TMP"},
};

const ValueRow kPictureReaderRows[] = {
    {"118", "rxjpgrdr.dll"},
    {"128", "rxicordr.dll"},
    {"133", "rxicordr.dll"},
    {"182", "rxdcxrdr.dll"},
    {"191", "rxnterdr.dll"},
    {"195", "rxwg2rdr.dll"},
    {"201", "rxrawrdr.dll"},
    {"202", "rxg4rdr.dll"},
    {"203", "rxg31rdr.dll"},
    {"213", "rxpngrdr.dll"},
    {"215", "rxanirdr.dll"},
    {"22", "rxepsrdr.dll"},
    {"24", "rxg31rdr.dll"},
    {"245", "rxbmprdr.dll"},
    {"247", "rxsgirdr.dll"},
    {"25", "rxgifrdr.dll"},
    {"33", "rxsunrdr.dll"},
    {"39", "rxmacrdr.dll"},
    {"4", "rxbmprdr.dll"},
    {"56", "rxpcxrdr.dll"},
    {"59", "rxpctrdr.dll"},
    {"66", "rxsdwrdr.dll"},
    {"70", "rxtgardr.dll"},
    {"71", "rxtifrdr.dll"},
    {"8", "rxcgmrdr.dll"},
    {"83", "rxwm2rdr.dll"},
    {"85", "rxwpgrdr.dll"},
    {"212", "rxp95rdr.dll"},
    {"127", "rxshwrdr.dll"},
    {"140", "rxprzrdr.dll"},
    {"270", "rxem2rdr.dll"},
    {"271", "rxmsordr.dll"},
    {"272", "rxp97rdr.dll"},
    {"98", "rxp40rdr.dll"},
};

const ValueRow kWorkbookReaderRows[] = {
    {"81.2.0.1.0", "sxssfun.dll 2 5 sxssvwr.dll 31"},
    {"81.2.0.2.0", "sxssfun.dll 2 5 sxssvwr.dll 31"},
    {"81.2.0.3.0", "sxssfun.dll 2 5 sxssvwr.dll 31"},
    {"81.2.0.4.0", "sxssfun.dll 2 5 sxssvwr.dll 31"},
    {"81.2.0.5.0", "sxssfun.dll 2 5 sxssvwr.dll 38"},
    {"90", "sxssfun.dll 1 5 sxssvwr.dll 30"},
    {"184", "sxssfun.dll 7 5 sxssvwr.dll 36"},
    {"188", "sxssfun.dll 1 5 sxssvwr.dll 30"},
    {"228", "0 0 0 sxssvwr.dll 35"},
    {"sxssvwr.dll", "2"},
    {"3", "sxssvwr.dll"},
    {"263", "sxssfun.dll 8 5 sxssvwr.dll 37"},
    {"132", "0 0 0 sxssvwr.dll 32"},
    {"167", "0 0 0 sxssvwr.dll 33"},
    {"194", "0 0 0 sxssvwr.dll 34"},
};

const ValueRow kDocumentReaderRows[] = {
    {"11", "sxifflt.dll"},
    {"16", "sxifflt.dll"},
    {"2", "afflt.dll"},
    {"3", "sxifflt.dll"},
    {"23", "exeflt.dll"},
    {"153", "afflt.dll"},
    {"185", "tagflt.dll"},
    {"207", "mimeflt.dll"},
    {"208", "mimeflt.dll"},
    {"210", "htmflt.dll"},
    {"250", "sesflt.dll"},
    {"13", "sxifflt.dll"},
    {"15", "sxifflt.dll"},
    {"34", "sxifflt.dll"},
    {"20", "sxifflt.dll"},
    {"26", "sxifflt.dll"},
    {"27", "sxifflt.dll"},
    {"28", "sxifflt.dll"},
    {"29", "sxifflt.dll"},
    {"32", "sxifflt.dll"},
    {"35", "laflt.dll"},
    {"38", "sxifflt.dll"},
    {"205", "mbflt.dll"},
    {"45", "rtfflt.dll"},
    {"46", "mwflt.dll"},
    {"42", "miflt.dll"},
    {"189", "mw6flt.dll"},
    {"43", "sxifflt.dll"},
    {"48", "sxifflt.dll"},
    {"196", "sxifflt.dll"},
    {"55", "sxifflt.dll"},
    {"63", "sxifflt.dll"},
    {"64", "sxifflt.dll"},
    {"74", "sxifflt.dll"},
    {"79", "wpmflt.dll"},
    {"72", "sxifflt.dll"},
    {"78", "sxifflt.dll"},
    {"82", "sxifflt.dll"},
    {"80", "woflt.dll"},
    {"178", "wp6flt.dll"},
    {"87", "sxifflt.dll"},
    {"88", "sxifflt.dll"},
    {"123", "mwflt.dll"},
    {"227", "mswflt.dll"},
    {"261", "awflt.dll"},
    {"269", "mw8flt.dll"},
    {"268", "lwpflt.dll"},
    {"275", "uniflt.dll"},
    {"152", "xywflt.dll"},
    {"-1", "hexflt.dll"},
};

const ValueRow kDecorativeFontFaceRows[] = {
    {"Lucida.Bright.Math", "1"},
    {"Fences", "1"},
    {"ITC.Zapf.Dingbats", "1"},
    {"Lucida.Arrows", "1"},
    {"Lucida.Icons", "1"},
    {"Lucida.Stars", "1"},
    {"MS.LineDraw", "1"},
    {"MT.Extra", "1"},
    {"Wingdings", "1"},
    {"Symbol", "1"},
    {"WP.MultinationalA Roman", "1"},
    {"WP.Phonetic", "1"},
    {"WP.IconicSymbolsA", "1"},
    {"WP.MathA", "1"},
    {"WP.MathExtendedA", "1"},
    {"WP.Greek.Courier", "1"},
    {"WP.Hebrew.David", "1"},
    {"WP.CyrillicA", "1"},
    {"WP.Japanese", "1"},
    {"WP.Arabic.Sihafa", "1"},
    {"WP.ArabicScript.Sihafa", "1"},
    {"WP.MultinationalB.Roman", "1"},
    {"WP.IconicSymbolsB", "1"},
    {"WP.MathB", "1"},
    {"WP.MathExtendedB", "1"},
};
const KeyTable kReaderAndFontTables[] = {
    {kTemporaryKey, RowsOf(kTemporaryRows)},
    {kPictureReadersKey, RowsOf(kPictureReaderRows)},
    {kWorkbookReadersKey, RowsOf(kWorkbookReaderRows)},
    {kDocumentReadersKey, RowsOf(kDocumentReaderRows)},
    {kDecorativeFontFacesKey, RowsOf(kDecorativeFontFaceRows)},
};

bool WriteGeneralKey(const char* homeDirectory, const char* productId, const char* iniPath)
{
    HKEY key;
    if (!CreateWritableKey(HKEY_LOCAL_MACHINE, kGeneralKey, &key))
        return false;
    SetStringValue(key, "ProductID", productId);
    char entry[256];
    ReadVersionEntry(iniPath, "Internal", entry);  // written even when empty
    SetStringValue(key, "Internal", entry);
    for (const char* name : kVersionNames) {
        if (ReadVersionEntry(iniPath, name, entry))
            SetStringValue(key, name, entry);
    }
    SetStringValue(key, "Home", homeDirectory);
    RegCloseKey(key);
    return true;
}

bool WriteAppPathsKey(const char* homeDirectory)
{
    HKEY key;
    if (!CreateWritableKey(HKEY_LOCAL_MACHINE, kAppPathsKey, &key))
        return false;
    SetStringValue(key, "path", homeDirectory);
    // An application path too long for its 256 bytes is not stored cut: the
    // default value is left as it was.
    char applicationPath[256];
    if (JoinName(applicationPath, sizeof applicationPath, homeDirectory, kApplicationFile))
        SetStringValue(key, "", applicationPath);
    RegCloseKey(key);
    return true;
}

bool WriteSingleValueKey(HKEY root, const char* subKey, const char* valueName, const char* text)
{
    HKEY key;
    if (!CreateWritableKey(root, subKey, &key))
        return false;
    SetStringValue(key, valueName, text);
    RegCloseKey(key);
    return true;
}

// The launch manager's tables come first; whether they could be written
// does not stop the base configuration.
int WriteViewerConfiguration(const char* homeDirectory, const char* productId, const char* iniPath)
{
    WriteLaunchManagerTables();
    if (!WriteGeneralKey(homeDirectory, productId, iniPath) || !WriteAppPathsKey(homeDirectory) ||
        !WriteSingleValueKey(HKEY_LOCAL_MACHINE, kHelpKey, "sorbix.hlp", homeDirectory) ||
        !WriteSingleValueKey(HKEY_CLASSES_ROOT, kClassesRootHomeKey, "", homeDirectory))
        return 0;
    return WriteKeyTables(kReaderAndFontTables, CountOf(kReaderAndFontTables));
}

}  // namespace

extern "C" int WINAPI updateRegHard(DWORD, const char* homeDirectory, DWORD, const char* productId,
                                    const char* iniPath)
{
    return WriteViewerConfiguration(homeDirectory, productId, iniPath);
}

// The OEM setup has no product id and no version file; its script is not
// told about failures.
extern "C" int WINAPI SetOEMHard(const char*, DWORD, DWORD, const char*, const char* homeDirectory)
{
    WriteViewerConfiguration(homeDirectory, "", "");
    return 1;
}
