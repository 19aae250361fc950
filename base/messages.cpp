// Message boxes. Every box of the program is shown by ShowNotice.
#include "messages.h"
#include "memory.h"
#include "globals.h"
#include "paths.h"
#include "texts.h"
#include <stdio.h>
#include <string.h>

enum { HELD_NOTICE_MAX = 4 };

// A note held back while the main window is made.
struct HeldNotice {
    char text[NOTICE_TEXT_MAX];
    const char *title;
    UINT type;
};

static bool HoldingNotices = false;
static HeldNotice HeldNotices[HELD_NOTICE_MAX];
static int HeldNoticeCount = 0;

int ShowNotice(const char *text, const char *title, UINT type)
{
    if (HoldingNotices && (type & MB_TYPEMASK) == MB_OK && HeldNoticeCount < HELD_NOTICE_MAX) {
        HeldNotice *held = &HeldNotices[HeldNoticeCount];
        if (CopyText(held->text, sizeof held->text, text)) {
            held->title = title;
            held->type = type;
            HeldNoticeCount++;
            return IDOK;
        }
    }
    return MessageBoxA(MainWindow, text, title, type);
}

void HoldNotices()
{
    HoldingNotices = true;
}

void ShowHeldNotices()
{
    HoldingNotices = false;
    for (int i = 0; i < HeldNoticeCount; i++)
        MessageBoxA(MainWindow, HeldNotices[i].text, HeldNotices[i].title, HeldNotices[i].type);
    HeldNoticeCount = 0;
}

bool AskYes(const char *question, UINT icon, UINT defaultButton)
{
    return ShowNotice(question, TITLE_QUESTION, MB_YESNO | icon | defaultButton) == IDYES;
}

// Formats the notice text into a buffer of the given size.
static void FormatNotice(char *buffer, size_t size, DWORD code, const char *message, const char *path, const char *more,
                         const char *morePath, const char *systemText)
{
    bool second = more != NULL;
    snprintf(buffer, size, ERROR_NOTICE_FORMAT, message, path, second ? more : "", second ? " '" : "",
             second ? morePath : "", second ? "'" : "", (int)code, systemText);
}

int ShowErrorNotice(DWORD code, UINT type, const char *message, const char *path, const char *more,
                    const char *morePath)
{
    char *systemText = NULL;
    DWORD got =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER,
                       NULL, code, 1024, (LPSTR)&systemText, 0, NULL);
    MemoryAdoptLocal((HLOCAL)systemText);
    const char *shownText = (got != 0 && systemText != NULL) ? systemText : NO_SYSTEM_TEXT;
    size_t size = strlen(shownText) + strlen(message) + strlen(path) + 100;
    if (more != NULL)
        size += strlen(more) + strlen(morePath);
    char *text = (char *)MemoryAlloc(size);
    int answer;
    if (text != NULL) {
        FormatNotice(text, size, code, message, path, more, morePath, shownText);
        answer = ShowNotice(text, TITLE_ERROR, type);
        MemoryFree(text);
    } else {
        char fallback[NOTICE_TEXT_MAX];
        FormatNotice(fallback, sizeof fallback, code, message, path, more, morePath, shownText);
        answer = ShowNotice(fallback, TITLE_ERROR, type);
    }
    MemoryFreeLocal((HLOCAL)systemText);
    return answer;
}

void ReportError(DWORD code, const char *message, const char *path)
{
    ShowErrorNotice(code, MB_OK | MB_ICONERROR, message, path);
}
