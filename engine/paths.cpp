// Bounded path building, text tests and the folder walk.
#include "paths.h"
#include "runstate.h"
#include <string.h>

// Joins up to three parts into out; false (out emptied) when they do not fit.
bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third)
{
    size_t a = strlen(first), b = strlen(second), c = strlen(third);
    if (size == 0)
        return false;
    if (a + b + c >= size) {
        out[0] = 0;
        return false;
    }
    memmove(out, first, a);
    memcpy(out + a, second, b);
    memcpy(out + a + b, third, c);
    out[a + b + c] = 0;
    return true;
}

// Copies text into out; false (out emptied) when it does not fit.
bool CopyText(char *out, size_t size, const char *text)
{
    return JoinPath(out, size, text, "", "");
}

// Upper-cases a copy of text in the ANSI code page; false when it does not fit.
static bool UpperCopy(char *out, size_t size, const char *text)
{
    if (!CopyText(out, size, text))
        return false;
    CharUpperBuffA(out, (DWORD)strlen(out));
    return true;
}

// True when needle occurs in haystack, compared without regard to letter case.
bool ContainsNoCase(const char *haystack, const char *needle)
{
    char upperHaystack[PATH_TEXT_MAX];
    char upperNeedle[PATH_TEXT_MAX];
    if (!UpperCopy(upperHaystack, sizeof upperHaystack, haystack) ||
        !UpperCopy(upperNeedle, sizeof upperNeedle, needle))
        return false;
    return strstr(upperHaystack, upperNeedle) != NULL;
}

// True for an entry name the ANSI file functions take as it is.
bool NameUsable(const char *name)
{
    size_t length = strlen(name);
    if (length == 0 || name[length - 1] == '.' || name[length - 1] == ' ')
        return false;
    return strpbrk(name, "?*") == NULL;
}

// True for the entries "." and "..".
static bool IsDotEntry(const char *name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// Starts the listing of folder ("*.*"); INVALID_HANDLE_VALUE with the last error set.
static HANDLE OpenListing(const char *folder, WIN32_FIND_DATAA *entry)
{
    char pattern[PATH_TEXT_MAX];
    if (!JoinPath(pattern, sizeof pattern, folder, "*.*")) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return INVALID_HANDLE_VALUE;
    }
    return FindFirstFileA(pattern, entry);
}

// Lists folder depth-first, calling visit for each entry but "." and "..".
bool WalkFolder(const char *folder, EntryVisitor visit, void *context)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = OpenListing(folder, &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    do {
        if (!IsDotEntry(entry.cFileName))
            visit(folder, &entry, context);
    } while (FindNextFileA(listing, &entry) && !IsCancelRequested());
    FindClose(listing);
    return true;
}

// True when the listing of folder can be started; the last error tells why not.
bool FolderListable(const char *folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE listing = OpenListing(folder, &entry);
    if (listing == INVALID_HANDLE_VALUE)
        return false;
    FindClose(listing);
    return true;
}
