// Pair entry: the text form "'<source>' -> '<target>'" of one sync pair.
#pragma once
#include <stddef.h>

enum {
    PAIR_COMPOSE_MAX = 1300, // buffer an entry is composed in
    PAIR_TEXT_MAX = 1000     // buffer an entry is read back into
};

extern const char PAIR_SEPARATOR[];

// Composes the entry of source and target into out; false when it does not fit.
bool ComposePairEntry(const char *source, const char *target, char *out, size_t outSize);

// Splits entry at its apostrophes into the source (piece 1) and the target
// (piece 3). False when the entry has fewer than three pieces or a piece
// does not fit its buffer; the outputs are then empty.
bool SplitPairEntry(const char *entry, char *source, size_t sourceSize, char *target, size_t targetSize);

// True when text is exactly the entry that ComposePairEntry makes of two
// non-empty folders ending in a backslash, without apostrophes or at signs.
bool IsWellFormedPairEntry(const char *text);
