// Run state, notices, the copy routine and the mirror pass, against real files.
#include "support.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "engine/copyfile.h"
#include "engine/paths.h"
#include "engine/display.h"
#include "engine/notices.h"
#include "engine/passes.h"
#include "engine/runstate.h"
#include <gtest/gtest.h>

namespace {

using EngineTest = PassFixture;

TEST_F(EngineTest, StatusLinesShowCountersAndTruncatedPercentage)
{
    struct Case { int copied, total, processed, cleaned, checked; const char *left, *right; int bar; };
    const Case cases[] = {
        {0, 0, 0, 0, 0, "synchronisierte Dateien: 0 / 0", "bereinigte Dateien: 0 / 0", 0},
        {3, 10, 7, 0, 0, "synchronisierte Dateien: 3 / 10", "bereinigte Dateien: 0 / 0", 70},
        {1, 3, 1, 3, 2, "synchronisierte Dateien: 1 / 3", "bereinigte Dateien: 3 / 2", 33},
        {2, 3, 2, -1, 5, "synchronisierte Dateien: 2 / 3", "bereinigte Dateien: -1 / 5", 66},
        {5, 40000000, 30000000, 0, 0, "synchronisierte Dateien: 5 / 40000000", "bereinigte Dateien: 0 / 0", 75},
    };
    for (const Case &c : cases) {
        CopiedFiles = c.copied;
        TotalSourceFiles = c.total;
        ProcessedFiles = c.processed;
        CleanedEntries = c.cleaned;
        CheckedTargetFiles = c.checked;
        UpdateStatusLines();
        EXPECT_EQ(ControlText(CopiedStatusLabel), c.left);
        EXPECT_EQ(ControlText(CleanedStatusLabel), c.right);
        EXPECT_EQ(BarPosition(TotalProgressBar), c.bar) << c.left;
    }
    // With no source files the bar keeps its position.
    TotalSourceFiles = 0;
    ProcessedFiles = 99;
    UpdateStatusLines();
    EXPECT_EQ(BarPosition(TotalProgressBar), 75);
    EXPECT_EQ(OverallPercent(4, 3), 133);
}

TEST_F(EngineTest, NoticesHaveTheFixedShape)
{
    BoxAnswerer answerer;
    ReportListingError(ERROR_PATH_NOT_FOUND, "D:\\Quelle\\");
    ReportDeleteError(ERROR_ACCESS_DENIED, "D:\\Ziel\\a.txt");
    ReportError(0x2000FFFF, "Etwas", "X");
    int answer = AskCopyError(ERROR_SHARING_VIOLATION, "C:\\q\\a.txt", "C:\\z\\a.txt");
    std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 4u);
    for (const SeenBox &box : seen)
        EXPECT_EQ(box.title, "Fehler");
    EXPECT_EQ(seen[0].text.rfind("Fehler beim Ermitteln der Quelldateien im Pfad 'D:\\Quelle\\'\n\nFehler 3: ", 0), 0u)
        << seen[0].text;
    EXPECT_EQ(seen[1].text.rfind("Fehler beim Löschen der Datei 'D:\\Ziel\\a.txt'\n\nFehler 5: ", 0), 0u) << seen[1].text;
    EXPECT_EQ(seen[2].text, std::string("Etwas 'X'\n\nFehler 536936447: ") + NO_SYSTEM_TEXT);
    EXPECT_EQ(seen[3].text.rfind("Fehler beim Kopieren der Datei 'C:\\q\\a.txt'\nnach 'C:\\z\\a.txt'\n\nFehler 32: ", 0), 0u)
        << seen[3].text;
    EXPECT_GT(seen[3].text.size(), strlen("Fehler beim Kopieren der Datei 'C:\\q\\a.txt'\nnach 'C:\\z\\a.txt'\n\nFehler 32: "));
    EXPECT_EQ(answer, IDIGNORE);
}

