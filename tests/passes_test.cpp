// Pair entries, the count pass, the cleanup pass and the overlap check.
#include "support.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "engine/passes.h"
#include "engine/runstate.h"
#include "pairs/folderrules.h"
#include "pairs/pairentry.h"
#include <gtest/gtest.h>

namespace {

TEST(PairEntry, ComposeAndSplitRoundTrip)
{
    struct Case { const char *source, *target, *entry; };
    const Case cases[] = {
        {"D:\\Daten\\", "E:\\Kopie\\", "'D:\\Daten\\' -> 'E:\\Kopie\\'"},
        {"D:\\", "E:\\Sicherung\\", "'D:\\' -> 'E:\\Sicherung\\'"},
        {"C:\\Ä ö ß €\\", "\\\\server\\share\\", "'C:\\Ä ö ß €\\' -> '\\\\server\\share\\'"},
    };
    for (const Case &c : cases) {
        char entry[PAIR_COMPOSE_MAX], source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX];
        ASSERT_TRUE(ComposePairEntry(c.source, c.target, entry, sizeof entry));
        EXPECT_STREQ(entry, c.entry);
        EXPECT_EQ(strlen(entry), strlen(c.source) + strlen(c.target) + 8);
        ASSERT_TRUE(SplitPairEntry(entry, source, sizeof source, target, sizeof target));
        EXPECT_STREQ(source, c.source);
        EXPECT_STREQ(target, c.target);
        EXPECT_TRUE(IsWellFormedPairEntry(entry)) << entry;
    }
    char entry[PAIR_COMPOSE_MAX];
    ComposePairEntry("D:\\Daten\\", "E:\\Kopie\\", entry, sizeof entry);
    EXPECT_EQ(strlen(entry), 26u);
    char small[10];
    EXPECT_FALSE(ComposePairEntry("D:\\Daten\\", "E:\\Kopie\\", small, sizeof small));
}

TEST(PairEntry, EntriesWithFewerThanThreePiecesGiveNoFolders)
{
    const char *bad[] = {"", "'", "''''", "'D:\\a\\'", "'D:\\a\\' -> '", "D:\\a\\", "@@"};
    for (const char *text : bad) {
        char source[PAIR_TEXT_MAX] = "x", target[PAIR_TEXT_MAX] = "x";
        EXPECT_FALSE(SplitPairEntry(text, source, sizeof source, target, sizeof target)) << text;
        EXPECT_STREQ(source, "");
        EXPECT_STREQ(target, "");
        EXPECT_FALSE(IsWellFormedPairEntry(text)) << text;
    }
    // Apostrophe runs count as one cut; further pieces are ignored by the split.
    char source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX];
    ASSERT_TRUE(SplitPairEntry("''A''B''C'D'", source, sizeof source, target, sizeof target));
    EXPECT_STREQ(source, "A");
    EXPECT_STREQ(target, "C");
    // Only the exact composed form of two carriable folders is well formed.
    const char *notWellFormed[] = {"'D:\\a' -> 'E:\\b\\'", "'D:\\a\\' -> 'E:\\b\\' ", "'D:\\a\\' => 'E:\\b\\'",
                                   "'D:\\a\\' -> 'E:\\b\\'x'", "'' -> 'E:\\b\\'"};
    for (const char *text : notWellFormed)
        EXPECT_FALSE(IsWellFormedPairEntry(text)) << text;
}

using PassTest = PassFixture;

TEST_F(PassTest, CountFindsEveryFileAtEveryDepth)
{
    MakeFolder(source + "leer1");
    MakeFolder(source + "leer1\\leer2");
    EXPECT_EQ(CountSourceFiles(source.c_str(), target.c_str()), 0);
    WriteBytes(source + "a.txt", "a");
    WriteBytes(source + ".b", "");
    WriteBytes(source + "...x", "c");
    MakeFolder(source + ".sub");
    WriteBytes(source + ".sub\\d.txt", "d");
    WriteBytes(source + ".sub\\e.txt", "e");
    EXPECT_EQ(CountSourceFiles(source.c_str(), target.c_str()), 5);
    EXPECT_FALSE(IsCancelRequested());
}

// Creates a folder with a name of the given length inside parent, beyond the
// ANSI path limit if need be; by default long enough that it cannot be listed.
static std::string MakeUnlistableFolder(const std::string &parent, size_t nameLength = 230)
{
    std::string name(nameLength, 'L');
    std::string path = parent + name;
    std::wstring wide(L"\\\\?\\");
    for (char c : path)
        wide += (wchar_t)(unsigned char)c;
    CreateDirectoryW(wide.c_str(), NULL);
    return path + "\\";
}

