// Library functions on files, the command line and standard input.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "interpreter/builtins/builtins.h"
#include "interpreter/builtins/input_line.h"
#include "interpreter/builtins/library.h"
#include "support/limits.h"
#include "support/source.h"

namespace tovik {

namespace {

std::vector<std::string> script_arguments;

Value file_error(std::string_view what, const std::string &path, std::string_view reason) {
  return Value::error(std::string(what) + " " + path + ": " + std::string(reason));
}

// Writes all of `text` to `fd`; the errno of a failure, or 0.
int write_all(int fd, std::string_view text) {
  while (!text.empty()) {
    ssize_t n = ::write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    text.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

// The mode a new file gets from open(): 0666 less the process's umask.
mode_t default_file_mode() {
  mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes `text` to a new file in the same directory as `path` and renames
// it over `path`: a reader sees the old contents or the new, never part of
// them, and a failure leaves the old file as it was. An existing file keeps
// its permissions.
int replace_file(const std::string &path, std::string_view text) {
  std::string temporary = path + ".tmp-XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return errno;
  struct stat existing;
  mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777
                                                    : default_file_mode();
  int error = ::fchmod(fd, mode) != 0 ? errno : 0;
  if (!error) error = write_all(fd, text);
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error) ::unlink(temporary.c_str());
  return error;
}

} // namespace

void set_script_arguments(std::vector<std::string> arguments) {
  script_arguments = std::move(arguments);
}

// read_file(path): the whole file as a String, or an Error with the reason.
Value library_read_file(LibraryArgs args, Interpreter &) {
  if (args.empty() || !args[0].is(ValueKind::String)) return Value();
  const std::string &path = args[0].as_text();
  // A file larger than any text may be is refused before it is read.
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
    check_text_length(static_cast<size_t>(info.st_size));
  std::string text;
  std::string error = read_source_file(path, text);
  if (!error.empty()) return file_error("cannot read", path, error);
  check_text_length(text.size());
  return Value::string(std::move(text));
}

// write_file(path, text): true once the file holds exactly `text`.
Value library_write_file(LibraryArgs args, Interpreter &) {
  if (args.size() < 2 || !args[0].is(ValueKind::String) ||
      !args[1].is(ValueKind::String))
    return Value();
  const std::string &path = args[0].as_text();
  if (int error = replace_file(path, args[1].as_text()))
    return file_error("cannot write", path, std::strerror(error));
  return Value::boolean(true);
}

Value library_args(LibraryArgs, Interpreter &) {
  std::vector<Value> out;
  out.reserve(script_arguments.size());
  for (const std::string &argument : script_arguments)
    out.push_back(Value::string_of(argument));
  return Value::array(std::move(out));
}

// read_line(): the next line of standard input, trimmed as input() trims
// it; null at the end of input, so a blank line and the end differ.
Value library_read_line(LibraryArgs, Interpreter &) {
  flush_output();
  std::optional<std::string> line = read_input_line_or_end_from_stdin();
  return line ? Value::string(std::move(*line)) : Value();
}

} // namespace tovik
