// Selection files and the auto-save file "Ini.dat": "@@<entry>" per entry, then NUL.
#pragma once
#include <windows.h>

enum {
    SELECTION_READ_MAX = 10000, // largest selection file, final NUL included
    FILE_NAME_MAX = 260,        // file name the dialogs may return
    FILE_NAME_BUFFER = FILE_NAME_MAX + 20
};

extern const char AUTO_SAVE_NAME[];
extern const char SELECTION_EXTENSION[];
extern char AutoSavePath[MAX_PATH];

// Finds "Ini.dat" in the program's folder, then in the current folder, and
// else names the one in the current folder; every later auto-save and load
// uses that path.
void ResolveAutoSavePath();

// True when the list, with one more entry of entryLength characters, still
// fits one selection file.
bool ListFitsWith(size_t entryLength);

// Writes the list to name (NULL: the auto-save file) in one replacing step;
// a failure keeps the old file and is reported. True on success.
bool SavePairList(const char *name);

// Replaces the list by the entries of name (NULL: the auto-save file, silent
// when missing); a named file is then auto-saved. True when the file was read.
bool LoadPairList(const char *name);

// Splits a file's text at "@" runs into the well-formed entries it holds,
// calling add for each; returns the number of pieces refused.
int ParseSelectionText(const char *bytes, int length, void (*add)(const char *entry, void *context),
                       void *context);

// Appends ".MirrorixPath" to name unless it contains it; false when it does not fit.
bool AddSelectionExtension(char *name, size_t size);

// The open command: dialog, load, button states, confirmation.
void OpenSelectionFile();

// The save command: dialog, extension, save, confirmation.
void SaveSelectionFile();
