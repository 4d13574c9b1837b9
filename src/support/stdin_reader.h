// Standard input read in blocks, for everything that reads it line by line.
//
// The interactive loop and the `input` builtin both read standard input, and
// each must see exactly the lines after those the other took. Reading a byte
// per system call keeps them in step but makes a long line cost seconds;
// instead one buffer serves both: a block read past the end of a line stays
// there for whichever reader comes next.
#pragma once

#include <string>

namespace tovik {

enum class StdinRead {
  Line,        // `line` ends with '\n'
  End,         // end of input; `line` holds what came before it
  Interrupted, // the wait gave up or a read was interrupted by a signal
  Failed,      // a read failed; `line` holds what came before it
};

// Called before each read of the descriptor; false gives up (Ctrl-C).
using StdinWait = bool (*)(int fd);

// Appends the next line, with its '\n' when it has one, to `line`. Bytes
// read beyond it are kept for the next call. With `wait`, every read is
// preceded by it; without, a read interrupted by a signal gives up.
// Halts with "Error: out of memory" as soon as the line passes the text cap.
StdinRead read_stdin_line(std::string &line, StdinWait wait);

// Forgets the bytes kept from earlier reads (the rest of a line that was
// cancelled). The kept bytes never hold a whole line when this is called by
// the loop, as it cancels only while waiting for one.
void drop_kept_stdin();

// Makes `fd` the descriptor read (standard input unless a test says else)
// and forgets what was kept.
void reset_stdin_reader(int fd);

} // namespace tovik
