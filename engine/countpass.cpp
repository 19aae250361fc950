// Source count pass: the number of files below a source folder that the
// mirror pass will take.
#include "passes.h"
#include "listing.h"
#include "runstate.h"
#include "sourcewalk.h"

// Adds one taken file to the sum, and walks a taken sub-folder.
static void CountEntry(SourceLevel *level, const WIN32_FIND_DATAA *entry, Verdict verdict, const char *sourcePath,
                       const char *targetPath)
{
    if (verdict != TAKE)
        return;
    if (IsFolderEntry(entry))
        WalkBelow(level, sourcePath, targetPath);
    else
        *(int *)level->walk->context += 1;
}

// Counts the files below source; a call made after a cancel counts nothing.
int CountSourceFiles(const char *source, const char *target)
{
    int sum = 0;
    if (!IsCancelRequested())
        WalkSource(source, target, CountEntry, &sum);
    return sum;
}
