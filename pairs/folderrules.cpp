// The rules a pair's folders keep.
#include "folderrules.h"
#include "pairentry.h"
#include "engine/paths.h"
#include <windows.h>
#include <string.h>

// One pair of the list as the rules see it.
struct PairFolders {
    bool valid; // the entry has both folders
    char source[PAIR_TEXT_MAX];
    char target[PAIR_TEXT_MAX];
    Identity sourceIdentity;
    Identity targetIdentity;
};

// The pairs learnt at the start of a run.
static PairFolders *KnownPairs = NULL;
static int KnownPairCount = 0;

// True when one folder text contains the other, regardless of letter case.
static bool TextsNested(const char *first, const char *second)
{
    return ContainsNoCase(first, second) || ContainsNoCase(second, first);
}

// True when the folders are nested by their texts or their identities.
static bool Overlap(const char *first, const Identity *firstIdentity, const char *second,
                    const Identity *secondIdentity)
{
    return TextsNested(first, second) || Nested(firstIdentity, secondIdentity);
}

// True when the two folders are one or one lies inside the other.
bool FoldersNested(const char *first, const char *second)
{
    Identity firstIdentity, secondIdentity;
    Identify(first, &firstIdentity);
    Identify(second, &secondIdentity);
    return Overlap(first, &firstIdentity, second, &secondIdentity);
}

// Reads pair index and learns what its folders are.
static void LearnPair(int index, PairFolders *pair)
{
    pair->valid = GetPair(index, pair->source, pair->target);
    Identify(pair->source, &pair->sourceIdentity);
    Identify(pair->target, &pair->targetIdentity);
}

// Forgets the pairs learnt.
void ForgetPairs()
{
    if (KnownPairs != NULL)
        HeapFree(GetProcessHeap(), 0, KnownPairs);
    KnownPairs = NULL;
    KnownPairCount = 0;
}

// Learns what the folders of every pair in the list are.
void LearnPairs()
{
    ForgetPairs();
    int count = PairCount();
    if (count == 0)
        return;
    KnownPairs = (PairFolders *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(PairFolders));
    if (KnownPairs == NULL)
        return;
    KnownPairCount = count;
    for (int i = 0; i < count; i++)
        LearnPair(i, &KnownPairs[i]);
}

// Gets the folders of pair index, as learnt, when a pass may run on it.
bool RunnablePair(int index, char *source, char *target)
{
    const PairFolders *pair = index < KnownPairCount ? &KnownPairs[index] : NULL;
    if (pair == NULL || !pair->valid ||
        Overlap(pair->source, &pair->sourceIdentity, pair->target, &pair->targetIdentity))
        return false;
    CopyText(source, PAIR_TEXT_MAX, pair->source);
    CopyText(target, PAIR_TEXT_MAX, pair->target);
    return true;
}

// True when pair's target overlaps any other known pair's target or source,
// or its own source when ownSource.
static bool TargetOverlapsOthers(const PairFolders *pair, int index, bool ownSource)
{
    for (int j = 0; j < KnownPairCount; j++) {
        const PairFolders *other = &KnownPairs[j];
        if (!other->valid || (j == index && !ownSource))
            continue;
        if (Overlap(pair->target, &pair->targetIdentity, other->source, &other->sourceIdentity))
            return true;
        if (j != index && Overlap(pair->target, &pair->targetIdentity, other->target, &other->targetIdentity))
            return true;
    }
    return false;
}

// True when some pair's target overlaps another pair's target or any pair's source.
bool PairsOverlap()
{
    for (int i = 0; i < KnownPairCount; i++)
        if (KnownPairs[i].valid && TargetOverlapsOthers(&KnownPairs[i], i, true))
            return true;
    return false;
}

// True when pair index, its folders learnt anew, now breaks the rules.
bool PairOverlapsNow(int index)
{
    PairFolders now;
    LearnPair(index, &now);
    return now.valid && (Overlap(now.target, &now.targetIdentity, now.source, &now.sourceIdentity) ||
                         TargetOverlapsOthers(&now, index, false));
}
