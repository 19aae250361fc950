// The sync-pair list: the PairList control is the only store of the pairs.
#pragma once
#include <stddef.h>

extern int SelectedPairIndex;

// True when PairList holds at least one entry.
bool PairListHasEntries();

// Reads entry index into out (PAIR_TEXT_MAX bytes, zeroed first); false when
// the entry does not exist or does not fit.
bool GetPairEntry(int index, char *out);

// Reads and splits entry index; false when it has no source and target.
bool GetPair(int index, char *source, size_t sourceSize, char *target, size_t targetSize);

// Bytes the saved list takes: every entry with its marker, and the final NUL.
int SavedListSize();

// True, after a notice, when folder cannot be carried in a pair entry.
bool RefuseUncarriableFolder(const char *folder);

// Enables AddPairButton once both folders are chosen.
void OnFolderChosen();

// Adds the chosen pair to the end of the list, or refuses it with a notice.
void AddPair();

// Removes the entry at SelectedPairIndex.
void RemovePair();

// Notes the selected index and enables RemovePairButton.
void OnPairSelectionChanged();
