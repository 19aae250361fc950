// Wide texts in storage that grows, their ANSI form and their comparison.
#include "widetext.h"
#include "memory.h"
#include <string.h>
#include <wchar.h>

WCHAR *WideJoin(const WCHAR *first, const WCHAR *second, const WCHAR *third)
{
    size_t a = wcslen(first), b = wcslen(second), c = wcslen(third);
    if (a + b + c > WIDE_PATH_MAX)
        return NULL;
    WCHAR *out = (WCHAR *)MemoryAlloc((a + b + c + 1) * sizeof(WCHAR));
    if (out == NULL)
        return NULL;
    memcpy(out, first, a * sizeof(WCHAR));
    memcpy(out + a, second, b * sizeof(WCHAR));
    memcpy(out + a + b, third, c * sizeof(WCHAR));
    return out; // zeroed: terminated
}

WCHAR *WideCopy(const WCHAR *text)
{
    return WideJoin(text, L"");
}

WCHAR *WideFromAnsi(const char *text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    WCHAR *out = length > 0 ? (WCHAR *)MemoryAlloc(length * sizeof(WCHAR)) : NULL;
    if (out != NULL && MultiByteToWideChar(CP_ACP, 0, text, -1, out, length) == 0) {
        MemoryFree(out);
        return NULL;
    }
    return out;
}

// Converts length units of text (-1: all, with its terminator) to the code
// page without look-alikes, a "?" for each unit it lacks; *exact tells
// whether every character had its own form. With out NULL, the size needed.
// The UTF-8 code page takes neither the flag nor the question, and has every
// character.
static int ToAnsi(const WCHAR *text, int length, char *out, size_t size, bool *exact)
{
    BOOL usedDefault = FALSE;
    bool utf8 = GetACP() == CP_UTF8;
    int written = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text, length, out, (int)size,
                                      utf8 ? NULL : "?", utf8 ? NULL : &usedDefault);
    *exact = !usedDefault;
    return written;
}

bool AnsiFromWide(const WCHAR *text, char *out, size_t size)
{
    bool exact;
    if (size == 0)
        return false;
    if (ToAnsi(text, -1, out, size, &exact) > 0)
        return true;
    // Too long: the start is kept, cut at a whole character.
    size_t keep = wcslen(text);
    while (keep > 0 && ToAnsi(text, (int)keep, NULL, 0, &exact) >= (int)size)
        keep = keep / 2;
    int length = keep > 0 ? ToAnsi(text, (int)keep, out, size - 1, &exact) : 0;
    out[length > 0 ? length : 0] = 0;
    return false;
}

char *AnsiCopy(const WCHAR *text)
{
    bool exact;
    int size = ToAnsi(text, -1, NULL, 0, &exact);
    char *out = size > 0 ? (char *)MemoryAlloc(size) : NULL;
    if (out != NULL && !AnsiFromWide(text, out, size)) {
        MemoryFree(out);
        return NULL;
    }
    return out;
}

bool ExactAnsiForm(const WCHAR *text, char *out, size_t size)
{
    bool exact;
    return ToAnsi(text, -1, out, size, &exact) > 0 && exact;
}

bool EqualNoCaseW(const WCHAR *first, const WCHAR *second)
{
    return CompareStringOrdinal(first, -1, second, -1, TRUE) == CSTR_EQUAL;
}

bool StartsWithNoCaseW(const WCHAR *text, const WCHAR *prefix)
{
    size_t length = wcslen(prefix);
    return wcslen(text) >= length && CompareStringOrdinal(text, (int)length, prefix, (int)length, TRUE) == CSTR_EQUAL;
}

// The upper-case form of one UTF-16 unit by the table an ordinal comparison
// uses (RtlUpcaseUnicodeChar); CharUpperW may follow the user's language,
// and a hash that disagrees with the comparison would miss a spelling.
static WCHAR UpperUnit(WCHAR unit)
{
    typedef WCHAR(WINAPI * Upcase)(WCHAR);
    static Upcase upcase = (Upcase)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlUpcaseUnicodeChar");
    if (unit < 0x80)
        return unit >= L'a' && unit <= L'z' ? (WCHAR)(unit - 32) : unit;
    return upcase != NULL ? upcase(unit) : (WCHAR)0xFFFF; // without the table: one stand-in, coarse but consistent
}

unsigned long HashNoCaseW(const WCHAR *text)
{
    unsigned long hash = 2166136261u;
    for (; *text != 0; text++)
        hash = ((hash ^ UpperUnit(*text)) * 16777619u) & 0xFFFFFFFFu;
    return hash;
}

WCHAR *FolderOfPath(const WCHAR *path)
{
    const WCHAR *slash = wcsrchr(path, L'\\');
    WCHAR *folder = slash != NULL ? WideCopy(path) : NULL;
    if (folder != NULL)
        folder[slash - path + 1] = 0;
    return folder;
}

const WCHAR *LastPartW(const WCHAR *path)
{
    const WCHAR *slash = wcsrchr(path, L'\\');
    return slash != NULL ? slash + 1 : path;
}
