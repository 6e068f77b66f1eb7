// Finding the browsers of the machine: the INI files of Mosaic-family
// browsers, and Netscape Navigator.
#pragma once

#include <windows.h>

// One slot holds a whole Windows path, terminating zero included, so a
// browser in a long directory is served like any other.
const int kBrowserSlotSize = MAX_PATH;
const int kMaxBrowsers = 4;

// Filled by DiscoverBrowsers: slots[0] to slots[count - 1] each hold the full
// path of a browser file, its bare name when it was found in the current
// directory, or kNavigatorSlot for Navigator's keys.
struct BrowserList {
    char slots[kMaxBrowsers][kBrowserSlotSize];
    int count;
};

extern BrowserList g_browsers;

// The slot of a Navigator that keeps its settings in the registry.
inline constexpr char kNavigatorSlot[] = "Registry";

bool IsNavigatorSlot(const char* slot);

// Rebuilds g_browsers; 1 when at least one browser file was found, else 0.
int DiscoverBrowsers();

// The probes, each filling out (kBrowserSlotSize bytes) only when it finds
// the file. Asked for Navigator's INI file, ProbeFixedDrives first looks for
// Navigator's key, and finding it fills out with kNavigatorSlot.
int FindProfileFile(const char* name, char* out);
int ProbeNetkitDirectory(const char* relative, char* out);
int ProbeFixedDrives(const char* relative, char* out);
