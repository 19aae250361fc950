// The real main window: the shipped program file, the commands with their questions, and whole runs at awkward moments.
#include "support.h"
#include "app/commands.h"
#include "base/memory.h"
#include "pairs/pairlist.h"

namespace {

using WindowTest = ProgramFixture;

// The shipped program is a static PE32 GUI program with its icon, menu and manifest.
TEST(ProgramFile, IsAStaticPe32GuiProgramWithItsResources)
{
    std::string pe = ReadBytes(SHIPPED_EXE);
    ASSERT_GT(pe.size(), 4096u) << SHIPPED_EXE;
    const IMAGE_NT_HEADERS32 *nt =
        (const IMAGE_NT_HEADERS32 *)(pe.data() + ((const IMAGE_DOS_HEADER *)pe.data())->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
    EXPECT_EQ(nt->OptionalHeader.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    for (const char *runtime : {"libgcc", "libstdc++", "libwinpthread"})
        EXPECT_EQ(pe.find(runtime + std::string("-")), std::string::npos) << runtime;
    HMODULE module = LoadLibraryExA(SHIPPED_EXE, NULL, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(FindResourceExA(module, (LPCSTR)RT_GROUP_ICON, MAKEINTRESOURCEA(ICON_RESOURCE),
                              MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN)),
              (HRSRC)NULL);
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), (LPCSTR)RT_MANIFEST), (HRSRC)NULL);
    HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(MENU_RESOURCE));
    std::string items;
    for (int id : {OpenMenuItem, SaveAsMenuItem, ExitMenuItem, HelpMenuItem}) {
        char item[64] = "";
        items += (GetMenuStringA(menu, id, item, sizeof item, MF_BYCOMMAND), item) + std::string("|");
    }
    EXPECT_EQ(items, "Ö&ffnen|Speichern &unter...|Beenden|Hilfe|");
    DestroyMenu(menu);
    FreeLibrary(module);
}

// Every command asks its question and acts only on yes: add, help, start, cancel and close.
TEST_F(WindowTest, TheCommandsAskTheirQuestions)
{
    strcpy(SourceFolder, source.c_str()), strcpy(TargetFolder, target.c_str());
    OnFolderChosen();
    Click(AddPairButton);
    EXPECT_EQ(Entries(), std::vector<std::string>{"'" + source + "' -> '" + target + "'"});
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    {
        BoxAnswerer answerer(
            [](const std::string &title, const std::string &) { return title == "Rückfrage" ? IDNO : IDOK; });
        Click(HelpButton);
        Menu(HelpMenuItem);
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, LBN_DBLCLK), (LPARAM)PairList);
        SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, EN_SETFOCUS), (LPARAM)SourceEdit);
        Click(SyncButton);
        Click(ExitButton);
        Menu(ExitMenuItem);
        EXPECT_TRUE(IsWindow(MainWindow) && !IsRunActive() && WorkerThread == NULL) << "no answered no";
        std::vector<SeenBox> seen = answerer.Seen();
        ASSERT_EQ(seen.size(), 5u);
        EXPECT_EQ(seen[0].title + seen[1].title, "Hilfe zum ProgrammHilfe zum Programm");
        EXPECT_EQ(seen[1].text, seen[0].text) << "button and menu";
        EXPECT_EQ(seen[0].text.find("Programmhilfe:\n\nMit KR-Mirrorix können sie beliebig viele"), 0u);
        EXPECT_NE(seen[0].text.find("Quelle überschrieben.\n\nKR-Mirrorix"), std::string::npos);
        EXPECT_EQ(std::vector<std::string>({seen[2].text, seen[3].text, seen[4].text}),
                  std::vector<std::string>({"Möchten Sie die Synchronisierung jetzt starten?",
                                            "Möchten Sie die Anwendung wirklich beenden?",
                                            "Möchten Sie die Anwendung wirklich beenden?"}));
    }
    SetRunActive(true);
    for (int answer : {IDNO, IDYES}) {
        BoxAnswerer answerer([answer](const std::string &, const std::string &) { return answer; });
        Click(SyncButton);
        EXPECT_EQ(IsCancelRequested(), answer == IDYES);
        ClearCancel();
        EXPECT_EQ(SendMessageA(MainWindow, WM_CLOSE, 0, 0), 1);
        EXPECT_EQ(IsCancelRequested(), answer == IDYES);
        EXPECT_EQ(TakeExitAfterRun(), answer == IDYES);
        EXPECT_EQ(answerer.Count("Möchten Sie die laufende Synchronisierung wirklich abbrechen?"), 1);
        EXPECT_EQ(answerer.Count("Möchten Sie die Synchronisierung abbrechen und das Programm beenden?"), 1);
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
    BoxAnswerer yes;
    Click(ExitButton);
    MSG message;
    EXPECT_FALSE(IsWindow(MainWindow));
    ASSERT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u) << "the quit message carries 0";
}

