// End-to-end test of the real program: starts KR-Mirrorix.exe in a fresh
// working folder and uses it as a person would. Every wait is bounded; a
// failure names the step that did not happen.
#include "remote.h"
#include "../files.h"
#include <algorithm>
#include <commctrl.h>
#include <psapi.h>
#include <stdio.h>

namespace {

std::string Exe, Base, Work, Source, Target, Lists;
const int BIG_FILE_MB = 1024;

// Creates a sparse file of the given size (fast to make, slow enough to copy).
void MakeBigFile(const std::string &path, LONGLONG size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    LARGE_INTEGER end;
    end.QuadPart = size;
    SetFilePointerEx(file, end, NULL, FILE_BEGIN);
    SetEndOfFile(file);
    WriteFile(file, "x", 1, NULL, NULL);
    CloseHandle(file);
}

LONGLONG FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

std::string Entry() { return "'" + Source + "' -> '" + Target + "'"; }

// Runs the sync from the start question to the closing note; returns the
// status lines as the closing note showed them.
std::string RunSync(const Program &p, const std::string &closingNote)
{
    Click(p, p.Control(C_SYNC));
    AnswerBox(p, "Möchten Sie die Synchronisierung jetzt starten?", "Rückfrage", IDYES);
    Box note = WaitForBox(p, closingNote, 120000);
    std::string status = Text(p.Control(C_COPIED)) + " | " + Text(p.Control(C_CLEANED));
    Check(note.title == "Hinweis", "the closing note '" + closingNote + "' has the title Hinweis");
    Check(Text(p.Control(C_CURRENT_FILE)) == "aktuelle Datei: n/a", "the current-file line is reset at the end");
    Check(Text(p.Control(C_SYNC)) == "Synchronisieren", "the sync button has its text back");
    Answer(note, IDOK);
    Sleep(300);
    CloseNotepads();
    return status;
}

struct LabelWait { HWND label; const char *part; };
bool LabelShows(void *context)
{
    LabelWait *wait = (LabelWait *)context;
    return Text(wait->label).find(wait->part) != std::string::npos;
}

// Starts a run and waits until the big file is being copied.
void StartRunIntoBigCopy(const Program &p)
{
    DeleteFileA((Target + "big.bin").c_str());
    Click(p, p.Control(C_SYNC));
    AnswerBox(p, "Möchten Sie die Synchronisierung jetzt starten?", "Rückfrage", IDYES);
    LabelWait wait = {p.Control(C_CURRENT_FILE), "big.bin"};
    Check(WaitUntil(LabelShows, &wait, 60000), "the big file is being copied");
}

void MakeSourceTree()
{
    MakeFolder(Source);
    MakeFolder(Target);
    MakeFolder(Source + "a");
    MakeFolder(Source + "a\\b");
    MakeFolder(Source + "a\\b\\leer");
    MakeFolder(Source + "leer");
    WriteBytes(Source + "eins.txt", "1");
    WriteBytes(Source + "a\\zwei.txt", "22");
    WriteBytes(Source + "a\\b\\drei.txt", "333");
    WriteBytes(Source + "a\\b\\vier.txt", std::string(100000, 'v'));
}

// A virtual folder and a folder with an apostrophe keep the chosen folder.
void ChooseRefusedFolders(const Program &p)
{
    Click(p, p.Control(C_SOURCE_BROWSE));
    ChooseTopLevelItem(p, {"My Computer", "Arbeitsplatz", "Computer", "Control Panel", "Systemsteuerung"});
    Sleep(300);
    Check(Text(p.Control(C_SOURCE_EDIT)) == Source, "a virtual folder keeps the previous folder (shown: '" +
                                                       Text(p.Control(C_SOURCE_EDIT)) + "')");
    Click(p, p.Control(C_SOURCE_BROWSE));
    ChooseInFolderBrowser(p, Base + "Peter's\\");
    AnswerBox(p, "Apostroph", "Hinweis", IDOK);
    Sleep(200);
    Check(Text(p.Control(C_SOURCE_EDIT)) == Source, "a folder with an apostrophe is refused and the previous kept");
}

void ChooseFolders(const Program &p)
{
    Click(p, p.Control(C_SOURCE_BROWSE));
    ChooseInFolderBrowser(p, Source);
    LabelWait source = {p.Control(C_SOURCE_EDIT), Source.c_str()};
    Check(WaitUntil(LabelShows, &source, STEP_TIMEOUT_MS), "the chosen source folder is shown");
    ChooseRefusedFolders(p);
    Check(!IsWindowEnabled(p.Control(C_ADD)), "adding stays disabled with one folder");
    Click(p, p.Control(C_TARGET_BROWSE));
    ChooseInFolderBrowser(p, Target);
    LabelWait target = {p.Control(C_TARGET_EDIT), Target.c_str()};
    Check(WaitUntil(LabelShows, &target, STEP_TIMEOUT_MS), "the chosen target folder is shown");
    Sleep(100);
    Check(IsWindowEnabled(p.Control(C_ADD)), "adding is enabled with both folders");
}

void FirstSession()
{
    Program p = StartProgram(Exe, Work);
    Check(SendMessageA(p.Control(C_PAIR_LIST), LB_GETCOUNT, 0, 0) == 0, "the list starts empty");
    Check(!IsWindowEnabled(p.Control(C_SYNC)), "sync is disabled with an empty list");
    Check(Text(p.Control(C_COPIED)) == "synchronisierte Dateien: 0 / 0", "the left status line starts at 0 / 0");
    Check(SendMessageA(p.Control(C_CLEANUP), BM_GETCHECK, 0, 0) == BST_CHECKED, "cleanup starts ticked");

    ChooseFolders(p);
    SendMessageA(p.Control(C_ADD), BM_CLICK, 0, 0);
    Sleep(200);
    Check(SendMessageA(p.Control(C_PAIR_LIST), LB_GETCOUNT, 0, 0) == 1, "the pair is added");
    Check(ListEntry(p.Control(C_PAIR_LIST), 0) == Entry(), "the entry reads " + Entry());
    Check(ReadBytes(Work + "Ini.dat") == "@@" + Entry() + std::string(1, '\0'), "Ini.dat holds the entry byte for byte");
    Check(Text(p.Control(C_SOURCE_EDIT)).empty() && !IsWindowEnabled(p.Control(C_ADD)), "the folders are consumed");
    Check(IsWindowEnabled(p.Control(C_SYNC)), "sync is enabled");

    std::string status = RunSync(p, "Synchronisierung abgeschlossen.");
    Check(status == "synchronisierte Dateien: 4 / 4 | bereinigte Dateien: 0 / 4", "first run status: " + status);
    for (const char *path : {"a\\b\\leer", "leer", "eins.txt", "a\\zwei.txt", "a\\b\\drei.txt"})
        Check(Exists(Target + path), std::string("the target has ") + path);
    Check(ReadBytes(Target + "a\\b\\vier.txt") == std::string(100000, 'v'), "the copied file has its content");
    std::string log = ReadBytes(Work + "log.txt");
    Check(log.find("Datei kopiert: " + Source + "a\\b\\drei.txt\r\n") != std::string::npos, "the log names the copies");
    Check(std::count(log.begin(), log.end(), '\n') == 4, "the log has four lines");
    Check(SendMessageA(p.Control(C_TOTAL_BAR), PBM_GETPOS, 0, 0) == 100, "the total bar ends at 100");

    status = RunSync(p, "Synchronisierung abgeschlossen.");
    Check(status.find("synchronisierte Dateien: 0 / 4") == 0, "an unchanged second run copies nothing: " + status);
    Check(ReadBytes(Work + "log.txt").empty(), "the second run's log is empty");

    DeleteFileA((Source + "eins.txt").c_str());
    RemoveTree(Source + "a\\b");
    status = RunSync(p, "Synchronisierung abgeschlossen.");
    Check(!Exists(Target + "eins.txt") && !Exists(Target + "a\\b"), "cleanup removes what the source lost");
    Check(Exists(Target + "a\\zwei.txt"), "cleanup keeps what the source has");
    Check(status == "synchronisierte Dateien: 0 / 1 | bereinigte Dateien: 5 / 4", "cleanup status: " + status);
    Check(ReadBytes(Work + "log.txt").find("Datei gelöscht: " + Target + "eins.txt\r\n") != std::string::npos,
          "the log names the deletion");

    // Cancel during a large copy.
    MakeBigFile(Source + "big.bin", (LONGLONG)BIG_FILE_MB << 20);
    StartRunIntoBigCopy(p);
    Check(!IsWindowEnabled(p.Control(C_EXIT)) && !IsWindowEnabled(p.Control(C_PAIR_LIST)), "the run locks the list");
    Click(p, p.Control(C_SYNC));
    AnswerBox(p, "Möchten Sie die laufende Synchronisierung wirklich abbrechen?", "Rückfrage", IDYES);
    std::string prompt = AnswerBox(p, "Fehler beim Kopieren der Datei '" + Source + "big.bin'", "Fehler", IDABORT);
    Check(prompt.find("\n\nFehler 1235: ") != std::string::npos, "the cancelled copy reports error 1235");
    AnswerBox(p, "Synchronisierung abgebrochen.", "Hinweis", IDOK);
    Sleep(300);
    CloseNotepads();
    Check(!Exists(Target + "big.bin"), "no partial file is left after the cancel");
    Check(IsWindowEnabled(p.Control(C_EXIT)) && IsWindowEnabled(p.Control(C_PAIR_LIST)), "the controls are back");

    // Closing during a run, answered with no: the run goes on.
    StartRunIntoBigCopy(p);
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    AnswerBox(p, "Möchten Sie die Synchronisierung abbrechen und das Programm beenden?", "Rückfrage", IDNO);
    AnswerBox(p, "Synchronisierung abgeschlossen.", "Hinweis", IDOK);
    Sleep(300);
    CloseNotepads();
    Check(FileSize(Target + "big.bin") == ((LONGLONG)BIG_FILE_MB << 20) + 1, "the run went on and copied the big file");
    Check(!BoxShown(p), "no close question follows a declined close");

    // Save and load through the real dialogs, in another folder.
    MenuCommand(p, 40002);
    ChooseInFileDialog(p, Lists + "Liste");
    AnswerBox(p, "Ihre Auswahl wurde gespeichert", "Gespeichert", IDOK);
    Check(ReadBytes(Lists + "Liste.MirrorixPath") == ReadBytes(Work + "Ini.dat"), "the saved file equals Ini.dat");
    SendMessageA(p.Control(C_PAIR_LIST), LB_SETCURSEL, 0, 0);
    PostMessageA(p.main, WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), (LPARAM)p.Control(C_PAIR_LIST));
    Sleep(100);
    Check(IsWindowEnabled(p.Control(C_REMOVE)), "selecting enables removing");
    SendMessageA(p.Control(C_REMOVE), BM_CLICK, 0, 0);
    Sleep(100);
    Check(SendMessageA(p.Control(C_PAIR_LIST), LB_GETCOUNT, 0, 0) == 0, "the entry is removed");
    Check(ReadBytes(Work + "Ini.dat").empty(), "Ini.dat is empty after removing the last entry");
    Check(!IsWindowEnabled(p.Control(C_SYNC)), "sync is disabled with an empty list");
    MenuCommand(p, 40001);
    ChooseInFileDialog(p, Lists + "Liste.MirrorixPath");
    AnswerBox(p, "Ihre Auswahl wurde geladen", "Geladen", IDOK);
    Check(ListEntry(p.Control(C_PAIR_LIST), 0) == Entry(), "the loaded list holds the entry");
    Check(ReadBytes(Work + "Ini.dat") == ReadBytes(Lists + "Liste.MirrorixPath"), "loading rewrites Ini.dat");
    Check(!Exists(Lists + "Ini.dat"), "the dialog's folder gets no Ini.dat");
    Check(IsWindowEnabled(p.Control(C_SYNC)) && !IsWindowEnabled(p.Control(C_REMOVE)), "states after loading");

