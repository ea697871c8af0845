// The handler tests' web site inside the process: the scripted transport,
// bound for the site's life, answers each request for the configured hosts
// from the table and records it as a server on the wire would receive it. For
// targets without an HTTP server library (Windows); its twin over real HTTP
// is query_test_site_http.cpp.
#include <algorithm>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/addresses.h"
#include "ratings/query_test_site.h"
#include "text/text.h"
#include "web/fake_transport.h"
#include "web/transport.h"
#include "web/url.h"

namespace dsr {
namespace {

struct HostAndPort {
  std::string host;
  int port = 0;
};

// Where a connection for `address` goes: its host, and its port as the fetch
// connects to it.
HostAndPort ConnectionOf(std::string_view address) {
  return {UrlHost(address, false), ConnectionPort(UrlPort(address))};
}

// The value of the first header line `name` among the CRLF-ended `headers`,
// without the blanks after the colon; empty without one.
std::string HeaderValue(std::string_view headers, std::string_view name) {
  const std::string wanted = AsciiLower(name) + ":";
  while (!headers.empty()) {
    const std::size_t end = headers.find("\r\n");
    std::string_view line = headers.substr(0, end);
    headers = end == std::string_view::npos ? std::string_view() : headers.substr(end + 2);
    if (AsciiLower(line.substr(0, wanted.size())) != wanted) continue;
    line.remove_prefix(wanted.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
    return std::string(line);
  }
  return {};
}

// The Host header the transports send: the request's own Host line if it
// has one, else the host, with the port unless it is 80.
std::string HostHeader(const FakeRequest& r) {
  std::string host = HeaderValue(r.headers, "Host");
  if (!host.empty()) return host;
  host = AsciiLower(r.host);
  if (r.port != 80) host += ":" + std::to_string(r.port);
  return host;
}

FakeResponse Refused() {
  FakeResponse refused;
  refused.failSend = true;
  return refused;
}

}  // namespace

struct LocalSite::Server {
  FakeTransport transport;
  std::array<HostAndPort, 3> hosts = {
      ConnectionOf("http://" + std::string(kProfileHost) + "/"),
      ConnectionOf("http://" + std::string(kRatingHost) + "/"),
      ConnectionOf(kAnnouncementAddress),
  };
  bool refusing = false;
  std::map<std::string, std::string> pages;
  std::vector<ReceivedRequest> received;

  FakeResponse Answer(const FakeRequest& r) {
    const auto routed = [&r](const HostAndPort& h) {
      return h.host == AsciiLower(r.host) && h.port == r.port;
    };
    // Only the configured hosts lead here; any other host refuses too.
    if (refusing || std::none_of(hosts.begin(), hosts.end(), routed)) return Refused();

    const std::string method = r.method.empty() ? "GET" : r.method;
    const std::string target = r.objectPath.empty() ? "/" : r.objectPath;
    received.push_back({method, HostHeader(r), target, HeaderValue(r.headers, "Referer")});
    auto page = pages.find(target);
    if (method != "GET" || page == pages.end()) {
      return FakeResponse{.bodyChunks = {},
                          .rawHeaders = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n"};
    }
    return FakeResponse{
        .bodyChunks = {page->second},
        .rawHeaders = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page->second.size()) +
                      "\r\nContent-Type: text/html; charset=gbk\r\n\r\n"};
  }
};

LocalSite::LocalSite() : server_(std::make_unique<Server>()) {
  Server& s = *server_;
  // The site sets no cookies, so the fake's store stays empty.
  s.transport.answer = [&s](const FakeRequest& r) { return s.Answer(r); };
  UseTransport(s.transport.Transport());
}

LocalSite::~LocalSite() { UseTransport(HttpTransport{}); }

void LocalSite::Serve(const std::string& target, const std::string& body) {
  server_->pages[target] = body;
}

void LocalSite::RefuseConnections() { server_->refusing = true; }

std::vector<ReceivedRequest> LocalSite::Received() const { return server_->received; }

std::vector<std::string> LocalSite::Targets() const {
  std::vector<std::string> targets;
  for (const ReceivedRequest& r : Received()) targets.push_back(r.target);
  return targets;
}

}  // namespace dsr
