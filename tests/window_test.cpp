// The real main window: layout, resources, the shipped program file, the
// commands with their questions, and whole runs, also with the user acting
// at awkward moments.
#include "support.h"
#include "app/commands.h"
#include <commctrl.h>

namespace {

using WindowTest = ProgramFixture;

// The window is 600 pixels wide inside, 630 less the menu bar high,
// centred, of class "KR-Mirrorix" with the icon, neither sizable nor
// maximisable. Its children follow the control table in creation order at
// the places of the layout, without identifiers; a start without Ini.dat
// shows the initial states, one with it its entries, and the menu. Buttons
// and labels paint transparently on the button face in the ANSI font.
TEST_F(WindowTest, TheWindowFollowsItsLayout)
{
    const RECT layout[CONTROL_COUNT] = {{50, 220, 500, 175}, {500, 95, 50, 25}, {500, 125, 50, 25}, {350, 575, 200, 25}, {50, 575, 200, 25},
        {100, 175, 400, 25}, {100, 395, 400, 25}, {500, 0, 100, 25}, {150, 20, 300, 50}, {50, 105, 100, 30}, {50, 135, 100, 30}, {0, 465, 600, 25},
        {50, 490, 500, 20}, {50, 520, 500, 20}, {0, 550, 300, 25}, {300, 550, 300, 25}, {150, 100, 300, 20}, {150, 130, 300, 20}, {220, 430, 200, 25}};
    WriteBytes(temp / "Ini.dat", "@@'D:\\B\\' -> 'E:\\B\\'@@'D:\\A\\' -> 'E:\\A\\'" + std::string(1, '\0'));
    for (int start = 0; start < 2; start++, DestroyWindow(MainWindow), DeleteFileA((temp / "Ini.dat").c_str())) {
        Open();
        RECT client, outer;
        GetClientRect(MainWindow, &client);
        GetWindowRect(MainWindow, &outer);
        MENUBARINFO bar = {sizeof bar};
        ASSERT_TRUE(GetMenuBarInfo(MainWindow, OBJID_MENU, 0, &bar));
        EXPECT_EQ(client.right * 1000 + client.bottom + bar.rcBar.bottom - bar.rcBar.top, 600630);
        EXPECT_EQ(outer.left * 1000 + outer.top, (GetSystemMetrics(SM_CXFULLSCREEN) / 2 - (outer.right - outer.left) / 2) * 1000 +
                                                     GetSystemMetrics(SM_CYFULLSCREEN) / 2 - (outer.bottom - outer.top) / 2);
        EXPECT_EQ(GetWindowLongA(MainWindow, GWL_STYLE) & 0x00CF0000, 0x00CA0000);
        EXPECT_EQ(ControlText(MainWindow), "KR-Mirrorix - Freies Werkzeug zum Spiegeln von Ordnern");
        WNDCLASSEXA info = {sizeof info};
        ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA(NULL), "KR-Mirrorix", &info));
        EXPECT_TRUE(info.style == 0 && info.hIcon != NULL);
        HWND child = GetWindow(MainWindow, GW_CHILD);
        for (int i = 0; i < CONTROL_COUNT; i++, child = GetWindow(child, GW_HWNDNEXT)) {
            const ControlRow &row = ControlTable[i];
            char className[64] = "";
            GetClassNameA(child, className, sizeof className);
            EXPECT_STRCASEEQ(className, row.className) << i;
            DWORD ignored = WS_DISABLED | (i == 0 ? WS_VSCROLL : strcmp(row.className, "edit") == 0 ? WS_BORDER : 0);
            EXPECT_EQ(GetWindowLongA(child, GWL_STYLE) & ~ignored, row.style & ~ignored) << i;
            RECT r;
            GetWindowRect(child, &r);
            MapWindowPoints(NULL, MainWindow, (POINT *)&r, 2);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, i == 0 ? 175 : r.bottom - r.top}), // the list shortens itself to whole lines
                      std::vector<LONG>({layout[i].left, layout[i].top, layout[i].right, layout[i].bottom})) << i;
            EXPECT_TRUE((row.handle == NULL || *row.handle == child) && GetDlgCtrlID(child) == 0) << i;
        }
        EXPECT_EQ(ControlText(CopiedStatusLabel) + "|" + ControlText(CleanedStatusLabel) + "|" + ControlText(CurrentFileLabel),
                  "synchronisierte Dateien: 0 / 0|bereinigte Dateien: 0 / 0|aktuelle Datei: n/a");
        EXPECT_EQ(SendMessageA(PairList, LB_GETCOUNT, 0, 0) * 10 + IsWindowEnabled(SyncButton), start == 0 ? 21 : 0);
        EXPECT_FALSE(IsWindowEnabled(AddPairButton) || IsWindowEnabled(RemovePairButton));
        EXPECT_EQ(SendMessageA(CleanupCheckbox, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(BarPosition(FileProgressBar) + BarPosition(TotalProgressBar) + SendMessageA(TotalProgressBar, PBM_GETRANGE, FALSE, 0), 100);
        std::string items;
        for (int id : {OpenMenuItem, SaveAsMenuItem, ExitMenuItem, HelpMenuItem}) {
            char item[64] = "";
            GetMenuStringA(MainMenu, id, item, sizeof item, MF_BYCOMMAND);
            items += std::string(item) + "|";
        }
        EXPECT_EQ(items, "Ö&ffnen|Speichern &unter...|Beenden|Hilfe|");
        HDC context = GetDC(MainWindow);
        for (UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN, WM_CTLCOLORLISTBOX}) {
            SelectObject(context, GetStockObject(SYSTEM_FONT));
            SetBkMode(context, OPAQUE);
            LOGBRUSH brush = {};
            GetObjectA((HBRUSH)SendMessageA(MainWindow, message, (WPARAM)context, (LPARAM)PairList), sizeof brush, &brush);
            EXPECT_EQ(GetCurrentObject(context, OBJ_FONT), GetStockObject(ANSI_VAR_FONT)) << message;
            EXPECT_TRUE(message == WM_CTLCOLORLISTBOX || (brush.lbColor == GetSysColor(COLOR_BTNFACE) && GetBkMode(context) == TRANSPARENT)) << message;
        }
        ReleaseDC(MainWindow, context);
    }
    EXPECT_FALSE(Exists(temp / "Ini.dat")) << "a start without Ini.dat creates none";
}

