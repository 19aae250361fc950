// Selection files, the auto-save file and the sync-pair list.
#include "support.h"
#include "app/controls.h"
#include "app/mainwindow.h"
#include "engine/texts.h"
#include "resources/resource.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "pairs/selectionfile.h"
#include <gtest/gtest.h>
#include <random>

namespace {

const char ENTRY_1[] = "'D:\\Daten\\' -> 'E:\\Kopie\\'";
const char ENTRY_2[] = "'D:\\Bilder\\' -> 'E:\\Bilder\\'";

struct ListTest : ::testing::Test {
    TempFolder temp;
    void SetUp() override
    {
        CreateStandInControls();
        AutoSavePath[0] = 0;
        ResolveAutoSavePath();
        SelectedPairIndex = 0;
        SourceFolder[0] = TargetFolder[0] = 0;
    }
    void TearDown() override { DestroyStandInControls(); }
    std::vector<std::string> Entries()
    {
        std::vector<std::string> entries;
        int count = (int)SendMessageA(PairList, LB_GETCOUNT, 0, 0);
        for (int i = 0; i < count; i++) {
            char text[PAIR_TEXT_MAX];
            GetPairEntry(i, text);
            entries.push_back(text);
        }
        return entries;
    }
    void SetList(std::initializer_list<const char *> entries)
    {
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (const char *entry : entries)
            SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
    }
    void Choose(const std::string &source, const std::string &target)
    {
        strcpy(SourceFolder, source.c_str());
        strcpy(TargetFolder, target.c_str());
        OnFolderChosen();
    }
};

TEST_F(ListTest, SavedFilesAreByteExact)
{
    EXPECT_EQ(AutoSavePath, temp / "Ini.dat");
    SetList({ENTRY_1});
    ASSERT_TRUE(SavePairList(NULL));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), std::string("@@") + ENTRY_1 + std::string(1, '\0'));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat").size(), 29u);
    SetList({ENTRY_1, ENTRY_2});
    ASSERT_TRUE(SavePairList((temp / "zwei.MirrorixPath").c_str()));
    EXPECT_EQ(ReadBytes(temp / "zwei.MirrorixPath"), std::string("@@") + ENTRY_1 + "@@" + ENTRY_2 + std::string(1, '\0'));
    EXPECT_EQ(ReadBytes(temp / "zwei.MirrorixPath").size(), 59u);
    SetList({});
    ASSERT_TRUE(SavePairList(NULL));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), "");
    EXPECT_FALSE(Exists(temp / "Ini.dat.neu"));
}

TEST_F(ListTest, ReadingRuleSplitsAtMarkerRunsUpToTheFirstNul)
{
    struct Case { std::string bytes; std::vector<std::string> entries; };
    const std::string a = ENTRY_1, b = ENTRY_2;
    const Case cases[] = {
        {"@@@@" + a + "@@@@" + b + std::string(1, '\0'), {a, b}},
        {a + "@@" + b, {a, b}},
        {"@@" + a + std::string(1, '\0') + "@@" + b, {a}},
        {"", {}},
        {"@@@@@", {}},
    };
    for (const Case &c : cases) {
        WriteBytes(temp / "t.MirrorixPath", c.bytes);
        SetList({ENTRY_2});
        BoxAnswerer answerer;
        EXPECT_TRUE(LoadPairList((temp / "t.MirrorixPath").c_str()));
        EXPECT_EQ(Entries(), c.entries) << c.bytes;
        EXPECT_TRUE(answerer.Seen().empty());
    }
}

