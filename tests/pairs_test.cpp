// Pair entries, the pair list with its commands, and selection files.
#include "support.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "app/selectioncommands.h"
#include "pairs/autosave.h"
#include "pairs/selectionfile.h"

namespace {

const std::string ENTRY_1 = "'D:\\Daten\\' -> 'E:\\Kopie\\'", ENTRY_2 = "'D:\\Bilder\\' -> 'E:\\Bilder\\'", NUL(1, '\0');

// An entry is "'" source "' -> '" target "'", split back into both folders;
// fewer than three pieces give none; only the exact composed form of two
// folders ending in a backslash, without ' or @, is well formed.
TEST(PairEntry, ComposeAndSplit)
{
    char entry[PAIR_COMPOSE_MAX], source[PAIR_TEXT_MAX], target[PAIR_TEXT_MAX];
    for (const auto &f : {std::make_pair("D:\\Daten\\", "E:\\Kopie\\"), {"D:\\", "E:\\S\\"}, {"C:\\Ä ö\\", "\\\\server\\share\\"}}) {
        ASSERT_TRUE(ComposePairEntry(f.first, f.second, entry, sizeof entry));
        EXPECT_EQ(std::string(entry), std::string("'") + f.first + "' -> '" + f.second + "'");
        ASSERT_TRUE(SplitPairEntry(entry, source, sizeof source, target, sizeof target));
        EXPECT_EQ(std::string(source) + "|" + target, std::string(f.first) + "|" + f.second);
        EXPECT_TRUE(IsWellFormedPairEntry(entry)) << entry;
    }
    EXPECT_FALSE(ComposePairEntry("D:\\Daten\\", "E:\\Kopie\\", entry, 26));
    for (const char *bad : {"", "''''", "'D:\\a\\' -> '", "D:\\a\\", "@@"}) {
        EXPECT_FALSE(SplitPairEntry(bad, source, sizeof source, target, sizeof target)) << bad;
        EXPECT_EQ(std::string(source) + target, "") << bad;
    }
    ASSERT_TRUE(SplitPairEntry("''A''B''C'D'", source, sizeof source, target, sizeof target));
    EXPECT_EQ(std::string(source) + target, "AC");
    for (const char *bad : {"'D:\\a' -> 'E:\\b\\'", "'D:\\a\\' -> 'E:\\b\\' ", "'D:\\a\\' => 'E:\\b\\'", "'D:\\a\\' -> 'E:\\b\\'x'",
                            "'' -> 'E:\\b\\'", "'D:\\m@il\\' -> 'E:\\b\\'"})
        EXPECT_FALSE(IsWellFormedPairEntry(bad)) << bad;
}

struct ListTest : ProgramFixture {
    std::vector<std::string> Entries()
    {
        std::vector<std::string> entries;
        for (int i = 0; i < PairCount(); i++) {
            char text[PAIR_TEXT_MAX];
            GetPairEntry(i, text);
            entries.push_back(text);
        }
        return entries;
    }
    void SetList(const std::vector<std::string> &entries)
    {
        SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
        for (const std::string &entry : entries)
            SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry.c_str());
    }
    void Choose(const std::string &from, const std::string &to)
    {
        strcpy(SourceFolder, from.c_str());
        strcpy(TargetFolder, to.c_str());
        OnFolderChosen();
    }
};

