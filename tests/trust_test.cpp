// What a run may touch: only the target the user chose, however the folders
// are written; never what a link points to; never the old version of a file
// when a copy fails; never the program's own files.
#include "support.h"
#include "app/controls.h"
#include "engine/copyfile.h"
#include "engine/passes.h"
#include "engine/runstate.h"
#include "engine/texts.h"
#include "pairs/selectionfile.h"
#include <gtest/gtest.h>

namespace {

struct TrustTest : RunFixture {
    // A fresh case folder holding "Gemeinsamer Ordner\" (A) with a source
    // inside, a backup folder and neighbours beside it.
    std::string MakeCase(int number)
    {
        std::string root = temp / ("fall" + std::to_string(number) + "\\");
        std::string a = root + "Gemeinsamer Ordner\\";
        for (const char *folder : {"", "Gemeinsamer Ordner", "Gemeinsamer Ordner\\src", "Gemeinsamer Ordner\\src\\sub",
                                   "Gemeinsamer Ordner\\bak", "Gemeinsamer Ordner\\x", "Nachbar", "s1", "s2"})
            MakeFolder(root + folder);
        WriteBytes(a + "src\\a.txt", "a");
        WriteBytes(a + "src\\sub\\b.txt", "b");
        WriteBytes(a + "fremd.txt", "not in any source");
        WriteBytes(root + "nebenan.txt", "beside");
        WriteBytes(root + "Nachbar\\n.txt", "neighbour");
        WriteBytes(root + "s1\\eins.txt", "1");
        WriteBytes(root + "s2\\zwei.txt", "2");
        return root;
    }
};

// The ways one folder can be written that its plain text does not show.
struct Spelling {
    const char *name;
    std::string (*spell)(const std::string &root, const std::string &folder); // folder ends in "\"
};

std::string Upper(std::string text)
{
    CharUpperBuffA(&text[0], (DWORD)text.size());
    return text;
}

const Spelling SPELLINGS[] = {
    {"..", [](const std::string &, const std::string &f) { return f + "x\\..\\"; }},
    {"forward slash",
     [](const std::string &, const std::string &f) {
         std::string s = f;
         for (size_t i = 0; i + 1 < s.size(); i++)
             s[i] = s[i] == '\\' ? '/' : s[i];
         return s;
     }},
    {"\\\\?\\", [](const std::string &, const std::string &f) { return "\\\\?\\" + f; }},
    {"trailing dot", [](const std::string &, const std::string &f) { return f.substr(0, f.size() - 1) + ".\\"; }},
    {"doubled backslash",
     [](const std::string &r, const std::string &f) { return r + "\\" + f.substr(r.size()); }},
    {"8.3 name",
     [](const std::string &, const std::string &f) {
         char shortName[MAX_PATH] = "";
         GetShortPathNameA(f.c_str(), shortName, sizeof shortName);
         return std::string(shortName);
     }},
    {"second drive letter",
     [](const std::string &r, const std::string &f) {
         char prefix[MAX_PATH];
         GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
         RunShell("ln -sfn '" + UnixPath(r) + "' '" + prefix + "/dosdevices/m:'");
         return "M:\\" + f.substr(r.size());
     }},
    {"folder link",
     [](const std::string &r, const std::string &f) {
         RunShell("ln -s '" + UnixPath(f) + "' '" + UnixPath(r) + "verweis'");
         return r + "verweis\\";
     }},
    {"letter case", [](const std::string &, const std::string &f) { return Upper(f); }},
};

// For every spelling: a target that is the source's parent, a target inside
// the source, and two targets naming one folder. Afterwards no byte that
// was there before has changed, and the skipping notice or the overlap
// warning came.
TEST_F(TrustTest, FoldersAreComparedByWhatTheFileSystemSays)
{
    int number = 0;
    for (const Spelling &spelling : SPELLINGS) {
        for (int relation = 0; relation < 3; relation++) {
            std::string root = MakeCase(number++), a = root + "Gemeinsamer Ordner\\";
            std::string other = spelling.spell(root, a);
            SCOPED_TRACE(std::string(spelling.name) + ", relation " + std::to_string(relation) + ": " + other);
            ASSERT_NE(other, a);
            SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
            if (relation == 0)
                AddPair(a + "src\\", other);
            else if (relation == 1)
                AddPair(a, other + "bak\\");
            else {
                AddPair(root + "s1\\", a);
                AddPair(root + "s2\\", other);
            }
            std::map<std::string, std::string> before = Snapshot(root);
            ClearCancel();
            std::vector<SeenBox> boxes = Run();
            std::map<std::string, std::string> after = Snapshot(root);
            for (const auto &entry : before)
                EXPECT_EQ(after[entry.first], entry.second) << entry.first;
            if (relation < 2) {
                EXPECT_EQ(after.size(), before.size()) << "a skipped pair changes nothing";
                EXPECT_EQ(CountBoxes(boxes, SKIPPED_PAIRS_NOTE), 1);
            } else {
                EXPECT_EQ(CountBoxes(boxes, OVERLAP_WARNING), 1);
                EXPECT_EQ(after["Gemeinsamer Ordner\\zwei.txt"], "2") << "both pairs are still mirrored";
            }
            RunShell("rm -f '" + UnixPath(root) + "verweis'");
        }
    }
}

// Links in the target are never written through or followed, links in the
// source that lead back onto the walk or to the target are not followed.
TEST_F(TrustTest, LinksAreNeitherWrittenThroughNorFollowedInCircles)
{
    std::string outside = temp / "draussen\\";
    MakeFolder(outside);
    MakeFolder(outside + "ordner");
    WriteBytes(outside + "ordner\\wert.txt", "outside, linked folder");
    WriteBytes(outside + "datei.txt", "outside, linked file");
    WriteBytes(outside + "alt.txt", "outside, linked file the source lacks");
    MakeFolder(source + "ordner");
    WriteBytes(source + "ordner\\wert.txt", "new");
    WriteBytes(source + "datei.txt", "new");
    std::string s = UnixPath(source), t = UnixPath(target), o = UnixPath(outside);
    ASSERT_TRUE(RunShell("ln -s '" + o + "ordner' '" + t + "ordner' && ln -s '" + o + "datei.txt' '" + t +
                         "datei.txt' && ln -s '" + o + "alt.txt' '" + t + "alt.txt' && ln -s '" + o + "' '" + t +
                         "altordner' && ln -s '" + s + "' '" + s + "zurueck' && ln -s '" + t + "' '" + s + "zumziel'"));
    std::map<std::string, std::string> before = Snapshot(outside);
    AddPair(source, target);
    OpenLog();
    for (int run = 0; run < 2; run++) {
        std::vector<SeenBox> boxes = Run();
        EXPECT_EQ(Snapshot(outside), before) << "run " << run;
        EXPECT_EQ(CountBoxes(boxes, "Bei der Synchronisierung ausgelassene Einträge: "), 1) << "run " << run;
        EXPECT_EQ(CountBoxes(boxes, RUN_COMPLETED_NOTE), 1) << "run " << run;
    }
    std::string log = ReadBytes(temp / "log.txt");
    for (const std::string &path : {target + "ordner\\", source + "zurueck\\", source + "zumziel\\", target + "alt.txt",
                                    target + "altordner\\"})
        EXPECT_NE(log.find("WARNUNG - Eintrag ausgelassen: " + path + "\r\n"), std::string::npos) << path << "\n" << log;
    EXPECT_FALSE(Exists(target + "zurueck")) << "a loop is not followed";
    EXPECT_FALSE(Exists(target + "zumziel"));
}

} // namespace

