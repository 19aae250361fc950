// The names of one folder level as the file system compares them, regardless
// of letter case. Of names that differ only in letter case (twins, possible
// on shares and case-sensitive folders) one is chosen, so that the choice
// does not depend on the listing order: the byte-wise first of their ANSI
// forms where both have one, else the first in UTF-16 order.
#pragma once
#include "listing.h"

struct NameSet {
    int *slots; // entry index + 1 of the chosen spelling, 0 for a free slot
    size_t slotCount;
};

// Builds the set of level's names; 0, or ERROR_NOT_ENOUGH_MEMORY (the set is
// then empty and every name is taken as its own).
DWORD BuildNameSet(const FolderLevel *level, NameSet *set);
void ReleaseNameSet(NameSet *set);

// The index of the chosen spelling of name in level, or -1 when level has
// no name equal to it but for letter case.
int ChosenSpelling(const NameSet *set, const FolderLevel *level, const WCHAR *name);
