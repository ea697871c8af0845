// The whole command against the simulator in-process: the three output forms
// of the seeded accounts, failures among good accounts, accounts files, the
// pause and progress between accounts, usage errors and the maker's stop.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/addresses.h"
#include "app/cli.h"
#include "app/gbk.h"
#include "tools/simulator_site.h"
#include "web/curl_transport.h"
#include "web/url.h"

namespace dsr {
namespace {

std::string U(std::string_view gbk) { return GbkToUtf8(gbk); }

struct CliOutcome {
  int code = -1;
  std::string out;
  std::string err;
  std::vector<double> sleeps;
};

CliOutcome RunWith(std::vector<std::string> args, bool errIsTerminal = false) {
  CliOutcome run;
  CliIo io;
  io.out = [&run](std::string_view t) { run.out += t; };
  io.err = [&run](std::string_view t) { run.err += t; };
  io.errIsTerminal = errIsTerminal;
  io.sleep = [&run](double s) { run.sleeps.push_back(s); };
  run.code = RunCli(args, io);
  return run;
}

std::vector<std::string> Lines(std::string_view text, std::string_view end = "\n") {
  std::vector<std::string> lines;
  for (std::size_t at; (at = text.find(end)) != std::string_view::npos;) {
    lines.emplace_back(text.substr(0, at));
    text.remove_prefix(at + end.size());
  }
  EXPECT_EQ(text, "") << "the output does not end with a line end";
  return lines;
}

class CliRun : public testing::Test {
 protected:
  explicit CliRun(SimulatorOptions options = {}) : simulator_(WithAnyPort(std::move(options))) {
    simulator_.RouteConfiguredHosts();
  }
  static SimulatorOptions WithAnyPort(SimulatorOptions options) {
    options.port = 0;
    return options;
  }
  SimulatorThread simulator_;
};

const std::string kAdLine = U("演示模式：数据来自本机的淘宝模拟站点，均为虚构。");

TEST_F(CliRun, TextShowsTheWindowLinesOfEachAccount) {
  const CliOutcome run = RunWith({"vrenlo_shop", U("张记小铺")});
  EXPECT_EQ(run.code, kCliAllRead) << run.err;
  EXPECT_EQ(
      run.out,
      kAdLine + "\n" +
          U("vrenlo_shop\n"
            "宝贝与描述相符DSR当前值：4.8分--1234人--高于同行业12.34%  所需5分单数：23446\n"
            "卖家的服务态度DSR当前值：4.7分--1230人--低于同行业5.67%  所需5分单数：35670\n"
            "卖家发货的速度DSR当前值：4.9分--1229人--高于同行业20.01%  所需5分单数：11061\n"
            "\n"
            "张记小铺\n"
            "宝贝与描述相符DSR当前值：4.95分--12345人--高于同行业30.12%  所需5分单数：49380\n"
            "卖家的服务态度DSR当前值：4.86分--12001人--高于同行业8.45%  所需5分单数：156013\n"
            "卖家发货的速度DSR当前值：4.79分--11987人--低于同行业2.10%  所需5分单数：239740\n"));
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.sleeps, std::vector<double>{1.0});
}

TEST_F(CliRun, JsonGivesOneObjectPerAccountAndNoAdLine) {
  const CliOutcome run = RunWith({"--format", "json", "--targets", "4.9,4.99,4.5", "vrenlo_shop",
                                  "lowscore_store", U("张记小铺")});
  EXPECT_EQ(run.code, kCliAllRead) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u) << run.out;
  EXPECT_EQ(lines[0],
            U("{\"account\":\"vrenlo_shop\",\"ratings\":["
              "{\"name\":\"宝贝与描述相符\",\"score\":4.8,\"raters\":1234,\"direction\":\"higher\","
              "\"percentage\":\"12.34%\",\"target\":4.9,\"needed\":1234,\"reason\":null},"
              "{\"name\":\"卖家的服务态度\",\"score\":4.7,\"raters\":1230,\"direction\":\"lower\","
              "\"percentage\":\"5.67%\",\"target\":4.99,\"needed\":35670,\"reason\":null},"
              "{\"name\":\"卖家发货的速度\",\"score\":4.9,\"raters\":1229,\"direction\":\"higher\","
              "\"percentage\":\"20.01%\",\"target\":4.5,\"needed\":0,\"reason\":null}],"
              "\"failure\":null}"));
  EXPECT_TRUE(lines[1].starts_with("{\"account\":\"lowscore_store\"")) << lines[1];
  // 88 ratings at 4.6 to 4.9: 88·0.3/0.1.
  EXPECT_NE(lines[1].find("\"target\":4.9,\"needed\":264,"), std::string::npos) << lines[1];
  EXPECT_TRUE(lines[2].starts_with(U("{\"account\":\"张记小铺\""))) << lines[2];
  EXPECT_EQ(run.out.find(kAdLine), std::string::npos);
  EXPECT_EQ(run.sleeps, (std::vector<double>{1.0, 1.0}));
}

