// The sync run over all pairs, on a worker thread of its own.
#pragma once
#include <windows.h>

extern const char LOG_FILE_NAME[];

// Thread routine of one sync run; ends its thread with exit code 0.
DWORD WINAPI SyncWorker(LPVOID parameter);

// The whole run without ending the thread (SyncWorker's body).
void RunSync();
