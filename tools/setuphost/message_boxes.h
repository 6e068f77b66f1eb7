// Message boxes that install.dll, or a module it loads, shows: printed, and
// answered by the --answer values in order, then by each box's default
// button.
#pragma once

#include <windows.h>

// Adds one --answer; false for a word that names no button.
bool AddAnswer(const char* word);

// The words --answer takes, for the usage text.
const char* AnswerWords();

int WINAPI HostMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
