// The message strings of the setup live in "sxinsres.dll", loaded from the
// directory the script names for the length of one export call.
#pragma once

// Loads "sxinsres.dll" from directory, used as a prefix (the script passes it
// with its trailing backslash). Returns 1 when loaded, 0 when not.
int LoadResourceModule(const char* directory);

// As LoadResourceModule; when the module cannot be loaded the user is told
// with a fixed box and -1 is returned.
int OpenResourceModule(const char* directory);

// Frees the message module if it is loaded.
void FreeResourceModule();
