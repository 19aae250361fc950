// Helper of the tests, run to be killed at a bad moment:
//   helper save <file>              saves the two helper lists in turn, for ever,
//                                   signalling "Local\KR-Mirrorix-test-saved" after each;
//   helper mirror <source> <target> mirrors source onto target.
#include "support.h"
#include "engine/passes.h"
#include "pairs/selectionfile.h"

int main(int argc, char **argv)
{
    CreateMainWindow(GetModuleHandleA(NULL), SW_HIDE);
    if (argc == 4 && strcmp(argv[1], "mirror") == 0) {
        MirrorFolder(argv[2], argv[3], false);
        return 0;
    }
    if (argc != 3 || strcmp(argv[1], "save") != 0)
        return 2;
    HANDLE saved = OpenEventA(EVENT_MODIFY_STATE, FALSE, "Local\\KR-Mirrorix-test-saved");
    for (unsigned round = 0;; round++) {
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (const std::string &entry : HelperList(round % 2))
            SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
        if (!SavePairList(argv[2]))
            return 1;
        SetEvent(saved);
    }
}
