// The auto-save file "Ini.dat": looked for once, at start, and used for
// every later save and load, whatever folder a file dialog visited.
#pragma once
#include <windows.h>

extern char AutoSavePath[MAX_PATH];

// Finds "Ini.dat" in the program's folder, then in the current folder, and
// else names the one in the current folder, in AutoSavePath.
void ResolveAutoSavePath();
