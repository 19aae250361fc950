// Run flags, counters and the run log.
#include "runstate.h"
#include "base/paths.h"
#include "base/texts.h"
#include <stdio.h>

enum { LOG_LINE_MAX = 2000 }; // one run-log line

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

void WriteLogLine(const char *prefix, const char *path)
{
    char line[LOG_LINE_MAX];
    DWORD written = 0;
    if (LogFile == HFILE_ERROR)
        return;
    int length = snprintf(line, sizeof line, "%s%s\r\n", prefix, path);
    if (length < 0 || length >= (int)sizeof line)
        return;
    WriteFile((HANDLE)(INT_PTR)LogFile, line, (DWORD)length, &written, NULL);
}

void ReportLeftAlone(const char *path)
{
    LeftAloneEntries++;
    WriteLogLine(LOG_LEFT_ALONE, path);
}

void ReportChangedWhileCopied(const char *path)
{
    LeftAloneEntries++;
    WriteLogLine(LOG_CHANGED_WHILE_COPIED, path);
}