TEST_F(ListTest, LoadingAChosenFileMakesTheAutoSaveFileEqualToIt)
{
    SetList({ENTRY_1, ENTRY_2});
    ASSERT_TRUE(SavePairList((temp / "a.MirrorixPath").c_str()));
    SetList({});
    SavePairList(NULL);
    ASSERT_TRUE(LoadPairList((temp / "a.MirrorixPath").c_str()));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), ReadBytes(temp / "a.MirrorixPath"));
    // Loading the auto-save file at start does not rewrite it.
    SetFileAttributesA((temp / "Ini.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    BoxAnswerer answerer;
    ASSERT_TRUE(LoadPairList(NULL));
    EXPECT_TRUE(answerer.Seen().empty());
    EXPECT_EQ(Entries().size(), 2u);
    SetFileAttributesA((temp / "Ini.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    // A missing auto-save file gives an empty list and creates no file.
    DeleteFileA((temp / "Ini.dat").c_str());
    SetList({});
    EXPECT_FALSE(LoadPairList(NULL));
    EXPECT_FALSE(Exists(temp / "Ini.dat"));
    EXPECT_TRUE(answerer.Seen().empty());
}

TEST(SelectionExtension, AppendedUnlessContainedExactly)
{
    struct Case { const char *name, *result; };
    const Case cases[] = {
        {"C:\\x\\Liste", "C:\\x\\Liste.MirrorixPath"},
        {"C:\\x\\liste.mirrorixpath", "C:\\x\\liste.mirrorixpath.MirrorixPath"},
        {"C:\\x\\a.MirrorixPath.alt", "C:\\x\\a.MirrorixPath.alt"},
        {"C:\\y.MirrorixPath\\Liste", "C:\\y.MirrorixPath\\Liste"},
    };
    for (const Case &c : cases) {
        char name[FILE_NAME_BUFFER];
        strcpy(name, c.name);
        EXPECT_TRUE(AddSelectionExtension(name, sizeof name));
        EXPECT_STREQ(name, c.result);
    }
}

TEST_F(ListTest, AddRemoveAndSelectionKeepTheButtonStates)
{
    EnableWindow(AddPairButton, FALSE);
    EnableWindow(RemovePairButton, FALSE);
    EnableWindow(SyncButton, FALSE);
    strcpy(SourceFolder, "D:\\Daten\\");
    OnFolderChosen();
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    Choose("D:\\Daten\\", "E:\\Kopie\\");
    EXPECT_TRUE(IsWindowEnabled(AddPairButton));
    AddPair();
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    EXPECT_EQ(ControlText(SourceEdit), "");
    EXPECT_STREQ(SourceFolder, "");
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), std::string("@@") + ENTRY_1 + std::string(1, '\0'));

    Choose("D:\\Bilder\\", "E:\\Bilder\\");
    AddPair();
    Choose("D:\\Daten\\", "E:\\Kopie\\");
    AddPair();
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1, ENTRY_2, ENTRY_1}));

    // Select the second, append one more, remove: the selected one goes.
    SendMessageA(PairList, LB_SETCURSEL, 1, 0);
    OnPairSelectionChanged();
    EXPECT_EQ(SelectedPairIndex, 1);
    EXPECT_TRUE(IsWindowEnabled(RemovePairButton));
    Choose("D:\\Neu\\", "E:\\Neu\\");
    AddPair();
    RemovePair();
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1, ENTRY_1, "'D:\\Neu\\' -> 'E:\\Neu\\'"}));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    SelectedPairIndex = 0;
    RemovePair();
    RemovePair();
    RemovePair();
    EXPECT_FALSE(IsWindowEnabled(SyncButton));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), "");
}

