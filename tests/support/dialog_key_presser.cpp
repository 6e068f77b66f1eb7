#include "support/dialog_key_presser.h"

namespace {
const char kDialogClass[] = "#32770";
const DWORD kFindTimeoutMs = 10000;
const DWORD kCloseTimeoutMs = 5000;
}  // namespace

DialogKeyPresser::DialogKeyPresser(std::string caption, WPARAM virtualKey)
    : caption_(std::move(caption)), key_(virtualKey)
{
    thread_ = CreateThread(nullptr, 0, &Run, this, 0, nullptr);
}

DialogKeyPresser::~DialogKeyPresser()
{
    Finish();
}

void DialogKeyPresser::Finish()
{
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
}

DWORD WINAPI DialogKeyPresser::Run(void* parameter)
{
    auto& self = *static_cast<DialogKeyPresser*>(parameter);
    HWND dialog = nullptr;
    for (DWORD waited = 0; dialog == nullptr && waited < kFindTimeoutMs; waited += 20) {
        dialog = FindWindowA(kDialogClass, self.caption_.c_str());
        if (dialog == nullptr)
            Sleep(20);
    }
    if (dialog == nullptr)
        return 0;
    self.found_ = true;

    // The key goes to the control that has the focus in the dialog's thread.
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD dialogThread = GetWindowThreadProcessId(dialog, nullptr);
    HWND target = dialog;
    for (int tries = 0; tries < 50; ++tries) {
        if (GetGUIThreadInfo(dialogThread, &info) && info.hwndFocus != nullptr) {
            target = info.hwndFocus;
            break;
        }
        Sleep(20);
    }
    PostMessageA(target, WM_KEYDOWN, self.key_, 1);
    PostMessageA(target, WM_KEYUP, self.key_, 0xC0000001);

    for (DWORD waited = 0; waited < kCloseTimeoutMs; waited += 20) {
        if (!IsWindow(dialog)) {
            self.closedByKey_ = true;
            return 0;
        }
        Sleep(20);
    }
    PostMessageA(dialog, WM_COMMAND, IDNO, 0);
    return 0;
}
