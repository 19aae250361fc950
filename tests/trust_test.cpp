// What a run may touch: only the target the user chose, however the folders
// are written; never what a link points to; never the old version of a file
// when a copy fails; never the program's own files. Entries it leaves alone
// are logged one line each and told about in one notice; everything else is mirrored.
#include "support.h"
#include "engine/copyfile.h"
#include "engine/passes.h"
#include "engine/sourcewalk.h"
#include "base/texts.h"
#include "pairs/autosave.h"

namespace {

using TrustTest = ProgramFixture;
const ULONGLONG OLD_TIME = 120000000000000000ULL;

// Spelling kind of folder (under root, ending in "\") in a way its plain
// text does not show; drive M: leads to drive, the link "verweis" to folder.
std::string Spell(int kind, const std::string &drive, const std::string &root, const std::string &folder)
{
    char text[MAX_PATH] = "";
    std::string spelt = folder;
    switch (kind) {
    case 0: return folder + "x\\..\\";
    case 1: return std::replace(spelt.begin(), spelt.end() - 1, '\\', '/'), spelt;
    case 2: return "\\\\?\\" + folder;
    case 3: return folder.substr(0, folder.size() - 1) + ".\\";
    case 4: return root + "\\" + folder.substr(root.size());
    case 5: return GetShortPathNameA(folder.c_str(), text, sizeof text), text;
    case 6: return "M:\\" + folder.substr(drive.size());
    case 7: return root + "verweis\\";
    default: return CharUpperBuffA(&spelt[0], (DWORD)spelt.size()), spelt;
    }
}

// For every spelling of a folder A: a target that is the source's parent, a
// target inside the source, two targets naming one folder. No byte that was
// there before changes; the skip notice or the overlap warning comes.
TEST_F(TrustTest, FoldersAreComparedByWhatTheFileSystemSays)
{
    ASSERT_TRUE(RunShell("ln -sfn '" + UnixPath(temp.path) + "' \"$WINEPREFIX/dosdevices/m:\""));
    Sleep(1100); // Wine looks at its drive letters again after a second
    for (int kind = 0, number = 0; kind < 9; kind++)
        for (int relation = 0; relation < 3; relation++) {
            std::string root = temp / ("fall" + std::to_string(number++) + "\\"), a = root + "Gemeinsamer Ordner\\";
            MakeTree(root, {"Gemeinsamer Ordner\\", "Gemeinsamer Ordner\\src\\", "Gemeinsamer Ordner\\bak\\", "Gemeinsamer Ordner\\x\\", "s1\\", "s2\\",
                            "Gemeinsamer Ordner\\src\\a.txt", "Gemeinsamer Ordner\\fremd.txt", "nebenan.txt", "s1\\eins.txt", "s2\\zwei.txt"});
            ASSERT_TRUE(RunShell("ln -s '" + UnixPath(a) + "' '" + UnixPath(root) + "verweis'"));
            std::string other = Spell(kind, temp.path, root, a);
            ASSERT_NE(other, a);
            SCOPED_TRACE("relation " + std::to_string(relation) + ": " + other);
            SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
            if (relation < 2)
                relation == 0 ? AddPair(a + "src\\", other) : AddPair(a, other + "bak\\");
            else
                AddPair(root + "s1\\", a), AddPair(root + "s2\\", other);
            std::map<std::string, std::string> before = Snapshot(root);
            std::vector<SeenBox> boxes = Run();
            std::map<std::string, std::string> after = Snapshot(root);
            for (const auto &entry : before)
                EXPECT_EQ(after[entry.first], entry.second) << entry.first;
            EXPECT_EQ(after.size() - before.size(), relation < 2 ? 0u : 2u) << "only the copies are new";
            EXPECT_EQ(CountBoxes(boxes, relation < 2 ? SKIPPED_PAIRS_NOTE : OVERLAP_WARNING), 1);
        }
}

// Links in the target are never written or deleted through, links in the
// source that lead back onto the walk or to the target are not followed;
// each is logged as left alone, in every run.
TEST_F(TrustTest, LinksAreNeitherWrittenThroughNorFollowedInCircles)
{
    std::string outside = temp / "draussen\\", s = UnixPath(source), t = UnixPath(target), o = UnixPath(outside);
    MakeTree(outside, {"ordner\\", "ordner\\wert.txt", "datei.txt", "alt.txt"});
    MakeTree(source, {"ordner\\"});
    for (const char *file : {"ordner\\wert.txt", "datei.txt"})
        WriteBytes(source + file, "new, not to be written through a link");
    ASSERT_TRUE(RunShell("ln -s '" + o + "ordner' '" + t + "ordner' && ln -s '" + o + "datei.txt' '" + t + "datei.txt' && ln -s '" + o + "alt.txt' '" + t +
                         "alt.txt' && ln -s '" + o + "' '" + t + "altordner' && ln -s '" + s + "' '" + s + "zurueck' && ln -s '" + t + "' '" + s + "zumziel'"));
    std::map<std::string, std::string> before = Snapshot(outside);
    AddPair(source, target);
    for (int run = 0; run < 2; run++) {
        std::vector<SeenBox> boxes = Run();
        EXPECT_EQ(Snapshot(outside), before) << "run " << run;
        EXPECT_EQ(CountBoxes(boxes, "Bei der Synchronisierung ausgelassene Einträge: 5\n") + CountBoxes(boxes, RUN_COMPLETED_NOTE), 2) << run;
        std::string log = ReadBytes(temp / "log.txt");
        for (const std::string &path : {target + "ordner\\", source + "zurueck\\", source + "zumziel\\", target + "alt.txt", target + "altordner\\"})
            EXPECT_NE(log.find("WARNUNG - Eintrag ausgelassen: " + path + "\r\n"), std::string::npos) << path << "\n" << log;
    }
    EXPECT_FALSE(Exists(target + "zurueck") || Exists(target + "zumziel")) << "a loop is not followed";
}

// A replacement that fails part way, however it fails, leaves the old
// version byte for byte and with its time (only a finished copy is renamed
// over it); the next run brings the new version and leaves no temporary file.
TEST_F(TrustTest, AFailedReplacementKeepsTheOldVersion)
{
    ASSERT_TRUE(RunShell("truncate -s 256M '" + UnixPath(source) + "gross.bin'"));
    for (const std::string fault : {"cancel", "full disk", "target held open", "left by a killed run"}) {
        SCOPED_TRACE(fault);
        std::string to = temp / ("ziel " + fault + "\\");
        MakeFolder(to);
        if (fault == "full disk" && !RunShell("mount -t tmpfs -o size=1m tmpfs '" + UnixPath(to) + "'")) {
            printf("no tmpfs could be mounted (needs root): the full-disk case is left out\n");
            continue;
        }
        WriteBytes(to + "gross.bin", "old version");
        SetWriteTime(to + "gross.bin", OLD_TIME);
        HANDLE held = fault != "target held open" ? INVALID_HANDLE_VALUE : CreateFileA((to + "gross.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (fault == "left by a killed run") {
            WriteBytes(to + TEMPORARY_COPY_NAME, "part of the new version");
        } else {
            BoxAnswerer answerer;
            std::thread canceller([&] { // cancels once the temporary copy has grown
                WIN32_FILE_ATTRIBUTE_DATA data;
                if (fault == "cancel" && PumpUntil([&] { return GetFileAttributesExA((to + TEMPORARY_COPY_NAME).c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow > 0; }))
                    RequestCancel();
            });
            Learnt pair(source, to);
            MirrorFolder(&pair, false);
            canceller.join();
            EXPECT_EQ(answerer.Count("Fehler beim Kopieren der Datei '" + source + "gross.bin'"), 1);
            EXPECT_FALSE(Exists(to + TEMPORARY_COPY_NAME));
        }
        CloseHandle(held);
        EXPECT_EQ(ReadBytes(to + "gross.bin") + std::to_string(GetWriteTime(to + "gross.bin")), "old version" + std::to_string(OLD_TIME));
        if (fault == "full disk") {
            RunShell("umount '" + UnixPath(to) + "'");
            continue;
        }
        ClearCancel();
        Learnt again(source, to);
        MirrorFolder(&again, false);
        EXPECT_EQ(GetWriteTime(to + "gross.bin"), GetWriteTime(source + "gross.bin")) << "the next run brings the new version";
        EXPECT_FALSE(Exists(to + TEMPORARY_COPY_NAME));
    }
}

// The source moves between a pair's mirror and its cleanup: unmounted,
// or renamed away and made anew (empty, or with a file). The cleanup deletes
// nothing, says so once naming the source, logs it and cancels nothing, so
// the run goes on with the next pair.
TEST_F(TrustTest, NothingIsDeletedOnceTheSourceIsNoLongerTheOneLearnt)
{
    struct Move { const char *name; bool mount; std::string script; };
    const Move moves[] = {{"unmounted", true, "umount \"$S\""}, {"made anew", false, "mv \"$S\" \"$S-alt\" && mkdir \"$S\""},
                          {"made anew, with a file", false, "mv \"$S\" \"$S-alt\" && mkdir \"$S\" && echo neu > \"$S/neu.txt\""}};
    std::string skipped;
    for (const Move &move : moves) {
        SCOPED_TRACE(move.name);
        std::string from = temp / (std::string(move.name) + "\\"), to = temp / (std::string(move.name) + "-ziel\\");
        MakeFolder(from);
        if (move.mount && !RunShell("mount -t tmpfs -o size=1m tmpfs '" + UnixPath(from) + "'")) {
            skipped = "no tmpfs could be mounted (needs root)";
            continue;
        }
        MakeTree(from, {"a.txt", "sub\\", "sub\\b.txt"});
        MakeTree(to, {"nur-im-ziel.txt", "alt\\", "alt\\x.txt"});
        Learnt pair(from, to);
        OpenLog();
        MirrorFolder(&pair, true);
        std::map<std::string, std::string> mirrored = Snapshot(to);
        ASSERT_TRUE(RunShell("S='" + UnixPath(from).substr(0, UnixPath(from).size() - 1) + "' && " + move.script));
        BoxAnswerer answerer;
        CleanTargetFolder(&pair);
        EXPECT_EQ(Snapshot(to), mirrored);
        EXPECT_EQ(answerer.Count("Der Quellordner '" + from + "' ist nicht mehr der Ordner vom Start"), 1);
        std::string log = Log();
        EXPECT_NE(log.find("WARNUNG - Quellordner verändert, Ziel nicht bereinigt: " + from + "\r\n"), std::string::npos) << log;
        EXPECT_FALSE(IsCancelRequested());
    }
    if (!skipped.empty())
        GTEST_SKIP() << skipped;
}

// Removing a target folder that was swapped for a link while the cleanup
// works inside it removes nothing through the link; after a cancel no
// folder is removed at all.
TEST_F(TrustTest, FoldersAreRemovedOnlyAsTheFoldersLearnt)
{
    std::string outside = temp / "draussen\\";
    MakeTree(outside, {"g.txt", "h\\"});
    MakeTree(target, {"sub\\", "sub\\f.txt", "leer\\"});
    Learnt pair(source, target);
    std::string finalSub = std::string(pair.targetIdentity.finalPath) + "\\sub";
    ASSERT_TRUE(RunShell("mv '" + UnixPath(target) + "sub' '" + UnixPath(target) + "sub-alt' && ln -s '" + UnixPath(outside) + "' '" + UnixPath(target) + "sub'"));
    OpenLog();
    EXPECT_FALSE(CleanAwayTargetFolder(&pair, (target + "sub\\").c_str(), finalSub.c_str()));
    EXPECT_EQ(Snapshot(outside), (std::map<std::string, std::string>{{"g.txt", "g.txt"}, {"h", "<folder>"}}));
    std::string log = Log();
    for (const std::string &kept : {target + "sub\\g.txt", target + "sub\\h\\", target + "sub\\"})
        EXPECT_NE(log.find("WARNUNG - Eintrag ausgelassen: " + kept + "\r\n"), std::string::npos) << log;
    RequestCancel();
    EXPECT_FALSE(CleanAwayTargetFolder(&pair, (target + "leer\\").c_str(), (std::string(pair.targetIdentity.finalPath) + "\\leer").c_str()));
    EXPECT_TRUE(Exists(target + "leer"));
}

// A target swapped for a link while an earlier pair is mirrored is neither
// written nor cleaned: the pair is skipped, named in a notice and the log.
TEST_F(TrustTest, APairWhoseTargetWasSwappedIsSkipped)
{
    std::string q0 = temp / "q0\\", z0 = temp / "z0\\", q1 = temp / "q1\\", z1 = temp / "z1\\", other = temp / "fremd\\";
    MakeTree(q0, {"a.txt"});
    MakeTree(z0, {"a.txt"});
    MakeTree(q1, {"b.txt", "neu.txt"});
    MakeTree(z1, {});
    MakeTree(other, {"b.txt", "fremd.txt"});
    SetWriteTime(z0 + "a.txt", OLD_TIME);
    SetWriteTime(other + "b.txt", OLD_TIME);
    HANDLE lock = CreateFileA((z0 + "a.txt").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    AddPair(q0, z0);
    AddPair(q1, z1);
    std::map<std::string, std::string> before = Snapshot(other);
    std::vector<SeenBox> boxes = Run([&](const std::string &title, const std::string &text) {
        if (text.find("Fehler beim Kopieren") == 0) { // pair 2's target is swapped while pair 1 runs
            EXPECT_TRUE(RunShell("mv '" + UnixPath(z1) + "' '" + UnixPath(temp / "z1-alt") + "' && ln -s '" + UnixPath(other) + "' '" + UnixPath(temp / "z1") + "'"));
        }
        return DefaultAnswer(title, text);
    });
    CloseHandle(lock);
    EXPECT_EQ(Snapshot(other), before);
    EXPECT_EQ(CountBoxes(boxes, "Der Zielordner '" + z1 + "' ist nicht mehr der Ordner vom Start"), 1);
    EXPECT_NE(ReadBytes(temp / "log.txt").find("WARNUNG - Zielordner verändert, Ordnerpaar übersprungen: " + z1 + "\r\n"), std::string::npos);
}

// Only the program's own leftover is taken for its temporary file, whatever
// its attributes, also with the cleanup off. A user's folder or link of that
// name stays with the cleanup off and is cleaned as any entry with it on; a
// replacement beside one fails with "file exists"; a source entry of that
// name in any letter case is left alone and reported.
TEST_F(TrustTest, OnlyTheProgramsOwnLeftoverIsTakenForItsTemporaryFile)
{
    std::string temporary = TEMPORARY_COPY_NAME, upper = temporary, outside = temp / "draussen.txt";
    CharUpperBuffA(&upper[0], (DWORD)upper.size());
    WriteBytes(outside, "draussen");
    for (bool cleanup : {false, true}) {
        SCOPED_TRACE(cleanup ? "cleanup on" : "cleanup off");
        std::string from = temp / (cleanup ? "q-an\\" : "q-aus\\"), to = temp / (cleanup ? "z-an\\" : "z-aus\\");
        MakeTree(from, {"a.txt", "sub\\", "sub\\b.txt", "l\\", "l\\c.txt", "sub\\" + upper});
        MakeTree(to, {"a.txt", "sub\\", "l\\", "l\\c.txt", temporary + "\\", temporary + "\\mine.txt", "sub\\" + temporary});
        CopyFileA((from + "sub\\b.txt").c_str(), (to + "sub\\b.txt").c_str(), FALSE);
        SetWriteTime(to + "a.txt", OLD_TIME);
        SetWriteTime(to + "l\\c.txt", OLD_TIME);
        SetFileAttributesA((to + "sub\\" + temporary).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
        ASSERT_TRUE(RunShell("ln -s '" + UnixPath(outside) + "' '" + UnixPath(to) + "l/" + temporary + "'"));
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        AddPair(from, to);
        SendMessageA(CleanupCheckbox, BM_SETCHECK, cleanup ? BST_CHECKED : BST_UNCHECKED, 0);
        std::vector<SeenBox> boxes = Run();
        EXPECT_EQ(CountBoxes(boxes, "\n\nFehler 80: "), 2) << "a.txt and l\\c.txt";
        EXPECT_EQ(ReadBytes(outside), "draussen");
        EXPECT_FALSE(Exists(to + "sub\\" + temporary));
        EXPECT_EQ(Exists(to + temporary + "\\mine.txt"), !cleanup);
        std::string log = ReadBytes(temp / "log.txt");
        EXPECT_NE(log.find("WARNUNG - Eintrag ausgelassen: " + from + "sub\\" + upper + "\r\n"), std::string::npos) << log;
    }
}

// A source without any file (or with empty folders only) beside a target
// holding a file asks first (default No); No keeps every target entry, Yes cleans.
TEST_F(TrustTest, AnEmptySourceAsksBeforeItsTargetIsEmptied)
{
    for (bool emptyFolders : {false, true})
        for (int answer : {IDNO, IDYES}) {
            SCOPED_TRACE(emptyFolders ? "empty folders" : "empty");
            MakeTree(source, emptyFolders ? std::vector<std::string>{"leer\\", "leer\\tiefer\\"} : std::vector<std::string>{});
            MakeTree(target, {"ordner\\", "a.txt", "ordner\\b.txt"});
            ClearCancel();
            ResetCounters();
            BoxAnswerer answerer([answer](const std::string &, const std::string &) { return answer; });
            Learnt pair(source, target);
            CleanTargetFolder(&pair);
            std::vector<SeenBox> boxes = answerer.Seen();
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_TRUE(boxes[0].title == "Rückfrage" && boxes[0].defaultButton == IDNO && boxes[0].text.rfind("Der Quellordner '" + source + "' ist leer", 0) == 0)
                << boxes[0].title << ": " << boxes[0].text;
            EXPECT_EQ(Exists(target + "ordner\\b.txt"), answer == IDNO);
            EXPECT_EQ(CleanedEntries, answer == IDNO ? 0 : 3);
        }
}

// The program's own files are never overwritten or prompted for. With its
// list and log in the target, a source file named like the log is reported,
// not copied; with its log in the source, that log is passed over unsaid.
TEST_F(TrustTest, OwnFilesAreKeptAndNeverPrompted)
{
    const std::string list = "@@'D:\\a\\' -> 'E:\\b\\'";
    MakeTree(source, {"log.txt", "a.txt"});
    WriteBytes(target + "Ini.dat", list);
    strcpy(AutoSavePath, (target + "Ini.dat").c_str());
    AddPair(source, target);
    SetCurrentDirectoryA(target.c_str());
    EXPECT_EQ(CountBoxes(Run(), "ausgelassene Einträge: 1\nDie Datei log.txt führt jeden einzeln auf."), 1);
    EXPECT_EQ(ReadBytes(target + "Ini.dat"), list);
    EXPECT_EQ(ReadBytes(target + "log.txt"), "Datei kopiert: " + source + "a.txt\r\nWARNUNG - Eintrag ausgelassen: " + source + "log.txt\r\n");
    EXPECT_EQ(CheckedTargetFiles * 10 + CleanedEntries, 30);
    DeleteFileA((target + "a.txt").c_str());
    SetCurrentDirectoryA(source.c_str());
    EXPECT_EQ(Run().size(), 2u) << "the start question and the closing note only";
    EXPECT_EQ(ControlText(CopiedStatusLabel), "synchronisierte Dateien: 1 / 1");
    EXPECT_EQ(ReadBytes(target + "log.txt"), "Datei kopiert: " + source + "a.txt\r\nWARNUNG - Eintrag ausgelassen: " + source + "log.txt\r\n");
}

// An awkward tree made in the second of three pairs ($S its source, $T its
// target), with or without cleanup; how many entries it leaves alone, target
// entries ("x\" a folder) that are there and are not after the run, and a
// line the log must hold.
struct AwkwardTree {
    const char *name;
    bool cleanup;
    std::string script;
    int leftAlone;
    std::vector<std::string> present, absent;
    std::string logged;
};
const AwkwardTree TREES[] = {
    {"odd folder names", true, // the second is Japanese for "photo", letters the code page lacks
     "J=$(printf '\\345\\206\\231\\347\\234\\237') && mkdir \"$S/ordner.\" \"$S/$J\" && echo 1 > \"$S/ordner./a\" && echo 2 > \"$S/$J/b\"", 2, {"ok.txt"}, {"ordner."}, "ordner.\\\r\n"},
    {"reserved and forbidden names", true,
     R"x(for n in aux con.txt com1 "lpt$(printf '\302\271')" nul.tar.gz 'a<b' 'pi|pe' 'quo"te' "$(printf 'tab\tx')"; do echo 1 > "$S/$n"; done && )x"
     R"x(echo 2 > "$T/aux.c" && echo 3 > "$T/x|y")x", 11, {"ok.txt"}, {}, "aux.c\r\n"},
    {"a name the code page only approximates, in both trees", true, R"x(echo 1 > "$S/$(printf '\316\251')mega.txt" && echo 2 > "$T/$(printf '\316\251')mega.txt")x", 1, {}, {"Omega.txt"}, "?mega.txt\r\n"},
    {"folder twins", true, R"x(mkdir "$S/TWIN" "$S/twin" "$T/twin" && echo neu > "$S/TWIN/neu.txt" && echo alt > "$S/twin/alt.txt")x", 1, {"twin\\neu.txt"}, {"twin\\alt.txt"}, "twin\\\r\n"},
    {"loop", true, "ln -s \"$S\" \"$S/schleife\"", 1, {"ok.txt"}, {"schleife"}, ""},
    {"over-long path", true, "L=$(printf 'L%.0s' $(seq 240)) && mkdir -p \"$S/$L\" && echo 1 > \"$S/$L/a\"", 1, {"ok.txt"}, {}, ""},
    {"odd target names", true, "echo keep > \"$T/alt.\" && mkdir \"$T/ordner.\"", 2, {"ok.txt"}, {}, "ordner.\\\r\n"},
    {"file became folder", true, "mkdir \"$S/x\" && echo neu > \"$S/x/inhalt.txt\" && echo alt > \"$T/x\"", 0, {"x\\inhalt.txt"}, {}, ""},
    {"file became folder, no cleanup", false, "mkdir \"$S/x\" && echo neu > \"$S/x/inhalt.txt\" && echo alt > \"$T/x\"", 1, {"x"}, {"x\\inhalt.txt"}, ""},
    {"folder became file", true, "echo neu > \"$S/y\" && mkdir \"$T/y\" && echo 1 > \"$T/y/a\" && echo 2 > \"$T/y/b\"", 0, {"y"}, {"y\\a"}, ""},
    {"folder became file, no cleanup", false, "echo neu > \"$S/y\" && mkdir \"$T/y\" && echo 1 > \"$T/y/a\"", 1, {"y\\a"}, {}, ""},
    {"case-only twins", true, "echo klein > \"$S/a.txt\" && echo gross > \"$S/A.txt\"", 1, {"a.txt"}, {}, "a.txt\r\n"}};

// Awkward entries are logged once each, named in one notice and stop
// nothing: no prompt, the pairs before and after are mirrored exactly, the
// counters add up; a second run changes nothing.
TEST_F(TrustTest, AwkwardEntriesAreLoggedOnceAndStopNothing)
{
    int number = 0;
    for (const AwkwardTree &tree : TREES) {
        SCOPED_TRACE(tree.name);
        std::string root = temp / ("baum" + std::to_string(number++) + "\\"), folders[6];
        MakeTree(root, {"q0\\", "q1\\", "q2\\", "z0\\", "z1\\", "z2\\", "q0\\ok.txt", "q0\\zwei.txt", "q1\\ok.txt", "q2\\ok.txt"});
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < 3; i++)
            AddPair(folders[i] = root + "q" + std::to_string(i) + "\\", folders[i + 3] = root + "z" + std::to_string(i) + "\\");
        ASSERT_TRUE(RunShell("S='" + UnixPath(folders[1]) + "' T='" + UnixPath(folders[4]) + "' && test -d \"$S\" && test -d \"$T\" && " + tree.script));
        SendMessageA(CleanupCheckbox, BM_SETCHECK, tree.cleanup ? BST_CHECKED : BST_UNCHECKED, 0);
        std::vector<SeenBox> boxes = Run();
        std::string log = "\n" + ReadBytes(temp / "log.txt");
        EXPECT_TRUE(Snapshot(folders[3]) == Snapshot(folders[0]) && Snapshot(folders[5]) == Snapshot(folders[2])) << "the pairs before and after are mirrored exactly";
        int lines = 0;
        for (size_t at = log.find("\nWARNUNG - Eintrag ausgelassen: "); at != std::string::npos; at = log.find("\nWARNUNG - Eintrag ausgelassen: ", at + 1))
            lines++;
        EXPECT_EQ(lines, tree.leftAlone) << log;
        EXPECT_NE(log.find(tree.logged), std::string::npos) << log;
        EXPECT_EQ(CountBoxes(boxes, "ausgelassene Einträge: " + std::to_string(tree.leftAlone) + "\n"), tree.leftAlone > 0 ? 1 : 0);
        EXPECT_EQ(CountBoxes(boxes, "Fehler"), 0);
        EXPECT_EQ(CountBoxes(boxes, RUN_COMPLETED_NOTE), 1);
        EXPECT_EQ(ProcessedFiles, TotalSourceFiles);
        EXPECT_EQ(BarPosition(TotalProgressBar), 100);
        for (const std::string &entry : tree.present)
            EXPECT_TRUE(Exists(folders[4] + entry)) << entry;
        for (const std::string &entry : tree.absent)
            EXPECT_FALSE(Exists(folders[4] + entry)) << entry;
        std::map<std::string, std::string> after = Snapshot(root);
        Run();
        EXPECT_EQ(Snapshot(root), after) << "a second run changes nothing";
        EXPECT_EQ(CopiedFiles + CleanedEntries, 0);
    }
}

// The current-file line names a large file before its copy begins, even
// right after a burst of small files.
TEST_F(TrustTest, ALargeCopyShowsItsLineBeforeItBegins)
{
    std::string large = temp / "gross\\", largeTarget = temp / "gross-ziel\\", shown;
    MakeFolder(large);
    MakeFolder(largeTarget);
    for (int i = 0; i < 300; i++)
        WriteBytes(source + "d" + std::to_string(i) + ".txt", "x");
    ASSERT_TRUE(RunShell("truncate -s 256M '" + UnixPath(large) + "zz-gross.bin'"));
    AddPair(source, target);
    AddPair(large, largeTarget);
    std::thread watcher([&] {
        for (DWORD start = GetTickCount(); !Exists(largeTarget + "zz-gross.bin") && GetTickCount() - start < 60000;)
            continue;
        shown = ControlText(CurrentFileLabel);
    });
    Run();
    watcher.join();
    EXPECT_EQ(shown, "aktuelle Datei: 'zz-gross.bin' - '256 MB'");
}

} // namespace
