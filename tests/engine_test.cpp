// The run's display and notices, the copy routine and the three passes.
#include "support.h"
#include "engine/chunkcopy.h"
#include "engine/copyfile.h"
#include "engine/display.h"
#include "base/filetimes.h"
#include "base/messages.h"
#include "engine/passes.h"
#include "base/paths.h"
#include "pairs/folderrules.h"

namespace {

using EngineTest = ProgramFixture;
const ULONGLONG OLD_TIME = 120000000000000000ULL;

int TextsSet = 0;
WNDPROC LabelProcedure = NULL;
LRESULT CALLBACK CountingLabel(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    TextsSet += message == WM_SETTEXT;
    return CallWindowProcA(LabelProcedure, window, message, wParam, lParam);
}

// Status lines show the counters, the total bar the truncated share of
// processed files (kept while there are no source files), the size of the
// current file KiB rounded up, above 1024 KiB whole MiB. Refreshes reach the
// window about 25 times a second however many entries pass; a flush shows
// everything exactly; a text too long to remember leaves nothing stale. With
// the mirror on another thread, as in the program, every copy prompt finds
// the status lines, the total bar and the current file exact.
TEST_F(EngineTest, TheDisplayIsThrottledYetExactAtEveryPrompt)
{
    const std::pair<std::vector<int>, std::string> lines[] = {{{0, 0, 0, 0, 0, 0}, "0 / 0|0 / 0"}, {{3, 10, 7, 0, 0, 70}, "3 / 10|0 / 0"},
        {{1, 3, 2, 3, 2, 66}, "1 / 3|3 / 2"}, {{5, 40000000, 30000000, -1, 5, 75}, "5 / 40000000|-1 / 5"}, {{0, 0, 99, 0, 0, 75}, "0 / 0|0 / 0"}};
    for (const auto &c : lines) {
        CopiedFiles = c.first[0], TotalSourceFiles = c.first[1], ProcessedFiles = c.first[2], CleanedEntries = c.first[3], CheckedTargetFiles = c.first[4];
        UpdateStatusLines();
        FlushDisplay();
        EXPECT_EQ(ControlText(CopiedStatusLabel) + "|" + ControlText(CleanedStatusLabel) + std::to_string(BarPosition(TotalProgressBar)),
                  "synchronisierte Dateien: " + c.second.substr(0, c.second.find('|')) + "|bereinigte Dateien: " + c.second.substr(c.second.find('|') + 1) + std::to_string(c.first[5]));
    }
    for (const auto &c : {std::make_pair(0ULL, "0 KB'"), {1, "1 KB'"}, {1024, "1 KB'"}, {1025, "2 KB'"}, {250000, "245 KB'"},
                          {1048576, "1024 KB'"}, {1048577, "2 MB'"}, {2097152, "2 MB'"}, {4294967297ULL, "4097 MB'"}}) {
        char text[100];
        FormatFileSize(c.first, text, sizeof text);
        EXPECT_STREQ(text, c.second) << c.first;
    }
    LabelProcedure = (WNDPROC)SetWindowLongPtrA(CopiedStatusLabel, GWLP_WNDPROC, (LONG_PTR)CountingLabel);
    TotalSourceFiles = 1000000000;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 400; RefreshDisplay())
        CopiedFiles++, ProcessedFiles++;
    EXPECT_TRUE(TextsSet >= 3 && TextsSet <= 12) << TextsSet << " refreshes shown in 400 ms";
    RecordCurrentFile("aktuelle Datei: 'b.txt' - '1 KB'");
    RecordFileProgress(40);
    FlushDisplay();
    EXPECT_EQ(ControlText(CopiedStatusLabel) + "|" + ControlText(CurrentFileLabel) + "|" + std::to_string(BarPosition(FileProgressBar)) + "|" +
                  std::to_string(BarPosition(TotalProgressBar)), "synchronisierte Dateien: " + std::to_string(CopiedFiles) + " / 1000000000|aktuelle Datei: 'b.txt' - '1 KB'|40|" +
                  std::to_string(ProcessedFiles / 10000000)); // of 1,000,000,000
    SetWindowLongPtrA(CopiedStatusLabel, GWLP_WNDPROC, (LONG_PTR)LabelProcedure);
    for (const std::string &text : {std::string("kurz"), std::string(STATUS_TEXT_MAX + 10, 'x'), std::string("kurz")})
        SetControlText(CurrentFileLabel, text.c_str());
    EXPECT_EQ(ControlText(CurrentFileLabel), "kurz");
    for (int i = 0; i < 12; i++)
        WriteBytes(source + "datei" + std::to_string(10 + i) + ".txt", std::string(100 + i, 'x'));
    ResetCounters();
    TotalSourceFiles = 12;
    std::vector<std::string> shown, expected;
    BoxAnswerer answerer([&](const std::string &, const std::string &text) {
        shown.push_back(ControlText(CopiedStatusLabel) + "|" + std::to_string(BarPosition(TotalProgressBar)) + "|" + ControlText(CurrentFileLabel).substr(0, 24));
        expected.push_back("synchronisierte Dateien: 0 / 12|" + std::to_string((int)(shown.size() - 1) * 100 / 12) + "|aktuelle Datei: '" + text.substr(text.find("datei"), 7));
        return IDIGNORE;
    });
    Learnt missingTarget(source, target + "fehlt\\");
    ASSERT_TRUE(RunPumping([&] { MirrorFolder(&missingTarget, false); }));
    EXPECT_EQ(shown.size(), 12u);
    EXPECT_EQ(shown, expected);
}

