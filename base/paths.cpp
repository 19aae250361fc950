// Bounded path building and letter-case-blind text tests.
#include "paths.h"
#include <windows.h>
#include <string.h>

bool JoinPath(char *out, size_t size, const char *first, const char *second, const char *third)
{
    size_t a = strlen(first), b = strlen(second), c = strlen(third);
    if (size == 0)
        return false;
    if (a + b + c >= size) {
        out[0] = 0;
        return false;
    }
    memmove(out, first, a);
    memcpy(out + a, second, b);
    memcpy(out + a + b, third, c);
    out[a + b + c] = 0;
    return true;
}

bool CopyText(char *out, size_t size, const char *text)
{
    return JoinPath(out, size, text, "", "");
}

bool WithoutTrailingBackslash(const char *folder, char *out, size_t size)
{
    if (!CopyText(out, size, folder))
        return false;
    size_t length = strlen(out);
    if (length > 0 && out[length - 1] == '\\')
        out[length - 1] = 0;
    return true;
}

bool JoinInFolder(char *out, size_t size, const char *folder, const char *name)
{
    size_t length = strlen(folder);
    return JoinPath(out, size, folder, length > 0 && folder[length - 1] == '\\' ? "" : "\\", name);
}

// The upper-case table of the ANSI code page, made once.
struct UpperTable {
    unsigned char letters[256];
    UpperTable()
    {
        for (int i = 0; i < 256; i++)
            letters[i] = (unsigned char)i;
        CharUpperBuffA((char *)letters + 1, 255);
    }
};

unsigned char UpperLetter(unsigned char letter)
{
    static const UpperTable table;
    return table.letters[letter];
}

unsigned long HashNoCase(const char *text)
{
    unsigned long hash = 2166136261u;
    for (; *text != 0; text++)
        hash = ((hash ^ UpperLetter((unsigned char)*text)) * 16777619u) & 0xFFFFFFFFu;
    return hash;
}

bool StartsWithNoCase(const char *text, const char *prefix)
{
    for (; *prefix != 0; text++, prefix++)
        if (UpperLetter((unsigned char)*text) != UpperLetter((unsigned char)*prefix))
            return false;
    return true;
}

bool EqualNoCase(const char *first, const char *second)
{
    return strlen(first) == strlen(second) && StartsWithNoCase(first, second);
}

bool ContainsNoCase(const char *haystack, const char *needle)
{
    size_t length = strlen(haystack), wanted = strlen(needle);
    for (size_t start = 0; start + wanted <= length; start++)
        if (StartsWithNoCase(haystack + start, needle))
            return true;
    return false;
}
