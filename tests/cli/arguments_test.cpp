// The argument reader and the JSON text helpers behind every sub-command.
#include <gtest/gtest.h>

#include <limits>

#include "cli/arguments.h"
#include "cli/json_output.h"

namespace kts::cli {
namespace {

bool Parse(std::vector<std::string> words, Arguments& out, std::string& error) {
  OptionSpec spec;
  spec.withValue = {"--out", "--format"};
  spec.flags = {"--mat", "--yes"};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  return ParseArguments(static_cast<int>(argv.size()), argv.data(), 0, spec, out, error);
}

TEST(Arguments, ValuesFlagsAndPositionalsInAnyOrder) {
  Arguments a;
  std::string error;
  ASSERT_TRUE(Parse({"in.hex", "--out", "x", "--mat", "--format=E", "more.dat"}, a, error));
  EXPECT_EQ(a.value("--out"), "x");
  EXPECT_EQ(a.value("--format"), "E");
  EXPECT_TRUE(a.has("--mat"));
  EXPECT_FALSE(a.has("--yes"));
  EXPECT_EQ(a.positional, (std::vector<std::string>{"in.hex", "more.dat"}));
}

TEST(Arguments, DoubleDashEndsOptionsSoFileNamesMayStartWithADash) {
  Arguments a;
  std::string error;
  ASSERT_TRUE(Parse({"--mat", "--", "--odd-name.hex", "-"}, a, error));
  EXPECT_EQ(a.positional, (std::vector<std::string>{"--odd-name.hex", "-"}));
}

TEST(Arguments, EmptyValueAfterEqualsIsKeptAsEmpty) {
  Arguments a;
  std::string error;
  ASSERT_TRUE(Parse({"--out="}, a, error));
  EXPECT_EQ(a.value("--out"), "");
}

TEST(JsonOutput, EscapesQuotesControlCharactersAndConvertsLatin1Labels) {
  EXPECT_EQ(JsonString("a\"b\\c\n"), "\"a\\\"b\\\\c\\u000a\"");
  EXPECT_EQ(JsonString("/dev/pts/3"), "\"/dev/pts/3\"");
  // "µS/cm" as the channel table holds it (Latin-1 0xB5) becomes UTF-8.
  EXPECT_EQ(JsonLatin1("\xB5S/cm"), "\"\xC2\xB5S/cm\"");
  EXPECT_EQ(Utf8FromLatin1("\xB5"), "\xC2\xB5");
  EXPECT_EQ(JsonNumber(0.5), "0.5");
  EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
  EXPECT_EQ(JsonTime(MakeTime(2026, 3, 7, 14, 5, 9)), "\"2026-03-07T14:05:09\"");
}

}  // namespace
}  // namespace kts::cli
