// Selection files and the auto-save file.
#include "selectionfile.h"
#include "pairentry.h"
#include "pairlist.h"
#include "app/mainwindow.h"
#include "engine/notices.h"
#include "engine/paths.h"
#include <commdlg.h>
#include <string.h>

const char AUTO_SAVE_NAME[] = "Ini.dat";
const char SELECTION_EXTENSION[] = ".MirrorixPath";
char AutoSavePath[MAX_PATH] = "";

static const char TEMP_SUFFIX[] = ".neu";
static const char SAVE_FAILED[] = "Die Sync-Auswahl konnte nicht gespeichert werden in";
static const char LOAD_FAILED[] = "Die Sync-Auswahl konnte nicht geladen werden aus";
static const char TOO_LARGE[] = "Die Datei ist zu groß für eine Sync-Auswahl (höchstens 10000 Bytes):";
static const char PIECES_DROPPED[] =
    "Einige Einträge der Datei sind keine gültigen Sync-Auswahlen und wurden nicht geladen.";
static const char FILTER[] = "MirrorixPaths (*.MirrorixPath)\0*.MirrorixPath\0";

// Finds "Ini.dat" once; afterwards the same file is always used.
void ResolveAutoSavePath()
{
    char *namePart = NULL;
    DWORD found = SearchPathA(NULL, AUTO_SAVE_NAME, NULL, sizeof AutoSavePath, AutoSavePath, &namePart);
    if (found > 0 && found < sizeof AutoSavePath)
        return;
    char directory[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof directory, directory);
    const char *tail = (length > 0 && directory[length - 1] == '\\') ? "" : "\\";
    if (length == 0 || length >= sizeof directory ||
        !JoinPath(AutoSavePath, sizeof AutoSavePath, directory, tail, AUTO_SAVE_NAME))
        CopyText(AutoSavePath, sizeof AutoSavePath, AUTO_SAVE_NAME);
}

// The file a routine works on: name, or the auto-save file.
static const char *FileOf(const char *name)
{
    if (name != NULL)
        return name;
    if (AutoSavePath[0] == 0)
        ResolveAutoSavePath();
    return AutoSavePath;
}

// Joins the list into text in the file format; returns its length with the NUL, or -1.
static int JoinList(char *text, int size)
{
    char entry[PAIR_TEXT_MAX];
    LRESULT count = SendMessageA(PairList, LB_GETCOUNT, 0, 0);
    int used = 0;
    if (count <= 0)
        return 0;
    for (int i = 0; i < count; i++) {
        if (!GetPairEntry(i, entry))
            return -1;
        int length = (int)strlen(entry);
        if (used + 2 + length + 1 > size)
            return -1;
        memcpy(text + used, "@@", 2);
        memcpy(text + used + 2, entry, length);
        used += 2 + length;
    }
    text[used] = 0;
    return used + 1;
}

