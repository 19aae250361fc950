// Which entry names and paths the program's ANSI file functions can address.
// One rule for every pass, in the source and in the target: an entry it
// rejects is left alone and reported, never acted on under another name.
#pragma once
#include <stddef.h>

// False for a name the ANSI file functions would take for another entry or
// a device: a reserved device name (CON, PRN, AUX, NUL, CONIN$, CONOUT$,
// COM0-9, LPT0-9, the last two with superscript digits too; with or without
// an extension, in any letter case), a name holding < > : " / \ | ? * or a
// control character, a name ending in a blank or a dot, and a name without an
// exact form in the ANSI code page (exactInCodePage false).
bool NameAddressable(const char *name, bool exactInCodePage);

// True when path, a folder's when folder (its listing pattern then follows),
// is within the path limit of the ANSI file functions.
bool PathWithinLimit(const char *path, bool folder);

// True when path's folder part and name, the one given in place of its own,
// are within that limit (for the temporary file beside a target).
bool NameBesideWithinLimit(const char *path, const char *name);
