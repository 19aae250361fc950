// Which source entries a run takes. The count pass and the mirror pass judge
// every entry here, so that what the mirror leaves alone is neither entered
// nor counted.
#pragma once
#include <windows.h>
#include "identity.h"

// Names already taken in one folder, compared as the file system compares
// them (regardless of letter case).
struct NameSet {
    char *pool;      // the upper-case names, each with its NUL
    size_t poolUsed, poolSize;
    DWORD *slots;    // offset + 1 into pool, or 0 for a free slot
    size_t slotCount, count;
};

// What all levels of one walk share: the pair's target and what it is, and
// what the pass keeps for the whole walk.
struct SourceWalk {
    const char *pairTarget;
    bool targetLearnt;
    Identity target;
    void *context;
};

// One source folder of a walk, its target counterpart and the folder it was
// entered from (NULL at the pair's source).
struct SourceLevel {
    SourceWalk *walk;
    SourceLevel *parent;
    const char *source; // ends in a backslash
    const char *target; // ends in a backslash
    NameSet names;
    bool learnt;        // identity below is known to be learnt
    Identity identity;
};

enum Verdict {
    TAKE,         // handled by the pass
    SKIP_QUIETLY, // the program's own temporary file: not the user's entry
    LEAVE_ALONE   // left alone for a reason of its own, and reported
};

// Starts a walk of a pair: the pair's target is learnt only when a link needs it.
void BeginWalk(SourceWalk *walk, const char *pairTarget);

// Starts a level; EndLevel releases what it holds.
void BeginLevel(SourceLevel *level, SourceWalk *walk, SourceLevel *parent, const char *source,
                const char *target);
void EndLevel(SourceLevel *level);

// Judges an entry of level and builds its source and target paths (a folder's
// with a trailing backslash) in buffers of PATH_TEXT_MAX bytes. Left alone:
// a name the ANSI functions cannot take, a path over their limit on either
// side, a name that differs from a taken one only in letter case, and a
// link that leads back onto the walk's path or to the pair's target (or
// that leads nowhere). For an entry left alone, sourcePath names it.
Verdict JudgeSourceEntry(SourceLevel *level, const WIN32_FIND_DATAA *entry, char *sourcePath, char *targetPath);

// The final path targetPath, below the pair's target with no link on the
// way, has: the pair target's final path and the rest of targetPath. False
// when the pair's target cannot be identified.
bool FinalPathInTarget(SourceWalk *walk, const char *targetPath, char *out, size_t size);

// Adds name to the set; false when a name equal but for letter case is in it.
bool AddNewName(NameSet *names, const char *name);
void ReleaseNames(NameSet *names);
