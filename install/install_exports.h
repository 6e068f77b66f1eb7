// The binary interface of install.dll: every export with its ordinal and its
// stdcall signature (ANSI strings, 32-bit arguments). The DLL's definitions,
// the tests and the setup script host include this header, so a definition or
// a caller that disagrees with it does not compile; exports.list holds the
// same ordinals and argument counts for the link.
#pragma once

#include <windows.h>

#include <stddef.h>

// The record the script lays out in its own memory and passes to IncludeSet
// by address. A boundary format: 32-bit little-endian integers,
// zero-terminated texts, the same offsets on every target.
struct IncludeSetRecord {
    int setupType;     // in: 0 no selection test, 1 typical, other compact
    int entryIndex;    // in: the index in "Info%d"
    int listedFormat;  // out: 1 when the format number is a listed one
    int category30;    // out: 1 when the category is 30
    char iniFile[256];     // in: path of the setup INI file
    char section[256];     // in: class section name
    char extension[511];   // out: the entry's extension; the script may declare
                           // the field longer, 511 bytes always suffice
};

static_assert(sizeof(int) == 4, "the record's integers are 32-bit");
static_assert(offsetof(IncludeSetRecord, setupType) == 0, "record layout");
static_assert(offsetof(IncludeSetRecord, entryIndex) == 4, "record layout");
static_assert(offsetof(IncludeSetRecord, listedFormat) == 8, "record layout");
static_assert(offsetof(IncludeSetRecord, category30) == 12, "record layout");
static_assert(offsetof(IncludeSetRecord, iniFile) == 16, "record layout");
static_assert(offsetof(IncludeSetRecord, section) == 272, "record layout");
static_assert(offsetof(IncludeSetRecord, extension) == 528, "record layout");

// Ordinals, as in install/exports.list.
enum InstallExportOrdinal : unsigned {
    kOrdinalUpdateRegHard = 2,
    kOrdinalSetVapiDLL = 3,
    kOrdinalIncludeSet = 4,
    kOrdinalIntegAval = 5,
    kOrdinalIntegInteg = 6,
    kOrdinalInstallLoadStr = 7,
    kOrdinalHaveKeyDLL = 8,
    kOrdinalIntegRemove = 9,
    kOrdinalDeleteShareDLL = 10,
    kOrdinalLoadLaunch = 11,
    kOrdinalLoadPlug = 12,
    kOrdinalUnLoadWindow = 13,
    kOrdinalGetMajorVer = 14,
    kOrdinalUpRegDeleteVal = 15,
    kOrdinalSetOEMVapi = 16,
    kOrdinalSetOEMHard = 17,
    kOrdinalHaveRegRights = 18,
};

// Arguments named "unused" are the script's own and are not read.
extern "C" {
int WINAPI updateRegHard(DWORD unused1, const char* homeDirectory, DWORD unused3,
                         const char* productId, const char* iniPath);
int WINAPI SetVapiDLL(DWORD unused1, int setupType, const char* section, int* selected,
                      DWORD unused5, int entryIndex, const char* iniFile, int shellMode,
                      const char* moduleDirectory);
int WINAPI IncludeSet(DWORD unused1, IncludeSetRecord* record);
int WINAPI IntegAval(DWORD unused1, const char* moduleFile, DWORD unused3,
                     const char* installationDirectory, const char* supportDirectory);
int WINAPI IntegInteg(DWORD unused1, const char* moduleFile, const char* installationDirectory,
                      const char* supportDirectory);
int WINAPI installLoadStr(UINT id, char* buffer, const char* directory);
int WINAPI HaveKeyDLL(DWORD unused1, char* homeDirectory, const char* setupDirectory,
                      DWORD* internalSeen, char* makerKey);
int WINAPI IntegRemove(DWORD unused1, const char* moduleFile, const char* installationDirectory,
                       const char* supportDirectory);
int WINAPI DeleteShareDLL(DWORD unused1, const char* shownName, DWORD* removed,
                          const char* sharedPath, const char* resourceDirectory,
                          DWORD* answerMode);
int WINAPI LoadLaunch(const char* directory);
int WINAPI LoadPlug(DWORD unused1, const char* moduleFile, const char* firstDirectory,
                    const char* secondDirectory);
int WINAPI UnLoadWindow(const char* className);
int WINAPI GetMajorVer(DWORD* isNt4OrLater);
int WINAPI UpRegDeleteVal(DWORD flag);
int WINAPI SetOEMVapi(const char* section, char* entryText, const char* unused3, DWORD unused4,
                      DWORD unused5, const char* unused6);
int WINAPI SetOEMHard(const char* unused1, DWORD unused2, DWORD unused3, const char* unused4,
                      const char* homeDirectory);
int WINAPI HaveRegRights(const char* resourceDirectory);
}

// Pointer types for callers that fetch the exports by ordinal.
typedef decltype(&updateRegHard) UpdateRegHardProc;
typedef decltype(&SetVapiDLL) SetVapiDLLProc;
typedef decltype(&IncludeSet) IncludeSetProc;
typedef decltype(&IntegAval) IntegAvalProc;
typedef decltype(&IntegInteg) IntegIntegProc;
typedef decltype(&installLoadStr) InstallLoadStrProc;
typedef decltype(&HaveKeyDLL) HaveKeyDLLProc;
typedef decltype(&IntegRemove) IntegRemoveProc;
typedef decltype(&DeleteShareDLL) DeleteShareDLLProc;
typedef decltype(&LoadLaunch) LoadLaunchProc;
typedef decltype(&LoadPlug) LoadPlugProc;
typedef decltype(&UnLoadWindow) UnLoadWindowProc;
typedef decltype(&GetMajorVer) GetMajorVerProc;
typedef decltype(&UpRegDeleteVal) UpRegDeleteValProc;
typedef decltype(&SetOEMVapi) SetOEMVapiProc;
typedef decltype(&SetOEMHard) SetOEMHardProc;
typedef decltype(&HaveRegRights) HaveRegRightsProc;
