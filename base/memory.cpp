// The program's own heap and its count of live blocks.
#include "memory.h"

static HANDLE ProgramHeap = NULL;
static volatile LONG LiveBlocks = 0;

// The program's heap, made by whichever thread asks first.
static HANDLE Heap()
{
    HANDLE heap = (HANDLE)InterlockedCompareExchangePointer((PVOID volatile *)&ProgramHeap, NULL, NULL);
    if (heap != NULL)
        return heap;
    HANDLE made = HeapCreate(0, 0, 0);
    if (made == NULL)
        made = GetProcessHeap(); // every block then lives there, for good
    heap = (HANDLE)InterlockedCompareExchangePointer((PVOID volatile *)&ProgramHeap, made, NULL);
    if (heap == NULL)
        return made;
    if (made != GetProcessHeap())
        HeapDestroy(made); // another thread was first
    return heap;
}

void *MemoryAlloc(size_t size)
{
    void *block = HeapAlloc(Heap(), HEAP_ZERO_MEMORY, size);
    if (block != NULL)
        InterlockedIncrement(&LiveBlocks);
    return block;
}

void *MemoryResize(void *block, size_t size)
{
    if (block == NULL)
        return MemoryAlloc(size);
    return HeapReAlloc(Heap(), 0, block, size);
}

void MemoryFree(void *block)
{
    if (block != NULL && HeapFree(Heap(), 0, block))
        InterlockedDecrement(&LiveBlocks);
}

void MemoryAdoptLocal(HLOCAL block)
{
    if (block != NULL)
        InterlockedIncrement(&LiveBlocks);
}

void MemoryFreeLocal(HLOCAL block)
{
    if (block != NULL && LocalFree(block) == NULL)
        InterlockedDecrement(&LiveBlocks);
}

LONG MemoryLiveBlocks()
{
    return InterlockedCompareExchange(&LiveBlocks, 0, 0);
}
