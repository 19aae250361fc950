// The open and save commands of the "Datei" menu: file dialogs, loading and
// saving selection files, and their confirmations.
#include "selectioncommands.h"
#include "base/globals.h"
#include "base/messages.h"
#include "base/texts.h"
#include "pairs/pairentry.h"
#include "pairs/selectionfile.h"
#include <commdlg.h>
#include <string.h>

enum { FILE_NAME_MAX = 260 }; // file name the dialogs may return

static const char SELECTION_EXTENSION[] = ".MirrorixPath";

bool AddSelectionExtension(char *name, size_t size)
{
    if (strstr(name, SELECTION_EXTENSION) != NULL)
        return true;
    size_t length = strlen(name);
    if (length + strlen(SELECTION_EXTENSION) >= size)
        return false;
    strcpy(name + length, SELECTION_EXTENSION);
    return true;
}

// Shows the open or the save dialog; true when the user chose a file name,
// which fileName (FILE_NAME_BUFFER bytes) then holds. The buffer has room
// behind the dialog's 260 characters for the extension.
static bool AskForFileName(bool save, char *fileName)
{
    OPENFILENAMEA dialog;
    memset(&dialog, 0, sizeof dialog);
    fileName[0] = 0;
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = MainWindow;
    dialog.lpstrFilter = FILE_FILTER;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = FILE_NAME_MAX;
    dialog.lpstrInitialDir = StartDirectory;
    dialog.Flags = save ? OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST;
    return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != 0;
}

void OpenSelectionFile()
{
    char fileName[FILE_NAME_BUFFER];
    if (!AskForFileName(false, fileName))
        return;
    bool loaded = LoadPairList(fileName);
    EnableWindow(SyncButton, PairCount() > 0 ? TRUE : FALSE);
    EnableWindow(RemovePairButton, FALSE);
    if (loaded)
        ShowNotice(LOADED_NOTE, TITLE_LOADED, MB_OK | MB_ICONINFORMATION);
}

void SaveSelectionFile()
{
    char fileName[FILE_NAME_BUFFER];
    if (AskForFileName(true, fileName) && AddSelectionExtension(fileName, sizeof fileName) && SavePairList(fileName))
        ShowNotice(SAVED_NOTE, TITLE_SAVED, MB_OK | MB_ICONINFORMATION);
}
