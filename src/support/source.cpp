#include "support/source.h"

#include "support/limits.h"
#include "support/unicode.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tovik {

bool is_valid_utf8(std::string_view text) {
  const auto *bytes = reinterpret_cast<const uint8_t *>(text.data());
  size_t offset = 0;
  // ICU walks 32-bit offsets, so very large texts are checked in chunks; a
  // character cut by a chunk's end is checked again at the next chunk.
  while (offset < text.size()) {
    auto length = static_cast<int32_t>(
        std::min<size_t>(text.size() - offset, size_t{1} << 30));
    bool last = offset + static_cast<size_t>(length) == text.size();
    const uint8_t *chunk = bytes + offset;
    int32_t i = 0;
    while (i < length) {
      int32_t start = i;
      UChar32 c;
      U8_NEXT(chunk, i, length, c);
      if (c < 0) {
        if (!last && start >= length - 4) {
          i = start;
          break;
        }
        return false;
      }
    }
    offset += static_cast<size_t>(i);
  }
  return true;
}

std::string_view trim_white_space(std::string_view text) {
  const auto *s = reinterpret_cast<const uint8_t *>(text.data());
  const int64_t length = static_cast<int64_t>(text.size());
  // One forward pass: remember where the first non-space code point starts
  // and where the last one ends.
  int64_t begin = length, end = 0;
  int64_t i = 0;
  while (i < length) {
    int64_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (is_white_space(c)) continue;
    if (begin == length) begin = start;
    end = i;
  }
  if (begin >= end) return std::string_view();
  return text.substr(static_cast<size_t>(begin),
                     static_cast<size_t>(end - begin));
}

// Read with the system's directory calls, which allocate nothing through the
// language's allocator: the standard library's non-throwing directory
// iterator ends the process when an allocation inside it fails.
std::vector<std::string> module_files_here() {
  std::vector<std::string> names;
  DIR *dir = ::opendir(".");
  if (!dir) return names;
  struct DirCloser {
    DIR *dir;
    ~DirCloser() { ::closedir(dir); }
  } closer{dir};
  constexpr std::string_view suffix = ".tvk";
  while (const dirent *entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name.size() > suffix.size() && name.ends_with(suffix))
      names.emplace_back(name.substr(0, name.size() - suffix.size()));
  }
  return names;
}

std::string read_source_file(const std::string &path, std::string &text) {
  // Only regular files hold a script. Opening without blocking means a FIFO
  // with no writer (or a device that waits) is refused instead of hanging;
  // the kind is checked on the opened descriptor, so a path swapped in
  // between cannot slip through.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::strerror(errno);
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    int error = errno;
    ::close(fd);
    return std::strerror(error);
  }
  if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    return S_ISDIR(info.st_mode) ? std::strerror(EISDIR)
                                 : "Not a regular file";
  }
  // Reads of a regular file never block; the flag only mattered for open.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  text.clear();
  char buffer[65536];
  while (true) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      return std::strerror(error);
    }
    // A file still being written may grow as fast as it is read.
    if (text.size() + static_cast<size_t>(n) > text_bytes_cap) {
      ::close(fd);
      out_of_memory();
    }
    text.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  if (!is_valid_utf8(text)) return "stream did not contain valid UTF-8";
  return {};
}

} // namespace tovik
