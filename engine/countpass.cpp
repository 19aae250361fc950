// Source count pass: the number of files below a source folder that the
// mirror pass will take.
#include "passes.h"
#include "entries.h"
#include "listing.h"
#include "notices.h"
#include "paths.h"
#include "runstate.h"

static void CountLevel(SourceLevel *level);

// Adds one file, or the files below one sub-folder, to the level's sum.
static void CountEntry(const char *, const WIN32_FIND_DATAA *entry, void *context)
{
    SourceLevel *level = (SourceLevel *)context;
    char sourcePath[PATH_TEXT_MAX], targetPath[PATH_TEXT_MAX];
    int *sum = (int *)level->walk->context;
    if (JudgeSourceEntry(level, entry, sourcePath, targetPath) != TAKE)
        return;
    if (!IsFolderEntry(entry)) {
        *sum += 1;
        return;
    }
    SourceLevel below;
    BeginLevel(&below, level->walk, level, sourcePath, targetPath);
    CountLevel(&below);
    EndLevel(&below);
}

// Counts one level and everything below it; a folder that cannot be listed
// is reported and cancels the run.
static void CountLevel(SourceLevel *level)
{
    DWORD code;
    if (!ListFolder(level->source, CountEntry, level, &code))
        ReportListingError(code, level->source);
}

// Counts the files below source; a call made after a cancel counts nothing.
int CountSourceFiles(const char *source, const char *target)
{
    int sum = 0;
    if (IsCancelRequested())
        return 0;
    SourceWalk walk;
    SourceLevel top;
    BeginWalk(&walk, target);
    walk.context = &sum;
    BeginLevel(&top, &walk, NULL, source, target);
    CountLevel(&top);
    EndLevel(&top);
    return sum;
}
