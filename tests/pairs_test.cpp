// Pair entries, the pair list with its commands, and selection files.
#include "support.h"
#include "app/selectioncommands.h"
#include "pairs/autosave.h"
#include "pairs/pairentry.h"
#include "pairs/pairlist.h"
#include "pairs/selectionfile.h"

namespace {

const std::string ENTRY_1 = "'D:\\Daten\\' -> 'E:\\Kopie\\'", ENTRY_2 = "'D:\\Bilder\\' -> 'E:\\Bilder\\'",
                  NUL(1, '\0');

struct ListTest : ProgramFixture {
    void Choose(const std::string &from, const std::string &to)
    {
        strcpy(SourceFolder, from.c_str()), strcpy(TargetFolder, to.c_str()), OnFolderChosen();
    }
    void Add(const std::string &from, const std::string &to) { Choose(from, to), Click(AddPairButton); }
    void Select(int index)
    {
        SendMessageA(PairList, LB_SETCURSEL, index, 0),
            SendMessageA(MainWindow, WM_COMMAND, MAKEWPARAM(0, LBN_SELCHANGE), (LPARAM)PairList);
    }
};

// Lists are saved as "@@" and the entry per entry, then a NUL; loading keeps the well-formed entries, never loses a
// list.
TEST_F(ListTest, SavingAndLoadingFollowTheFileFormat)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    WriteBytes(std::string(windows) + "\\Ini.dat", ""); // the system folder is no place to look in
    ResolveAutoSavePath();
    DeleteFileA((std::string(windows) + "\\Ini.dat").c_str());
    EXPECT_EQ(AutoSavePath, temp / "Ini.dat");
    WriteBytes(temp / "Ini.dat.neu", "left by a save that was killed");
    for (const auto &c : {std::make_pair(std::vector<std::string>{ENTRY_1}, "@@" + ENTRY_1 + NUL),
                          {{ENTRY_1, ENTRY_2}, "@@" + ENTRY_1 + "@@" + ENTRY_2 + NUL},
                          {{}, ""}}) {
        SetList(c.first);
        BoxAnswerer answerer; // a failed save says so in a box
        ASSERT_TRUE(SavePairList(NULL));
        EXPECT_EQ(ReadBytes(temp / "Ini.dat"), c.second);
        EXPECT_FALSE(Exists(temp / "Ini.dat.neu"));
    }
    const std::pair<std::string, std::vector<std::string>> loads[] = {
        {"@@@@" + ENTRY_1 + "@@@@" + ENTRY_2 + NUL, {ENTRY_1, ENTRY_2}},
        {ENTRY_1 + "@@" + ENTRY_2, {ENTRY_1, ENTRY_2}},
        {"@@" + ENTRY_1 + NUL + "@@" + ENTRY_2, {ENTRY_1}},
        {"@@@@@", {}},
        {"@@'D:\\" + std::string(400, 'x') + "\\' -> 'E:\\y\\'@kein" + std::string(5000, '\xE4'),
         {"'D:\\" + std::string(400, 'x') + "\\' -> 'E:\\y\\'"}},
        {"@@" + ENTRY_1 + "@@kein Paar@@'D:\\a\\' -> 'E:\\b'@@" + std::string(3000, 'x') + "@@" + std::string(3, '\'') +
             "@@" + ENTRY_2,
         {ENTRY_1, ENTRY_2}}};
    BYTE *pages = (BYTE *)VirtualAlloc(NULL, 4 * 4096, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE),
         *end = pages + 3 * 4096;
    DWORD old;
    VirtualProtect(end, 4096, PAGE_NOACCESS, &old); // a byte read past a text's end faults
    for (const auto &c : loads) {
        std::vector<std::string> parsed;
        memcpy(end - c.first.size(), c.first.data(), c.first.size());
        ParseSelectionText((const char *)end - c.first.size(), (int)c.first.size(),
                           [](const char *entry, void *list) { ((std::vector<std::string> *)list)->push_back(entry); },
                           &parsed);
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
    EXPECT_EQ(Entries().size(), 2u);
    DeleteFileA((temp / "Ini.dat").c_str());
    EXPECT_FALSE(LoadPairList(NULL));
    EXPECT_FALSE(Exists(temp / "Ini.dat")) << "a missing Ini.dat is not made at the start";
    EXPECT_EQ(answerer.Seen().size(), 0u);
    WriteBytes(temp / "t.MirrorixPath",
               "@@'relativ\\' -> 'E:\\b\\'@@'C:relativ\\' -> 'E:\\b\\'"); // no valid entry: nothing changes
    SetList({ENTRY_2});
    EXPECT_FALSE(LoadPairList((temp / "t.MirrorixPath").c_str()));
    EXPECT_EQ(answerer.Count("Die Liste bleibt unverändert: keine gültige Sync-Auswahl in der Datei '" +
                             temp / "t.MirrorixPath'"),
              1);
    EXPECT_EQ(Entries(), std::vector<std::string>{ENTRY_2});
    EXPECT_FALSE(Exists(temp / "Ini.dat"));
    std::string large;
    while (large.size() <= 10000)
        large += "@@" + ENTRY_1;
    WriteBytes(temp / "Ini.dat", large); // a list over the load limit is set aside before a save could replace it
    EXPECT_FALSE(LoadPairList(NULL));
    EXPECT_EQ(answerer.Count("Sie wurde unverändert als '" + temp / "Ini.dat.gesichert-1' beiseitegelegt"), 1);
    EXPECT_EQ(ReadBytes(temp / "Ini.dat.gesichert-1"), large);
    ASSERT_TRUE(SavePairList(NULL));
    WriteBytes(temp / "Ini.dat", large);
    HANDLE held = Hold(temp / "Ini.dat"); // where setting it aside fails, nothing is saved over it
    EXPECT_FALSE(LoadPairList(NULL));
    EXPECT_FALSE(SavePairList(NULL));
    CloseHandle(held);
    EXPECT_EQ(answerer.Count("Sie wird nicht überschrieben"), 1);
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), large);
    DeleteFileA((temp / "Ini.dat").c_str());
    LoadPairList(NULL); // the next start saves again
    // clang-format off
    const std::pair<const char *, const char *> names[] = {{"C:\\x\\Liste", "C:\\x\\Liste.MirrorixPath"},
        {"C:\\l.mirrorixpath", "C:\\l.mirrorixpath.MirrorixPath"}, {"C:\\a.MirrorixPath.alt", "C:\\a.MirrorixPath.alt"},
        {"C:\\y.MirrorixPath\\L", "C:\\y.MirrorixPath\\L"}};
    // clang-format on
    for (const auto &c : names) {
        char name[FILE_NAME_BUFFER];
        EXPECT_TRUE(AddSelectionExtension(strcpy(name, c.first), sizeof name));
        EXPECT_STREQ(name, c.second);
    }
}

