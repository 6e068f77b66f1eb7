#include "support/file_manager_standin.h"

#include <gtest/gtest.h>

#include "support/test_paths.h"

namespace {
const UINT kQueryReloadCount = WM_APP + 1;
}

FileManagerStandIn::FileManagerStandIn(const std::string& title)
{
    std::string command = "\"" + BinaryFile("file_manager_standin.exe") + "\" --title \"" + title + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        ADD_FAILURE() << "cannot start the File Manager stand-in, error " << GetLastError();
        return;
    }
    // Wait for this process's own frame (a title tells two stand-ins apart).
    for (int attempt = 0; attempt < 1000 && window_ == nullptr; ++attempt) {
        HWND candidate = nullptr;
        while ((candidate = FindWindowExA(nullptr, candidate, "WFS_Frame", title.c_str())) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(candidate, &owner);
            if (owner == process_.dwProcessId) {
                window_ = candidate;
                break;
            }
        }
        if (window_ == nullptr)
            Sleep(10);
    }
    EXPECT_NE(window_, nullptr) << "the File Manager stand-in made no window";
}

FileManagerStandIn::~FileManagerStandIn()
{
    if (process_.hProcess == nullptr)
        return;
    if (window_ != nullptr)
        PostMessageA(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

long FileManagerStandIn::ReloadCount() const
{
    if (window_ == nullptr)
        return -1;
    return static_cast<long>(SendMessageA(window_, kQueryReloadCount, 0, 0));
}
