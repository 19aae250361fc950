// End-to-end test of the real program, used as a person would: runs, closes, second starts, the program on its stick.
#include "remote.h"
#include "../support.h"

namespace {

struct EndToEnd : ::testing::Test {
    TempFolder temp;
    std::string work = temp / "arbeit\\", source = temp / "quelle\\", stick = temp / "stick\\";
    Program program;
    std::string atNote; // the status and current-file lines while the closing note was up
    int closeQuestions = 0;
    BoxAnswerer answerer{[this](const std::string &title, const std::string &text) {
                             if (text.find("Synchronisierung ab") == 0)
                                 atNote = Text(program.Control(&CopiedStatusLabel)) + " | " +
                                          Text(program.Control(&CleanedStatusLabel)) + " | " +
                                          Text(program.Control(&CurrentFileLabel));
                             if (text == "Möchten Sie die Anwendung wirklich beenden?")
                                 return closeQuestions++ % 2 == 0 ? IDNO : IDYES;
                             return DefaultAnswer(title, text);
                         },
                         0};

    // The window's size, place, style and class; its children as the control table has them, in their first states.
    void ExpectLayout()
    {
        const RECT layout[CONTROL_COUNT] = {
            {50, 220, 500, 175}, {500, 95, 50, 25},   {500, 125, 50, 25},  {350, 575, 200, 25}, {50, 575, 200, 25},
            {100, 175, 400, 25}, {100, 395, 400, 25}, {500, 0, 100, 25},   {150, 20, 300, 50},  {50, 105, 100, 30},
            {50, 135, 100, 30},  {0, 465, 600, 25},   {50, 490, 500, 20},  {50, 520, 500, 20},  {0, 550, 300, 25},
            {300, 550, 300, 25}, {150, 100, 300, 20}, {150, 130, 300, 20}, {220, 430, 200, 25}};
        RECT client, outer, expected = {0, 0, 600, 630};
        GetClientRect(program.main, &client);
        GetWindowRect(program.main, &outer);
        AdjustWindowRectEx(&expected, GetWindowLongA(program.main, GWL_STYLE), FALSE,
                           GetWindowLongA(program.main, GWL_EXSTYLE));
        EXPECT_EQ(client.right, 600);
        EXPECT_EQ(outer.bottom - outer.top, expected.bottom - expected.top) << "630 high but for the menu bar";
        EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXFULLSCREEN) / 2 - (outer.right - outer.left) / 2);
        EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYFULLSCREEN) / 2 - (outer.bottom - outer.top) / 2);
        EXPECT_EQ(GetWindowLongA(program.main, GWL_STYLE) & 0x00CF0000, 0x00CA0000);
        EXPECT_EQ(GetWindowLongA(program.main, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0)
            << "the system adds the edge to a caption";
        EXPECT_EQ(GetClassLongA(program.main, GCL_STYLE), 0u);
        EXPECT_EQ(Text(program.main), "KR-Mirrorix - Freies Werkzeug zum Spiegeln von Ordnern");
        for (int i = 0; i < CONTROL_COUNT; i++) {
            char className[64] = "";
            RECT r;
            HWND child = program.controls[i];
            GetClassNameA(child, className, sizeof className);
            GetWindowRect(child, &r);
            MapWindowPoints(NULL, program.main, (POINT *)&r, 2);
            DWORD ignored = WS_DISABLED | (i == 0 ? WS_VSCROLL : _stricmp(className, "edit") == 0 ? WS_BORDER : 0);
            EXPECT_STRCASEEQ(className, ControlTable[i].className) << i;
            EXPECT_EQ(GetWindowLongA(child, GWL_STYLE) & ~ignored, ControlTable[i].style & ~ignored) << i;
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left,
                                         i == 0 ? 175 : r.bottom - r.top}), // the list shortens itself to whole lines
                      std::vector<LONG>({layout[i].left, layout[i].top, layout[i].right, layout[i].bottom}))
                << i;
            EXPECT_EQ(GetDlgCtrlID(child), 0) << i;
        }
        EXPECT_EQ(SendMessageA(program.Control(&PairList), LB_GETCOUNT, 0, 0), 1) << "the start loads Ini.dat";
        EXPECT_TRUE(IsWindowEnabled(program.Control(&SyncButton)));
        EXPECT_FALSE(IsWindowEnabled(program.Control(&AddPairButton)));
        EXPECT_EQ(SendMessageA(program.Control(&CleanupCheckbox), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageA(program.Control(&TotalProgressBar), PBM_GETRANGE, FALSE, 0), 100);
    }
    // Runs a sync from the start button to the closed log; returns the lines the closing note found.
    std::string RunSync()
    {
        int notes = answerer.Count("Synchronisierung abgeschlossen.");
        program.Click(&SyncButton);
        EXPECT_TRUE(PumpUntil([&] { return answerer.Count("Synchronisierung abgeschlossen.") > notes; }, 120000));
        EXPECT_TRUE(answerer.WaitForNotepadClosed());
        return atNote;
    }
    // Clicks exit twice, declining the first close question (the program stays for the second); returns the exit code.
    DWORD Close()
    {
        int questions = answerer.Count("wirklich beenden");
        program.Click(&ExitButton);
        EXPECT_TRUE(PumpUntil([&] { return answerer.Count("wirklich beenden") > questions; })); // counted once answered
        program.Click(&ExitButton);
        DWORD code = WaitForExit(program);
        return answerer.Count("wirklich beenden") == questions + 2 ? code : 2;
    }
};

