// Source count pass: the number of files below a source folder that the
// mirror pass will take.
#include "passes.h"
#include "runstate.h"
#include "sourcewalk.h"

// Adds one taken file to the sum, and walks a taken sub-folder.
static void CountEntry(SourceLevel *level, const WalkEntry *entry)
{
    if (entry->verdict != TAKE)
        return;
    if (IsFolderEntry(entry->entry->attributes))
        WalkBelowWith(level, entry->sourcePath, entry->targetPath, CountEntry, level->walk->context);
    else
        *(int *)level->walk->context += 1;
}

// A count after a cancel still lists the folder, so that one that cannot be listed is reported, and examines the
// entry already fetched, as every walk does. Every folder it lists is learnt for the cleanup.
int CountSourceFiles(PairFolders *pair)
{
    int sum = 0;
    WalkSource(pair, CountEntry, &sum, true);
    return sum;
}

int CountFilesBelow(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub)
{
    int sum = 0;
    WalkBelowWith(level, sourceSub, targetSub, CountEntry, &sum);
    return sum;
}