    // Closing during a run, answered with yes: cancel, note, then the close question.
    StartRunIntoBigCopy(p);
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    AnswerBox(p, "Möchten Sie die Synchronisierung abbrechen und das Programm beenden?", "Rückfrage", IDYES);
    Check(IsWindow(p.main), "the window stays while the run winds down");
    AnswerBox(p, "Fehler beim Kopieren der Datei", "Fehler", IDABORT);
    AnswerBox(p, "Synchronisierung abgebrochen.", "Hinweis", IDOK);
    AnswerBox(p, "Möchten Sie die Anwendung wirklich beenden?", "Rückfrage", IDYES);
    DWORD code = WaitForExit(p, STEP_TIMEOUT_MS);
    CloseNotepads();
    Check(code == 0, "the program ends with exit code 0 (was " + std::to_string(code) + ")");
    Check(!Exists(Target + "big.bin"), "the cancelled copy left nothing");
}

void SecondSession()
{
    Program p = StartProgram(Exe, Work);
    Check(SendMessageA(p.Control(C_PAIR_LIST), LB_GETCOUNT, 0, 0) == 1, "a restart finds its list");
    Check(ListEntry(p.Control(C_PAIR_LIST), 0) == Entry(), "the restarted list holds the entry");
    Check(IsWindowEnabled(p.Control(C_SYNC)), "sync is enabled after the restart");
    Click(p, p.Control(C_EXIT));
    AnswerBox(p, "Möchten Sie die Anwendung wirklich beenden?", "Rückfrage", IDNO);
    Sleep(200);
    Check(IsWindow(p.main), "declining the close keeps the window");
    Click(p, p.Control(C_EXIT));
    AnswerBox(p, "Möchten Sie die Anwendung wirklich beenden?", "Rückfrage", IDYES);
    Check(WaitForExit(p, STEP_TIMEOUT_MS) == 0, "the final close ends with exit code 0");
}

