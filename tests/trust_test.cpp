// What a run may touch: only the target chosen and learnt, never through a link, never the program's own files.
#include "support.h"
#include "engine/copyfile.h"
#include "engine/passes.h"
#include "pairs/autosave.h"

namespace {

using TrustTest = ProgramFixture;
const std::string LEFT_ALONE = "WARNUNG - Eintrag ausgelassen: ";

// Spellings of folder (under root) that its text does not show; drive M: leads to root, "verweis" to folder.
std::vector<std::string> Spellings(const std::string &root, const std::string &folder)
{
    char shortName[MAX_PATH] = "";
    GetShortPathNameA(folder.c_str(), shortName, sizeof shortName);
    std::string slashes = folder, upper = folder, below = folder.substr(root.size());
    std::replace(slashes.begin(), slashes.end() - 1, '\\', '/');
    CharUpperBuffA(&upper[0], (DWORD)upper.size());
    return {folder + "x\\..\\",
            slashes,
            "\\\\?\\" + folder,
            folder.substr(0, folder.size() - 1) + ".\\",
            root + "\\" + below,
            shortName,
            "M:\\" + below,
            root + "verweis\\",
            upper};
}

// Nested or one in any spelling or alias: the pair is skipped (its note names the case), another pair's cleanup barred.
TEST_F(TrustTest, FoldersAreComparedByWhatTheFileSystemSays)
{
    std::string a = temp / "Gemeinsamer Ordner\\";
    MakeTree(temp.path, {"Gemeinsamer Ordner\\", "Gemeinsamer Ordner\\src\\", "Gemeinsamer Ordner\\bak\\",
                         "Gemeinsamer Ordner\\x\\", "s1\\", "s2\\"});
    Identity disk = {};
    std::string bound = temp / "Bindung\\"; // an alias its final path does not show: needs root and a volume serial
    if (IdentifyAnsi(a.c_str(), &disk) && disk.volumeSerial != 0 &&
        RunShell("mkdir '" + UnixPath(bound) + "' && mount --bind '" + UnixPath(a) + "' '" + UnixPath(bound) + "'")) {
        for (const auto &nested : {std::make_pair(a + "src\\", bound), {a, bound + "bak\\"}, {a, bound}}) {
            SetPairs({nested});
            LearnPairs();
            EXPECT_EQ(RunnablePair(0), (PairFolders *)NULL) << nested.second;
        }
        RunShell("umount '" + UnixPath(bound) + "'");
    }
    ASSERT_TRUE(RunShell("ln -sfn '" + UnixPath(temp.path) + "' \"$WINEPREFIX/dosdevices/m:\" && ln -s '" +
                         UnixPath(a) + "' '" + UnixPath(temp.path) + "verweis'"));
    Sleep(1100); // Wine looks at its drive letters again after a second
    std::vector<std::string> spellings = Spellings(temp.path, a);
    {
        BoxAnswerer answerer;
        for (const std::string &other : spellings) {
            SCOPED_TRACE(other);
            for (const auto &nested :
                 {std::make_pair(a + "src\\", other), std::make_pair(a, other + "bak\\"), std::make_pair(a, other)}) {
                SetPairs({nested, {temp / "s1\\", temp / "s2\\"}});
                LearnPairs();
                EXPECT_EQ(RunnablePair(0), (PairFolders *)NULL) << nested.first;
                EXPECT_NE(RunnablePair(1), (PairFolders *)NULL);
                EXPECT_EQ(SkippedPairStates(), 1u << (nested.first == a + "src\\" ? PAIR_SOURCE_IN_TARGET
                                                      : nested.second == other    ? PAIR_ONE_FOLDER
                                                                                  : PAIR_TARGET_IN_SOURCE));
            }
            SetPairs({{temp / "s1\\", a}, {temp / "s2\\", other}});
            LearnPairs();
            EXPECT_FALSE(CleanupAllowed());
        }
        EXPECT_EQ(answerer.Count(OVERLAP_WARNING), (int)spellings.size());
        // clang-format off
    // and by text, case aside, also with the box cleared
    struct Case { std::vector<std::string> entries; bool allowed; };
    const Case cases[] = {{{}, true}, {{"'D:\\Daten\\' -> 'E:\\Kopie\\'", "'D:\\Bilder\\' -> 'E:\\Bilder\\'"}, true},
                          {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'e:\\backup\\photos\\'"}, false},
                          {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup2\\'"}, true},
                          {{"'D:\\Daten\\' -> 'D:\\Daten\\Kopie\\'", "'E:\\A\\' -> 'F:\\B\\'"}, true},
                          {{"'D:\\A\\' -> 'E:\\Z\\'", "'E:\\Z\\Quelle\\' -> 'F:\\Y\\'"}, false},
                          {{"'D:\\A\\' -> 'E:\\Z\\'", "kaputt", "'D:\\B\\' -> 'F:\\Y\\'"}, true}};
        // clang-format on
        for (const Case &c : cases)
            for (int box : {BST_CHECKED, BST_UNCHECKED}) {
                SCOPED_TRACE((c.entries.empty() ? "no pair" : c.entries.back()) +
                             (box == BST_CHECKED ? ", ticked" : ", cleared"));
                SetList(c.entries);
                LearnPairs();
                SendMessageA(CleanupCheckbox, BM_SETCHECK, box, 0);
                int warned = answerer.Count(OVERLAP_WARNING);
                EXPECT_EQ(CleanupAllowed(), c.allowed && box == BST_CHECKED);
                EXPECT_EQ(answerer.Count(OVERLAP_WARNING) - warned, !c.allowed && box == BST_CHECKED);
            }
        ForgetPairs();
    }
    SetList({"kaputt", "'" + a + "' -> '" + Spellings(temp.path, a).back() + "'", "'" + a + "' -> '" + a + "src\\'"});
    const std::string note = "Diese Einträge der Liste werden bei der Synchronisierung übersprungen:\n"
                             "- Einträge, die kein gültiges Ordnerpaar sind\n"
                             "- Ordnerpaare, deren Zielordner im Quellordner liegt\n"
                             "- Ordnerpaare, deren Quell- und Zielordner ein und derselbe Ordner sind";
    EXPECT_EQ(CountBoxes(Run(), note), 1);
}

// Links in the target are never written or deleted through, nor source links followed in circles; each is logged.
TEST_F(TrustTest, LinksAreNeitherWrittenThroughNorFollowedInCircles)
{
    std::string outside = temp / "draussen\\", s = UnixPath(source), t = UnixPath(target), o = UnixPath(outside);
    MakeTree(outside, {"ordner\\", "ordner\\wert.txt", "datei.txt", "alt.txt"});
    MakeTree(source, {"ordner\\"});
    for (const char *file : {"ordner\\wert.txt", "datei.txt"})
        WriteBytes(source + file, "new, not to be written through a link");
    ASSERT_TRUE(RunShell("ln -s '" + o + "ordner' '" + t + "ordner' && ln -s '" + o + "datei.txt' '" + t +
                         "datei.txt' && ln -s '" + o + "alt.txt' '" + t + "alt.txt' && ln -s '" + o + "' '" + t +
                         "altordner' && ln -s '" + s + "' '" + s + "zurueck' && ln -s '" + t + "' '" + s + "zumziel'"));
    std::map<std::string, std::string> before = Snapshot(outside);
    AddPair(source, target);
    for (int run = 0; run < 2; run++) {
        std::vector<SeenBox> boxes = Run();
        EXPECT_EQ(Snapshot(outside), before) << "run " << run;
        EXPECT_EQ(CountBoxes(boxes, "Bei der Synchronisierung ausgelassene Einträge: 5\n"), 1) << run;
        for (const std::string &path : {target + "ordner\\", source + "zurueck\\", source + "zumziel\\",
                                        target + "alt.txt", target + "altordner\\"})
            EXPECT_EQ(Lines(RunLog(), LEFT_ALONE + path + "\r"), 1) << path;
    }
    EXPECT_FALSE(Exists(target + "zurueck") || Exists(target + "zumziel")) << "a loop, a link to the target";
}

// A source folder changed before the cleanup keeps its target folder, told; no removal through a link or after cancel.
TEST_F(TrustTest, TheCleanupActsOnlyOnTheFoldersLearnt)
{
    // clang-format off
    struct Move { const char *name, *folder; bool mount; std::string script; }; // $S: the folder that moves
    const Move moves[] = {{"unmounted", "", true, "umount \"$S\""},
        {"made anew", "", false, "mv \"$S\" \"$S-alt\" && mkdir \"$S\""},
        {"made anew, with a file", "", false, "mv \"$S\" \"$S-alt\" && mkdir \"$S\" && echo neu > \"$S/neu.txt\""},
        {"another card", "", true,
         "umount \"$S\" && mount -t tmpfs -o size=1m tmpfs \"$S\" && echo neu > \"$S/neu.txt\""},
        {"sub-folder unmounted", "sub\\", true, "umount \"$S\""},
        {"sub-folder made anew", "sub\\", false, "mv \"$S\" \"$S-alt\" && mkdir \"$S\""},
        {"emptied", "", false, "mkdir \"$W\" && mv \"$S\"/* \"$W\""},
        {"sub-folder emptied", "sub\\", false, "mkdir \"$W\" && mv \"$S\"/* \"$W\""}};
    // clang-format on
    std::string skipped;
    for (const Move &move : moves) {
        SCOPED_TRACE(move.name);
        std::string from = temp / (std::string(move.name) + "\\"), to = temp / (std::string(move.name) + "-ziel\\"),
                    moving = UnixPath(from + move.folder);
        MakeTree(from, {"sub\\"});
        if (move.mount && !RunShell("mount -t tmpfs -o size=1m tmpfs '" + moving + "'")) {
            skipped = "no tmpfs could be mounted (needs root)";
            continue;
        }
        MakeTree(from, {"a.txt", "sub\\", "sub\\b.txt"});
        MakeTree(to, {"nur-im-ziel.txt", "alt\\", "alt\\x.txt", "sub\\", "sub\\nur-hier.txt"});
        Learnt pair(from, to);
        OpenLog();
        MirrorFolder(&pair, true);
        std::map<std::string, std::string> mirrored = Snapshot(to);
        ASSERT_TRUE(RunShell("S='" + moving.substr(0, moving.size() - 1) + "' W='" +
                             UnixPath(to.substr(0, to.size() - 1)) + "-weg' && " +
                             move.script)); // $W: a new folder outside the source
        BoxAnswerer answerer;
        CleanTargetFolder(&pair);
        for (const char *elsewhere : {"nur-im-ziel.txt", "alt", "alt\\x.txt"}) // cleaned where the source is unchanged
            if (*move.folder)
                mirrored.erase(elsewhere);
        EXPECT_EQ(Snapshot(to), mirrored);
        std::string changed = from + move.folder;
        EXPECT_EQ(answerer.Count("Der Quellordner '" + changed + "' ist nicht mehr der Ordner vom Start"), 1);
        EXPECT_EQ(Lines(Log(), "WARNUNG - Quellordner verändert, Ziel nicht bereinigt: " + changed + "\r"), 1);
        EXPECT_FALSE(IsCancelRequested());
        RunShell("umount '" + moving + "' 2>/dev/null; umount '" + moving + "' 2>/dev/null; true"); // both cards
    }
    std::string outside = temp / "draussen\\"; // a target folder swapped for a link while the cleanup works inside it
    MakeTree(outside, {"g.txt", "h\\"});
    MakeTree(target, {"sub\\", "sub\\f.txt", "leer\\"});
    Learnt pair(source, target);
    ASSERT_TRUE(RunShell("mv '" + UnixPath(target) + "sub' '" + UnixPath(target) + "sub-alt' && ln -s '" +
                         UnixPath(outside) + "' '" + UnixPath(target) + "sub'"));
    OpenLog();
    EXPECT_FALSE(CleanAwayTargetFolder(&pair, Wide(target + "sub\\").c_str(),
                                       (std::wstring(pair.targetIdentity.finalPath) + L"\\sub").c_str()));
    EXPECT_EQ(Snapshot(outside), (std::map<std::string, std::string>{{"g.txt", "g.txt"}, {"h", "<folder>"}}));
    std::string log = Log();
    for (const std::string &kept : {target + "sub\\g.txt", target + "sub\\h\\", target + "sub\\"})
        EXPECT_EQ(Lines(log, LEFT_ALONE + kept + "\r"), 1) << log;
    RequestCancel();
    EXPECT_FALSE(CleanAwayTargetFolder(&pair, Wide(target + "leer\\").c_str(),
                                       (std::wstring(pair.targetIdentity.finalPath) + L"\\leer").c_str()));
    EXPECT_TRUE(Exists(target + "leer")) << "after a cancel nothing is removed";
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

// A target swapped during an earlier pair is skipped; one swapped into the next pair's source stops every cleanup.
TEST_F(TrustTest, ATargetSwappedDuringTheRunIsNeitherWrittenNorCleaned)
{
    for (bool ownTarget : {false, true}) {
        SCOPED_TRACE(ownTarget ? "its own target" : "the next pair's target");
        std::string root = temp / (ownTarget ? "eigenes\\" : "naechstes\\"), q0 = root + "q0\\", z0 = root + "z0\\",
                    q1 = root + "q1\\", z1 = root + "z1\\", swapped = ownTarget ? z0 : z1,
                    to = ownTarget ? q1 : root + "fremd\\";
        MakeTree(root, {"q0\\", "z0\\", "q1\\", "z1\\", "fremd\\", "q0\\a.txt", "z0\\a.txt", "q1\\b.txt", "q1\\neu.txt",
                        "z1\\alt.txt", "fremd\\b.txt", "fremd\\fremd.txt"});
        for (const std::string &old : {z0 + "a.txt", root + "fremd\\b.txt"})
            SetWriteTime(old, OLD_TIME);
        HANDLE lock = Hold(z0 + "a.txt");
        SetPairs({{q0, z0}, {q1, z1}});
        std::map<std::string, std::string> before = Snapshot(to);
        std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
            if (text.find("Fehler beim Kopieren") == 0) { // the swap happens while the first pair runs
                CloseHandle(lock);
                std::string link = UnixPath(swapped.substr(0, swapped.size() - 1));
                EXPECT_TRUE(RunShell("mv '" + link + "' '" + UnixPath(root) + "weg' && ln -s '" + UnixPath(to) + "' '" +
                                     link + "'"));
            }
            return DefaultAnswer(title, text);
        });
        EXPECT_EQ(Snapshot(to), before);
        if (ownTarget) {
            EXPECT_EQ(CountBoxes(boxes, OVERLAP_WARNING), 1);
            EXPECT_TRUE(Exists(z1 + "alt.txt")) << "no later pair is cleaned";
        } else {
            EXPECT_EQ(CountBoxes(boxes, "Der Zielordner '" + z1 + "' ist nicht mehr der Ordner vom Start"), 1);
            EXPECT_EQ(Lines(RunLog(), "WARNUNG - Zielordner verändert, Ordnerpaar übersprungen: " + z1 + "\r"), 1);
        }
    }
}

// A target sub-folder swapped for a link during the mirror: nothing lands outside; the pair stops, told, uncleaned.
TEST_F(TrustTest, ATargetSubFolderSwappedDuringTheMirrorIsNotWrittenThrough)
{
    std::string outside = temp / "draussen\\", sub = UnixPath(target) + "sub";
    MakeTree(outside, {"a.txt", "b.txt", "c.txt"});
    MakeTree(source, {"sub\\", "sub\\a.txt", "sub\\b.txt", "sub\\c.txt"});
    AddPair(source, target);
    for (const std::string &swap : {"ln -s '" + UnixPath(outside) + "' '" + sub + "'", "mkdir '" + sub + "'"}) {
        SCOPED_TRACE(swap); // a link to outside, or a folder made anew
        RunShell("rm -rf '" + sub + "' '" + sub + "-alt'");
        MakeTree(target, {"sub\\", "sub\\a.txt", "sub\\b.txt", "sub\\c.txt", "nur-im-ziel.txt"});
        std::vector<HANDLE> held; // the first copy in the folder fails, whichever it is, and the swap happens then
        for (const char *file : {"a.txt", "b.txt", "c.txt"})
            SetWriteTime(target + "sub\\" + file, OLD_TIME), held.push_back(Hold(target + "sub\\" + file));
        std::map<std::string, std::string> before = Snapshot(outside);
        std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
            if (text.find("Fehler beim Kopieren") == 0 && !held.empty()) {
                for (HANDLE file : held)
                    CloseHandle(file);
                held.clear();
                EXPECT_TRUE(RunShell("mv '" + sub + "' '" + sub + "-alt' && " + swap));
            }
            return DefaultAnswer(title, text);
        });
        EXPECT_EQ(Snapshot(outside), before);
        EXPECT_EQ(CountBoxes(boxes, "Der Zielordner '" + target + "sub\\' ist nicht mehr der Ordner vom Start"), 1);
        EXPECT_TRUE(Exists(target + "nur-im-ziel.txt")) << "nor is the pair cleaned";
    }
}

