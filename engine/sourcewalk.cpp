// The walk of a pair's source tree.
#include "sourcewalk.h"
#include "copyfile.h"
#include "listing.h"
#include "notices.h"
#include "paths.h"
#include "runstate.h"
#include <stdio.h>
#include <string.h>

static const size_t FIRST_SLOT_COUNT = 64;  // a power of two, as every later count
static const size_t FIRST_POOL_SIZE = 4096;

// FNV-1a hash of the upper-case form of name.
static DWORD HashName(const char *name)
{
    DWORD hash = 2166136261u;
    for (; *name != 0; name++)
        hash = (hash ^ UpperLetter((unsigned char)*name)) * 16777619u;
    return hash;
}

// Grows a heap block to size bytes; NULL (the block kept) when that fails.
static void *Grow(void *block, size_t size)
{
    HANDLE heap = GetProcessHeap();
    return block == NULL ? HeapAlloc(heap, 0, size) : HeapReAlloc(heap, 0, block, size);
}

// Puts the pool offset into the first free slot of its hash's probe sequence.
static void PlaceSlot(NameSet *names, DWORD offset)
{
    size_t mask = names->slotCount - 1;
    size_t i = HashName(names->pool + offset) & mask;
    while (names->slots[i] != 0)
        i = (i + 1) & mask;
    names->slots[i] = offset + 1;
}

// Doubles the slot table (or makes the first one); false when memory is short.
static bool GrowSlots(NameSet *names)
{
    size_t count = names->slotCount == 0 ? FIRST_SLOT_COUNT : names->slotCount * 2;
    DWORD *slots = (DWORD *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(DWORD));
    if (slots == NULL)
        return false;
    DWORD *old = names->slots;
    size_t oldCount = names->slotCount;
    names->slots = slots;
    names->slotCount = count;
    for (size_t i = 0; i < oldCount; i++)
        if (old[i] != 0)
            PlaceSlot(names, old[i] - 1);
    if (old != NULL)
        HeapFree(GetProcessHeap(), 0, old);
    return true;
}

// Adds name to the set; false when a name equal but for letter case is in it.
// When memory is short the name is taken as new: twins then go unnoticed.
static bool AddNewName(NameSet *names, const char *name)
{
    size_t length = strlen(name) + 1;
    if ((names->count + 1) * 2 > names->slotCount && !GrowSlots(names))
        return true;
    size_t mask = names->slotCount - 1;
    for (size_t i = HashName(name) & mask; names->slots[i] != 0; i = (i + 1) & mask)
        if (EqualNoCase(names->pool + names->slots[i] - 1, name))
            return false;
    if (names->poolUsed + length > names->poolSize) {
        size_t size = names->poolSize == 0 ? FIRST_POOL_SIZE : names->poolSize * 2;
        while (size < names->poolUsed + length)
            size *= 2;
        char *pool = (char *)Grow(names->pool, size);
        if (pool == NULL)
            return true;
        names->pool = pool;
        names->poolSize = size;
    }
    memcpy(names->pool + names->poolUsed, name, length);
    PlaceSlot(names, (DWORD)names->poolUsed);
    names->poolUsed += length;
    names->count++;
    return true;
}

// Frees what the set holds.
static void ReleaseNames(NameSet *names)
{
    if (names->pool != NULL)
        HeapFree(GetProcessHeap(), 0, names->pool);
    if (names->slots != NULL)
        HeapFree(GetProcessHeap(), 0, names->slots);
    memset(names, 0, sizeof *names);
}

// Starts a level; EndLevel releases what it holds.
static void BeginLevel(SourceLevel *level, SourceWalk *walk, SourceLevel *parent, const char *source,
                const char *target)
{
    memset(&level->names, 0, sizeof level->names);
    level->walk = walk;
    level->parent = parent;
    level->source = source;
    level->target = target;
    level->learnt = false;
    level->identity.known = false;
}

// Releases what a level holds.
static void EndLevel(SourceLevel *level)
{
    ReleaseNames(&level->names);
}

// True when a path of length characters, a folder's with its listing
// pattern, is within the limit of the ANSI file functions.
static bool WithinLimit(size_t length, bool folder)
{
    return length + (folder ? 3 : 0) < ANSI_PATH_LIMIT;
}

