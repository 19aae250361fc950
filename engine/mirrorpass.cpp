// Mirror pass: copies what is missing or has another last-write time.
#include "passes.h"
#include "copyfile.h"
#include "display.h"
#include "listing.h"
#include "names.h"
#include "notices.h"
#include "ownfiles.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/paths.h"
#include "base/widetext.h"
#include "removal.h"
#include "runstate.h"
#include "sourcewalk.h"
#include "base/texts.h"
#include <stdio.h>

enum {
    SIZE_TEXT_MAX = 100,
    LARGE_COPY_BYTES = 1024 * 1024 // a copy this large shows its line at once
};

// What the mirror of one pair shares: the pair, whether target entries of
// the wrong kind may be removed, and whether a target folder was found
// swapped (nothing more is written then).
struct MirrorRun {
    PairFolders *pair;
    bool resolveKinds;
    bool targetSwapped;
};

// Rounded up to KiB, and above 1024 KiB to whole MiB.
void FormatFileSize(unsigned long long size, char *out, size_t outSize)
{
    unsigned long long kib = (size + 1023) / 1024;
    if (kib <= 1024)
        snprintf(out, outSize, "%llu%s", kib, KILOBYTES_UNIT);
    else
        snprintf(out, outSize, "%llu%s", (kib + 1023) / 1024, MEGABYTES_UNIT);
}

// Raises the file bar as whole percentages grow, and keeps the display current while a long copy runs.
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

static bool TargetFolderHeld(SourceLevel *level, bool askNow);