struct WindowCount { int found; };
BOOL CALLBACK CountMainWindows(HWND window, LPARAM context)
{
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    ((WindowCount *)context)->found += strcmp(className, "KR-Mirrorix") == 0;
    return TRUE;
}

// A second start hands over to the running window and ends; the program
// kept on the backup medium (its folder the target, its list beside it)
// keeps itself, its list and its log through a run with cleanup.
void ProgramOnTheBackupMedium()
{
    std::string stick = Base + "stick\\", copy = stick + "KR-Mirrorix.exe";
    MakeFolder(stick);
    Check(CopyFileA(Exe.c_str(), copy.c_str(), FALSE) != 0, "the program is copied onto the stick");
    std::string list = "@@'" + Source + "' -> '" + stick + "'" + std::string(1, '\0');
    WriteBytes(stick + "Ini.dat", list);
    Program p = StartProgram(copy, stick);
    Program second = p;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string command = "\"" + copy + "\"";
    Check(CreateProcessA(copy.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, stick.c_str(), &startup,
                         &second.process) != 0, "a second copy starts");
    Check(WaitForExit(second, STEP_TIMEOUT_MS) == 0, "the second start ends at once");
    WindowCount windows = {0};
    EnumWindows(CountMainWindows, (LPARAM)&windows);
    Check(windows.found == 1, "one main window after a second start (found " + std::to_string(windows.found) + ")");
    std::string status = RunSync(p, "Synchronisierung abgeschlossen.");
    Check(ReadBytes(stick + "Ini.dat") == list, "the list on the stick is kept");
    Check(Exists(copy) && Exists(stick + "log.txt"), "the program and its log on the stick are kept");
    Check(Exists(stick + "a\\zwei.txt"), "the source was mirrored onto the stick: " + status);
    Click(p, p.Control(C_EXIT));
    AnswerBox(p, "Möchten Sie die Anwendung wirklich beenden?", "Rückfrage", IDYES);
    Check(WaitForExit(p, STEP_TIMEOUT_MS) == 0, "the program on the stick ends");
}

} // namespace