// The shipped program is a static PE32 GUI program with its icon and manifest.
TEST(ProgramFile, IsAStaticPe32GuiProgramWithItsResources)
{
    std::string pe = ReadBytes(SHIPPED_EXE);
    ASSERT_GT(pe.size(), 4096u) << SHIPPED_EXE;
    const IMAGE_NT_HEADERS32 *nt = (const IMAGE_NT_HEADERS32 *)(pe.data() + ((const IMAGE_DOS_HEADER *)pe.data())->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic * 100 + nt->OptionalHeader.Subsystem, IMAGE_NT_OPTIONAL_HDR32_MAGIC * 100 + IMAGE_SUBSYSTEM_WINDOWS_GUI);
    for (const char *runtime : {"libgcc", "libstdc++", "libwinpthread"})
        EXPECT_EQ(pe.find(runtime + std::string("-")), std::string::npos) << runtime;
    HMODULE module = LoadLibraryExA(SHIPPED_EXE, NULL, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_TRUE(FindResourceExA(module, (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(ICON_RESOURCE), MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)) &&
                FindResourceA(module, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST)) << "the icon and the manifest are built in";
    FreeLibrary(module);
}

volatile LONG WorkerFinished = 0;
DWORD WINAPI SlowWorker(LPVOID)
{
    Sleep(400); // the worker's last steps
    InterlockedExchange(&WorkerFinished, 1);
    return 0;
}

// Help comes from button and menu; other notifications do nothing; a
// declined start starts nothing. During a run the sync button asks to cancel
// and a close asks to cancel and quit, keeping the window: yes cancels, no
// changes nothing; a close confirmed as the run ends asks the close question
// at once. The exit button and menu ask the close question, whose yes lets a
// finishing worker end its last steps, destroys the window and quits with 0.
// The folder buttons take the folder chosen in the browser with a closing
// backslash; a virtual folder keeps the previous choice, a folder whose name
// holds an apostrophe is refused with a notice.
TEST_F(WindowTest, TheCommandsAskTheirQuestions)
{
    MakeFolder(temp / "Peter's");
    AddPair(source, target);
    {
        BoxAnswerer browser;
        for (const auto &choice : {std::make_pair(source, source), {"", source}, {temp / "Peter's\\", source}, {target, target}}) {
            browser.SetChoice(choice.first);
            Click(SourceBrowseButton);
            EXPECT_EQ(ControlText(SourceEdit), choice.second) << choice.first;
        }
        EXPECT_EQ(browser.Count("Apostroph"), 1);
    }
    {
        BoxAnswerer answerer([](const std::string &title, const std::string &) { return title == "Rückfrage" ? IDNO : IDOK; });
        Click(HelpButton);
        Menu(HelpMenuItem);
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), (LPARAM)PairList);
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, EN_SETFOCUS), (LPARAM)SourceEdit);
        Click(SyncButton);
        Click(ExitButton);
        Menu(ExitMenuItem);
        EXPECT_TRUE(IsWindow(MainWindow) && !IsRunActive() && WorkerThread == NULL);
        std::vector<SeenBox> seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 5u);
        for (int i = 0; i < 2; i++)
            EXPECT_TRUE(seen[i].title == "Hilfe zum Programm" && seen[i].text.rfind("Programmhilfe:\n\nMit KR-Mirrorix können sie beliebig viele", 0) == 0 &&
                        seen[i].text.find("Quelle überschrieben.\n\nKR-Mirrorix") != std::string::npos) << seen[i].text;
        EXPECT_EQ(seen[2].text + "|" + seen[3].text + "|" + seen[4].text,
                  "Möchten Sie die Synchronisierung jetzt starten?|Möchten Sie die Anwendung wirklich beenden?|Möchten Sie die Anwendung wirklich beenden?");
    }
    SetRunActive(true);
    for (int answer : {IDNO, IDYES}) {
        BoxAnswerer answerer([answer](const std::string &, const std::string &) { return answer; });
        Click(SyncButton);
        EXPECT_EQ(IsCancelRequested(), answer == IDYES);
        ClearCancel();
        EXPECT_EQ(SendMessageA(MainWindow, WM_CLOSE, 0, 0), 1);
        EXPECT_EQ(IsCancelRequested() + TakeExitAfterRun(), answer == IDYES ? 2 : 0);
        EXPECT_EQ(answerer.Count("Möchten Sie die laufende Synchronisierung wirklich abbrechen?") +
                      answerer.Count("Möchten Sie die Synchronisierung abbrechen und das Programm beenden?"), 2);
    }
    {
        BoxAnswerer answerer([](const std::string &, const std::string &text) {
            SetRunActive(false); // the run ends while the question is open
            return text.find("abbrechen und das Programm") != std::string::npos ? IDYES : IDNO;
        });
        EXPECT_EQ(SendMessageA(MainWindow, WM_CLOSE, 0, 0), 1);
        EXPECT_EQ(answerer.Count("Möchten Sie die Anwendung wirklich beenden?"), 1);
        EXPECT_FALSE(TakeExitAfterRun()) << "no close request is left for a later run";
    }
    WorkerThread = CreateThread(NULL, 0, SlowWorker, NULL, 0, NULL);
    BoxAnswerer yes;
    Click(ExitButton);
    MSG message;
    EXPECT_TRUE(!IsWindow(MainWindow) && WorkerFinished == 1 && WorkerThread == NULL);
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE) && message.wParam == 0) << "the quit message carries 0";
}

