// The three passes of a sync run over one pair of folders.
#pragma once
#include <windows.h>

// Counts the files below folder, at every depth.
int CountSourceFiles(const char *folder);

// Brings the target tree up to date with the source tree.
void MirrorFolder(const char *source, const char *target);

// Removes what the target tree has and the source tree lacks.
void CleanTargetFolder(const char *source, const char *target);

// Where the cleanup stands: the source counterpart of the target folder
// being listed, and the pair's source folder, which must stay present.
struct CleanPlace {
    const char *source;
    const char *root;
};

// Handles one entry of a target listing (context: a CleanPlace) as the cleanup pass does.
void CleanTargetEntry(const char *target, const WIN32_FIND_DATAA *entry, void *context);

// Progress routine handed to the copy routine.
DWORD CALLBACK CopyProgress(LARGE_INTEGER TotalFileSize, LARGE_INTEGER TotalBytesTransferred,
                            LARGE_INTEGER StreamSize, LARGE_INTEGER StreamBytesTransferred,
                            DWORD dwStreamNumber, DWORD dwCallbackReason, HANDLE hSourceFile,
                            HANDLE hDestinationFile, LPVOID lpData);

// Size text of the current-file line: number and unit (" KB'" or " MB'").
void FormatFileSize(unsigned long long size, char *out, size_t outSize);

// True when the cleanup passes of this run may run.
bool CleanupAllowed();
