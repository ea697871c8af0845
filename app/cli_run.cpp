// The command's run: the announcement, then each account in turn.
#include <string>

#include "announce/announcement.h"
#include "app/cli.h"
#include "app/gbk.h"
#include "app/headless_window.h"
#include "ratings/five_star.h"
#include "ratings/query.h"
#include "web/curl_transport.h"

namespace dsr {
namespace {

// UTF-8 as the query sends it and back: what was asked for, in valid UTF-8.
std::string AsQueried(const std::string& account) { return GbkToUtf8(Utf8ToGbk(account)); }

// The window's query for one account and its five-star counts. The query
// has failed when a rating's score could not be read; its reason is the
// line of the first such rating.
CliAccountResult QueryAccount(const std::string& account,
                              const std::array<std::string, kDsrDimensions.size()>& targets) {
  CliAccountResult result;
  result.account = AsQueried(account);
  const SellerQueryResult query = FetchSellerReadings(Utf8ToGbk(account));
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    CliRating& r = result.ratings[i];
    r.reading = query.readings[i];
    r.resultLine = FormatResultLine(r.reading, query.failures[i]);
    r.target = targets[i];
    // As the window's calculation: no count from a reading that is not there.
    if (r.reading.score.empty() || r.reading.raterCount.empty()) {
      r.reason = "无数据";
      r.neededLine = Text(kNoDataLine);
    } else {
      r.needed = FiveStarsNeeded(r.reading.score, r.reading.raterCount, r.target);
      if (!r.needed) r.reason = "无法达到";
      r.neededLine = FormatNeededLine(r.needed);
    }
    if (query.failures[i] != QueryFailure::None && result.failure.empty()) {
      result.failure = r.resultLine;
    }
  }
  return result;
}

}  // namespace

int RunCli(std::span<const std::string> args, const CliIo& io) {
  const CliParse parse = ParseCliArguments(args);
  const CliOptions& o = parse.options;
  if (!parse.error.empty()) {
    io.err("dsrscope-cli: " + parse.error + "\n" + CliUsageText());
    return kCliUsageError;
  }
  if (o.help) {
    io.out(CliUsageText());
    return kCliAllRead;
  }
  if (o.version) {
    io.out("dsrscope-cli " DSR_VERSION "\n");
    return kCliAllRead;
  }
  if (!o.connectTo.empty()) SetCurlConnectTo(o.connectTo);

  HeadlessWindow window;
  window.onMessageBox = [&io](std::string_view text) { io.err(GbkToUtf8(text) + "\n"); };
  UseWindowOperations(window.Operations());
  struct Unbind {
    ~Unbind() { UseWindowOperations(WindowOperations()); }
  } unbind;

  try {
    CheckAnnouncement();
  } catch (const ProgramEnded&) {
    return kCliStopped;
  }
  if (o.format == CliFormat::Text && window.VisibleOf(Control::标签20)) {
    io.out(GbkToUtf8(window.TextOf(Control::标签20)) + "\n");
  }
  if (o.format == CliFormat::Csv) io.out(Join({o.excel ? "\xEF\xBB\xBF" : "", CsvHeader()}));

  int code = kCliAllRead;
  const std::size_t count = o.accounts.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string account = AsQueried(o.accounts[i]);
    if (i > 0 && o.intervalSeconds > 0) io.sleep(o.intervalSeconds);
    if (io.errIsTerminal && count > 1) {
      io.err(Join({"[", std::to_string(i + 1), "/", std::to_string(count), "] ", account, "\n"}));
    }
    const CliAccountResult result = QueryAccount(o.accounts[i], o.targets);
    if (!result.failure.empty()) code = kCliSomeFailed;
    switch (o.format) {
      case CliFormat::Text:
        io.out(Join({i > 0 ? "\n" : "", FormatTextResult(result)}));
        break;
      case CliFormat::Json:
        io.out(FormatJsonResult(result));
        break;
      case CliFormat::Csv:
        io.out(FormatCsvResult(result));
        break;
    }
  }
  return code;
}

}  // namespace dsr
