// The program's own files, recognised by what the file system says they are.
#include "ownfiles.h"
#include "base/identity.h"
#include "base/paths.h"
#include <string.h>

enum { NAME_MAX = MAX_PATH, PROGRAM = 0, AUTO_SAVE = 1, RUN_LOG = 2, OWN_FILE_COUNT = 3 };

struct OwnFile {
    Identity identity;
    char longName[NAME_MAX];
    char shortName[NAME_MAX];
};

static OwnFile OwnFiles[OWN_FILE_COUNT];

// The last part of path, after its last backslash.
static const char *LastPart(const char *path)
{
    const char *slash = strrchr(path, '\\');
    return slash != NULL ? slash + 1 : path;
}

// Learns one own file: its identity, its name and its short name.
static void IdentifyOwnFile(OwnFile *own, const char *path)
{
    char shortPath[PATH_TEXT_MAX];
    memset(own, 0, sizeof *own);
    if (path == NULL || !Identify(path, &own->identity))
        return;
    CopyText(own->longName, sizeof own->longName, LastPart(own->identity.finalPath));
    DWORD length = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (length > 0 && length < sizeof shortPath)
        CopyText(own->shortName, sizeof own->shortName, LastPart(shortPath));
}

void IdentifyOwnFiles(const char *programPath, const char *autoSavePath, const char *logPath)
{
    IdentifyOwnFile(&OwnFiles[PROGRAM], programPath);
    IdentifyOwnFile(&OwnFiles[AUTO_SAVE], autoSavePath);
    IdentifyOwnFile(&OwnFiles[RUN_LOG], logPath);
}

// True when the entry called name at path is the own file own: only an
// entry of its long or short name is asked what it is.
static bool IsThisOwnFile(const OwnFile &own, const char *path, const char *name)
{
    Identity identity;
    return own.identity.known && (EqualNoCase(name, own.longName) || EqualNoCase(name, own.shortName)) &&
           Identify(path, &identity) && SameObject(&identity, &own.identity);
}

bool IsOwnFile(const char *path, const char *name)
{
    for (const OwnFile &own : OwnFiles)
        if (IsThisOwnFile(own, path, name))
            return true;
    return false;
}

bool IsRunLog(const char *path, const char *name)
{
    return IsThisOwnFile(OwnFiles[RUN_LOG], path, name);
}
