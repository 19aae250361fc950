// The main window from the real code, its resources, the sync run on its
// worker thread and the commands with their confirmations.
#include "support.h"
#include "app/commands.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "engine/runstate.h"
#include "engine/syncrun.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "pairs/selectionfile.h"
#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

struct WindowTest : ::testing::Test {
    TempFolder temp;
    void SetUp() override
    {
        ClearCancel();
        SetRunActive(false);
        TakeExitAfterRun();
        AutoSavePath[0] = 0;
        ResetCounters();
    }
    void Open()
    {
        ASSERT_NE(CreateMainWindow(GetModuleHandleA(NULL), SW_SHOWNORMAL), (HWND)NULL);
        PumpFor(50);
    }
    void TearDown() override
    {
        SetRunActive(false);
        if (MainWindow != NULL && IsWindow(MainWindow))
            DestroyWindow(MainWindow);
        MainWindow = NULL;
        MSG quit;
        while (PeekMessageA(&quit, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&quit);
        ClearCancel();
        TakeExitAfterRun();
    }
    void AddEntry(const std::string &source, const std::string &target)
    {
        std::string entry = "'" + source + "' -> '" + target + "'";
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
        EnableWindow(SyncButton, TRUE);
    }
    bool Run() { return RunOnThreadPumping(SyncWorker, 60000); }
    void Click(HWND control) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), (LPARAM)control); }
    void Menu(int id) { SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
};

// The control table as the program must show it.
struct ExpectedControl { HWND *handle; const char *className, *text; DWORD style; int x, y, w, h; };
const char BANNER[] = "KR-Mirrorix V1.4b\n\nFreies Werkzeug zum Spiegeln von Ordnern";
const ExpectedControl EXPECTED[] = {
    {&PairList, "ListBox", "", 0x50A00001, 50, 220, 500, 175},
    {&SourceBrowseButton, "Button", "...", 0x50000000, 500, 95, 50, 25},
    {&TargetBrowseButton, "Button", "...", 0x50000000, 500, 125, 50, 25},
    {&ExitButton, "Button", "Beenden", 0x50000000, 350, 575, 200, 25},
    {&SyncButton, "Button", "Synchronisieren", 0x58000000, 50, 575, 200, 25},
    {&AddPairButton, "Button", "Sync-Auswahl Übernehmen", 0x58000000, 100, 175, 400, 25},
    {&RemovePairButton, "Button", "Sync-Auswahl Löschen", 0x58000000, 100, 395, 400, 25},
    {&HelpButton, "Button", "Hilfe", 0x50000000, 500, 0, 100, 25},
    {NULL, "Static", BANNER, 0x50000001, 150, 20, 300, 50},
    {NULL, "Static", "Quell-Pfad: ", 0x50000000, 50, 105, 100, 30},
    {NULL, "Static", "Ziel-Pfad: ", 0x50000000, 50, 135, 100, 30},
    {&CurrentFileLabel, "Static", "aktuelle Datei: n/a", 0x50000001, 0, 465, 600, 25},
    {&FileProgressBar, "msctls_progress32", "", 0x50000000, 50, 490, 500, 20},
    {&TotalProgressBar, "msctls_progress32", "", 0x50000000, 50, 520, 500, 20},
    {&CopiedStatusLabel, "Static", "synchronisierte Dateien: 0 / 0", 0x50000001, 0, 550, 300, 25},
    {&CleanedStatusLabel, "Static", "bereinigte Dateien: 0 / 0", 0x50000001, 300, 550, 300, 25},
    {&SourceEdit, "Edit", "", 0x50800800, 150, 100, 300, 20},
    {&TargetEdit, "Edit", "", 0x50800800, 150, 130, 300, 20},
    {&CleanupCheckbox, "Button", "Zielverzeichnisse bereinigen", 0x50000003, 220, 430, 200, 25},
};

