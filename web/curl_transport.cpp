// The HTTP transport on libcurl, for platforms without WinInet, with the
// process-wide cookie store its requests draw on: libcurl's own engine.
//
// Every request has its own easy handle driven by its own multi handle: the
// transfer starts in `send`, which returns once the first body bytes are in or
// the transfer has ended, and each `read` drives it only until some bytes are
// waiting or the body has ended. A request started while another one waits
// between two reads therefore runs on its own and leaves the other intact.
// Handles live in a table and are used on the window thread only.
#include "web/curl_transport.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "text/text.h"
#include "web/url.h"

namespace dsr {
namespace {

// ---- Cookies ---------------------------------------------------------------

// libcurl's cookie engine, one for the whole process: every request's easy
// handle joins it, so each response's Set-Cookie lines are stored and each hop
// gets the cookies that match its host, path and expiry.
CURLSH* CookieShare() {
  static CURLSH* const share = [] {
    CURLSH* s = curl_share_init();
    if (s) curl_share_setopt(s, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    return s;
  }();
  return share;
}

// An easy handle on the shared engine that never runs a transfer: what
// cookies are added through and emptied with.
CURL* CookieHandle() {
  static CURL* const easy = [] {
    CURL* e = curl_easy_init();
    if (e) curl_easy_setopt(e, CURLOPT_SHARE, CookieShare());
    return e;
  }();
  return easy;
}

bool HasLineBreakOrZero(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The argument of the last attribute `key` (lower-case) among the
// "; "-separated attributes after the cookie's value; nothing without one.
std::optional<std::string_view> Attribute(std::string_view cookie, std::string_view key) {
  std::optional<std::string_view> found;
  std::size_t semicolon = cookie.find(';');
  while (semicolon != std::string_view::npos) {
    cookie.remove_prefix(semicolon + 1);
    semicolon = cookie.find(';');
    const std::string_view attribute = cookie.substr(0, semicolon);
    const std::size_t equals = attribute.find('=');
    if (equals == std::string_view::npos) continue;
    if (AsciiLower(Trimmed(attribute.substr(0, equals))) != key) continue;
    found = Trimmed(attribute.substr(equals + 1));
  }
  return found;
}

// Whether a cookie set for `host` may name `domain`: the host itself or a
// domain it lies in.
bool DomainCovers(std::string_view domain, std::string_view host) {
  if (domain.empty() || domain.size() > host.size()) return false;
  if (host.size() == domain.size()) return host == domain;
  return host.substr(host.size() - domain.size()) == domain &&
         host[host.size() - domain.size() - 1] == '.';
}

// The tab-separated fields of a line of libcurl's cookie-file format: domain
// (with "#HttpOnly_" in front for such a cookie), whether sub-domains match,
// path, secure, expiry (0: the session's), name and value.
std::vector<std::string_view> CookieFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t tab = line.find('\t');
    fields.push_back(line.substr(0, tab));
    if (tab == std::string_view::npos) return fields;
    line.remove_prefix(tab + 1);
  }
}

bool Unexpired(std::string_view expiry) {
  const long long when = std::strtoll(std::string(expiry).c_str(), nullptr, 10);
  return when == 0 || when > static_cast<long long>(std::time(nullptr));
}

// Whether the shared engine holds an unexpired cookie of the same domain,
// name and value as `cookie` (any path): the one libcurl itself took from
// the response whose Set-Cookie line the page fetch hands on again. Adding
// it once more under another path would send it twice.
bool AlreadyHeld(const std::vector<std::string_view>& cookie) {
  curl_slist* held = nullptr;
  curl_easy_getinfo(CookieHandle(), CURLINFO_COOKIELIST, &held);
  bool found = false;
  for (curl_slist* entry = held; entry && !found; entry = entry->next) {
    const std::vector<std::string_view> f = CookieFields(entry->data);
    found = f.size() == 7 && f[0] == cookie[0] && f[1] == cookie[1] && f[5] == cookie[5] &&
            f[6] == cookie[6] && Unexpired(f[4]);
  }
  curl_slist_free_all(held);
  return found;
}

// The cookie (name, "=", value, then its attributes) as libcurl would store
// it from a response of `host`: read by a throw-away engine of its own, then
// added to the shared one as a line of libcurl's cookie-file format. Without a
// domain attribute it is the host's alone, as a response's cookie is; without
// a path attribute its path is `defaultPath`, or "/" when that is empty.
bool AddCookie(std::string_view host, std::string_view text, std::string_view defaultPath) {
  if (!IsPlainHost(host) || HasLineBreakOrZero(text)) return false;
  std::optional<std::string> domain;
  if (const auto d = Attribute(text, "domain")) {
    domain = AsciiLower(d->substr(d->substr(0, 1) == "." ? 1 : 0));
    if (!DomainCovers(*domain, host)) return false;
  }

  std::string line = "Set-Cookie: ";
  line.append(text);
  if (!defaultPath.empty() && !Attribute(text, "path")) line.append("; path=").append(defaultPath);
  // The engine needs a domain to keep a cookie; the host's own is put right
  // back to host-only below.
  if (!domain) line.append("; domain=").append(host);

  CURL* scratch = curl_easy_init();
  if (!scratch || !CookieHandle()) {
    if (scratch) curl_easy_cleanup(scratch);
    return false;
  }
  curl_easy_setopt(scratch, CURLOPT_COOKIELIST, line.c_str());
  curl_slist* parsed = nullptr;
  curl_easy_getinfo(scratch, CURLINFO_COOKIELIST, &parsed);
  bool stored = false;
  for (curl_slist* entry = parsed; entry; entry = entry->next) {
    std::vector<std::string_view> f = CookieFields(entry->data);
    if (f.size() != 7) continue;
    const std::string ownDomain =
        f[0].substr(0, 10) == "#HttpOnly_" ? "#HttpOnly_" + std::string(host) : std::string(host);
    if (!domain) {
      f[0] = ownDomain;
      f[1] = "FALSE";
    }
    if (Unexpired(f[4]) && AlreadyHeld(f)) {
      stored = true;
      continue;
    }
    std::string cookie(f[0]);
    for (std::size_t i = 1; i < f.size(); ++i) cookie.append("\t").append(f[i]);
    stored = curl_easy_setopt(CookieHandle(), CURLOPT_COOKIELIST, cookie.c_str()) == CURLE_OK;
  }
  curl_slist_free_all(parsed);
  curl_easy_cleanup(scratch);
  return stored;
}

bool StoreCookie(std::string_view url, std::string_view name, std::string_view value) {
  if (HasLineBreakOrZero(name)) return false;
  const std::string text = name.empty() ? std::string(value) : Join({name, "=", value});
  return AddCookie(UrlHost(url, false), text, "");
}

// ---- Handles ---------------------------------------------------------------

std::vector<std::string>& ConnectToRules() {
  static std::vector<std::string> rules;
  return rules;
}

struct Root {
  std::string agent;
  std::string proxy;  // empty: direct access
};

struct Connection {
  Root root;
  std::string host;
  int port = 80;
};

struct Request {
  Connection connection;
  std::string method;
  std::string objectPath;

