// Removing one name from a target without ever touching what a link points to.
#pragma once
#include <windows.h>

// Returned for a name that is a link the platform would resolve: it is kept,
// with what it points to (the platform's ERROR_STOPPED_ON_SYMLINK).
enum { LINK_KEPT = 681 };

// Returned when a removal succeeded but the name still stands: another
// program holds the file open, and it goes when that program closes it (or
// something new took the name at once; an application's error code, bit 29 set).
enum { DELETE_PENDING = 0x20000003 };

// Removes the file, folder or link at path through a handle on the name
// itself, and only when that handle's final path is expectedFinal (the
// final path the name would have if it were no link; NULL: learnt from its
// folder), so that no link is ever followed. A read-only attribute is
// cleared through that handle first and set back when the removal fails;
// a file with more than one name keeps it and is refused (ERROR_ACCESS_DENIED).
// Returns 0 only when the name is gone; else LINK_KEPT, DELETE_PENDING, or
// the platform's error.
DWORD RemoveFileName(const WCHAR *path, const WCHAR *expectedFinal);

// Clears the read-only attribute of the file at path, checked as above, so
// that it can be replaced; *before receives the attributes to set back with
// SetAttributesBack when the replacement fails (0: none were changed).
// Returns 0, LINK_KEPT, ERROR_ACCESS_DENIED for a file with more than one
// name, or the platform's error.
DWORD ClearReadOnlyName(const WCHAR *path, DWORD *before);
void SetAttributesBack(const WCHAR *path, DWORD before);