TEST_F(WindowTest, WindowHasItsFixedSizePlaceAndStyle)
{
    Open();
    RECT client, outer;
    GetClientRect(MainWindow, &client);
    GetWindowRect(MainWindow, &outer);
    MENUBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetMenuBarInfo(MainWindow, OBJID_MENU, 0, &bar));
    int menuHeight = bar.rcBar.bottom - bar.rcBar.top;
    EXPECT_EQ(client.right, 600);
    EXPECT_GT(menuHeight, 10);
    EXPECT_NEAR(client.bottom, 630 - menuHeight, 1) << "client height plus the menu bar is 630";
    int w = outer.right - outer.left, h = outer.bottom - outer.top;
    EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - w / 2);
    EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYFULLSCREEN) / 2 - h / 2);
    LONG style = GetWindowLongA(MainWindow, GWL_STYLE);
    EXPECT_EQ(style & 0x00CF0000, 0x00CA0000) << std::hex << style;
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    char title[256], className[64];
    GetWindowTextA(MainWindow, title, sizeof title);
    GetClassNameA(MainWindow, className, sizeof className);
    EXPECT_STREQ(title, "KR-Mirrorix - Freies Werkzeug zum Spiegeln von Ordnern");
    EXPECT_STREQ(className, "KR-Mirrorix");
    EXPECT_TRUE(IsWindowVisible(MainWindow));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), "KR-Mirrorix", &info));
    EXPECT_EQ(info.style, 0u);
    EXPECT_NE(info.hIcon, (HICON)NULL);
}

TEST_F(WindowTest, ControlsFollowTheTableInCreationOrder)
{
    Open();
    HWND child = GetWindow(MainWindow, GW_CHILD);
    for (const ExpectedControl &e : EXPECTED) {
        ASSERT_NE(child, (HWND)NULL) << e.text;
        char className[64], text[256];
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, text, sizeof text);
        EXPECT_STRCASEEQ(className, e.className) << e.text;
        if (strcmp(e.className, "ListBox") != 0) {
            EXPECT_STREQ(text, e.text);
        }
        DWORD style = (DWORD)GetWindowLongA(child, GWL_STYLE);
        DWORD mask = 0xFFFFFFFF;
        if (strcmp(e.className, "ListBox") == 0)
            mask &= ~(DWORD)WS_VSCROLL; // dropped while no scroll bar is shown
        if (strcmp(e.className, "Edit") == 0)
            mask &= ~(DWORD)WS_BORDER; // drawn by the edit control itself under Wine
        EXPECT_EQ(style & mask, e.style & mask) << e.text << " style " << std::hex << style;
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, MainWindow, (POINT *)&r, 2);
        EXPECT_EQ(r.left, e.x) << e.text;
        EXPECT_EQ(r.top, e.y) << e.text;
        EXPECT_EQ(r.right - r.left, e.w) << e.text;
        if (strcmp(e.className, "ListBox") != 0) {
            EXPECT_EQ(r.bottom - r.top, e.h) << e.text;
        }
        if (e.handle != NULL) {
            EXPECT_EQ(*e.handle, child) << e.text;
        }
        EXPECT_EQ(GetDlgCtrlID(child), 0) << e.text;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, (HWND)NULL);
}

