// Source count pass: the number of files below a source folder.
#include "passes.h"
#include "paths.h"
#include "notices.h"
#include "runstate.h"

// Adds one file, or the files below one sub-folder, to the sum in context.
static void CountEntry(const char *folder, const WIN32_FIND_DATAA *entry, void *context)
{
    int *sum = (int *)context;
    char subFolder[PATH_TEXT_MAX];
    if (!IsFolderEntry(entry)) {
        *sum += 1;
        return;
    }
    // A sub-folder whose path does not fit is reported by the mirror pass.
    if (JoinPath(subFolder, sizeof subFolder, folder, entry->cFileName, "\\"))
        *sum += CountSourceFiles(subFolder);
}

// Counts the files below folder; a folder that cannot be listed is reported
// and cancels the run. A call made after a cancel counts nothing.
int CountSourceFiles(const char *folder)
{
    int sum = 0;
    if (IsCancelRequested())
        return 0;
    if (!WalkFolder(folder, CountEntry, &sum)) {
        ReportListingError(folder);
        RequestCancel();
    }
    return sum;
}
