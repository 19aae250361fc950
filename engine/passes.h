// The three passes of a sync run over one pair of folders, as the run learnt
// it at its start, and the check that decides whether the run may clean its
// targets.
#pragma once
#include <windows.h>
#include "removal.h"
#include "pairs/folderrules.h"

struct SourceLevel;

// Counts the files below the pair's source that the mirror pass takes, at every depth.
int CountSourceFiles(PairFolders *pair);

// Counts the files below a taken sub-folder of level that a walk would take.
int CountFilesBelow(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub);

// Brings the pair's target tree up to date with its source tree. With
// resolveKinds (the run cleans its targets) a target entry whose kind
// differs from its source entry's is removed before the source entry is
// mirrored; without, a temporary file a killed run left is removed here.
void MirrorFolder(PairFolders *pair, bool resolveKinds);

// Removes what the pair's target tree has and its source tree lacks.
void CleanTargetFolder(PairFolders *pair);

// Removes the target folder targetSub (final path targetFinal), whose source
// counterpart is no folder, with everything in it as the cleanup would; true
// when it is gone.
bool CleanAwayTargetFolder(PairFolders *pair, const WCHAR *targetSub, const WCHAR *targetFinal);

// Removes the target file targetFile (final path targetFinal), whose source
// counterpart is a folder, logged and counted as the cleanup would; a link
// kept is reported (LINK_KEPT), a failure cancels the run. Returns 0 or why
// the file stays.
DWORD CleanAwayTargetFile(PairFolders *pair, const WCHAR *targetFile, const WCHAR *targetFinal);

// True when the cleanup passes of this run may run: the box is ticked and no
// runnable pair's target overlaps another's folders; an overlap is warned about once.
bool CleanupAllowed();

// Progress routine handed to the copy routine.
DWORD CALLBACK CopyProgress(LARGE_INTEGER TotalFileSize, LARGE_INTEGER TotalBytesTransferred, LARGE_INTEGER StreamSize,
                            LARGE_INTEGER StreamBytesTransferred, DWORD dwStreamNumber, DWORD dwCallbackReason,
                            HANDLE hSourceFile, HANDLE hDestinationFile, LPVOID lpData);

// Size text of the current-file line: number and unit (" KB'" or " MB'").
void FormatFileSize(unsigned long long size, char *out, size_t outSize);