TEST_F(WindowTest, StartWithoutAutoSaveFile)
{
    Open();
    EXPECT_EQ(SendMessageA(PairList, LB_GETCOUNT, 0, 0), 0);
    EXPECT_FALSE(IsWindowEnabled(SyncButton));
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
    EXPECT_EQ(SendMessageA(CleanupCheckbox, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(BarPosition(FileProgressBar), 0);
    EXPECT_EQ(BarPosition(TotalProgressBar), 0);
    EXPECT_EQ(SendMessageA(TotalProgressBar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_FALSE(Exists(temp / "Ini.dat"));
}

TEST_F(WindowTest, StartWithAutoSaveFileShowsItsEntries)
{
    WriteBytes(temp / "Ini.dat", std::string("@@'D:\\B\\' -> 'E:\\B\\'@@'D:\\A\\' -> 'E:\\A\\'") + '\0');
    Open();
    ASSERT_EQ(SendMessageA(PairList, LB_GETCOUNT, 0, 0), 2);
    char text[PAIR_TEXT_MAX];
    GetPairEntry(0, text);
    EXPECT_STREQ(text, "'D:\\B\\' -> 'E:\\B\\'");
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
}

TEST_F(WindowTest, MenuItemsAndIdentifiers)
{
    Open();
    HMENU bar = GetMenu(MainWindow);
    ASSERT_EQ(GetMenuItemCount(bar), 2);
    char text[64];
    GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Datei");
    GetMenuStringA(bar, 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "?");
    HMENU file = GetSubMenu(bar, 0);
    ASSERT_EQ(GetMenuItemCount(file), 4);
    const struct { UINT id; const char *text; } items[] = {{40001, "Ö&ffnen"}, {40002, "Speichern &unter..."}, {0, ""}, {40003, "Beenden"}};
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(GetMenuItemID(file, i), items[i].id);
        GetMenuStringA(file, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, items[i].text);
    }
    EXPECT_TRUE(GetMenuState(file, 2, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 0), 40004u);
}

TEST_F(WindowTest, ColourMessagesSelectTheAnsiFont)
{
    Open();
    HDC context = GetDC(MainWindow);
    LRESULT brush = SendMessageA(MainWindow, WM_CTLCOLORSTATIC, (WPARAM)context, (LPARAM)CurrentFileLabel);
    EXPECT_EQ((HBRUSH)brush, BackgroundBrush);
    EXPECT_EQ(BackgroundBrush, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(GetBkMode(context), TRANSPARENT);
    EXPECT_EQ(GetCurrentObject(context, OBJ_FONT), GetStockObject(ANSI_VAR_FONT));
    SelectObject(context, GetStockObject(SYSTEM_FONT));
    SetBkMode(context, OPAQUE);
    EXPECT_EQ((HBRUSH)SendMessageA(MainWindow, WM_CTLCOLORBTN, (WPARAM)context, (LPARAM)SyncButton), BackgroundBrush);
    SelectObject(context, GetStockObject(SYSTEM_FONT));
    SendMessageA(MainWindow, WM_CTLCOLORLISTBOX, (WPARAM)context, (LPARAM)PairList);
    EXPECT_EQ(GetCurrentObject(context, OBJ_FONT), GetStockObject(ANSI_VAR_FONT));
    ReleaseDC(MainWindow, context);
}

// Reads the shipped exe file.
std::string ProgramBytes() { return ReadBytes(SHIPPED_EXE); }

// DLL names imported by a PE file.
std::vector<std::string> ImportedDlls(const std::string &pe)
{
    std::vector<std::string> names;
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)pe.data();
    const IMAGE_NT_HEADERS32 *nt = (const IMAGE_NT_HEADERS32 *)(pe.data() + dos->e_lfanew);
    const IMAGE_SECTION_HEADER *sections = IMAGE_FIRST_SECTION(nt);
    auto offset = [&](DWORD rva) -> size_t {
        for (int i = 0; i < nt->FileHeader.NumberOfSections; i++)
            if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].Misc.VirtualSize)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return 0;
    };
    DWORD importRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (const IMAGE_IMPORT_DESCRIPTOR *d = (const IMAGE_IMPORT_DESCRIPTOR *)(pe.data() + offset(importRva)); d->Name; d++)
        names.push_back(pe.data() + offset(d->Name));
    return names;
}

TEST(ProgramFile, IsAStaticPe32GuiProgramWithItsResources)
{
    std::string pe = ProgramBytes();
    ASSERT_GT(pe.size(), 4096u) << SHIPPED_EXE;
    const IMAGE_DOS_HEADER *dos = (const IMAGE_DOS_HEADER *)pe.data();
    const IMAGE_NT_HEADERS32 *nt = (const IMAGE_NT_HEADERS32 *)(pe.data() + dos->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    std::vector<std::string> dlls = ImportedDlls(pe);
    EXPECT_FALSE(dlls.empty());
    for (std::string dll : dlls) {
        CharLowerA(&dll[0]);
        EXPECT_TRUE(dll.find("libgcc") == std::string::npos && dll.find("libstdc++") == std::string::npos &&
                    dll.find("winpthread") == std::string::npos && dll.find("mingw") == std::string::npos) << dll;
    }
    HMODULE module = LoadLibraryExA(SHIPPED_EXE, NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, (HMODULE)NULL);
    WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    EXPECT_NE(FindResourceExA(module, (LPCSTR)RT_MENU, MAKEINTRESOURCEA(102), german), (HRSRC)NULL);
    HRSRC group = FindResourceExA(module, (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(101), german);
    ASSERT_NE(group, (HRSRC)NULL);
    const BYTE *dir = (const BYTE *)LockResource(LoadResource(module, group));
    WORD count = *(const WORD *)(dir + 4);
    ASSERT_EQ(count, 4);
    std::vector<std::pair<int, int>> images;
    for (int i = 0; i < count; i++) {
        const BYTE *entry = dir + 6 + 14 * i;
        images.push_back({entry[0], *(const WORD *)(entry + 6)});
    }
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{16, 4}, {16, 8}, {32, 4}, {32, 8}}));
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(102));
    ASSERT_NE(menu, (HMENU)NULL);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(menu, 0), 0), 40001u);
    DestroyMenu(menu);
    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST);
    ASSERT_NE(manifest, (HRSRC)NULL);
    std::string xml((const char *)LockResource(LoadResource(module, manifest)), SizeofResource(module, manifest));
    for (const char *part : {"name=\"KR-Mirrorix\"", "version=\"1.0.0.0\"", "processorArchitecture=\"X86\"",
                             "<description>No description</description>", "Microsoft.Windows.Common-Controls",
                             "version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\""})
        EXPECT_NE(xml.find(part), std::string::npos) << part;
    FreeLibrary(module);
}

