// The program's memory. Every block the program allocates comes from a heap
// of its own, made on first use, and goes back through these helpers, which
// keep a count of the blocks alive; the buffers the platform allocates for
// the program (FormatMessageA's) are counted through them too.
#pragma once
#include <windows.h>

// A zeroed block of size bytes; NULL when memory is short.
void *MemoryAlloc(size_t size);

// Block resized to size bytes (a new block when block is NULL); NULL when
// memory is short, and block then stays as it was.
void *MemoryResize(void *block, size_t size);

// Frees a block of MemoryAlloc or MemoryResize; NULL is ignored.
void MemoryFree(void *block);

// Counts a buffer the platform allocated with LocalAlloc on the program's
// behalf; NULL is ignored. It is freed with MemoryFreeLocal.
void MemoryAdoptLocal(HLOCAL block);

// Frees a buffer taken with MemoryAdoptLocal; NULL is ignored.
void MemoryFreeLocal(HLOCAL block);

// The number of blocks alive: allocated or adopted and not yet freed.
LONG MemoryLiveBlocks();
