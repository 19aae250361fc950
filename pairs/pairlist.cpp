// The sync-pair list and its add, remove and selection reactions.
#include "pairlist.h"
#include "folderrules.h"
#include "pairentry.h"
#include "selectionfile.h"
#include "base/globals.h"
#include "base/messages.h"
#include "base/texts.h"
#include <string.h>

int SelectedPairIndex = 0;

bool PairListHasEntries()
{
    return PairCount() > 0;
}

void OnFolderChosen()
{
    if (SourceFolder[0] != 0 && TargetFolder[0] != 0)
        EnableWindow(AddPairButton, TRUE);
}

// The notice that refuses the chosen pair, or NULL when it may be added:
// folders a pair entry cannot carry, folders that are one or lie inside
// each other however they are written, and an entry the list has no room for.
static const char *RefusalOf(const char *entry, bool composed)
{
    if (!FolderCarriable(SourceFolder) || !FolderCarriable(TargetFolder))
        return UNCARRIABLE_FOLDER_NOTE;
    if (FoldersNested(SourceFolder, TargetFolder))
        return NESTED_PAIR_NOTE;
    if (!composed || strlen(entry) >= PAIR_TEXT_MAX || !ListFitsWith(strlen(entry)))
        return LIST_FULL_NOTE;
    return NULL;
}

void AddPair()
{
    char entry[PAIR_COMPOSE_MAX];
    bool composed = ComposePairEntry(SourceFolder, TargetFolder, entry, sizeof entry);
    const char *refusal = RefusalOf(entry, composed);
    if (refusal != NULL) {
        ShowNotice(refusal, TITLE_NOTE, MB_OK | MB_ICONWARNING);
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

void RemovePair()
{
    SendMessageA(PairList, LB_DELETESTRING, (WPARAM)SelectedPairIndex, 0);
    EnableWindow(RemovePairButton, FALSE);
    EnableWindow(SyncButton, PairListHasEntries() ? TRUE : FALSE);
    SavePairList(NULL);
}

void OnPairSelectionChanged()
{
    SelectedPairIndex = (int)SendMessageA(PairList, LB_GETCURSEL, 0, 0);
    EnableWindow(RemovePairButton, TRUE);
}
