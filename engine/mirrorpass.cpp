// Mirror pass: copies what is missing or has another last-write time.
#include "passes.h"
#include "copyfile.h"
#include "display.h"
#include "listing.h"
#include "notices.h"
#include "ownfiles.h"
#include "paths.h"
#include "runstate.h"
#include "sourcewalk.h"
#include "texts.h"
#include <stdio.h>

enum {
    SIZE_TEXT_MAX = 100,
    LARGE_COPY_BYTES = 1024 * 1024 // a copy this large shows its line at once
};

// What the mirror of one pair shares: the pair's source folder, and whether
// target entries of the wrong kind may be removed.
struct MirrorRun {
    const char *root;
    bool resolveKinds;
};

// Size text of the current-file line, rounded up to KiB, and above 1024 KiB to MiB.
void FormatFileSize(unsigned long long size, char *out, size_t outSize)
{
    unsigned long long kib = (size + 1023) / 1024;
    if (kib <= 1024)
        snprintf(out, outSize, "%llu%s", kib, KILOBYTES_UNIT);
    else
        snprintf(out, outSize, "%llu%s", (kib + 1023) / 1024, MEGABYTES_UNIT);
}

// Progress routine: raises the file bar as whole percentages grow, and keeps
// the display current while a long copy runs.
DWORD CALLBACK CopyProgress(LARGE_INTEGER TotalFileSize, LARGE_INTEGER TotalBytesTransferred, LARGE_INTEGER,
                            LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID)
{
    if (IsCancelRequested())
        return PROGRESS_CANCEL;
    if (TotalFileSize.QuadPart == 0)
        return PROGRESS_CONTINUE;
    int percent = (int)(TotalBytesTransferred.QuadPart * 100 / TotalFileSize.QuadPart);
    if (percent > LastFilePercent) {
        RecordFileProgress(percent);
        LastFilePercent = percent;
    }
    RefreshDisplay();
    return PROGRESS_CONTINUE;
}

// Copies one file, asking the user on failure (abort, retry, ignore). A
// large file shows its line at once, not at the next refresh.
static void CopyStep(const char *sourceFile, const char *targetFile, const WIN32_FIND_DATAA *entry,
                     const char *root)
{
    char sizeText[SIZE_TEXT_MAX];
    char fileText[STATUS_TEXT_MAX];
    unsigned long long size = ((unsigned long long)entry->nFileSizeHigh << 32) | entry->nFileSizeLow;
    FormatFileSize(size, sizeText, sizeof sizeText);
    snprintf(fileText, sizeof fileText, CURRENT_FILE_FORMAT, entry->cFileName, sizeText);
    RecordCurrentFile(fileText);
    RecordFileProgress(0);
    if (size >= LARGE_COPY_BYTES)
        FlushDisplay();
    else
        RefreshDisplay();
    for (;;) {
        DWORD code, rootCode;
        LastFilePercent = 0;
        if (CopyOverTarget(sourceFile, targetFile, CopyProgress, (LPBOOL)&CancelRequested, &code)) {
            CopiedFiles++;
            WriteLogLine(LOG_COPIED, sourceFile);
            return;
        }
        // A source that vanished as a whole ends the run instead of prompting for every file.
        if ((code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) && !FolderListable(root, &rootCode)) {
            ReportListingError(rootCode, root);
            return;
        }
        int answer = AskCopyError(code, sourceFile, targetFile);
        if (answer == IDRETRY)
            continue;
        if (answer == IDABORT)
            RequestCancel();
        else if (answer == IDIGNORE)
            WriteLogLine(LOG_SKIPPED, sourceFile);
        return;
    }
}

// Removes the target folder standing where the source has a file, when the
// run may; reports the source file when it stays in the way.
static bool ClearFolderInTheWay(SourceLevel *level, const char *sourceFile, const char *targetFile)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    char sourceSub[PATH_TEXT_MAX], targetSub[PATH_TEXT_MAX], targetFinal[PATH_TEXT_MAX];
    if (run->resolveKinds && JoinPath(sourceSub, sizeof sourceSub, sourceFile, "\\") &&
        JoinPath(targetSub, sizeof targetSub, targetFile, "\\") &&
        FinalPathInTarget(level->walk, targetFile, targetFinal, sizeof targetFinal) &&
        CleanAwayTargetFolder(run->root, sourceSub, targetSub, targetFinal))
        return true;
    if (!IsCancelRequested())
        ReportLeftAlone(sourceFile);
    return false;
}

