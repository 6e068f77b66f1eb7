// Finding the INI files of Mosaic-family browsers.
#pragma once

#include <windows.h>

// One slot holds a whole Windows path, terminating zero included, so a
// browser in a long directory is served like any other.
const int kBrowserSlotSize = MAX_PATH;
const int kMaxBrowsers = 3;

// Filled by DiscoverBrowsers: slots[0] to slots[count - 1] each hold the full
// path of a browser file, or its bare name when it was found in the current
// directory.
struct BrowserList {
    char slots[kMaxBrowsers][kBrowserSlotSize];
    int count;
};

extern BrowserList g_browsers;

// Rebuilds g_browsers; 1 when at least one browser file was found, else 0.
int DiscoverBrowsers();

// The probes, each filling out (kBrowserSlotSize bytes) only when it finds
// the file.
int FindProfileFile(const char* name, char* out);
int ProbeNetkitDirectory(const char* relative, char* out);
int ProbeFixedDrives(const char* relative, char* out);
