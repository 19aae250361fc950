// The open and save commands of the "Datei" menu.
#pragma once
#include <stddef.h>

enum { FILE_NAME_BUFFER = 280 }; // a name from the dialogs (260) and room for the extension

// Appends ".MirrorixPath" to name unless it contains it; false when it does not fit.
bool AddSelectionExtension(char *name, size_t size);

// The open command: dialog, load, button states, confirmation.
void OpenSelectionFile();

// The save command: dialog, extension, save, confirmation.
void SaveSelectionFile();
