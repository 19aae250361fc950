// Selection files and the auto-save file "Ini.dat": "@@<entry>" per entry, then NUL.
#pragma once
#include <stddef.h>

// True when the list, with one more entry of entryLength characters, still
// fits one selection file.
bool ListFitsWith(size_t entryLength);

// Writes the list to name (NULL: the auto-save file) in one replacing step;
// a failure keeps the old file and is reported, and so is an auto-save file
// that could neither be read whole nor set aside at the start. True on success.
bool SavePairList(const char *name);

// Replaces the list by the entries of name (NULL: the auto-save file, silent
// when missing); a named file is then auto-saved. A file with content but
// no valid entry changes nothing. An auto-save file that cannot be read whole
// (or holds no valid entry) is set aside under a new name beside it, so that
// no save replaces it. True when the list was loaded.
bool LoadPairList(const char *name);

// Splits a file's text at "@" runs into the well-formed entries it holds,
// calling add for each; returns the number of pieces refused.
int ParseSelectionText(const char *bytes, int length, void (*add)(const char *entry, void *context), void *context);
