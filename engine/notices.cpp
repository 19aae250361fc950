// The notices of a run.
#include "notices.h"
#include "display.h"
#include "runstate.h"
#include "base/messages.h"
#include "base/texts.h"

void ShowRunNote(const char *text, UINT icon)
{
    FlushDisplay();
    ShowNotice(text, TITLE_NOTE, MB_OK | icon);
}

bool AskRunQuestion(const char *question)
{
    FlushDisplay();
    return AskYes(question, MB_ICONWARNING, MB_DEFBUTTON2);
}

void ReportDeleteError(DWORD code, const char *path)
{
    FlushDisplay();
    ReportError(code, DELETE_FAILED, path);
    RequestCancel();
}

void ReportListingError(DWORD code, const char *path)
{
    FlushDisplay();
    ReportError(code, LISTING_FAILED, path);
    RequestCancel();
}

int AskCopyError(DWORD code, const char *sourceFile, const char *targetFile)
{
    FlushDisplay();
    return ShowErrorNotice(code, MB_ABORTRETRYIGNORE | MB_ICONERROR, COPY_FAILED, sourceFile, COPY_FAILED_TARGET,
                           targetFile);
}
