// Mirror pass: copies what is missing or has another last-write time.
#include "passes.h"
#include "paths.h"
#include "notices.h"
#include "display.h"
#include "copyfile.h"
#include "runstate.h"
#include <stdio.h>

enum { SIZE_TEXT_MAX = 100 };

// Where the mirror stands: the target folder of the source folder being
// listed, and the pair's source folder.
struct MirrorPlace {
    const char *target;
    const char *root;
};

// Size text of the current-file line, rounded up to KiB, and above 1024 KiB to MiB.
void FormatFileSize(unsigned long long size, char *out, size_t outSize)
{
    unsigned long long kib = (size + 1023) / 1024;
    if (kib <= 1024)
        snprintf(out, outSize, "%llu KB'", kib);
    else
        snprintf(out, outSize, "%llu MB'", (kib + 1023) / 1024);
}

// Progress routine: raises the file bar as whole percentages grow.
DWORD CALLBACK CopyProgress(LARGE_INTEGER TotalFileSize, LARGE_INTEGER TotalBytesTransferred,
                            LARGE_INTEGER, LARGE_INTEGER, DWORD, DWORD, HANDLE, HANDLE, LPVOID)
{
    if (CancelRequested == 1)
        return PROGRESS_CANCEL;
    if (TotalFileSize.QuadPart == 0)
        return PROGRESS_CONTINUE;
    int percent = (int)(TotalBytesTransferred.QuadPart * 100 / TotalFileSize.QuadPart);
    if (percent > LastFilePercent) {
        ShowFileProgress(percent);
        LastFilePercent = percent;
        RefreshDisplay();
    }
    return PROGRESS_CONTINUE;
}

// True when the target file is missing or its last-write time differs.
static bool NeedsCopy(const char *targetFile, const WIN32_FIND_DATAA *entry)
{
    WIN32_FILE_ATTRIBUTE_DATA target;
    if (!GetFileAttributesExA(targetFile, GetFileExInfoStandard, &target))
        return true;
    return CompareFileTime(&target.ftLastWriteTime, &entry->ftLastWriteTime) != 0;
}

// Copies one file, asking the user on failure (abort, retry, ignore).
static void CopyStep(const char *sourceFile, const char *targetFile, const WIN32_FIND_DATAA *entry,
                     const char *root)
{
    char sizeText[SIZE_TEXT_MAX];
    char fileText[STATUS_TEXT_MAX];
    unsigned long long size = ((unsigned long long)entry->nFileSizeHigh << 32) | entry->nFileSizeLow;
    FormatFileSize(size, sizeText, sizeof sizeText);
    snprintf(fileText, sizeof fileText, "aktuelle Datei: '%s' - '%s", entry->cFileName, sizeText);
    ShowCurrentFile(fileText);
    ShowFileProgress(0);
    RefreshDisplay();
    for (;;) {
        LastFilePercent = 0;
        if (CopyFileWithProgress(sourceFile, targetFile, CopyProgress, NULL, (LPBOOL)&CancelRequested)) {
            CopiedFiles++;
            WriteLogLine(LOG_COPIED, sourceFile);
            return;
        }
        DWORD code = GetLastError();
        // A source that vanished as a whole ends the run instead of prompting for every file.
        if ((code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) && !FolderListable(root)) {
            ReportListingError(root);
            RequestCancel();
            return;
        }
        SetLastError(code);
        int answer = AskCopyError(sourceFile, targetFile);
        if (answer == IDRETRY)
            continue;
        if (answer == IDABORT)
            RequestCancel();
        else if (answer == IDIGNORE)
            WriteLogLine(LOG_SKIPPED, sourceFile);
        return;
    }
}

static void MirrorTree(const char *source, const MirrorPlace *place);

// Handles one entry of a source listing; context is the MirrorPlace.
static void MirrorEntry(const char *source, const WIN32_FIND_DATAA *entry, void *context)
{
    const MirrorPlace *place = (const MirrorPlace *)context;
    const char *target = place->target;
    char sourcePath[PATH_TEXT_MAX];
    char targetPath[PATH_TEXT_MAX];
    bool folder = IsFolderEntry(entry);
    const char *tail = folder ? "\\" : "";
    if (!NameUsable(entry->cFileName)) {
        ReportUnusableName(source, entry->cFileName);
    } else if (!JoinPath(sourcePath, sizeof sourcePath, source, entry->cFileName, tail) ||
        !JoinPath(targetPath, sizeof targetPath, target, entry->cFileName, tail)) {
        ReportPathTooLong(source, entry->cFileName);
    } else if (folder) {
        // Created without the trailing backslash; an existing folder is the normal case.
        JoinPath(targetPath, sizeof targetPath, target, entry->cFileName);
        CreateDirectoryA(targetPath, NULL);
        JoinPath(targetPath, sizeof targetPath, target, entry->cFileName, "\\");
        MirrorPlace below = {targetPath, place->root};
        MirrorTree(sourcePath, &below);
    } else if (NeedsCopy(targetPath, entry)) {
        CopyStep(sourcePath, targetPath, entry, place->root);
    }
    if (!folder)
        ProcessedFiles++;
    RefreshDisplay();
}

// Mirrors one folder level and everything below it.
static void MirrorTree(const char *source, const MirrorPlace *place)
{
    if (IsCancelRequested())
        return;
    if (!WalkFolder(source, MirrorEntry, (void *)place)) {
        ReportListingError(source);
        RequestCancel();
    }
}

// Brings the target tree up to date with the source tree; the display shows
// the exact counters when the pass ends. After a cancel nothing is copied,
// but a source that cannot be listed is still reported.
void MirrorFolder(const char *source, const char *target)
{
    if (IsCancelRequested()) {
        if (!FolderListable(source))
            ReportListingError(source);
        return;
    }
    MirrorPlace place = {target, source};
    MirrorTree(source, &place);
    FlushDisplay();
}
