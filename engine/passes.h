// The three passes of a sync run over one pair of folders, and the check
// that decides whether the run may clean its targets.
#pragma once
#include <windows.h>

// Counts the files below source that the mirror pass takes, at every depth.
int CountSourceFiles(const char *source, const char *target);

// Brings the target tree up to date with the source tree. With resolveKinds
// (the run cleans its targets) a target entry whose kind differs from its
// source entry's is removed before the source entry is mirrored.
void MirrorFolder(const char *source, const char *target, bool resolveKinds);

// Removes what the target tree has and the source tree lacks.
void CleanTargetFolder(const char *source, const char *target);

// Removes the target folder targetSub, whose source counterpart sourceSub
// is no folder, with everything in it as the cleanup would; true when it is
// gone. targetFinal is its final path, root the pair's source folder.
bool CleanAwayTargetFolder(const char *root, const char *sourceSub, const char *targetSub, const char *targetFinal);

// Removes the target file targetFile (final path targetFinal), logged and
// counted as the cleanup would; true when it is gone.
bool CleanAwayTargetFile(const char *targetFile, const char *targetFinal);

// True when the cleanup passes of this run may run: the box is ticked and no
// pair's folders overlap another's; an overlap is warned about once.
bool CleanupAllowed();

// Progress routine handed to the copy routine.
DWORD CALLBACK CopyProgress(LARGE_INTEGER TotalFileSize, LARGE_INTEGER TotalBytesTransferred,
                            LARGE_INTEGER StreamSize, LARGE_INTEGER StreamBytesTransferred,
                            DWORD dwStreamNumber, DWORD dwCallbackReason, HANDLE hSourceFile,
                            HANDLE hDestinationFile, LPVOID lpData);

// Size text of the current-file line: number and unit (" KB'" or " MB'").
void FormatFileSize(unsigned long long size, char *out, size_t outSize);
