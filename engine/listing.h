// Listing one folder level, and what a listed entry is.
#pragma once
#include <windows.h>

// Called for each entry of a listing other than "." and "..".
typedef void (*EntryVisitor)(const char *folder, const WIN32_FIND_DATAA *entry, void *context);

// Lists one level of folder ("*.*") in the platform's order, calling visit for
// each entry, and stops after a failed fetch or when a cancel was requested.
// False, with *code set, when the listing cannot start.
bool ListFolder(const char *folder, EntryVisitor visit, void *context, DWORD *code);

// True when the listing of folder can be started; *code tells why not.
bool FolderListable(const char *folder, DWORD *code);

// Tells in *holds whether folder lists any entry but "." and "..", the
// program's own temporary file aside; false, with *code set, when it cannot
// be listed.
bool FolderHoldsEntries(const char *folder, bool *holds, DWORD *code);

// True for an entry name the ANSI file functions take as it is: not ending in
// a dot or a blank (stripped by the platform, so another entry would be
// meant) and without "?" or "*" (stand-ins for letters the code page lacks).
bool NameUsable(const char *name);

// True for an entry that is a sub-folder.
inline bool IsFolderEntry(const WIN32_FIND_DATAA *entry)
{
    return (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True for an entry that is a link (symbolic link, junction, any reparse point).
inline bool IsLinkEntry(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}
