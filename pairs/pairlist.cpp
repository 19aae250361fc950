// The sync-pair list and its add, remove and selection reactions.
#include "pairlist.h"
#include "pairentry.h"
#include "selectionfile.h"
#include "app/mainwindow.h"
#include "engine/notices.h"
#include "engine/paths.h"
#include <string.h>

int SelectedPairIndex = 0;

static const char NOTICE_TITLE[] = "Hinweis";
static const char FORBIDDEN_CHARACTER_TEXT[] =
    "Ordnerpfade mit einem Apostroph (') oder einem At-Zeichen (@) können nicht verwendet werden.\n"
    "Bitte wählen Sie einen anderen Ordner.";
static const char NESTED_PAIR_TEXT[] =
    "Der Zielordner darf weder im Quellordner liegen noch ihn enthalten.\n"
    "Die Sync-Auswahl wurde nicht übernommen.";
static const char LIST_FULL_TEXT[] =
    "Die Liste der Sync-Auswahlen ist voll: eine Auswahldatei darf höchstens 10000 Bytes umfassen.\n"
    "Die Sync-Auswahl wurde nicht übernommen.";

// True when PairList holds at least one entry.
bool PairListHasEntries()
{
    return SendMessageA(PairList, LB_GETCOUNT, 0, 0) > 0;
}

// Reads entry index into out (PAIR_TEXT_MAX bytes, zeroed first).
bool GetPairEntry(int index, char *out)
{
    memset(out, 0, PAIR_TEXT_MAX);
    LRESULT length = SendMessageA(PairList, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR || length >= PAIR_TEXT_MAX)
        return false;
    return SendMessageA(PairList, LB_GETTEXT, (WPARAM)index, (LPARAM)out) != LB_ERR;
}

// Reads and splits entry index.
bool GetPair(int index, char *source, size_t sourceSize, char *target, size_t targetSize)
{
    char entry[PAIR_TEXT_MAX];
    if (!GetPairEntry(index, entry)) {
        source[0] = 0;
        target[0] = 0;
        return false;
    }
    return SplitPairEntry(entry, source, sourceSize, target, targetSize);
}

// Bytes the saved list takes: every entry with its marker, and the final NUL.
int SavedListSize()
{
    LRESULT count = SendMessageA(PairList, LB_GETCOUNT, 0, 0);
    int size = 1;
    for (int i = 0; i < count; i++)
        size += (int)SendMessageA(PairList, LB_GETTEXTLEN, (WPARAM)i, 0) + 2;
    return size;
}

// True, after a notice, when folder cannot be carried in a pair entry.
bool RefuseUncarriableFolder(const char *folder)
{
    if (strpbrk(folder, "'@") == NULL)
        return false;
    ShowNotice(FORBIDDEN_CHARACTER_TEXT, NOTICE_TITLE, MB_OK | MB_ICONWARNING);
    return true;
}

// Enables AddPairButton once both folders are chosen.
void OnFolderChosen()
{
    if (SourceFolder[0] != 0 && TargetFolder[0] != 0)
        EnableWindow(AddPairButton, TRUE);
}

// Adds the chosen pair to the end of the list, or refuses it with a notice.
void AddPair()
{
    char entry[PAIR_COMPOSE_MAX];
    if (RefuseUncarriableFolder(SourceFolder) || RefuseUncarriableFolder(TargetFolder))
        return;
    if (ContainsNoCase(SourceFolder, TargetFolder) || ContainsNoCase(TargetFolder, SourceFolder)) {
        ShowNotice(NESTED_PAIR_TEXT, NOTICE_TITLE, MB_OK | MB_ICONWARNING);
        return;
    }
    if (!ComposePairEntry(SourceFolder, TargetFolder, entry, sizeof entry) ||
        strlen(entry) >= PAIR_TEXT_MAX ||
        SavedListSize() + (int)strlen(entry) + 2 > SELECTION_READ_MAX) {
        ShowNotice(LIST_FULL_TEXT, NOTICE_TITLE, MB_OK | MB_ICONWARNING);
        return;
    }
    SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
    SourceFolder[0] = 0;
    TargetFolder[0] = 0;
    SetWindowTextA(SourceEdit, SourceFolder);
    SetWindowTextA(TargetEdit, TargetFolder);
    EnableWindow(AddPairButton, FALSE);
    EnableWindow(SyncButton, TRUE);
    SavePairList(NULL);
}

// Removes the entry at SelectedPairIndex.
void RemovePair()
{
    SendMessageA(PairList, LB_DELETESTRING, (WPARAM)SelectedPairIndex, 0);
    EnableWindow(RemovePairButton, FALSE);
    EnableWindow(SyncButton, PairListHasEntries() ? TRUE : FALSE);
    SavePairList(NULL);
}

// Notes the selected index and enables RemovePairButton.
void OnPairSelectionChanged()
{
    SelectedPairIndex = (int)SendMessageA(PairList, LB_GETCURSEL, 0, 0);
    EnableWindow(RemovePairButton, TRUE);
}