// A run locks the list, the commands and the load and save items and gives
// each control its state back; a run the user asked to end posts one close
// request, and a declined one does not come back. A cancel in the second of
// three pairs stops the third and cleans only the first; an empty list runs
// no pass and leaves the bar; a log that cannot be made changes nothing
// else, but the note on entries left alone says it.
TEST_F(WindowTest, ARunLocksTheWindowAndEndsRightInAwkwardLists)
{
    Open();
    std::string q[3], z[3];
    for (int i = 0; i < 3; i++) {
        MakeTree(q[i] = temp / ("q" + std::to_string(i) + "\\"), {"a.txt"});
        MakeTree(z[i] = temp / ("z" + std::to_string(i) + "\\"), {"extra.txt"});
        AddPair(q[i], z[i]);
    }
    WriteBytes(z[1] + "a.txt", "held");
    HANDLE lock = CreateFileA((z[1] + "a.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    std::string during;
    for (BOOL enabled : {TRUE, FALSE}) {
        EnableWindow(RemovePairButton, enabled);
        EnableWindow(AddPairButton, TRUE);
        SetExitAfterRun();
        std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
            if (text.find("Fehler beim Kopieren") == 0) {
                during = State();
                RequestCancel();
            }
            return text == "Möchten Sie die Anwendung wirklich beenden?" ? IDNO : DefaultAnswer(title, text);
        });
        PumpUntil();
        EXPECT_EQ(during + "|" + State() + std::to_string(IsWindowEnabled(RemovePairButton)), "0000000Abbrechen|1111111Synchronisieren" + std::to_string(enabled));
        EXPECT_EQ(CountBoxes(boxes, "Synchronisierung abgebrochen.") * 10 + CountBoxes(boxes, "wirklich beenden"), 11) << "one close request per run";
    }
    CloseHandle(lock);
    EXPECT_EQ(Snapshot(z[0]).size() * 100 + Snapshot(z[1]).size() * 10 + Snapshot(z[2]).size(), 121u);
    EXPECT_EQ(ReadBytes(temp / "log.txt"), "WARNUNG - Datei übersprungen: " + q[1] + "a.txt\r\n") << "the second run found the first pair mirrored";
    SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
    SendMessageA(TotalProgressBar, PBM_SETPOS, 37, 0);
    DeleteFileA((temp / "log.txt").c_str());
    MakeFolder(temp / "log.txt");
    EXPECT_EQ(CountBoxes(Run(), "Synchronisierung abgeschlossen."), 1);
    EXPECT_EQ(std::to_string(BarPosition(TotalProgressBar)) + ControlText(CopiedStatusLabel), "37synchronisierte Dateien: 0 / 0");
    ASSERT_TRUE(RunShell("echo > '" + UnixPath(q[0]) + "schlecht.'"));
    AddPair(q[0], z[0]);
    EXPECT_EQ(CountBoxes(Run(), "ausgelassene Einträge: 1\nDie Datei log.txt konnte nicht angelegt werden"), 1) << "the note does not point to a log that is not there";
}