// A new file is created in the target folder the mirror holds open, even when its path leads elsewhere by then: a
// swap between the folder's check and a retried copy writes nothing outside.
TEST_F(TrustTest, NewFilesLandInTheHeldTargetFolderWhateverItsPathBecomes)
{
    std::string outside = temp / "draussen\\", sub = UnixPath(target) + "sub";
    MakeTree(outside, {"x.txt"});
    MakeTree(source, {"sub\\", "sub\\a.txt"});
    MakeTree(target, {"sub\\"});
    AddPair(source, target);
    HANDLE held = Hold(source + "sub\\a.txt"); // the copy fails once, and the folder is swapped at its prompt
    std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
        if (text.find("Fehler beim Kopieren") != 0 || held == INVALID_HANDLE_VALUE)
            return DefaultAnswer(title, text);
        CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        EXPECT_TRUE(RunShell("mv '" + sub + "' '" + sub + "-alt' && ln -s '" + UnixPath(outside) + "' '" + sub + "'"));
        return IDRETRY;
    });
    EXPECT_EQ(Snapshot(outside), (std::map<std::string, std::string>{{"x.txt", "x.txt"}}));
    EXPECT_EQ(CountBoxes(boxes, "Fehler beim Kopieren"), 1);
    // It landed in the held folder, which the cleanup then removed as one the source lacks.
    EXPECT_EQ(Lines(RunLog(), std::string(LOG_DELETED) + target + "sub-alt\\a.txt\r"), 1) << RunLog();
}