// Removes the target file standing where the source has a folder, when the
// run may; reports the source folder when it stays in the way.
static bool ClearFileInTheWay(SourceLevel *level, const char *sourceSub, const char *targetName)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    char targetFinal[PATH_TEXT_MAX];
    if (run->resolveKinds && FinalPathInTarget(level->walk, targetName, targetFinal, sizeof targetFinal) &&
        CleanAwayTargetFile(targetName, targetFinal))
        return true;
    if (!IsCancelRequested())
        ReportLeftAlone(sourceSub);
    return false;
}

// Mirrors one source file: copied when the target lacks it or has another
// last-write time. A link in the target is never written through, and the
// program's own files are never overwritten.
static void MirrorFile(SourceLevel *level, const char *sourceFile, const char *targetFile,
                       const WIN32_FIND_DATAA *entry)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    WIN32_FILE_ATTRIBUTE_DATA target;
    if (!GetFileAttributesExA(targetFile, GetFileExInfoStandard, &target)) {
        CopyStep(sourceFile, targetFile, entry, run->root);
    } else if (IsLinkEntry(target.dwFileAttributes)) {
        ReportLeftAlone(targetFile);
    } else if (target.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (ClearFolderInTheWay(level, sourceFile, targetFile))
            CopyStep(sourceFile, targetFile, entry, run->root);
    } else if (CompareFileTime(&target.ftLastWriteTime, &entry->ftLastWriteTime) != 0 &&
               !IsOwnFile(targetFile, entry->cFileName)) {
        CopyStep(sourceFile, targetFile, entry, run->root);
    }
}

// Mirrors one source sub-folder: the target folder is created when missing
// (before its content is looked at, so empty folders appear too) and then
// mirrored in turn. A folder link in the target is never entered.
static void MirrorSubFolder(SourceLevel *level, const char *sourceSub, const char *targetSub)
{
    char targetName[PATH_TEXT_MAX];
    CopyText(targetName, sizeof targetName, targetSub);
    targetName[strlen(targetName) - 1] = 0;
    DWORD attributes = GetFileAttributesA(targetName);
    if (attributes != INVALID_FILE_ATTRIBUTES && IsLinkEntry(attributes)) {
        ReportLeftAlone(targetSub);
        return;
    }
    bool fileInTheWay = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (fileInTheWay && !ClearFileInTheWay(level, sourceSub, targetName))
        return;
    if (attributes == INVALID_FILE_ATTRIBUTES || fileInTheWay)
        CreateDirectoryA(targetName, NULL);
    WalkBelow(level, sourceSub, targetSub);
}

// Handles one entry of the source walk.
static void MirrorEntry(SourceLevel *level, const WIN32_FIND_DATAA *entry, Verdict verdict, const char *sourcePath,
                        const char *targetPath)
{
    if (verdict == SKIP_QUIETLY)
        return;
    if (verdict == LEAVE_ALONE) {
        ReportLeftAlone(sourcePath);
    } else if (IsFolderEntry(entry)) {
        MirrorSubFolder(level, sourcePath, targetPath);
    } else {
        MirrorFile(level, sourcePath, targetPath, entry);
        ProcessedFiles++;
    }
    RefreshDisplay();
}

// Brings the target tree up to date with the source tree; the display shows
// the exact counters when the pass ends. After a cancel nothing is copied,
// but a source that cannot be listed is still reported.
void MirrorFolder(const char *source, const char *target, bool resolveKinds)
{
    DWORD code;
    if (IsCancelRequested()) {
        if (!FolderListable(source, &code))
            ReportListingError(code, source);
        return;
    }
    MirrorRun run = {source, resolveKinds};
    WalkSource(source, target, MirrorEntry, &run);
    FlushDisplay();
}
