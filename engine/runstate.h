// Run flags, counters and the run log, shared by all passes of a run.
#pragma once
#include <windows.h>

// Run flags: stored and loaded with sequentially consistent atomics, so a
// store on one thread is seen at once by the other and by the copy routine.
extern volatile BYTE RunActive;
extern volatile BOOL CancelRequested;
extern volatile BYTE ExitAfterRun;

extern int TotalSourceFiles;
extern int CopiedFiles;
extern int ProcessedFiles;
extern int CleanedEntries;
extern int CheckedTargetFiles;
extern int LastFilePercent;
extern HFILE LogFile;

// Entries this run left alone for a reason of its own; each has a log line.
extern int LeftAloneEntries;

// Reads and writes of the run flags.
inline bool IsCancelRequested()
{
    return __atomic_load_n(&CancelRequested, __ATOMIC_SEQ_CST) != 0;
}
inline void RequestCancel()
{
    __atomic_store_n(&CancelRequested, 1, __ATOMIC_SEQ_CST);
}
inline void ClearCancel()
{
    __atomic_store_n(&CancelRequested, 0, __ATOMIC_SEQ_CST);
}
inline bool IsRunActive()
{
    return __atomic_load_n(&RunActive, __ATOMIC_SEQ_CST) != 0;
}
inline void SetRunActive(bool active)
{
    __atomic_store_n(&RunActive, (BYTE)(active ? 1 : 0), __ATOMIC_SEQ_CST);
}
inline void SetExitAfterRun()
{
    __atomic_store_n(&ExitAfterRun, (BYTE)1, __ATOMIC_SEQ_CST);
}
// Takes the exit request: true exactly once per request, whichever thread asks first.
inline bool TakeExitAfterRun()
{
    return __atomic_exchange_n(&ExitAfterRun, (BYTE)0, __ATOMIC_SEQ_CST) == 1;
}

// Sets the five counters and the count of entries left alone to zero.
void ResetCounters();

// Appends one log line (prefix, path in its ANSI form, CR LF) when the log is open.
void WriteLogLine(const char *prefix, const WCHAR *path);

// Records an entry the run leaves alone: its own log line, and one more in
// LeftAloneEntries for the note at the end of the run.
void ReportLeftAlone(const WCHAR *path);

// Counts a source file left alone because it changed while it was copied,
// twice in a row, and writes its own log line.
void ReportChangedWhileCopied(const WCHAR *path);
