#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "main/runner.h"

namespace tovik {
namespace {

TEST(ScriptExtension, OnlyTheFinalComponentCounts) {
  for (const char *path : {"a.tvk", "x.y.tvk", "..tvk", "dir.tvk/a.tvk",
                           "/abs/a.tvk", "a.tvk/", "a.tvk//", "dir\\a.tvk",
                           "a.tvk\\", "d.txt/a.tvk"})
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
  SourceText read_bytes(const std::string &bytes) const {
    std::ofstream(path("f.tvk"), std::ios::binary) << bytes;
    return read_source_file(path("f.tvk"));
  }

  std::string dir_;
};

TEST_F(SourceFile, WellFormedTextIsReadWhole) {
  std::string text = "print(\"h\xC3\xA9llo \xE2\x82\xAC \xF0\x9F\x98\x80\")\n";
  text += std::string(1, '\0') + "\xF4\x8F\xBF\xBF"; // NUL and U+10FFFF
  SourceText source = read_bytes(text);
  EXPECT_TRUE(source.ok) << source.error;
  EXPECT_EQ(source.text, text);

  source = read_bytes(std::string(200000, 'x'));
  EXPECT_TRUE(source.ok);
  EXPECT_EQ(source.text.size(), 200000u);

  source = read_bytes("");
  EXPECT_TRUE(source.ok);
  EXPECT_EQ(source.text, "");
}

TEST_F(SourceFile, IllFormedUtf8IsUnreadable) {
  for (const char *bytes : {
           "\xFF",                 // never a UTF-8 byte
           "ok \x80",              // stray continuation byte
           "\xC0\x80",             // overlong NUL
           "\xED\xA0\x80",         // surrogate half
           "\xF4\x90\x80\x80",     // beyond U+10FFFF
           "ends mid-char \xE2\x82", // truncated at the end of the file
       }) {
    SourceText source = read_bytes(bytes);
    EXPECT_FALSE(source.ok) << bytes;
    EXPECT_EQ(source.error, "stream did not contain valid UTF-8");
    EXPECT_EQ(source.text, "");
  }
}

TEST_F(SourceFile, MissingFilesAndDirectoriesReportTheSystemError) {
  SourceText missing = read_source_file(path("absent.tvk"));
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error, "No such file or directory");

  ASSERT_EQ(mkdir(path("sub.tvk").c_str(), 0700), 0);
  SourceText dir = read_source_file(path("sub.tvk"));
  EXPECT_FALSE(dir.ok);
  EXPECT_EQ(dir.error, "Is a directory");
}

TEST(Milliseconds, ExactlyThreeDecimals) {
  EXPECT_EQ(format_milliseconds(0.042), "0.042");
  EXPECT_EQ(format_milliseconds(0.0), "0.000");
  EXPECT_EQ(format_milliseconds(1234.5), "1234.500");
  EXPECT_EQ(format_milliseconds(0.0004999), "0.000");
}

} // namespace
} // namespace tovik
