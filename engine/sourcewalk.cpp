// The walk of a pair's source tree.
#include "sourcewalk.h"
#include "copyfile.h"
#include "names.h"
#include "notices.h"
#include "ownfiles.h"
#include "base/paths.h"
#include "runstate.h"
#include "sourcefolders.h"
#include <stdio.h>
#include <string.h>

DWORD OpenSourceLevel(SourceLevel *level, SourceWalk *walk, SourceLevel *parent, const char *source, const char *target)
{
    level->walk = walk;
    level->parent = parent;
    level->source = source;
    level->target = target;
    level->targetCreated = false;
    level->learnt = false;
    level->identity.known = false;
    level->targetLearnt = false;
    level->targetHeld = INVALID_HANDLE_VALUE;
    level->names.slots = NULL;
    level->names.slotCount = 0;
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
    ReleaseNameSet(&level->names);
    ReleaseFolderLevel(&level->listing);
}

bool FinalPathInTarget(const PairFolders *pair, const char *targetPath, char *out, size_t size)
{
    const Identity *target = &pair->targetIdentity;
    return target->known && JoinPath(out, size, target->finalPath, "\\", targetPath + strlen(pair->target)) &&
           WithoutTrailingBackslash(out, out, size);
}

// True when the folder link at linkPath leads back onto the walk's path, to
// the pair's target, or nowhere: following it would never end, or would
// mirror the target into itself.
static bool LinkMustNotBeFollowed(SourceLevel *level, const char *linkPath)
{
    Identity link;
    if (!Identify(linkPath, &link))
        return true;
    if (Nested(&link, &level->walk->pair->targetIdentity))
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

Verdict JudgeSourceEntry(SourceLevel *level, int index, char *sourcePath, char *targetPath)
{
    const ListedEntry *entry = &level->listing.entries[index];
    const char *name = EntryName(&level->listing, index);
    bool folder = IsFolderEntry(entry->attributes);
    const char *tail = folder ? "\\" : "";
    targetPath[0] = 0;
    if (!JoinPath(sourcePath, PATH_TEXT_MAX, level->source, name, tail)) {
        snprintf(sourcePath, PATH_TEXT_MAX, "%s%s%s", level->source, name, tail);
        return LEAVE_ALONE;
    }
    if (!JoinPath(targetPath, PATH_TEXT_MAX, level->target, name, tail))
        return LEAVE_ALONE;
    if (!folder && IsRunLog(sourcePath, name))
        return SKIP_QUIETLY;
    if (!NameAddressable(name, entry->exactName) || EqualNoCase(name, TEMPORARY_COPY_NAME))
        return LEAVE_ALONE;
    if (!PathWithinLimit(sourcePath, folder) || !PathWithinLimit(targetPath, folder) ||
        (!folder && !NameBesideWithinLimit(targetPath, TEMPORARY_COPY_NAME)))
        return LEAVE_ALONE;
    int chosen = ChosenSpelling(&level->names, &level->listing, name);
    if (chosen >= 0 && chosen != index)
        return LEAVE_ALONE;
    if (folder && IsLinkEntry(entry->attributes) && LinkMustNotBeFollowed(level, sourcePath))
        return LEAVE_ALONE;
    return TAKE;
}

// Reads one level and hands each judged entry to the pass; a folder that
// cannot be listed is reported and cancels the run. After a cancel only the
// entry already fetched is handled.
static void WalkLevel(SourceWalk *walk, SourceLevel *parent, const char *source, const char *target, bool targetCreated)
{
    SourceLevel level;
    char sourcePath[PATH_TEXT_MAX], targetPath[PATH_TEXT_MAX];
    DWORD code = OpenSourceLevel(&level, walk, parent, source, target);
    level.targetCreated = targetCreated;
    if (code != ERROR_SUCCESS)
        ReportListingError(code, source);
    else if (walk->learnFolders)
        LearnSourceFolder(source, level.listing.count > 0);
    for (int i = 0; i < level.listing.count && (i == 0 || !IsCancelRequested()); i++) {
        WalkEntry entry = {&level.listing.entries[i], EntryName(&level.listing, i), TAKE, sourcePath, targetPath};
        entry.verdict = JudgeSourceEntry(&level, i, sourcePath, targetPath);
        walk->visit(&level, &entry);
    }
    CloseSourceLevel(&level);
}

void WalkBelow(SourceLevel *level, const char *sourceSub, const char *targetSub, bool targetCreated)
{
    WalkLevel(level->walk, level, sourceSub, targetSub, targetCreated);
}

void WalkBelowWith(SourceLevel *level, const char *sourceSub, const char *targetSub, SourceVisitor visit, void *context)
{
    SourceWalk walk = {level->walk->pair, visit, context, level->walk->learnFolders};
    WalkLevel(&walk, level, sourceSub, targetSub, false);
}

void WalkSource(PairFolders *pair, SourceVisitor visit, void *context, bool learnFolders)
{
    SourceWalk walk = {pair, visit, context, learnFolders};
    WalkLevel(&walk, NULL, pair->source, pair->target, false);
}