TEST_F(EndToEnd, ARunAndTheProgramOnItsStick)
{
    MakeTree(temp.path, {"arbeit\\", "stick\\", "ziel\\", "quelle\\", "quelle\\a\\", "quelle\\a\\leer\\",
                         "quelle\\eins.txt", "quelle\\a\\zwei.txt"});
    std::string entry = "'" + source + "' -> '" + temp / "ziel\\'",
                list = "@@'" + source + "' -> '" + stick + "'" + std::string(1, '\0');
    WriteBytes(work + "Ini.dat", "@@" + entry + std::string(1, '\0'));
    program = StartProgram(PROGRAM_EXE, work);
    ExpectLayout();
    if (RunShell("mkdir '" + UnixPath(temp / "alias") + "' && mount --bind '" + UnixPath(work) + "' '" +
                 UnixPath(temp / "alias") + "'")) { // the same list through a path its final path does not show
        Program alias = StartProgram(PROGRAM_EXE, temp / "alias\\", false);
        EXPECT_EQ(WaitForExit(alias), 0u) << "a start on the list through an alias hands over";
        RunShell("umount '" + UnixPath(temp / "alias") + "'");
    }
    EXPECT_EQ(RunSync(), "synchronisierte Dateien: 2 / 2 | bereinigte Dateien: 0 / 2 | aktuelle Datei: n/a");
    EXPECT_TRUE(Exists(temp / "ziel\\a\\leer"));
    EXPECT_EQ(Close(), 0u);
    // The program on its stick, started from elsewhere: the stick is the target, the list lies beside the program.
    ASSERT_TRUE(CopyFileA(PROGRAM_EXE, (stick + "KR-Mirrorix.exe").c_str(), FALSE) &&
                WriteBytes(stick + "Ini.dat", list));
    program = StartProgram(stick + "KR-Mirrorix.exe", work);
    ShowWindow(program.main, SW_MINIMIZE);
    Program second = StartProgram(stick + "KR-Mirrorix.exe", stick, false);
    EXPECT_EQ(WaitForExit(second), 0u) << "a second start ends at once";
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(program.main); }, 5000)) << "and brings the first window back";
    EXPECT_EQ(RunSync().substr(0, 30), "synchronisierte Dateien: 2 / 2");
    EXPECT_EQ(ReadBytes(stick + "Ini.dat"), list) << "the program and its list on the stick are kept";
    EXPECT_TRUE(Exists(stick + "KR-Mirrorix.exe") && Exists(stick + "a\\zwei.txt"));
    // Another list in another folder starts beside it.
    ASSERT_TRUE(CopyFileA(PROGRAM_EXE, (work + "KR-Mirrorix.exe").c_str(), FALSE));
    Program other = StartProgram(work + "KR-Mirrorix.exe", temp.path);
    EXPECT_NE(other.main, program.main);
    std::swap(other, program);
    EXPECT_EQ(Close(), 0u);
    std::swap(other, program);
    EXPECT_EQ(Close(), 0u);
    EXPECT_EQ(answerer.Count("Möchten Sie die Synchronisierung jetzt starten?"), 2);
    EXPECT_EQ(answerer.Seen().size(), 10u)
        << "two runs with start question and note, three closes with two questions each";
}

} // namespace
