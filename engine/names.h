// Which entry names ordinary Windows paths can create and remove, and which
// failures mean that the file system refuses a path. One rule for every
// pass, in the source and in the target: an entry it rejects is left alone
// and reported, never acted on under another name.
#pragma once
#include <windows.h>

// False for a name ordinary paths would take for another entry or a device,
// or could not remove again: a reserved device name (CON, PRN, AUX, NUL,
// CONIN$, CONOUT$, COM0-9, LPT0-9, the last two with superscript digits too;
// with or without an extension, in any letter case), a name holding
// < > : " / \ | ? * or a control character, a name ending in a blank or a dot.
bool NameAddressable(const WCHAR *name);

// True when code, the failure of a call on path, says that the file system
// refuses a path that long (Wine: error 206, or 31 beyond its 4,096 bytes).
bool PathRefused(DWORD code, const WCHAR *path);