struct RunTest : WindowTest {
    std::string source, target;
    void SetUp() override
    {
        WindowTest::SetUp();
        Open();
        source = temp / "q\\";
        target = temp / "z\\";
        MakeFolder(source);
        MakeFolder(target);
    }
};

TEST_F(RunTest, UpToDatePairCopiesNothingAndOpensTheLog)
{
    WriteBytes(source + "a.txt", "a");
    WriteBytes(source + "b.txt", "b");
    AddEntry(source, target);
    BoxAnswerer answerer;
    ASSERT_TRUE(Run());
    ResetCounters();
    ASSERT_TRUE(Run());
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 0 / 2");
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 2);
    for (const SeenBox &box : answerer.Seen())
        EXPECT_EQ(box.title, "Hinweis");
    EXPECT_EQ(ReadBytes(temp / "log.txt"), "");
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: n/a");
    EXPECT_EQ(ControlText(SyncButton), "Synchronisieren");
    EXPECT_FALSE(IsRunActive());
}

TEST_F(RunTest, UnwritableLogChangesNothingElse)
{
    WriteBytes(source + "a.txt", "a");
    MakeFolder(temp / "log.txt"); // a folder of that name: the log cannot be created
    AddEntry(source, target);
    BoxAnswerer answerer;
    ASSERT_TRUE(Run());
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_TRUE(Exists(target + "a.txt"));
    EXPECT_EQ(LogFile, HFILE_ERROR);
}

TEST_F(RunTest, EmptyListRunsNoPass)
{
    SendMessageA(TotalProgressBar, PBM_SETPOS, 37, 0);
    BoxAnswerer answerer;
    ASSERT_TRUE(Run());
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 0 / 0");
    EXPECT_EQ(ControlText(CleanedStatusLabel), "bereinigte Dateien: 0 / 0");
    EXPECT_EQ(BarPosition(TotalProgressBar), 37);
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
}

