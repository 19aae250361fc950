// The lock that keeps one window per list. The list is named twice: by a
// digest of the final path of its auto-save file's folder and the file's
// name (the file need not exist yet), upper-cased, and by the folder's volume
// serial and file index (where the serial is not 0), so that the same folder
// reached through an alias its final path does not show is still one list.
// A mutex name holds no further backslash, hence the digest.
#include "listlock.h"
#include "base/identity.h"
#include "base/paths.h"
#include "base/widetext.h"
#include "pairs/autosave.h"
#include <wincrypt.h>
#include <stdio.h>
#include <string.h>

static const char LOCK_PREFIX[] = "Local\\KR-Mirrorix-";
static const char LIST_PROPERTY[] = "KR-Mirrorix-Liste";
static const char FOLDER_PROPERTY[] = "KR-Mirrorix-Ordner";

enum {
    LOCK_NAME_MAX = 80,
    DIGEST_BYTES = 16, // MD5: 128 bits
    RUNNING_COPY_WAIT_MS = 5000,
    RUNNING_COPY_POLL_MS = 50
};

// How the list is named: its digest as text, and its two window marks
// (never 0, an unmarked window's).
struct ListName {
    char digest[DIGEST_BYTES * 2 + 1];
    DWORD nameKey;
    DWORD folderKey; // 0 where the folder has no serial
    DWORD folderSerial;
    ULONGLONG folderIndex;
};

// The MD5 digest of text as hexadecimal text; false when the platform cannot make it.
static bool DigestOf(const char *text, char *out)
{
    HCRYPTPROV provider;
    HCRYPTHASH hash = 0;
    BYTE digest[DIGEST_BYTES];
    DWORD length = sizeof digest;
    if (!CryptAcquireContextA(&provider, NULL, NULL, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return false;
    bool made = CryptCreateHash(provider, CALG_MD5, 0, 0, &hash);
    made = made && CryptHashData(hash, (const BYTE *)text, (DWORD)strlen(text), 0) &&
           CryptGetHashParam(hash, HP_HASHVAL, digest, &length, 0) && length == sizeof digest;
    if (hash != 0)
        CryptDestroyHash(hash);
    CryptReleaseContext(provider, 0);
    for (int i = 0; made && i < DIGEST_BYTES; i++)
        snprintf(out + 2 * i, 3, "%02X", digest[i]);
    return made;
}

// Names the list of AutoSavePath.
static void NameList(ListName *list)
{
    char folder[PATH_TEXT_MAX], name[PATH_TEXT_MAX], listName[PATH_TEXT_MAX], finalPath[PATH_TEXT_MAX];
    Identity identity = {};
    CopyText(folder, sizeof folder, AutoSavePath);
    char *slash = strrchr(folder, '\\');
    CopyText(name, sizeof name, slash != NULL ? slash + 1 : folder);
    if (slash != NULL)
        slash[1] = 0;
    bool known = slash != NULL && IdentifyAnsi(folder, &identity) &&
                 AnsiFromWide(identity.finalPath, finalPath, sizeof finalPath);
    JoinPath(listName, sizeof listName, known ? finalPath : folder, "\\", name);
    list->folderSerial = identity.volumeSerial;
    list->folderIndex = identity.fileIndex;
    ForgetIdentity(&identity);
    CharUpperBuffA(listName, (DWORD)strlen(listName));
    if (!DigestOf(listName, list->digest))
        snprintf(list->digest, sizeof list->digest, "%08lX", (unsigned long)HashNoCase(listName));
    list->nameKey = (DWORD)HashNoCase(listName) | 1;
    list->folderKey = known && list->folderSerial != 0 ? ((DWORD)list->folderIndex ^ list->folderSerial) | 1 : 0;
}

// The window of a running copy that shows the list, found by its marks.
struct WindowSearch {
    const char *windowClass;
    const ListName *list;
    HWND found;
};

// Notes the window when it is a main window marked with the list searched for.
static BOOL CALLBACK CheckWindow(HWND window, LPARAM context)
{
    WindowSearch *search = (WindowSearch *)context;
    char className[LOCK_NAME_MAX] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, search->windowClass) != 0)
        return TRUE;
    DWORD folderKey = (DWORD)(UINT_PTR)GetPropA(window, FOLDER_PROPERTY);
    if ((DWORD)(UINT_PTR)GetPropA(window, LIST_PROPERTY) == search->list->nameKey ||
        (folderKey != 0 && folderKey == search->list->folderKey)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Brings the window of the copy that shows the list to the front; it may
// still be on its way up, so it is looked for a little while.
static void BringListWindowToFront(const char *windowClass, const ListName *list)
{
    for (DWORD waited = 0; waited < RUNNING_COPY_WAIT_MS; waited += RUNNING_COPY_POLL_MS) {
        WindowSearch search = {windowClass, list, NULL};
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

// Takes the mutex of that name; false when another process holds it already.
static bool TakeMutex(const char *name)
{
    HANDLE lock = CreateMutexA(NULL, FALSE, name);
    if (lock == NULL || GetLastError() != ERROR_ALREADY_EXISTS)
        return true; // held until the process ends
    CloseHandle(lock);
    return false;
}

// Both locks are held until the process ends.
bool TakeListLock(const char *windowClass)
{
    char lockName[LOCK_NAME_MAX];
    ListName list;
    NameList(&list);
    snprintf(lockName, sizeof lockName, "%s%s", LOCK_PREFIX, list.digest);
    bool taken = TakeMutex(lockName);
    if (list.folderKey != 0) {
        snprintf(lockName, sizeof lockName, "%s%08lX-%016llX", LOCK_PREFIX, (unsigned long)list.folderSerial,
                 (unsigned long long)list.folderIndex);
        taken = TakeMutex(lockName) && taken;
    }
    if (!taken)
        BringListWindowToFront(windowClass, &list);
    return taken;
}

void MarkListWindow(HWND window)
{
    ListName list;
    NameList(&list);
    SetPropA(window, LIST_PROPERTY, (HANDLE)(UINT_PTR)list.nameKey);
    if (list.folderKey != 0)
        SetPropA(window, FOLDER_PROPERTY, (HANDLE)(UINT_PTR)list.folderKey);
}

// Takes the marks away.
void UnmarkListWindow(HWND window)
{
    RemovePropA(window, LIST_PROPERTY);
    RemovePropA(window, FOLDER_PROPERTY);
}
