// The program's own files, recognised by what the file system says they are.
#include "ownfiles.h"
#include "identity.h"
#include "paths.h"
#include <string.h>

enum { NAME_MAX = MAX_PATH };

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

// Learns what the own files are.
void IdentifyOwnFiles(const char *programPath, const char *autoSavePath, const char *logPath)
{
    IdentifyOwnFile(&OwnFiles[0], programPath);
    IdentifyOwnFile(&OwnFiles[1], autoSavePath);
    IdentifyOwnFile(&OwnFiles[2], logPath);
}

// True when name is the long or short name of a known own file.
static bool NameOfOwnFile(const char *name)
{
    for (const OwnFile &own : OwnFiles)
        if (own.identity.known && (EqualNoCase(name, own.longName) || EqualNoCase(name, own.shortName)))
            return true;
    return false;
}

// True when identity is one of the own files.
static bool OwnIdentity(const Identity *identity)
{
    for (const OwnFile &own : OwnFiles)
        if (SameObject(identity, &own.identity))
            return true;
    return false;
}

// True when the entry called name at path is one of the own files.
bool IsOwnFile(const char *path, const char *name)
{
    Identity identity;
    return NameOfOwnFile(name) && Identify(path, &identity) && OwnIdentity(&identity);
}
