// Fault suite: vanished sources, failing queries, a full disk, locked and
// read-only files, killed saves, awkward names and hostile selection files.
#include "support.h"
#include "faults/saverlists.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "engine/passes.h"
#include "engine/runstate.h"
#include "engine/syncrun.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "pairs/selectionfile.h"
#include <gtest/gtest.h>
#include <random>

namespace {

struct FaultTest : PassFixture {
    void AddEntry(const std::string &from, const std::string &to)
    {
        std::string entry = "'" + from + "' -> '" + to + "'";
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
    }
    bool Run() { return RunOnThreadPumping(SyncWorker, 120000); }
};

// 1. The source disappears between two files: the run ends as cancelled with
// the listing notice, nothing in the target is deleted, the copies stay. The
// source is reached through a link that is renamed away at a copy prompt.
TEST_F(FaultTest, SourceRenamedAwayDuringTheMirror)
{
    const std::string base = "Z:\\tmp\\mirrorix-vanish\\";
    if (!Exists(base + "link\\f0.txt"))
        GTEST_SKIP() << "no linked source prepared at " << base;
    std::string linked = base + "link\\";
    WriteBytes(target + "nur-im-ziel.txt", "must stay");
    MakeFolder(target + "nur-im-ziel");
    AddEntry(linked, target);
    HANDLE lock = CreateFileA((linked + "f5.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    BoxAnswerer answerer([&](const std::string &title, const std::string &text) {
        if (text.find("Fehler beim Kopieren der Datei '" + linked + "f5.txt'") == 0) {
            CloseHandle(lock);
            EXPECT_TRUE(MoveFileA("Z:\\tmp\\mirrorix-vanish", "Z:\\tmp\\mirrorix-vanish-weg")) << GetLastError();
            return IDIGNORE;
        }
        return DefaultAnswer(title, text);
    });
    ASSERT_TRUE(Run());
    EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + linked + "'"), 1);
    EXPECT_EQ(answerer.Count("Synchronisierung abgebrochen."), 1);
    EXPECT_EQ(answerer.Count("Fehler beim Kopieren"), 1) << "no prompt per vanished file";
    EXPECT_EQ(ReadBytes(target + "nur-im-ziel.txt"), "must stay");
    EXPECT_TRUE(Exists(target + "nur-im-ziel"));
    for (int i = 0; i < 10; i++) {
        std::string name = "f" + std::to_string(i) + ".txt";
        if (Exists(target + name)) {
            EXPECT_EQ(ReadBytes(target + name), "file " + std::to_string(i) + "\n");
        }
    }
}

// 1. The source disappears right before the cleanup pass.
TEST_F(FaultTest, SourceRenamedAwayBeforeTheCleanup)
{
    WriteBytes(source + "a.txt", "a");
    MakeFolder(source + "sub");
    WriteBytes(source + "sub\\b.txt", "b");
    WriteBytes(target + "extra.txt", "x");
    BoxAnswerer answerer;
    MirrorFolder(source.c_str(), target.c_str(), false);
    ASSERT_TRUE(MoveFileA((temp / "quelle").c_str(), (temp / "weg").c_str())) << GetLastError();
    CleanTargetFolder(source.c_str(), target.c_str());
    EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + source + "'"), 1);
    EXPECT_TRUE(IsCancelRequested());
    for (const char *path : {"a.txt", "sub\\b.txt", "extra.txt"})
        EXPECT_TRUE(Exists(target + path)) << path;
}