TEST_F(RunTest, CancelDuringTheSecondOfThreePairsStopsTheThird)
{
    std::string sources[3], targets[3];
    for (int i = 0; i < 3; i++) {
        sources[i] = temp / ("q" + std::to_string(i) + "\\");
        targets[i] = temp / ("z" + std::to_string(i) + "\\");
        MakeFolder(sources[i]);
        MakeFolder(targets[i]);
        WriteBytes(sources[i] + "a.txt", "a");
        WriteBytes(targets[i] + "extra.txt", "stays after a cancel");
        AddEntry(sources[i], targets[i]);
    }
    WriteBytes(targets[1] + "a.txt", "held");
    HANDLE lock = CreateFileA((targets[1] + "a.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EnableWindow(RemovePairButton, FALSE);
    bool lockedDuringRun = false;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("Fehler beim Kopieren") == 0) {
            lockedDuringRun = !IsWindowEnabled(ExitButton) && !IsWindowEnabled(PairList) &&
                              ControlText(SyncButton) == "Abbrechen" &&
                              (GetMenuState(MainMenu, OpenMenuItem, MF_BYCOMMAND) & MF_GRAYED) &&
                              (GetMenuState(MainMenu, SaveAsMenuItem, MF_BYCOMMAND) & MF_GRAYED);
            RequestCancel();
            return IDIGNORE;
        }
        return DefaultAnswer(title, text);
    });
    ASSERT_TRUE(Run());
    CloseHandle(lock);
    EXPECT_TRUE(lockedDuringRun);
    EXPECT_TRUE(Exists(targets[0] + "a.txt"));
    EXPECT_FALSE(Exists(targets[0] + "extra.txt")) << "the first pair was cleaned";
    EXPECT_TRUE(Exists(targets[1] + "extra.txt"));
    EXPECT_FALSE(Exists(targets[2] + "a.txt"));
    EXPECT_TRUE(Exists(targets[2] + "extra.txt"));
    EXPECT_EQ(answerer.Count("Synchronisierung abgebrochen."), 1);
    EXPECT_TRUE(IsWindowEnabled(ExitButton));
    EXPECT_TRUE(IsWindowEnabled(PairList));
    EXPECT_TRUE(IsWindowEnabled(SourceBrowseButton));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton)) << "disabled before the run, disabled after";
    EXPECT_FALSE(GetMenuState(MainMenu, OpenMenuItem, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(MainMenu, SaveAsMenuItem, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(ReadBytes(temp / "log.txt"), "Datei kopiert: " + sources[0] + "a.txt\r\nDatei gelöscht: " + targets[0] +
                                              "extra.txt\r\nWARNUNG - Datei übersprungen: " + sources[1] + "a.txt\r\n");
}

TEST_F(RunTest, EnabledRemoveButtonIsEnabledAgainAfterTheRun)
{
    AddEntry(source, target);
    EnableWindow(RemovePairButton, TRUE);
    EnableWindow(AddPairButton, TRUE);
    BoxAnswerer answerer;
    ASSERT_TRUE(Run());
    EXPECT_TRUE(IsWindowEnabled(RemovePairButton));
    EXPECT_TRUE(IsWindowEnabled(AddPairButton));
}

TEST_F(RunTest, OverlappingTargetsWarnBeforeCountingAndSkipCleanup)
{
    WriteBytes(source + "a.txt", "a");
    MakeFolder(temp / "q2");
    WriteBytes(temp / "q2\\b.txt", "b");
    WriteBytes(target + "extra.txt", "kept: no cleanup");
    AddEntry(source, target);
    AddEntry(temp / "q2\\", target + "sub\\");
    MakeFolder(target + "sub");
    SetWindowTextA(CopiedStatusLabel, "vorheriger Lauf");
    std::string shownDuringWarning;
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("Die Zielpfade") == 0)
            shownDuringWarning = ControlText(CopiedStatusLabel);
        return DefaultAnswer(title, text);
    });
    ASSERT_TRUE(Run());
    EXPECT_EQ(answerer.Count("Die Zielpfade ähneln sich."), 1);
    EXPECT_EQ(shownDuringWarning, "vorheriger Lauf");
    EXPECT_TRUE(Exists(target + "a.txt"));
    EXPECT_TRUE(Exists(target + "sub\\b.txt"));
    EXPECT_TRUE(Exists(target + "extra.txt"));
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
}

