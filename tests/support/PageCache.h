#pragma once
// What of a file the page cache holds: for tests and benchmarks that check a
// reader touched only the parts of a clip it needs.

#include <cstdint>
#include <filesystem>

namespace vek::test {

// Flushes the file and drops its pages from the page cache.
void evict(const std::filesystem::path& path);
// Bytes of the file in the page cache (mincore over a map of it).
std::uint64_t resident_bytes(const std::filesystem::path& path);

}  // namespace vek::test
