// Profile (INI file) strings as every DLL of the setup reads them.
#pragma once

#include <windows.h>

#include "common/read_outcome.h"

// GetPrivateProfileStringA(section, key, "", buffer, capacity, file).
// Missing when nothing was copied (no such entry, or an empty one), NotWhole
// when the text filled the buffer and so may have been cut, Whole otherwise.
// The buffer holds what the call left there in every case.
ReadOutcome ReadProfileText(const char* section, const char* key, const char* file, char* buffer,
                            DWORD capacity);