// Clicks at awkward moments start no second run: a click during the start
// question; while a copy prompt is open a cancel then a retry, two cancels,
// a declined cancel (the run finishes); a close while the closing note is up
// asks the close question once.
TEST_F(WindowTest, ClicksAtAwkwardMomentsStartNoSecondRun)
{
    Open();
    for (int i = 0; i < 5; i++)
        WriteBytes(source + "f" + std::to_string(i) + ".txt", "x");
    AddPair(source, target);
    for (const std::string moment : {"click at the start", "cancel, retry", "cancel twice", "declined cancel", "close at the note"}) {
        SCOPED_TRACE(moment);
        WriteBytes(target + "f2.txt", "held");
        SetWriteTime(target + "f2.txt", 120000000000000000ULL);
        HANDLE lock = CreateFileA((target + "f2.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        int prompts = 0, cancels = 0, posted = 0, clicks = moment == "cancel twice" ? 2 : moment.find("cancel") != std::string::npos;
        bool asked = false, cancelled = moment == "cancel, retry" || moment == "cancel twice";
        std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
            if (text.find("jetzt starten") != std::string::npos && moment == "click at the start" && !posted++)
                Post(SyncButton); // dispatched by the question's own message loop
            if (text.find("Fehler beim Kopieren") == 0) {
                for (; prompts == 0 && posted < clicks; posted++)
                    Post(SyncButton);
                if (prompts == 0 && (cancels < clicks || (cancelled && !IsCancelRequested())))
                    return 0; // the prompt waits until the clicks are answered and have taken effect
                return ++prompts == 1 && moment == "cancel, retry" ? IDRETRY : IDIGNORE;
            }
            if (text.find("wirklich abbrechen") != std::string::npos && ++cancels)
                return moment == "declined cancel" ? IDNO : IDYES;
            if (text == "Synchronisierung abgeschlossen." && moment == "close at the note" && !asked) {
                asked = true;
                PostMessageA(MainWindow, WM_CLOSE, 0, 0);
                return 0;
            }
            return text.find("wirklich beenden") != std::string::npos ? IDNO : DefaultAnswer(title, text);
        });
        CloseHandle(lock);
        EXPECT_EQ(CountBoxes(boxes, "Synchronisierung abgebrochen.") * 1000 + CountBoxes(boxes, "jetzt starten") * 100 + CountBoxes(boxes, "wirklich beenden"),
                  cancelled * 1000 + 100 + (moment == "close at the note")) << "one run, one note";
        EXPECT_EQ(CountBoxes(boxes, "\n\nFehler 1235: "), moment == "cancel, retry") << "a retry after the cancel fails at once";
        EXPECT_EQ(State(), "1111011Synchronisieren");
    }
}

// Live blocks of the process heap, where the program's memory lives.
int LiveHeapBlocks()
{
    PROCESS_HEAP_ENTRY entry = {};
    int live = 0;
    HeapLock(GetProcessHeap());
    while (HeapWalk(GetProcessHeap(), &entry))
        live += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(GetProcessHeap());
    return live;
}

// A run leaves no memory behind: a second identical run, with a copy prompt,
// an entry left alone and its note, ends with as many live heap blocks as
// the first, so a block lost per folder, per level or per notice shows.
TEST_F(WindowTest, ARunLeavesNoMemoryBehind)
{
    Open();
    MakeTree(source, {"a\\", "a\\b.txt", "a\\c\\", "a\\c\\d.txt", "e.txt"});
    MakeTree(target, {"e.txt", "alt\\", "alt\\x.txt"});
    ASSERT_TRUE(RunShell("echo > '" + UnixPath(source) + "a/schlecht.'"));
    HANDLE lock = CreateFileA((target + "e.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    AddPair(source, target);
    int after[2];
    for (int &live : after) {
        EXPECT_EQ(CountBoxes(Run(), "Fehler beim Kopieren der Datei '" + source + "e.txt'"), 1);
        live = LiveHeapBlocks();
    }
    CloseHandle(lock);
    EXPECT_EQ(after[1], after[0]) << "blocks left by the second run";
}

} // namespace
