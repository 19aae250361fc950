// The sync-pair list: the PairList control is the only store of the pairs.
#pragma once

extern int SelectedPairIndex;

// True when PairList holds at least one entry.
bool PairListHasEntries();

// Enables AddPairButton once both folders are chosen.
void OnFolderChosen();

// Adds the chosen pair to the end of the list, or refuses it with a notice.
void AddPair();

// Removes the entry at SelectedPairIndex.
void RemovePair();

// Notes the selected index and enables RemovePairButton.
void OnPairSelectionChanged();
