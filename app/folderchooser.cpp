// The shell's folder browser.
#include "folderchooser.h"
#include "base/globals.h"
#include "base/messages.h"
#include "base/paths.h"
#include "base/texts.h"
#include "pairs/pairentry.h"
#include <shlobj.h>
#include <string.h>

void BrowseForFolder(HWND owner, char *folder, const char *prompt)
{
    char displayName[MAX_PATH];
    char chosen[MAX_PATH + 1];
    BROWSEINFOA browse;
    memset(&browse, 0, sizeof browse);
    browse.hwndOwner = owner;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = prompt;
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (item == NULL)
        return;
    chosen[0] = 0;
    BOOL hasPath = SHGetPathFromIDListA(item, chosen);
    CoTaskMemFree(item);
    if (!hasPath || chosen[0] == 0)
        return;
    if (!FolderCarriable(chosen)) {
        ShowNotice(UNCARRIABLE_FOLDER_NOTE, TITLE_NOTE, MB_OK | MB_ICONWARNING);
        return;
    }
    JoinInFolder(folder, FOLDER_TEXT_MAX, chosen, "");
}
