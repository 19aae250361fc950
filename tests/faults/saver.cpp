// Helper of the fault suite: saves two pair lists in turn to one file, for
// ever, so that the test can kill it in the middle of a save.
#include "support.h"
#include "app/controls.h"
#include "pairs/selectionfile.h"
#include "faults/saverlists.h"

// Replaces the stand-in list by the given entries.
static void SetList(const std::vector<std::string> &entries)
{
    SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
    for (const std::string &entry : entries)
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    CreateStandInControls();
    std::vector<std::string> lists[2] = {SaverList(0), SaverList(1)};
    for (unsigned round = 0;; round++) {
        SetList(lists[round % 2]);
        if (!SavePairList(argv[1]))
            return 1;
    }
}
