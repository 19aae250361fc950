// The notices of a run.
#include "notices.h"
#include "display.h"
#include "runstate.h"
#include "base/messages.h"
#include "base/paths.h"
#include "base/texts.h"
#include "base/widetext.h"
#include <stdio.h>

void ShowRunNote(const char *text, UINT icon)
{
    FlushDisplay();
    ShowNotice(text, TITLE_NOTE, MB_OK | icon);
}

void ShowPathNote(const char *format, const WCHAR *path, UINT icon)
{
    char shown[PATH_TEXT_MAX], text[NOTICE_TEXT_MAX];
    AnsiFromWide(path, shown, sizeof shown);
    snprintf(text, sizeof text, format, shown);
    ShowRunNote(text, icon);
}

bool AskRunQuestion(const char *question)
{
    FlushDisplay();
    return AskYes(question, MB_ICONWARNING, MB_DEFBUTTON2);
}

void ReportDeleteError(DWORD code, const WCHAR *path)
{
    char shown[PATH_TEXT_MAX];
    AnsiFromWide(path, shown, sizeof shown);
    FlushDisplay();
    ReportError(code, DELETE_FAILED, shown);
    RequestCancel();
}

void ReportListingError(DWORD code, const WCHAR *path)
{
    char shown[PATH_TEXT_MAX];
    AnsiFromWide(path, shown, sizeof shown);
    FlushDisplay();
    ReportError(code, LISTING_FAILED, shown);
    RequestCancel();
}

int AskCopyError(DWORD code, const WCHAR *sourceFile, const WCHAR *targetFile)
{
    char source[PATH_TEXT_MAX], target[PATH_TEXT_MAX];
    AnsiFromWide(sourceFile, source, sizeof source);
    AnsiFromWide(targetFile, target, sizeof target);
    FlushDisplay();
    return ShowErrorNotice(code, MB_ABORTRETRYIGNORE | MB_ICONERROR, COPY_FAILED, source, COPY_FAILED_TARGET, target);
}
