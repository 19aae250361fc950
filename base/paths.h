// Named buffer sizes, bounded path building and letter-case-blind text tests.
#pragma once
#include <stddef.h>

enum {
    PATH_TEXT_MAX = 1000,   // every path built during a pass
    STATUS_TEXT_MAX = 1000, // one status line or current-file line
    NOTICE_TEXT_MAX = 2200  // a formatted notice that has no buffer of its own
};

// Joins up to three parts into out; false (out emptied) when they do not fit.
bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third = "");

// Copies text into out; false (out emptied) when it does not fit.
bool CopyText(char *out, size_t size, const char *text);

// Copies a folder path into out without its trailing backslash; false (out
// emptied) when it does not fit. out may be folder itself.
bool WithoutTrailingBackslash(const char *folder, char *out, size_t size);

// Joins a folder path, with a backslash when it lacks one, and name into
// out; false (out emptied) when it does not fit.
bool JoinInFolder(char *out, size_t size, const char *folder, const char *name);

// The letter of the ANSI code page in upper case, as the file system compares names.
unsigned char UpperLetter(unsigned char letter);

// A hash of text that is the same for texts equal but for letter case (FNV-1a).
unsigned long HashNoCase(const char *text);

// True when the two texts are equal but for letter case.
bool EqualNoCase(const char *first, const char *second);

// True when text begins with prefix, regardless of letter case.
bool StartsWithNoCase(const char *text, const char *prefix);

// True when needle occurs in haystack, regardless of letter case.
bool ContainsNoCase(const char *haystack, const char *needle);
