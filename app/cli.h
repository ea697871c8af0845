// dsrscope-cli: the seller query for many accounts from the command line, its
// options, and the text, JSON and CSV forms of its results.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ratings/dsr.h"
#include "text/text.h"

namespace dsr {

enum class CliFormat { Text, Json, Csv };

// Exit codes of the command.
inline constexpr int kCliAllRead = 0;
inline constexpr int kCliSomeFailed = 1;
inline constexpr int kCliUsageError = 2;
inline constexpr int kCliStopped = 3;

struct CliOptions {
  // UTF-8: those of the command line, then those of the accounts file.
  std::vector<std::string> accounts;
  // The targets of the three ratings, in the order of `kDsrDimensions`.
  std::array<std::string, kDsrDimensions.size()> targets{"4.99", "4.99", "4.99"};
  CliFormat format = CliFormat::Text;
  bool excel = false;
  double intervalSeconds = 1;
  // curl CONNECT_TO rules, "HOST:PORT:HOST2:PORT2".
  std::vector<std::string> connectTo;
  bool help = false;
  bool version = false;
};

// The options, or `error` (one line, no usage text) when the arguments
// (without the program name) are not a valid command.
struct CliParse {
  CliOptions options;
  std::string error;
};
CliParse ParseCliArguments(std::span<const std::string> args);

// The accounts of an accounts file's text: one a line, a UTF-8 byte order
// mark at the start and a CR before each LF dropped, lines that are empty,
// only white space or begin with "#" skipped.
std::vector<std::string> AccountsOfFileText(std::string_view text);

const char* CliUsageText();

// One rating of one account, GBK texts.
struct CliRating {
  DsrReading reading;
  // The window's result line of the rating (the failure line where there is
  // one).
  Text resultLine;
  Text target;
  // The five-star count, or no value with `reason` ("无法达到", "无数据").
  std::optional<std::int64_t> needed;
  Text reason;
  // The window's needed-count line of the rating.
  Text neededLine;
};

struct CliAccountResult {
  std::string account;  // UTF-8, as queried
  std::array<CliRating, kDsrDimensions.size()> ratings;
  Text failure;  // GBK; empty when the ratings were read
};

// The window's lines of one account, UTF-8, each ended by "\n": the account,
// then per rating its caption, result line and needed-count line.
std::string FormatTextResult(const CliAccountResult& result);
// One JSON object on one line, ended by "\n".
std::string FormatJsonResult(const CliAccountResult& result);
// The header row and one account's row, each ended by CR LF.
std::string CsvHeader();
std::string FormatCsvResult(const CliAccountResult& result);

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonString(std::string_view text);
// `text` (UTF-8) as one RFC 4180 field: quoted when it holds a comma, a
// quote, CR or LF, with each quote doubled.
std::string CsvField(std::string_view text);

struct CliIo {
  std::function<void(std::string_view)> out;  // standard output
  std::function<void(std::string_view)> err;  // standard error
  bool errIsTerminal = false;
  std::function<void(double seconds)> sleep;
};

// The whole command over the bound transport: parses `args` (without the
// program name), reads the announcement, queries every account in turn and
// writes its result as it comes. Returns the exit code.
int RunCli(std::span<const std::string> args, const CliIo& io);

}  // namespace dsr
