// The auto-save file "Ini.dat" and where it is found.
#include "autosave.h"
#include "base/paths.h"
#include <string.h>

static const char AUTO_SAVE_NAME[] = "Ini.dat";
char AutoSavePath[MAX_PATH] = "";

// Names AUTO_SAVE_NAME in folder into AutoSavePath; false when it does not fit.
static bool AutoSaveIn(const char *folder)
{
    return folder[0] != 0 && JoinInFolder(AutoSavePath, sizeof AutoSavePath, folder, AUTO_SAVE_NAME);
}

// True when AutoSavePath names an existing file.
static bool AutoSaveExists()
{
    DWORD attributes = GetFileAttributesA(AutoSavePath);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ResolveAutoSavePath()
{
    char folder[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, folder, sizeof folder);
    char *slash = length > 0 && length < sizeof folder ? strrchr(folder, '\\') : NULL;
    if (slash != NULL) {
        slash[1] = 0;
        if (AutoSaveIn(folder) && AutoSaveExists())
            return;
    }
    length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || !AutoSaveIn(folder))
        CopyText(AutoSavePath, sizeof AutoSavePath, AUTO_SAVE_NAME);
}
