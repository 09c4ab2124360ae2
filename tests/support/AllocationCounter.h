// Counts the heap allocations a test makes through operator new, so that a
// test can show that a stretch of real-time code allocates nothing. Linking
// this library replaces the global operator new and delete of the test binary.
#pragma once

namespace sorel::test {

class AllocationCounter {
public:
    // Counting starts again from zero.
    static void Start();
    // Counting ends; the count so far stays readable.
    static void Stop();
    static long Count();
};

}  // namespace sorel::test
