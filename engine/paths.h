// Bounded path building, text tests and the one folder walk of all passes.
#pragma once
#include <windows.h>
#include <stddef.h>

// Joins up to three parts into out; false (out emptied) when they do not fit.
bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third = "");

// Copies text into out; false (out emptied) when it does not fit.
bool CopyText(char *out, size_t size, const char *text);

// True when needle occurs in haystack, compared without regard to letter case.
bool ContainsNoCase(const char *haystack, const char *needle);

// Called for each entry of a listing other than "." and "..".
typedef void (*EntryVisitor)(const char *folder, const WIN32_FIND_DATAA *entry, void *context);

// Lists folder ("*.*") depth-first in the platform's order, calling visit for
// each entry, and stops after a failed fetch or when a cancel was requested.
// Returns false, with the system's last error set, when the listing cannot start.
bool WalkFolder(const char *folder, EntryVisitor visit, void *context);

// True when the listing of folder can be started.
bool FolderListable(const char *folder);

// True for an entry name the ANSI file functions take as it is: not ending in
// a dot or a blank (stripped by the platform, so another entry would be
// meant) and without "?" or "*" (stand-ins for letters the code page lacks).
bool NameUsable(const char *name);

// True for an entry that is a sub-folder.
inline bool IsFolderEntry(const WIN32_FIND_DATAA *entry)
{
    return (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
