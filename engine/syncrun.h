// The sync run over all pairs, on a worker thread of its own.
#pragma once
#include <windows.h>

// Thread routine of one sync run; ends its thread with exit code 0.
DWORD WINAPI SyncWorker(LPVOID parameter);
