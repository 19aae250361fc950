// The walk of a pair's source tree that the count pass and the mirror pass
// share, and the judgement of source entries that the cleanup asks too:
// every source entry is judged here, so that what the mirror leaves alone is
// neither entered nor counted, and the cleanup keeps its target counterpart.
#pragma once
#include <windows.h>
#include "base/identity.h"
#include "listing.h"
#include "nameset.h"
#include "pairs/folderrules.h"

enum Verdict {
    TAKE,         // handled by the pass
    SKIP_QUIETLY, // the log this run is writing: the program's own, not the user's
    LEAVE_ALONE   // left alone for a reason of its own, and reported
};

struct SourceLevel;

// One judged entry of a source level, with its source and target paths (a
// folder's with a trailing backslash; for an entry left alone, sourcePath
// names it, a folder's with its backslash, and targetPath may be NULL).
struct WalkEntry {
    const ListedEntry *entry;
    const WCHAR *name;
    Verdict verdict;
    const WCHAR *sourcePath;
    const WCHAR *targetPath;
};

// The pass's part of a walk, called for every entry of every level. A taken
// folder is walked only when the visitor calls WalkBelow.
typedef void (*SourceVisitor)(SourceLevel *level, const WalkEntry *entry);

// What all levels of one walk share: the pair, the pass's visitor and what
// the pass keeps for the whole walk.
struct SourceWalk {
    PairFolders *pair;
    SourceVisitor visit;
    void *context;
    bool learnFolders; // every folder listed is learnt (the count pass)
};

// One source folder, read whole, its target counterpart and the folder it
// was entered from (NULL at the pair's source).
struct SourceLevel {
    SourceWalk *walk;
    SourceLevel *parent;
    const WCHAR *source; // ends in a backslash
    const WCHAR *target; // ends in a backslash
    FolderLevel listing;
    NameSet names;
    bool targetCreated; // the target folder was made by this walk, so it held nothing
    bool learnt;        // identity below is known to be learnt
    Identity identity;  // freed with the level
    bool targetLearnt;  // the mirror saw the target folder: its file index below
    ULONGLONG targetIndex;
    ULONGLONG targetConfirmed; // tick count when its path last led to it
    HANDLE targetHeld;         // the target folder, held against being renamed while the mirror works in it
};

// Reads a source level and the names in it; 0, or the error that kept it
// from being read (it is then empty). CloseSourceLevel frees it either way.
DWORD OpenSourceLevel(SourceLevel *level, SourceWalk *walk, SourceLevel *parent, const WCHAR *source,
                      const WCHAR *target);
void CloseSourceLevel(SourceLevel *level);

// Judges entry index of level and builds its paths, each in a block of its
// own (MemoryFree frees them; the target's is NULL when it was not built).
// Left alone are: a name ordinary paths cannot address (or the program's
// temporary file's, in any letter case), a path longer than the platform
// takes on either side, a name that differs from the chosen one only in
// letter case, and a folder link that leads back onto the walk's path, to
// the pair's target, or nowhere.
Verdict JudgeSourceEntry(SourceLevel *level, int index, WCHAR **sourcePath, WCHAR **targetPath);

// Walks the source tree of the pair depth-first in the platform's order,
// calling visit for each entry; a folder that cannot be listed is reported
// and cancels the run.
void WalkSource(PairFolders *pair, SourceVisitor visit, void *context, bool learnFolders = false);

// Walks a taken sub-folder of level with the walk's visitor; targetCreated
// tells that its target folder was just made.
void WalkBelow(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub, bool targetCreated);

// Walks a taken sub-folder of level with another visitor (and context).
void WalkBelowWith(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub, SourceVisitor visit,
                   void *context);

// The final path targetPath, below the pair's target with no link on the
// way, has: the pair target's final path and the rest of targetPath, in a
// block of its own. NULL when the pair's target could not be identified.
WCHAR *FinalPathInTarget(const PairFolders *pair, const WCHAR *targetPath);
