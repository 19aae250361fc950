// The shell's folder browser.
#pragma once
#include <windows.h>

// Lets the user choose a folder; folder (FOLDER_TEXT_MAX bytes) receives its
// path with a trailing backslash, and keeps its content on cancel, on an item
// without a file-system path and on a path a pair entry cannot carry (after
// a notice).
void BrowseForFolder(HWND owner, char *folder, const char *prompt);
