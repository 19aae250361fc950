// What the file system says a folder or file is, whatever its path text:
// its final path, with links, junctions, "..", short names and second drive
// letters resolved, and its volume serial number and file index.
#pragma once
#include <windows.h>
#include "paths.h"

struct Identity {
    bool known;
    char finalPath[PATH_TEXT_MAX]; // without "\\?\" and without a trailing backslash
    DWORD volumeSerial;
    ULONGLONG fileIndex;
};

// Learns what path names (a folder may end in a backslash); false, with
// identity->known false, when it cannot be opened.
bool Identify(const char *path, Identity *identity);

// The file index of the object open as handle, or of what path names, asked
// without the volume serial (which Wine finds slowly, about a millisecond a
// call, where the index takes microseconds); false when unknown.
bool FileIndexOf(HANDLE handle, ULONGLONG *index);
bool FileIndexAt(const char *path, ULONGLONG *index);

// The final path of an open handle, normalised as in Identity; false when unknown.
bool FinalPathOf(HANDLE handle, char *out, size_t size);

// True when both are known and name one object: by their final paths, or
// by one volume serial (not 0) and file index.
bool SameObject(const Identity *first, const Identity *second);

// True when now is still the very folder or file learnt before: the same
// final path and the same volume and file index (a disk mounted on the
// folder, or a folder made anew under its old name, is another one).
bool StillTheSame(const Identity *learnt, const Identity *now);

// True when both are known and inner lies somewhere below outer: by their
// final paths, or because a folder above inner is outer by serial and index.
bool LiesInside(const Identity *inner, const Identity *outer);

// True when the two are one folder or one lies inside the other.
bool Nested(const Identity *first, const Identity *second);
