// The command-line query: options, the run over the accounts, and the output
// forms.
#include "app/cli.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "app/gbk.h"

namespace dsr {
namespace {

constexpr std::string_view kHigherPrefix = "高于同行业";
constexpr std::string_view kLowerPrefix = "低于同行业";

// The value of an option written "--name VALUE" or "--name=VALUE"; `i` moves
// past what it used. No value when `arg` is not that option.
std::optional<std::string> OptionValue(std::span<const std::string> args, std::size_t& i,
                                       std::string_view name, std::string& error) {
  const std::string_view arg = args[i];
  if (!arg.starts_with(name)) return std::nullopt;
  const std::string_view rest = arg.substr(name.size());
  if (rest.starts_with("=")) return std::string(rest.substr(1));
  if (!rest.empty()) return std::nullopt;
  if (i + 1 >= args.size()) {
    error = std::string(name) + " needs a value";
    return std::string();
  }
  return args[++i];
}

// A target: digits, optionally a point and digits, below 5.
bool IsTarget(std::string_view t) {
  std::size_t i = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  if (i == 0) return false;
  if (i < t.size() && t[i] == '.') {
    const std::size_t fraction = ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
    if (i == fraction) return false;
  }
  return i == t.size() && ParseInteger(t) < 5;
}

// Seconds: a decimal number, 0 or more, up to a day.
std::optional<double> ReadSeconds(const std::string& t) {
  if (t.empty() || t.find_first_not_of("0123456789.") != std::string::npos) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  const double s = std::strtod(t.c_str(), &end);
  if (errno != 0 || *end != '\0' || !(s >= 0) || s > 86400) return std::nullopt;
  return s;
}

std::vector<std::string> SplitAtCommas(std::string_view t) {
  std::vector<std::string> parts;
  for (;;) {
    const std::size_t comma = t.find(',');
    parts.emplace_back(t.substr(0, comma));
    if (comma == std::string_view::npos) return parts;
    t.remove_prefix(comma + 1);
  }
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return std::move(text).str();
}

// A JSON number when `t` is written as one without sign or exponent, else
// the text as a JSON string; null when empty.
std::string JsonNumberOrText(std::string_view gbk) {
  if (gbk.empty()) return "null";
  const std::string_view t = gbk;
  std::size_t i = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
  bool plain = i > 0 && !(i > 1 && t[0] == '0');
  if (plain && i < t.size()) {
    plain = t[i] == '.' && i + 1 < t.size() &&
            t.substr(i + 1).find_first_not_of("0123456789") == std::string_view::npos;
  }
  return plain ? std::string(t) : JsonString(GbkToUtf8(gbk));
}

// "higher" or "lower" when the reading has a percentage, else empty.
std::string_view DirectionOf(const DsrReading& r) {
  if (r.comparison.starts_with(kHigherPrefix) && r.comparison.size() > kHigherPrefix.size()) {
    return "higher";
  }
  if (r.comparison.starts_with(kLowerPrefix) && r.comparison.size() > kLowerPrefix.size()) {
    return "lower";
  }
  return {};
}

// The percentage as read after the direction; empty when there is none.
Text PercentageOf(const DsrReading& r) {
  const std::string_view direction = DirectionOf(r);
  if (direction.empty()) return Text();
  return r.comparison.substr((direction == "higher" ? kHigherPrefix : kLowerPrefix).size());
}

constexpr std::array<std::string_view, kDsrDimensions.size()> kCsvPrefixes = {
    "description_", "service_", "shipping_"};

}  // namespace

CliParse ParseCliArguments(std::span<const std::string> args) {
  CliParse p;
  CliOptions& o = p.options;
  std::string& error = p.error;
  bool targetGiven = false;
  bool targetsGiven = false;
  bool onlyAccounts = false;
  std::optional<std::string> accountsFile;
  for (std::size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& arg = args[i];
    if (onlyAccounts || arg == "-" || !arg.starts_with("-")) {
      o.accounts.push_back(arg);
      continue;
    }
    if (arg == "--") {
      onlyAccounts = true;
    } else if (arg == "-h" || arg == "--help") {
      o.help = true;
    } else if (arg == "--version") {
      o.version = true;
    } else if (arg == "--excel") {
      o.excel = true;
    } else if (auto v = OptionValue(args, i, "--accounts-file", error)) {
      accountsFile = *v;
    } else if (auto v = OptionValue(args, i, "--targets", error)) {
      targetsGiven = true;
      const std::vector<std::string> parts = SplitAtCommas(*v);
      if (error.empty() && parts.size() != o.targets.size()) {
        error = "--targets needs three targets separated by commas: " + *v;
      }
      for (std::size_t k = 0; k < parts.size() && error.empty(); ++k) o.targets[k] = parts[k];
    } else if (auto v = OptionValue(args, i, "--target", error)) {
      targetGiven = true;
      o.targets.fill(*v);
    } else if (auto v = OptionValue(args, i, "--format", error)) {
      if (*v == "text") {
        o.format = CliFormat::Text;
      } else if (*v == "json") {
        o.format = CliFormat::Json;
      } else if (*v == "csv") {
        o.format = CliFormat::Csv;
      } else if (error.empty()) {
        error = "unknown format (text, json or csv): " + *v;
      }
    } else if (auto v = OptionValue(args, i, "--interval", error)) {
      const std::optional<double> s = ReadSeconds(*v);
      if (s) o.intervalSeconds = *s;
      if (!s && error.empty()) error = "--interval needs seconds from 0 to 86400: " + *v;
    } else if (auto v = OptionValue(args, i, "--connect-to", error)) {
      o.connectTo.push_back(*v);
    } else {
      error = "unknown option: " + arg;
    }
  }
  if (!error.empty() || o.help || o.version) return p;

  if (targetGiven && targetsGiven) {
    error = "--target and --targets cannot both be given";
    return p;
  }
  for (const std::string& t : o.targets) {
    if (!IsTarget(t)) {
      error = "a target is a decimal number below 5 (4.99 to reach the top): " + t;
      return p;
    }
  }
  if (o.excel && o.format != CliFormat::Csv) {
    error = "--excel goes with --format csv";
    return p;
  }
  if (accountsFile) {
    const std::optional<std::string> text = ReadWholeFile(*accountsFile);
    if (!text) {
      error = "cannot read the accounts file " + *accountsFile + ": " + std::strerror(errno);
      return p;
    }
    for (std::string& a : AccountsOfFileText(*text)) o.accounts.push_back(std::move(a));
  }
  for (const std::string& a : o.accounts) {
    if (a.empty()) {
      error = "an account name is empty";
      return p;
    }
  }
  if (o.accounts.empty()) error = "no account given";
  return p;
}

std::vector<std::string> AccountsOfFileText(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<std::string> accounts;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t\r\f\v") == std::string_view::npos) continue;
    if (line.starts_with("#")) continue;
    accounts.emplace_back(line);
  }
  return accounts;
}