TEST_F(CliRun, CsvHasAHeaderAndOneRowPerAccount) {
  for (bool excel : {false, true}) {
    std::vector<std::string> args = {"--format", "csv",         "--interval",
                                     "0",        U("张记小铺"), "a,\"b\""};
    if (excel) args.push_back("--excel");
    const CliOutcome run = RunWith(args);
    // The second account does not exist.
    EXPECT_EQ(run.code, kCliSomeFailed);
    const std::string bom = excel ? "\xEF\xBB\xBF" : "";
    ASSERT_TRUE(run.out.starts_with(bom + "account,")) << excel;
    const std::vector<std::string> rows =
        Lines(std::string_view(run.out).substr(bom.size()), "\r\n");
    ASSERT_EQ(rows.size(), 3u) << run.out;
    EXPECT_EQ(rows[0] + "\r\n", CsvHeader());
    EXPECT_EQ(rows[1], U("张记小铺,4.95,12345,higher,30.12%,4.99,49380,"
                         "4.86,12001,higher,8.45%,4.99,156013,"
                         "4.79,11987,lower,2.10%,4.99,239740,"));
    EXPECT_EQ(rows[2], U("\"a,\"\"b\"\"\",,,,,4.99,无数据,,,,,4.99,无数据,,,,,4.99,无数据,"
                         "找不到该卖家，请检查帐号名称"));
    EXPECT_TRUE(run.sleeps.empty());
  }
}

TEST_F(CliRun, AFailedAccountLeavesTheOthersIntact) {
  // Routed by the option rather than by the test.
  SetCurlConnectTo({});
  std::vector<std::string> args;
  for (const std::string& address :
       {"http://" + std::string(kProfileHost) + "/", "http://" + std::string(kRatingHost) + "/",
        std::string(kAnnouncementAddress)}) {
    args.push_back("--connect-to");
    args.push_back(UrlHost(address, false) + ":" + std::to_string(UrlPort(address)) +
                   ":127.0.0.1:" + std::to_string(simulator_.Port()));
  }
  for (const char* arg :
       {"--format", "json", "vrenlo_shop", "nobody_here", "lowscore_store", "newlayout_shop"}) {
    args.push_back(arg);
  }
  const CliOutcome run = RunWith(args);
  EXPECT_EQ(run.code, kCliSomeFailed) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 4u) << run.out;
  EXPECT_NE(lines[0].find("\"needed\":23446,"), std::string::npos) << lines[0];
  EXPECT_TRUE(lines[0].ends_with("\"failure\":null}"));
  EXPECT_EQ(lines[1],
            U("{\"account\":\"nobody_here\",\"ratings\":["
              "{\"name\":\"宝贝与描述相符\",\"score\":null,\"raters\":null,\"direction\":null,"
              "\"percentage\":null,\"target\":4.99,\"needed\":null,\"reason\":\"无数据\"},"
              "{\"name\":\"卖家的服务态度\",\"score\":null,\"raters\":null,\"direction\":null,"
              "\"percentage\":null,\"target\":4.99,\"needed\":null,\"reason\":\"无数据\"},"
              "{\"name\":\"卖家发货的速度\",\"score\":null,\"raters\":null,\"direction\":null,"
              "\"percentage\":null,\"target\":4.99,\"needed\":null,\"reason\":\"无数据\"}],"
              "\"failure\":\"找不到该卖家，请检查帐号名称\"}"));
  EXPECT_NE(lines[2].find("\"needed\":3432,"), std::string::npos) << lines[2];
  EXPECT_TRUE(lines[2].ends_with("\"failure\":null}"));
  EXPECT_TRUE(lines[3].ends_with(U("\"failure\":\"无法读取评分，页面格式可能已改变\"}")))
      << lines[3];
}

