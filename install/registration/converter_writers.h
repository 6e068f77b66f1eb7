// Converter entries: per picture or word-processing format, the component
// entry text with its source and target flags merged from the source and
// target class sections. Each writer is given the section name (not looked
// at) and the writable entry text, which may be rewritten in place; it
// returns non-zero for success, 0 for failure. An entry the parser refuses
// is not registered: nothing is written and the result is 0.
#pragma once

// "SPICINFO": image and graphics converter entries, source side, with the
// picture engine entries.
int WritePictureSourceEntries(const char* section, char* entryText);

// "TPICINFO": image and graphics converter entries, target side.
int WritePictureTargetEntries(const char* section, char* entryText);

// "SWPINFO" and "TWPINFO": the word-processing converter entry.
int WriteWordProcessingSourceEntry(const char* section, char* entryText);
int WriteWordProcessingTargetEntry(const char* section, char* entryText);

// Writes text under "%d" of formatNumber in key (below HKEY_LOCAL_MACHINE),
// its flags first set to the wanted ones when the text's differ; a format
// 128 entry brings the fixed cursor/icon entry "133" with it. Returns 1, or
// 0 when the key could not be created.
int RegisterConverterEntry(const char* key, char* text, int formatNumber, int wantedSource,
                           int wantedTarget, int textSource, int textTarget);
