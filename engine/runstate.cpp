// Run flags, counters, run log and the two status lines.
#include "runstate.h"
#include "display.h"
#include "app/mainwindow.h"
#include <stdio.h>

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

const char LOG_COPIED[] = "Datei kopiert: ";
const char LOG_SKIPPED[] = "WARNUNG - Datei übersprungen: ";
const char LOG_DELETED[] = "Datei gelöscht: ";

// Sets the five counters to zero.
void ResetCounters()
{
    TotalSourceFiles = 0;
    CopiedFiles = 0;
    CleanedEntries = 0;
    CheckedTargetFiles = 0;
    ProcessedFiles = 0;
}

// Percentage in 64-bit arithmetic so that no count can overflow; truncated.
int OverallPercent(int processed, int total)
{
    return (int)((long long)processed * 100 / total);
}

// Formats one status line "<label><first> / <second>" into line.
static void FormatStatusLine(char *line, int size, const char *label, int first, int second)
{
    char firstText[NUMBER_TEXT_MAX];
    char secondText[NUMBER_TEXT_MAX];
    snprintf(firstText, sizeof firstText, "%d", first);
    snprintf(secondText, sizeof secondText, "%d", second);
    snprintf(line, size, "%s%s / %s", label, firstText, secondText);
}

// Shows the counters in both status lines and the overall percentage, now.
void UpdateStatusLines()
{
    char left[STATUS_TEXT_MAX];
    char right[STATUS_TEXT_MAX];
    FormatStatusLine(left, sizeof left, "synchronisierte Dateien: ", CopiedFiles, TotalSourceFiles);
    FormatStatusLine(right, sizeof right, "bereinigte Dateien: ", CleanedEntries, CheckedTargetFiles);
    SetControlText(CopiedStatusLabel, left);
    SetControlText(CleanedStatusLabel, right);
    if (TotalSourceFiles != 0)
        SetBarPosition(TotalProgressBar, OverallPercent(ProcessedFiles, TotalSourceFiles));
}

// Appends one log line (prefix, path, CR LF) when the log is open.
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