namespace {

const ULONGLONG OLD_TIME = 120000000000000000ULL;
const LONGLONG NEW_SIZE = 256LL << 20;

// Makes a sparse file of size bytes: quick to make, slow enough to copy.
void MakeSparseFile(const std::string &path, LONGLONG size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    LARGE_INTEGER end;
    end.QuadPart = size - 1;
    SetFilePointerEx(file, end, NULL, FILE_BEGIN);
    WriteFile(file, "x", 1, NULL, NULL);
    CloseHandle(file);
}

LONGLONG FileSize(const std::string &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Starts the helper mirroring source onto target and kills it once the
// temporary copy has grown; false when the copy never started.
bool KillMirrorDuringCopy(const std::string &source, const std::string &target)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    // A backslash before a closing quote is doubled, or it would escape it.
    std::string command = "\"" HELPER_EXE "\" mirror \"" + source + "\\\" \"" + target + "\\\"";
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    bool started = false;
    for (DWORD start = GetTickCount(); !started && GetTickCount() - start < 20000;) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        started = GetFileAttributesExA((target + TEMPORARY_COPY_NAME).c_str(), GetFileExInfoStandard, &data) &&
                  data.nFileSizeLow > 0;
    }
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, 10000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return started;
}

// Sets the cancel flag once the temporary copy has grown.
DWORD WINAPI CancelWhenCopyGrows(LPVOID temporary)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000;) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA((const char *)temporary, GetFileExInfoStandard, &data) && data.nFileSizeLow > 0) {
            RequestCancel();
            return 0;
        }
    }
    return 1;
}

