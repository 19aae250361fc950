// Helper of the fault tests, run to be killed at a bad moment:
//   helper save <file>              saves two pair lists in turn, for ever;
//   helper mirror <source> <target> mirrors source onto target.
#include "support.h"
#include "app/controls.h"
#include "engine/passes.h"
#include "pairs/selectionfile.h"
#include "faults/saverlists.h"
#include <string.h>

// Replaces the stand-in list by the given entries.
static void SetList(const std::vector<std::string> &entries)
{
    SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
    for (const std::string &entry : entries)
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
}

int main(int argc, char **argv)
{
    CreateStandInControls();
    if (argc == 4 && strcmp(argv[1], "mirror") == 0) {
        MirrorFolder(argv[2], argv[3], false);
        return 0;
    }
    if (argc != 3 || strcmp(argv[1], "save") != 0)
        return 2;
    std::vector<std::string> lists[2] = {SaverList(0), SaverList(1)};
    for (unsigned round = 0;; round++) {
        SetList(lists[round % 2]);
        if (!SavePairList(argv[2]))
            return 1;
    }
}
