// Counts the heap allocations a piece of code makes through operator new.
// Linking this file into a test program replaces the global operator new and
// delete (kept in a file of their own so that no caller inlines them).
#pragma once

namespace keltest {
// Starts counting from 0.
void StartCountingAllocations();
// Stops counting and answers the allocations made since the start.
long StopCountingAllocations();
}  // namespace keltest
