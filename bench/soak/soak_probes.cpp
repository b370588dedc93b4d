#include "soak_probes.h"

#include <cstdio>
#include <cstring>
#include <fstream>

#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's public interface; gcc's packages ship no header
// for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

long residentKiB() {
  std::FILE *status = std::fopen("/proc/self/status", "r");
  if (!status) return -1;
  char line[256];
  long kib = -1;
  while (std::fgets(line, sizeof line, status))
    if (std::strncmp(line, "VmRSS:", 6) == 0 && std::sscanf(line + 6, "%ld", &kib) == 1) break;
  std::fclose(status);
  return kib;
}

long heapInUseKiB() {
#if defined(__SANITIZE_ADDRESS__)
  return static_cast<long>(__sanitizer_get_current_allocated_bytes() / 1024);
#else
  return static_cast<long>(mallinfo2().uordblks / 1024);
#endif
}

std::uint64_t fileChecksum(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  std::uint64_t hash = 1469598103934665603ull;
  char buffer[65536];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    const std::streamsize n = in.gcount();
    for (std::streamsize i = 0; i < n; ++i) {
      hash ^= static_cast<unsigned char>(buffer[i]);
      hash *= 1099511628211ull;
    }
  }
  return hash;
}