// Only a plain file of the temporary name in any case is a leftover, silently removed; a folder or link is the user's.
TEST_F(TrustTest, OnlyTheProgramsOwnLeftoverIsTakenForItsTemporaryFile)
{
    std::string temporary = Ansi(TEMPORARY_COPY_NAME), upper = temporary, outside = temp / "draussen.txt";
    CharUpperBuffA(&upper[0], (DWORD)upper.size());
    WriteBytes(outside, "draussen");
    for (bool cleanup : {false, true}) {
        SCOPED_TRACE(cleanup ? "cleanup on" : "cleanup off");
        std::string from = temp / (cleanup ? "q-an\\" : "q-aus\\"), to = temp / (cleanup ? "z-an\\" : "z-aus\\");
        MakeTree(from, {"a.txt", "sub\\", "sub\\b.txt", "l\\", "l\\c.txt", "sub\\" + upper});
        MakeTree(to, {"a.txt", "sub\\", "l\\", "l\\c.txt", temporary + "\\", temporary + "\\mine.txt", "weg\\"});
        CopyFileA((from + "sub\\b.txt").c_str(), (to + "sub\\b.txt").c_str(), FALSE);
        SetWriteTime(to + "a.txt", OLD_TIME);
        SetWriteTime(to + "l\\c.txt", OLD_TIME);
        Put(to + "sub\\" + upper, "Rest", 0, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        Put(to + "weg\\" + upper, "Rest", 0, FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(RunShell("ln -s '" + UnixPath(outside) + "' '" + UnixPath(to) + "l/" + temporary + "'"));
        SetPairs({{from, to}});
        SendMessageA(CleanupCheckbox, BM_SETCHECK, cleanup ? BST_CHECKED : BST_UNCHECKED, 0);
        std::vector<SeenBox> boxes = Run();
        EXPECT_EQ(CountBoxes(boxes, "\n\nFehler 80: "), 2)
            << "a replacement beside a folder or link of that name: a.txt and l\\c.txt";
        EXPECT_EQ(ReadBytes(outside), "draussen");
        EXPECT_FALSE(Exists(to + "sub\\" + upper));
        EXPECT_EQ(Exists(to + "weg\\" + upper), !cleanup) << "only the cleanup walks a folder the source lacks";
        EXPECT_EQ(RunLog().find("gelöscht: " + to + "weg\\" + upper), std::string::npos);
        EXPECT_EQ(Exists(to + temporary + "\\mine.txt"), !cleanup);
        EXPECT_EQ(Lines(RunLog(), LEFT_ALONE + from + "sub\\" + upper + "\r"), 1);
    }
}

// A source without a file (empty folders do not count) beside a target with one asks first; only Yes cleans.
TEST_F(TrustTest, AnEmptySourceAsksBeforeItsTargetIsEmptied)
{
    for (bool emptyFolders : {false, true})
        for (int answer : {IDNO, IDYES}) {
            SCOPED_TRACE(emptyFolders ? "empty folders" : "empty");
            MakeTree(source,
                     emptyFolders ? std::vector<std::string>{"leer\\", "leer\\tiefer\\"} : std::vector<std::string>{});
            MakeTree(target, {"ordner\\", "a.txt", "ordner\\b.txt"});
            ResetCounters();
            BoxAnswerer answerer([answer](const std::string &, const std::string &) { return answer; });
            Learnt pair(source, target);
            CleanTargetFolder(&pair);
            ASSERT_EQ(answerer.Seen().size(), 1u);
            EXPECT_EQ(answerer.Seen()[0].title, "Rückfrage");
            EXPECT_EQ(answerer.Seen()[0].defaultButton, IDNO);
            EXPECT_EQ(answerer.Seen()[0].text.find("Der Quellordner '" + source + "' ist leer"), 0u);
            EXPECT_EQ(Exists(target + "ordner\\b.txt"), answer == IDNO);
            EXPECT_EQ(CleanedEntries, answer == IDNO ? 0 : 3);
        }
}

// Own files are kept without a prompt; the log lies in the start folder, never where a file dialog left the current
// one.
TEST_F(TrustTest, OwnFilesAreKeptAndNeverPrompted)
{
    const std::string list = "@@'D:\\a\\' -> 'E:\\b\\'",
                      log = "Datei kopiert: " + source + "a.txt\r\n" + LEFT_ALONE + source + "log.txt\r\n";
    MakeTree(source, {"log.txt", "a.txt"});
    WriteBytes(target + "Ini.dat", list);
    strcpy(AutoSavePath, (target + "Ini.dat").c_str());
    AddPair(source, target);
    strcpy(StartDirectory, target.c_str()); // started from its backup
    EXPECT_EQ(CountBoxes(Run(), "ausgelassene Einträge: 1\nDie Datei log.txt führt jeden einzeln auf."), 1);
    EXPECT_EQ(ReadBytes(target + "Ini.dat"), list);
    EXPECT_EQ(ReadBytes(target + "log.txt"), log);
    EXPECT_EQ(std::make_pair(CheckedTargetFiles, CleanedEntries), std::make_pair(3, 0)) << "checked, cleaned";
    DeleteFileA((target + "a.txt").c_str());
    strcpy(StartDirectory, source.c_str());
    WriteBytes(temp / "log.txt", "meins"); // where a save dialog left the current folder
    EXPECT_EQ(Run().size(), 2u) << "the start question and the closing note only";
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 1 / 1");
    EXPECT_EQ(ReadBytes(target + "log.txt"), log);
    EXPECT_EQ(ReadBytes(temp / "log.txt"), "meins");
}

// An awkward tree in the second of three pairs ($S, $T): entries left alone, target entries after the run, log lines,
// and a shell test that must hold after the run.
// clang-format off
struct AwkwardTree { const char *name; bool cleanup; std::string script; int leftAlone;
                     std::vector<std::string> present, absent, logged; std::string after; };
const std::string SAME_TREES = // one content everywhere; each file of one time (to 100 ns), each folder in both
    "diff -r \"$S\" \"$T\" && L=\"find . -printf '%y %P %T@\\n' | "
    "sed 's/^d \\(.*\\) .*/d \\1/; s/^\\(f .*\\)...$/\\1/' | sort\" && (cd \"$S\" && eval \"$L\") > \"$S/../s.lst\" && "
    "(cd \"$T\" && eval \"$L\") | cmp - \"$S/../s.lst\"";
const std::string LONG_NAME = std::string(200, 'P'), DEEP = // a folder 200 levels deep, 1,800 bytes below $S
    "D=\"$S\" && for i in $(seq 100 299); do D=\"$D/ebene$i\"; done && mkdir -p \"$D\" && echo tief > \"$D/tief.txt\"";
const AwkwardTree TREES[] = {
    {"odd folder names", true, // the second is Japanese for "photo", letters the code page lacks: mirrored
     "J=$(printf '\\345\\206\\231\\347\\234\\237') && mkdir \"$S/ordner.\" \"$S/$J\" && echo 1 > \"$S/ordner./a\" && "
     "echo 2 > \"$S/$J/b\"", 1, {"ok.txt"}, {"ordner."}, {"ordner.\\\r\n", "\\??\\b\r\n"}},
    {"reserved and forbidden names", true,
     R"x(for n in aux con.txt com1 "lpt$(printf '\302\271')" nul.tar.gz 'a<b' 'pi|pe' 'quo"te' "$(printf 'tab\tx')"; )x"
     R"x(do echo 1 > "$S/$n"; done && echo 2 > "$T/aux.c" && echo 3 > "$T/x|y")x", 11, {"ok.txt"}, {}, {"aux.c\r\n"}},
    {"names outside the code page, in both trees and only in the target", true,
     R"x(O=$(printf '\316\251') && E=$(printf '\360\237\230\200') && V=$(printf '\305\231\303\241') && )x"
     R"x(for n in "$(printf '\305\201\303\263d\305\272.txt')" "Dvo${V}k - Largo.mp3" "$E.jpg" "${O}mega.txt" )x"
     R"x("Screenshot 2026-01-05 at 10.00.00$(printf '\342\200\257')AM.png"; do echo "$n" > "$S/$n"; done && )x"
     R"x(echo alt > "$T/${O}mega.txt" && touch -d 2001-01-01 "$T/${O}mega.txt" && echo weg > "$T/$O-weg.txt" && )x"
     R"x(mkdir "$T/$E" && echo weg > "$T/$E/a")x", 0, {}, {"Omega.txt"},
     {"\\?ód?.txt\r\n", "\\Dvo?ák - Largo.mp3\r\n", "10.00.00?AM.png\r\n", "\\??.jpg\r\n", "\\?mega.txt\r\n"},
     SAME_TREES},
    {"folder twins", true,
     R"x(mkdir "$S/TWIN" "$S/twin" "$T/twin" && echo neu > "$S/TWIN/neu.txt" && echo alt > "$S/twin/alt.txt")x", 1,
     {"twin\\neu.txt"}, {"twin\\alt.txt"}, {"twin\\\r\n"}},
    {"long paths: 250-character target folder, 300-character file, 200 levels", true,
     "P=" + LONG_NAME + " && mkdir -p \"$S/$P\" \"$T/$P\" && echo neu > \"$S/$P/alt.txt\" && "
     "echo alt > \"$T/$P/alt.txt\" && touch -d 2001-01-01 \"$T/$P/alt.txt\" && "
     "echo neu > \"$S/$P/" + std::string(60, 'N') + ".txt\" && echo weg > \"$T/$P/weg.txt\" && " + DEEP,
     0, {}, {}, {}, SAME_TREES},
    {"odd target names", true, "echo keep > \"$T/alt.\" && mkdir \"$T/ordner.\"", 2, {"ok.txt"}, {}, {"ordner.\\\r\n"}},
    {"file became folder", true, "mkdir \"$S/x\" && echo neu > \"$S/x/inhalt.txt\" && echo alt > \"$T/x\"", 0,
     {"x\\inhalt.txt"}, {}, {}},
    {"file became folder, no cleanup", false, "mkdir \"$S/x\" && echo neu > \"$S/x/inhalt.txt\" && echo alt > \"$T/x\"",
     1, {"x"}, {"x\\inhalt.txt"}, {}},
    {"folder became file", true, "echo neu > \"$S/y\" && mkdir \"$T/y\" && echo 1 > \"$T/y/a\" && echo 2 > \"$T/y/b\"",
     0, {"y"}, {"y\\a"}, {}},
    {"folder became file, no cleanup", false, "echo neu > \"$S/y\" && mkdir \"$T/y\" && echo 1 > \"$T/y/a\"", 1,
     {"y\\a"}, {}, {}},
    {"case-only twins", true, "echo klein > \"$S/a.txt\" && echo gross > \"$S/A.txt\"", 1, {"a.txt"}, {},
     {"a.txt\r\n"}}};
// clang-format on

// Awkward entries are logged, counted in one notice and stop nothing; counters add up, a second run changes nothing.
TEST_F(TrustTest, AwkwardEntriesAreLoggedOnceAndStopNothing)
{
    int number = 0;
    for (const AwkwardTree &tree : TREES) {
        SCOPED_TRACE(tree.name);
        std::string root = temp / ("baum" + std::to_string(number++) + "\\"), q[3], z[3];
        MakeTree(root, {"q0\\", "q1\\", "q2\\", "z0\\", "z1\\", "z2\\", "q0\\ok.txt", "q0\\zwei.txt", "q1\\ok.txt",
                        "q2\\ok.txt"});
        for (int i = 0; i < 3; i++)
            q[i] = root + "q" + std::to_string(i) + "\\", z[i] = root + "z" + std::to_string(i) + "\\";
        SetPairs({{q[0], z[0]}, {q[1], z[1]}, {q[2], z[2]}});
        ASSERT_TRUE(RunShell("S='" + UnixPath(q[1]) + "' T='" + UnixPath(z[1]) +
                             "' && test -d \"$S\" && test -d \"$T\" && " + tree.script));
        SendMessageA(CleanupCheckbox, BM_SETCHECK, tree.cleanup ? BST_CHECKED : BST_UNCHECKED, 0);
        std::vector<SeenBox> boxes = Run();
        EXPECT_EQ(Snapshot(z[0]), Snapshot(q[0])) << "the pair before is mirrored exactly";
        EXPECT_EQ(Snapshot(z[2]), Snapshot(q[2])) << "the pair after is mirrored exactly";
        EXPECT_EQ(Lines(RunLog(), LEFT_ALONE), tree.leftAlone) << RunLog();
        for (const std::string &line : tree.logged)
            EXPECT_NE(RunLog().find(line), std::string::npos) << line << " in\n" << RunLog();
        EXPECT_TRUE(tree.after.empty() ||
                    RunShell("S='" + UnixPath(q[1]) + "' T='" + UnixPath(z[1]) + "' && " + tree.after));
        EXPECT_EQ(CountBoxes(boxes, "ausgelassene Einträge: " + std::to_string(tree.leftAlone) + "\n"),
                  tree.leftAlone > 0 ? 1 : 0);
        EXPECT_EQ(CountBoxes(boxes, "Fehler"), 0);
        EXPECT_EQ(CountBoxes(boxes, RUN_COMPLETED_NOTE), 1);
        EXPECT_EQ(ProcessedFiles, TotalSourceFiles);
        EXPECT_EQ(BarPosition(TotalProgressBar), 100);
        for (const std::string &entry : tree.present)
            EXPECT_TRUE(Exists(z[1] + entry)) << entry;
        for (const std::string &entry : tree.absent)
            EXPECT_FALSE(Exists(z[1] + entry)) << entry;
        std::map<std::string, std::string> after = Snapshot(root);
        Run();
        EXPECT_EQ(Snapshot(root), after) << "a second run changes nothing";
        EXPECT_EQ(CopiedFiles, 0);
        EXPECT_EQ(CleanedEntries, 0);
    }
}

} // namespace
