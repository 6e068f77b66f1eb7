// Answers a real dialog as a user at the keyboard would: a thread waits for
// a top-level dialog with the given caption to appear and presses a key in
// it (posts the key's WM_KEYDOWN and WM_KEYUP to the control with the
// focus). A dialog that has not closed a few seconds later is ended with
// its No button, so that a test fails instead of waiting forever.
#pragma once

#include <windows.h>

#include <string>

class DialogKeyPresser {
public:
    DialogKeyPresser(std::string caption, WPARAM virtualKey);
    ~DialogKeyPresser();  // waits for the thread
    DialogKeyPresser(const DialogKeyPresser&) = delete;
    DialogKeyPresser& operator=(const DialogKeyPresser&) = delete;

    // Waits until the thread is done.
    void Finish();

    // After Finish: whether the dialog was found, and whether the key alone
    // closed it.
    bool Found() const { return found_; }
    bool ClosedByTheKey() const { return closedByKey_; }

private:
    static DWORD WINAPI Run(void* self);

    std::string caption_;
    WPARAM key_;
    HANDLE thread_ = nullptr;
    volatile bool found_ = false;
    volatile bool closedByKey_ = false;
};
