#pragma once
// Heap accounting for the benchmarks: linking HeapCount.cpp routes every
// operator new of the process through a counter of live and peak bytes.

#include <cstddef>

namespace vek::bench {

// Starts a measurement: the peak is set to what is live now, which is returned.
std::size_t start_heap_peak();
// The highest live byte count since start_heap_peak().
std::size_t heap_peak();

}  // namespace vek::bench