TEST_F(CliRun, TextShowsTheFailureLinesAndSevenDigitCounts) {
  const CliOutcome run = RunWith({"--interval", "0", "bigmall_store", "newlayout_shop"});
  EXPECT_EQ(run.code, kCliSomeFailed);
  EXPECT_EQ(
      run.out,
      kAdLine + "\n" +
          U("bigmall_store\n"
            "宝贝与描述相符DSR当前值：4.82分--2345664人--高于同行业123.45%  "
            "所需5分单数：39876288\n"
            "卖家的服务态度DSR当前值：4.79分--2345001人--低于同行业8.02%  "
            "所需5分单数：46900020\n"
            "卖家发货的速度DSR当前值：4.9分--2344987人--高于同行业20.00%  "
            "所需5分单数：21104883\n"
            "\n"
            "newlayout_shop\n"
            "宝贝与描述相符DSR当前值：无法读取评分，页面格式可能已改变  所需5分单数：无数据\n"
            "卖家的服务态度DSR当前值：无法读取评分，页面格式可能已改变  所需5分单数：无数据\n"
            "卖家发货的速度DSR当前值：无法读取评分，页面格式可能已改变  所需5分单数：无数据\n"));
}

TEST_F(CliRun, AnAccountThatIsNotUtf8IsShownAsQueried) {
  // The query sends "?" for the byte that is not UTF-8; the JSON stays valid.
  const CliOutcome run = RunWith({"--format", "json", "bad\xFFname"});
  EXPECT_EQ(run.code, kCliSomeFailed);
  EXPECT_TRUE(run.out.starts_with("{\"account\":\"bad?name\",")) << run.out;
}

TEST_F(CliRun, AccountsFileWithCommentsAndAChineseAccount) {
  const std::filesystem::path path =
      std::filesystem::path(testing::TempDir()) / "cli_run_test_accounts.txt";
  std::ofstream(path, std::ios::binary)
      << "# the shops I watch\r\n\r\n"
      << U("张记小铺") << "\r\n#lowscore_store\r\nvrenlo_shop\r\n";
  const CliOutcome run = RunWith({"--accounts-file", path.string(), "--format", "csv"}, true);
  std::filesystem::remove(path);
  EXPECT_EQ(run.code, kCliAllRead);
  const std::vector<std::string> rows = Lines(run.out, "\r\n");
  ASSERT_EQ(rows.size(), 3u) << run.out;
  EXPECT_TRUE(rows[1].starts_with(U("张记小铺,4.95,"))) << rows[1];
  EXPECT_TRUE(rows[2].starts_with("vrenlo_shop,4.8,")) << rows[2];
  // On a terminal, with more than one account: progress.
  EXPECT_EQ(run.err, U("[1/2] 张记小铺\n[2/2] vrenlo_shop\n"));
}

TEST_F(CliRun, ProgressOnlyOnATerminalAndForMoreThanOneAccount) {
  EXPECT_EQ(RunWith({"vrenlo_shop"}, true).err, "");
  EXPECT_EQ(RunWith({"vrenlo_shop", "lowscore_store"}, false).err, "");
}

TEST_F(CliRun, UsageErrorsWriteNothingToStandardOutput) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {}, {"--format", "yaml", "a"}, {"--target", "5", "a"}}) {
    const CliOutcome run = RunWith(args);
    EXPECT_EQ(run.code, kCliUsageError);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("dsrscope-cli: ")) << run.err;
    EXPECT_NE(run.err.find("usage: dsrscope-cli"), std::string::npos) << run.err;
  }
  const CliOutcome help = RunWith({"--help"});
  EXPECT_EQ(help.code, kCliAllRead);
  EXPECT_TRUE(help.out.starts_with("usage: dsrscope-cli")) << help.out;
}

class CliStopped : public CliRun {
 protected:
  CliStopped() : CliRun(Stopped()) {}
  static SimulatorOptions Stopped() {
    SimulatorOptions options;
    options.announcement.status = "1";
    options.announcement.notice = "请升级";
    return options;
  }
};

TEST_F(CliStopped, TheMakersStopEndsBeforeAnyQuery) {
  for (const char* format : {"text", "json", "csv"}) {
    const CliOutcome run = RunWith({"--format", format, "vrenlo_shop", U("张记小铺")}, true);
    EXPECT_EQ(run.code, kCliStopped) << format;
    EXPECT_EQ(run.out, "") << format;
    // No progress line: no account was begun.
    EXPECT_EQ(run.err, U("请升级\n")) << format;
    EXPECT_TRUE(run.sleeps.empty());
  }
}

}  // namespace
}  // namespace dsr
