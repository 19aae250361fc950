// What the file system says a folder or file is, whatever its path text:
// its final path, with links, junctions, "..", short names and second drive
// letters resolved, and its volume serial number and file index.
#pragma once
#include <windows.h>

struct Identity {
    bool known;
    WCHAR *finalPath; // without "\\?\" and without a trailing backslash; a block of its own
    DWORD volumeSerial;
    ULONGLONG fileIndex;
};

// Learns what path names (a folder may end in a backslash); false, with
// identity->known false, when it cannot be opened. identity must be zeroed
// or hold an earlier identity, which is forgotten; ForgetIdentity frees it.
bool Identify(const WCHAR *path, Identity *identity);
bool IdentifyAnsi(const char *path, Identity *identity);
void ForgetIdentity(Identity *identity);

// The file index of the object open as handle, or of what path names, asked
// without the volume serial (which Wine finds slowly, about a millisecond a
// call, where the index takes microseconds); false when unknown.
bool FileIndexOf(HANDLE handle, ULONGLONG *index);
bool FileIndexAt(const WCHAR *path, ULONGLONG *index);

// The final path of an open handle, normalised as in Identity, in a block of
// its own (MemoryFree frees it); NULL when unknown.
WCHAR *FinalPathOf(HANDLE handle);

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
