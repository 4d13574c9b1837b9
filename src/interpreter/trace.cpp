#include "interpreter/trace.h"

#include <cstdio>
#include <string>

namespace tovik {

namespace {

void write_trace(std::string_view tag, std::string_view message) {
  std::string line;
  line.reserve(tag.size() + message.size() + 1);
  line += tag;
  line += message;
  line += '\n';
  std::fwrite(line.data(), 1, line.size(), stderr);
}

} // namespace

void trace_driver(std::string_view message) {
  write_trace("\x1b[33m[\x1b[93mTOVIK\x1b[33m]\x1b[0m ", message);
}

void trace_debug(std::string_view message) {
  write_trace("\x1b[33m[\x1b[93mDEBUG\x1b[33m]\x1b[0m ", message);
}

void trace_call(std::string_view message) {
  write_trace("\x1b[33m[\x1b[93mDEBUG CALL\x1b[33m]\x1b[0m ", message);
}

} // namespace tovik
