#include "detection/existing_installation.h"

#include <windows.h>

#include "common/array_count.h"
#include "common/profile_access.h"
#include "common/registry_access.h"
#include "common/text.h"
#include "frame/registry.h"
#include "frame/registry_layout.h"
#include "install/install_exports.h"

namespace {

enum InstallationFound {
    kNothingFound = 0,
    kSameProduct = 1,
    kOtherProduct = 3,
};

// The caller's buffers: the home directory holds at least 256 bytes, the
// maker key at least 25 ("SOFTWARE\FenwoldSoftware" and its zero).
const size_t kHomeCapacity = 256;
const size_t kMakerKeyCapacity = 25;

struct Detection {
    char* homeDirectory;
    const char* setupDirectory;
    DWORD* internalSeen;
    char* makerKey;
};

// The current maker's "Internal", read whole with all of its 512 bytes (the
// registry helper's working copy would stop at 255 characters, and a longer
// product name could not be compared at all).
bool ReadWholeInternal(char (&internal)[512])
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGeneralKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD size;
    ReadOutcome read = ReadRegistryText(key, "Internal", internal, sizeof internal, &size);
    RegCloseKey(key);
    return read == ReadOutcome::Whole;
}

// First pass, HKEY_LOCAL_MACHINE, the former makers first. A readable but
// empty "Home" ends the pass with nothing found.
int FindUnderMachine(const Detection& d)
{
    const struct {
        const char* generalKey;
        const char* makerKey;
    } formerMakers[] = {{kFullNameGeneralKey, kFullNameMakerKey},
                        {kShortNameGeneralKey, kShortNameMakerKey}};
    char home[512];
    for (const auto& maker : formerMakers) {
        if (!ReadRegString(maker.generalKey, "Home", home, sizeof home))
            continue;
        if (home[0] == '\0')
            return kNothingFound;
        CopyText(d.homeDirectory, kHomeCapacity, home);
        CopyText(d.makerKey, kMakerKeyCapacity, maker.makerKey);
        return kOtherProduct;
    }

    if (!ReadRegString(kGeneralKey, "Home", home, sizeof home) || home[0] == '\0')
        return kNothingFound;
    CopyText(d.homeDirectory, kHomeCapacity, home);
    CopyText(d.makerKey, kMakerKeyCapacity, kCurrentMakerKey);
    char internal[512];
    if (ReadWholeInternal(internal) && CompareInternal(internal, d.setupDirectory))
        return kOtherProduct;
    return kSameProduct;
}

// Second pass, HKEY_CLASSES_ROOT, the current maker first; only the first
// key that opens is looked at.
int FindUnderClassesRoot(const Detection& d, int machineResult)
{
    const char* const generalKeys[] = {kGeneralKey, kFullNameGeneralKey,
                                       kShortNameGeneralKey};
    const char* const makerKeys[] = {kCurrentMakerKey, kFullNameMakerKey, kShortNameMakerKey};
    for (size_t i = 0; i < CountOf(generalKeys); ++i) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CLASSES_ROOT, generalKeys[i], 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS)
            continue;
        int result = machineResult;
        char internal[256];
        char home[256];
        if (i == 0) {
            // The current maker's product is compared with this setup's
            // "install.ini" as in the first pass.
            if (ReadKeyString(key, "Internal", internal, sizeof internal) &&
                ReadKeyString(key, "Home", home, sizeof home)) {
                CopyText(d.homeDirectory, kHomeCapacity, home);
                *d.internalSeen = 1;
                result = CompareInternal(internal, d.setupDirectory) ? kOtherProduct
                                                                     : kSameProduct;
            }
        } else if (ReadKeyString(key, "Internal", internal, sizeof internal)) {
            *d.internalSeen = 1;
            if (ReadKeyString(key, "Home", home, sizeof home)) {
                CopyText(d.homeDirectory, kHomeCapacity, home);
                CopyText(d.makerKey, kMakerKeyCapacity, makerKeys[i]);
                result = kOtherProduct;
            }
        }
        RegCloseKey(key);
        return result;
    }
    return machineResult;
}

}  // namespace

int CompareInternal(const char* internalValue, const char* directory)
{
    char path[512];
    char entry[512];
    entry[0] = '\0';
    // The entry is compared as read, whole or not.
    if (JoinName(path, sizeof path, directory, "install.ini"))
        ReadProfileText("General", "Internal", path, entry, sizeof entry);
    return TextEqualsNoCase(entry, internalValue) ? 0 : 1;
}

extern "C" int WINAPI HaveKeyDLL(DWORD, char* homeDirectory, const char* setupDirectory,
                                 DWORD* internalSeen, char* makerKey)
{
    makerKey[0] = '\0';
    *internalSeen = 0;
    Detection d = {homeDirectory, setupDirectory, internalSeen, makerKey};
    return FindUnderClassesRoot(d, FindUnderMachine(d));
}
