// The main window: class, creation with its control table, colour messages
// and destruction.
#include "mainwindow.h"
#include "commands.h"
#include "engine/display.h"
#include "engine/runstate.h"
#include "pairs/pairlist.h"
#include "pairs/selectionfile.h"
#include <commctrl.h>

const char MAIN_CLASS_NAME[] = "KR-Mirrorix";
const char MAKER_LINE[] = "Freies Werkzeug zum Spiegeln von Ordnern";
const char MAKER_ADDRESS[] = "https://kr-mirrorix.example/";
const char MAIN_WINDOW_TITLE[] = "KR-Mirrorix - Freies Werkzeug zum Spiegeln von Ordnern";
static const char BANNER_TEXT[] = "KR-Mirrorix V1.4b\n\nFreies Werkzeug zum Spiegeln von Ordnern";

HBRUSH BackgroundBrush = InitBackgroundBrush();
HMENU MainMenu = NULL;
HWND MainWindow = NULL;
char StartDirectory[START_DIRECTORY_MAX] = "";
char SourceFolder[FOLDER_TEXT_MAX] = "";
char TargetFolder[FOLDER_TEXT_MAX] = "";
HANDLE WorkerThread = NULL;

HWND PairList, SourceBrowseButton, TargetBrowseButton, ExitButton, SyncButton, AddPairButton,
    RemovePairButton, HelpButton, CurrentFileLabel, FileProgressBar, TotalProgressBar,
    CopiedStatusLabel, CleanedStatusLabel, SourceEdit, TargetEdit, CleanupCheckbox;

enum : DWORD {
    PUSH_STYLE = WS_CHILD | WS_VISIBLE,
    CENTERED_STATIC = WS_CHILD | WS_VISIBLE | SS_CENTER,
    LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | LBS_NOTIFY,
    READ_ONLY_EDIT = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_READONLY,
    CHECK_STYLE = WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX
};

// The child controls in the order of creation (also their z-order).
const ControlRow ControlTable[CONTROL_COUNT] = {
    // handle               class                text                        style            x    y    w    h
    {&PairList,           "listbox",           "",                          LIST_STYLE,      50, 220, 500, 175},
    {&SourceBrowseButton, "button",            "...",                       PUSH_STYLE,     500,  95,  50,  25},
    {&TargetBrowseButton, "button",            "...",                       PUSH_STYLE,     500, 125,  50,  25},
    {&ExitButton,         "button",            "Beenden",                   PUSH_STYLE,     350, 575, 200,  25},
    {&SyncButton,         "button",            "Synchronisieren",           PUSH_STYLE,      50, 575, 200,  25},
    {&AddPairButton,      "button",            "Sync-Auswahl Übernehmen",   PUSH_STYLE,     100, 175, 400,  25},
    {&RemovePairButton,   "button",            "Sync-Auswahl Löschen",      PUSH_STYLE,     100, 395, 400,  25},
    {&HelpButton,         "button",            "Hilfe",                     PUSH_STYLE,     500,   0, 100,  25},
    {NULL,                "static",            BANNER_TEXT,                 CENTERED_STATIC, 150, 20, 300,  50},
    {NULL,                "static",            "Quell-Pfad: ",              PUSH_STYLE,      50, 105, 100,  30},
    {NULL,                "static",            "Ziel-Pfad: ",               PUSH_STYLE,      50, 135, 100,  30},
    {&CurrentFileLabel,   "static",            "aktuelle Datei: n/a",       CENTERED_STATIC,   0, 465, 600, 25},
    {&FileProgressBar,    "msctls_progress32", "",                          PUSH_STYLE,      50, 490, 500,  20},
    {&TotalProgressBar,   "msctls_progress32", "",                          PUSH_STYLE,      50, 520, 500,  20},
    {&CopiedStatusLabel,  "static",            " ",                         CENTERED_STATIC,   0, 550, 300, 25},
    {&CleanedStatusLabel, "static",            " ",                         CENTERED_STATIC, 300, 550, 300, 25},
    {&SourceEdit,         "edit",              "",                          READ_ONLY_EDIT, 150, 100, 300,  20},
    {&TargetEdit,         "edit",              "",                          READ_ONLY_EDIT, 150, 130, 300,  20},
    {&CleanupCheckbox,    "button",            "Zielverzeichnisse bereinigen", CHECK_STYLE, 220, 430, 200,  25},
};

// Static initialiser of BackgroundBrush.
HBRUSH InitBackgroundBrush()
{
    return GetSysColorBrush(COLOR_BTNFACE);
}

// Creates one control of the table.
static HWND CreateControl(const ControlRow *row, HWND window, HINSTANCE instance)
{
    HWND control = CreateWindowExA(0, row->className, row->text, row->style, row->x, row->y,
                                   row->width, row->height, window, NULL, instance, NULL);
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
static void AfterControlCreated(int row)
{
    HWND *handle = ControlTable[row].handle;
    if (handle == &PairList)
        LoadPairList(NULL);
    else if (handle == &SyncButton)
        EnableWindow(SyncButton, PairListHasEntries() ? TRUE : FALSE);
    else if (handle == &AddPairButton || handle == &RemovePairButton)
        EnableWindow(*handle, FALSE);
    else if (handle == &FileProgressBar || handle == &TotalProgressBar)
        PrepareProgressBar(*handle);
    else if (handle == &CleanedStatusLabel) {
        UpdateStatusLines();
        SourceFolder[0] = 0;
        TargetFolder[0] = 0;
    } else if (handle == &CleanupCheckbox)
        SendMessageA(CleanupCheckbox, BM_SETCHECK, BST_CHECKED, 0);
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
    ResolveAutoSavePath();
    for (int row = 0; row < CONTROL_COUNT; row++) {
        CreateControl(&ControlTable[row], window, create->hInstance);
        AfterControlCreated(row);
    }
    return 0;
}

// WM_DESTROY: lets a finishing worker end its last steps, closes its handle, quits.
static LRESULT OnDestroy()
{
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
LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(window, (const CREATESTRUCTA *)lParam);
    case WM_DESTROY:
        return OnDestroy();
    case WM_CLOSE:
        return OnClose(window, wParam, lParam);
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_CTLCOLORLISTBOX:
        return OnCtlColorListBox(window, wParam, lParam);
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        return OnCtlColorButtonOrStatic((HDC)wParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

// Registers the class, loads the menu, creates and shows the main window.
HWND CreateMainWindow(HINSTANCE instance, int showCommand)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = MainWndProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
    windowClass.hIconSm = LoadIconA(instance, MAKEINTRESOURCEA(ICON_RESOURCE));
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = MAIN_CLASS_NAME;
    RegisterClassExA(&windowClass);
    MainMenu = LoadMenuA(instance, MAKEINTRESOURCEA(MENU_RESOURCE));
    MainWindow = CreateWindowExA(0, MAIN_CLASS_NAME, MAIN_WINDOW_TITLE, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, NULL, MainMenu,
                                 instance, NULL);
    ShowWindow(MainWindow, showCommand);
    UpdateWindow(MainWindow);
    return MainWindow;
}
