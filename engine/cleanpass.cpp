// Cleanup pass: removes what the target has and the source lacks, and the
// check that decides whether a run may clean at all.
#include "passes.h"
#include "copyfile.h"
#include "display.h"
#include "base/identity.h"
#include "listing.h"
#include "names.h"
#include "ownfiles.h"
#include "notices.h"
#include "base/memory.h"
#include "base/paths.h"
#include "base/widetext.h"
#include "removal.h"
#include "runstate.h"
#include "sourcefolders.h"
#include "sourcewalk.h"
#include "base/texts.h"
#include "base/globals.h"
#include <stdio.h>
#include <string.h>
#include <wchar.h>

// One target folder being cleaned: its path and final path, the level it
// was entered from, and the level of its source counterpart (NULL where the
// source has no folder there, so that everything in it goes).
struct CleanLevel {
    PairFolders *pair;
    struct CleanLevel *parent; // NULL at the top of a cleanup
    const WCHAR *target;       // ends in a backslash
    const WCHAR *targetFinal;
    SourceLevel *source;
    bool sourceChecked; // its source folder was found unchanged before its first deletion
    bool frozen;        // its source folder changed: nothing is deleted here or below
};

// The paths of one target entry, each in a block of its own: itself (a
// folder's with a trailing backslash), its name alone and its final path.
struct EntryPaths {
    WCHAR *target;
    WCHAR *targetName;
    WCHAR *targetFinal;
};

// True while the pair's source is still the folder learnt at the start and,
// when the count found files in it, holds an entry: a disk unplugged or
// unmounted leaves its empty folder behind, in which every counterpart looks
// absent. (A source without files empties its target only when the user
// agreed to that.)
static bool SourceUnchanged(const PairFolders *pair)
{
    Identity now = {};
    bool same = Identify(pair->sourcePath, &now) && StillTheSame(&pair->sourceIdentity, &now) &&
                (pair->fileCount == 0 || SourceFolderHoldsEntry(pair->sourcePath));
    ForgetIdentity(&now);
    return same;
}

// Logs a source folder that changed, and tells the user of the first one of the pair.
static void TellSourceChanged(PairFolders *pair, const WCHAR *sourceFolder, const WCHAR *targetFolder)
{
    char source[PATH_TEXT_MAX], target[PATH_TEXT_MAX], text[NOTICE_TEXT_MAX];
    WriteLogLine(LOG_SOURCE_CHANGED, sourceFolder);
    if (pair->sourceChangeTold)
        return;
    pair->sourceChangeTold = true;
    AnsiFromWide(sourceFolder, source, sizeof source);
    AnsiFromWide(targetFolder, target, sizeof target);
    snprintf(text, sizeof text, SOURCE_CHANGED_NOTE, source, target);
    ShowRunNote(text, MB_ICONWARNING);
}

// Ends the pair's cleanup for good.
static void StopCleanup(PairFolders *pair)
{
    if (pair->cleanupStopped)
        return;
    pair->cleanupStopped = true;
    TellSourceChanged(pair, pair->sourcePath, pair->targetPath);
}

// True while the pair's cleanup goes on and its source is unchanged; a
// changed source ends the pair's cleanup.
static bool SourceStillLearnt(PairFolders *pair)
{
    if (pair->cleanupStopped)
        return false;
    if (SourceUnchanged(pair))
        return true;
    StopCleanup(pair);
    return false;
}

// The level whose source folder's listing decides what goes in level: its
// own, or for a folder the source lacks, the nearest one above.
static CleanLevel *Judge(CleanLevel *level)
{
    while (level->source == NULL && level->parent != NULL)
        level = level->parent;
    return level;
}

// True when a deletion in level's target folder may go ahead: no cancel,
// nothing frozen on the way up, the pair's source unchanged, and the source
// folder that decides still the one the count pass learnt (a changed one
// freezes its target folder). Asked once per deciding folder, and again when
// again is set (before a folder's removal).
static bool MayDelete(CleanLevel *level, bool again)
{
    if (IsCancelRequested() || level->pair->cleanupStopped)
        return false;
    for (const CleanLevel *on = level; on != NULL; on = on->parent)
        if (on->frozen)
            return false;
    CleanLevel *judge = Judge(level);
    if (judge->sourceChecked && !again)
        return true;
    if (!SourceStillLearnt(level->pair))
        return false;
    bool byCreationTime = level->pair->sourceIdentity.volumeSerial == 0;
    if (judge->source != NULL && !SourceFolderUnchanged(judge->source->source, byCreationTime)) {
        judge->frozen = true;
        TellSourceChanged(level->pair, judge->source->source, judge->target);
        return false;
    }
    judge->sourceChecked = true;
    return true;
}

