// Program start and message loop.
#include "mainwindow.h"

// Creates the main window and runs the message loop until it is destroyed.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    CreateMainWindow(instance, showCommand);
    GetCurrentDirectoryA(START_DIRECTORY_MAX, StartDirectory);
    MSG message = {};
    while (GetMessageA(&message, NULL, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}
