// Pair entry: composing and splitting the text form of one sync pair.
#include "pairentry.h"
#include "base/globals.h"
#include <stdio.h>
#include <string.h>

static const char PAIR_SEPARATOR[] = "' -> '";

bool ComposePairEntry(const char *source, const char *target, char *out, size_t outSize)
{
    int length = snprintf(out, outSize, "'%s%s%s'", source, PAIR_SEPARATOR, target);
    if (length >= 0 && (size_t)length < outSize)
        return true;
    if (outSize > 0)
        out[0] = 0;
    return false;
}

// Copies the next piece (a run of non-apostrophes) of *cursor into out.
static bool NextPiece(const char **cursor, char *out, size_t outSize)
{
    const char *p = *cursor;
    while (*p == '\'')
        p++;
    if (*p == 0)
        return false;
    const char *end = strchr(p, '\'');
    size_t length = end != NULL ? (size_t)(end - p) : strlen(p);
    *cursor = p + length;
    if (length >= outSize)
        return false;
    memcpy(out, p, length);
    out[length] = 0;
    return true;
}

bool SplitPairEntry(const char *entry, char *source, size_t sourceSize, char *target, size_t targetSize)
{
    char middle[PAIR_TEXT_MAX];
    const char *cursor = entry;
    if (NextPiece(&cursor, source, sourceSize) && NextPiece(&cursor, middle, sizeof middle) &&
        NextPiece(&cursor, target, targetSize))
        return true;
    if (sourceSize > 0)
        source[0] = 0;
    if (targetSize > 0)
        target[0] = 0;
    return false;
}

bool FolderCarriable(const char *folder)
{
    return strpbrk(folder, "'@") == NULL;
}

// True for an absolute folder: a drive's ("C:\\...") or a share's ("\\\\server\\...").
// A relative or drive-relative one would name another folder whenever the
// current folder moves, which a file dialog does.
static bool AbsoluteFolder(const char *folder)
{
    bool drive = ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z')) &&
                 folder[1] == ':' && folder[2] == '\\';
    return drive || (folder[0] == '\\' && folder[1] == '\\');
}

// True for a folder an entry made by the add command holds: absolute,
// carriable and ending in a backslash.
static bool EntryFolder(const char *folder)
{
    size_t length = strlen(folder);
    return length > 0 && folder[length - 1] == '\\' && AbsoluteFolder(folder) && FolderCarriable(folder);
}

bool IsWellFormedPairEntry(const char *text)
{
    char source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX], again[PAIR_COMPOSE_MAX];
    if (strlen(text) >= PAIR_TEXT_MAX || !SplitPairEntry(text, source, sizeof source, target, sizeof target))
        return false;
    if (!EntryFolder(source) || !EntryFolder(target))
        return false;
    return ComposePairEntry(source, target, again, sizeof again) && strcmp(again, text) == 0;
}

int PairCount()
{
    LRESULT count = SendMessageA(PairList, LB_GETCOUNT, 0, 0);
    return count > 0 ? (int)count : 0;
}

bool GetPairEntry(int index, char *out)
{
    memset(out, 0, PAIR_TEXT_MAX);
    LRESULT length = SendMessageA(PairList, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR || length >= PAIR_TEXT_MAX)
        return false;
    return SendMessageA(PairList, LB_GETTEXT, (WPARAM)index, (LPARAM)out) != LB_ERR;
}

bool GetPair(int index, char *source, char *target)
{
    char entry[PAIR_TEXT_MAX];
    if (!GetPairEntry(index, entry)) {
        source[0] = 0;
        target[0] = 0;
        return false;
    }
    return SplitPairEntry(entry, source, PAIR_TEXT_MAX, target, PAIR_TEXT_MAX);
}