// Waits for the closing note of a timed run. Looking for a box asks the Wine
// server about every window, which would slow the run it times; a box that
// the main window owns disables it, so boxes are looked for only while the
// main window is disabled (at once, for a run too short to re-enable it).
Box WaitForClosingNote(const Program &p)
{
    const DWORD limit = 3600000;
    for (DWORD start = GetTickCount(); GetTickCount() - start < limit; Sleep(2)) {
        if (IsWindowEnabled(p.main))
            continue;
        Box note = ShownBox(p, "Synchronisierung ab");
        if (note.window != NULL)
            return note;
    }
    Fail("the closing note appears");
}

// Benchmark mode: one run of the program over the list its Ini.dat holds,
// timed from the answered start question to the closing note; prints the
// milliseconds and the program's peak working set.
int Bench(const std::string &exe, const std::string &work)
{
    Program p = StartProgram(exe, work);
    Sleep(500);
    Click(p, p.Control(C_SYNC));
    Box start = WaitForBox(p, "Möchten Sie die Synchronisierung jetzt starten?");
    DWORD begin = GetTickCount();
    Answer(start, IDYES);
    Box note = WaitForClosingNote(p);
    DWORD elapsed = GetTickCount() - begin;
    std::string status = Text(p.Control(C_COPIED)) + " | " + Text(p.Control(C_CLEANED));
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, p.process.dwProcessId);
    GetProcessMemoryInfo(process, &memory, sizeof memory);
    CloseHandle(process);
    // Printed before the program is closed, so that the figures of a run stand
    // even when closing fails.
    printf("bench ms=%lu peak_kib=%lu note=%s status=%s\n", elapsed, (unsigned long)(memory.PeakWorkingSetSize / 1024),
           note.text.c_str(), status.c_str());
    fflush(stdout);
    Answer(note, IDOK);
    Sleep(300);
    CloseNotepads();
    PostMessageA(p.main, WM_CLOSE, 0, 0);
    AnswerBox(p, "Möchten Sie die Anwendung wirklich beenden?", "Rückfrage", IDYES);
    WaitForExit(p, STEP_TIMEOUT_MS);
    CloseNotepads();
    return 0;
}

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], "--bench") == 0)
        return Bench(argv[2], argv[3]);
    if (argc < 2) {
        printf("usage: driver <KR-Mirrorix.exe> | driver --bench <KR-Mirrorix.exe> <working folder>\n");
        return 2;
    }
    Exe = argv[1];
    Base = "Z:\\tmp\\mirrorix-e2e-" + std::to_string(GetCurrentProcessId()) + "\\";
    Work = Base + "arbeit\\";
    Source = Base + "quelle\\";
    Target = Base + "ziel\\";
    Lists = Base + "listen\\";
    RemoveTree(Base);
    MakeFolder(Base);
    MakeFolder(Work);
    MakeFolder(Lists);
    MakeFolder(Base + "Peter's");
    MakeSourceTree();
    FirstSession();
    SecondSession();
    ProgramOnTheBackupMedium();
    RemoveTree(Base);
    printf("end-to-end: all steps passed\n");
    return 0;
}