// Saved lists are "@@" and the entry per entry, then one NUL (an empty list
// is an empty file). Loading splits at runs of "@" up to the first NUL and
// keeps the well formed entries (one notice for the rest); a chosen file
// rewrites Ini.dat, the start does not; a missing Ini.dat gives an empty list.
// Ini.dat is looked for beside the program (see the end-to-end test), then
// in the current folder, not in the system folder.
TEST_F(ListTest, SavingAndLoadingFollowTheFileFormat)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    WriteBytes(std::string(windows) + "\\Ini.dat", ""); // the system folder is no place to look in
    ResolveAutoSavePath();
    DeleteFileA((std::string(windows) + "\\Ini.dat").c_str());
    EXPECT_EQ(AutoSavePath, temp / "Ini.dat");
    for (const auto &c : {std::make_pair(std::vector<std::string>{ENTRY_1}, "@@" + ENTRY_1 + NUL), {{ENTRY_1, ENTRY_2}, "@@" + ENTRY_1 + "@@" + ENTRY_2 + NUL}, {{}, ""}}) {
        SetList(c.first);
        ASSERT_TRUE(SavePairList(NULL));
        EXPECT_EQ(ReadBytes(temp / "Ini.dat"), c.second);
        EXPECT_FALSE(Exists(temp / "Ini.dat.neu"));
    }
    const std::pair<std::string, std::vector<std::string>> loads[] = {
        {"@@@@" + ENTRY_1 + "@@@@" + ENTRY_2 + NUL, {ENTRY_1, ENTRY_2}}, {ENTRY_1 + "@@" + ENTRY_2, {ENTRY_1, ENTRY_2}},
        {"@@" + ENTRY_1 + NUL + "@@" + ENTRY_2, {ENTRY_1}}, {"@@@@@", {}},
        {"@@'D:\\" + std::string(400, 'x') + "\\' -> 'E:\\y\\'@kein" + std::string(5000, '\xE4'), {"'D:\\" + std::string(400, 'x') + "\\' -> 'E:\\y\\'"}},
        {"@@" + ENTRY_1 + "@@kein Paar@@'D:\\a\\' -> 'E:\\b'@@" + std::string(3000, 'x') + "@@" + std::string(3, '\'') + "@@" + ENTRY_2, {ENTRY_1, ENTRY_2}}};
    BYTE *pages = (BYTE *)VirtualAlloc(NULL, 4 * 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE), *end = pages + 3 * 4096;
    DWORD old;
    VirtualProtect(end, 4096, PAGE_NOACCESS, &old); // a byte read past a text's end faults
    for (const auto &c : loads) {
        std::vector<std::string> parsed;
        memcpy(end - c.first.size(), c.first.data(), c.first.size());
        ParseSelectionText((const char *)end - c.first.size(), (int)c.first.size(), [](const char *entry, void *list) { ((std::vector<std::string> *)list)->push_back(entry); }, &parsed);
        EXPECT_EQ(parsed, c.second) << c.first;
        WriteBytes(temp / "t.MirrorixPath", c.first);
        SetList({ENTRY_2});
        BoxAnswerer answerer;
        EXPECT_TRUE(LoadPairList((temp / "t.MirrorixPath").c_str()));
        EXPECT_EQ(Entries(), c.second) << c.first;
        EXPECT_EQ(answerer.Count("keine gültigen Sync-Auswahlen"), c.first.find("kein") != std::string::npos);
        std::string saved = c.second.empty() ? "" : NUL;
        for (auto e = c.second.rbegin(); e != c.second.rend(); e++)
            saved = "@@" + *e + saved;
        EXPECT_EQ(ReadBytes(temp / "Ini.dat"), saved);
    }
    VirtualFree(pages, 0, MEM_RELEASE);
    SetFileAttributesA((temp / "Ini.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    BoxAnswerer answerer;
    ASSERT_TRUE(LoadPairList(NULL)) << "the start does not rewrite Ini.dat";
    SetFileAttributesA((temp / "Ini.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA((temp / "Ini.dat").c_str());
    EXPECT_FALSE(LoadPairList(NULL) || Exists(temp / "Ini.dat"));
    EXPECT_EQ(Entries().size() * 10 + answerer.Seen().size(), 20u);
    for (const auto &c : {std::make_pair("C:\\x\\Liste", "C:\\x\\Liste.MirrorixPath"), {"C:\\l.mirrorixpath", "C:\\l.mirrorixpath.MirrorixPath"},
                          {"C:\\a.MirrorixPath.alt", "C:\\a.MirrorixPath.alt"}, {"C:\\y.MirrorixPath\\L", "C:\\y.MirrorixPath\\L"}}) {
        char name[FILE_NAME_BUFFER];
        strcpy(name, c.first);
        EXPECT_TRUE(AddSelectionExtension(name, sizeof name) && strcmp(name, c.second) == 0) << name;
    }
}

// Adding appends, empties the chosen folders and saves; removing deletes
// the entry selected last; the buttons follow the list. Adding refuses
// folders a pair entry cannot carry, folders that are one or lie inside each
// other however they are written, and a pair the list has no room for (a
// file holds at most 10000 bytes, the final NUL included).
TEST_F(ListTest, AddAndRemoveKeepTheButtonsAndRefuseUnsafePairs)
{
    for (HWND button : {AddPairButton, RemovePairButton, SyncButton})
        EnableWindow(button, FALSE);
    Choose("D:\\Daten\\", "");
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    Choose("D:\\Daten\\", "E:\\Kopie\\");
    EXPECT_TRUE(IsWindowEnabled(AddPairButton));
    ::AddPair();
    EXPECT_TRUE(!IsWindowEnabled(AddPairButton) && IsWindowEnabled(SyncButton));
    EXPECT_EQ(ControlText(SourceEdit) + SourceFolder + TargetFolder + ReadBytes(temp / "Ini.dat"), "@@" + ENTRY_1 + NUL);
    Choose("D:\\Bilder\\", "E:\\Bilder\\");
    ::AddPair();
    SendMessageA(PairList, LB_SETCURSEL, 1, 0);
    OnPairSelectionChanged();
    EXPECT_TRUE(IsWindowEnabled(RemovePairButton));
    Choose("D:\\Neu\\", "E:\\Neu\\");
    ::AddPair();
    RemovePair();
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1, "'D:\\Neu\\' -> 'E:\\Neu\\'"}));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
    SelectedPairIndex = 0;
    RemovePair();
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    RemovePair();
    EXPECT_FALSE(IsWindowEnabled(SyncButton) || ReadBytes(temp / "Ini.dat") != "");
    MakeFolder(temp / "A");
    MakeFolder(temp / "A\\sub");
    ASSERT_TRUE(RunShell("ln -s '" + UnixPath(temp / "A") + "' '" + UnixPath(temp / "verweis") + "'"));
    const std::pair<std::string, std::string> unsafe[] = {{"D:\\Peter's\\", "E:\\K\\"}, {"D:\\D\\", "E:\\m@il\\"}, {"D:\\D\\", "D:\\D\\K\\"},
        {"D:\\d\\k\\", "D:\\D\\"}, {temp / "A\\sub\\", temp / "verweis\\"}, {temp / "A\\", temp / "A.\\sub\\"}};
    BoxAnswerer answerer;
    for (const auto &pair : unsafe) {
        Choose(pair.first, pair.second);
        ::AddPair();
    }
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(answerer.Count("Apostroph") * 100 + answerer.Count("weder im Quellordner liegen noch ihn enthalten"), 204);
    for (int i = 0; i < 22; i++) {
        char target[300];
        snprintf(target, sizeof target, "E:\\%0240d\\", i);
        Choose("C:\\" + std::string(240, 's') + "\\", target);
        ::AddPair();
    }
    Choose("C:\\" + std::string(20, 'k') + "\\", "E:\\y\\"); // 37 characters: the list takes exactly 10000 bytes
    ::AddPair();
    EXPECT_EQ(Entries().size() * 10 + answerer.Count("höchstens 10000 Bytes"), 212u) << "each long entry takes 496 + 2 bytes";
    EXPECT_EQ(ReadBytes(temp / "Ini.dat").size(), 10000u);
    SetList({});
    LoadPairList(NULL);
    EXPECT_EQ(Entries().size(), 21u);
}

