// Listing one folder level, and what a listed entry is.
#pragma once
#include <windows.h>

// One entry of a listed level, named by the wide name the file system holds.
struct ListedEntry {
    DWORD attributes;
    FILETIME lastWriteTime;
    ULONGLONG size;
    size_t nameOffset; // into the level's name pool, in characters
};

// The entries of one folder level in the platform's order, "." and ".." left
// out, and what the folder itself was when it was listed (read through the
// handle the listing used, so that no second open is needed to learn it).
struct FolderLevel {
    ListedEntry *entries;
    int count, capacity;
    WCHAR *names;
    size_t namesUsed, namesSize; // in characters
    bool identified;             // the two below are known
    ULONGLONG fileIndex;
    LONGLONG creationTime;
};

// Reads the level of folder through a handle on it as a pass's walk fetches
// it: the reading ends when the entries run out, when a fetch fails or, after
// an entry, when a cancel was requested. A listing that cannot start reports
// the error the platform's wide listing ("*.*") gives. Returns 0, the error of a listing that
// cannot start (the level is then empty) or of a fetch that failed before
// the end (the level holds what came before). ReleaseFolderLevel frees what
// it holds either way.
DWORD ReadFolderLevel(const WCHAR *folder, FolderLevel *level);
void ReleaseFolderLevel(FolderLevel *level);

// The name of entry index of level.
inline const WCHAR *EntryName(const FolderLevel *level, int index)
{
    return level->names + level->entries[index].nameOffset;
}

// Starts the listing of folder and tells in *holdsEntry whether it lists any
// entry but "." and ".."; returns 0, or the error of a listing that cannot start.
DWORD ProbeFolder(const WCHAR *folder, bool *holdsEntry);

// True for an entry that is a folder.
inline bool IsFolderEntry(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// True for an entry that is a link (symbolic link, junction, any reparse point).
inline bool IsLinkEntry(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}
