// The lock that keeps one window per list. The list is named by the final
// path of its auto-save file's folder and the file's name (the file need
// not exist yet), upper-cased; a mutex name holds no further backslash, so
// the lock is named by a hash of that text.
#include "listlock.h"
#include "base/identity.h"
#include "base/paths.h"
#include "pairs/autosave.h"
#include <stdio.h>
#include <string.h>

static const char LOCK_PREFIX[] = "Local\\KR-Mirrorix-";
static const char LIST_PROPERTY[] = "KR-Mirrorix-Liste";

enum { LOCK_NAME_MAX = 64, RUNNING_COPY_WAIT_MS = 5000, RUNNING_COPY_POLL_MS = 50 };

// The list's number: a hash of its name, never 0 (an unmarked window's).
static DWORD ListKey()
{
    char folder[PATH_TEXT_MAX], name[PATH_TEXT_MAX];
    Identity identity;
    CopyText(folder, sizeof folder, AutoSavePath);
    char *slash = strrchr(folder, '\\');
    CopyText(name, sizeof name, slash != NULL ? slash + 1 : folder);
    if (slash != NULL)
        slash[1] = 0;
    const char *place = slash != NULL && Identify(folder, &identity) ? identity.finalPath : folder;
    char listName[PATH_TEXT_MAX];
    JoinPath(listName, sizeof listName, place, "\\", name);
    DWORD hash = (DWORD)HashNoCase(listName);
    return hash != 0 ? hash : 1;
}

// The window of a running copy that shows the list key, found by its mark.
struct WindowSearch {
    const char *windowClass;
    DWORD key;
    HWND found;
};

// Notes the window when it is a main window marked with the list searched for.
static BOOL CALLBACK CheckWindow(HWND window, LPARAM context)
{
    WindowSearch *search = (WindowSearch *)context;
    char className[LOCK_NAME_MAX] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, search->windowClass) == 0 &&
        (DWORD)(UINT_PTR)GetPropA(window, LIST_PROPERTY) == search->key) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Brings the window of the copy that shows the list to the front; it may
// still be on its way up, so it is looked for a little while.
static void BringListWindowToFront(const char *windowClass, DWORD key)
{
    for (DWORD waited = 0; waited < RUNNING_COPY_WAIT_MS; waited += RUNNING_COPY_POLL_MS) {
        WindowSearch search = {windowClass, key, NULL};
        EnumWindows(CheckWindow, (LPARAM)&search);
        if (search.found != NULL) {
            if (IsIconic(search.found))
                ShowWindow(search.found, SW_RESTORE);
            SetForegroundWindow(search.found);
            return;
        }
        Sleep(RUNNING_COPY_POLL_MS);
    }
}

// The lock is held until the process ends.
bool TakeListLock(const char *windowClass)
{
    char lockName[LOCK_NAME_MAX];
    DWORD key = ListKey();
    snprintf(lockName, sizeof lockName, "%s%08lX", LOCK_PREFIX, (unsigned long)key);
    HANDLE lock = CreateMutexA(NULL, FALSE, lockName);
    if (lock == NULL || GetLastError() != ERROR_ALREADY_EXISTS)
        return true;
    CloseHandle(lock);
    BringListWindowToFront(windowClass, key);
    return false;
}

void MarkListWindow(HWND window)
{
    SetPropA(window, LIST_PROPERTY, (HANDLE)(UINT_PTR)ListKey());
}

// Takes the mark away.
void UnmarkListWindow(HWND window)
{
    RemovePropA(window, LIST_PROPERTY);
}
