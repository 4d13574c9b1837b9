// Two system calls the web build's C library lacks, made from what it has.
// Signals never arrive there, so ppoll's signal mask changes nothing.
#include <poll.h>
#include <signal.h>
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

extern "C" int ppoll(struct pollfd *fds, nfds_t count,
                     const struct timespec *timeout, const sigset_t *) {
  int milliseconds =
      timeout ? static_cast<int>(timeout->tv_sec * 1000 +
                                 timeout->tv_nsec / 1000000)
              : -1;
  return poll(fds, count, milliseconds);
}
