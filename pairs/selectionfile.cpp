// Selection files and the auto-save file: their format, saving and loading.
#include "selectionfile.h"
#include "autosave.h"
#include "pairentry.h"
#include "base/globals.h"
#include "base/messages.h"
#include "base/paths.h"
#include "base/texts.h"
#include <stdio.h>
#include <string.h>

enum {
    SELECTION_READ_MAX = 10000, // largest selection file, final NUL included
    SET_ASIDE_TRIES = 99        // names tried for a list file set aside
};

static const char ENTRY_MARKER[] = "@@";
static const int MARKER_LENGTH = sizeof ENTRY_MARKER - 1;
static const char TEMP_SUFFIX[] = ".neu";
static const char SET_ASIDE_SUFFIX[] = ".gesichert-";

// Why the auto-save file may not be replaced (0: it may): it could not be
// read whole at the start, nor set aside.
static DWORD AutoSaveRefusal = ERROR_SUCCESS;

// The file a routine works on: name, or the auto-save file.
static const char *FileOf(const char *name)
{
    if (name != NULL)
        return name;
    if (AutoSavePath[0] == 0)
        ResolveAutoSavePath();
    return AutoSavePath;
}

// Bytes the saved list takes: every entry with its marker, and the final NUL.
static size_t SavedListSize()
{
    int count = PairCount();
    size_t size = 1;
    for (int i = 0; i < count; i++)
        size += (size_t)SendMessageA(PairList, LB_GETTEXTLEN, (WPARAM)i, 0) + MARKER_LENGTH;
    return size;
}

bool ListFitsWith(size_t entryLength)
{
    return SavedListSize() + MARKER_LENGTH + entryLength <= SELECTION_READ_MAX;
}

// Joins the list into text in the file format; returns its length with the NUL, or -1.
static int JoinList(char *text, int size)
{
    char entry[PAIR_TEXT_MAX];
    int count = PairCount();
    int used = 0;
    if (count == 0)
        return 0;
    for (int i = 0; i < count; i++) {
        if (!GetPairEntry(i, entry))
            return -1;
        int length = (int)strlen(entry);
        if (used + MARKER_LENGTH + length + 1 > size)
            return -1;
        memcpy(text + used, ENTRY_MARKER, MARKER_LENGTH);
        memcpy(text + used + MARKER_LENGTH, entry, length);
        used += MARKER_LENGTH + length;
    }
    text[used] = 0;
    return used + 1;
}

// Writes bytes to a new file beside path and puts it in path's place, so
// that an interrupted save leaves the old file; returns 0 or the error.
static DWORD ReplaceFileContent(const char *path, const char *bytes, int length)
{
    char temporary[PATH_TEXT_MAX];
    if (!JoinPath(temporary, sizeof temporary, path, TEMP_SUFFIX))
        return ERROR_FILENAME_EXCED_RANGE;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError();
    DWORD code = ERROR_SUCCESS;
    for (int done = 0; code == ERROR_SUCCESS && done < length;) {
        DWORD written = 0;
        if (!WriteFile(file, bytes + done, (DWORD)(length - done), &written, NULL))
            code = GetLastError();
        else if (written == 0)
            code = ERROR_WRITE_FAULT;
        done += (int)written;
    }
    if (code == ERROR_SUCCESS && !FlushFileBuffers(file))
        code = GetLastError();
    if (!CloseHandle(file) && code == ERROR_SUCCESS)
        code = GetLastError();
    if (code == ERROR_SUCCESS && !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = GetLastError();
    if (code != ERROR_SUCCESS)
        DeleteFileA(temporary);
    return code;
}

bool SavePairList(const char *name)
{
    char text[SELECTION_READ_MAX];
    const char *path = FileOf(name);
    int length = JoinList(text, sizeof text);
    DWORD code = name == NULL ? AutoSaveRefusal : ERROR_SUCCESS;
    if (code == ERROR_SUCCESS)
        code = length < 0 ? ERROR_BUFFER_OVERFLOW : ReplaceFileContent(path, text, length);
    if (code != ERROR_SUCCESS) {
        ReportError(code, SAVE_FAILED, path);
        return false;
    }
    return true;
}

int ParseSelectionText(const char *bytes, int length, void (*add)(const char *entry, void *context), void *context)
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

// Reads at most limit bytes of file into buffer; -1 on failure.
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

// Counts one entry.
static void CountEntry(const char *, void *count)
{
    (*(int *)count)++;
}

// Moves the auto-save file at path, which could not be read whole or held no valid entry, aside
// under a new name before any save can replace it; where that fails, no
// save may replace it. Either way a note says so.
static void SetAsideAutoSave(const char *path)
{
    char aside[PATH_TEXT_MAX], number[16], text[NOTICE_TEXT_MAX];
    DWORD code = ERROR_FILE_EXISTS;
    for (int i = 1; i <= SET_ASIDE_TRIES && (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS); i++) {
        snprintf(number, sizeof number, "%d", i);
        code =
            JoinPath(aside, sizeof aside, path, SET_ASIDE_SUFFIX, number) ? ERROR_SUCCESS : ERROR_FILENAME_EXCED_RANGE;
        if (code == ERROR_SUCCESS && !MoveFileA(path, aside))
            code = GetLastError();
    }
    AutoSaveRefusal = code;
    if (code == ERROR_SUCCESS)
        snprintf(text, sizeof text, LIST_SET_ASIDE_NOTE, path, aside);
    else
        snprintf(text, sizeof text, LIST_KEPT_NOTE, path);
    ShowNotice(text, TITLE_NOTE, MB_OK | MB_ICONWARNING);
}

// Reports a list file that cannot be read whole; the auto-save file is set aside.
static bool LoadFailed(const char *name, const char *path, DWORD code, const char *message)
{
    ReportError(code, message, path);
    if (name == NULL)
        SetAsideAutoSave(path);
    return false;
}

// A file one byte over the limit is read to tell that it is too large. A
// file with content but no valid entry changes nothing.
bool LoadPairList(const char *name)
{
    char bytes[SELECTION_READ_MAX + 1];
    const char *path = FileOf(name);
    if (name == NULL)
        AutoSaveRefusal = ERROR_SUCCESS; // this reading decides anew
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (name == NULL && (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND))
            return false;
        return LoadFailed(name, path, code, LOAD_FAILED);
    }
    int length = ReadWhole(file, bytes, sizeof bytes);
    DWORD code = GetLastError();
    CloseHandle(file);
    if (length < 0)
        return LoadFailed(name, path, code, LOAD_FAILED);
    if (length > SELECTION_READ_MAX)
        return LoadFailed(name, path, ERROR_FILE_TOO_LARGE, FILE_TOO_LARGE);
    int valid = 0;
    int refused = ParseSelectionText(bytes, length, CountEntry, &valid);
    if (valid == 0 && refused > 0) {
        ShowErrorNotice(ERROR_INVALID_DATA, MB_OK | MB_ICONWARNING, NO_VALID_ENTRY_NOTE, path);
        if (name == NULL)
            SetAsideAutoSave(path);
        return false;
    }
    SendMessageA(PairList, LB_RESETCONTENT, 0, 0);
    ParseSelectionText(bytes, length, AddToList, NULL);
    if (refused > 0)
        ShowErrorNotice(ERROR_INVALID_DATA, MB_OK | MB_ICONWARNING, PIECES_DROPPED_NOTE, path);
    if (name != NULL)
        return SavePairList(NULL);
    return true;
}
