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

// Result of asking whether the source counterpart of a target entry exists.
enum Counterpart { COUNTERPART_PRESENT, COUNTERPART_ABSENT, COUNTERPART_UNKNOWN };

// Asks for the source counterpart. Only a definite "not found" means absent;
// any other failure is reported, cancels the run, and keeps the target entry.
static Counterpart QueryCounterpart(const char *sourcePath)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(sourcePath, GetFileExInfoStandard, &data))
        return COUNTERPART_PRESENT;
    DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND)
        return COUNTERPART_ABSENT;
    ReportListingError(sourcePath);
    RequestCancel();
    return COUNTERPART_UNKNOWN;
}

static void CleanTree(const char *source, const char *target);

// Cleans a target sub-folder, then removes it when the source lacks it.
// A reparse point (junction, symbolic link) is never entered: only the link
// itself may be removed.
static void CleanSubFolder(const char *source, const char *target, const WIN32_FIND_DATAA *entry)
{
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
    if (!(entry->dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        CleanTree(sourceFolder, targetFolder);
    if (QueryCounterpart(sourceFolder) != COUNTERPART_ABSENT)
        return;
    RemoveDirectoryA(targetFolderName);
    CleanedEntries++;
}

// Deletes a target file when the source lacks it; counts it as checked.
static void CleanFile(const char *source, const char *target, const WIN32_FIND_DATAA *entry)
{
    char sourceFile[PATH_TEXT_MAX];
    char targetFile[PATH_TEXT_MAX];
    if (!JoinPath(sourceFile, sizeof sourceFile, source, entry->cFileName) ||
        !JoinPath(targetFile, sizeof targetFile, target, entry->cFileName)) {
        ReportPathTooLong(target, entry->cFileName);
        RequestCancel();
    } else if (QueryCounterpart(sourceFile) == COUNTERPART_ABSENT) {
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

// Handles one entry of a target listing; source is the counterpart folder.
void CleanTargetEntry(const char *target, const WIN32_FIND_DATAA *entry, void *source)
{
    if (IsFolderEntry(entry))
        CleanSubFolder((const char *)source, target, entry);
    else
        CleanFile((const char *)source, target, entry);
    RefreshDisplay();
}

// Cleans one target folder level and everything below it. A pass entered
// after a cancel deletes nothing; a target that cannot be listed is passed over.
static void CleanTree(const char *source, const char *target)
{
    if (IsCancelRequested())
        return;
    WalkFolder(target, CleanTargetEntry, (void *)source);
}

// Removes what the target tree has and the source tree lacks; the display
// shows the exact counters when the pass ends.
void CleanTargetFolder(const char *source, const char *target)
{
    CleanTree(source, target);
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
