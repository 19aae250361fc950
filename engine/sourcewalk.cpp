// The walk of a pair's source tree.
#include "sourcewalk.h"
#include "copyfile.h"
#include "names.h"
#include "notices.h"
#include "ownfiles.h"
#include "base/memory.h"
#include "base/widetext.h"
#include "runstate.h"
#include "sourcefolders.h"
#include <string.h>
#include <wchar.h>

enum {
    LONG_FORM_ROOM = 8 // "\\?\UNC\" before a path that is used in that form
};

DWORD OpenSourceLevel(SourceLevel *level, SourceWalk *walk, SourceLevel *parent, const WCHAR *source,
                      const WCHAR *target)
{
    memset(level, 0, sizeof *level);
    level->walk = walk;
    level->parent = parent;
    level->source = source;
    level->target = target;
    level->targetHeld = INVALID_HANDLE_VALUE;
    DWORD code = ReadFolderLevel(source, &level->listing);
    if (code == ERROR_SUCCESS)
        code = BuildNameSet(&level->listing, &level->names);
    return code;
}

// Frees what a level holds.
void CloseSourceLevel(SourceLevel *level)
{
    if (level->targetHeld != INVALID_HANDLE_VALUE)
        CloseHandle(level->targetHeld);
    level->targetHeld = INVALID_HANDLE_VALUE;
    ForgetIdentity(&level->identity);
    ReleaseNameSet(&level->names);
    ReleaseFolderLevel(&level->listing);
}

WCHAR *FinalPathInTarget(const PairFolders *pair, const WCHAR *targetPath)
{
    const Identity *target = &pair->targetIdentity;
    WCHAR *out = target->known ? WideJoin(target->finalPath, L"\\", targetPath + wcslen(pair->targetPath)) : NULL;
    size_t length = out != NULL ? wcslen(out) : 0;
    if (length > 0 && out[length - 1] == L'\\')
        out[length - 1] = 0;
    return out;
}

// True when the folder link at linkPath leads back onto the walk's path, to
// the pair's target, or nowhere: following it would never end, or would
// mirror the target into itself.
static bool LinkMustNotBeFollowed(SourceLevel *level, const WCHAR *linkPath)
{
    Identity link = {};
    bool refused = !Identify(linkPath, &link) || Nested(&link, &level->walk->pair->targetIdentity);
    for (SourceLevel *on = level; on != NULL && !refused; on = on->parent) {
        if (!on->learnt) {
            Identify(on->source, &on->identity);
            on->learnt = true;
        }
        refused = SameObject(&link, &on->identity) || LiesInside(&on->identity, &link);
    }
    ForgetIdentity(&link);
    return refused;
}

// True when path is too long for the platform, in the form it is used in.
static bool TooLong(const WCHAR *path)
{
    return wcslen(path) + LONG_FORM_ROOM > WIDE_PATH_MAX;
}

Verdict JudgeSourceEntry(SourceLevel *level, int index, WCHAR **sourcePath, WCHAR **targetPath)
{
    const ListedEntry *entry = &level->listing.entries[index];
    const WCHAR *name = EntryName(&level->listing, index);
    bool folder = IsFolderEntry(entry->attributes);
    const WCHAR *tail = folder ? L"\\" : L"";
    *sourcePath = WideJoin(level->source, name, tail);
    *targetPath = *sourcePath != NULL ? WideJoin(level->target, name, tail) : NULL;
    if (*targetPath == NULL)
        return LEAVE_ALONE;
    if (!folder && IsRunLog(*sourcePath, name))
        return SKIP_QUIETLY;
    if (!NameAddressable(name) || EqualNoCaseW(name, TEMPORARY_COPY_NAME) || TooLong(*sourcePath) ||
        TooLong(*targetPath))
        return LEAVE_ALONE;
    int chosen = ChosenSpelling(&level->names, &level->listing, name);
    if (chosen >= 0 && chosen != index)
        return LEAVE_ALONE;
    if (folder && IsLinkEntry(entry->attributes) && LinkMustNotBeFollowed(level, *sourcePath))
        return LEAVE_ALONE;
    return TAKE;
}

// Reads one level and hands each judged entry to the pass; a folder that
// cannot be listed is reported and cancels the run, unless it lies below the
// pair's source and the file system refuses its path as too long: then the
// mirror leaves it alone and reports it. After a cancel only the entry
// already fetched is handled. The paths of an entry live while it is handled.
static void WalkLevel(SourceWalk *walk, SourceLevel *parent, const WCHAR *source, const WCHAR *target,
                      bool targetCreated)
{
    SourceLevel level;
    DWORD code = OpenSourceLevel(&level, walk, parent, source, target);
    level.targetCreated = targetCreated;
    if (code != ERROR_SUCCESS && parent != NULL && PathRefused(code, source)) {
        if (!walk->learnFolders)
            ReportLeftAlone(source);
    } else if (code != ERROR_SUCCESS) {
        ReportListingError(code, source);
    } else if (walk->learnFolders) {
        LearnSourceFolder(source, &level.listing);
    }
    for (int i = 0; i < level.listing.count && (i == 0 || !IsCancelRequested()); i++) {
        WCHAR *sourcePath, *targetPath;
        Verdict verdict = JudgeSourceEntry(&level, i, &sourcePath, &targetPath);
        const WCHAR *name = EntryName(&level.listing, i);
        WalkEntry entry = {&level.listing.entries[i], name, verdict, sourcePath != NULL ? sourcePath : name,
                           targetPath};
        walk->visit(&level, &entry);
        MemoryFree(sourcePath);
        MemoryFree(targetPath);
    }
    CloseSourceLevel(&level);
}

void WalkBelow(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub, bool targetCreated)
{
    WalkLevel(level->walk, level, sourceSub, targetSub, targetCreated);
}

void WalkBelowWith(SourceLevel *level, const WCHAR *sourceSub, const WCHAR *targetSub, SourceVisitor visit,
                   void *context)
{
    SourceWalk walk = {level->walk->pair, visit, context, level->walk->learnFolders};
    WalkLevel(&walk, level, sourceSub, targetSub, false);
}

void WalkSource(PairFolders *pair, SourceVisitor visit, void *context, bool learnFolders)
{
    SourceWalk walk = {pair, visit, context, learnFolders};
    WalkLevel(&walk, NULL, pair->sourcePath, pair->targetPath, false);
}
