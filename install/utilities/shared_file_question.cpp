// Asking the user whether a shared file may be removed, and forgetting its
// shared-file reference when the answer is Yes. The script keeps the answer
// mode between calls; the file itself is the script's business.
#include <windows.h>

#include "common/text.h"
#include "frame/module_state.h"
#include "frame/registry.h"
#include "frame/registry_layout.h"
#include "frame/resource_strings.h"
#include "install/install_exports.h"

namespace {

const UINT kQuestionCaptionId = 509;
const UINT kOneFileQuestionId = 536;   // one %s: the file's name as shown
const UINT kAllFilesQuestionId = 542;

enum AnswerMode : DWORD {
    kAskForThisFile = 0,
    kAskOnceForAll = 1,
    kNoForAll = 2,
    kYesForAll = 3,  // and any other value
};

// A string of the message module; empty when it has no such string.
void LoadMessage(UINT id, char* buffer, int capacity)
{
    buffer[0] = '\0';
    LoadStringA(g_resourceModule, id, buffer, capacity);
}

// Only a Yes pressed by the user counts as Yes: a box that could not be
// shown (0) is no consent.
bool AskAboutOneFile(const char* shownName)
{
    char questionTemplate[300];
    char question[256];  // a longer question is shown cut
    char caption[90];
    LoadMessage(kOneFileQuestionId, questionTemplate, sizeof questionTemplate);
    FormatShownMessage(question, sizeof question, questionTemplate, shownName);
    LoadMessage(kQuestionCaptionId, caption, sizeof caption);
    return MessageBoxA(nullptr, question, caption, MB_YESNO | MB_DEFBUTTON2) == IDYES;
}

bool AskAboutAllFiles()
{
    char question[300];
    char caption[90];
    LoadMessage(kQuestionCaptionId, caption, sizeof caption);
    LoadMessage(kAllFilesQuestionId, question, sizeof question);
    return MessageBoxA(nullptr, question, caption, MB_YESNO) == IDYES;
}

}  // namespace

extern "C" int WINAPI DeleteShareDLL(DWORD, const char* shownName, DWORD* removed,
                                     const char* sharedPath, const char* resourceDirectory,
                                     DWORD* answerMode)
{
    if (OpenResourceModule(resourceDirectory) != 1)
        return 0;
    *removed = 0;

    bool remove;
    switch (*answerMode) {
    case kAskForThisFile:
        remove = AskAboutOneFile(shownName);
        break;
    case kAskOnceForAll:
        remove = AskAboutAllFiles();
        *answerMode = remove ? kYesForAll : kNoForAll;
        break;
    case kNoForAll:
        remove = false;
        break;
    default:
        remove = true;
        break;
    }

    if (remove) {
        *removed = 1;
        DeleteRegValue(kSharedDllsKey, sharedPath);
    }
    FreeResourceModule();
    return 0;
}
