// Wide (UTF-16) texts of any length: the names the file system holds and the
// paths built from them, in storage that grows, and their ANSI form for
// everything the user reads.
#pragma once
#include <windows.h>

enum {
    WIDE_PATH_MAX = 32767 // the longest path the platform's file functions take, "\\?\" included
};

// A copy of text, or of the parts joined, in a block of its own (MemoryFree
// frees it); NULL when memory is short or the result would be longer than
// WIDE_PATH_MAX characters.
WCHAR *WideCopy(const WCHAR *text);
WCHAR *WideJoin(const WCHAR *first, const WCHAR *second, const WCHAR *third = L"");

// The wide form of an ANSI text, in a block of its own; NULL when memory is short.
WCHAR *WideFromAnsi(const char *text);

// Writes the ANSI form of text into out for the user to read: a character
// the code page lacks becomes "?", never a look-alike (no best fit), one "?"
// per UTF-16 unit. False when it did not fit (out then holds the start).
bool AnsiFromWide(const WCHAR *text, char *out, size_t size);

// The ANSI form of text as AnsiFromWide writes it, whole, in a block of its
// own (MemoryFree frees it); NULL when memory is short.
char *AnsiCopy(const WCHAR *text);

// True when text has an exact form in the ANSI code page (written into out,
// which has size bytes).
bool ExactAnsiForm(const WCHAR *text, char *out, size_t size);

// Texts compared as the file system compares names: ordinal, regardless of
// letter case (one rule for every comparison of names and paths).
bool EqualNoCaseW(const WCHAR *first, const WCHAR *second);
bool StartsWithNoCaseW(const WCHAR *text, const WCHAR *prefix);

// A hash that is the same for texts equal regardless of letter case.
unsigned long HashNoCaseW(const WCHAR *text);

// The folder part of path, up to and with its last backslash, in a block of
// its own (MemoryFree frees it); NULL when path has no backslash or memory is short.
WCHAR *FolderOfPath(const WCHAR *path);

// The part of path after its last backslash.
const WCHAR *LastPartW(const WCHAR *path);