// A run locks the list's controls and restores them, cancels, posts one close request and leaves no memory behind.
TEST_F(WindowTest, ARunLocksTheWindowAndEndsRightInAwkwardLists)
{
    std::string q[3], z[3];
    for (int i = 0; i < 3; i++) {
        MakeTree(q[i] = temp / ("q" + std::to_string(i) + "\\"), {"a.txt"});
        MakeTree(z[i] = temp / ("z" + std::to_string(i) + "\\"), {"extra.txt"});
        AddPair(q[i], z[i]);
    }
    WriteBytes(z[1] + "a.txt", "held");
    HANDLE lock = Hold(z[1] + "a.txt");
    int liveBlocks[2];
    for (BOOL enabled : {TRUE, FALSE}) {
        EnableWindow(RemovePairButton, enabled);
        EnableWindow(AddPairButton, TRUE);
        SetExitAfterRun();
        std::string during;
        std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
            if (text.find("Fehler beim Kopieren") == 0) {
                during = State() + std::to_string(IsWindowEnabled(RemovePairButton));
                RequestCancel();
            }
            return text == "Möchten Sie die Anwendung wirklich beenden?" ? IDNO : DefaultAnswer(title, text);
        });
        PumpUntil();
        liveBlocks[!enabled] = MemoryLiveBlocks();
        EXPECT_EQ(during, "0000000Abbrechen0");
        EXPECT_EQ(State(), "1111111Synchronisieren");
        EXPECT_EQ(IsWindowEnabled(RemovePairButton), enabled);
        EXPECT_EQ(CountBoxes(boxes, "Synchronisierung abgebrochen."), 1);
        EXPECT_EQ(CountBoxes(boxes, "wirklich beenden"), 1) << "one close request per run";
    }
    CloseHandle(lock);
    EXPECT_EQ(liveBlocks[1], liveBlocks[0]) << "blocks left by the second run, with its prompt and note";
    EXPECT_EQ(Snapshot(z[0]), (std::map<std::string, std::string>{{"a.txt", "a.txt"}}));
    EXPECT_EQ(Snapshot(z[2]), (std::map<std::string, std::string>{{"extra.txt", "extra.txt"}}))
        << "the third pair is neither mirrored nor cleaned";
    EXPECT_EQ(RunLog(), "WARNUNG - Datei übersprungen: " + q[1] + "a.txt\r\n")
        << "the second run found the first pair mirrored";
    SetList({});
    SendMessageA(TotalProgressBar, PBM_SETPOS, 37, 0);
    DeleteFileA((temp / "log.txt").c_str());
    MakeFolder(temp / "log.txt");
    EXPECT_EQ(CountBoxes(Run(), "Synchronisierung abgeschlossen."), 1);
    EXPECT_EQ(BarPosition(TotalProgressBar), 37);
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 0 / 0");
    ASSERT_TRUE(RunShell("echo > '" + UnixPath(q[0]) + "schlecht.'"));
    AddPair(q[0], z[0]);
    EXPECT_EQ(CountBoxes(Run(), "ausgelassene Einträge: 1\nDie Datei log.txt konnte nicht angelegt werden"), 1)
        << "the note does not point to a log that is not there";
}

} // namespace
