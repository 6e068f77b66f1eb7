#include "registration/engine_writers.h"

#include "common/array_count.h"
#include "common/text.h"
#include "frame/registry_layout.h"
#include "frame/table_writer.h"
#include "registration/component_entry.h"

namespace {

// Engine entries: view class, a number, the module, optionally a number.
const char kTextEngine[] = "text 0 sxdocve.dll";
const char kDocEngine[] = "doc 0 sxdocve.dll";
const char kWorkbookEngine[] = "wkb 0 sxwkbve.dll";

// Fixed entries per section, written first.
const ValueRow kDocumentSectionRows[] = {
    {"185.1", kDocEngine},
    {"2", kTextEngine},
    {"275", kTextEngine},
    {"sxdocve.dll", "sxDOCVIEW"},
};
const ValueRow kWorkbookSectionRows[] = {
    {"sxwkbve.dll", "sxWKBVIEW"},
};

struct EngineSection {
    const char* name;
    RowSpan fixedRows;
    // The entry of a format without special rows: its code and the engine.
    ValueRow formatRow;
};

const EngineSection kEngineSections[] = {
    {"VWPINFO", RowsOf(kDocumentSectionRows), {"%d", kDocEngine}},
    {"SPREADSHEETINFO", RowsOf(kWorkbookSectionRows), {"%d.2.0", kWorkbookEngine}},
    {"INTERUTILINFO", RowsOf(kWorkbookSectionRows), {"%d", "zip 0 sxwkbve.dll"}},
};

// Formats whose entries are the same from whichever of the three sections.
const ValueRow kFormatMinus1Rows[] = {{"-1", kTextEngine}};
const ValueRow kFormat2Rows[] = {{"2", kTextEngine}};
const ValueRow kFormat275Rows[] = {{"275", kTextEngine}};
const ValueRow kFormat90Rows[] = {
    {"188.2", kWorkbookEngine},
    {"90.2.0", kWorkbookEngine},
    {"90.2.2", kWorkbookEngine},
    {"90.2.4", kWorkbookEngine},
    {"90.2.3", "pic 127 txvector.dll 2"},
    {"40.2.3", "pic 95 txvector.dll 2"},
    {"44.2.3", "pic 95 txvector.dll 2"},
};
const ValueRow kFormat123Rows[] = {
    {"123", kDocEngine},
    {"46", kDocEngine},
    {"245", "pic 0 sxpicve.dll"},
};
const ValueRow kFormat181Rows[] = {
    {"181.1.0.4", "doc 95 txcm.dll 19"},
    {"15", kDocEngine},
};
const ValueRow kFormat192Rows[] = {{"192", "0 133 sxzee.dll 2"}};
const ValueRow kFormat198Rows[] = {{"198", "0 133 sxgz.dll 10"}};
const ValueRow kFormat206Rows[] = {{"206", "0 133 sxhqx.dll 2"}};
const ValueRow kFormat208Rows[] = {
    {"207", kDocEngine},
    {"208", kDocEngine},
};
const ValueRow kFormat210Rows[] = {{"210", kDocEngine}};
const ValueRow kFormat263Rows[] = {{"%d.3.0", kWorkbookEngine}};

const FormatRows kSpecialFormats[] = {
    {-1, RowsOf(kFormatMinus1Rows), false},
    {2, RowsOf(kFormat2Rows), false},
    {275, RowsOf(kFormat275Rows), false},
    {90, RowsOf(kFormat90Rows), false},
    {123, RowsOf(kFormat123Rows), false},
    {181, RowsOf(kFormat181Rows), false},
    {192, RowsOf(kFormat192Rows), false},
    {198, RowsOf(kFormat198Rows), false},
    {206, RowsOf(kFormat206Rows), false},
    {208, RowsOf(kFormat208Rows), false},
    {210, RowsOf(kFormat210Rows), false},
    {263, RowsOf(kFormat263Rows), false},
};

const char kFixedSetEngine[] = "0 133 fxtrst32.dll 1";
const ValueRow kFixedSetRows[] = {
    {"238", kFixedSetEngine}, {"239", kFixedSetEngine}, {"240", kFixedSetEngine},
    {"241", kFixedSetEngine}, {"243", kFixedSetEngine}, {"244", kFixedSetEngine},
    {"246", kFixedSetEngine},
};

const ValueRow kMultimediaGeneralRows[] = {
    {"URL", kProductInformationUrl},
};
const char kSoundEngine[] = "aud 0 sxmve.dll";
const char kVideoEngine[] = "vid 0 sxmve.dll";
const char kAnimationEngine[] = "anim 0 sxmve.dll";
const ValueRow kMultimediaEngineRows[] = {
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

    WriteFormatRows(kVapiKey, engine->fixedRows, 0, false);
    const FormatRows* special =
        FindFormatRows(kSpecialFormats, CountOf(kSpecialFormats), entry.formatNumber);
    if (special != nullptr)
        WriteFormatRows(kVapiKey, special->rows, entry.formatNumber, false);
    else
        WriteFormatRows(kVapiKey, RowSpan{&engine->formatRow, 1}, entry.formatNumber, false);
    return 1;
}

int WriteFixedSetEntries(const char*, const char*)
{
    WriteFormatRows(kVapiKey, RowsOf(kFixedSetRows), 0, false);
    return 1;
}

int WriteMultimediaEntries(const char*, const char*)
{
    if (WriteFormatRows(kGeneralKey, RowsOf(kMultimediaGeneralRows), 0, true) == 0)
        return 0;
    return WriteFormatRows(kVapiKey, RowsOf(kMultimediaEngineRows), 0, true);
}