// Copies one file, asking the user on failure (abort, retry, ignore); the
// first attempt may know the target missing. A large file shows its line at
// once, not at the next refresh. A source that vanished as a whole ends the
// run instead of prompting for every file. A copy whose source changed while
// it was read is discarded and tried once more at once; a source that
// changes again is left alone for this run, without a prompt. A target
// folder swapped before the rename stops the pair, as a swap found before
// the copy does.
static void CopyStep(SourceLevel *level, const WCHAR *sourceFile, const WCHAR *targetFile, const WalkEntry *walked,
                     bool targetMissing)
{
    const WCHAR *root = ((const MirrorRun *)level->walk->context)->pair->sourcePath;
    HeldFolder held = {level->targetHeld, level->targetIndex};
    char sizeText[SIZE_TEXT_MAX], name[STATUS_TEXT_MAX];
    char fileText[STATUS_TEXT_MAX];
    FormatFileSize(walked->entry->size, sizeText, sizeof sizeText);
    AnsiFromWide(walked->name, name, sizeof name);
    snprintf(fileText, sizeof fileText, CURRENT_FILE_FORMAT, name, sizeText);
    RecordCurrentFile(fileText);
    RecordFileProgress(0);
    if (walked->entry->size >= LARGE_COPY_BYTES)
        FlushDisplay();
    else
        RefreshDisplay();
    for (int changes = 0;;) {
        bool holdsEntry;
        LastFilePercent = 0;
        DWORD code = CopyOverTarget(sourceFile, targetFile, targetMissing, CopyProgress, (LPBOOL)&CancelRequested,
                                    level->targetLearnt ? &held : NULL);
        targetMissing = false;
        if (code == ERROR_SUCCESS) {
            CopiedFiles++;
            WriteLogLine(LOG_COPIED, sourceFile);
            return;
        }
        if (code == SOURCE_CHANGED && ++changes < 2)
            continue;
        if (code == SOURCE_CHANGED) {
            ReportChangedWhileCopied(sourceFile);
            return;
        }
        if (code == TARGET_FOLDER_CHANGED) {
            if (TargetFolderHeld(level, true)) // swapped back meanwhile: this file waits for the next run
                ReportLeftAlone(sourceFile);
            return;
        }
        DWORD rootCode = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? ProbeFolder(root, &holdsEntry)
                                                                                      : ERROR_SUCCESS;
        if (rootCode != ERROR_SUCCESS) {
            ReportListingError(rootCode, root);
            return;
        }
        if (PathRefused(code, targetFile) || PathRefused(code, sourceFile)) {
            ReportLeftAlone(sourceFile);
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

// Counts the files of a source folder the mirror leaves alone as processed,
// so that a finished run's counters add up.
static void LeaveFolderAlone(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub)
{
    ProcessedFiles += CountFilesBelow(level, sourceSub, targetSub);
}

// Removes the target folder standing where the source has a file, when the
// run may; true when it is gone. Otherwise the source file is reported
// (what the folder kept has reported itself).
static bool ClearFolderInTheWay(SourceLevel *level, const WCHAR *sourceFile, const WCHAR *targetFile)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    WCHAR *targetSub = run->resolveKinds ? WideJoin(targetFile, L"\\") : NULL;
    WCHAR *targetFinal = targetSub != NULL ? FinalPathInTarget(run->pair, targetFile) : NULL;
    bool cleared = targetFinal != NULL && CleanAwayTargetFolder(run->pair, targetSub, targetFinal);
    MemoryFree(targetSub);
    MemoryFree(targetFinal);
    if (!cleared && !IsCancelRequested())
        ReportLeftAlone(sourceFile);
    return cleared;
}

// Removes the target file standing where the source has a folder, when the
// run may; true when it is gone. Otherwise one line tells of the conflict:
// the target's, when a link or a file held open there was kept, else the source folder's.
static bool ClearFileInTheWay(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetName)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    WCHAR *targetFinal = run->resolveKinds ? FinalPathInTarget(run->pair, targetName) : NULL;
    DWORD code = targetFinal != NULL ? CleanAwayTargetFile(run->pair, targetName, targetFinal) : ERROR_CANCELLED;
    MemoryFree(targetFinal);
    if (code == ERROR_SUCCESS)
        return true;
    if (code != LINK_KEPT && code != DELETE_PENDING && !IsCancelRequested())
        ReportLeftAlone(sourceSub);
    return false;
}

// How long a target folder counts as still in its place once its path was
// found leading to it, where the copy creates new files through the handle
// held on it (the own copy, the one used under Wine): a swap cannot redirect
// them, and a replacement asks again right before its rename. Asked before
// every copy, the path cost a first mirror a fifth of its time under Wine.
// The platform's copy writes by path, so there it is asked before every copy.
static const ULONGLONG TARGET_RECHECK_MS = 10;

// True while level's target folder is the one the mirror entered, asked
// before each write into it: at the first look its final path must be the
// one below the pair's target (a folder swapped for a link leads elsewhere),
// later its file index the one seen then (at most every TARGET_RECHECK_MS
// where that suffices, unless askNow is set: a read-only target's attribute
// is cleared through its path). From the first look on the folder is held
// open without sharing deletion, which on Windows refuses its rename (Wine
// does not enforce that). The index is asked without the volume serial,
// which costs Wine a millisecond. A swap found stops the pair: told once,
// nothing more written, no cleanup. (A pair's target that was missing at the
// start is left to its failing copies.)
static bool TargetFolderHeld(SourceLevel *level, bool askNow)
{
    MirrorRun *run = (MirrorRun *)level->walk->context;
    ULONGLONG index = 0;
    if (run->targetSwapped)
        return false;
    if (level->parent == NULL && !run->pair->targetIdentity.known)
        return true; // a target missing at the start: its copies fail on their own
    ULONGLONG now = GetTickCount64();
    if (level->targetLearnt) {
        if (!askNow && ReplacementCopy == OWN_COPY && now - level->targetConfirmed < TARGET_RECHECK_MS)
            return true;
        level->targetConfirmed = now;
        if (FileIndexAt(level->target, &index) && index == level->targetIndex)
            return true;
    } else {
        level->targetConfirmed = now;
        level->targetHeld = OpenPath(level->target, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
        bool open = level->targetHeld != INVALID_HANDLE_VALUE && FileIndexOf(level->targetHeld, &index);
        WCHAR *actual = open ? FinalPathOf(level->targetHeld) : NULL;
        WCHAR *expected = actual != NULL ? FinalPathInTarget(run->pair, level->target) : NULL;
        level->targetLearnt = expected != NULL && EqualNoCaseW(expected, actual);
        level->targetIndex = index;
        MemoryFree(actual);
        MemoryFree(expected);
        if (level->targetLearnt)
            return true;
    }
    run->targetSwapped = true;
    run->pair->cleanupStopped = true;
    WriteLogLine(LOG_TARGET_CHANGED, level->target);
    ShowPathNote(TARGET_CHANGED_NOTE, level->target, MB_ICONWARNING);
    return false;
}

// Mirrors one source file: copied when the target lacks it or has another
// last-write time. In a target folder this walk made, every file is new.
// A link in the target is never written through, and the program's own
// files are never overwritten.
static void MirrorFile(SourceLevel *level, const WalkEntry *walked)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    const WCHAR *sourceFile = walked->sourcePath, *targetFile = walked->targetPath;
    WIN32_FILE_ATTRIBUTE_DATA target;
    if (level->targetCreated) {
        if (TargetFolderHeld(level, false))
            CopyStep(level, sourceFile, targetFile, walked, true);
    } else if (!AttributesAt(targetFile, &target)) {
        bool missing = GetLastError() == ERROR_FILE_NOT_FOUND;
        if (TargetFolderHeld(level, false))
            CopyStep(level, sourceFile, targetFile, walked, missing);
    } else if (IsLinkEntry(target.dwFileAttributes)) {
        ReportLeftAlone(targetFile);
    } else if (IsFolderEntry(target.dwFileAttributes)) {
        if (ClearFolderInTheWay(level, sourceFile, targetFile) && TargetFolderHeld(level, false))
            CopyStep(level, sourceFile, targetFile, walked, true);
    } else if (!SameWriteTime(&target.ftLastWriteTime, &walked->entry->lastWriteTime, run->pair->timeRule)) {
        if (IsOwnFile(targetFile, walked->name))
            ReportLeftAlone(sourceFile);
        else if (TargetFolderHeld(level, (target.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0))
            CopyStep(level, sourceFile, targetFile, walked, false);
    }
}

// Makes the target folder targetName in level's target folder, through the
// handle the mirror holds on it where it has one.
static bool MakeFolderIn(const SourceLevel *level, const WCHAR *targetName)
{
    if (!level->targetLearnt || level->targetHeld == INVALID_HANDLE_VALUE)
        return MakeFolder(targetName) != 0;
    HANDLE made = CreateBelow(level->targetHeld, LastPartW(targetName), FILE_READ_ATTRIBUTES, true);
    if (made == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(made);
    return true;
}

// Mirrors one source sub-folder: the target folder is created when missing
// (before its content is looked at, so empty folders appear too) and then
// mirrored in turn. A folder link in the target is never entered; a folder
// made by this walk holds nothing to ask about.
static void MirrorSubFolder(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    WCHAR *targetName = WideCopy(targetSub);
    if (targetName == NULL)
        return;
    targetName[wcslen(targetName) - 1] = 0; // without its trailing backslash
    DWORD attributes = level->targetCreated ? INVALID_FILE_ATTRIBUTES : AttributesOf(targetName);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    bool fileInTheWay = exists && !IsFolderEntry(attributes) && !IsLinkEntry(attributes);
    bool enter = true, created = false;
    if (exists && IsLinkEntry(attributes)) {
        ReportLeftAlone(targetSub);
        enter = false;
    } else if (fileInTheWay && !ClearFileInTheWay(level, sourceSub, targetName)) {
        enter = false;
    } else {
        created = (!exists || fileInTheWay) && TargetFolderHeld(level, false) && MakeFolderIn(level, targetName);
        if (!created && (!exists || fileInTheWay) && !run->targetSwapped && PathRefused(GetLastError(), targetName)) {
            ReportLeftAlone(sourceSub); // a path the target's file system refuses
            enter = false;
        }
    }
    MemoryFree(targetName);
    if (!enter) {
        LeaveFolderAlone(level, sourceSub, targetSub);
        return;
    }
    if (IsCancelRequested())
        return;
    if (run->targetSwapped) {
        LeaveFolderAlone(level, sourceSub, targetSub);
        return;
    }
    if (!run->resolveKinds && !created)
        RemoveLeftoverIn(targetSub);
    WalkBelow(level, sourceSub, targetSub, created);
}

// Handles one entry of the source walk.
static void MirrorEntry(SourceLevel *level, const WalkEntry *walked)
{
    const MirrorRun *run = (const MirrorRun *)level->walk->context;
    if (walked->verdict == SKIP_QUIETLY)
        return;
    if (run->targetSwapped) { // nothing more is written: what was counted counts as processed
        if (walked->verdict == LEAVE_ALONE)
            return;
        if (IsFolderEntry(walked->entry->attributes))
            LeaveFolderAlone(level, walked->sourcePath, walked->targetPath);
        else
            ProcessedFiles++;
    } else if (walked->verdict == LEAVE_ALONE) {
        ReportLeftAlone(walked->sourcePath);
    } else if (IsFolderEntry(walked->entry->attributes)) {
        MirrorSubFolder(level, walked->sourcePath, walked->targetPath);
    } else {
        MirrorFile(level, walked);
        ProcessedFiles++;
    }
    RefreshDisplay();
}

// The display shows the exact counters when the pass ends. After a cancel nothing is copied, but a source that
// cannot be listed is still reported.
void MirrorFolder(PairFolders *pair, bool resolveKinds)
{
    bool holdsEntry;
    if (IsCancelRequested()) {
        DWORD code = ProbeFolder(pair->sourcePath, &holdsEntry);
        if (code != ERROR_SUCCESS)
            ReportListingError(code, pair->sourcePath);
        return;
    }
    if (!resolveKinds)
        RemoveLeftoverIn(pair->targetPath);
    MirrorRun run = {pair, resolveKinds, false};
    WalkSource(pair, MirrorEntry, &run);
    FlushDisplay();
}
