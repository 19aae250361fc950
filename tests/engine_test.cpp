// The run's display and notices, the fail-safe copy in both branches, the three passes and the file-time rule.
#include "support.h"
#include "base/filetimes.h"
#include "base/messages.h"
#include "engine/chunkcopy.h"
#include "engine/copyfile.h"
#include "engine/display.h"
#include "base/identity.h"
#include "base/longpath.h"
#include "base/memory.h"
#include "engine/passes.h"

namespace {

using EngineTest = ProgramFixture;

// The status lines, bars and size texts follow the counters, exact at every flush and every copy prompt.
TEST_F(EngineTest, TheDisplayIsExactAtEveryPrompt)
{
    // clang-format off
    struct Line { int copied, total, processed, cleaned, checked; const char *left, *right; int bar; };
    const Line lines[] = {{0, 0, 0, 0, 0, "0 / 0", "0 / 0", 0}, {3, 10, 7, 0, 0, "3 / 10", "0 / 0", 70},
                          {1, 3, 2, 3, 2, "1 / 3", "3 / 2", 66},
                          {5, 40000000, 30000000, -1, 5, "5 / 40000000", "-1 / 5", 75},
                          {0, 0, 99, 0, 0, "0 / 0", "0 / 0", 75}}; // a total of 0 leaves the bar
    const std::pair<ULONGLONG, const char *> sizes[] = {{0, "0 KB'"}, {1024, "1 KB'"}, {1025, "2 KB'"},
        {250000, "245 KB'"}, {1048576, "1024 KB'"}, {1048577, "2 MB'"}, {4294967297ULL, "4097 MB'"}};
    // clang-format on
    for (const Line &l : lines) {
        CopiedFiles = l.copied, TotalSourceFiles = l.total, ProcessedFiles = l.processed, CleanedEntries = l.cleaned,
        CheckedTargetFiles = l.checked;
        UpdateStatusLines();
        FlushDisplay();
        EXPECT_EQ(ControlText(CopiedStatusLabel), std::string("synchronisierte Dateien: ") + l.left);
        EXPECT_EQ(ControlText(CleanedStatusLabel), std::string("bereinigte Dateien: ") + l.right);
        EXPECT_EQ(BarPosition(TotalProgressBar), l.bar) << l.left;
    }
    char text[100];
    for (const auto &s : sizes)
        EXPECT_STREQ((FormatFileSize(s.first, text, sizeof text), text), s.second) << s.first;
    TotalSourceFiles = 1000000000;
    CopiedFiles = ProcessedFiles = 123456789;
    RefreshDisplay();
    RecordCurrentFile("aktuelle Datei: 'b.txt' - '1 KB'");
    RecordFileProgress(40);
    FlushDisplay();
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 123456789 / 1000000000");
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: 'b.txt' - '1 KB'");
    EXPECT_EQ(BarPosition(TotalProgressBar), 12) << "of 1,000,000,000";
    for (int i = 0; i < 12; i++)
        WriteBytes(source + "datei" + std::to_string(10 + i) + ".txt", std::string(100 + i, 'x'));
    ResetCounters();
    TotalSourceFiles = 12;
    std::vector<std::string> shown, expected;
    BoxAnswerer answerer([&](const std::string &, const std::string &text) {
        shown.push_back(ControlText(CopiedStatusLabel) + "|" + std::to_string(BarPosition(TotalProgressBar)) + "|" +
                        ControlText(CurrentFileLabel).substr(0, 24));
        expected.push_back("synchronisierte Dateien: 0 / 12|" + std::to_string((int)(shown.size() - 1) * 100 / 12) +
                           "|aktuelle Datei: '" + text.substr(text.find("datei"), 7));
        return IDIGNORE;
    });
    Learnt missingTarget(source, target + "fehlt\\");
    MirrorFolder(&missingTarget, false);
    EXPECT_EQ(shown, expected);
}

DWORD CALLBACK RecordProgress(LARGE_INTEGER, LARGE_INTEGER done, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE,
                              HANDLE, LPVOID data)
{
    ((std::vector<LONGLONG> *)data)->push_back(done.QuadPart);
    SetLastError(ERROR_ACCESS_DENIED); // a routine may leave any last error behind
    return ((std::vector<LONGLONG> *)data)->size() > 2 ? PROGRESS_CANCEL : PROGRESS_CONTINUE;
}

// A progress routine that swaps the target's folder for a link (the script in Swap), once.
std::string Swap;
DWORD CALLBACK SwapFolder(LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE,
                          LPVOID)
{
    EXPECT_TRUE(Swap.empty() || RunShell(Swap));
    Swap.clear();
    return PROGRESS_CONTINUE;
}

// A replacement in either branch brings the new version with time and attributes, or on failure keeps the old one.
TEST_F(EngineTest, AReplacementKeepsTheOldVersionUnlessItSucceeds)
{
    // clang-format off
    enum Setup { NOTHING, CANCEL_BEFORE, CANCEL_DURING, SWAP_DURING, HELD_OPEN, FOLDER_IN_PLACE, LEFTOVER, READ_ONLY,
                 READ_ONLY_LINKED, READ_ONLY_SOURCE, FULL_DISK };
    struct Case { const char *name; Setup setup; DWORD code; };
    const Case cases[] = {
        {"success", NOTHING, 0}, {"cancel before the copy", CANCEL_BEFORE, 1235},
        {"cancel by the progress routine", CANCEL_DURING, 1235}, {"folder swapped for a link", SWAP_DURING, 0x20000002},
        {"held open", HELD_OPEN, 32},
        {"rename onto a folder", FOLDER_IN_PLACE, 5}, {"leftover temporary file", LEFTOVER, 0},
        {"read-only", READ_ONLY, 0}, {"read-only with a second name", READ_ONLY_LINKED, 5},
        {"read-only source", READ_ONLY_SOURCE, 0}, {"full disk", FULL_DISK, 112}};
    // clang-format on
    std::string data(7 * 1024 * 1024, 'x');
    Put(source + "neu.bin", data, OLD_TIME, FILE_ATTRIBUTE_HIDDEN);
    Put(source + "nur.bin", data, OLD_TIME, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
    bool fullDiskRan = false;
    for (CopyMethod method : {OWN_COPY, PLATFORM_COPY}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (method == OWN_COPY ? ", own copy" : ", platform copy"));
            std::string folder = temp / (std::string(c.name) + std::to_string(method) + "\\"),
                        to = folder + (c.setup == FOLDER_IN_PLACE ? "alt.bin\\drin" : "alt.bin");
            MakeTree(folder, {"alt.bin\\"});
            if (c.setup != FOLDER_IN_PLACE)
                RemoveDirectoryA((folder + "alt.bin").c_str());
            if (((c.setup == CANCEL_DURING || c.setup == SWAP_DURING) && method != OWN_COPY) ||
                (c.setup == FULL_DISK && !RunShell("mount -t tmpfs -o size=1m tmpfs '" + UnixPath(folder) + "'")))
                continue; // Wine's CopyFileExA calls no progress routine; a tmpfs needs root
            fullDiskRan |= c.setup == FULL_DISK;
            Put(to, "alte Fassung", OLD_TIME - 1,
                c.setup == READ_ONLY || c.setup == READ_ONLY_LINKED ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
            if (c.setup == READ_ONLY_LINKED) {
                ASSERT_TRUE(CreateHardLinkA((folder + "zweitname").c_str(), to.c_str(), NULL));
            }
            if (c.setup == LEFTOVER)
                Put(folder + Ansi(TEMPORARY_COPY_NAME), "Rest", 0, FILE_ATTRIBUTE_READONLY);
            HANDLE held = c.setup == HELD_OPEN ? Hold(to, FILE_SHARE_READ) : INVALID_HANDLE_VALUE;
            std::string from = source + (c.setup == READ_ONLY_SOURCE ? "nur.bin" : "neu.bin");
            std::vector<LONGLONG> calls;
            BOOL cancel = c.setup == CANCEL_BEFORE;
            std::string replaced = c.setup == FOLDER_IN_PLACE ? folder + "alt.bin" : to;
            ReplacementCopy = method;
            SetLastError(0xDEADBEEF);
            HeldFolder folderHeld = {INVALID_HANDLE_VALUE, 0};
            std::string moved = UnixPath(folder.substr(0, folder.size() - 1)), outside = temp / "draussen\\";
            if (c.setup == SWAP_DURING &&
                FileIndexAt(Wide(folder).c_str(), &folderHeld.index)) { // outside holds what the target held
                MakeFolder(outside);
                Put(outside + "alt.bin", "alte Fassung", OLD_TIME - 1);
                Swap = "mv '" + moved + "' '" + moved + "-alt' && ln -s '" + UnixPath(outside) + "' '" + moved + "'";
            }
            DWORD code =
                c.setup == SWAP_DURING ? CopyOverTarget(Wide(from).c_str(), Wide(replaced).c_str(), false, SwapFolder,
                                                        &cancel, &folderHeld)
                : c.setup != CANCEL_DURING
                    ? CopyOverTarget(Wide(from).c_str(), Wide(replaced).c_str(), false, NULL, &cancel)
                : CopyFileChunked(Wide(source + "neu.bin").c_str(), Wide(folder + Ansi(TEMPORARY_COPY_NAME)).c_str(),
                                  Wide(to).c_str(), RecordProgress, &calls, &cancel, COPY_FILE_FAIL_IF_EXISTS)
                    ? 0
                    : GetLastError();
            ReplacementCopy = OWN_COPY;
            CloseHandle(held);
            EXPECT_EQ(code, c.code);
            EXPECT_EQ(ReadBytes(to), c.code == 0 ? data : "alte Fassung");
            EXPECT_EQ(GetWriteTime(to), c.code == 0 ? OLD_TIME : OLD_TIME - 1);
            DWORD shown = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY,
                  kept = c.setup == READ_ONLY_LINKED ? FILE_ATTRIBUTE_READONLY : 0;
            EXPECT_EQ(GetFileAttributesA(to.c_str()) & shown,
                      (c.code == 0 ? GetFileAttributesA(from.c_str()) : kept) & shown);
            EXPECT_FALSE(Exists(folder + Ansi(TEMPORARY_COPY_NAME)));
            if (c.setup == CANCEL_DURING) {
                EXPECT_EQ(calls, (std::vector<LONGLONG>{0, 64 * 1024, 128 * 1024}))
                    << "a call before the first chunk and after each";
            }
            if (c.setup == FULL_DISK)
                RunShell("umount '" + UnixPath(folder) + "'");
        }
    }
    LARGE_INTEGER total = {}, done = {};
    total.QuadPart = 1000;
    for (const auto &step : {std::make_pair(100, 10), {50, 10}, {555, 55}, {1000, 100}}) {
        done.QuadPart = step.first;
        EXPECT_EQ(CopyProgress(total, done, total, done, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CONTINUE);
        FlushDisplay();
        EXPECT_EQ(BarPosition(FileProgressBar), step.second) << "the file bar only moves forward";
    }
    RequestCancel();
    EXPECT_EQ(CopyProgress(total, done, total, done, 1, 0, NULL, NULL, NULL), (DWORD)PROGRESS_CANCEL);
    if (!fullDiskRan)
        GTEST_SKIP() << "the full disk needs a tmpfs, which only root can mount";
}

// A mirror copies what is missing or of another time and logs each copy; a file of equal time stays as it is.
TEST_F(EngineTest, MirrorCopiesWhatIsMissingOrOfAnotherTime)
{
    MakeTree(source,
             {"a\\", "a\\b\\", "leer\\", "a\\b\\leer2\\", "eins.txt", ".versteckt", "a\\zwei.txt", "a\\b\\drei.txt"});
    WriteBytes(source + "a\\b\\null.txt", "");
    TotalSourceFiles = 5;
    OpenLog();
    BoxAnswerer answerer;
    Learnt pair(source, target);
    MirrorFolder(&pair, false);
    EXPECT_EQ(Snapshot(target), Snapshot(source));
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 5 / 5");
    EXPECT_EQ(BarPosition(TotalProgressBar), 100);
    std::string log = Log();
    for (const char *file : {"eins.txt", ".versteckt", "a\\zwei.txt", "a\\b\\drei.txt", "a\\b\\null.txt"})
        EXPECT_EQ(Lines(log, "Datei kopiert: " + source + file + "\r"), 1) << file;
    EXPECT_EQ(Lines(log, ""), 5);
    ResetCounters();
    OpenLog();
    Put(target + "eins.txt", "target is newer", GetWriteTime(source + "eins.txt") + 10000000);
    Put(target + ".versteckt", "same time", GetWriteTime(source + ".versteckt"));
    SetWindowTextA(CurrentFileLabel, "");
    ForgetDisplayState();
    ASSERT_TRUE(RunShell("mkdir -p \"$WINEPREFIX/dosdevices/unc/srv\" && ln -sfn '" + UnixPath(temp.path) +
                         "' \"$WINEPREFIX/dosdevices/unc/srv/teil\""));
    Learnt share(source, "\\\\srv\\teil\\" + target.substr(temp.path.size()));
    MirrorFolder(&share, false);
    EXPECT_EQ(ReadBytes(target + "eins.txt"), "eins.txt");
    EXPECT_EQ(ReadBytes(target + ".versteckt"), "same time");
    EXPECT_EQ(std::make_pair(CopiedFiles, ProcessedFiles), std::make_pair(1, 5)) << "copied, processed";
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: 'eins.txt' - '1 KB'");
    EXPECT_EQ(Log(), "Datei kopiert: " + source + "eins.txt\r\n");
    DeleteFileA((target + "a\\b\\null.txt").c_str());
    MirrorFolder(&pair, false);
    EXPECT_EQ(ControlText(CurrentFileLabel), "aktuelle Datei: 'null.txt' - '0 KB'");
    EXPECT_EQ(BarPosition(FileProgressBar), 0);
    std::string growing = source + "wachsend.log"; // a log another program keeps writing: tried twice, then left alone
    WriteBytes(growing, std::string(16 << 20, 'x'));
    std::atomic<bool> stop(false);
    std::thread writer([&] {
        HANDLE file = CreateFileA(growing.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_EXISTING, 0, NULL);
        for (DWORD written; !stop; WriteFile(file, "+", 1, &written, NULL)) {
        }
        CloseHandle(file);
    });
    for (DWORD start = GetTickCount(); ReadBytes(growing).size() == 16 << 20 && GetTickCount() - start < 5000;)
        Sleep(1);
    ResetCounters();
    OpenLog();
    MirrorFolder(&pair, false);
    stop = true;
    writer.join();
    EXPECT_EQ(Log(), "WARNUNG - Datei beim Kopieren verändert, ausgelassen: " + growing + "\r\n");
    EXPECT_EQ(LeftAloneEntries, 1);
    EXPECT_FALSE(Exists(target + "wachsend.log"));
    EXPECT_TRUE(answerer.Seen().empty());
}

// A failed copy asks Abort/Retry/Ignore with the system's error; each answer does what it says, the old version stays.
TEST_F(EngineTest, FailedCopiesAskAbortRetryIgnore)
{
    enum Cause { TARGET_HELD, SOURCE_HELD };
    const char *SKIPPED = "WARNUNG - Datei übersprungen: ";
    // clang-format off
    struct Case { Cause cause; int answer, code; const char *log; };
    const Case cases[] = {{TARGET_HELD, IDIGNORE, 32, SKIPPED}, {SOURCE_HELD, IDIGNORE, 32, SKIPPED},
                          {TARGET_HELD, IDRETRY, 32, "Datei kopiert: "}, {TARGET_HELD, IDABORT, 32, ""}};
    // clang-format on
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.cause) + " answered " + std::to_string(c.answer));
        ResetCounters();
        ClearCancel();
        WriteBytes(source + "a.txt", "new");
        Put(target + "a.txt", "old", OLD_TIME);
        HANDLE lock = Hold((c.cause == SOURCE_HELD ? source : target) + "a.txt");
        OpenLog();
        BoxAnswerer answerer([&](const std::string &, const std::string &) {
            if (c.answer == IDRETRY)
                CloseHandle(lock), lock = INVALID_HANDLE_VALUE;
            return c.answer;
        });
        Learnt pair(source, target);
        MirrorFolder(&pair, false);
        CloseHandle(lock);
        std::string shape = "Fehler beim Kopieren der Datei '" + source + "a.txt'\nnach '" + target +
                            "a.txt'\n\nFehler " + std::to_string(c.code) + ": ";
        ASSERT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(answerer.Seen()[0].title, "Fehler");
        EXPECT_EQ(answerer.Seen()[0].text.substr(0, shape.size()), shape);
        EXPECT_GT(answerer.Seen()[0].text.size(), shape.size() + 1) << "and the system's text";
        EXPECT_EQ(Log(), *c.log ? c.log + source + "a.txt\r\n" : "");
        EXPECT_EQ(ReadBytes(target + "a.txt"), c.answer == IDRETRY ? "new" : "old");
        EXPECT_EQ(ProcessedFiles, 1);
        EXPECT_EQ(IsCancelRequested(), c.answer == IDABORT);
        EXPECT_FALSE(Exists(target + Ansi(TEMPORARY_COPY_NAME)));
    }
    BoxAnswerer answerer;
    ReportError(0x2000FFFF, "Etwas", "X");
    EXPECT_EQ(answerer.Seen().at(0).text, "Etwas 'X'\n\nFehler 536936447: Keine Beschreibung verfügbar.")
        << "a code without a system text";
}