// Add, select and remove change the list, the buttons and Ini.dat; adding refuses what an entry or the file cannot
// carry.
TEST_F(ListTest, AddAndRemoveKeepTheButtonsAndRefuseUnsafePairs)
{
    WriteBytes(temp / "Ini.dat", "@@kaputt"); // the start's notices come once the window is whole and owns them
    DestroyWindow(MainWindow);
    PumpUntil();
    std::string whole;
    {
        BoxAnswerer starting([&](const std::string &, const std::string &) {
            return whole += IsWindow(MainWindow) && IsWindow(CleanupCheckbox) ? "1" : "0", IDOK;
        });
        ASSERT_NE(CreateMainWindow(GetModuleHandleA(NULL), SW_HIDE), (HWND)NULL);
    }
    EXPECT_EQ(whole, "11") << "no valid entry, and where it was set aside";
    EnableWindow(SyncButton, FALSE);
    Choose("D:\\Daten\\", "");
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    Choose("D:\\Daten\\", "E:\\Kopie\\");
    EXPECT_TRUE(IsWindowEnabled(AddPairButton));
    Click(AddPairButton);
    EXPECT_FALSE(IsWindowEnabled(AddPairButton));
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    EXPECT_EQ(ControlText(SourceEdit) + SourceFolder + TargetFolder, "");
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), "@@" + ENTRY_1 + NUL);
    Add("D:\\Bilder\\", "E:\\Bilder\\");
    Select(1);
    EXPECT_TRUE(IsWindowEnabled(RemovePairButton));
    Add("D:\\Neu\\", "E:\\Neu\\");
    Click(RemovePairButton);
    EXPECT_EQ(Entries(), (std::vector<std::string>{ENTRY_1, "'D:\\Neu\\' -> 'E:\\Neu\\'"}));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
    Select(0);
    Click(RemovePairButton);
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    Select(0);
    Click(RemovePairButton);
    EXPECT_FALSE(IsWindowEnabled(SyncButton));
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), "");
    ASSERT_TRUE(RunShell("mkdir -p '" + UnixPath(temp / "A/sub") + "' && ln -s '" + UnixPath(temp / "A") + "' '" +
                         UnixPath(temp / "verweis") + "'"));
    const std::pair<std::string, std::string> unsafe[] = {{"D:\\Peter's\\", "E:\\K\\"},
                                                          {"D:\\D\\", "E:\\m@il\\"},
                                                          {"D:\\D\\", "D:\\D\\K\\"},
                                                          {"D:\\d\\k\\", "D:\\D\\"},
                                                          {temp / "A\\sub\\", temp / "verweis\\"},
                                                          {temp / "A\\", temp / "A.\\sub\\"}};
    BoxAnswerer answerer;
    for (const auto &pair : unsafe)
        Add(pair.first, pair.second);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(answerer.Count("Apostroph"), 2);
    EXPECT_EQ(answerer.Count("weder im Quellordner liegen noch ihn enthalten"), 4);
    for (int i = 0; i < 22; i++)
        Add("C:\\" + std::string(240, 's') + "\\", "E:\\" + std::string(237, '0') + std::to_string(100 + i) + "\\");
    Add("C:\\" + std::string(20, 'k') + "\\", "E:\\y\\"); // 37 characters: the list takes exactly 10000 bytes
    EXPECT_EQ(Entries().size(), 21u) << "each long entry takes 496 + 2 bytes";
    EXPECT_EQ(answerer.Count("höchstens 10000 Bytes"), 2);
    EXPECT_EQ(ReadBytes(temp / "Ini.dat").size(), 10000u);
    SetList({});
    LoadPairList(NULL);
    EXPECT_EQ(Entries().size(), 21u);
}

