// The command line's options, accounts files and output forms.
#include "app/cli.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/gbk.h"

namespace dsr {
namespace {

// Literals here are GBK; what the command reads and writes is UTF-8.
std::string U(std::string_view gbk) { return GbkToUtf8(gbk); }

CliParse Parse(std::vector<std::string> args) { return ParseCliArguments(args); }

TEST(ParseCliArguments, ReadsEveryOption) {
  const CliParse p = Parse({"--format", "json", "--targets=4.9,4.8,4.7", "--interval", "0.5", "a",
                            "--", "-b", "--connect-to", "x:80:127.0.0.1:1"});
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.format, CliFormat::Json);
  EXPECT_EQ(p.options.targets, (std::array<std::string, 3>{"4.9", "4.8", "4.7"}));
  EXPECT_EQ(p.options.intervalSeconds, 0.5);
  // After "--" everything is an account.
  EXPECT_EQ(p.options.accounts,
            (std::vector<std::string>{"a", "-b", "--connect-to", "x:80:127.0.0.1:1"}));
  EXPECT_TRUE(p.options.connectTo.empty());

  const CliParse d = Parse({"shop"});
  ASSERT_EQ(d.error, "");
  EXPECT_EQ(d.options.format, CliFormat::Text);
  EXPECT_EQ(d.options.targets, (std::array<std::string, 3>{"4.99", "4.99", "4.99"}));
  EXPECT_EQ(d.options.intervalSeconds, 1);
  EXPECT_FALSE(d.options.excel);

  const CliParse t = Parse(
      {"--target", "4.5", "--format=csv", "--excel", "--connect-to", "h:80:127.0.0.1:9", "shop"});
  ASSERT_EQ(t.error, "");
  EXPECT_EQ(t.options.targets, (std::array<std::string, 3>{"4.5", "4.5", "4.5"}));
  EXPECT_TRUE(t.options.excel);
  EXPECT_EQ(t.options.connectTo, std::vector<std::string>{"h:80:127.0.0.1:9"});

  // Help and version need no account.
  EXPECT_TRUE(Parse({"--help"}).options.help);
  EXPECT_TRUE(Parse({"-h"}).options.help);
  EXPECT_TRUE(Parse({"--version"}).options.version);
  EXPECT_EQ(Parse({"--version"}).error, "");
}

TEST(ParseCliArguments, RefusesWhatIsNotACommand) {
  const struct {
    std::vector<std::string> args;
    std::string error;  // a part of the message
  } cases[] = {
      {{}, "no account"},
      {{"--format", "json"}, "no account"},
      {{"--format", "xml", "a"}, "unknown format"},
      {{"--format"}, "--format needs a value"},
      {{"--bogus", "a"}, "unknown option: --bogus"},
      {{"--targetx=4", "a"}, "unknown option"},
      {{"--target", "5", "a"}, "below 5"},
      {{"--target", "5.0", "a"}, "below 5"},
      {{"--target", "abc", "a"}, "below 5"},
      {{"--target", "-1", "a"}, "below 5"},
      {{"--target", "4.", "a"}, "below 5"},
      {{"--target", "", "a"}, "below 5"},
      {{"--targets", "4.9,4.8", "a"}, "three targets"},
      {{"--targets", "4.9,4.8,4.7,4.6", "a"}, "three targets"},
      {{"--targets", "4.9,,4.7", "a"}, "below 5"},
      {{"--target", "4.9", "--targets", "4.9,4.8,4.7", "a"}, "cannot both"},
      {{"--interval", "-1", "a"}, "--interval"},
      {{"--interval", "1e9", "a"}, "--interval"},
      {{"--interval", "100000", "a"}, "--interval"},
      {{"--interval", "x", "a"}, "--interval"},
      {{"--excel", "a"}, "--excel goes with --format csv"},
      {{"--format", "json", "--excel", "a"}, "--excel goes with --format csv"},
      {{""}, "empty"},
      {{"--accounts-file", "/nonexistent/accounts.txt"}, "cannot read the accounts file"},
  };
  for (const auto& c : cases) {
    const CliParse p = Parse(c.args);
    EXPECT_NE(p.error.find(c.error), std::string::npos)
        << testing::PrintToString(c.args) << " gave \"" << p.error << "\"";
  }
}

TEST(AccountsOfFileText, SkipsCommentsAndBlankLines) {
  const std::string text = "\xEF\xBB\xBF# shops of mine\r\nvrenlo_shop\r\n\r\n  \n" +
                           U("张记小铺") +
                           "\n  # not a comment: it does not begin with #\n#last\nno end";
  EXPECT_EQ(AccountsOfFileText(text),
            (std::vector<std::string>{"vrenlo_shop", U("张记小铺"),
                                      "  # not a comment: it does not begin with #", "no end"}));
  EXPECT_TRUE(AccountsOfFileText("").empty());
  EXPECT_TRUE(AccountsOfFileText("\n\n# only\n").empty());
}

TEST(ParseCliArguments, AddsTheAccountsFileAfterTheCommandLine) {
  const std::filesystem::path path =
      std::filesystem::path(testing::TempDir()) / "cli_test_accounts.txt";
  std::ofstream(path, std::ios::binary) << "# mine\n" << U("张记小铺") << "\n\nlowscore_store\n";
  const CliParse p = Parse({"first", "--accounts-file", path.string()});
  std::filesystem::remove(path);
  ASSERT_EQ(p.error, "");
  EXPECT_EQ(p.options.accounts,
            (std::vector<std::string>{"first", U("张记小铺"), "lowscore_store"}));
}

TEST(CsvField, QuotesOnlyWhatNeedsIt) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"plain", "plain"},
      {"", ""},
      {U("张记小铺"), U("张记小铺")},
      {"a,b", "\"a,b\""},
      {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"\"", "\"\"\"\""},
      {"two\nlines", "\"two\nlines\""},
      {"cr\r", "\"cr\r\""},
      {" spaced ", " spaced "},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvField(c.in), c.out) << c.in;
}