// A source that cannot be listed, or vanishes during its mirror, cancels the run: no prompt per file, no deletion.
TEST_F(EngineTest, UnlistableOrVanishingSourcesEndTheRun)
{
    std::string missing = temp / "fehlt\\", real = temp / "echt\\", outer = temp / "aussen\\",
                linked = outer + "link\\", listing = "Fehler beim Ermitteln der Quelldateien im Pfad '";
    MakeTree(source, {"leer\\", ".sub\\", "a.txt", ".b", "...x", ".sub\\d.txt", ".sub\\e.txt"});
    MakeTree(real, {"f0.txt", "f1.txt", "f2.txt", "f3.txt", "f4.txt", "f5.txt"});
    ASSERT_TRUE(
        RunShell("mkdir '" + UnixPath(outer) + "' && ln -s '" + UnixPath(real) + "' '" + UnixPath(outer) + "link'"));
    WriteBytes(target + "nur-im-ziel.txt", "must stay");
    HANDLE lock = Hold(real + "f3.txt");
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("Fehler beim Kopieren der Datei '" + linked) == 0) // the source vanishes at the prompt
            CloseHandle(lock), MoveFileA(outer.substr(0, outer.size() - 1).c_str(), (temp / "weg").c_str());
        return DefaultAnswer(title, text);
    });
    Learnt present(source, target), absent(missing, target);
    ClearCancel();
    MirrorFolder(&absent, false);
    EXPECT_TRUE(IsCancelRequested());
    EXPECT_EQ(CountSourceFiles(&present) + CountSourceFiles(&absent), 0);
    MirrorFolder(&present, false);
    EXPECT_EQ(ProcessedFiles, 0);
    EXPECT_FALSE(Exists(target + "a.txt"));
    EXPECT_EQ(answerer.Count(listing + missing + "'\n\nFehler "), 3) << "count, mirror and the count after the cancel";
    EXPECT_EQ(answerer.Seen().size(), 3u);
    ClearCancel();
    Learnt vanishing(linked, target);
    MirrorFolder(&vanishing, true);
    CleanTargetFolder(&vanishing);
    EXPECT_EQ(answerer.Count(listing + linked + "'"), 1);
    EXPECT_EQ(answerer.Count("Fehler beim Kopieren"), 1);
    EXPECT_TRUE(IsCancelRequested());
    EXPECT_EQ(ReadBytes(target + "nur-im-ziel.txt"), "must stay");
}