  CURL* easy = nullptr;
  CURLM* multi = nullptr;
  curl_slist* headerList = nullptr;
  curl_slist* connectTo = nullptr;
  std::string url;
  std::string body;  // kept alive for the transfer

  std::string received;  // body bytes not yet handed out start at `readFrom`
  std::size_t readFrom = 0;

  // The latest response's status line and header lines, each ended by CRLF,
  // and the empty line that ends them once it has come.
  std::string headerBlock;
  bool headerBlockComplete = false;
  int setCookieLines = 0;  // of the latest response

  bool sent = false;
  bool done = false;
  CURLcode result = CURLE_OK;

  Request() = default;
  Request(const Request&) = delete;
  Request& operator=(const Request&) = delete;
  ~Request() {
    if (multi && easy) curl_multi_remove_handle(multi, easy);
    if (easy) curl_easy_cleanup(easy);
    if (multi) curl_multi_cleanup(multi);
    curl_slist_free_all(headerList);
    curl_slist_free_all(connectTo);
  }
};

using Entry = std::variant<Root, Connection, std::unique_ptr<Request>>;

struct HandleTable {
  std::map<InternetHandle, Entry> entries;
  InternetHandle next = 1;

  InternetHandle Add(Entry e) {
    const InternetHandle h = next++;
    entries.emplace(h, std::move(e));
    return h;
  }
  template <typename T>
  T* Find(InternetHandle h) {
    auto it = entries.find(h);
    return it == entries.end() ? nullptr : std::get_if<T>(&it->second);
  }
  Request* FindRequest(InternetHandle h) {
    auto* r = Find<std::unique_ptr<Request>>(h);
    return r ? r->get() : nullptr;
  }
};

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

void EnsureCurl() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  (void)ready;
}

// ---- Transfer --------------------------------------------------------------

std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* r = static_cast<Request*>(user);
  const std::size_t n = size * count;
  r->received.append(data, n);
  return n;
}

// libcurl keeps the first 50 cookies of one response and drops the rest;
// the transport stores those itself, for the host and under the default path
// of the address the response answers.
constexpr int kEngineCookieLimit = 50;

