// Program start and message loop.
#include "base/globals.h"
#include "listlock.h"
#include "mainwindow.h"
#include "pairs/autosave.h"

// Creates the main window and runs the message loop until it is destroyed.
// A second start on the same list hands over to the running copy, so that
// two windows never rewrite one auto-save file from two lists.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    ResolveAutoSavePath();
    if (!TakeListLock(MAIN_CLASS_NAME))
        return 0;
    CreateMainWindow(instance, showCommand);
    GetCurrentDirectoryA(START_DIRECTORY_MAX, StartDirectory);
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