// The cleanup removes what the source lacks, read-only too; one it cannot delete cancels, and no removal follows.
TEST_F(EngineTest, CleanupDeletesWhatTheSourceLacksAndNothingAfterAFailure)
{
    MakeTree(source, {"bleibt.txt", "ordner\\"});
    MakeTree(target, {"alt\\", "leer\\", "bleibt.txt", "weg.txt", "alt\\x.txt", "ordner", "offen.txt"});
    Put(target + "alt\\y.txt", "alt\\y.txt", 0, FILE_ATTRIBUTE_READONLY);
    OpenLog();
    BoxAnswerer answerer;
    Learnt pair(source, target);
    HANDLE open = Hold(target + "offen.txt", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    CleanTargetFolder(&pair);
    EXPECT_TRUE(Exists(target + "offen.txt")) << "its name stays while another program holds it";
    CloseHandle(open);
    EXPECT_EQ(Snapshot(target),
              (std::map<std::string, std::string>{{"bleibt.txt", "bleibt.txt"}, {"ordner", "ordner"}}));
    EXPECT_EQ(ControlText(CleanedStatusLabel), "bereinigte Dateien: 5 / 6");
    std::string log = Log();
    for (const char *file : {"weg.txt", "alt\\x.txt", "alt\\y.txt"})
        EXPECT_EQ(Lines(log, "Datei gelöscht: " + target + file + "\r"), 1) << log;
    EXPECT_EQ(Lines(log, "WARNUNG - Eintrag ausgelassen: " + target + "offen.txt\r"), 1) << "not logged as deleted";
    EXPECT_EQ(Lines(log, ""), 4);
    std::string held = temp / "ziel2\\";
    MakeTree(held, {"a\\", "a\\b\\"});
    Put(held + "a\\b\\fest.txt", "fest", 0, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(CreateHardLinkA((temp / "zweitname.txt").c_str(), (held + "a\\b\\fest.txt").c_str(), NULL))
        << GetLastError();
    ResetCounters();
    Learnt heldPair(source, held);
    CleanTargetFolder(&heldPair);
    EXPECT_EQ(answerer.Count("Fehler beim Löschen der Datei '" + held + "a\\b\\fest.txt'\n\nFehler 5: "), 1);
    EXPECT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(CleanedEntries, 0);
    EXPECT_EQ(CheckedTargetFiles, 1);
    EXPECT_TRUE(IsCancelRequested());
    EXPECT_TRUE(Exists(held + "a\\b"));
    EXPECT_NE(GetFileAttributesA((temp / "zweitname.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u)
        << "the other name keeps it";
}

// Paths the classic functions take are used as they are; longer ones in the "\\?\" form of their full path.
TEST(LongPaths, TakeTheirFullPathsPrefixedForm)
{
    std::wstring deep(300, L'x'), half(120, L'y');
    // clang-format off
    const std::wstring cases[][2] = {
        {L"C:\\kurz\\datei.txt", L"C:\\kurz\\datei.txt"},
        {L"C:\\" + deep, L"\\\\?\\C:\\" + deep},
        {L"C:\\" + half + L"\\.\\" + half + L"\\weg\\..\\ende", L"\\\\?\\C:\\" + half + L"\\" + half + L"\\ende"},
        {L"C:/" + deep + L"/a", L"\\\\?\\C:\\" + deep + L"\\a"},
        {L"\\\\server\\share\\" + deep, L"\\\\?\\UNC\\server\\share\\" + deep},
        {L"\\\\?\\C:\\" + deep, L"\\\\?\\C:\\" + deep}};
    // clang-format on
    for (const auto &c : cases) {
        WCHAR *made;
        const WCHAR *form = PlatformPath(c[0].c_str(), &made);
        EXPECT_EQ(std::wstring(form != NULL ? form : L"<none>"), c[1]) << Ansi(c[0]);
        EXPECT_EQ(made == NULL, c[0] == c[1]);
        MemoryFree(made);
    }
}

// Times on FAT volumes are equal within 2 seconds (an hour apart is a change), elsewhere to the tick.
TEST(FileTimes, FatVolumesCompareWithinTwoSeconds)
{
    const LONGLONG SECOND = 10000000, HOUR = 3600 * SECOND;
    // clang-format off
    struct Case { LONGLONG apart; bool fat, exfat, ntfs; };
    const Case cases[] = {{0, true, true, true}, {1, true, true, false}, {2 * SECOND - 1, true, true, false},
                          {2 * SECOND, false, false, false}, {HOUR, false, false, false},
                          {HOUR + SECOND, false, false, false}};
    // clang-format on
    for (const Case &c : cases)
        for (int sign : {1, -1}) {
            ULONGLONG base = 130000000000000000ULL, other = base + sign * c.apart;
            FILETIME target = {(DWORD)base, (DWORD)(base >> 32)}, source = {(DWORD)other, (DWORD)(other >> 32)};
            for (const auto &f : {std::make_pair("FAT32", c.fat), {"FAT", c.fat}, {"exFAT", c.exfat}, {"NTFS", c.ntfs}})
                EXPECT_EQ(SameWriteTime(&target, &source, TimeRuleOfFileSystem(f.first)), f.second)
                    << f.first << " " << c.apart * sign;
        }
    TempFolder temp;
    EXPECT_EQ(TimeRuleOf((temp / "fehlt\\").c_str()), EXACT_TIMES);
}

// On exFAT through FUSE, which Wine calls NTFS, a copy keeps its source's time (rounded) and a second mirror copies
// nothing.
TEST_F(EngineTest, CopiesKeepTheirTimeOnAnUnnamedCoarseFileSystem)
{
    std::string image = UnixPath(temp / "exfat.img"), mounted = temp / "stick\\";
    MakeFolder(mounted);
    if (!RunShell("[ -e /dev/fuse ] && dd if=/dev/zero of='" + image + "' bs=1M count=8 && mkfs.exfat '" + image +
                  "' && mount.exfat-fuse $(losetup -f --show '" + image + "') '" + UnixPath(mounted) + "'"))
        GTEST_SKIP() << "needs /dev/fuse, a loop device, exfat-fuse and exfatprogs, and root";
    MakeTree(source, {"a.txt", "b\\", "b\\c.txt"});
    SetWriteTime(source + "a.txt", OLD_TIME + 1234567);
    EXPECT_EQ(TimeRuleOf(mounted.c_str()), COARSE_TIMES);
    EXPECT_EQ(TimeRuleOf(source.c_str()), EXACT_TIMES);
    Learnt pair(source, mounted);
    for (int run = 0; run < 2; run++) {
        ResetCounters();
        MirrorFolder(&pair, false);
        EXPECT_EQ(CopiedFiles, run == 0 ? 2 : 0) << "run " << run;
    }
    EXPECT_LT(GetWriteTime(source + "a.txt") - GetWriteTime(mounted + "a.txt"), 20000000u)
        << "the source's time, rounded";
    RunShell("umount '" + UnixPath(mounted) + "'; losetup -d $(losetup -j '" + image + "' | cut -d: -f1)");
}

} // namespace