// The open and save commands confirm only success: a file over 10000 bytes,
// one that cannot be read and a cancelled dialog change nothing; a failed
// save keeps the old file; Ini.dat stays where the start found it.
TEST_F(ListTest, OpenAndSaveCommandsConfirmOnlySuccess)
{
    SetList({ENTRY_1});
    BoxAnswerer answerer;
    answerer.SetChoice(temp / "Liste");
    SaveSelectionFile();
    EXPECT_EQ(ReadBytes(temp / "Liste.MirrorixPath"), "@@" + ENTRY_1 + NUL);
    MakeFolder(temp / "anderswo");
    SetCurrentDirectoryA((temp / "anderswo").c_str());
    SetList({});
    EnableWindow(SyncButton, FALSE);
    EnableWindow(RemovePairButton, TRUE);
    answerer.SetChoice(temp / "Liste.MirrorixPath");
    OpenSelectionFile();
    EXPECT_EQ(Entries(), std::vector<std::string>{ENTRY_1});
    EXPECT_TRUE(IsWindowEnabled(SyncButton) && !IsWindowEnabled(RemovePairButton) && !Exists(temp / "anderswo\\Ini.dat"));
    WriteBytes(temp / "gross.MirrorixPath", std::string(20000, '@'));
    answerer.SetChoice(temp / "gross.MirrorixPath");
    OpenSelectionFile();
    answerer.SetChoice("");
    OpenSelectionFile();
    SaveSelectionFile();
    WriteBytes(temp / "gesperrt.MirrorixPath", "@@" + ENTRY_2 + NUL);
    HANDLE lock = CreateFileA((temp / "gesperrt.MirrorixPath").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_FALSE(LoadPairList((temp / "gesperrt.MirrorixPath").c_str()));
    CloseHandle(lock);
    MakeFolder(temp / "Ini.dat.neu");
    SetList({ENTRY_2});
    EXPECT_FALSE(SavePairList(NULL));
    std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0].title + seen[0].text + "|" + seen[1].title + seen[1].text, "GespeichertIhre Auswahl wurde gespeichert|GeladenIhre Auswahl wurde geladen");
    EXPECT_NE(seen[2].text.find("gross.MirrorixPath'\n\nFehler 223: "), std::string::npos) << seen[2].text;
    EXPECT_NE(seen[3].text.find("geladen werden aus '" + temp / "gesperrt.MirrorixPath'\n\nFehler 32: "), std::string::npos);
    EXPECT_NE(seen[4].text.find("gespeichert werden in '" + temp / "Ini.dat'"), std::string::npos);
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), "@@" + ENTRY_1 + NUL);
}

} // namespace