// Writes bytes to a new file beside path and puts it in path's place.
static bool ReplaceFile(const char *path, const char *bytes, int length)
{
    char temporary[FILE_NAME_BUFFER + sizeof TEMP_SUFFIX];
    if (!JoinPath(temporary, sizeof temporary, path, TEMP_SUFFIX)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (int done = 0; ok && done < length;) {
        DWORD written = 0;
        ok = WriteFile(file, bytes + done, (DWORD)(length - done), &written, NULL) && written > 0;
        if (ok)
            done += (int)written;
        else if (GetLastError() == ERROR_SUCCESS)
            SetLastError(ERROR_WRITE_FAULT);
    }
    ok = ok && FlushFileBuffers(file);
    DWORD code = GetLastError();
    ok = CloseHandle(file) && ok;
    if (ok && !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ok = false;
    if (!ok) {
        if (code == ERROR_SUCCESS || GetLastError() != ERROR_SUCCESS)
            code = GetLastError();
        DeleteFileA(temporary);
        SetLastError(code);
    }
    return ok;
}

// Writes the list to name (NULL: the auto-save file).
bool SavePairList(const char *name)
{
    char text[SELECTION_READ_MAX];
    const char *path = FileOf(name);
    int length = JoinList(text, sizeof text);
    if (length < 0)
        SetLastError(ERROR_BUFFER_OVERFLOW);
    else
        SetLastError(ERROR_SUCCESS);
    if (length < 0 || !ReplaceFile(path, text, length)) {
        ReportError(SAVE_FAILED, path);
        return false;
    }
    return true;
}

// Splits text at "@" runs into well-formed entries; returns the pieces refused.
int ParseSelectionText(const char *bytes, int length, void (*add)(const char *entry, void *context),
                       void *context)
{
    char piece[PAIR_TEXT_MAX];
    int refused = 0;
    int i = 0;
    while (i < length && bytes[i] != 0) {
        if (bytes[i] == '@') {
            i++;
            continue;
        }
        int start = i;
        while (i < length && bytes[i] != 0 && bytes[i] != '@')
            i++;
        int pieceLength = i - start;
        if (pieceLength >= PAIR_TEXT_MAX) {
            refused++;
            continue;
        }
        memcpy(piece, bytes + start, pieceLength);
        piece[pieceLength] = 0;
        if (IsWellFormedPairEntry(piece))
            add(piece, context);
        else
            refused++;
    }
    return refused;
}

// Appends one entry to PairList.
static void AddToList(const char *entry, void *)
{
    SendMessageA(PairList, LB_ADDSTRING, 0, (LPARAM)entry);
}

// Reads at most limit bytes of file into buffer; -1 with the last error on failure.
static int ReadWhole(HANDLE file, char *buffer, int limit)
{
    int total = 0;
    DWORD got = 0;
    while (total < limit) {
        if (!ReadFile(file, buffer + total, (DWORD)(limit - total), &got, NULL))
            return -1;
        if (got == 0)
            break;
        total += (int)got;
    }
    return total;
}

// Replaces the list by the entries of name (NULL: the auto-save file).
bool LoadPairList(const char *name)
{
    char bytes[SELECTION_READ_MAX + 1];
    const char *path = FileOf(name);
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (name != NULL || (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND))
            ReportError(LOAD_FAILED, path);
        return false;
    }
    int length = ReadWhole(file, bytes, sizeof bytes);
    DWORD code = GetLastError();
    CloseHandle(file);
    if (length < 0) {
        SetLastError(code);
        ReportError(LOAD_FAILED, path);
        return false;
    }
    if (length > SELECTION_READ_MAX) {
        ShowErrorNotice(ERROR_FILE_TOO_LARGE, MB_OK | MB_ICONERROR, TOO_LARGE, path, NULL, NULL);
        return false;
    }
    SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
    if (ParseSelectionText(bytes, length, AddToList, NULL) > 0)
        ShowErrorNotice(ERROR_INVALID_DATA, MB_OK | MB_ICONWARNING, PIECES_DROPPED, path, NULL, NULL);
    if (name != NULL)
        return SavePairList(NULL);
    return true;
}

// Appends ".MirrorixPath" to name unless it already contains it.
bool AddSelectionExtension(char *name, size_t size)
{
    if (strstr(name, SELECTION_EXTENSION) != NULL)
        return true;
    size_t length = strlen(name);
    if (length + strlen(SELECTION_EXTENSION) >= size)
        return false;
    strcpy(name + length, SELECTION_EXTENSION);
    return true;
}

// Fills the dialog structure the two commands share.
static void PrepareDialog(OPENFILENAMEA *dialog, char *fileName, DWORD flags)
{
    memset(dialog, 0, sizeof *dialog);
    dialog->lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog->hwndOwner = MainWindow;
    dialog->lpstrFilter = FILTER;
    dialog->lpstrFile = fileName;
    dialog->nMaxFile = FILE_NAME_MAX;
    dialog->lpstrInitialDir = StartDirectory;
    dialog->Flags = flags;
}

// The open command: dialog, load, button states, confirmation.
void OpenSelectionFile()
{
    char fileName[FILE_NAME_BUFFER] = "";
    OPENFILENAMEA dialog;
    PrepareDialog(&dialog, fileName, OFN_FILEMUSTEXIST);
    if (!GetOpenFileNameA(&dialog))
        return;
    bool loaded = LoadPairList(fileName);
    EnableWindow(SyncButton, PairListHasEntries() ? TRUE : FALSE);
    EnableWindow(RemovePairButton, FALSE);
    if (loaded)
        MessageBoxA(MainWindow, "Ihre Auswahl wurde geladen", "Geladen", MB_OK | MB_ICONINFORMATION);
}

// The save command: dialog, extension, save, confirmation.
void SaveSelectionFile()
{
    char fileName[FILE_NAME_BUFFER] = "";
    OPENFILENAMEA dialog;
    PrepareDialog(&dialog, fileName, OFN_PATHMUSTEXIST);
    if (!GetSaveFileNameA(&dialog))
        return;
    AddSelectionExtension(fileName, sizeof fileName);
    if (SavePairList(fileName))
        MessageBoxA(MainWindow, "Ihre Auswahl wurde gespeichert", "Gespeichert", MB_OK | MB_ICONINFORMATION);
}