TEST_F(RunTest, RemovedSourceIsReportedTwiceAndCancels)
{
    AddEntry(temp / "weg\\", target);
    BoxAnswerer answerer;
    ASSERT_TRUE(Run());
    EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + temp / "weg\\'"), 2);
    EXPECT_EQ(answerer.Count("Synchronisierung abgebrochen."), 1);
}

TEST_F(RunTest, InvalidAndSelfNestedEntriesAreSkippedWithOneNotice)
{
    WriteBytes(source + "a.txt", "a");
    SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM) "kein Paar");
    AddEntry(source, source + "innen\\");
    AddEntry(source, target);
    BoxAnswerer answerer;
    ASSERT_TRUE(Run());
    EXPECT_EQ(answerer.Count("übersprungen"), 1);
    EXPECT_FALSE(Exists(source + "innen"));
    EXPECT_TRUE(Exists(target + "a.txt"));
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 1 / 1");
}

TEST_F(RunTest, CloseRequestAfterARunTheUserAskedToEndComesOnce)
{
    AddEntry(source, target);
    SetExitAfterRun();
    BoxAnswerer answerer([](const std::string &title, const std::string &text) {
        if (text == "Möchten Sie die Anwendung wirklich beenden?")
            return IDNO;
        return DefaultAnswer(title, text);
    });
    ASSERT_TRUE(Run());
    PumpFor(300);
    EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1);
    EXPECT_TRUE(IsWindow(MainWindow));
    ASSERT_TRUE(Run());
    PumpFor(300);
    EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1) << "a declined close came back";
}

// A stand-in for a worker that still finishes its last steps.
static volatile LONG WorkerFinished = 0;
static DWORD WINAPI SlowWorker(LPVOID)
{
    Sleep(400);
    InterlockedExchange(&WorkerFinished, 1);
    return 0;
}

TEST_F(WindowTest, DestroyLetsTheWorkerFinish)
{
    Open();
    WorkerFinished = 0;
    WorkerThread = CreateThread(NULL, 0, SlowWorker, NULL, 0, NULL);
    DestroyWindow(MainWindow);
    EXPECT_EQ(WorkerFinished, 1);
    EXPECT_EQ(WorkerThread, (HANDLE)NULL);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(WindowTest, HelpBoxFromButtonAndMenu)
{
    Open();
    BoxAnswerer answerer;
    Click(HelpButton);
    Menu(HelpMenuItem);
    ASSERT_EQ(answerer.Seen().size(), 2u);
    for (const SeenBox &box : answerer.Seen()) {
        EXPECT_EQ(box.title, "Hilfe zum Programm");
        EXPECT_EQ(box.text, HELP_TEXT);
    }
    EXPECT_EQ(std::string(HELP_TEXT).rfind("Programmhilfe:\n\nMit KR-Mirrorix können sie", 0), 0u);
    // Other notifications do nothing.
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), (LPARAM)PairList);
    SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, EN_SETFOCUS), (LPARAM)SourceEdit);
    PumpFor(100);
    EXPECT_EQ(answerer.Seen().size(), 2u);
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
}