// Builds the paths of a target entry; false when memory is short.
static bool BuildPaths(const CleanLevel *level, const WCHAR *name, bool folder, EntryPaths *paths)
{
    paths->target = WideJoin(level->target, name, folder ? L"\\" : L"");
    paths->targetName = WideJoin(level->target, name);
    paths->targetFinal = WideJoin(level->targetFinal, L"\\", name);
    return paths->target != NULL && paths->targetName != NULL && paths->targetFinal != NULL;
}

// Frees the paths of a target entry.
static void ReleasePaths(EntryPaths *paths)
{
    MemoryFree(paths->target);
    MemoryFree(paths->targetName);
    MemoryFree(paths->targetFinal);
}

// Deletes a target file without following a link; logged and counted once
// its name is gone. A link, or a file another program holds open so that its
// name stays, is reported as left alone, one of the program's own files kept
// silently (ERROR_ACCESS_DENIED), and a failed deletion reported, which
// cancels the run. Returns 0 or why the file stays.
static DWORD DeleteTargetFile(const WCHAR *path, const WCHAR *finalPath)
{
    if (IsOwnFile(path, LastPartW(path)))
        return ERROR_ACCESS_DENIED;
    DWORD code = RemoveFileName(path, finalPath);
    if (code == ERROR_SUCCESS) {
        CleanedEntries++;
        WriteLogLine(LOG_DELETED, path);
    } else if (code == LINK_KEPT || code == DELETE_PENDING || PathRefused(code, path)) {
        ReportLeftAlone(path);
    } else {
        ReportDeleteError(code, path);
    }
    return code;
}

// Removes an emptied target folder through the handle check, so that a
// folder swapped for a link is never removed through it; counted as an
// attempt whether or not it goes. True when it is gone.
static bool RemoveTargetFolder(const EntryPaths *paths)
{
    DWORD code = RemoveFileName(paths->targetName, paths->targetFinal);
    CleanedEntries++;
    if (code == LINK_KEPT)
        ReportLeftAlone(paths->target);
    return code == ERROR_SUCCESS;
}

// Removes a target folder link the source lacks, as a link only; counted
// only when it was removed. One the platform would resolve is kept and reported.
static void RemoveFolderLink(const EntryPaths *paths)
{
    DWORD code = RemoveFileName(paths->targetName, paths->targetFinal);
    if (code == ERROR_SUCCESS)
        CleanedEntries++;
    else if (code == LINK_KEPT)
        ReportLeftAlone(paths->target);
}

static void CleanLevelEntries(CleanLevel *level);

// Cleans the target folder of paths against the source folder sourceSub
// (NULL: the source has none there; parent is the level of sourceSub's
// folder). A source folder that cannot be read leaves the target folder
// alone and reported, unless the whole source changed, which ends the
// pair's cleanup.
static void CleanBelow(PairFolders *pair, CleanLevel *above, SourceLevel *parent, const EntryPaths *paths,
                       const WCHAR *sourceSub)
{
    CleanLevel below = {pair, above, paths->target, paths->targetFinal, NULL, false, false};
    SourceWalk walk = {pair, NULL, NULL, false};
    SourceLevel source;
    if (sourceSub == NULL) {
        CleanLevelEntries(&below);
        return;
    }
    if (OpenSourceLevel(&source, &walk, parent, sourceSub, paths->target) != ERROR_SUCCESS) {
        if (SourceStillLearnt(pair))
            ReportLeftAlone(paths->target);
    } else {
        below.source = &source;
        CleanLevelEntries(&below);
    }
    CloseSourceLevel(&source);
}

// Handles a target entry whose name ordinary paths cannot take: kept, and
// reported unless the source holds it too (the mirror reported it there).
static void KeepUnaddressable(const EntryPaths *paths, bool inSource)
{
    if (!inSource)
        ReportLeftAlone(paths->target);
}

// Handles one target entry. The program's temporary file is removed without
// a trace. An entry whose source counterpart (the chosen spelling of its
// name, of either kind) is present stays, and a folder of a source folder
// is cleaned in turn; an absent one is deleted, a folder after its content.
static void CleanEntry(CleanLevel *level, const FolderLevel *targets, int index)
{
    const ListedEntry *entry = &targets->entries[index];
    const WCHAR *name = EntryName(targets, index);
    bool folder = IsFolderEntry(entry->attributes), link = IsLinkEntry(entry->attributes);
    EntryPaths paths;
    if (!BuildPaths(level, name, folder, &paths)) {
        ReleasePaths(&paths);
        return;
    }
    if (IsLeftover(name, entry->attributes) && RemoveLeftover(paths.target) == ERROR_SUCCESS) {
        ReleasePaths(&paths);
        return;
    }
    WCHAR *sourcePath = NULL, *targetPath = NULL;
    int counterpart = level->source == NULL ? -1 : ChosenSpelling(&level->source->names, &level->source->listing, name);
    if (!NameAddressable(name)) {
        KeepUnaddressable(&paths, counterpart >= 0);
    } else if (counterpart < 0 && !folder) {
        if (MayDelete(level, false))
            DeleteTargetFile(paths.target, paths.targetFinal);
    } else if (counterpart < 0 && link) {
        if (MayDelete(level, false))
            RemoveFolderLink(&paths);
    } else if (counterpart < 0) {
        CleanBelow(level->pair, level, NULL, &paths, NULL);
        if (MayDelete(level, true))
            RemoveTargetFolder(&paths);
    } else if (folder && !link && IsFolderEntry(level->source->listing.entries[counterpart].attributes) &&
               JudgeSourceEntry(level->source, counterpart, &sourcePath, &targetPath) == TAKE) {
        CleanBelow(level->pair, level, level->source, &paths, sourcePath);
    }
    MemoryFree(sourcePath);
    MemoryFree(targetPath);
    ReleasePaths(&paths);
    if (!folder)
        CheckedTargetFiles++;
    RefreshDisplay();
}