TEST(JsonString, EscapesQuotesBackslashesAndControls) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"abc", "\"abc\""},
      {"", "\"\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"tab\tnl\n", "\"tab\\u0009nl\\u000a\""},
      {std::string("\0x", 2), "\"\\u0000x\""},
      {"\x7F", "\"\\u007f\""},
      {U("无法达到"), "\"" + U("无法达到") + "\""},
  };
  for (const auto& c : cases) EXPECT_EQ(JsonString(c.in), c.out) << c.in;
}

// A result as the run builds it: the first rating read, the second read
// without a percentage and out of reach, the third not read.
CliAccountResult MixedResult() {
  CliAccountResult r;
  r.account = "a,\"b\"";
  r.ratings[0] = {{"4.8", "1234", "高于同行业12.34%"},
                  "4.8分--1234人--高于同行业12.34%",
                  "4.99",
                  23446,
                  "",
                  "所需5分单数：23446"};
  r.ratings[1] = {
      {"4.7", "1,230", "低于同行业"}, "4.7分--1,230人", "4.99999999", std::nullopt, "无法达到",
      "所需5分单数：无法达到"};
  r.ratings[2] = {
      {"", "", "低于同行业"}, "无法读取评分，页面格式可能已改变", "04.9", std::nullopt, "无数据",
      "所需5分单数：无数据"};
  r.failure = "无法读取评分，页面格式可能已改变";
  return r;
}

TEST(FormatResult, TextShowsTheWindowLines) {
  EXPECT_EQ(FormatTextResult(MixedResult()),
            U("a,\"b\"\n"
              "宝贝与描述相符DSR当前值：4.8分--1234人--高于同行业12.34%  所需5分单数：23446\n"
              "卖家的服务态度DSR当前值：4.7分--1,230人  所需5分单数：无法达到\n"
              "卖家发货的速度DSR当前值：无法读取评分，页面格式可能已改变  所需5分单数：无数据\n"));
}

TEST(FormatResult, JsonGivesNumbersNullsAndReasons) {
  EXPECT_EQ(FormatJsonResult(MixedResult()),
            U("{\"account\":\"a,\\\"b\\\"\",\"ratings\":["
              "{\"name\":\"宝贝与描述相符\",\"score\":4.8,\"raters\":1234,\"direction\":\"higher\","
              "\"percentage\":\"12.34%\",\"target\":4.99,\"needed\":23446,\"reason\":null},"
              "{\"name\":\"卖家的服务态度\",\"score\":4.7,\"raters\":\"1,230\",\"direction\":null,"
              "\"percentage\":null,\"target\":4.99999999,\"needed\":null,\"reason\":\"无法达到\"},"
              "{\"name\":\"卖家发货的速度\",\"score\":null,\"raters\":null,\"direction\":null,"
              "\"percentage\":null,\"target\":\"04.9\",\"needed\":null,\"reason\":\"无数据\"}],"
              "\"failure\":\"无法读取评分，页面格式可能已改变\"}\n"));

  CliAccountResult read = MixedResult();
  read.failure.clear();
  read.ratings[1].reading.comparison = "低于同行业5.67%";
  const std::string json = FormatJsonResult(read);
  EXPECT_NE(json.find("\"direction\":\"lower\",\"percentage\":\"5.67%\""), std::string::npos);
  EXPECT_TRUE(json.ends_with(",\"failure\":null}\n")) << json;
}

TEST(FormatResult, CsvRowMatchesTheHeader) {
  const std::string header = CsvHeader();
  EXPECT_TRUE(
      header.starts_with("account,description_score,description_raters,"
                         "description_direction,description_percentage,"
                         "description_target,description_needed,service_score,"))
      << header;
  EXPECT_TRUE(header.ends_with(",shipping_needed,failure\r\n")) << header;
  EXPECT_EQ(FormatCsvResult(MixedResult()),
            U("\"a,\"\"b\"\"\",4.8,1234,higher,12.34%,4.99,23446,"
              "4.7,\"1,230\",,,4.99999999,无法达到,"
              ",,,,04.9,无数据,无法读取评分，页面格式可能已改变\r\n"));
}

}  // namespace
}  // namespace dsr
