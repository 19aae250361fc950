// The source folders a run learnt, in a hash table of their paths.
#include "sourcefolders.h"
#include "names.h"
#include "base/identity.h"
#include "base/memory.h"
#include "base/longpath.h"
#include "base/widetext.h"
#include <string.h>

enum { FIRST_FOLDER_SLOTS = 64 };

// What a folder was when the count pass listed it.
struct FolderMark {
    WCHAR *path; // NULL: a free slot
    ULONGLONG fileIndex;
    LONGLONG creationTime;
    bool heldEntries;
    WCHAR *entry; // the name of one entry it held, in a block of its own (NULL: none known)
};

static FolderMark *Marks = NULL;
static size_t MarkSlots = 0, MarkCount = 0;

// Reads the identity of folder: its file index and creation time (the volume
// serial is not asked, which costs Wine a millisecond a folder); false when
// it cannot be opened.
static bool ReadMark(const WCHAR *folder, FolderMark *mark)
{
    FILE_BASIC_INFO basic;
    HANDLE handle = OpenPath(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    bool known = FileIndexOf(handle, &mark->fileIndex) &&
                 GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic);
    CloseHandle(handle);
    if (known)
        mark->creationTime = basic.CreationTime.QuadPart;
    return known;
}

// The slot of folder: the one holding it, or the free one where it belongs.
static size_t SlotOf(const FolderMark *marks, size_t slots, const WCHAR *folder)
{
    size_t i = HashNoCaseW(folder) & (slots - 1);
    while (marks[i].path != NULL && !EqualNoCaseW(marks[i].path, folder))
        i = (i + 1) & (slots - 1);
    return i;
}

// Doubles the table (or makes the first); false when memory is short.
static bool Grow()
{
    size_t slots = MarkSlots == 0 ? (size_t)FIRST_FOLDER_SLOTS : MarkSlots * 2;
    FolderMark *marks = (FolderMark *)MemoryAlloc(slots * sizeof(FolderMark));
    if (marks == NULL)
        return false;
    for (size_t i = 0; i < MarkSlots; i++)
        if (Marks[i].path != NULL)
            marks[SlotOf(marks, slots, Marks[i].path)] = Marks[i];
    MemoryFree(Marks);
    Marks = marks;
    MarkSlots = slots;
    return true;
}

// The name of an entry of listing that a path names for certain (a device
// name would be found in any folder), in a block of its own; NULL when none.
static WCHAR *AddressableEntry(const FolderLevel *listing)
{
    for (int i = 0; i < listing->count; i++)
        if (NameAddressable(EntryName(listing, i)))
            return WideCopy(EntryName(listing, i));
    return NULL;
}

void LearnSourceFolder(const WCHAR *folder, const FolderLevel *listing)
{
    FolderMark mark = {NULL, listing->fileIndex, listing->creationTime, listing->count > 0, NULL};
    if (!listing->identified || ((MarkCount + 1) * 2 > MarkSlots && !Grow()))
        return;
    FolderMark *slot = &Marks[SlotOf(Marks, MarkSlots, folder)];
    if (slot->path == NULL) {
        if ((mark.path = WideCopy(folder)) == NULL)
            return;
        MarkCount++;
    } else {
        mark.path = slot->path; // learnt again: the later listing counts
        MemoryFree(slot->entry);
    }
    mark.entry = AddressableEntry(listing);
    *slot = mark;
}

// True when folder (learnt as mark, or not learnt: NULL) holds an entry:
// first the entry it held is asked for by its path, which costs far less
// than a listing's start (Wine reads the whole folder for that).
static bool HoldsEntry(const WCHAR *folder, const FolderMark *mark)
{
    bool holdsEntry = false;
    WCHAR *path = mark != NULL && mark->entry != NULL ? WideJoin(folder, mark->entry) : NULL;
    bool there = path != NULL && AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
    MemoryFree(path);
    return there || (ProbeFolder(folder, &holdsEntry) == ERROR_SUCCESS && holdsEntry);
}

// The mark learnt for folder; NULL when it was not learnt.
static const FolderMark *MarkOf(const WCHAR *folder)
{
    const FolderMark *mark = MarkSlots != 0 ? &Marks[SlotOf(Marks, MarkSlots, folder)] : NULL;
    return mark != NULL && mark->path != NULL ? mark : NULL;
}

bool SourceFolderHoldsEntry(const WCHAR *folder)
{
    return HoldsEntry(folder, MarkOf(folder));
}

bool SourceFolderUnchanged(const WCHAR *folder, bool byCreationTime)
{
    FolderMark now;
    const FolderMark *learnt = MarkOf(folder);
    if (learnt == NULL || !ReadMark(folder, &now) || now.fileIndex != learnt->fileIndex ||
        (byCreationTime && now.creationTime != learnt->creationTime))
        return false;
    return !learnt->heldEntries || HoldsEntry(folder, learnt);
}

void ForgetSourceFolders()
{
    for (size_t i = 0; i < MarkSlots; i++) {
        MemoryFree(Marks[i].path);
        MemoryFree(Marks[i].entry);
    }
    MemoryFree(Marks);
    Marks = NULL;
    MarkSlots = MarkCount = 0;
}
