// Removing one name from a target without ever touching what a link points to.
#pragma once
#include <windows.h>

// Returned for a name that is a link the platform would resolve: it is kept,
// with what it points to (the platform's ERROR_STOPPED_ON_SYMLINK).
enum { LINK_KEPT = 681 };

// Removes the file, folder or link at path through a handle on the name
// itself, and only when that handle's final path is expectedFinal (the
// final path the name would have if it were no link; NULL: learnt from its
// folder), so that no link is ever followed. A read-only file is refused,
// as the platform's deletion refuses it, unless clearReadOnly (the
// program's own temporary file). Returns 0, LINK_KEPT, or the platform's error.
DWORD RemoveFileName(const char *path, const char *expectedFinal, bool clearReadOnly);