TEST_F(ListTest, OpenAndSaveCommandsConfirmOnlySuccess)
{
    SetList({ENTRY_1});
    EnableWindow(RemovePairButton, TRUE);
    {
        BoxAnswerer answerer;
        answerer.SetFileName(temp / "Liste");
        SaveSelectionFile();
        EXPECT_EQ(answerer.FileDialogs(), 1);
        EXPECT_EQ(answerer.Count("Ihre Auswahl wurde gespeichert"), 1);
        EXPECT_EQ(ReadBytes(temp / "Liste.MirrorixPath").size(), 29u);
    }
    {
        SetList({});
        EnableWindow(SyncButton, FALSE);
        BoxAnswerer answerer;
        answerer.SetFileName(temp / "Liste.MirrorixPath");
        OpenSelectionFile();
        EXPECT_EQ(answerer.Count("Ihre Auswahl wurde geladen"), 1);
        EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1}));
        EXPECT_TRUE(IsWindowEnabled(SyncButton));
        EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
        for (const SeenBox &box : answerer.Seen())
            if (box.text == "Ihre Auswahl wurde geladen") {
                EXPECT_EQ(box.title, "Geladen");
            }
    }
    {
        // Too large: refused with a notice, no confirmation, list unchanged.
        WriteBytes(temp / "gross.MirrorixPath", std::string(20000, '@'));
        BoxAnswerer answerer;
        answerer.SetFileName(temp / "gross.MirrorixPath");
        OpenSelectionFile();
        EXPECT_EQ(answerer.Count("Ihre Auswahl wurde geladen"), 0);
        EXPECT_EQ(answerer.Count("gross.MirrorixPath'\n\nFehler 223: "), 1);
        EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1}));
    }
    {
        // A save that cannot write: a notice, no confirmation.
        MakeFolder(temp / "blockiert.MirrorixPath.neu");
        BoxAnswerer answerer;
        answerer.SetFileName(temp / "blockiert");
        SaveSelectionFile();
        EXPECT_EQ(answerer.Count("Ihre Auswahl wurde gespeichert"), 0);
        EXPECT_EQ(answerer.Count("Die Sync-Auswahl konnte nicht gespeichert werden in '" + temp / "blockiert.MirrorixPath'"), 1);
    }
}

// Mended fault 1: a failed save leaves the previous file intact.
TEST_F(ListTest, FailedSaveKeepsThePreviousFile)
{
    SetList({ENTRY_1, ENTRY_2});
    ASSERT_TRUE(SavePairList(NULL));
    std::string before = ReadBytes(temp / "Ini.dat");
    MakeFolder(temp / "Ini.dat.neu");
    SetList({ENTRY_1});
    BoxAnswerer answerer;
    EXPECT_FALSE(SavePairList(NULL));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), before);
    EXPECT_EQ(answerer.Count("Die Sync-Auswahl konnte nicht gespeichert werden in '" + temp / "Ini.dat'"), 1);
}

// Mended fault 3: a failed read changes nothing.
TEST_F(ListTest, FailedReadChangesNothing)
{
    SetList({ENTRY_1});
    SavePairList(NULL);
    std::string held = temp / "gesperrt.MirrorixPath";
    WriteBytes(held, std::string("@@") + ENTRY_2 + std::string(1, '\0'));
    HANDLE lock = CreateFileA(held.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    BoxAnswerer answerer;
    EXPECT_FALSE(LoadPairList(held.c_str()));
    CloseHandle(lock);
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1}));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), std::string("@@") + ENTRY_1 + std::string(1, '\0'));
    EXPECT_EQ(answerer.Count("Die Sync-Auswahl konnte nicht geladen werden aus '" + held + "'\n\nFehler 32: "), 1);
}

// Mended fault 4: a folder change (as after a file dialog) does not move the auto-save file.
TEST_F(ListTest, AutoSaveStaysWhereTheStartFoundIt)
{
    MakeFolder(temp / "anderswo");
    SetCurrentDirectoryA((temp / "anderswo").c_str());
    Choose("D:\\Daten\\", "E:\\Kopie\\");
    AddPair();
    EXPECT_FALSE(Exists(temp / "anderswo\\Ini.dat"));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat").size(), 29u);
    SetList({});
    EXPECT_TRUE(LoadPairList(NULL));
    EXPECT_EQ(Entries().size(), 1u);
}

