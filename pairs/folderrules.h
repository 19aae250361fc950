// The rules a pair's folders keep, shared by the add command, the run and
// the cleanup: no folder of a pair is the other or lies inside it, and no
// pair's target is, contains or lies inside another pair's folder. Decided
// by what the file system says the folders are, and by their texts. A run
// learns every pair once, at its start, and acts only on what it learnt.
#pragma once
#include "pairentry.h"
#include "base/filetimes.h"
#include "base/identity.h"

// Whether a run may work on a pair, or why it skips it.
enum PairState {
    PAIR_RUNNABLE,
    PAIR_MALFORMED,        // the entry lacks a folder
    PAIR_TARGET_IN_SOURCE, // the target lies inside the source
    PAIR_SOURCE_IN_TARGET, // the source lies inside the target
    PAIR_ONE_FOLDER,       // source and target are one folder
    PAIR_STATE_COUNT
};

// One pair of the list as a run learnt it at its start.
struct PairFolders {
    PairState state;
    char source[PAIR_TEXT_MAX];
    char target[PAIR_TEXT_MAX];
    WCHAR *sourcePath; // the wide forms of source and target, blocks of their own
    WCHAR *targetPath;
    Identity sourceIdentity;
    Identity targetIdentity;
    TimeRule timeRule;     // how the target's volume keeps last-write times
    int fileCount;         // files the count pass found below the source
    bool cleanupStopped;   // the source was no longer the one learnt: nothing more is deleted
    bool sourceChangeTold; // the user was told of a source folder that changed
};

// True when the two folders are one or one lies inside the other, by their
// texts (regardless of letter case) or by what the file system says.
bool FoldersNested(const char *first, const char *second);

// Learns what the folders of one pair are; ForgetPairFolders frees what it holds.
void LearnPairFolders(const char *source, const char *target, PairFolders *pair);
void ForgetPairFolders(PairFolders *pair);

// Reads every pair of the list and learns what its folders are; a run keeps
// them until ForgetPairs.
void LearnPairs();
void ForgetPairs();

// Pair index as learnt, when a pass may run on it; NULL otherwise.
PairFolders *RunnablePair(int index);

// The states of the pairs learnt that a run skips, as bits (1 << PairState).
unsigned SkippedPairStates();

// True when some runnable pair's target is, contains or lies inside another
// runnable pair's source or target, by the folders learnt at the start.
bool PairsOverlap();

// True when the target of pair index, learnt anew, now overlaps another
// runnable pair's folders (links can change while a run goes on).
bool PairOverlapsNow(int index);

// True while the pair's target is still the folder learnt at the start (or,
// when none could be learnt then, there is still none).
bool TargetUnchanged(const PairFolders *pair);
