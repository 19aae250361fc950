// The rules a pair's folders keep.
#include "folderrules.h"
#include "base/memory.h"
#include "base/paths.h"
#include "base/widetext.h"
#include <windows.h>
#include <string.h>

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

bool FoldersNested(const char *first, const char *second)
{
    Identity firstIdentity = {}, secondIdentity = {};
    IdentifyAnsi(first, &firstIdentity);
    IdentifyAnsi(second, &secondIdentity);
    bool nested = Overlap(first, &firstIdentity, second, &secondIdentity);
    ForgetIdentity(&firstIdentity);
    ForgetIdentity(&secondIdentity);
    return nested;
}

// How the two folders of a pair relate, by their texts and by their identities.
static PairState StateOf(const char *source, const Identity *sourceIdentity, const char *target,
                         const Identity *targetIdentity)
{
    if (EqualNoCase(source, target) || SameObject(sourceIdentity, targetIdentity))
        return PAIR_ONE_FOLDER;
    if (ContainsNoCase(target, source) || LiesInside(targetIdentity, sourceIdentity))
        return PAIR_TARGET_IN_SOURCE;
    if (ContainsNoCase(source, target) || LiesInside(sourceIdentity, targetIdentity))
        return PAIR_SOURCE_IN_TARGET;
    return PAIR_RUNNABLE;
}

void LearnPairFolders(const char *source, const char *target, PairFolders *pair)
{
    memset(pair, 0, sizeof *pair);
    bool valid = CopyText(pair->source, sizeof pair->source, source) &&
                 CopyText(pair->target, sizeof pair->target, target) && source[0] != 0 && target[0] != 0;
    pair->sourcePath = WideFromAnsi(pair->source);
    pair->targetPath = WideFromAnsi(pair->target);
    valid = valid && pair->sourcePath != NULL && pair->targetPath != NULL;
    IdentifyAnsi(pair->source, &pair->sourceIdentity);
    IdentifyAnsi(pair->target, &pair->targetIdentity);
    pair->timeRule = valid ? TimeRuleOf(pair->target) : EXACT_TIMES;
    pair->state =
        valid ? StateOf(pair->source, &pair->sourceIdentity, pair->target, &pair->targetIdentity) : PAIR_MALFORMED;
}

void ForgetPairFolders(PairFolders *pair)
{
    MemoryFree(pair->sourcePath);
    MemoryFree(pair->targetPath);
    ForgetIdentity(&pair->sourceIdentity);
    ForgetIdentity(&pair->targetIdentity);
    memset(pair, 0, sizeof *pair);
}

// Forgets the pairs learnt.
void ForgetPairs()
{
    for (int i = 0; i < KnownPairCount; i++)
        ForgetPairFolders(&KnownPairs[i]);
    MemoryFree(KnownPairs);
    KnownPairs = NULL;
    KnownPairCount = 0;
}

void LearnPairs()
{
    char source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX];
    ForgetPairs();
    int count = PairCount();
    if (count == 0)
        return;
    KnownPairs = (PairFolders *)MemoryAlloc(count * sizeof(PairFolders));
    if (KnownPairs == NULL)
        return;
    KnownPairCount = count;
    for (int i = 0; i < count; i++) {
        if (!GetPair(i, source, target))
            source[0] = target[0] = 0;
        LearnPairFolders(source, target, &KnownPairs[i]);
    }
}

PairFolders *RunnablePair(int index)
{
    if (index < 0 || index >= KnownPairCount || KnownPairs[index].state != PAIR_RUNNABLE)
        return NULL;
    return &KnownPairs[index];
}

unsigned SkippedPairStates()
{
    unsigned states = 0;
    for (int i = 0; i < KnownPairCount; i++)
        if (KnownPairs[i].state != PAIR_RUNNABLE)
            states |= 1u << KnownPairs[i].state;
    return states;
}

// True when the target of pair index, as given, overlaps the source of
// another runnable pair, or the target of one (of one after it, when later).
static bool TargetOverlapsOthers(int index, const char *target, const Identity *targetIdentity, bool onlyLater)
{
    for (int j = 0; j < KnownPairCount; j++) {
        const PairFolders *other = RunnablePair(j);
        if (j == index || other == NULL)
            continue;
        if (Overlap(target, targetIdentity, other->source, &other->sourceIdentity))
            return true;
        if ((!onlyLater || j > index) && Overlap(target, targetIdentity, other->target, &other->targetIdentity))
            return true;
    }
    return false;
}

bool PairsOverlap()
{
    for (int i = 0; i < KnownPairCount; i++) {
        const PairFolders *pair = RunnablePair(i);
        if (pair != NULL && TargetOverlapsOthers(i, pair->target, &pair->targetIdentity, true))
            return true;
    }
    return false;
}

bool PairOverlapsNow(int index)
{
    const PairFolders *pair = RunnablePair(index);
    Identity now = {};
    if (pair == NULL)
        return false;
    IdentifyAnsi(pair->target, &now);
    bool overlaps = TargetOverlapsOthers(index, pair->target, &now, false);
    ForgetIdentity(&now);
    return overlaps;
}

bool TargetUnchanged(const PairFolders *pair)
{
    Identity now = {};
    bool found = IdentifyAnsi(pair->target, &now);
    bool same = pair->targetIdentity.known ? StillTheSame(&pair->targetIdentity, &now) : !found;
    ForgetIdentity(&now);
    return same;
}
