#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/stdin_reader.h"

namespace tovik {
namespace {

// A pipe whose read end stands in for standard input; the reader goes back
// to the real one afterwards.
class StdinReaderTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(pipe(fds_), 0);
    reset_stdin_reader(fds_[0]);
  }
  void TearDown() override {
    reset_stdin_reader(STDIN_FILENO);
    close(fds_[0]);
    if (fds_[1] >= 0) close(fds_[1]);
  }
  void feed(const std::string &bytes) {
    ASSERT_EQ(write(fds_[1], bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
  }
  void close_writer() {
    close(fds_[1]);
    fds_[1] = -1;
  }
  std::string next(StdinRead expected, StdinWait wait = nullptr) {
    std::string line;
    EXPECT_EQ(read_stdin_line(line, wait), expected);
    return line;
  }
  int fds_[2] = {-1, -1};
};

int waits = 0;
bool count_wait(int) { return ++waits > 0; }
bool refuse_wait(int) { return false; }

TEST_F(StdinReaderTest, BytesReadPastALineWaitForTheNextCall) {
  feed("one\ntwo\nthr");
  waits = 0;
  EXPECT_EQ(next(StdinRead::Line, count_wait), "one\n");
  EXPECT_EQ(waits, 1);
  // Already read with the first line: no second wait, no second read.
  EXPECT_EQ(next(StdinRead::Line, count_wait), "two\n");
  EXPECT_EQ(waits, 1);
  feed("ee\n");
  EXPECT_EQ(next(StdinRead::Line), "three\n");
  feed("last");
  close_writer();
  EXPECT_EQ(next(StdinRead::End), "last");
  EXPECT_EQ(next(StdinRead::End), "");
}

TEST_F(StdinReaderTest, ALineLongerThanManyBlocksArrivesWhole) {
  std::string body;
  for (int i = 0; body.size() < 300000; ++i) body += std::to_string(i) + ",";
  // The writer would block on a full pipe, so it runs beside the reader.
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::string all = body + "\nafter\n";
    size_t done = 0;
    while (done < all.size()) {
      ssize_t n = write(fds_[1], all.data() + done, all.size() - done);
      if (n <= 0) _exit(1);
      done += static_cast<size_t>(n);
    }
    _exit(0);
  }
  close_writer();
  EXPECT_EQ(next(StdinRead::Line), body + "\n");
  EXPECT_EQ(next(StdinRead::Line), "after\n");
  EXPECT_EQ(next(StdinRead::End), "");
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_EQ(status, 0);
}

TEST_F(StdinReaderTest, AWaitThatGivesUpLeavesTheRestForLater) {
  feed("whole\nhalf");
  EXPECT_EQ(next(StdinRead::Interrupted, refuse_wait), "");
  EXPECT_EQ(next(StdinRead::Line), "whole\n");
  // The kept "half" is handed over, then the wait gives up before reading.
  EXPECT_EQ(next(StdinRead::Interrupted, refuse_wait), "half");
  feed("fresh\n");
  EXPECT_EQ(next(StdinRead::Line), "fresh\n");
}

TEST_F(StdinReaderTest, DroppingForgetsOnlyWhatWasKept) {
  feed("a\nb\nc\n");
  EXPECT_EQ(next(StdinRead::Line), "a\n");
  drop_kept_stdin();
  feed("d\n");
  EXPECT_EQ(next(StdinRead::Line), "d\n");
}

} // namespace
} // namespace tovik