// True when the copy of a file into folder can use the temporary file there.
static bool TemporaryFits(const char *folder)
{
    return strlen(folder) + strlen(TEMPORARY_COPY_NAME) < ANSI_PATH_LIMIT;
}

// Learns what the pair's target is, once per walk.
static const Identity *PairTarget(SourceWalk *walk)
{
    if (!walk->targetLearnt) {
        Identify(walk->pairTarget, &walk->target);
        walk->targetLearnt = true;
    }
    return &walk->target;
}

// The final path targetPath has below the pair's target.
bool FinalPathInTarget(SourceWalk *walk, const char *targetPath, char *out, size_t size)
{
    const Identity *target = PairTarget(walk);
    if (!target->known || !JoinPath(out, size, target->finalPath, "\\", targetPath + strlen(walk->pairTarget)))
        return false;
    size_t length = strlen(out);
    if (out[length - 1] == '\\')
        out[length - 1] = 0;
    return true;
}

// True when the folder link at linkPath leads back onto the walk's path, to
// the pair's target, or nowhere: following it would never end, or would
// mirror the target into itself.
static bool LinkMustNotBeFollowed(SourceLevel *level, const char *linkPath)
{
    Identity link;
    if (!Identify(linkPath, &link))
        return true;
    if (Nested(&link, PairTarget(level->walk)))
        return true;
    for (SourceLevel *on = level; on != NULL; on = on->parent) {
        if (!on->learnt) {
            Identify(on->source, &on->identity);
            on->learnt = true;
        }
        if (SameObject(&link, &on->identity) || LiesInside(&on->identity, &link))
            return true;
    }
    return false;
}

// Judges an entry of level and builds its source and target paths.
static Verdict JudgeSourceEntry(SourceLevel *level, const WIN32_FIND_DATAA *entry, char *sourcePath, char *targetPath)
{
    const char *name = entry->cFileName;
    bool folder = IsFolderEntry(entry);
    const char *tail = folder ? "\\" : "";
    if (EqualNoCase(name, TEMPORARY_COPY_NAME))
        return SKIP_QUIETLY;
    bool fits = JoinPath(sourcePath, PATH_TEXT_MAX, level->source, name, tail) &&
                JoinPath(targetPath, PATH_TEXT_MAX, level->target, name, tail);
    if (!fits) {
        snprintf(sourcePath, PATH_TEXT_MAX, "%s%s", level->source, name);
        return LEAVE_ALONE;
    }
    if (!NameUsable(name) || !WithinLimit(strlen(sourcePath), folder) || !WithinLimit(strlen(targetPath), folder) ||
        (!folder && !TemporaryFits(level->target)) || !AddNewName(&level->names, name))
        return LEAVE_ALONE;
    if (folder && IsLinkEntry(entry->dwFileAttributes) && LinkMustNotBeFollowed(level, sourcePath))
        return LEAVE_ALONE;
    return TAKE;
}

// Judges one entry of a listed level and hands it to the pass.
static void VisitEntry(const char *, const WIN32_FIND_DATAA *entry, void *context)
{
    SourceLevel *level = (SourceLevel *)context;
    char sourcePath[PATH_TEXT_MAX], targetPath[PATH_TEXT_MAX];
    Verdict verdict = JudgeSourceEntry(level, entry, sourcePath, targetPath);
    level->walk->visit(level, entry, verdict, sourcePath, targetPath);
}

// Lists one level; a folder that cannot be listed is reported and cancels the run.
static void WalkLevel(SourceLevel *level)
{
    DWORD code;
    if (!ListFolder(level->source, VisitEntry, level, &code))
        ReportListingError(code, level->source);
}

// Walks a taken sub-folder of level, unless a cancel was requested.
void WalkBelow(SourceLevel *level, const char *sourceSub, const char *targetSub)
{
    SourceLevel below;
    if (IsCancelRequested())
        return;
    BeginLevel(&below, level->walk, level, sourceSub, targetSub);
    WalkLevel(&below);
    EndLevel(&below);
}

// Walks the source tree of a pair; the pair's target is learnt only when a
// link or the pass needs it.
void WalkSource(const char *source, const char *target, SourceVisitor visit, void *context)
{
    SourceWalk walk = {target, false, {}, visit, context};
    SourceLevel top;
    BeginLevel(&top, &walk, NULL, source, target);
    WalkLevel(&top);
    EndLevel(&top);
}
