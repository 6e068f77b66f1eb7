#include "engine_writers.h"

#include "component_entry.h"
#include "registry_rows.h"
#include "text.h"

namespace {

// Engine entries: view class, a number, the module, optionally a number.
const char kTextEngine[] = "text 0 sxdocve.dll";
const char kDocEngine[] = "doc 0 sxdocve.dll";
const char kWorkbookEngine[] = "wkb 0 sxwkbve.dll";

// Fixed entries per section, written first.
const RegistryRow kDocumentSectionRows[] = {
    {"185.1", kDocEngine},
    {"2", kTextEngine},
    {"275", kTextEngine},
    {"sxdocve.dll", "sxDOCVIEW"},
};
const RegistryRow kWorkbookSectionRows[] = {
    {"sxwkbve.dll", "sxWKBVIEW"},
};

struct EngineSection {
    const char* name;
    const RegistryRow* fixedRows;
    size_t fixedCount;
    // The entry of a format without special rows: its code and the engine.
    RegistryRow formatRow;
};

const EngineSection kEngineSections[] = {
    {"VWPINFO", kDocumentSectionRows, CountOf(kDocumentSectionRows), {"%d", kDocEngine}},
    {"SPREADSHEETINFO", kWorkbookSectionRows, CountOf(kWorkbookSectionRows),
     {"%d.2.0", kWorkbookEngine}},
    {"INTERUTILINFO", kWorkbookSectionRows, CountOf(kWorkbookSectionRows),
     {"%d", "zip 0 sxwkbve.dll"}},
};

// Formats whose entries are the same from whichever of the three sections.
const RegistryRow kFormatMinus1Rows[] = {{"-1", kTextEngine}};
const RegistryRow kFormat2Rows[] = {{"2", kTextEngine}};
const RegistryRow kFormat275Rows[] = {{"275", kTextEngine}};
const RegistryRow kFormat90Rows[] = {
    {"188.2", kWorkbookEngine},
    {"90.2.0", kWorkbookEngine},
    {"90.2.2", kWorkbookEngine},
    {"90.2.4", kWorkbookEngine},
    {"90.2.3", "pic 127 txvector.dll 2"},
    {"40.2.3", "pic 95 txvector.dll 2"},
    {"44.2.3", "pic 95 txvector.dll 2"},
};
const RegistryRow kFormat123Rows[] = {
    {"123", kDocEngine},
    {"46", kDocEngine},
    {"245", "pic 0 sxpicve.dll"},
};
const RegistryRow kFormat181Rows[] = {
    {"181.1.0.4", "doc 95 txcm.dll 19"},
    {"15", kDocEngine},
};
const RegistryRow kFormat192Rows[] = {{"192", "0 133 sxzee.dll 2"}};
const RegistryRow kFormat198Rows[] = {{"198", "0 133 sxgz.dll 10"}};
const RegistryRow kFormat206Rows[] = {{"206", "0 133 sxhqx.dll 2"}};
const RegistryRow kFormat208Rows[] = {
    {"207", kDocEngine},
    {"208", kDocEngine},
};
const RegistryRow kFormat210Rows[] = {{"210", kDocEngine}};
const RegistryRow kFormat263Rows[] = {{"%d.3.0", kWorkbookEngine}};

struct FormatRows {
    int formatNumber;
    const RegistryRow* rows;
    size_t count;
};

const FormatRows kSpecialFormats[] = {
    {-1, kFormatMinus1Rows, CountOf(kFormatMinus1Rows)},
    {2, kFormat2Rows, CountOf(kFormat2Rows)},
    {275, kFormat275Rows, CountOf(kFormat275Rows)},
    {90, kFormat90Rows, CountOf(kFormat90Rows)},
    {123, kFormat123Rows, CountOf(kFormat123Rows)},
    {181, kFormat181Rows, CountOf(kFormat181Rows)},
    {192, kFormat192Rows, CountOf(kFormat192Rows)},
    {198, kFormat198Rows, CountOf(kFormat198Rows)},
    {206, kFormat206Rows, CountOf(kFormat206Rows)},
    {208, kFormat208Rows, CountOf(kFormat208Rows)},
    {210, kFormat210Rows, CountOf(kFormat210Rows)},
    {263, kFormat263Rows, CountOf(kFormat263Rows)},
};

const char kFixedSetEngine[] = "0 133 fxtrst32.dll 1";
const RegistryRow kFixedSetRows[] = {
    {"238", kFixedSetEngine}, {"239", kFixedSetEngine}, {"240", kFixedSetEngine},
    {"241", kFixedSetEngine}, {"243", kFixedSetEngine}, {"244", kFixedSetEngine},
    {"246", kFixedSetEngine},
};

const RegistryRow kMultimediaGeneralRows[] = {
    {"URL", kProductInformationUrl},
};
const char kSoundEngine[] = "aud 0 sxmve.dll";
const char kVideoEngine[] = "vid 0 sxmve.dll";
const char kAnimationEngine[] = "anim 0 sxmve.dll";
const RegistryRow kMultimediaEngineRows[] = {
    {"224.9", kSoundEngine},      {"219.9", kSoundEngine},  {"222.20", kVideoEngine},
    {"142.9", kSoundEngine},      {"141.9", kSoundEngine},  {"221.20", kVideoEngine},
    {"214.20", kVideoEngine},     {"229.21", kAnimationEngine}, {"230.21", kAnimationEngine},
    {"161.9", kSoundEngine},      {"223.9", kSoundEngine},  {"226.9", kSoundEngine},
    {"225.9", kSoundEngine},      {"249.9", kSoundEngine},  {"sxmve.dll", "sxMVE"},
};

}  // namespace

const char kProductInformationUrl[] = "http://www.example.com/quorvane/sorbix/\n";

int WriteDocumentEngineEntries(const char* section, const char* entryText)
{
    const EngineSection* engine = nullptr;
    for (const EngineSection& candidate : kEngineSections) {
        if (TextEquals(section, candidate.name))
            engine = &candidate;
    }
    ComponentEntry entry;
    if (engine == nullptr || !ParseComponentEntry(entryText, &entry))
        return 0;

    WriteRegistryRows(kVapiKey, engine->fixedRows, engine->fixedCount, 0, false);
    for (const FormatRows& special : kSpecialFormats) {
        if (special.formatNumber == entry.formatNumber) {
            WriteRegistryRows(kVapiKey, special.rows, special.count, entry.formatNumber, false);
            return 1;
        }
    }
    WriteRegistryRows(kVapiKey, &engine->formatRow, 1, entry.formatNumber, false);
    return 1;
}

int WriteFixedSetEntries(const char*, const char*)
{
    WriteRegistryRows(kVapiKey, kFixedSetRows, CountOf(kFixedSetRows), 0, false);
    return 1;
}

int WriteMultimediaEntries(const char*, const char*)
{
    if (WriteRegistryRows(kGeneralKey, kMultimediaGeneralRows, CountOf(kMultimediaGeneralRows), 0,
                          true) == 0)
        return 0;
    return WriteRegistryRows(kVapiKey, kMultimediaEngineRows, CountOf(kMultimediaEngineRows), 0,
                             true);
}
