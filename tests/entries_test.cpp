// Entries a run leaves alone for a reason of its own are logged one line
// each and told about in one notice at the end; every other entry and every
// other pair is mirrored; a second run changes nothing.
#include "support.h"
#include "app/controls.h"
#include "engine/runstate.h"
#include "engine/texts.h"
#include <gtest/gtest.h>

namespace {

using EntriesTest = RunFixture;

// An awkward tree: made in the second pair's source and target (Linux paths
// s and t), with or without cleanup; how many entries it leaves alone, and a
// check of the target t (a Windows path) after the first run.
struct AwkwardTree {
    const char *name;
    bool cleanup;
    std::string script; // sh; $S and $T are the source and the target
    int leftAlone;
    std::vector<std::string> present, absent; // target entries after the run ("x\" a folder)
};

const AwkwardTree TREES[] = {
    {"odd folder names", true, // the second is Japanese for "photo", letters the code page lacks
     "J=$(printf '\\345\\206\\231\\347\\234\\237') && mkdir \"$S/ordner.\" \"$S/$J\" && echo 1 > \"$S/ordner./a\" && "
     "echo 2 > \"$S/$J/b\"",
     2, {"ok.txt"}, {"ordner."}},
    {"loop", true, "ln -s \"$S\" \"$S/schleife\"", 1, {"ok.txt"}, {"schleife"}},
    {"over-long path", true, "mkdir -p \"$S/$(printf 'L%.0s' $(seq 240))\" && echo 1 > \"$S/$(printf 'L%.0s' $(seq 240))/a\"",
     1, {"ok.txt"}, {}},
    {"odd target name", true, "echo keep > \"$T/alt.\"", 1, {"ok.txt"}, {}},
    {"file became folder", true, "mkdir \"$S/x\" && echo neu > \"$S/x/inhalt.txt\" && echo alt > \"$T/x\"", 0,
     {"x\\inhalt.txt"}, {}},
    {"file became folder, no cleanup", false, "mkdir \"$S/x\" && echo neu > \"$S/x/inhalt.txt\" && echo alt > \"$T/x\"", 1,
     {"x"}, {"x\\inhalt.txt"}},
    {"folder became file", true, "echo neu > \"$S/y\" && mkdir \"$T/y\" && echo 1 > \"$T/y/a\" && echo 2 > \"$T/y/b\"", 0,
     {"y"}, {"y\\a"}},
    {"folder became file, no cleanup", false, "echo neu > \"$S/y\" && mkdir \"$T/y\" && echo 1 > \"$T/y/a\"", 1,
     {"y\\a"}, {}},
    {"case-only twins", true, "echo klein > \"$S/a.txt\" && echo gross > \"$S/A.txt\"", 1, {"a.txt"}, {}},
};

// Counts the log lines that begin with prefix.
int LogLines(const std::string &log, const std::string &prefix)
{
    int n = 0;
    for (size_t at = log.find(prefix); at != std::string::npos; at = log.find(prefix, at + 1))
        n += at == 0 || log[at - 1] == '\n';
    return n;
}

TEST_F(EntriesTest, AwkwardEntriesAreLoggedOnceAndStopNothing)
{
    int number = 0;
    for (const AwkwardTree &tree : TREES) {
        SCOPED_TRACE(tree.name);
        std::string root = temp / ("baum" + std::to_string(number++) + "\\");
        std::string folders[6] = {root + "q1\\", root + "q2\\", root + "q3\\", root + "z1\\", root + "z2\\", root + "z3\\"};
        MakeFolder(root);
        for (const std::string &folder : folders)
            MakeFolder(folder);
        for (int i = 0; i < 3; i++)
            WriteBytes(folders[i] + "ok.txt", "ok " + std::to_string(i));
        WriteBytes(folders[0] + "zwei.txt", "2");
        ASSERT_TRUE(RunShell("S='" + UnixPath(folders[1]) + "'; T='" + UnixPath(folders[4]) + "'; " + tree.script));
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (int i = 0; i < 3; i++)
            AddPair(folders[i], folders[i + 3]);
        SendMessageA(CleanupCheckbox, BM_SETCHECK, tree.cleanup ? BST_CHECKED : BST_UNCHECKED, 0);
        std::vector<SeenBox> boxes = Run();
        std::string log = ReadBytes(temp / "log.txt");
        EXPECT_EQ(Snapshot(folders[3]), Snapshot(folders[0])) << "the pair before is mirrored exactly";
        EXPECT_EQ(Snapshot(folders[5]), Snapshot(folders[2])) << "the pair after is mirrored exactly";
        EXPECT_EQ(LogLines(log, "WARNUNG - Eintrag ausgelassen: "), tree.leftAlone) << log;
        EXPECT_EQ(CountBoxes(boxes, "ausgelassene Einträge: " + std::to_string(tree.leftAlone) + "\n"),
                  tree.leftAlone > 0 ? 1 : 0);
        EXPECT_EQ(CountBoxes(boxes, "Fehler"), 0);
        EXPECT_EQ(CountBoxes(boxes, RUN_COMPLETED_NOTE), 1);
        for (const std::string &entry : tree.present)
            EXPECT_TRUE(Exists(folders[4] + entry)) << entry;
        for (const std::string &entry : tree.absent)
            EXPECT_FALSE(Exists(folders[4] + entry)) << entry;
        std::map<std::string, std::string> after = Snapshot(root);
        boxes = Run();
        EXPECT_EQ(Snapshot(root), after) << "a second run changes nothing";
        EXPECT_EQ(CopiedFiles + CleanedEntries, 0);
    }
}

std::string Copy, ShownAtStart;

// Reads the current-file line the moment the copy appears.
DWORD WINAPI WatchCopyStart(LPVOID)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000;)
        if (Exists(Copy)) {
            ShownAtStart = ControlText(CurrentFileLabel);
            return 0;
        }
    return 1;
}

// The current-file line names a large file before its copy begins, even
// right after a burst of small files.
TEST_F(EntriesTest, ALargeCopyShowsItsLineBeforeItBegins)
{
    std::string small = temp / "klein\\", large = temp / "gross\\", largeTarget = temp / "gross-ziel\\";
    MakeFolder(small);
    MakeFolder(large);
    MakeFolder(largeTarget);
    for (int i = 0; i < 300; i++)
        WriteBytes(small + "d" + std::to_string(i) + ".txt", "x");
    ASSERT_TRUE(RunShell("truncate -s 256M '" + UnixPath(large) + "zz-gross.bin'"));
    AddPair(small, target);
    AddPair(large, largeTarget);
    Copy = largeTarget + "zz-gross.bin";
    ShownAtStart.clear();
    HANDLE watcher = CreateThread(NULL, 0, WatchCopyStart, NULL, 0, NULL);
    Run();
    WaitForSingleObject(watcher, 60000);
    CloseHandle(watcher);
    EXPECT_EQ(ShownAtStart, "aktuelle Datei: 'zz-gross.bin' - '256 MB'");
}

} // namespace