TEST_F(WindowTest, DeclinedStartClosesTheOldHandleAndStartsNothing)
{
    Open();
    AddEntry(temp / "q\\", temp / "z\\");
    WorkerThread = CreateEventA(NULL, TRUE, FALSE, NULL);
    BoxAnswerer answerer([](const std::string &, const std::string &) { return IDNO; });
    Click(SyncButton);
    EXPECT_EQ(WorkerThread, (HANDLE)NULL);
    EXPECT_FALSE(IsRunActive());
    EXPECT_EQ(answerer.Count("Möchten Sie die Synchronisierung jetzt starten?"), 1);
    EXPECT_EQ(ControlText(SyncButton), "Synchronisieren");
}

TEST_F(WindowTest, ConfirmedStartRunsOneWorker)
{
    Open();
    MakeFolder(temp / "q");
    WriteBytes(temp / "q\\a.txt", "a");
    AddEntry(temp / "q\\", temp / "z\\");
    MakeFolder(temp / "z");
    BoxAnswerer answerer;
    Click(SyncButton);
    EXPECT_TRUE(IsRunActive()) << "marked active before the worker starts";
    ASSERT_NE(WorkerThread, (HANDLE)NULL);
    HANDLE first = WorkerThread;
    DWORD start = GetTickCount();
    while (IsRunActive() && GetTickCount() - start < 20000)
        PumpFor(20);
    PumpFor(200);
    EXPECT_EQ(answerer.Count("Synchronisierung abgeschlossen."), 1);
    EXPECT_TRUE(Exists(temp / "z\\a.txt"));
    EXPECT_EQ(WorkerThread, first);
}

TEST_F(WindowTest, CancelAndCloseQuestionsDuringARun)
{
    Open();
    SetRunActive(true);
    {
        BoxAnswerer answerer([](const std::string &, const std::string &) { return IDNO; });
        Click(SyncButton);
        EXPECT_FALSE(IsCancelRequested());
        EXPECT_EQ(SendMessageA(MainWindow, WM_CLOSE, 0, 0), 1);
        EXPECT_FALSE(IsCancelRequested());
        EXPECT_EQ(answerer.Count("Möchten Sie die laufende Synchronisierung wirklich abbrechen?"), 1);
        EXPECT_EQ(answerer.Count("Möchten Sie die Synchronisierung abbrechen und das Programm beenden?"), 1);
    }
    {
        BoxAnswerer answerer([](const std::string &, const std::string &) { return IDYES; });
        Click(SyncButton);
        EXPECT_TRUE(IsCancelRequested());
        ClearCancel();
        Menu(ExitMenuItem);
        EXPECT_TRUE(IsCancelRequested());
        EXPECT_TRUE(IsWindow(MainWindow));
        EXPECT_TRUE(TakeExitAfterRun());
        EXPECT_EQ(answerer.Count("Möchten Sie die Synchronisierung abbrechen und das Programm beenden?"), 1);
    }
}

TEST_F(WindowTest, CloseConfirmedAfterTheRunEndedAsksTheCloseQuestionAtOnce)
{
    Open();
    SetRunActive(true);
    BoxAnswerer answerer([](const std::string &, const std::string &text) {
        if (text == "Möchten Sie die Synchronisierung abbrechen und das Programm beenden?") {
            SetRunActive(false); // the run ends while the question is open
            return IDYES;
        }
        return IDNO;
    });
    EXPECT_EQ(SendMessageA(MainWindow, WM_CLOSE, 0, 0), 1);
    EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1);
    EXPECT_FALSE(TakeExitAfterRun()) << "no close request is left for a later run";
}

TEST_F(WindowTest, ExitButtonAsksTheCloseQuestionAndYesEnds)
{
    Open();
    {
        BoxAnswerer answerer([](const std::string &, const std::string &) { return IDNO; });
        Click(ExitButton);
        EXPECT_TRUE(IsWindow(MainWindow));
        EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, "Rückfrage");
    }
    BoxAnswerer answerer([](const std::string &, const std::string &) { return IDYES; });
    Click(ExitButton);
    EXPECT_FALSE(IsWindow(MainWindow));
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

} // namespace
