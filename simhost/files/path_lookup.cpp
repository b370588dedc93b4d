// The POSIX side; path_lookup_windows.cpp is the Windows one.
#ifndef _WIN32

#include "files/path_lookup.h"

#include <dirent.h>
#include <sys/stat.h>
#include <time.h>

#include <map>
#include <mutex>
#include <vector>

#include "world/text.h"

namespace simhost {

namespace {

// A folder changed less than this before it was listed may change again
// without its time changing: such a listing is not used again.
constexpr long kRacyNanoseconds = 1000000000L;

struct Listing {
  timespec mtime{};
  bool reusable = false;
  std::vector<std::string> names;  // in the order the folder gives them
};

// A path whose case differs from the tree's: the path as asked for, made
// of its components, and the file it named.
struct Resolution {
  std::string exact;
  std::string resolved;
};

struct Caches {
  std::mutex lock;
  std::map<std::string, Listing> listings;
  std::map<std::string, Resolution> resolutions;
};

Caches &caches() {
  static auto *c = new Caches();  // process-wide, never destroyed
  return *c;
}

bool sameTime(const timespec &a, const timespec &b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

long nanosecondsBetween(const timespec &from, const timespec &to) {
  const long seconds = static_cast<long>(to.tv_sec - from.tv_sec);
  if (seconds > 2) return kRacyNanoseconds * 2;
  return seconds * 1000000000L + (to.tv_nsec - from.tv_nsec);
}

// The listing of a folder as it is now; null when it is not a folder or
// cannot be read.
const Listing *listingOf(Caches &c, const std::string &dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return nullptr;
  auto it = c.listings.find(dir);
  if (it != c.listings.end() && it->second.reusable && sameTime(it->second.mtime, st.st_mtim)) return &it->second;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  DIR *d = opendir(dir.c_str());
  if (!d) return nullptr;
  Listing fresh;
  fresh.mtime = st.st_mtim;
  fresh.reusable = nanosecondsBetween(st.st_mtim, now) >= kRacyNanoseconds;
  while (dirent *e = readdir(d)) fresh.names.emplace_back(e->d_name);
  closedir(d);
  Listing &kept = c.listings[dir];
  kept = std::move(fresh);
  return &kept;
}

bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// The entry of folder dir that is want, or else equals it ignoring case.
// byCase tells which of the two it was.
bool findEntry(Caches &c, const std::string &dir, const std::string &want, std::string &found, bool &byCase) {
  const Listing *listing = listingOf(c, dir);
  if (!listing) {
    // A folder that may be searched but not listed still has its exact names.
    byCase = false;
    found = want;
    return exists(dir + "/" + want);
  }
  for (const std::string &name : listing->names)
    if (name == want) {
      found = want;
      byCase = false;
      return true;
    }
  for (const std::string &name : listing->names)
    if (text::iequals(name, want)) {
      found = name;
      byCase = true;
      return true;
    }
  return false;
}


std::string base(const std::string &root) { return root.empty() ? "." : root; }

std::string exactPath(const std::string &root, const std::vector<std::string> &parts) {
  std::string path = base(root);
  for (const std::string &p : parts) path += "/" + p;
  return path;
}

// Walks the folders, listing those where the exact name is missing.
std::string walk(Caches &c, const std::string &root, const std::vector<std::string> &parts, bool forWriting,
                 std::vector<std::string> &foldersByCase) {
  std::string path = base(root);
  for (size_t k = 0; k < parts.size(); ++k) {
    std::string found;
    bool byCase = false;
    if (!findEntry(c, path, parts[k], found, byCase)) {
      if (!(forWriting && k + 1 == parts.size())) return "";
      found = parts[k];
      // The folder must still be one to write into.
      struct stat st;
      if (stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return "";
    }
    if (byCase) foldersByCase.push_back(path);
    path += "/" + found;
  }
  return path;
}

// A stream of the opened path for reading, null when it is a folder. The
// first character is read ahead and given back: a folder fails that read,
// and the stream would have made it anyway, so telling costs no call.
FILE *readableFile(FILE *f) {
  if (!f) return nullptr;
  const int first = std::getc(f);
  if (first == EOF) {
    if (std::ferror(f)) {
      std::fclose(f);
      return nullptr;
    }
    std::clearerr(f);
    return f;
  }
  std::ungetc(first, f);
  return f;
}

FILE *openFile(const std::string &path, const char *mode) { return readableFile(std::fopen(path.c_str(), mode)); }

}  // namespace

std::string lookUpPath(const std::string &root, const std::string &simPath, bool forWriting) {
  std::vector<std::string> parts;
  if (!splitSimPath(simPath, parts)) return "";
  const std::string exact = exactPath(root, parts);
  if (exists(exact)) return exact;
  Caches &c = caches();
  std::lock_guard<std::mutex> guard(c.lock);
  std::vector<std::string> ignored;
  return walk(c, root, parts, forWriting, ignored);
}

FILE *openPathForReading(const std::string &root, const std::string &simPath, const char *mode) {
  Caches &c = caches();
  // The key is the path as asked for, so that a known path costs no
  // splitting.
  std::string key;
  key.reserve(root.size() + 1 + simPath.size());
  key.append(root).append(1, '\0').append(simPath);
  {
    std::lock_guard<std::mutex> guard(c.lock);
    // A path known to differ in case from the tree: a file of the exact
    // name that has come since wins, else the file it named while that is
    // there. Two opens, where checking the folders that decided it would
    // take a call for each and an open.
    auto known = c.resolutions.find(key);
    if (known != c.resolutions.end()) {
      if (FILE *f = std::fopen(known->second.exact.c_str(), mode)) return readableFile(f);
      if (FILE *f = openFile(known->second.resolved, mode)) return f;
      c.resolutions.erase(known);
    }
  }
  std::vector<std::string> parts;
  if (!splitSimPath(simPath, parts)) return nullptr;
  // The exact name, with one system call; a folder of that name is no file.
  std::string exact = exactPath(root, parts);
  if (FILE *f = std::fopen(exact.c_str(), mode)) return readableFile(f);
  std::string resolved;
  {
    std::lock_guard<std::mutex> guard(c.lock);
    std::vector<std::string> foldersByCase;
    resolved = walk(c, root, parts, false, foldersByCase);
    if (resolved.empty()) return nullptr;
    if (!foldersByCase.empty()) c.resolutions[key] = Resolution{std::move(exact), resolved};
  }
  return openFile(resolved, mode);
}

}  // namespace simhost

#endif  // !_WIN32
