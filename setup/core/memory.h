// Zero-filled allocation from the process heap, with failure injection for tests.
#pragma once

#include <cstddef>

// Answers zero-filled memory, or null when the heap (or an injected failure)
// refuses.
void* AllocZeroed(size_t size);
void FreeZeroed(void* block);

template <typename T>
T* AllocRecord()
{
    return static_cast<T*>(AllocZeroed(sizeof(T)));
}

// A zero-filled block of AllocZeroed, freed when it goes out of scope;
// get() is null when there was no memory.
class HeapBlock {
public:
    explicit HeapBlock(size_t size) : block_(static_cast<char*>(AllocZeroed(size))) {}
    ~HeapBlock() { FreeZeroed(block_); }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    char* get() const { return block_; }

private:
    char* block_;
};

// Makes the allocation after `successes` more successful ones fail once;
// a negative count turns injection off. Tests use it to reach every
// out-of-memory path.
void InjectAllocFailure(int successes);
