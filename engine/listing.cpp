// Listing one folder level through the wide functions, so that a name the
// code page lacks is recognised instead of being replaced by a look-alike.
#include "listing.h"
#include "base/memory.h"
#include "base/paths.h"
#include "runstate.h"
#include <string.h>

enum {
    FIRST_ENTRY_CAPACITY = 64,
    FIRST_NAME_POOL = 4096,
    ANSI_NAME_MAX = 2 * MAX_PATH // a name of a double-byte code page
};

// True for the entries "." and "..".
static bool IsDotEntry(const WCHAR *name)
{
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Starts the wide listing of folder ("*.*"); INVALID_HANDLE_VALUE with *code set.
static HANDLE OpenListing(const char *folder, WIN32_FIND_DATAW *entry, DWORD *code)
{
    WCHAR pattern[PATH_TEXT_MAX];
    int length = MultiByteToWideChar(CP_ACP, 0, folder, -1, pattern, PATH_TEXT_MAX - 3);
    if (length == 0) {
        *code = ERROR_FILENAME_EXCED_RANGE;
        return INVALID_HANDLE_VALUE;
    }
    wcscpy(pattern + length - 1, L"*.*");
    HANDLE listing = FindFirstFileW(pattern, entry);
    *code = listing == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    return listing;
}

// Converts a listed name to the code page once; false when it has no exact
// form there (the default character then stands in for what is missing).
static bool ConvertName(const WCHAR *wide, char *out, size_t size)
{
    BOOL usedDefault = FALSE;
    bool utf8 = GetACP() == CP_UTF8; // takes neither the flag nor the question
    int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, wide, -1, out, (int)size, NULL,
                                     utf8 ? NULL : &usedDefault);
    if (length == 0) {
        out[0] = 0;
        return false;
    }
    return !usedDefault;
}

// Makes room for one more entry and a name of length bytes; false when memory is short.
static bool Reserve(FolderLevel *level, size_t length)
{
    if (level->count == level->capacity) {
        int capacity = level->capacity == 0 ? (int)FIRST_ENTRY_CAPACITY : level->capacity * 2;
        void *entries = MemoryResize(level->entries, capacity * sizeof(ListedEntry));
        if (entries == NULL)
            return false;
        level->entries = (ListedEntry *)entries;
        level->capacity = capacity;
    }
    if (level->namesUsed + length > level->namesSize) {
        size_t size = level->namesSize == 0 ? (size_t)FIRST_NAME_POOL : level->namesSize * 2;
        while (size < level->namesUsed + length)
            size *= 2;
        void *names = MemoryResize(level->names, size);
        if (names == NULL)
            return false;
        level->names = (char *)names;
        level->namesSize = size;
    }
    return true;
}

// Appends one listed entry to the level; false when memory is short.
static bool AddEntry(FolderLevel *level, const WIN32_FIND_DATAW *found)
{
    char name[ANSI_NAME_MAX];
    bool exact = ConvertName(found->cFileName, name, sizeof name);
    size_t length = strlen(name) + 1;
    if (!Reserve(level, length))
        return false;
    ListedEntry *entry = &level->entries[level->count++];
    entry->attributes = found->dwFileAttributes;
    entry->lastWriteTime = found->ftLastWriteTime;
    entry->size = ((ULONGLONG)found->nFileSizeHigh << 32) | found->nFileSizeLow;
    entry->nameOffset = level->namesUsed;
    entry->exactName = exact;
    memcpy(level->names + level->namesUsed, name, length);
    level->namesUsed += length;
    return true;
}

DWORD ReadFolderLevel(const char *folder, FolderLevel *level)
{
    WIN32_FIND_DATAW found;
    DWORD code;
    memset(level, 0, sizeof *level);
    HANDLE listing = OpenListing(folder, &found, &code);
    if (listing == INVALID_HANDLE_VALUE)
        return code;
    // A listing that breaks off is an error, not a shorter folder: its
    // missing entries would look deleted.
    do {
        if (!IsDotEntry(found.cFileName) && !AddEntry(level, &found)) {
            code = ERROR_NOT_ENOUGH_MEMORY;
            break;
        }
        if (!FindNextFileW(listing, &found)) {
            code = GetLastError() == ERROR_NO_MORE_FILES ? ERROR_SUCCESS : GetLastError();
            break;
        }
    } while (!IsCancelRequested());
    FindClose(listing);
    return code;
}

// Frees what a level holds.
void ReleaseFolderLevel(FolderLevel *level)
{
    MemoryFree(level->entries);
    MemoryFree(level->names);
    memset(level, 0, sizeof *level);
}

DWORD ProbeFolder(const char *folder, bool *holdsEntry)
{
    WIN32_FIND_DATAW found;
    DWORD code;
    *holdsEntry = false;
    HANDLE listing = OpenListing(folder, &found, &code);
    if (listing == INVALID_HANDLE_VALUE)
        return code;
    do
        *holdsEntry = !IsDotEntry(found.cFileName);
    while (!*holdsEntry && FindNextFileW(listing, &found));
    FindClose(listing);
    return ERROR_SUCCESS;
}