// 3. A full target disk: the prompt shows the system's error, Ignore and
// Abort behave as specified, no partial file stays, the saved list survives.
TEST_F(FaultTest, FullTargetDisk)
{
    const std::string full = "Z:\\tmp\\mirrorix-full\\";
    if (!Exists(full + ".mounted"))
        GTEST_SKIP() << "no small tmpfs could be mounted at /tmp/mirrorix-full (needs root)";
    std::string fullTarget = full + "ziel\\";
    RemoveTree(fullTarget);
    MakeFolder(fullTarget);
    WriteBytes(source + "gross.bin", std::string(3 * 1024 * 1024, 'g'));
    WriteBytes(source + "klein.txt", "small");
    // The saved list lives on the same disk.
    strcpy(AutoSavePath, (full + "Ini.dat").c_str());
    AddEntry(source, fullTarget);
    ASSERT_TRUE(SavePairList(NULL));
    std::string saved = ReadBytes(full + "Ini.dat");

    for (int answer : {IDIGNORE, IDABORT}) {
        ClearCancel();
        ResetCounters();
        OFSTRUCT record;
        LogFile = OpenFile("log.txt", &record, OF_CREATE | OF_WRITE);
        BoxAnswerer answerer([answer](const std::string &, const std::string &text) {
            return text.find("Fehler beim Kopieren") == 0 ? answer : IDOK;
        });
        MirrorFolder(source.c_str(), fullTarget.c_str(), false);
        CloseHandle((HANDLE)(INT_PTR)LogFile);
        LogFile = HFILE_ERROR;
        ASSERT_EQ(answerer.Count("Fehler beim Kopieren der Datei '" + source + "gross.bin'"), 1);
        EXPECT_EQ(answerer.Count("\n\nFehler 112: "), 1) << answerer.Seen()[0].text;
        EXPECT_FALSE(Exists(fullTarget + "gross.bin")) << "partial file left on the full disk";
        std::string log = ReadBytes(temp / "log.txt");
        if (answer == IDIGNORE) {
            EXPECT_NE(log.find("WARNUNG - Datei übersprungen: " + source + "gross.bin\r\n"), std::string::npos) << log;
            EXPECT_FALSE(IsCancelRequested());
        } else {
            EXPECT_TRUE(IsCancelRequested());
            EXPECT_EQ(log.find("WARNUNG"), std::string::npos) << log;
        }
        DeleteFileA((fullTarget + "klein.txt").c_str());
    }
    // Fill the disk to the last byte: a save then fails part-way and keeps the old file.
    HANDLE filler = CreateFileA((full + "filler").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    std::string block(4096, 'f');
    DWORD written = 1;
    while (WriteFile(filler, block.data(), (DWORD)block.size(), &written, NULL) && written > 0) {
    }
    while (WriteFile(filler, "f", 1, &written, NULL) && written > 0) {
    }
    CloseHandle(filler);
    for (int i = 0; i < 15; i++)
        AddEntry("C:\\" + std::string(200, 'a' + i) + "\\", "D:\\" + std::string(200, 'a' + i) + "\\");
    BoxAnswerer answerer;
    EXPECT_FALSE(SavePairList(NULL));
    EXPECT_EQ(answerer.Count("Die Sync-Auswahl konnte nicht gespeichert werden in"), 1);
    EXPECT_EQ(ReadBytes(full + "Ini.dat"), saved);
    RemoveTree(fullTarget);
    DeleteFileA((full + "filler").c_str());
    DeleteFileA((full + "Ini.dat").c_str());
    DeleteFileA((full + "Ini.dat.neu").c_str());
}

// 4. Locked and read-only files in source and target, during copy and cleanup.
TEST_F(FaultTest, LockedAndReadOnlyFiles)
{
    struct Case { const char *name; bool inSource, inTarget, lockSource, lockTarget, readOnlyTarget; const char *notice; };
    const Case cases[] = {
        {"quelle-gesperrt.txt", true, false, true, false, false, "Fehler beim Kopieren der Datei"},
        {"ziel-gesperrt.txt", true, true, false, true, false, "Fehler beim Kopieren der Datei"},
        {"ziel-schreibgeschuetzt.txt", true, true, false, false, true, "Fehler beim Kopieren der Datei"},
        {"weg-gesperrt.txt", false, true, false, true, false, "Fehler beim Löschen der Datei"},
        {"weg-schreibgeschuetzt.txt", false, true, false, false, true, "Fehler beim Löschen der Datei"},
    };
    const int errors[] = {32, 5, 5, 32, 5};
    int index = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ClearCancel();
        RemoveTree(source);
        RemoveTree(target);
        MakeFolder(source);
        MakeFolder(target);
        WriteBytes(source + "nachbar.txt", "neighbour");
        WriteBytes(target + "nachbar.txt", "old neighbour");
        SetWriteTime(target + "nachbar.txt", 120000000000000000ULL);
        if (c.inSource)
            WriteBytes(source + c.name, "new");
        if (c.inTarget) {
            WriteBytes(target + c.name, "old");
            SetWriteTime(target + c.name, 120000000000000000ULL);
        }
        if (c.readOnlyTarget)
            SetFileAttributesA((target + c.name).c_str(), FILE_ATTRIBUTE_READONLY);
        HANDLE lock = INVALID_HANDLE_VALUE;
        if (c.lockSource || c.lockTarget)
            lock = CreateFileA(((c.lockSource ? source : target) + c.name).c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        BoxAnswerer answerer;
        MirrorFolder(source.c_str(), target.c_str(), false);
        if (!IsCancelRequested())
            CleanTargetFolder(source.c_str(), target.c_str());
        if (lock != INVALID_HANDLE_VALUE)
            CloseHandle(lock);
        EXPECT_EQ(answerer.Count(c.notice), 1);
        EXPECT_EQ(answerer.Count("\n\nFehler " + std::to_string(errors[index]) + ": "), 1);
        EXPECT_EQ(answerer.Seen().size(), 1u);
        EXPECT_EQ(ReadBytes(source + "nachbar.txt"), "neighbour");
        EXPECT_EQ(Exists(target + c.name), c.inTarget) << "a failing target file stays, no partial one appears";
        if (c.inTarget) {
            EXPECT_EQ(ReadBytes(target + c.name), "old");
        }
        if (c.inSource) {
            EXPECT_EQ(ReadBytes(source + c.name), "new");
        }
        SetFileAttributesA((target + c.name).c_str(), FILE_ATTRIBUTE_NORMAL);
        index++;
    }
}

// 5. A save killed at any moment leaves the old or the new file, never a mix.
TEST_F(FaultTest, KilledSavesLeaveOldOrNewContent)
{
    std::string file = temp / "Ini.dat";
    std::string lists[2] = {SaverFile(0), SaverFile(1)};
    ASSERT_TRUE(WriteBytes(file, lists[1]));
    std::mt19937 random(42);
    int sawBoth[2] = {0, 0};
    for (int round = 0; round < 40; round++) {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process;
        std::string command = "\"" SAVER_EXE "\" save \"" + file + "\"";
        ASSERT_TRUE(CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
            << GetLastError();
        Sleep(60 + random() % 120);
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
        EXPECT_EQ(code, 9u) << "the saver stopped on its own: a save failed";
        std::string bytes = ReadBytes(file);
        bool old = bytes == lists[1], fresh = bytes == lists[0];
        ASSERT_TRUE(old || fresh) << "round " << round << ": " << bytes.size() << " bytes, neither list";
        sawBoth[fresh ? 0 : 1]++;
    }
    EXPECT_GT(sawBoth[0] + sawBoth[1], 0);
}

// 6. Awkward names and paths around the length limit, made on the Linux side.
TEST_F(FaultTest, AwkwardNamesAreMirroredOrReportedAndNeverDeletedByMistake)
{
    const std::string base = "Z:\\tmp\\mirrorix-names\\";
    if (!Exists(base + "source\\normal.txt"))
        GTEST_SKIP() << "names not prepared at " << base;
    std::string from = base + "source\\", to = base + "target\\";
    BoxAnswerer answerer([](const std::string &, const std::string &text) {
        return text.find("Fehler beim Kopieren") == 0 ? IDIGNORE : IDOK;
    });
    OpenLog();
    MirrorFolder(from.c_str(), to.c_str(), false);
    std::string log = Log();
    EXPECT_FALSE(IsCancelRequested());
    EXPECT_TRUE(answerer.Seen().empty()) << "entries left alone are logged, not shown one by one";
    for (const char *name : {"normal.txt", "Ordner mit Leerzeichen\\Datei mit Leerzeichen.txt", "ä ß é €\\Größe €.txt",
                             "..punkte..txt"})
        EXPECT_EQ(ReadBytes(to + name), ReadBytes(from + name)) << name;
    // Every name that could not be mirrored was reported.
    for (const char *name : {"endet mit punkt.", "endet mit blank "})
        EXPECT_NE(log.find("WARNUNG - Eintrag ausgelassen: " + from + name + "\r\n"), std::string::npos) << name;
    EXPECT_NE(log.find("??"), std::string::npos) << "the name the code page lacks is reported";
    for (int total = 258; total <= 261; total++) {
        std::string name = std::string(total - 29 - 4, 'L') + ".txt";
        bool copied = ReadBytes(to + name) == "long " + std::to_string(total);
        bool reported = log.find("ausgelassen: " + from + name + "\r\n") != std::string::npos;
        EXPECT_TRUE(copied != reported) << "path of " << total << " characters";
    }
    // Cleanup keeps what it cannot ask the source about, and goes on.
    CleanTargetFolder(from.c_str(), to.c_str());
    EXPECT_FALSE(IsCancelRequested());
    EXPECT_TRUE(Exists(to + "normal.txt"));
    // These names can only be seen in the listing (the file functions strip
    // trailing dots); the check script reads "ordner./inhalt.txt" afterwards.
    WIN32_FIND_DATAA entry;
    int kept = 0;
    HANDLE listing = FindFirstFileA((to + "*.*").c_str(), &entry);
    do
        kept += strcmp(entry.cFileName, "endet mit punkt.") == 0 || strcmp(entry.cFileName, "ordner.") == 0 ||
                strstr(entry.cFileName, "alt.txt") != NULL;
    while (FindNextFileA(listing, &entry));
    FindClose(listing);
    EXPECT_EQ(kept, 3);
}

// A buffer whose last byte sits right before an inaccessible page, so that
// reading one byte too far faults.
struct GuardedBuffer {
    BYTE *pages;
    SYSTEM_INFO info;
    GuardedBuffer()
    {
        GetSystemInfo(&info);
        pages = (BYTE *)VirtualAlloc(NULL, 4 * info.dwPageSize, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD old;
        VirtualProtect(pages + 3 * info.dwPageSize, info.dwPageSize, PAGE_NOACCESS, &old);
    }
    ~GuardedBuffer() { VirtualFree(pages, 0, MEM_RELEASE); }
    const char *Place(const std::string &bytes)
    {
        BYTE *start = pages + 3 * info.dwPageSize - bytes.size();
        memcpy(start, bytes.data(), bytes.size());
        return (const char *)start;
    }
};

struct Collected {
    std::vector<std::string> entries;
};

void Collect(const char *entry, void *context)
{
    ((Collected *)context)->entries.push_back(entry);
}

// 7. Generated selection files: no overrun, no long entry, every valid entry in order.
TEST(HostileSelectionFiles, FuzzedTextsLoadOnlyValidEntriesInOrder)
{
    std::mt19937 random(20261207);
    GuardedBuffer guard;
    const std::string valid[] = {"'D:\\Daten\\' -> 'E:\\Kopie\\'", "'C:\\ä ß\\' -> '\\\\server\\share\\'",
                                 "'D:\\" + std::string(400, 'x') + "\\' -> 'E:\\y\\'"};
    for (int round = 0; round < 10000; round++) {
        std::string bytes;
        std::vector<std::string> expected;
        int kind = round % 5;
        if (kind == 0) {
            bytes.resize(random() % 10002);
            for (char &c : bytes)
                c = (char)(random() % 256);
        } else {
            bool noNul = kind == 4;
            while (bytes.size() < 9000) {
                bytes += std::string(1 + random() % 3, '@');
                int pick = random() % 6;
                if (pick < 3) {
                    bytes += valid[pick];
                    expected.push_back(valid[pick]);
                } else if (pick == 3) {
                    bytes += std::string(1000 + random() % 5000, 'a' + random() % 26);
                } else if (pick == 4) {
                    bytes += "'D:\\a\\' -> 'E:\\b\\'x";
                } else {
                    bytes += "'" + std::string(random() % 30, '\'') + "'";
                }
                if (random() % 50 == 0)
                    break;
            }
            if (kind == 3)
                bytes = std::string(SELECTION_READ_MAX - 1 - (random() % 2), '@').substr(0, 0) + bytes;
            if (!noNul)
                bytes += '\0';
        }
        if (bytes.size() > (size_t)SELECTION_READ_MAX)
            bytes.resize(SELECTION_READ_MAX);
        size_t nul = bytes.find('\0');
        std::string visible = nul == std::string::npos ? bytes : bytes.substr(0, nul);
        Collected got;
        const char *placed = guard.Place(bytes);
        ParseSelectionText(placed, (int)bytes.size(), Collect, &got);
        for (const std::string &entry : got.entries) {
            ASSERT_LT(entry.size(), (size_t)PAIR_TEXT_MAX) << "round " << round;
            ASSERT_TRUE(IsWellFormedPairEntry(entry.c_str())) << "round " << round;
        }
        if (kind != 0 && visible.size() == bytes.size() - (kind == 4 ? 0 : 1)) {
            ASSERT_EQ(got.entries, expected) << "round " << round;
        }
    }
}

TEST_F(FaultTest, SelectionFilesAtTheSizeLimit)
{
    std::string entry = "'D:\\Daten\\' -> 'E:\\Kopie\\'";
    std::string exact;
    while (exact.size() + 2 + entry.size() + 1 <= (size_t)SELECTION_READ_MAX)
        exact += "@@" + entry;
    exact += std::string(SELECTION_READ_MAX - 1 - exact.size(), '@') + std::string(1, '\0');
    ASSERT_EQ(exact.size(), (size_t)SELECTION_READ_MAX);
    struct Case { std::string bytes; bool loads; };
    const Case cases[] = {{exact, true}, {exact + "x", false}, {std::string(SELECTION_READ_MAX, '@'), true}};
    for (const Case &c : cases) {
        WriteBytes(temp / "grenze.MirrorixPath", c.bytes);
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM) "'X:\\alt\\' -> 'Y:\\alt\\'");
        BoxAnswerer answerer;
        EXPECT_EQ(LoadPairList((temp / "grenze.MirrorixPath").c_str()), c.loads) << c.bytes.size();
        int count = (int)SendMessageA(PairList, LB_GETCOUNT, 0, 0);
        if (c.loads && c.bytes[0] == '@' && c.bytes[2] == '\'') {
            EXPECT_EQ(count, (int)((exact.find_last_of('\'') + 1) / (entry.size() + 2)));
        }
        if (!c.loads) {
            EXPECT_EQ(count, 1) << "a refused file changes nothing";
        }
    }
}

} // namespace
