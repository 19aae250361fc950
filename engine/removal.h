// Removing one name from a target without ever touching what a link points to.
#pragma once
#include <windows.h>

// How the removal of one name ended.
enum Removal {
    REMOVED,          // the name is gone
    KEPT_AS_LINK,     // a link the platform would resolve: kept, with what it points to
    KEPT_AS_OWN_FILE, // the running program, its auto-save file or its run log
    REMOVAL_FAILED,   // the platform refused; *code tells why
    NOT_REMOVED       // not tried: not the program's to remove, or not to be removed now
};

// Removes the file, folder or link at path through a handle on the name
// itself. Kept when it is one of the program's own files, and when the
// handle's final path is not expectedFinal (the final path the name would
// have if it were no link; NULL: learnt from the folder), so that no link
// is ever followed. A read-only file is refused, as the platform's
// deletion refuses it, unless clearReadOnly (the program's own temporary).
Removal RemoveFileName(const char *path, const char *expectedFinal, bool clearReadOnly, DWORD *code);
