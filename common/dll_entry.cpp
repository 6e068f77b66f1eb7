// Entry point of the DLLs that keep no per-process state: every notification
// succeeds and nothing else is done.
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