TEST_F(PassTest, CountSkipsAnOverlongSubFolderAndReportsAMissingSource)
{
    WriteBytes(source + "a.txt", "a");
    MakeFolder(source + "x");
    MakeFolder(source + "x\\y");
    WriteBytes(source + "x\\y\\b.txt", "b");
    std::string deep = MakeUnlistableFolder(source + "x\\y\\");
    BoxAnswerer answerer;
    EXPECT_EQ(CountSourceFiles(source.c_str(), target.c_str()), 2);
    EXPECT_TRUE(answerer.Seen().empty()) << "a folder the mirror leaves alone is not entered";
    EXPECT_FALSE(IsCancelRequested());
    std::string missing = temp / "fehlt\\";
    EXPECT_EQ(CountSourceFiles(missing.c_str(), target.c_str()), 0);
    EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + missing + "'"), 1);
    EXPECT_TRUE(IsCancelRequested());
    // A count after the cancel counts nothing and shows nothing.
    EXPECT_EQ(CountSourceFiles(source.c_str(), target.c_str()), 0);
    EXPECT_EQ(answerer.Seen().size(), 1u);
}

TEST_F(PassTest, CleanupDeletesWhatTheSourceLacksAndCountsIt)
{
    WriteBytes(source + "bleibt.txt", "1");
    WriteBytes(target + "bleibt.txt", "1");
    WriteBytes(target + "weg.txt", "2");
    MakeFolder(target + "alt");
    WriteBytes(target + "alt\\x.txt", "x");
    WriteBytes(target + "alt\\y.txt", "y");
    MakeFolder(target + "leer");
    MakeFolder(source + "ordner");
    WriteBytes(target + "ordner", "a target file named like a source folder");
    OpenLog();
    BoxAnswerer answerer;
    CleanTargetFolder(source.c_str(), target.c_str());
    EXPECT_TRUE(Exists(target + "bleibt.txt"));
    EXPECT_TRUE(Exists(target + "ordner"));
    EXPECT_FALSE(Exists(target + "weg.txt"));
    EXPECT_FALSE(Exists(target + "alt"));
    EXPECT_FALSE(Exists(target + "leer"));
    // weg.txt, x.txt, y.txt, alt and leer; checked: bleibt, weg, ordner, x, y.
    EXPECT_EQ(CleanedEntries, 5);
    EXPECT_EQ(CheckedTargetFiles, 5);
    EXPECT_EQ(ControlText(CleanedStatusLabel), "bereinigte Dateien: 5 / 5");
    std::string log = Log();
    EXPECT_NE(log.find("Datei gelöscht: " + target + "weg.txt\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("Datei gelöscht: " + target + "alt\\x.txt\r\n"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST_F(PassTest, CleanupOfAFolderWithTwoFilesShowsThreeOfTwo)
{
    WriteBytes(source + "anker.txt", "1");
    MakeFolder(target + "alt");
    WriteBytes(target + "alt\\x.txt", "x");
    WriteBytes(target + "alt\\y.txt", "y");
    CleanTargetFolder(source.c_str(), target.c_str());
    EXPECT_EQ(ControlText(CleanedStatusLabel), "bereinigte Dateien: 3 / 2");
}

TEST_F(PassTest, FailedDeletionIsReportedCancelsAndKeepsItsFolders)
{
    WriteBytes(source + "anker.txt", "1");
    MakeFolder(target + "a");
    MakeFolder(target + "a\\b");
    WriteBytes(target + "a\\b\\fest.txt", "ro");
    SetFileAttributesA((target + "a\\b\\fest.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    BoxAnswerer answerer;
    CleanTargetFolder(source.c_str(), target.c_str());
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text.rfind("Fehler beim Löschen der Datei '" + target + "a\\b\\fest.txt'\n\nFehler 5: ", 0), 0u)
        << answerer.Seen()[0].text;
    EXPECT_TRUE(IsCancelRequested());
    EXPECT_TRUE(Exists(target + "a\\b\\fest.txt"));
    EXPECT_EQ(CheckedTargetFiles, 1);
    EXPECT_EQ(CleanedEntries, 2) << "both folder removals are attempted and counted";
}

TEST_F(PassTest, MissingTargetIsPassedOverSilently)
{
    BoxAnswerer answerer;
    CleanTargetFolder(source.c_str(), (temp / "nichtda\\").c_str());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_FALSE(IsCancelRequested());
    EXPECT_EQ(CleanedEntries + CheckedTargetFiles, 0);
}

// Safety rule 1: a pass entered after a cancel deletes nothing.
TEST_F(PassTest, CleanupAfterACancelDeletesNothing)
{
    WriteBytes(target + "weg.txt", "2");
    MakeFolder(target + "alt");
    RequestCancel();
    CleanTargetFolder(source.c_str(), target.c_str());
    EXPECT_TRUE(Exists(target + "weg.txt"));
    EXPECT_TRUE(Exists(target + "alt"));
    EXPECT_EQ(CleanedEntries + CheckedTargetFiles, 0);
}

// Target entries whose source counterparts are too long for the file
// functions are kept and reported, and the run goes on.
TEST_F(PassTest, CounterpartsBeyondThePathLimitKeepTheTarget)
{
    std::string longSource = MakeUnlistableFolder(temp.path, 240 - temp.path.size());
    WriteBytes(longSource + "x", "x");
    std::string fileName(30, 'f'), folderName(30, 'g');
    WriteBytes(target + fileName, "a");
    MakeFolder(target + folderName);
    WriteBytes(target + folderName + "\\" + fileName, "inside");
    OpenLog();
    BoxAnswerer answerer;
    CleanTargetFolder(longSource.c_str(), target.c_str());
    EXPECT_TRUE(Exists(target + fileName));
    EXPECT_TRUE(Exists(target + folderName + "\\" + fileName));
    EXPECT_FALSE(IsCancelRequested());
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(LeftAloneEntries, 2);
    std::string log = Log();
    for (const std::string &name : {fileName, folderName})
        EXPECT_NE(log.find("WARNUNG - Eintrag ausgelassen: " + target + name + "\r\n"), std::string::npos) << log;
}

// A source that is gone, or a name that is not a folder: nothing is deleted.
TEST_F(PassTest, CleanupAgainstAVanishedSourceDeletesNothing)
{
    WriteBytes(target + "a.txt", "a");
    MakeFolder(target + "sub");
    const std::string badSources[] = {temp / "weg\\", temp / "bad|name\\"};
    for (const std::string &bad : badSources) {
        ClearCancel();
        BoxAnswerer answerer;
        CleanTargetFolder(bad.c_str(), target.c_str());
        EXPECT_TRUE(Exists(target + "a.txt")) << bad;
        EXPECT_TRUE(Exists(target + "sub")) << bad;
        EXPECT_TRUE(IsCancelRequested());
        EXPECT_EQ(answerer.Count("Fehler beim Ermitteln der Quelldateien im Pfad '" + bad + "'"), 1) << bad;
    }
}

// The same with a real symbolic link, made from the Linux side by the test
// fixture "prepare_links" (Wine reports it as a reparse point).
TEST_F(PassTest, CleanupLeavesWhatARealLinkPointsTo)
{
    const std::string links = "Z:\\tmp\\mirrorix-links\\";
    if (!Exists(links + "target\\link"))
        GTEST_SKIP() << "no symbolic link prepared at " << links;
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA((links + "target\\link").c_str(), GetFileExInfoStandard, &data));
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) << std::hex << data.dwFileAttributes;
    WriteBytes(source + "anker.txt", "1");
    CleanTargetFolder(source.c_str(), (links + "target\\").c_str());
    EXPECT_EQ(ReadBytes(links + "elsewhere\\wertvoll.txt"), "x\n");
    EXPECT_EQ(CheckedTargetFiles, 0) << "nothing behind the link was examined";
}

struct OverlapTest : PassTest {
    void SetPairs(std::initializer_list<const char *> entries)
    {
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (const char *entry : entries)
            SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
    }
};

TEST_F(OverlapTest, CleanupAllowedWarnsOnceForOverlappingFolders)
{
    struct Case { std::vector<const char *> entries; bool allowed; };
    const Case cases[] = {
        {{}, true},
        {{"'D:\\Daten\\' -> 'E:\\Kopie\\'"}, true},
        {{"'D:\\Daten\\' -> 'E:\\Kopie\\'", "'D:\\Bilder\\' -> 'E:\\Bilder\\'"}, true},
        {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup\\'"}, false},
        {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup\\Photos\\'"}, false},
        {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'e:\\backup\\photos\\'"}, false},
        {{"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup2\\'"}, true},
        {{"'D:\\Daten\\' -> 'D:\\Daten\\Kopie\\'"}, false},
        {{"'D:\\Daten\\Sub\\' -> 'D:\\daten\\'"}, false},
        {{"'D:\\A\\' -> 'E:\\Z\\'", "'E:\\Z\\Quelle\\' -> 'F:\\Y\\'"}, false},
        {{"'D:\\A\\' -> 'E:\\Z\\'", "kaputt", "'D:\\B\\' -> 'F:\\Y\\'"}, true},
    };
    for (const Case &c : cases) {
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (const char *entry : c.entries)
            SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
        BoxAnswerer answerer;
        LearnPairs();
        EXPECT_EQ(CleanupAllowed(), c.allowed) << (c.entries.empty() ? "" : c.entries.back());
        EXPECT_EQ(answerer.Seen().size(), c.allowed ? 0u : 1u);
        for (const SeenBox &box : answerer.Seen()) {
            EXPECT_EQ(box.title, "Hinweis");
            EXPECT_EQ(box.text, "Die Zielpfade ähneln sich.\nEs wird keine anschließende Bereinigung durchgeführt.");
        }
    }
}

TEST_F(OverlapTest, ClearedCheckBoxDisallowsCleanupSilently)
{
    SetPairs({"'D:\\A\\' -> 'E:\\Backup\\'", "'D:\\B\\' -> 'E:\\Backup\\'"});
    SendMessageA(CleanupCheckbox, BM_SETCHECK, BST_UNCHECKED, 0);
    BoxAnswerer answerer;
    EXPECT_FALSE(CleanupAllowed());
    EXPECT_TRUE(answerer.Seen().empty());
}

} // namespace
