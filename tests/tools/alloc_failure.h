// tests/tools/alloc_failure.h: the test program's own heap, which counts live
// blocks and can fail a chosen allocation, to prove what the filter does
// when memory runs out and that it releases all it takes.
#pragma once

namespace alloc
{

long LiveBlocks();       // allocated and not yet released
long TotalAllocations(); // made since the program started

// The next n allocations succeed, the one after them fails, and all later
// ones succeed again.
void FailAfter(long n);
void NeverFail();

// Fails one allocation after n, for the length of a scope.
struct ScopedFailAfter {
    explicit ScopedFailAfter(long n) { FailAfter(n); }
    ~ScopedFailAfter() { NeverFail(); }
};

} // namespace alloc
