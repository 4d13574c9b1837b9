#include "support/stdin_reader.h"

#include "support/limits.h"

#include <unistd.h>

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#endif

#include <cerrno>
#include <cstring>

#if defined(__EMSCRIPTEN__)
// In the page's worker, standard input is what the person types into the
// page's console: the run waits for it without blocking the worker
// (web/src/run_worker.js). Elsewhere (node) it is the process's own.
EM_JS(int, tovik_web_has_page_input, (), {
  return Module.tovikReadInput ? 1 : 0;
});
EM_ASYNC_JS(int, tovik_web_read_page_input, (char *block, int size), {
  const bytes = await Module.tovikReadInput(size);
  HEAPU8.set(bytes, block);
  return bytes.length;
});
#endif

namespace tovik {

namespace {

ssize_t read_block(int fd, char *block, size_t size) {
#if defined(__EMSCRIPTEN__)
  if (fd == STDIN_FILENO && tovik_web_has_page_input())
    return tovik_web_read_page_input(block, static_cast<int>(size));
#endif
  return read(fd, block, size);
}

// Large enough that a 10 MB line takes a few hundred reads, small enough to
// live on the stack of any caller.
constexpr size_t kBlockBytes = 64 * 1024;

int input_fd = STDIN_FILENO;
// Bytes read but not yet handed out: kept[kept_start..] is still to come.
std::string kept;
size_t kept_start = 0;

// Moves kept bytes into `line` up to and including the first '\n'; true when
// there was one.
bool take_kept(std::string &line) {
  if (kept_start >= kept.size()) return false;
  const char *begin = kept.data() + kept_start;
  size_t available = kept.size() - kept_start;
  const void *newline = std::memchr(begin, '\n', available);
  size_t count = newline ? static_cast<const char *>(newline) - begin + 1
                         : available;
  // Checked before the bytes are taken, so a line past the cap halts with
  // the reader still in step.
  check_text_length(line.size() + count);
  line.append(begin, count);
  kept_start += count;
  if (kept_start == kept.size()) {
    kept.clear();
    kept_start = 0;
  }
  return newline != nullptr;
}

} // namespace

StdinRead read_stdin_line(std::string &line, StdinWait wait) {
  char block[kBlockBytes];
  for (;;) {
    if (take_kept(line)) return StdinRead::Line;
    if (wait && !wait(input_fd)) return StdinRead::Interrupted;
    ssize_t count = read_block(input_fd, block, sizeof block);
    if (count < 0 && errno == EINTR) {
      if (wait) continue; // the wait tells a Ctrl-C from other signals
      return StdinRead::Interrupted;
    }
    if (count < 0) return StdinRead::Failed;
    if (count == 0) return StdinRead::End;
    const void *newline = std::memchr(block, '\n', static_cast<size_t>(count));
    if (!newline) {
      // A line that never ends must not take all memory before the cap
      // is looked at: checked block by block as it arrives.
      check_text_length(line.size() + static_cast<size_t>(count));
      line.append(block, static_cast<size_t>(count));
      continue;
    }
    size_t through = static_cast<const char *>(newline) - block + 1;
    check_text_length(line.size() + through);
    line.append(block, through);
    kept.assign(block + through, static_cast<size_t>(count) - through);
    kept_start = 0;
    return StdinRead::Line;
  }
}

void drop_kept_stdin() {
  kept.clear();
  kept_start = 0;
}

void reset_stdin_reader(int fd) {
  input_fd = fd;
  drop_kept_stdin();
}

} // namespace tovik
