// Run flags, counters and the run log.
#include "runstate.h"
#include "base/memory.h"
#include "base/texts.h"
#include "base/widetext.h"
#include <stdio.h>
#include <string.h>

volatile BYTE RunActive = 0;
volatile BOOL CancelRequested = 0;
volatile BYTE ExitAfterRun = 0;

int TotalSourceFiles = 0;
int CopiedFiles = 0;
int ProcessedFiles = 0;
int CleanedEntries = 0;
int CheckedTargetFiles = 0;
int LastFilePercent = 0;
HFILE LogFile = HFILE_ERROR;
int LeftAloneEntries = 0;

void ResetCounters()
{
    TotalSourceFiles = 0;
    CopiedFiles = 0;
    CleanedEntries = 0;
    CheckedTargetFiles = 0;
    ProcessedFiles = 0;
    LeftAloneEntries = 0;
}

// A line is written whole, at any length, in one call.
void WriteLogLine(const char *prefix, const WCHAR *path)
{
    DWORD written = 0;
    if (LogFile == HFILE_ERROR)
        return;
    char *shown = AnsiCopy(path);
    size_t size = shown != NULL ? strlen(prefix) + strlen(shown) + 3 : 0;
    char *line = size > 0 ? (char *)MemoryAlloc(size) : NULL;
    int length = line != NULL ? snprintf(line, size, "%s%s\r\n", prefix, shown) : -1;
    if (length > 0 && (size_t)length < size)
        WriteFile((HANDLE)(INT_PTR)LogFile, line, (DWORD)length, &written, NULL);
    MemoryFree(line);
    MemoryFree(shown);
}

void ReportLeftAlone(const WCHAR *path)
{
    LeftAloneEntries++;
    WriteLogLine(LOG_LEFT_ALONE, path);
}

void ReportChangedWhileCopied(const WCHAR *path)
{
    LeftAloneEntries++;
    WriteLogLine(LOG_CHANGED_WHILE_COPIED, path);
}
