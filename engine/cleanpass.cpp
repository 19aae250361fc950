// Cleanup pass: removes what the target has and the source lacks, and the
// check that decides whether a run may clean at all.
#include "passes.h"
#include "copyfile.h"
#include "display.h"
#include "identity.h"
#include "listing.h"
#include "notices.h"
#include "paths.h"
#include "removal.h"
#include "runstate.h"
#include "texts.h"
#include "app/controls.h"
#include "pairs/folderrules.h"
#include <stdio.h>
#include <string.h>

// Where the cleanup stands: the pair's source folder, which must stay
// present; the target folder being listed, its final path, and its source
// counterpart.
struct CleanPlace {
    const char *root;
    const char *source;
    const char *target;
    const char *targetFinal;
};

// The paths of one target entry: its source counterpart and itself (a
// folder's with a trailing backslash), its name alone and its final path.
struct EntryPaths {
    char source[PATH_TEXT_MAX];
    char target[PATH_TEXT_MAX];
    char targetName[PATH_TEXT_MAX];
    char targetFinal[PATH_TEXT_MAX];
};

// True while the pair's source folder is still there. A source that vanished
// makes every counterpart look absent, so nothing may be deleted then: it is
// reported once and the run is cancelled.
static bool SourceRootPresent(const char *root)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(root, GetFileExInfoStandard, &data) && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    DWORD code = GetLastError();
    if (!IsCancelRequested())
        ReportListingError(code == ERROR_SUCCESS ? ERROR_DIRECTORY : code, root);
    return false;
}

// Result of asking whether the source counterpart of a target entry exists.
enum Counterpart { COUNTERPART_PRESENT, COUNTERPART_ABSENT, COUNTERPART_UNKNOWN };

// Asks for the source counterpart. Only a definite "not found" means absent;
// any other failure is reported (once per run), cancels it, and keeps the entry.
static Counterpart QueryCounterpart(const char *sourcePath)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(sourcePath, GetFileExInfoStandard, &data))
        return COUNTERPART_PRESENT;
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return COUNTERPART_ABSENT;
    if (!IsCancelRequested())
        ReportListingError(code, sourcePath);
    return COUNTERPART_UNKNOWN;
}

// Builds the paths of a target entry; false when one does not fit the
// buffers or the limit of the ANSI file functions.
static bool BuildPaths(const CleanPlace *place, const char *name, bool folder, EntryPaths *paths)
{
    const char *tail = folder ? "\\" : "";
    size_t limit = ANSI_PATH_LIMIT - (folder ? 3 : 0);
    return JoinPath(paths->source, sizeof paths->source, place->source, name, tail) &&
           JoinPath(paths->target, sizeof paths->target, place->target, name, tail) &&
           JoinPath(paths->targetName, sizeof paths->targetName, place->target, name) &&
           JoinPath(paths->targetFinal, sizeof paths->targetFinal, place->targetFinal, "\\", name) &&
           strlen(paths->source) < limit && strlen(paths->target) < limit;
}

// Deletes a target file without following a link; logged and counted. A
// link is kept and reported, an own file kept silently, and a failed
// deletion reported, which cancels the run. True when the file is gone.
static bool DeleteTargetFile(const char *path, const char *finalPath)
{
    DWORD code;
    Removal removal = RemoveFileName(path, finalPath, false, &code);
    if (removal == REMOVED) {
        CleanedEntries++;
        WriteLogLine(LOG_DELETED, path);
    } else if (removal == KEPT_AS_LINK) {
        ReportLeftAlone(path);
    } else if (removal == REMOVAL_FAILED) {
        ReportDeleteError(code, path);
    }
    return removal == REMOVED;
}

static void CleanTree(const CleanPlace *place);

// Removes a target folder link the source lacks, as a link only; counted
// only when it was removed. One the platform would resolve is kept and reported.
static void RemoveFolderLink(const EntryPaths *paths)
{
    DWORD code;
    Removal removal = RemoveFileName(paths->targetName, paths->targetFinal, false, &code);
    if (removal == REMOVED)
        CleanedEntries++;
    else if (removal == KEPT_AS_LINK)
        ReportLeftAlone(paths->target);
}

// Cleans a target sub-folder, then removes it when the source lacks it. A
// link is never entered. A folder whose removal fails is counted all the
// same (the count is of attempts) and stays, as does anything kept in it.
static void CleanSubFolder(const CleanPlace *place, const WIN32_FIND_DATAA *entry, const EntryPaths *paths)
{
    Counterpart counterpart = QueryCounterpart(paths->source);
    if (counterpart == COUNTERPART_UNKNOWN)
        return;
    if (IsLinkEntry(entry->dwFileAttributes)) {
        if (counterpart == COUNTERPART_ABSENT && SourceRootPresent(place->root))
            RemoveFolderLink(paths);
        return;
    }
    CleanPlace below = {place->root, paths->source, paths->target, paths->targetFinal};
    CleanTree(&below);
    if (counterpart == COUNTERPART_PRESENT || !SourceRootPresent(place->root))
        return;
    RemoveDirectoryA(paths->targetName);
    CleanedEntries++;
}