TEST(FileSize, NumberAndUnitFollowTheRoundingRule)
{
    struct Case { unsigned long long size; const char *text; };
    const Case cases[] = {
        {0, "0 KB'"}, {1, "1 KB'"}, {1024, "1 KB'"}, {1025, "2 KB'"}, {250000, "245 KB'"},
        {1048576, "1024 KB'"}, {1048577, "2 MB'"}, {2097152, "2 MB'"},
        {4294967297ULL, "4097 MB'"}, {5368709120ULL, "5120 MB'"}, {3000000000000ULL, "2861023 MB'"},
    };
    for (const Case &c : cases) {
        char text[100];
        FormatFileSize(c.size, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.size;
    }
}

// Progress calls the copy routine made: total and transferred of each.
struct ProgressLog {
    std::vector<std::pair<LONGLONG, LONGLONG>> calls;
    LONGLONG cancelAfter = -1;
};

DWORD CALLBACK RecordProgress(LARGE_INTEGER total, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD,
                              DWORD, HANDLE, HANDLE, LPVOID data)
{
    ProgressLog *log = (ProgressLog *)data;
    log->calls.push_back({total.QuadPart, done.QuadPart});
    if (log->cancelAfter >= 0 && done.QuadPart >= log->cancelAfter)
        return PROGRESS_CANCEL;
    return PROGRESS_CONTINUE;
}

TEST_F(EngineTest, ChunkedCopyKeepsDataTimeAttributesAndReportsProgress)
{
    std::string data(3 * 1024 * 1024 + 17, 'x');
    for (size_t i = 0; i < data.size(); i++)
        data[i] = (char)(i * 7);
    WriteBytes(source + "big.bin", data);
    SetWriteTime(source + "big.bin", 130000000000000000ULL);
    SetFileAttributesA((source + "big.bin").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    WriteBytes(target + "big.bin", "old content");
    ProgressLog log;
    BOOL cancel = FALSE;
    SetLastError(0xdead);
    ASSERT_TRUE(CopyFileChunked((source + "big.bin").c_str(), (target + "big.bin").c_str(), RecordProgress, &log,
                                &cancel, 0)) << GetLastError();
    EXPECT_TRUE(ReadBytes(target + "big.bin") == data);
    EXPECT_EQ(GetWriteTime(target + "big.bin"), 130000000000000000ULL);
    EXPECT_TRUE(GetFileAttributesA((target + "big.bin").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    ASSERT_GE(log.calls.size(), 4u);
    EXPECT_EQ(log.calls.front().second, 0);
    EXPECT_EQ(log.calls.back().second, (LONGLONG)data.size());
    for (auto &call : log.calls)
        EXPECT_EQ(call.first, (LONGLONG)data.size());
}

TEST_F(EngineTest, ChunkedCopyFailuresCarryTheSystemErrorAndLeaveNoPartialFile)
{
    WriteBytes(source + "a.bin", std::string(2 * 1024 * 1024, 'a'));
    std::string to = target + "a.bin";
    BOOL cancel = FALSE;

    ProgressLog log;
    log.cancelAfter = 1;
    SetLastError(0);
    EXPECT_FALSE(CopyFileChunked((source + "a.bin").c_str(), to.c_str(), RecordProgress, &log, &cancel, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_REQUEST_ABORTED);
    EXPECT_FALSE(Exists(to)) << "partial target left after a cancel by the routine";

    cancel = TRUE;
    SetLastError(0);
    EXPECT_FALSE(CopyFileChunked((source + "a.bin").c_str(), to.c_str(), NULL, NULL, &cancel, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_REQUEST_ABORTED);
    EXPECT_FALSE(Exists(to));
    cancel = FALSE;

    WriteBytes(to, "keep");
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_READONLY);
    SetLastError(0);
    EXPECT_FALSE(CopyFileChunked((source + "a.bin").c_str(), to.c_str(), NULL, NULL, &cancel, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReadBytes(to), "keep");
    SetFileAttributesA(to.c_str(), FILE_ATTRIBUTE_NORMAL);

    HANDLE held = CreateFileA(to.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    SetLastError(0);
    EXPECT_FALSE(CopyFileChunked((source + "a.bin").c_str(), to.c_str(), NULL, NULL, &cancel, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SHARING_VIOLATION);
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(to), "keep");

    SetLastError(0);
    EXPECT_FALSE(CopyFileChunked((source + "a.bin").c_str(), (temp / "fehlt\\a.bin").c_str(), NULL, NULL, &cancel, 0));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_PATH_NOT_FOUND);
}

TEST_F(EngineTest, CopyProgressRaisesTheBarOnlyForward)
{
    LARGE_INTEGER total, done, zero;
    total.QuadPart = 1000;
    zero.QuadPart = 0;
    LastFilePercent = 0;
    const LONGLONG steps[] = {100, 50, 555, 1000};
    const int expected[] = {10, 10, 55, 100};
    for (int i = 0; i < 4; i++) {
        done.QuadPart = steps[i];
        EXPECT_EQ(CopyProgress(total, done, total, done, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CONTINUE);
        FlushDisplay();
        EXPECT_EQ(BarPosition(FileProgressBar), expected[i]);
        EXPECT_EQ(LastFilePercent, expected[i]);
    }
    EXPECT_EQ(CopyProgress(zero, zero, zero, zero, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CONTINUE);
    RequestCancel();
    EXPECT_EQ(CopyProgress(total, done, total, done, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CANCEL);
}

// Between two refreshes shorter than the interval the display keeps what it
// showed; a later refresh and every flush show the counters as they are.
TEST_F(EngineTest, RefreshesAreThrottledAndFlushesAreExact)
{
    TotalSourceFiles = 10;
    Sleep(DISPLAY_INTERVAL_MS + 20);
    CopiedFiles = 1;
    ProcessedFiles = 1;
    RefreshDisplay();
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 1 / 10");
    EXPECT_EQ(BarPosition(TotalProgressBar), 10);
    DWORD shown = GetTickCount();
    CopiedFiles = 2;
    ProcessedFiles = 2;
    RecordCurrentFile("aktuelle Datei: 'b.txt' - '1 KB'");
    RefreshDisplay();
    if (GetTickCount() - shown < DISPLAY_INTERVAL_MS) {
        EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 1 / 10");
        EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: n/a");
    }
    Sleep(DISPLAY_INTERVAL_MS + 20);
    ProcessedFiles = 3;
    RefreshDisplay();
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 2 / 10");
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: 'b.txt' - '1 KB'");
    EXPECT_EQ(BarPosition(TotalProgressBar), 30);
    CopiedFiles = 4;
    ProcessedFiles = 4;
    CleanedEntries = 2;
    RecordFileProgress(40);
    RefreshDisplay();
    FlushDisplay();
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 4 / 10");
    EXPECT_EQ(ControlText(CleanedStatusLabel), "bereinigte Dateien: 2 / 0");
    EXPECT_EQ(BarPosition(TotalProgressBar), 40);
    EXPECT_EQ(BarPosition(FileProgressBar), 40);
}

// A text too long to remember is shown, and the text shown before it is
// sent again afterwards instead of being taken as still shown.
TEST_F(EngineTest, ATextTooLongToRememberLeavesNothingStale)
{
    const std::string longText(STATUS_TEXT_MAX + 10, 'x');
    SetControlText(CurrentFileLabel, "kurz");
    SetControlText(CurrentFileLabel, longText.c_str());
    EXPECT_EQ(ControlText(CurrentFileLabel), longText);
    SetControlText(CurrentFileLabel, "kurz");
    EXPECT_EQ(ControlText(CurrentFileLabel), "kurz");
}

// Folders for a pass run on a thread of its own.
static std::string ThreadSource, ThreadTarget;

static DWORD WINAPI MirrorOnThread(LPVOID)
{
    MirrorFolder(ThreadSource.c_str(), ThreadTarget.c_str(), false);
    return 0;
}

// With the display on another thread, as in the program, every copy prompt
// finds the status lines, the bars and the current file as they are at that
// moment, however recently the last refresh was.
TEST_F(EngineTest, PromptsFindTheDisplayExact)
{
    const int files = 12;
    for (int i = 0; i < files; i++)
        WriteBytes(source + "datei" + std::to_string(10 + i) + ".txt", std::string(100 + i, 'x'));
    ThreadSource = source;
    ThreadTarget = target + "fehlt\\";
    TotalSourceFiles = files;
    std::vector<std::string> shown;
    BoxAnswerer answerer([&](const std::string &, const std::string &text) {
        size_t name = text.find("datei");
        shown.push_back(ControlText(CopiedStatusLabel) + " | " + std::to_string(BarPosition(TotalProgressBar)) +
                        " | " + ControlText(CurrentFileLabel).substr(0, 24) + " | " +
                        (name == std::string::npos ? text : text.substr(name, 7)));
        return IDIGNORE;
    });
    ASSERT_TRUE(RunOnThreadPumping(MirrorOnThread, 60000));
    ASSERT_EQ(shown.size(), (size_t)files);
    for (int i = 0; i < files; i++) {
        std::string file = shown[i].substr(shown[i].size() - 7);
        EXPECT_EQ(shown[i], "synchronisierte Dateien: 0 / " + std::to_string(files) + " | " +
                                std::to_string(i * 100 / files) + " | aktuelle Datei: '" + file + " | " + file)
            << "prompt " << i;
    }
    EXPECT_EQ(BarPosition(TotalProgressBar), 100);
}

struct MirrorTest : EngineTest {
    void MakeTree()
    {
        MakeFolder(source + "a");
        MakeFolder(source + "a\\b");
        MakeFolder(source + "leer");
        MakeFolder(source + "a\\b\\leer2");
        WriteBytes(source + "eins.txt", "1");
        WriteBytes(source + ".versteckt", "dot");
        WriteBytes(source + "a\\zwei.txt", "22");
        WriteBytes(source + "a\\b\\drei.txt", std::string(5000, 'c'));
        WriteBytes(source + "a\\b\\null.txt", "");
    }
};

TEST_F(MirrorTest, FirstMirrorCopiesEverythingAndASecondCopiesNothing)
{
    MakeTree();
    OpenLog();
    BoxAnswerer answerer;
    TotalSourceFiles = 5;
    MirrorFolder(source.c_str(), target.c_str(), false);
    EXPECT_EQ(CopiedFiles, 5);
    EXPECT_EQ(ProcessedFiles, 5);
    for (const char *path : {"a\\b\\leer2", "leer", "eins.txt", ".versteckt", "a\\zwei.txt", "a\\b\\drei.txt", "a\\b\\null.txt"})
        EXPECT_TRUE(Exists(target + path)) << path;
    EXPECT_EQ(ReadBytes(target + "a\\b\\drei.txt"), std::string(5000, 'c'));
    EXPECT_EQ(GetWriteTime(target + "a\\zwei.txt"), GetWriteTime(source + "a\\zwei.txt"));
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 5 / 5");
    EXPECT_EQ(BarPosition(TotalProgressBar), 100);
    EXPECT_EQ(ControlText(CurrentFileLabel).rfind("aktuelle Datei: '", 0), 0u);
    std::string log = Log();
    EXPECT_NE(log.find("Datei kopiert: " + source + "a\\b\\drei.txt\r\n"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 5);
    EXPECT_TRUE(answerer.Seen().empty());

    SetWindowTextA(CurrentFileLabel, "unberuehrt");
    ForgetDisplayState();
    ResetCounters();
    OpenLog();
    MirrorFolder(source.c_str(), target.c_str(), false);
    EXPECT_EQ(CopiedFiles, 0);
    EXPECT_EQ(ProcessedFiles, 5);
    EXPECT_EQ(ControlText(CurrentFileLabel), "unberuehrt");
    EXPECT_EQ(Log(), "");
}

TEST_F(MirrorTest, OnlyTheLastWriteTimeDecides)
{
    WriteBytes(source + "neuer.txt", "source");
    WriteBytes(target + "neuer.txt", "target is newer");
    SetWriteTime(source + "neuer.txt", 130000000000000000ULL);
    SetWriteTime(target + "neuer.txt", 131000000000000000ULL);
    WriteBytes(source + "gleich.txt", "source");
    WriteBytes(target + "gleich.txt", "other size, same time");
    SetWriteTime(source + "gleich.txt", 130000000000000000ULL);
    SetWriteTime(target + "gleich.txt", 130000000000000000ULL);
    MirrorFolder(source.c_str(), target.c_str(), false);
    EXPECT_EQ(ReadBytes(target + "neuer.txt"), "source");
    EXPECT_EQ(ReadBytes(target + "gleich.txt"), "other size, same time");
    EXPECT_EQ(CopiedFiles, 1);
    EXPECT_EQ(ProcessedFiles, 2);
}

TEST_F(MirrorTest, ZeroByteFileShowsZeroKilobytes)
{
    WriteBytes(source + "leer.dat", "");
    MirrorFolder(source.c_str(), target.c_str(), false);
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: 'leer.dat' - '0 KB'");
    EXPECT_EQ(BarPosition(FileProgressBar), 0);
    EXPECT_EQ(CopiedFiles, 1);
}

TEST_F(MirrorTest, CopyFailurePromptAbortRetryIgnore)
{
    WriteBytes(source + "a.txt", "new a");
    WriteBytes(target + "a.txt", "old a");
    SetWriteTime(target + "a.txt", 120000000000000000ULL);
    std::string held = target + "a.txt";

    // Ignore: skipped line, nothing copied, counted as processed.
    {
        OpenLog();
        HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        BoxAnswerer answerer([](const std::string &, const std::string &) { return IDIGNORE; });
        MirrorFolder(source.c_str(), target.c_str(), false);
        CloseHandle(lock);
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].text.rfind("Fehler beim Kopieren der Datei '" + source + "a.txt'\nnach '" + held +
                                                    "'\n\nFehler 5: ", 0), 0u) << answerer.Seen()[0].text;
        EXPECT_EQ(Log(), "WARNUNG - Datei übersprungen: " + source + "a.txt\r\n");
        EXPECT_EQ(ReadBytes(held), "old a") << "the old version stays";
        EXPECT_FALSE(Exists(target + TEMPORARY_COPY_NAME));
        EXPECT_EQ(CopiedFiles, 0);
        EXPECT_EQ(ProcessedFiles, 1);
        EXPECT_FALSE(IsCancelRequested());
    }
    // Retry after the lock is gone: copied, one prompt only.
    {
        ResetCounters();
        OpenLog();
        HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        BoxAnswerer answerer([&](const std::string &, const std::string &) {
            CloseHandle(lock);
            return IDRETRY;
        });
        MirrorFolder(source.c_str(), target.c_str(), false);
        EXPECT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(ReadBytes(held), "new a");
        EXPECT_EQ(CopiedFiles, 1);
        EXPECT_EQ(Log(), "Datei kopiert: " + source + "a.txt\r\n");
    }
    // Abort: the run is cancelled and the pass stops after this file.
    {
        ResetCounters();
        SetWriteTime(held, 120000000000000000ULL);
        OpenLog();
        HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        BoxAnswerer answerer([](const std::string &, const std::string &) { return IDABORT; });
        MirrorFolder(source.c_str(), target.c_str(), false);
        CloseHandle(lock);
        EXPECT_TRUE(IsCancelRequested());
        EXPECT_EQ(Log(), "");
        EXPECT_EQ(ProcessedFiles, 1);
    }
}

// Sets the cancel flag once the copy of big.bin has started writing.
static DWORD WINAPI CancelWhenCopyStarts(LPVOID path)
{
    for (int i = 0; i < 2000; i++) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA((const char *)path, GetFileExInfoStandard, &data) && data.nFileSizeLow > 0) {
            RequestCancel();
            return 0;
        }
        Sleep(1);
    }
    return 1;
}

TEST_F(MirrorTest, CancelDuringALargeCopyRemovesThePartialFileAndStopsThePass)
{
    WriteBytes(source + "big.bin", std::string(192 * 1024 * 1024, 'b'));
    MakeFolder(source + "zz");
    WriteBytes(source + "zz\\later.txt", "later");
    WriteBytes(target + "big.bin", "old version");
    SetWriteTime(target + "big.bin", 120000000000000000ULL);
    std::string partial = target + TEMPORARY_COPY_NAME;
    OpenLog();
    BoxAnswerer answerer([](const std::string &, const std::string &) { return IDIGNORE; });
    HANDLE canceller = CreateThread(NULL, 0, CancelWhenCopyStarts, (LPVOID)partial.c_str(), 0, NULL);
    MirrorFolder(source.c_str(), target.c_str(), false);
    WaitForSingleObject(canceller, 5000);
    DWORD result = 1;
    GetExitCodeThread(canceller, &result);
    CloseHandle(canceller);
    ASSERT_EQ(result, 0u) << "the copy never started writing";
    EXPECT_FALSE(Exists(partial)) << "partial file left behind";
    EXPECT_EQ(ReadBytes(target + "big.bin"), "old version");
    EXPECT_EQ(GetWriteTime(target + "big.bin"), 120000000000000000ULL);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_NE(answerer.Seen()[0].text.find("\n\nFehler 1235: "), std::string::npos) << answerer.Seen()[0].text;
    EXPECT_EQ(Log(), "WARNUNG - Datei übersprungen: " + source + "big.bin\r\n");
    EXPECT_LE(ProcessedFiles, 1);
    EXPECT_FALSE(Exists(target + "zz\\later.txt"));
}

TEST_F(MirrorTest, UnlistableSourceGivesOneNoticeAndCancels)
{
    BoxAnswerer answerer;
    std::string missing = temp / "gibtsnicht\\";
    MirrorFolder(missing.c_str(), target.c_str(), false);
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text.rfind("Fehler beim Ermitteln der Quelldateien im Pfad '" + missing + "'\n\nFehler ", 0), 0u)
        << answerer.Seen()[0].text;
    EXPECT_TRUE(IsCancelRequested());
}

TEST_F(MirrorTest, PassEnteredAfterACancelCopiesNothing)
{
    WriteBytes(source + "a.txt", "a");
    RequestCancel();
    BoxAnswerer answerer;
    MirrorFolder(source.c_str(), target.c_str(), false);
    EXPECT_FALSE(Exists(target + "a.txt"));
    EXPECT_EQ(ProcessedFiles, 0);
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(MirrorTest, WithoutALogTheMirrorStillWorks)
{
    MakeTree();
    LogFile = HFILE_ERROR;
    MirrorFolder(source.c_str(), target.c_str(), false);
    EXPECT_EQ(CopiedFiles, 5);
    EXPECT_FALSE(Exists(temp / "log.txt"));
}

TEST_F(MirrorTest, PathsThatDoNotFitAreReportedAndNotUsed)
{
    WriteBytes(source + "a.txt", "a");
    std::string longTarget = target + std::string(996 - target.size(), 'x') + "\\";
    BoxAnswerer answerer;
    OpenLog();
    MirrorFolder(source.c_str(), longTarget.c_str(), false);
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(Log(), "WARNUNG - Eintrag ausgelassen: " + source + "a.txt\r\n");
    EXPECT_EQ(LeftAloneEntries, 1);
    EXPECT_EQ(ProcessedFiles, 0);
    EXPECT_EQ(CopiedFiles, 0);
}

} // namespace