// Mended fault 5: the list never grows beyond what a load can read.
TEST_F(ListTest, AddRefusesAPairThatWouldOverfillTheFile)
{
    std::string source = "C:\\" + std::string(240, 's') + "\\";
    int added = 0;
    BoxAnswerer answerer;
    for (int i = 0; i < 30; i++) {
        char target[300];
        snprintf(target, sizeof target, "E:\\%0240d\\", i);
        Choose(source, target);
        AddPair();
        added = (int)Entries().size();
    }
    EXPECT_EQ(added, 20) << "each entry takes 496 + 2 bytes";
    EXPECT_EQ(answerer.Count("höchstens 10000 Bytes"), 10);
    EXPECT_LE(ReadBytes(temp / "Ini.dat").size(), (size_t)SELECTION_READ_MAX);
    SetList({});
    LoadPairList(NULL);
    EXPECT_EQ((int)Entries().size(), added);
}

// Mended fault 6: folders a pair entry cannot carry, and nested pairs, are refused.
TEST_F(ListTest, AddRefusesUnsafeFolders)
{
    struct Case { const char *source, *target, *notice; };
    const Case cases[] = {
        {"D:\\Peter's\\", "E:\\Kopie\\", "Apostroph"},
        {"D:\\Daten\\", "E:\\mail@home\\", "At-Zeichen"},
        {"D:\\Daten\\", "D:\\Daten\\Kopie\\", "weder im Quellordner"},
        {"D:\\daten\\kopie\\", "D:\\Daten\\", "weder im Quellordner"},
        {"D:\\Daten\\", "d:\\daten\\", "weder im Quellordner"},
    };
    for (const Case &c : cases) {
        BoxAnswerer answerer;
        Choose(c.source, c.target);
        AddPair();
        EXPECT_TRUE(Entries().empty()) << c.source << " " << c.target;
        EXPECT_EQ(answerer.Count(c.notice), 1) << c.source << " " << c.target;
        for (const SeenBox &box : answerer.Seen())
            EXPECT_EQ(box.title, "Hinweis");
    }
    EXPECT_FALSE(Exists(temp / "Ini.dat"));
}

TEST_F(ListTest, HostileFilesLoadSafely)
{
    std::mt19937 random(1234);
    std::string valid = std::string("@@") + ENTRY_1;
    std::vector<std::string> files = {
        std::string(20000, 'x'),
        std::string(10001, '@'),
        "@@'" + std::string(5000, 'a') + "\\' -> 'E:\\b\\'" + "@@" + ENTRY_2,
        valid + "@@kein Paar@@'D:\\a\\' -> 'E:\\b'@@" + ENTRY_2,
        valid + std::string(10000 - valid.size(), 'z'),
    };
    std::string noise(9000, 0);
    for (char &c : noise)
        c = (char)(random() % 256);
    files.push_back(noise);
    for (size_t i = 0; i < files.size(); i++) {
        WriteBytes(temp / "feind.MirrorixPath", files[i]);
        SetList({ENTRY_1});
        BoxAnswerer answerer;
        LoadPairList((temp / "feind.MirrorixPath").c_str());
        for (const std::string &entry : Entries()) {
            EXPECT_LT(entry.size(), (size_t)PAIR_TEXT_MAX);
            EXPECT_TRUE(IsWellFormedPairEntry(entry.c_str())) << entry;
        }
        EXPECT_LE(answerer.Seen().size(), 1u) << "file " << i;
    }
    // The pieces that are pair entries load, in order.
    WriteBytes(temp / "feind.MirrorixPath", files[3]);
    BoxAnswerer answerer;
    LoadPairList((temp / "feind.MirrorixPath").c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1, ENTRY_2}));
    EXPECT_EQ(answerer.Count("keine gültigen Sync-Auswahlen"), 1);
    // Over 10000 bytes: nothing replaced.
    WriteBytes(temp / "feind.MirrorixPath", files[0]);
    LoadPairList((temp / "feind.MirrorixPath").c_str());
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1, ENTRY_2}));
}

} // namespace
