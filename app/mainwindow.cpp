// The main window: class, creation with its control table, colour messages
// and destruction.
#include "mainwindow.h"
#include "commands.h"
#include "controls.h"
#include "listlock.h"
#include "engine/display.h"
#include "base/messages.h"
#include "base/texts.h"
#include "pairs/pairlist.h"
#include "pairs/selectionfile.h"
#include "resources/resource.h"
#include <commctrl.h>

enum { CLIENT_WIDTH = 600, CLIENT_HEIGHT = 630 };

const char MAIN_CLASS_NAME[] = "KR-Mirrorix";

// Static initialiser of BackgroundBrush: the system brush of the button
// face, fetched before WinMain runs and never deleted.
static HBRUSH InitBackgroundBrush()
{
    return GetSysColorBrush(COLOR_BTNFACE);
}

static HBRUSH BackgroundBrush = InitBackgroundBrush();

// Creates one control of the table.
static HWND CreateControl(const ControlRow *row, HWND window, HINSTANCE instance)
{
    HWND control = CreateWindowExA(0, row->className, row->text, row->style, row->x, row->y, row->width, row->height,
                                   window, NULL, instance, NULL);
    if (row->handle != NULL)
        *row->handle = control;
    return control;
}

// Sets a progress bar to the range 0 to 100 at position 0.
static void PrepareProgressBar(HWND bar)
{
    SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    SendMessageA(bar, PBM_SETPOS, 0, 0);
}

// Brings the control of the table row just created into its initial state.
// The chosen folders are emptied right after the status lines are shown,
// the moment the window's creation sequence does so.
static void AfterControlCreated(int row)
{
    HWND *handle = ControlTable[row].handle;
    if (handle == &PairList) {
        LoadPairList(NULL);
    } else if (handle == &SyncButton) {
        EnableWindow(SyncButton, PairListHasEntries() ? TRUE : FALSE);
    } else if (handle == &AddPairButton || handle == &RemovePairButton) {
        EnableWindow(*handle, FALSE);
    } else if (handle == &FileProgressBar || handle == &TotalProgressBar) {
        PrepareProgressBar(*handle);
    } else if (handle == &CleanedStatusLabel) {
        UpdateStatusLines();
        SourceFolder[0] = 0;
        TargetFolder[0] = 0;
    } else if (handle == &CleanupCheckbox) {
        SendMessageA(CleanupCheckbox, BM_SETCHECK, BST_CHECKED, 0);
    }
}

// WM_CREATE: size and centre the window, show it, create every control.
static LRESULT OnCreate(HWND window, const CREATESTRUCTA *create)
{
    RECT outer = {0, 0, CLIENT_WIDTH, CLIENT_HEIGHT};
    AdjustWindowRectEx(&outer, (DWORD)GetWindowLongA(window, GWL_STYLE), FALSE,
                       (DWORD)GetWindowLongA(window, GWL_EXSTYLE));
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    int x = GetSystemMetrics(SM_CXFULLSCREEN) / 2 - width / 2;
    int y = GetSystemMetrics(SM_CYFULLSCREEN) / 2 - height / 2;
    MoveWindow(window, x, y, width, height, TRUE);
    ShowWindow(window, SW_SHOWNORMAL);
    ForgetDisplayState();
    MarkListWindow(window);
    for (int row = 0; row < CONTROL_COUNT; row++) {
        CreateControl(&ControlTable[row], window, create->hInstance);
        AfterControlCreated(row);
    }
    return 0;
}

// WM_DESTROY: lets a finishing worker end its last steps, closes its handle, quits.
static LRESULT OnDestroy(HWND window)
{
    UnmarkListWindow(window);
    WaitForWorker(WORKER_WAIT_MS);
    if (WorkerThread != NULL) {
        CloseHandle(WorkerThread);
        WorkerThread = NULL;
    }
    PostQuitMessage(0);
    return 0;
}

// WM_CTLCOLORBTN and WM_CTLCOLORSTATIC: transparent text in the ANSI font.
static LRESULT OnCtlColorButtonOrStatic(HDC context)
{
    SetBkMode(context, TRANSPARENT);
    SelectObject(context, GetStockObject(ANSI_VAR_FONT));
    return (LRESULT)BackgroundBrush;
}

// WM_CTLCOLORLISTBOX: the ANSI font, then the default colours.
static LRESULT OnCtlColorListBox(HWND window, WPARAM wParam, LPARAM lParam)
{
    SelectObject((HDC)wParam, GetStockObject(ANSI_VAR_FONT));
    return DefWindowProcA(window, WM_CTLCOLORLISTBOX, wParam, lParam);
}

// Window procedure of the main window.
static LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, (const CREATESTRUCTA *)lParam);
    case WM_DESTROY:
        return OnDestroy(window);
    case WM_CLOSE:
        return OnClose(window, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_CTLCOLORLISTBOX:
        return OnCtlColorListBox(window, wParam, lParam);
    case WM_CTLCOLORBTN:
        return OnCtlColorButtonOrStatic((HDC)wParam);
    case WM_CTLCOLORSTATIC:
        return OnCtlColorButtonOrStatic((HDC)wParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = BackgroundBrush;
    windowClass.lpszClassName = MAIN_CLASS_NAME;
    RegisterClassExA(&windowClass);
    MainMenu = LoadMenuA(instance, MAKEINTRESOURCEA(MENU_RESOURCE));
    HoldNotices();
    MainWindow =
        CreateWindowExA(0, MAIN_CLASS_NAME, WINDOW_TITLE, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, MainMenu, instance, NULL);
    ShowWindow(MainWindow, showCommand);
    UpdateWindow(MainWindow);
    ShowHeldNotices();
    return MainWindow;
}
