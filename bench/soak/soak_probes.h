// What the soak measures of itself and of its saves: the process's resident
// memory and a checksum of a saved scenario file.
#pragma once

#include <cstdint>
#include <string>

// VmRSS of /proc/self/status in KiB; -1 when it cannot be read.
long residentKiB();
// Bytes the program holds allocated on the heap, in KiB: the sanitizer's
// allocator count under AddressSanitizer (which, unlike the resident memory,
// leaves out its quarantine of freed blocks), glibc's otherwise.
long heapInUseKiB();
// FNV-1a (64 bit) of the file's bytes; 0 when it cannot be read.
std::uint64_t fileChecksum(const std::string &path);