// Deletes a target file when the source lacks it; counts it as checked.
static void CleanFile(const CleanPlace *place, const EntryPaths *paths)
{
    if (QueryCounterpart(paths->source) == COUNTERPART_ABSENT && SourceRootPresent(place->root))
        DeleteTargetFile(paths->target, paths->targetFinal);
    CheckedTargetFiles++;
}

// Handles one entry of a target listing; context is the CleanPlace. The
// program's own temporary file is removed without a trace; an entry whose
// name or path the file functions cannot take is kept and reported.
static void CleanTargetEntry(const char *, const WIN32_FIND_DATAA *entry, void *context)
{
    const CleanPlace *place = (const CleanPlace *)context;
    const char *name = entry->cFileName;
    bool folder = IsFolderEntry(entry);
    EntryPaths paths;
    bool fits = BuildPaths(place, name, folder, &paths);
    if (!folder && fits && EqualNoCase(name, TEMPORARY_COPY_NAME)) {
        DWORD code;
        RemoveFileName(paths.target, paths.targetFinal, true, &code);
        return;
    }
    if (!fits || !NameUsable(name)) {
        snprintf(paths.target, sizeof paths.target, "%s%s", place->target, name);
        ReportLeftAlone(paths.target);
        if (!folder)
            CheckedTargetFiles++;
    } else if (folder) {
        CleanSubFolder(place, entry, &paths);
    } else {
        CleanFile(place, &paths);
    }
    RefreshDisplay();
}

// Cleans one target folder level and everything below it. After a cancel
// nothing is deleted; a target that cannot be listed is passed over.
static void CleanTree(const CleanPlace *place)
{
    DWORD code;
    if (IsCancelRequested())
        return;
    ListFolder(place->target, CleanTargetEntry, (void *)place, &code);
}

// True when the cleanup may go on: the source holds an entry, the target
// holds none, or the user agrees to empty the target. A source that cannot
// be listed is reported and cancels the run.
static bool SourceHoldsEntriesOrUserAgrees(const char *source, const char *target)
{
    bool sourceHolds, targetHolds;
    DWORD code;
    if (!FolderHoldsEntries(source, &sourceHolds, &code)) {
        ReportListingError(code, source);
        return false;
    }
    if (sourceHolds || !FolderHoldsEntries(target, &targetHolds, &code) || !targetHolds)
        return true;
    char question[NOTICE_TEXT_MAX];
    snprintf(question, sizeof question, EMPTY_SOURCE_QUESTION, source, target);
    FlushDisplay();
    return AskYes(question, MB_ICONWARNING, MB_DEFBUTTON2);
}

// Removes what the target tree has and the source tree lacks; the display
// shows the exact counters when the pass ends. A target that cannot be
// identified is not cleaned.
void CleanTargetFolder(const char *source, const char *target)
{
    Identity identity;
    if (IsCancelRequested() || !SourceRootPresent(source) || !Identify(target, &identity) ||
        !SourceHoldsEntriesOrUserAgrees(source, target))
        return;
    CleanPlace place = {source, source, target, identity.finalPath};
    CleanTree(&place);
    FlushDisplay();
}

// Removes a target folder whose source counterpart is no folder.
bool CleanAwayTargetFolder(const char *root, const char *sourceSub, const char *targetSub, const char *targetFinal)
{
    char targetName[PATH_TEXT_MAX];
    CleanPlace place = {root, sourceSub, targetSub, targetFinal};
    CleanTree(&place);
    CopyText(targetName, sizeof targetName, targetSub);
    targetName[strlen(targetName) - 1] = 0;
    RemoveDirectoryA(targetName);
    CleanedEntries++;
    return GetFileAttributesA(targetName) == INVALID_FILE_ATTRIBUTES;
}

// Removes a target file whose source counterpart is a folder.
bool CleanAwayTargetFile(const char *targetFile, const char *targetFinal)
{
    CheckedTargetFiles++;
    return DeleteTargetFile(targetFile, targetFinal);
}

// True when cleanup may run: the box is ticked and no pair's folders, as
// learnt for the run, overlap another's. An overlap is warned about once.
bool CleanupAllowed()
{
    if (SendMessageA(CleanupCheckbox, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return false;
    if (!PairsOverlap())
        return true;
    ShowNotice(OVERLAP_WARNING, TITLE_NOTE, MB_OK | MB_ICONWARNING);
    return false;
}
