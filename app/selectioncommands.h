// The open and save commands of the "Datei" menu.
#pragma once
#include <stddef.h>

enum {
    FILE_NAME_MAX = 260,                 // file name the dialogs may return
    FILE_NAME_BUFFER = FILE_NAME_MAX + 20 // with room for the extension behind it
};

// Appends ".MirrorixPath" to name unless it contains it; false when it does not fit.
bool AddSelectionExtension(char *name, size_t size);

// The open command: dialog, load, button states, confirmation.
void OpenSelectionFile();

// The save command: dialog, extension, save, confirmation.
void SaveSelectionFile();
