// The program's own files, which a run never deletes or overwrites: the
// running program, its auto-save file and its run log.
#pragma once
#include <windows.h>

// Learns what the own files are; a path that is NULL or cannot be opened is left out.
void IdentifyOwnFiles(const char *programPath, const char *autoSavePath, const char *logPath);

// Forgets what the own files are (the run's end).
void ForgetOwnFiles();

// True when the entry called name at path is one of the own files. Only an
// entry whose name is an own file's long or short name is asked about.
bool IsOwnFile(const WCHAR *path, const WCHAR *name);

// True when the entry called name at path is the log this run writes.
bool IsRunLog(const WCHAR *path, const WCHAR *name);
