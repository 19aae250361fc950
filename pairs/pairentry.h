// Pair entry: the text form "'<source>' -> '<target>'" of one sync pair, and
// reading entries back out of the pair list.
#pragma once
#include <stddef.h>

enum {
    PAIR_COMPOSE_MAX = 1300, // buffer an entry is composed in
    PAIR_TEXT_MAX = 1000     // buffer an entry is read back into
};

// Composes the entry of source and target into out; false when it does not fit.
bool ComposePairEntry(const char *source, const char *target, char *out, size_t outSize);

// Splits entry at its apostrophes into the source (piece 1) and the target
// (piece 3). False when the entry has fewer than three pieces or a piece
// does not fit its buffer; the outputs are then empty.
bool SplitPairEntry(const char *entry, char *source, size_t sourceSize, char *target, size_t targetSize);

// True for a folder path a pair entry can carry: without apostrophe or at
// sign, which the split rule and the selection-file format cut at.
bool FolderCarriable(const char *folder);

// True when text is exactly the entry that ComposePairEntry makes of two
// non-empty carriable folders ending in a backslash.
bool IsWellFormedPairEntry(const char *text);

// Number of entries in the pair list (0 when the query fails).
int PairCount();

// Reads entry index into out (PAIR_TEXT_MAX bytes, zeroed first); false when
// the entry does not exist or does not fit.
bool GetPairEntry(int index, char *out);

// Reads and splits entry index into two PAIR_TEXT_MAX buffers; false when it
// has no source and target.
bool GetPair(int index, char *source, char *target);