// The open and save commands confirm only success; Ini.dat stays where the start found it.
TEST_F(ListTest, OpenAndSaveCommandsConfirmOnlySuccess)
{
    SetList({ENTRY_1});
    BoxAnswerer answerer;
    answerer.SetChoice(temp / "Liste");
    Menu(SaveAsMenuItem);
    EXPECT_EQ(ReadBytes(temp / "Liste.MirrorixPath"), "@@" + ENTRY_1 + NUL);
    MakeFolder(temp / "anderswo");
    SetCurrentDirectoryA((temp / "anderswo").c_str()); // as a dialog may leave it
    SetList({});
    EnableWindow(SyncButton, FALSE);
    EnableWindow(RemovePairButton, TRUE);
    answerer.SetChoice(temp / "Liste.MirrorixPath");
    Menu(OpenMenuItem);
    EXPECT_EQ(Entries(), std::vector<std::string>{ENTRY_1});
    EXPECT_TRUE(IsWindowEnabled(SyncButton));
    EXPECT_FALSE(IsWindowEnabled(RemovePairButton));
    EXPECT_FALSE(Exists(temp / "anderswo\\Ini.dat"));
    WriteBytes(temp / "gross.MirrorixPath", std::string(20000, '@'));
    answerer.SetChoice(temp / "gross.MirrorixPath");
    Menu(OpenMenuItem);
    answerer.SetChoice("");
    Menu(OpenMenuItem);
    Menu(SaveAsMenuItem);
    MakeFolder(temp / "Ini.dat.neu");
    SetList({ENTRY_2});
    EXPECT_FALSE(SavePairList(NULL));
    std::vector<SeenBox> seen = answerer.Seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].title + ": " + seen[0].text, "Gespeichert: Ihre Auswahl wurde gespeichert");
    EXPECT_EQ(seen[1].title + ": " + seen[1].text, "Geladen: Ihre Auswahl wurde geladen");
    EXPECT_NE(seen[2].text.find("gross.MirrorixPath'\n\nFehler 223: "), std::string::npos) << seen[2].text;
    EXPECT_NE(seen[3].text.find("gespeichert werden in '" + temp / "Ini.dat'"), std::string::npos) << seen[3].text;
    EXPECT_EQ(ReadBytes(temp / "Ini.dat"), "@@" + ENTRY_1 + NUL);
}

} // namespace