const char* CliUsageText() {
  return "usage: dsrscope-cli [options] ACCOUNT...\n"
         "       dsrscope-cli [options] --accounts-file FILE [ACCOUNT...]\n"
         "Queries the three detailed seller ratings of each account and the five-star\n"
         "ratings needed to reach the target.\n"
         "  --accounts-file FILE     accounts one a line (UTF-8; blank lines and # skipped)\n"
         "  --target E               target of all three ratings (default 4.99)\n"
         "  --targets E1,E2,E3       one target per rating\n"
         "  --format text|json|csv   output form (default text)\n"
         "  --excel                  with csv: a UTF-8 byte order mark first\n"
         "  --interval SECONDS       pause between two accounts (default 1)\n"
         "  --connect-to H:P:H2:P2   send the requests for H:P to H2:P2\n"
         "  -h, --help               this text\n"
         "  --version                the version\n"
         "Exit status: 0 every account read, 1 some failed, 2 usage error, 3 stopped by\n"
         "the maker's announcement.\n";
}

std::string FormatTextResult(const CliAccountResult& result) {
  std::string out = result.account + "\n";
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    const CliRating& r = result.ratings[i];
    out += GbkToUtf8(Join({kDsrDimensions[i].nameCaption, r.resultLine, "  ", r.neededLine}));
    out += "\n";
  }
  return out;
}

std::string FormatJsonResult(const CliAccountResult& result) {
  std::string out = "{\"account\":" + JsonString(result.account) + ",\"ratings\":[";
  for (std::size_t i = 0; i < kDsrDimensions.size(); ++i) {
    const CliRating& r = result.ratings[i];
    const std::string_view direction = DirectionOf(r.reading);
    const Text percentage = PercentageOf(r.reading);
    if (i > 0) out += ",";
    out += "{\"name\":" + JsonString(GbkToUtf8(kDsrDimensions[i].marker));
    out += ",\"score\":" + JsonNumberOrText(r.reading.score);
    out += ",\"raters\":" + JsonNumberOrText(r.reading.raterCount);
    out += ",\"direction\":" + (direction.empty() ? "null" : JsonString(direction));
    out += ",\"percentage\":" + (percentage.empty() ? "null" : JsonString(GbkToUtf8(percentage)));
    out += ",\"target\":" + JsonNumberOrText(r.target);
    out += ",\"needed\":" + (r.needed ? IntToDecimal(*r.needed) : Text("null"));
    out += ",\"reason\":" + (r.needed ? "null" : JsonString(GbkToUtf8(r.reason))) + "}";
  }
  out += "],\"failure\":";
  out += result.failure.empty() ? "null" : JsonString(GbkToUtf8(result.failure));
  return out + "}\n";
}

std::string CsvHeader() {
  std::string out = "account";
  for (std::string_view prefix : kCsvPrefixes) {
    for (std::string_view column :
         {"score", "raters", "direction", "percentage", "target", "needed"}) {
      out += ",";
      out += prefix;
      out += column;
    }
  }
  return out + ",failure\r\n";
}

std::string FormatCsvResult(const CliAccountResult& result) {
  std::string out = CsvField(result.account);
  for (const CliRating& r : result.ratings) {
    for (const Text& field :
         {r.reading.score, r.reading.raterCount, Text(DirectionOf(r.reading)),
          PercentageOf(r.reading), r.target, r.needed ? IntToDecimal(*r.needed) : r.reason}) {
      out += ",";
      out += CsvField(GbkToUtf8(field));
    }
  }
  return out + "," + CsvField(GbkToUtf8(result.failure)) + "\r\n";
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (b < 0x20 || b == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace dsr
