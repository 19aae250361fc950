// Listing one folder level.
#include "listing.h"
#include "copyfile.h"
#include "paths.h"
#include "runstate.h"
#include <string.h>

// True for the entries "." and "..".
static bool IsDotEntry(const char *name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// True for an entry name the ANSI file functions take as it is.
bool NameUsable(const char *name)
{
    size_t length = strlen(name);
    if (length == 0 || name[length - 1] == '.' || name[length - 1] == ' ')
        return false;
    return strpbrk(name, "?*") == NULL;
}

// Starts the listing of folder ("*.*"); INVALID_HANDLE_VALUE with *code set.
static HANDLE OpenListing(const char *folder, WIN32_FIND_DATAA *entry, DWORD *code)
{
    char pattern[PATH_TEXT_MAX];
    if (!JoinPath(pattern, sizeof pattern, folder, "*.*")) {
        *code = ERROR_FILENAME_EXCED_RANGE;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE listing = FindFirstFileA(pattern, entry);
    *code = listing == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    return listing;
}

// Lists one level of folder, calling visit for each entry but "." and "..".
bool ListFolder(const char *folder, EntryVisitor visit, void *context, DWORD *code)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = OpenListing(folder, &entry, code);
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (!IsDotEntry(entry.cFileName))
            visit(folder, &entry, context);
    } while (FindNextFileA(listing, &entry) && !IsCancelRequested());
    FindClose(listing);
    return true;
}

// True when the listing of folder can be started.
bool FolderListable(const char *folder, DWORD *code)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = OpenListing(folder, &entry, code);
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    FindClose(listing);
    return true;
}

// Tells whether folder lists any entry but "." and "..", the own temporary file aside.
bool FolderHoldsEntries(const char *folder, bool *holds, DWORD *code)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = OpenListing(folder, &entry, code);
    *holds = false;
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    do
        *holds = !IsDotEntry(entry.cFileName) && strcmp(entry.cFileName, TEMPORARY_COPY_NAME) != 0;
    while (!*holds && FindNextFileA(listing, &entry));
    FindClose(listing);
    return true;
}
