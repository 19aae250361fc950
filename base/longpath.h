// The platform's file functions for paths of any length. A path the classic
// functions take (shorter than the limit of a folder's path) is passed as it
// is; a longer one in the "\\?\" form of its full path ("\\?\UNC\server\..."
// for a share), which reaches up to WIDE_PATH_MAX characters. Every file
// function of a run goes through here, so this is the one home of that rule.
#pragma once
#include <windows.h>

enum {
    CLASSIC_PATH_LIMIT = MAX_PATH - 12 // a folder's path must leave room for an 8.3 name
};

// The form of path the file functions take: path itself when it is short
// or already in "\\?\" form, else a block of its own put in *made (MemoryFree
// frees it; NULL when none was made). NULL when memory is short.
const WCHAR *PlatformPath(const WCHAR *path, WCHAR **made);

// The wide file functions, through PlatformPath; each leaves the platform's
// last error as the call left it.
HANDLE OpenPath(const WCHAR *path, DWORD access, DWORD share, DWORD disposition, DWORD flags);
BOOL AttributesAt(const WCHAR *path, WIN32_FILE_ATTRIBUTE_DATA *data);
DWORD AttributesOf(const WCHAR *path);
BOOL SetAttributesAt(const WCHAR *path, DWORD attributes);
BOOL MakeFolder(const WCHAR *path);
BOOL DeletePath(const WCHAR *path);
BOOL MovePath(const WCHAR *from, const WCHAR *to, DWORD flags);
BOOL CopyPath(const WCHAR *from, const WCHAR *to, LPPROGRESS_ROUTINE progress, LPVOID data, LPBOOL cancel, DWORD flags);
HANDLE FindFirstAt(const WCHAR *pattern, WIN32_FIND_DATAW *found);
DWORD ShortPathAt(const WCHAR *path, WCHAR *out, DWORD size);

// Creates the new file (or, with asFolder, folder) name in the folder open as
// folder, whatever path that folder has by now: a folder renamed or swapped
// for a link meanwhile still receives it. INVALID_HANDLE_VALUE with the last
// error set (ERROR_FILE_EXISTS when name is taken) on failure.
HANDLE CreateBelow(HANDLE folder, const WCHAR *name, DWORD access, bool asFolder);
