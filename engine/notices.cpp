// Error notices and prompts. Every notice of a run is built here.
#include "notices.h"
#include "display.h"
#include "app/mainwindow.h"
#include <stdio.h>
#include <string.h>

const char NO_SYSTEM_TEXT[] = "Keine Beschreibung verfügbar.";

static const char ERROR_TITLE[] = "Fehler";
static const char NOTICE_FORMAT[] = "%s '%s'%s%s%s%s\n\nFehler %d: %s";

// Shows a plain message box owned by the main window.
int ShowNotice(const char *text, const char *title, UINT type)
{
    return MessageBoxA(MainWindow, text, title, type);
}

// Formats the notice text into a buffer of the given size.
static void FormatNotice(char *buffer, size_t size, DWORD code, const char *message, const char *path,
                         const char *more, const char *morePath, const char *systemText)
{
    bool second = more != NULL;
    snprintf(buffer, size, NOTICE_FORMAT, message, path,
             second ? more : "", second ? " '" : "", second ? morePath : "", second ? "'" : "",
             (int)code, systemText);
}

// Shows the error notice of the given shape; returns the button chosen.
int ShowErrorNotice(DWORD code, UINT type, const char *message, const char *path,
                    const char *more, const char *morePath)
{
    char *systemText = NULL;
    DWORD got = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                               FORMAT_MESSAGE_ALLOCATE_BUFFER,
                               NULL, code, 1024, (LPSTR)&systemText, 0, NULL);
    const char *shownText = (got != 0 && systemText != NULL) ? systemText : NO_SYSTEM_TEXT;
    size_t size = strlen(shownText) + strlen(message) + strlen(path) + 100;
    if (more != NULL)
        size += strlen(more) + strlen(morePath);
    char *text = (char *)LocalAlloc(LMEM_ZEROINIT, size);
    int answer;
    FlushDisplay();
    if (text != NULL) {
        FormatNotice(text, size, code, message, path, more, morePath, shownText);
        answer = ShowNotice(text, ERROR_TITLE, type);
        LocalFree(text);
    } else {
        char fallback[NOTICE_FALLBACK_MAX];
        FormatNotice(fallback, sizeof fallback, code, message, path, more, morePath, shownText);
        answer = ShowNotice(fallback, ERROR_TITLE, type);
    }
    if (systemText != NULL)
        LocalFree(systemText);
    return answer;
}

// Error notice for the calling thread's last system error.
void ReportError(const char *message, const char *path)
{
    DWORD code = GetLastError();
    ShowErrorNotice(code, MB_OK | MB_ICONERROR, message, path, NULL, NULL);
}

// Notice for a target file that could not be deleted.
void ReportDeleteError(const char *path)
{
    ReportError("Fehler beim Löschen der Datei", path);
}

// Notice for a folder whose listing could not be started or queried.
void ReportListingError(const char *path)
{
    ReportError("Fehler beim Ermitteln der Quelldateien im Pfad", path);
}

// Notice for a path that does not fit a path buffer.
void ReportPathTooLong(const char *folder, const char *name)
{
    ShowErrorNotice(ERROR_FILENAME_EXCED_RANGE, MB_OK | MB_ICONERROR,
                    "Der Pfad ist zu lang für den Eintrag", name, "\nim Ordner", folder);
}

// Notice for an entry whose name the file functions cannot take as it is.
void ReportUnusableName(const char *folder, const char *name)
{
    ShowErrorNotice(ERROR_INVALID_NAME, MB_OK | MB_ICONERROR,
                    "Der Eintrag kann nicht verarbeitet werden", name, "\nim Ordner", folder);
}

// Abort/Retry/Ignore prompt for a failed copy.
int AskCopyError(const char *sourceFile, const char *targetFile)
{
    DWORD code = GetLastError();
    return ShowErrorNotice(code, MB_ABORTRETRYIGNORE | MB_ICONERROR,
                           "Fehler beim Kopieren der Datei", sourceFile, "\nnach", targetFile);
}
