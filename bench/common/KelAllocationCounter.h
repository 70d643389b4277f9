// Counts heap allocations made through operator new, for the benchmarks'
// "allocations per frame".
#pragma once

long KelAllocationCount();
