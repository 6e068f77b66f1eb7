// Registering the viewer as the browsers' external viewer of MIME types,
// and taking that back.
#pragma once

// Edits every browser file that discovery found; 0 success, 1 failure.
int InstallViewers(const char* dependIni, const char* directory);

// Puts back what install kept; always 0.
int RemoveViewers();
