#include "message_boxes.h"

#include <stdio.h>

#include <vector>

namespace {

struct Answer {
    const char* word;
    int id;
};

const Answer kAnswers[] = {{"ok", IDOK},         {"cancel", IDCANCEL}, {"abort", IDABORT},
                           {"retry", IDRETRY},   {"ignore", IDIGNORE}, {"yes", IDYES},
                           {"no", IDNO}};

// The buttons of each MB_ type, in the order the box shows them.
const std::vector<std::vector<int>> kButtons = {
    {IDOK}, {IDOK, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE}, {IDYES, IDNO, IDCANCEL},
    {IDYES, IDNO}, {IDRETRY, IDCANCEL}};

std::vector<int> g_answers;  // scripted answers still to give
size_t g_nextAnswer;

const char* AnswerWord(int id)
{
    for (const Answer& answer : kAnswers) {
        if (answer.id == id)
            return answer.word;
    }
    return "?";
}

void PrintIndented(const char* text)
{
    printf("    | ");
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\n')
            printf("\n    | ");
        else if (*p != '\r')
            putchar(*p);
    }
    putchar('\n');
}

}  // namespace

bool AddAnswer(const char* word)
{
    for (const Answer& answer : kAnswers) {
        if (_stricmp(word, answer.word) == 0) {
            g_answers.push_back(answer.id);
            return true;
        }
    }
    return false;
}

const char* AnswerWords()
{
    return "yes|no|ok|cancel|abort|retry|ignore";
}

int WINAPI HostMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type)
{
    size_t style = type & MB_TYPEMASK;
    const std::vector<int>& buttons = style < kButtons.size() ? kButtons[style] : kButtons[0];
    size_t defaultIndex = (type & MB_DEFMASK) >> 8;
    if (defaultIndex >= buttons.size())
        defaultIndex = 0;

    printf("  message box \"%s\", buttons:", caption != nullptr ? caption : "Error");
    for (int button : buttons)
        printf(" %s", AnswerWord(button));
    printf(" (flags 0x%lx)\n", static_cast<unsigned long>(type));
    PrintIndented(text != nullptr ? text : "");

    int answer = buttons[defaultIndex];
    if (g_nextAnswer < g_answers.size()) {
        int scripted = g_answers[g_nextAnswer++];
        bool offered = false;
        for (int button : buttons)
            offered = offered || button == scripted;
        if (offered) {
            printf("    answered %s, as told\n", AnswerWord(scripted));
            fflush(stdout);
            return scripted;
        }
        printf("    the box has no %s button:", AnswerWord(scripted));
    }
    printf("    answered %s, the default button\n", AnswerWord(answer));
    fflush(stdout);
    return answer;
}