void StoreBeyondEngineLimit(Request& r, std::string_view cookie) {
  while (!cookie.empty() && (cookie.back() == '\n' || cookie.back() == '\r'))
    cookie.remove_suffix(1);
  char* address = nullptr;
  curl_easy_getinfo(r.easy, CURLINFO_EFFECTIVE_URL, &address);
  CURLU* url = curl_url();
  if (!url || !address || curl_url_set(url, CURLUPART_URL, address, 0) != CURLUE_OK) {
    curl_url_cleanup(url);
    return;
  }
  char* host = nullptr;
  char* path = nullptr;
  curl_url_get(url, CURLUPART_HOST, &host, 0);
  curl_url_get(url, CURLUPART_PATH, &path, 0);
  // The default path: the address's path up to its last "/", or "/".
  std::string defaultPath = path ? path : "";
  const std::size_t slash = defaultPath.rfind('/');
  defaultPath = slash == std::string::npos || slash == 0 ? "/" : defaultPath.substr(0, slash);
  if (host) AddCookie(AsciiLower(host), Trimmed(cookie), defaultPath);
  curl_free(host);
  curl_free(path);
  curl_url_cleanup(url);
}

std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto* r = static_cast<Request*>(user);
  const std::size_t n = size * count;
  std::string_view line(data, n);
  // A status line starts a new response (a redirection's target, or the
  // answer after an interim 1xx): only the latest one is kept.
  if (line.substr(0, 5) == "HTTP/") {
    r->headerBlock.clear();
    r->headerBlockComplete = false;
    r->setCookieLines = 0;
  }
  if (r->headerBlockComplete) return n;  // trailers
  if (AsciiLower(line.substr(0, 11)) == "set-cookie:" && ++r->setCookieLines > kEngineCookieLimit) {
    StoreBeyondEngineLimit(*r, line.substr(11));
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  line = line.substr(0, line.find('\0'));
  r->headerBlock.append(line);
  r->headerBlock.append("\r\n");
  if (line.empty()) r->headerBlockComplete = true;
  return n;
}

// Moves the transfer on until body bytes are waiting or it has ended.
void Drive(Request& r) {
  while (!r.done && r.readFrom >= r.received.size()) {
    int running = 0;
    curl_multi_perform(r.multi, &running);
    int left = 0;
    while (CURLMsg* message = curl_multi_info_read(r.multi, &left)) {
      if (message->msg == CURLMSG_DONE) {
        r.done = true;
        r.result = message->data.result;
      }
    }
    if (!r.done && running == 0) {
      r.done = true;  // ended without a message: treat as failed
      r.result = CURLE_RECV_ERROR;
    }
    if (r.done || r.readFrom < r.received.size()) break;
    curl_multi_poll(r.multi, nullptr, 0, 1000, nullptr);
  }
  // Drop what has been handed out once it is most of the buffer.
  if (r.readFrom > 0 && r.readFrom * 2 >= r.received.size()) {
    r.received.erase(0, r.readFrom);
    r.readFrom = 0;
  }
}

// The header text's lines, each ended by CRLF in the text; a lone CR or LF
// inside a line becomes a space, so that no line of the request is broken.
void AddHeaderLines(curl_slist*& list, std::string_view headers) {
  while (!headers.empty()) {
    const std::size_t end = headers.find("\r\n");
    std::string line(headers.substr(0, end));
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 2);
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    if (!line.empty()) list = curl_slist_append(list, line.c_str());
  }
}

bool MentionsHeader(std::string_view headers, std::string_view name) {
  return PositionOf(headers, name, 1, true) > 0;
}

