// Writers of VAPI engine entries for the document, spreadsheet, archive,
// fixed-set and multimedia class sections. Each is given the section name
// and the entry text and returns non-zero for success, 0 for failure.
#pragma once

// "VWPINFO", "SPREADSHEETINFO", "INTERUTILINFO": the section's fixed entries
// and the engine entries of the entry's format number. Returns 1 whatever
// the writes did; 0 only for an entry the parser refuses (nothing written).
int WriteDocumentEngineEntries(const char* section, const char* entryText);

// "INTERN": seven fixed engine entries; the entry text is not read. Returns 1.
int WriteFixedSetEntries(const char* section, const char* entryText);

// "MULTIMEDINFO": the "URL" of the General key, then the multimedia engine
// entries; the entry text is not read. Stops at the first write that fails
// and returns 0; 1 when all succeeded.
int WriteMultimediaEntries(const char* section, const char* entryText);

// The address stored as "URL" (with its trailing line feed).
extern const char kProductInformationUrl[];
