#include <gtest/gtest.h>

#include "main/args.h"

namespace tovik {
namespace {

Command parse(std::vector<std::string> rest) {
  rest.insert(rest.begin(), "tovik");
  return parse_args(rest);
}

TEST(ParseArgs, WithoutAFileTheLoopStartsAndNeverTraces) {
  EXPECT_EQ(parse({}).kind, CommandKind::Repl);
  EXPECT_EQ(parse_args({}).kind, CommandKind::Repl);
  for (auto args : std::vector<std::vector<std::string>>{
           {"-d"}, {"--debug", "-x"}, {"--weird", ""}, {"-a.tvk"}}) {
    Command c = parse(args);
    EXPECT_EQ(c.kind, CommandKind::Repl) << args[0];
    EXPECT_FALSE(c.debug) << args[0];
  }
}

TEST(ParseArgs, HelpAndVersionStopAtTheFirstOfThem) {
  EXPECT_EQ(parse({"-h"}).kind, CommandKind::Help);
  EXPECT_EQ(parse({"--help"}).kind, CommandKind::Help);
  EXPECT_EQ(parse({"-v"}).kind, CommandKind::Version);
  EXPECT_EQ(parse({"--version"}).kind, CommandKind::Version);
  EXPECT_EQ(parse({"-v", "-h"}).kind, CommandKind::Version);
  EXPECT_EQ(parse({"-h", "-v"}).kind, CommandKind::Help);
  Command after_file = parse({"a.tvk", "-d", "-h"});
  EXPECT_EQ(after_file.kind, CommandKind::Help);
  EXPECT_EQ(after_file.file, "");
}

// The script sees everything after its path, as given, options included;
// the driver still reads those options, and a second file is only an
// argument of the script.
TEST(ParseArgs, ArgumentsAfterTheFileAreTheScripts) {
  Command c = parse({"-w", "a.tvk", "words.txt", "-d", "", "b.tvk"});
  EXPECT_EQ(c.kind, CommandKind::Run);
  EXPECT_EQ(c.file, "a.tvk");
  EXPECT_TRUE(c.debug);
  EXPECT_TRUE(c.warn);
  EXPECT_EQ(c.script_args, (std::vector<std::string>{"words.txt", "-d", "", "b.tvk"}));
  EXPECT_TRUE(parse({"a.tvk"}).script_args.empty());
  EXPECT_TRUE(parse({"-d"}).script_args.empty());
}

TEST(ParseArgs, FirstFileRunsAndDebugMayStandAnywhere) {
  Command before = parse({"-d", "a.tvk"});
  EXPECT_EQ(before.kind, CommandKind::Run);
  EXPECT_EQ(before.file, "a.tvk");
  EXPECT_TRUE(before.debug);

  Command after = parse({"-x", "a.tvk", "b.tvk", "--debug"});
  EXPECT_EQ(after.kind, CommandKind::Run);
  EXPECT_EQ(after.file, "a.tvk");
  EXPECT_TRUE(after.debug);

  Command plain = parse({"", "--", "notes.txt", "a.tvk"});
  EXPECT_EQ(plain.kind, CommandKind::Run);
  EXPECT_EQ(plain.file, "notes.txt"); // the extension is the runner's test
  EXPECT_FALSE(plain.debug);
}

TEST(ParseArgs, CheckTakesTheFileAndNeverTraces) {
  Command check = parse({"-d", "--check", "a.tvk", "b.tvk"});
  EXPECT_EQ(check.kind, CommandKind::Check);
  EXPECT_EQ(check.file, "a.tvk");
  EXPECT_FALSE(check.debug);
  EXPECT_EQ(parse({"a.tvk", "--check"}).kind, CommandKind::Check);
  EXPECT_EQ(parse({"--check"}).kind, CommandKind::Repl);
  EXPECT_EQ(parse({"--check", "-h"}).kind, CommandKind::Help);
  EXPECT_EQ(parse({"--Check", "a.tvk"}).kind, CommandKind::Run);
}

TEST(ParseArgs, WarnRunsTheFileOrTheLoopAndGoesWithDebug) {
  for (const char *option : {"-w", "--warn"}) {
    Command before = parse({option, "a.tvk"});
    EXPECT_EQ(before.kind, CommandKind::Run) << option;
    EXPECT_EQ(before.file, "a.tvk");
    EXPECT_TRUE(before.warn) << option;
    EXPECT_FALSE(before.debug);
    Command repl = parse({option});
    EXPECT_EQ(repl.kind, CommandKind::Repl) << option;
    EXPECT_TRUE(repl.warn) << option;
  }
  Command both = parse({"a.tvk", "-d", "-w"});
  EXPECT_TRUE(both.debug);
  EXPECT_TRUE(both.warn);
  EXPECT_FALSE(parse({"a.tvk"}).warn);
  EXPECT_FALSE(parse({}).warn);
  EXPECT_FALSE(parse({"-d"}).warn);
  // The checker runs nothing, so there is nothing to warn of at run time.
  Command check = parse({"-w", "--check", "a.tvk"});
  EXPECT_EQ(check.kind, CommandKind::Check);
  EXPECT_FALSE(check.warn);
  EXPECT_EQ(parse({"-w", "-h"}).kind, CommandKind::Help);
  for (const char *not_warn : {"-W", "--Warn", "-wd", "--warn=1", "-warn"})
    EXPECT_FALSE(parse({not_warn, "a.tvk"}).warn) << not_warn;
}

TEST(ParseArgs, OptionsAreWholeCaseSensitiveArguments) {
  for (const char *not_an_option : {"-H", "-D", "-hd", "--help=1", "-debug"})
    EXPECT_EQ(parse({not_an_option}).kind, CommandKind::Repl) << not_an_option;
  EXPECT_FALSE(parse({"-dv", "a.tvk"}).debug);
}

} // namespace
} // namespace tovik
