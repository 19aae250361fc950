// Run flags, counters, run log and status lines shared by all passes of a run.
#pragma once
#include <windows.h>

enum {
    PATH_TEXT_MAX = 1000,   // every path built during a pass
    STATUS_TEXT_MAX = 1000, // one status line
    NUMBER_TEXT_MAX = 12,   // one formatted counter
    LOG_LINE_MAX = 2000     // one run-log line
};

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

extern const char LOG_COPIED[];
extern const char LOG_SKIPPED[];
extern const char LOG_DELETED[];

// Reads and writes of the run flags.
inline bool IsCancelRequested() { return __atomic_load_n(&CancelRequested, __ATOMIC_SEQ_CST) != 0; }
inline void RequestCancel() { __atomic_store_n(&CancelRequested, 1, __ATOMIC_SEQ_CST); }
inline void ClearCancel() { __atomic_store_n(&CancelRequested, 0, __ATOMIC_SEQ_CST); }
inline bool IsRunActive() { return __atomic_load_n(&RunActive, __ATOMIC_SEQ_CST) != 0; }
inline void SetRunActive(bool active) { __atomic_store_n(&RunActive, (BYTE)(active ? 1 : 0), __ATOMIC_SEQ_CST); }
// Marks the run active; true when it was active already (marked by its starter).
inline bool MarkRunActive() { return __atomic_exchange_n(&RunActive, (BYTE)1, __ATOMIC_SEQ_CST) != 0; }
inline void SetExitAfterRun() { __atomic_store_n(&ExitAfterRun, (BYTE)1, __ATOMIC_SEQ_CST); }
// Takes the exit request: true exactly once per request, whichever thread asks first.
inline bool TakeExitAfterRun() { return __atomic_exchange_n(&ExitAfterRun, (BYTE)0, __ATOMIC_SEQ_CST) == 1; }

// Sets the five counters to zero.
void ResetCounters();

// Shows the counters in both status lines and the overall percentage, now.
void UpdateStatusLines();

// Overall percentage of processed files, as the total bar shows it.
int OverallPercent(int processed, int total);

// Appends one log line (prefix, path, CR LF) when the log is open.
void WriteLogLine(const char *prefix, const char *path);
