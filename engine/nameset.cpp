// The names of one folder level, compared regardless of letter case.
#include "nameset.h"
#include "base/memory.h"
#include "base/widetext.h"
#include <string.h>
#include <wchar.h>

enum { ANSI_NAME_MAX = 4 * MAX_PATH }; // a name's ANSI form, UTF-8 included

// The slot of name: the one holding a spelling of it, or the free one where it belongs.
static size_t SlotOf(const NameSet *set, const FolderLevel *level, const WCHAR *name)
{
    size_t mask = set->slotCount - 1;
    size_t i = HashNoCaseW(name) & mask;
    while (set->slots[i] != 0 && !EqualNoCaseW(EntryName(level, set->slots[i] - 1), name))
        i = (i + 1) & mask;
    return i;
}

// True when spelling comes before other among twins: byte-wise by their
// ANSI forms where both have an exact one, else in UTF-16 order.
static bool ChosenBefore(const WCHAR *spelling, const WCHAR *other)
{
    char first[ANSI_NAME_MAX], second[ANSI_NAME_MAX];
    if (ExactAnsiForm(spelling, first, sizeof first) && ExactAnsiForm(other, second, sizeof second))
        return strcmp(first, second) < 0;
    return wcscmp(spelling, other) < 0;
}

DWORD BuildNameSet(const FolderLevel *level, NameSet *set)
{
    set->slots = NULL;
    set->slotCount = 0;
    if (level->count == 0)
        return ERROR_SUCCESS;
    size_t count = 16;
    while (count < (size_t)level->count * 2)
        count *= 2;
    set->slots = (int *)MemoryAlloc(count * sizeof(int));
    if (set->slots == NULL)
        return ERROR_NOT_ENOUGH_MEMORY;
    set->slotCount = count;
    for (int index = 0; index < level->count; index++) {
        const WCHAR *name = EntryName(level, index);
        size_t slot = SlotOf(set, level, name);
        if (set->slots[slot] == 0 || ChosenBefore(name, EntryName(level, set->slots[slot] - 1)))
            set->slots[slot] = index + 1;
    }
    return ERROR_SUCCESS;
}

// Frees what the set holds.
void ReleaseNameSet(NameSet *set)
{
    MemoryFree(set->slots);
    set->slots = NULL;
    set->slotCount = 0;
}

int ChosenSpelling(const NameSet *set, const FolderLevel *level, const WCHAR *name)
{
    if (set->slotCount == 0)
        return -1;
    return set->slots[SlotOf(set, level, name)] - 1;
}
