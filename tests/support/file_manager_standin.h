// Starts the File Manager stand-in (a "WFS_Frame" window in a process of its
// own) and asks it how many reload messages it received.
#pragma once

#include <windows.h>

#include <string>

class FileManagerStandIn {
public:
    // An empty title makes it look like File Manager's own frame.
    explicit FileManagerStandIn(const std::string& title = "");
    ~FileManagerStandIn();
    FileManagerStandIn(const FileManagerStandIn&) = delete;
    FileManagerStandIn& operator=(const FileManagerStandIn&) = delete;

    bool Running() const { return window_ != nullptr; }
    long ReloadCount() const;

private:
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
};
