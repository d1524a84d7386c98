// Zero-filled allocation from the process heap, with failure injection for tests.
#include "setup/core/memory.h"

#include <windows.h>

namespace {
// Allocations left before the injected failure; negative: no injection.
int allocationsBeforeFailure = -1;
}

void* AllocZeroed(size_t size)
{
    if (allocationsBeforeFailure == 0) {
        allocationsBeforeFailure = -1;
        return nullptr;
    }
    if (allocationsBeforeFailure > 0)
        --allocationsBeforeFailure;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size);
}

void FreeZeroed(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

void InjectAllocFailure(int successes)
{
    allocationsBeforeFailure = successes;
}
