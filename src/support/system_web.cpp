// System calls the web build's C library lacks or cannot make, replaced.
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>

extern "C" ssize_t getrandom(void *buffer, size_t length, unsigned) {
  auto *bytes = static_cast<unsigned char *>(buffer);
  size_t done = 0;
  while (done < length) {
    // getentropy gives at most 256 bytes a call.
    size_t part = std::min<size_t>(length - done, 256);
    if (getentropy(bytes + done, part) != 0) return done ? done : -1;
    done += part;
  }
  return static_cast<ssize_t>(done);
}

// The interactive loop waits for input with ppoll only to notice Ctrl-C
// meanwhile; no signal arrives in the web build, so every descriptor asked
// about is ready and the read that follows does the waiting.
extern "C" int ppoll(struct pollfd *fds, nfds_t count, const struct timespec *,
                     const sigset_t *) {
  for (nfds_t i = 0; i < count; ++i) fds[i].revents = fds[i].events & POLLIN;
  return static_cast<int>(count);
}

// emscripten's fsync waits on the file system's own flush, which node's
// files (written through at once) lack, and fails there; the page's files
// live in memory. Either way there is nothing left to flush.
extern "C" int fsync(int) { return 0; }
