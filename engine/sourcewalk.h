// The walk of a pair's source tree that the count pass and the mirror pass
// share: every entry is judged here, so that what the mirror leaves alone is
// neither entered nor counted.
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

struct SourceLevel;

enum Verdict {
    TAKE,         // handled by the pass
    SKIP_QUIETLY, // the program's own temporary file: not the user's entry
    LEAVE_ALONE   // left alone for a reason of its own, and reported
};

// The pass's part of a walk, called for every entry of every level with the
// verdict on it and its source and target paths (a folder's with a trailing
// backslash; for an entry left alone, sourcePath names it). A taken folder
// is walked only when the visitor calls WalkBelow.
typedef void (*SourceVisitor)(SourceLevel *level, const WIN32_FIND_DATAA *entry, Verdict verdict,
                              const char *sourcePath, const char *targetPath);

// What all levels of one walk share: the pair's target and what it is, the
// pass's visitor and what the pass keeps for the whole walk.
struct SourceWalk {
    const char *pairTarget;
    bool targetLearnt;
    Identity target;
    SourceVisitor visit;
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

// Walks the source tree of a pair depth-first in the platform's order,
// calling visit for each entry. Left alone are: a name the ANSI functions
// cannot take, a path over their limit on either side, a name that differs
// from a taken one only in letter case, and a link that leads back onto the
// walk's path or to the pair's target (or that leads nowhere). A folder
// that cannot be listed is reported and cancels the run.
void WalkSource(const char *source, const char *target, SourceVisitor visit, void *context);

// Walks a taken sub-folder of level, unless a cancel was requested.
void WalkBelow(SourceLevel *level, const char *sourceSub, const char *targetSub);

// The final path targetPath, below the pair's target with no link on the
// way, has: the pair target's final path and the rest of targetPath. False
// when the pair's target cannot be identified.
bool FinalPathInTarget(SourceWalk *walk, const char *targetPath, char *out, size_t size);
