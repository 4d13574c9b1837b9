#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "main/runner.h"
#include "support/source.h"

namespace tovik {
namespace {

TEST(ScriptExtension, OnlyTheFinalComponentCounts) {
  for (const char *path :
       {"a.tvk", "x.y.tvk", "..tvk", "dir.tvk/a.tvk", "/abs/a.tvk", "a.tvk/",
        "a.tvk//", "dir\\a.tvk", "a.tvk\\", "d.txt/a.tvk"})
    EXPECT_TRUE(has_script_extension(path)) << path;
  for (const char *path : {".tvk", "A.TVK", "a.Tvk", "a.tvk.bak", "notes.txt",
                           "a.", "tvk", "dir.tvk/notes.txt", "a.tvk/.tvk",
                           "a.tvk\\b", "dir/.tvk/", "", "/", "\\\\"})
    EXPECT_FALSE(has_script_extension(path)) << path;
}

class SourceFile : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/tovik-runner-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::remove(path("f.tvk").c_str());
    rmdir(path("sub.tvk").c_str());
    rmdir(dir_.c_str());
  }
  std::string path(const std::string &name) const { return dir_ + "/" + name; }
  // The error text, empty when the file was read into `text_`.
  std::string read_bytes(const std::string &bytes) {
    std::ofstream(path("f.tvk"), std::ios::binary) << bytes;
    return read_source_file(path("f.tvk"), text_);
  }

  std::string dir_;
  std::string text_;
};

TEST_F(SourceFile, WellFormedTextIsReadWhole) {
  std::string text = "print(\"h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80\")\n";
  text += std::string(1, '\0') + "\xF4\x8F\xBF\xBF"; // NUL and U+10FFFF
  EXPECT_EQ(read_bytes(text), "");
  EXPECT_EQ(text_, text);

  EXPECT_EQ(read_bytes(std::string(200000, 'x')), "");
  EXPECT_EQ(text_.size(), 200000u);

  EXPECT_EQ(read_bytes(""), "");
  EXPECT_EQ(text_, "");
}

TEST_F(SourceFile, IllFormedUtf8IsUnreadable) {
  for (const char *bytes : {
           "\xFF",                   // never a UTF-8 byte
           "ok \x80",                // stray continuation byte
           "\xC0\x80",               // overlong NUL
           "\xED\xA0\x80",           // surrogate half
           "\xF4\x90\x80\x80",       // beyond U+10FFFF
           "ends mid-char \xE2\x82", // truncated at the end of the file
       }) {
    EXPECT_EQ(read_bytes(bytes), "stream did not contain valid UTF-8") << bytes;
  }
}

TEST_F(SourceFile, MissingFilesAndDirectoriesReportTheSystemError) {
  std::string text;
  EXPECT_EQ(read_source_file(path("absent.tvk"), text),
            "No such file or directory");
  ASSERT_EQ(mkdir(path("sub.tvk").c_str(), 0700), 0);
  EXPECT_EQ(read_source_file(path("sub.tvk"), text), "Is a directory");
}

// A FIFO with no writer would block a plain open forever; it and a device
// are refused at once as not regular files.
TEST_F(SourceFile, FifosAndDevicesAreRefusedWithoutWaiting) {
  std::string text = "left alone";
  ASSERT_EQ(mkfifo(path("pipe.tvk").c_str(), 0600), 0);
  EXPECT_EQ(read_source_file(path("pipe.tvk"), text), "Not a regular file");
  std::remove(path("pipe.tvk").c_str());
  EXPECT_EQ(read_source_file("/dev/null", text), "Not a regular file");
  EXPECT_EQ(read_source_file("/dev/zero", text), "Not a regular file");
  EXPECT_EQ(text, "left alone");
}

TEST(Milliseconds, ExactlyThreeDecimals) {
  EXPECT_EQ(format_milliseconds(0.042), "0.042");
  EXPECT_EQ(format_milliseconds(0.0), "0.000");
  EXPECT_EQ(format_milliseconds(1234.5), "1234.500");
  EXPECT_EQ(format_milliseconds(0.0004999), "0.000");
}

} // namespace
} // namespace tovik
