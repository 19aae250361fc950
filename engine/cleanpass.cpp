// Cleanup pass: removes what the target has and the source lacks, and the
// overlap check that decides whether cleanup may run at all.
#include "passes.h"
#include "paths.h"
#include "notices.h"
#include "display.h"
#include "runstate.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "app/mainwindow.h"

static const char OVERLAP_WARNING[] =
    "Die Zielpfade ähneln sich.\nEs wird keine anschließende Bereinigung durchgeführt.";

// True while the pair's source folder is still there. A source that vanished
// makes every counterpart look absent, so nothing may be deleted then: it is
// reported once and the run is cancelled.
static bool SourceRootPresent(const char *root)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(root, GetFileExInfoStandard, &data) &&
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return true;
    if (GetLastError() == ERROR_SUCCESS)
        SetLastError(ERROR_DIRECTORY);
    if (!IsCancelRequested())
        ReportListingError(root);
    RequestCancel();
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
        ReportListingError(sourcePath);
    RequestCancel();
    return COUNTERPART_UNKNOWN;
}

static void CleanTree(const CleanPlace *place, const char *target);

// Cleans a target sub-folder, then removes it when the source lacks it.
// A reparse point (junction, symbolic link) is never entered: only the link
// itself may be removed.
static void CleanSubFolder(const CleanPlace *place, const char *target, const WIN32_FIND_DATAA *entry)
{
    const char *source = place->source;
    char sourceFolder[PATH_TEXT_MAX];
    char targetFolder[PATH_TEXT_MAX];
    char targetFolderName[PATH_TEXT_MAX];
    if (!JoinPath(sourceFolder, sizeof sourceFolder, source, entry->cFileName, "\\") ||
        !JoinPath(targetFolder, sizeof targetFolder, target, entry->cFileName, "\\")) {
        ReportPathTooLong(target, entry->cFileName);
        RequestCancel();
        return;
    }
    JoinPath(targetFolderName, sizeof targetFolderName, target, entry->cFileName);
    CleanPlace below = {sourceFolder, place->root};
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        CleanTree(&below, targetFolder);
    if (QueryCounterpart(sourceFolder) != COUNTERPART_ABSENT || !SourceRootPresent(place->root))
        return;
    RemoveDirectoryA(targetFolderName);
    CleanedEntries++;
}

// Deletes a target file when the source lacks it; counts it as checked.
static void CleanFile(const CleanPlace *place, const char *target, const WIN32_FIND_DATAA *entry)
{
    const char *source = place->source;
    char sourceFile[PATH_TEXT_MAX];
    char targetFile[PATH_TEXT_MAX];
    if (!JoinPath(sourceFile, sizeof sourceFile, source, entry->cFileName) ||
        !JoinPath(targetFile, sizeof targetFile, target, entry->cFileName)) {
        ReportPathTooLong(target, entry->cFileName);
        RequestCancel();
    } else if (QueryCounterpart(sourceFile) == COUNTERPART_ABSENT && SourceRootPresent(place->root)) {
        if (DeleteFileA(targetFile)) {
            CleanedEntries++;
            WriteLogLine(LOG_DELETED, targetFile);
        } else {
            ReportDeleteError(targetFile);
            RequestCancel();
        }
    }
    CheckedTargetFiles++;
}

// Handles one entry of a target listing; context is the CleanPlace.
void CleanTargetEntry(const char *target, const WIN32_FIND_DATAA *entry, void *context)
{
    const CleanPlace *place = (const CleanPlace *)context;
    if (!NameUsable(entry->cFileName)) {
        // Its counterpart cannot be asked for, and the name may stand for another entry.
        ReportUnusableName(target, entry->cFileName);
        RequestCancel();
        if (!IsFolderEntry(entry))
            CheckedTargetFiles++;
    } else if (IsFolderEntry(entry))
        CleanSubFolder(place, target, entry);
    else
        CleanFile(place, target, entry);
    RefreshDisplay();
}

// Cleans one target folder level and everything below it. A pass entered
// after a cancel deletes nothing; a target that cannot be listed is passed over.
static void CleanTree(const CleanPlace *place, const char *target)
{
    if (IsCancelRequested())
        return;
    WalkFolder(target, CleanTargetEntry, (void *)place);
}

// Removes what the target tree has and the source tree lacks; the display
// shows the exact counters when the pass ends.
void CleanTargetFolder(const char *source, const char *target)
{
    if (IsCancelRequested())
        return;
    CleanPlace place = {source, source};
    if (!SourceRootPresent(source))
        return;
    CleanTree(&place, target);
    FlushDisplay();
}

// True when one folder text contains the other, regardless of letter case.
static bool FoldersOverlap(const char *first, const char *second)
{
    return ContainsNoCase(first, second) || ContainsNoCase(second, first);
}

// True when target i overlaps another target or any source of the list.
static bool PairOverlaps(int i, int count)
{
    char source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX];
    char otherSource[PAIR_TEXT_MAX], otherTarget[PAIR_TEXT_MAX];
    if (!GetPair(i, source, sizeof source, target, sizeof target))
        return false;
    for (int j = 0; j < count; j++) {
        if (!GetPair(j, otherSource, sizeof otherSource, otherTarget, sizeof otherTarget))
            continue;
        if (FoldersOverlap(target, otherSource))
            return true;
        if (j > i && FoldersOverlap(target, otherTarget))
            return true;
    }
    return false;
}

// True when cleanup may run: the box is ticked, no two targets overlap, and
// no target contains or lies inside any source. An overlap is warned about once.
bool CleanupAllowed()
{
    if (SendMessageA(CleanupCheckbox, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return false;
    int count = (int)SendMessageA(PairList, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; i++) {
        if (PairOverlaps(i, count)) {
            ShowNotice(OVERLAP_WARNING, "Hinweis", MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    return true;
}
