// The rules a pair's folders keep, shared by the add command, the run and
// the cleanup: no folder of a pair is the other or lies inside it, and no
// pair's target is, contains or lies inside another pair's folder. Decided
// by what the file system says the folders are, and by their texts.
#pragma once
#include "engine/identity.h"

// True when the two folders are one or one lies inside the other, by their
// texts (regardless of letter case) or by what the file system says.
bool FoldersNested(const char *first, const char *second);

// Reads every pair of the list and learns what its folders are; a run keeps
// them until ForgetPairs.
void LearnPairs();
void ForgetPairs();

// Gets the folders of pair index, as learnt, when a pass may run on it: the
// entry has both folders, and they are neither one nor inside each other.
bool RunnablePair(int index, char *source, char *target);

// True when some pair's target is, contains or lies inside another pair's
// target or any pair's source, by the folders learnt last.
bool PairsOverlap();

// True when pair index, its folders learnt anew, now breaks the rules: its
// target is nested with its own source or overlaps the other pairs' folders
// (links can change while a run goes on).
bool PairOverlapsNow(int index);
