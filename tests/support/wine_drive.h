// Extra drive letters for a test: Wine's mount manager links the letter in
// the prefix's dosdevices folder to a directory and records the drive type
// it reports (fixed, removable, CD-ROM, network, RAM disk), as Wine's own
// configuration tool does. The drive is removed again when destroyed.
#pragma once

#include <windows.h>

#include <string>

class WineDrive {
public:
    // directory is a Windows path of the prefix; the letter must be free.
    WineDrive(char letter, const std::string& directory, UINT driveType);
    ~WineDrive();
    WineDrive(const WineDrive&) = delete;
    WineDrive& operator=(const WineDrive&) = delete;

    // "D:\"
    std::string Root() const { return std::string(1, letter_) + ":\\"; }

private:
    char letter_;
    bool defined_ = false;
};
