// End-to-end test of the real program, used as a person would: a run from
// a fresh start, the close question and the exit code, a second start on the
// same list, another list beside it, and the program kept on its backup stick.
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
            atNote = Text(program.Control(&CopiedStatusLabel)) + " | " + Text(program.Control(&CleanedStatusLabel)) + " | " +
                     Text(program.Control(&CurrentFileLabel));
        if (text == "Möchten Sie die Anwendung wirklich beenden?")
            return closeQuestions++ % 2 == 0 ? IDNO : IDYES;
        return DefaultAnswer(title, text);
    }, 0};

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
    MakeTree(temp.path, {"arbeit\\", "stick\\", "ziel\\", "quelle\\", "quelle\\a\\", "quelle\\a\\leer\\", "quelle\\eins.txt", "quelle\\a\\zwei.txt"});
    std::string entry = "'" + source + "' -> '" + temp / "ziel\\'", list = "@@'" + source + "' -> '" + stick + "'" + std::string(1, '\0');
    WriteBytes(work + "Ini.dat", "@@" + entry + std::string(1, '\0'));
    program = StartProgram(PROGRAM_EXE, work);
    EXPECT_TRUE(SendMessageA(program.Control(&PairList), LB_GETCOUNT, 0, 0) == 1 && IsWindowEnabled(program.Control(&SyncButton))) << "the start loads Ini.dat";
    EXPECT_EQ(RunSync(), "synchronisierte Dateien: 2 / 2 | bereinigte Dateien: 0 / 2 | aktuelle Datei: n/a");
    EXPECT_EQ(answerer.Count("Möchten Sie die Synchronisierung jetzt starten?"), 1);
    EXPECT_TRUE(Exists(temp / "ziel\\a\\leer"));
    EXPECT_EQ(Close(), 0u);
    // The program on its stick, started from elsewhere: the stick is the target, the list lies beside the program.
    ASSERT_TRUE(CopyFileA(PROGRAM_EXE, (stick + "KR-Mirrorix.exe").c_str(), FALSE) && WriteBytes(stick + "Ini.dat", list));
    program = StartProgram(stick + "KR-Mirrorix.exe", work);
    ShowWindow(program.main, SW_MINIMIZE);
    Program second = StartProgram(stick + "KR-Mirrorix.exe", stick, false);
    EXPECT_EQ(WaitForExit(second), 0u) << "a second start ends at once";
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(program.main); }, 5000)) << "and brings the first window back";
    EXPECT_EQ(RunSync().substr(0, 30), "synchronisierte Dateien: 2 / 2");
    EXPECT_TRUE(ReadBytes(stick + "Ini.dat") == list && Exists(stick + "KR-Mirrorix.exe") && Exists(stick + "a\\zwei.txt")) << "the program and its list on the stick are kept";
    // Another list in another folder starts beside it.
    ASSERT_TRUE(CopyFileA(PROGRAM_EXE, (work + "KR-Mirrorix.exe").c_str(), FALSE));
    Program other = StartProgram(work + "KR-Mirrorix.exe", temp.path);
    EXPECT_NE(other.main, program.main);
    std::swap(other, program);
    EXPECT_EQ(Close(), 0u);
    std::swap(other, program);
    EXPECT_EQ(Close(), 0u);
    EXPECT_EQ(answerer.Seen().size(), 10u) << "two runs with start question and note, three closes with two questions each";
}

} // namespace
