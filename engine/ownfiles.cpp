// The program's own files, recognised by what the file system says they are.
#include "ownfiles.h"
#include "base/identity.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "base/widetext.h"
#include <string.h>
#include <wchar.h>

enum { NAME_MAX = MAX_PATH, PROGRAM = 0, AUTO_SAVE = 1, RUN_LOG = 2, OWN_FILE_COUNT = 3 };

struct OwnFile {
    Identity identity;
    WCHAR longName[NAME_MAX];
    WCHAR shortName[NAME_MAX];
};

static OwnFile OwnFiles[OWN_FILE_COUNT];

// Copies the last part of path into a name buffer, when it fits.
static void TakeName(WCHAR *out, const WCHAR *path)
{
    const WCHAR *name = LastPartW(path);
    if (wcslen(name) < NAME_MAX)
        wcscpy(out, name);
}

// Learns one own file: its identity, its name and its short name.
static void IdentifyOwnFile(OwnFile *own, const char *path)
{
    WCHAR shortPath[MAX_PATH];
    ForgetIdentity(&own->identity);
    memset(own, 0, sizeof *own);
    WCHAR *wide = path != NULL ? WideFromAnsi(path) : NULL;
    if (wide != NULL && Identify(wide, &own->identity)) {
        TakeName(own->longName, own->identity.finalPath);
        DWORD length = ShortPathAt(wide, shortPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            TakeName(own->shortName, shortPath);
    }
    MemoryFree(wide);
}

void IdentifyOwnFiles(const char *programPath, const char *autoSavePath, const char *logPath)
{
    IdentifyOwnFile(&OwnFiles[PROGRAM], programPath);
    IdentifyOwnFile(&OwnFiles[AUTO_SAVE], autoSavePath);
    IdentifyOwnFile(&OwnFiles[RUN_LOG], logPath);
}

void ForgetOwnFiles()
{
    for (OwnFile &own : OwnFiles)
        ForgetIdentity(&own.identity);
}

// True when the entry called name at path is the own file own: only an
// entry of its long or short name is asked what it is.
static bool IsThisOwnFile(const OwnFile &own, const WCHAR *path, const WCHAR *name)
{
    Identity identity = {};
    if (!own.identity.known || !(EqualNoCaseW(name, own.longName) || EqualNoCaseW(name, own.shortName)))
        return false;
    bool same = Identify(path, &identity) && SameObject(&identity, &own.identity);
    ForgetIdentity(&identity);
    return same;
}

bool IsOwnFile(const WCHAR *path, const WCHAR *name)
{
    for (const OwnFile &own : OwnFiles)
        if (IsThisOwnFile(own, path, name))
            return true;
    return false;
}

bool IsRunLog(const WCHAR *path, const WCHAR *name)
{
    return IsThisOwnFile(OwnFiles[RUN_LOG], path, name);
}