bool Send(InternetHandle handle, std::string_view headers, std::string_view body) {
  Request* r = Handles().FindRequest(handle);
  if (!r || r->sent) return false;
  r->sent = true;
  r->easy = curl_easy_init();
  r->multi = curl_multi_init();
  if (!r->easy || !r->multi) {
    r->done = true;
    r->result = CURLE_FAILED_INIT;
    return false;
  }
  CURL* e = r->easy;
  const Connection& c = r->connection;
  r->url = "http://" + c.host + ":" + std::to_string(c.port) + r->objectPath;

  AddHeaderLines(r->headerList, headers);
  // No "Expect: 100-continue" before a body, and no content type of curl's.
  r->headerList = curl_slist_append(r->headerList, "Expect:");
  if (!MentionsHeader(headers, "Content-Type:")) {
    r->headerList = curl_slist_append(r->headerList, "Content-Type:");
  }
  for (const std::string& rule : ConnectToRules()) {
    r->connectTo = curl_slist_append(r->connectTo, rule.c_str());
  }

  curl_easy_setopt(e, CURLOPT_URL, r->url.c_str());
  curl_easy_setopt(e, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, 60L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(e, CURLOPT_USERAGENT, c.root.agent.c_str());
  // Empty: no proxy at all, whatever the environment says.
  curl_easy_setopt(e, CURLOPT_PROXY, c.root.proxy.c_str());
  curl_easy_setopt(e, CURLOPT_HTTPHEADER, r->headerList);
  // The shared cookie engine, switched on for this handle without a file.
  curl_easy_setopt(e, CURLOPT_SHARE, CookieShare());
  curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");
  if (r->connectTo) curl_easy_setopt(e, CURLOPT_CONNECT_TO, r->connectTo);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, r);
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, r);

  const std::string& method = r->method;
  if (method.empty() || method == "GET") {
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
  } else {
    if (AsciiUpper(method) == "POST" || !body.empty()) {
      r->body.assign(body);
      curl_easy_setopt(e, CURLOPT_POST, 1L);
      curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(r->body.size()));
      curl_easy_setopt(e, CURLOPT_POSTFIELDS, r->body.data());
    }
    // The method text goes out as given ("get" stays "get").
    if (method != "POST") curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, method.c_str());
  }

  if (curl_multi_add_handle(r->multi, e) != CURLM_OK) {
    r->done = true;
    r->result = CURLE_FAILED_INIT;
    return false;
  }
  Drive(*r);
  return !(r->done && r->result != CURLE_OK && r->headerBlock.empty());
}

bool Read(InternetHandle handle, char* buffer, int capacity, int& count) {
  count = 0;
  Request* r = Handles().FindRequest(handle);
  if (!r || !r->sent || capacity <= 0) return false;
  Drive(*r);
  const std::size_t waiting = r->received.size() - r->readFrom;
  if (waiting > 0) {
    const std::size_t n = std::min(waiting, static_cast<std::size_t>(capacity));
    std::memcpy(buffer, r->received.data() + r->readFrom, n);
    r->readFrom += n;
    count = static_cast<int>(n);
    return true;
  }
  return r->result == CURLE_OK;
}

// The block handed out is the final response's status line and header lines,
// each ended by CRLF, followed by the empty line (CRLF) that ends the block.
bool QueryInfo(InternetHandle handle, int infoLevel, Text& buffer, int capacity) {
  Request* r = Handles().FindRequest(handle);
  if (!r || infoLevel != kQueryRawHeadersCrlf || !r->headerBlockComplete) return false;
  if (r->headerBlock.size() + 1 > static_cast<std::size_t>(std::max(capacity, 0))) return false;
  buffer = r->headerBlock;
  return true;
}

}  // namespace

HttpTransport CurlTransport() {
  EnsureCurl();
  HttpTransport t;
  t.open = [](std::string_view agent, int accessType, std::string_view proxy) {
    Root root{std::string(agent), {}};
    if (accessType == kOpenTypeProxy) {
      constexpr std::string_view kScheme = "http=";
      if (proxy.substr(0, kScheme.size()) == kScheme) proxy.remove_prefix(kScheme.size());
      root.proxy = std::string(proxy);
      if (root.proxy.empty()) return InternetHandle{0};
    } else if (accessType != kOpenTypeDirect) {
      return InternetHandle{0};
    }
    return Handles().Add(std::move(root));
  };
  t.connect = [](InternetHandle rootHandle, std::string_view host, int port, std::string_view,
                 std::string_view, int service) {
    const Root* root = Handles().Find<Root>(rootHandle);
    if (!root || service != kServiceHttp) return InternetHandle{0};
    return Handles().Add(Connection{*root, AsciiLower(host), port});
  };
  t.openRequest = [](InternetHandle connectionHandle, std::string_view method,
                     std::string_view objectPath, std::string_view, std::uint32_t) {
    const Connection* connection = Handles().Find<Connection>(connectionHandle);
    if (!connection) return InternetHandle{0};
    auto request = std::make_unique<Request>();
    request->connection = *connection;
    request->method = std::string(method);
    request->objectPath = objectPath.empty() ? std::string("/") : std::string(objectPath);
    return Handles().Add(std::move(request));
  };
  t.send = Send;
  t.read = Read;
  t.queryInfo = QueryInfo;
  t.closeHandle = [](InternetHandle handle) { return Handles().entries.erase(handle) > 0; };
  t.setCookie = StoreCookie;
  return t;
}

void SetCurlConnectTo(std::vector<std::string> rules) { ConnectToRules() = std::move(rules); }

void ClearCurlCookies() {
  if (CookieHandle()) curl_easy_setopt(CookieHandle(), CURLOPT_COOKIELIST, "ALL");
}

}  // namespace dsr