// A replacement that fails part way, however it fails, leaves the old
// version byte for byte and with its time; no temporary file stays after the
// next run, which brings the new version.
TEST_F(TrustTest, AFailedReplacementKeepsTheOldVersion)
{
    const char *faults[] = {"cancel", "full disk", "target held open", "killed"};
    MakeSparseFile(source + "gross.bin", NEW_SIZE);
    for (const char *fault : faults) {
        SCOPED_TRACE(fault);
        std::string to = temp / (std::string("ziel ") + fault + "\\"), from = source;
        MakeFolder(to);
        if (strcmp(fault, "full disk") == 0 && !RunShell("mount -t tmpfs -o size=1m tmpfs '" + UnixPath(to) + "'")) {
            printf("no tmpfs could be mounted (needs root): the full-disk case is left out\n");
            continue;
        }
        WriteBytes(to + "gross.bin", "old version");
        SetWriteTime(to + "gross.bin", OLD_TIME);
        HANDLE held = INVALID_HANDLE_VALUE;
        if (strcmp(fault, "target held open") == 0)
            held = CreateFileA((to + "gross.bin").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        ClearCancel();
        if (strcmp(fault, "killed") == 0) {
            ASSERT_TRUE(KillMirrorDuringCopy(from, to));
        } else {
            BoxAnswerer answerer([](const std::string &, const std::string &) { return IDIGNORE; });
            std::string temporary = to + TEMPORARY_COPY_NAME;
            HANDLE canceller = strcmp(fault, "cancel") == 0
                                   ? CreateThread(NULL, 0, CancelWhenCopyGrows, (LPVOID)temporary.c_str(), 0, NULL)
                                   : NULL;
            MirrorFolder(from.c_str(), to.c_str(), false);
            if (canceller != NULL) {
                WaitForSingleObject(canceller, 20000);
                CloseHandle(canceller);
            }
            EXPECT_EQ(answerer.Count("Fehler beim Kopieren der Datei '" + from + "gross.bin'"), 1);
            EXPECT_FALSE(Exists(temporary));
        }
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(ReadBytes(to + "gross.bin"), "old version");
        EXPECT_EQ(GetWriteTime(to + "gross.bin"), OLD_TIME);
        if (strcmp(fault, "full disk") == 0) {
            RunShell("umount '" + UnixPath(to) + "'");
            continue;
        }
        ClearCancel();
        MirrorFolder(from.c_str(), to.c_str(), false);
        EXPECT_EQ(FileSize(to + "gross.bin"), NEW_SIZE);
        EXPECT_FALSE(Exists(to + TEMPORARY_COPY_NAME));
    }
}

// A source without any entry beside a filled target asks first (default
// No); No keeps every target entry, Yes cleans.
TEST_F(TrustTest, AnEmptySourceAsksBeforeItsTargetIsEmptied)
{
    for (int answer : {IDNO, IDYES}) {
        WriteBytes(target + "a.txt", "a");
        MakeFolder(target + "ordner");
        WriteBytes(target + "ordner\\b.txt", "b");
        ClearCancel();
        BoxAnswerer answerer([answer](const std::string &, const std::string &) { return answer; });
        CleanTargetFolder(source.c_str(), target.c_str());
        std::vector<SeenBox> boxes = answerer.Seen();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Rückfrage");
        EXPECT_EQ(boxes[0].defaultButton, IDNO);
        EXPECT_EQ(boxes[0].text.find("Der Quellordner '" + source + "' ist leer"), 0u) << boxes[0].text;
        EXPECT_EQ(Exists(target + "ordner\\b.txt"), answer == IDNO);
        EXPECT_EQ(CleanedEntries, answer == IDNO ? 0 : 3);
    }
}

// The auto-save file and the run log inside the target, and a source file
// named like the log, leave both untouched, without a notice.
TEST_F(TrustTest, OwnFilesInTheTargetAreKept)
{
    WriteBytes(source + "log.txt", "a source file named like the log");
    WriteBytes(source + "a.txt", "a");
    WriteBytes(target + "Ini.dat", "@@'D:\\a\\' -> 'E:\\b\\'");
    strcpy(AutoSavePath, (target + "Ini.dat").c_str());
    SetCurrentDirectoryA(target.c_str());
    AddPair(source, target);
    std::vector<SeenBox> boxes = Run();
    EXPECT_EQ(boxes.size(), 1u) << "only the closing note";
    EXPECT_EQ(ReadBytes(target + "Ini.dat"), "@@'D:\\a\\' -> 'E:\\b\\'");
    EXPECT_EQ(ReadBytes(target + "log.txt"), "Datei kopiert: " + source + "a.txt\r\n");
    EXPECT_EQ(CheckedTargetFiles, 3);
    EXPECT_EQ(CleanedEntries, 0);
}

} // namespace
