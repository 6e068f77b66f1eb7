// Finding an installation of the viewer already on the machine, under the
// registry roots of its current and former makers.
#pragma once

// Returns 1 when the "Internal" entry of section "General" in directory's
// "install.ini" differs from internalValue (letter case aside), 0 when they
// are equal. A missing file or entry reads as empty; so does a directory too
// long for the 512-byte path.
int CompareInternal(const char* internalValue, const char* directory);