DWORD CALLBACK RecordProgress(LARGE_INTEGER total, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID data)
{
    auto *calls = (std::vector<std::pair<LONGLONG, LONGLONG>> *)data;
    calls->push_back({total.QuadPart, done.QuadPart});
    SetLastError(ERROR_ACCESS_DENIED); // a routine may leave any last error behind
    return calls->size() > 1 && calls->front().first < 0 ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

// The own copy routine keeps data, time and attributes and reports progress
// per chunk; a failure carries the system's error and leaves the old target
// as it was and no partial file. The file bar only moves forward.
TEST_F(EngineTest, TheOwnCopyRoutineKeepsTheContractOfCopyFileEx)
{
    std::string data(3 * 1024 * 1024 + 17, 'x'), from = source + "big.bin", to = target + "big.bin";
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (char)(i * 7);
    WriteBytes(from, data);
    SetWriteTime(from, OLD_TIME);
    SetFileAttributesA(from.c_str(), FILE_ATTRIBUTE_HIDDEN);
    WriteBytes(to, "old");
    std::vector<std::pair<LONGLONG, LONGLONG>> calls;
    BOOL cancel = FALSE;
    ASSERT_TRUE(CopyFileChunked(from.c_str(), to.c_str(), NULL, RecordProgress, &calls, &cancel, 0)) << GetLastError();
    EXPECT_TRUE(ReadBytes(to) == data && GetWriteTime(to) == OLD_TIME && (GetFileAttributesA(to.c_str()) & FILE_ATTRIBUTE_HIDDEN));
    ASSERT_GE(calls.size(), 4u);
    EXPECT_TRUE(calls.front() == std::make_pair((LONGLONG)data.size(), 0LL) && calls.back() == std::make_pair((LONGLONG)data.size(), (LONGLONG)data.size()));
    SetFileAttributesA(from.c_str(), FILE_ATTRIBUTE_NORMAL);
    for (const auto &f : {std::make_pair("routine cancels", 1235), {"flag cancels", 1235}, {"read-only", 5}, {"held open", 32}, {"folder missing", 3}, {"exists", 80}}) {
        std::string name = f.first, path = name == "folder missing" ? temp / "fehlt\\big.bin" : to;
        bool exists = name == "read-only" || name == "held open" || name == "exists";
        DeleteFileA(to.c_str());
        if (exists)
            WriteBytes(to, "keep");
        SetFileAttributesA(to.c_str(), name == "read-only" ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        HANDLE held = name == "held open" ? CreateFileA(to.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL) : INVALID_HANDLE_VALUE;
        std::vector<std::pair<LONGLONG, LONGLONG>> cancelling = {{name == "routine cancels" ? -1 : 0, 0}};
        cancel = name == "flag cancels";
        EXPECT_FALSE(CopyFileChunked(from.c_str(), path.c_str(), NULL, RecordProgress, &cancelling, &cancel, name == "exists" ? COPY_FILE_FAIL_IF_EXISTS : 0)) << name;
        EXPECT_EQ(GetLastError(), (DWORD)f.second) << name;
        CloseHandle(held);
        EXPECT_EQ(ReadBytes(to), exists ? "keep" : "<missing>") << name;
        SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    LARGE_INTEGER total = {}, done = {};
    total.QuadPart = 1000;
    for (const auto &step : {std::make_pair(100, 10), {50, 10}, {555, 55}, {1000, 100}}) {
        done.QuadPart = step.first;
        EXPECT_EQ(CopyProgress(total, done, total, done, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CONTINUE);
        FlushDisplay();
        EXPECT_EQ(BarPosition(FileProgressBar), step.second);
    }
    RequestCancel();
    EXPECT_EQ(CopyProgress(total, done, total, done, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CANCEL);
}

// A first mirror creates every folder, empty ones too, copies every file
// with its time and logs it; a second (into the target written as a share's
// path) copies only what changed and leaves the current-file line alone
// otherwise: a newer target is replaced, one of equal time kept whatever its content.
TEST_F(EngineTest, MirrorCopiesWhatIsMissingOrOfAnotherTime)
{
    const char *files[] = {"eins.txt", ".versteckt", "a\\zwei.txt", "a\\b\\drei.txt", "a\\b\\null.txt"};
    MakeTree(source, {"a\\", "a\\b\\", "leer\\", "a\\b\\leer2\\", "eins.txt", ".versteckt", "a\\zwei.txt", "a\\b\\drei.txt"});
    WriteBytes(source + "a\\b\\null.txt", "");
    TotalSourceFiles = 5;
    OpenLog();
    BoxAnswerer answerer;
    Learnt pair(source, target);
    MirrorFolder(&pair, false);
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_EQ(GetWriteTime(target + "a\\zwei.txt"), GetWriteTime(source + "a\\zwei.txt"));
    EXPECT_EQ(ControlText(CopiedStatusLabel) + std::to_string(ProcessedFiles) + std::to_string(BarPosition(TotalProgressBar)), "synchronisierte Dateien: 5 / 55100");
    std::string log = Log();
    for (const char *file : files)
        EXPECT_NE(log.find("Datei kopiert: " + source + file + "\r\n"), std::string::npos) << file;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5);
    ResetCounters();
    OpenLog();
    WriteBytes(target + "eins.txt", "target is newer");
    SetWriteTime(target + "eins.txt", GetWriteTime(source + "eins.txt") + 10000000);
    WriteBytes(target + ".versteckt", "same time");
    SetWriteTime(target + ".versteckt", GetWriteTime(source + ".versteckt"));
    SetWindowTextA(CurrentFileLabel, "");
    ForgetDisplayState();
    ASSERT_TRUE(RunShell("mkdir -p \"$WINEPREFIX/dosdevices/unc/srv\" && ln -sfn '" + UnixPath(temp.path) + "' \"$WINEPREFIX/dosdevices/unc/srv/teil\""));
    Learnt share(source, "\\\\srv\\teil\\" + target.substr(temp.path.size()));
    MirrorFolder(&share, false);
    EXPECT_EQ(ReadBytes(target + "eins.txt") + ReadBytes(target + ".versteckt"), "eins.txtsame time");
    EXPECT_EQ(CopiedFiles * 10 + ProcessedFiles, 15);
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: 'eins.txt' - '1 KB'");
    EXPECT_EQ(Log(), "Datei kopiert: " + source + "eins.txt\r\n");
    DeleteFileA((target + "a\\b\\null.txt").c_str());
    MirrorFolder(&pair, false);
    EXPECT_EQ(ControlText(CurrentFileLabel) + std::to_string(BarPosition(FileProgressBar)), "aktuelle Datei: 'null.txt' - '0 KB'0");
    EXPECT_TRUE(answerer.Seen().empty());
}

// A failed copy asks Abort/Retry/Ignore with the system's error (a fixed
// text for a code without one): Ignore logs the skip, Retry copies once the
// cause is gone, Abort cancels; the file counts as processed, the old
// version and no temporary file stay.
TEST_F(EngineTest, FailedCopiesAskAbortRetryIgnore)
{
    struct Case { std::string cause; int answer, code; const char *log; };
    for (const Case &c : {Case{"target", IDIGNORE, 32, "WARNUNG - Datei übersprungen: "}, {"source", IDIGNORE, 32, "WARNUNG - Datei übersprungen: "},
                          {"read-only", IDIGNORE, 5, "WARNUNG - Datei übersprungen: "}, {"target", IDRETRY, 32, "Datei kopiert: "}, {"target", IDABORT, 32, ""}}) {
        SCOPED_TRACE(c.cause + " " + std::to_string(c.answer));
        ResetCounters();
        ClearCancel();
        WriteBytes(source + "a.txt", "new");
        SetFileAttributesA((target + "a.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        WriteBytes(target + "a.txt", "old");
        SetWriteTime(target + "a.txt", OLD_TIME);
        SetFileAttributesA((target + "a.txt").c_str(), c.cause == "read-only" ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
        HANDLE lock = c.cause == "read-only" ? INVALID_HANDLE_VALUE : CreateFileA(((c.cause == "source" ? source : target) + "a.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        OpenLog();
        BoxAnswerer answerer([&](const std::string &, const std::string &) {
            if (c.answer == IDRETRY)
                CloseHandle(lock), lock = INVALID_HANDLE_VALUE;
            return c.answer;
        });
        Learnt pair(source, target);
        MirrorFolder(&pair, false);
        CloseHandle(lock);
        std::string shape = "Fehler beim Kopieren der Datei '" + source + "a.txt'\nnach '" + target + "a.txt'\n\nFehler " + std::to_string(c.code) + ": ";
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_TRUE(answerer.Seen()[0].title == "Fehler" && answerer.Seen()[0].text.rfind(shape, 0) == 0 && answerer.Seen()[0].text.size() > shape.size() + 1)
            << answerer.Seen()[0].text << " is not " << shape << "(and the system's text)";
        EXPECT_EQ(Log(), *c.log ? c.log + source + "a.txt\r\n" : "");
        EXPECT_EQ(ReadBytes(target + "a.txt") + std::to_string(ProcessedFiles * 10 + IsCancelRequested()), (c.answer == IDRETRY ? "new" : "old") + std::to_string(c.answer == IDABORT ? 11 : 10));
        EXPECT_FALSE(Exists(target + TEMPORARY_COPY_NAME));
    }
    BoxAnswerer answerer;
    ReportError(0x2000FFFF, "Etwas", "X");
    EXPECT_EQ(answerer.Seen().at(0).text, "Etwas 'X'\n\nFehler 536936447: Keine Beschreibung verfügbar.") << "a code without a system text";
}

// The count takes every file at every depth, names with leading dots too; a
// folder that cannot be listed is reported, as given, and cancels; after a
// cancel no pass counts or copies anything. A source that vanishes while it
// is mirrored ends the run with one listing notice, no prompt per missing
// file, and no deletion.
TEST_F(EngineTest, UnlistableOrVanishingSourcesEndTheRun)
{
    std::string missing = temp / "fehlt\\", real = temp / "echt\\", outer = temp / "aussen\\", linked = outer + "link\\";
    MakeTree(source, {"leer\\", ".sub\\", "a.txt", ".b", "...x", ".sub\\d.txt", ".sub\\e.txt"});
    MakeTree(real, {"f0.txt", "f1.txt", "f2.txt", "f3.txt", "f4.txt", "f5.txt"});
    MakeFolder(outer);
    ASSERT_TRUE(RunShell("ln -s '" + UnixPath(real) + "' '" + UnixPath(outer) + "link'"));
    WriteBytes(target + "nur-im-ziel.txt", "must stay");
    HANDLE lock = CreateFileA((real + "f3.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("Fehler beim Kopieren der Datei '" + linked) == 0) // the source vanishes at the prompt
            CloseHandle(lock), MoveFileA(outer.substr(0, outer.size() - 1).c_str(), (temp / "weg").c_str());
        return DefaultAnswer(title, text);
    });
    Learnt present(source, target), absent(missing, target);
    EXPECT_EQ(present.fileCount * 10 + absent.fileCount, 50);
    ClearCancel();
    MirrorFolder(&absent, false);
    EXPECT_TRUE(IsCancelRequested());
    EXPECT_EQ(CountSourceFiles(&present) * 10 + CountSourceFiles(&absent), 0) << "a count after a cancel still looks at the folder";
    MirrorFolder(&present, false);
    EXPECT_EQ(ProcessedFiles + CopiedFiles + Exists(target + "a.txt"), 0);
    EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + missing + "'\n\nFehler ") * 10 + answerer.Seen().size(), 33u);
    ClearCancel();
    Learnt vanishing(linked, target);
    MirrorFolder(&vanishing, true);
    CleanTargetFolder(&vanishing);
    EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + linked + "'") * 10 + answerer.Count("Fehler beim Kopieren"), 11);
    EXPECT_TRUE(IsCancelRequested() && ReadBytes(target + "nur-im-ziel.txt") == "must stay");
}

// The cleanup removes what the source lacks (a target file named like a
// source folder stays), logs each deleted file, and counts deleted files and
// attempted folder removals against examined files. A file that cannot be
// deleted is reported and cancels; its folders stay. A source that is gone
// or no folder deletes nothing.
TEST_F(EngineTest, CleanupDeletesWhatTheSourceLacksAndNothingAfterAFailure)
{
    MakeTree(source, {"bleibt.txt", "ordner\\"});
    MakeTree(target, {"alt\\", "leer\\", "bleibt.txt", "weg.txt", "alt\\x.txt", "alt\\y.txt", "ordner"});
    OpenLog();
    BoxAnswerer answerer;
    Learnt pair(source, target);
    CleanTargetFolder(&pair);
    EXPECT_EQ(Snapshot(target), (std::map<std::string, std::string>{{"bleibt.txt", "bleibt.txt"}, {"ordner", "ordner"}}));
    EXPECT_EQ(ControlText(CleanedStatusLabel), "bereinigte Dateien: 5 / 5");
    std::string log = Log();
    for (const char *file : {"weg.txt", "alt\\x.txt", "alt\\y.txt"})
        EXPECT_NE(log.find("Datei gelöscht: " + target + file + "\r\n"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n') + answerer.Seen().size(), 3u);
    std::string held = temp / "ziel2\\";
    MakeTree(held, {"a\\", "a\\b\\", "a\\b\\fest.txt"});
    SetFileAttributesA((held + "a\\b\\fest.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ResetCounters();
    Learnt heldPair(source, held);
    CleanTargetFolder(&heldPair);
    EXPECT_EQ(answerer.Count("Fehler beim Löschen der Datei '" + held + "a\\b\\fest.txt'\n\nFehler 5: "), 1);
    EXPECT_EQ(CleanedEntries * 100 + CheckedTargetFiles * 10 + IsCancelRequested(), 11) << "after the failure no folder removal is tried";
    for (const std::string &bad : {temp / "weg\\", temp / "bad|name\\"}) {
        ClearCancel();
        Learnt badPair(bad, target);
        CleanTargetFolder(&badPair);
        EXPECT_TRUE(Exists(target + "bleibt.txt") && IsCancelRequested()) << bad;
        EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + bad + "'"), 1) << bad;
    }
    EXPECT_EQ(answerer.Seen().size(), 3u);
}

// Cleanup is allowed only with the box ticked and no target that is,
// contains or lies inside another pair's target or source; a pair the run
// skips (no pair entry, or nested in itself) takes no part. The warning comes once.
TEST_F(EngineTest, OverlappingFoldersDisallowCleanup)
{
    const std::pair<std::vector<const char *>, bool> cases[] = {{{}, true}, {{"'D:\\Daten\\' -> 'E:\\Kopie\\'", "'D:\\Bilder\\' -> 'E:\\Bilder\\'"}, true},
        {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup\\'"}, false}, {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'e:\\backup\\photos\\'"}, false},
        {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup2\\'"}, true}, {{"'D:\\Daten\\' -> 'D:\\Daten\\Kopie\\'", "'E:\\A\\' -> 'F:\\B\\'"}, true},
        {{"'D:\\A\\' -> 'E:\\Z\\'", "'E:\\Z\\Quelle\\' -> 'F:\\Y\\'"}, false}, {{"'D:\\A\\' -> 'E:\\Z\\'", "kaputt", "'D:\\B\\' -> 'F:\\Y\\'"}, true}};
    for (const auto &c : cases) {
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (const char *entry : c.first)
            SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
        LearnPairs();
        for (int box : {BST_CHECKED, BST_UNCHECKED}) {
            SendMessageA(CleanupCheckbox, BM_SETCHECK, box, 0);
            BoxAnswerer answerer;
            EXPECT_EQ(CleanupAllowed(), c.second && box == BST_CHECKED) << c.first.size();
            EXPECT_EQ(answerer.Count("Die Zielpfade ähneln sich.\nEs wird keine anschließende Bereinigung durchgeführt."), !c.second && box == BST_CHECKED);
        }
    }
    ForgetPairs();
}

} // namespace

namespace {

// Two last-write times are equal on FAT and FAT32 within 2 seconds, also an
// hour apart (daylight-saving time), on exFAT within 2 seconds, elsewhere
// only to the tick; the volume is asked through the folder, and a folder
// that cannot be asked gets the exact comparison.
TEST(FileTimes, FatVolumesCompareWithinTwoSeconds)
{
    const LONGLONG SECOND = 10000000, HOUR = 3600 * SECOND;
    struct Case { LONGLONG apart; bool fat, exfat, ntfs; };
    const Case cases[] = {{0, true, true, true}, {1, true, true, false}, {2 * SECOND - 1, true, true, false},
                          {2 * SECOND, false, false, false}, {HOUR, true, false, false}, {HOUR + SECOND, true, false, false},
                          {HOUR + 3 * SECOND, false, false, false}, {2 * HOUR, false, false, false}};
    const ULONGLONG base = 130000000000000000ULL;
    for (const Case &c : cases)
        for (int sign : {1, -1}) {
            ULONGLONG other = base + sign * c.apart;
            FILETIME target = {(DWORD)base, (DWORD)(base >> 32)}, source = {(DWORD)other, (DWORD)(other >> 32)};
            EXPECT_EQ(SameWriteTime(&target, &source, TimeRuleOfFileSystem("FAT32")), c.fat) << c.apart * sign;
            EXPECT_EQ(SameWriteTime(&target, &source, TimeRuleOfFileSystem("FAT")), c.fat) << c.apart * sign;
            EXPECT_EQ(SameWriteTime(&target, &source, TimeRuleOfFileSystem("exFAT")), c.exfat) << c.apart * sign;
            EXPECT_EQ(SameWriteTime(&target, &source, TimeRuleOfFileSystem("NTFS")), c.ntfs) << c.apart * sign;
        }
    char name[MAX_PATH] = "";
    TempFolder temp;
    EXPECT_EQ(FileSystemOf(temp.path.c_str(), name, sizeof name), 0u);
    EXPECT_STREQ(name, "NTFS") << "Wine reports every drive as NTFS";
    EXPECT_EQ(FileSystemOf((temp / "fehlt\\").c_str(), name, sizeof name), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(TimeRuleOf((temp / "fehlt\\").c_str()), EXACT_TIMES);
}

} // namespace