// Cleans one target folder level and everything below it. After a cancel,
// or once the pair's cleanup has ended, nothing more is deleted; a target
// folder that cannot be listed is passed over.
static void CleanLevelEntries(CleanLevel *level)
{
    FolderLevel targets;
    if (!IsCancelRequested() && !level->pair->cleanupStopped &&
        ReadFolderLevel(level->target, &targets) == ERROR_SUCCESS)
        for (int i = 0; i < targets.count && !IsCancelRequested() && !level->pair->cleanupStopped; i++)
            CleanEntry(level, &targets, i);
    ReleaseFolderLevel(&targets);
}

// True when folder holds a file at any depth (links are not entered).
static bool HoldsFile(const WCHAR *folder)
{
    FolderLevel level;
    bool holds = false;
    ReadFolderLevel(folder, &level);
    for (int i = 0; i < level.count && !holds; i++) {
        DWORD attributes = level.entries[i].attributes;
        WCHAR *below = IsFolderEntry(attributes) && !IsLinkEntry(attributes)
                           ? WideJoin(folder, EntryName(&level, i), L"\\")
                           : NULL;
        holds = !IsFolderEntry(attributes) || (below != NULL && HoldsFile(below));
        MemoryFree(below);
    }
    ReleaseFolderLevel(&level);
    return holds;
}

// True when the cleanup may go on: the count found a file in the source,
// the target holds none, or the user agrees to empty the target (an
// unplugged disk or a missing mount leaves a source without files).
static bool SourceHoldsFilesOrUserAgrees(const PairFolders *pair)
{
    char question[NOTICE_TEXT_MAX];
    if (pair->fileCount > 0 || !HoldsFile(pair->targetPath))
        return true;
    snprintf(question, sizeof question, EMPTY_SOURCE_QUESTION, pair->source, pair->target);
    return AskRunQuestion(question);
}

// The display shows the exact counters when the pass ends. A target that could not be identified at the start is
// not cleaned.
void CleanTargetFolder(PairFolders *pair)
{
    if (IsCancelRequested() || pair->cleanupStopped || !pair->targetIdentity.known ||
        !SourceHoldsFilesOrUserAgrees(pair))
        return;
    CleanLevel top = {pair, NULL, pair->targetPath, pair->targetIdentity.finalPath, NULL, false, false};
    SourceWalk walk = {pair, NULL, NULL, false};
    SourceLevel source;
    if (OpenSourceLevel(&source, &walk, NULL, pair->sourcePath, pair->targetPath) != ERROR_SUCCESS) {
        SourceStillLearnt(pair);
    } else {
        top.source = &source;
        CleanLevelEntries(&top);
    }
    CloseSourceLevel(&source);
    FlushDisplay();
}

bool CleanAwayTargetFolder(PairFolders *pair, const WCHAR *targetSub, const WCHAR *targetFinal)
{
    EntryPaths paths = {WideCopy(targetSub), WideCopy(targetSub), WideCopy(targetFinal)};
    bool removed = false;
    if (paths.target != NULL && paths.targetName != NULL && paths.targetFinal != NULL) {
        paths.targetName[wcslen(paths.targetName) - 1] = 0; // without its trailing backslash
        CleanLevel away = {pair, NULL, targetSub, targetFinal, NULL, false, false};
        CleanBelow(pair, &away, NULL, &paths, NULL);
        removed = MayDelete(&away, true) && RemoveTargetFolder(&paths);
    }
    ReleasePaths(&paths);
    return removed;
}

DWORD CleanAwayTargetFile(PairFolders *pair, const WCHAR *targetFile, const WCHAR *targetFinal)
{
    CleanLevel away = {pair, NULL, targetFile, targetFinal, NULL, false, false};
    CheckedTargetFiles++;
    if (!MayDelete(&away, true))
        return ERROR_CANCELLED;
    return DeleteTargetFile(targetFile, targetFinal);
}

bool CleanupAllowed()
{
    if (SendMessageA(CleanupCheckbox, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return false;
    if (!PairsOverlap())
        return true;
    ShowRunNote(OVERLAP_WARNING, MB_ICONWARNING);
    return false;
}
