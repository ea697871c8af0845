// The handler tests' web site over real HTTP: a cpp-httplib server on
// 127.0.0.1, reached by the configured hosts through the libcurl transport's
// routing hook. Its twin on the transport is query_test_site_transport.cpp.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/addresses.h"
#include "ratings/query_test_site.h"
#include "web/curl_transport.h"
#include "web/transport.h"
#include "web/url.h"

namespace dsr {
namespace {

// The rule that sends connections for the host and port of `address` to
// 127.0.0.1:`localPort`.
std::string RouteRule(std::string_view address, int localPort) {
  return UrlHost(address, false) + ":" + std::to_string(UrlPort(address)) +
         ":127.0.0.1:" + std::to_string(localPort);
}

// A port on 127.0.0.1 on which nothing listens (bound once, then closed).
int ClosedPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof addr;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), size);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size);
  ::close(fd);
  return ntohs(addr.sin_port);
}

// Routes the profile, rating and announcement hosts to `localPort`.
void RouteConfiguredHostsTo(int localPort) {
  const std::string profile = "http://" + std::string(kProfileHost) + "/";
  const std::string rating = "http://" + std::string(kRatingHost) + "/";
  SetCurlConnectTo({RouteRule(profile, localPort), RouteRule(rating, localPort),
                    RouteRule(kAnnouncementAddress, localPort)});
}

}  // namespace

struct LocalSite::Server {
  httplib::Server http;
  std::thread thread;
  std::mutex mutex;
  std::map<std::string, std::string> pages;
  std::vector<ReceivedRequest> received;
};

LocalSite::LocalSite() : server_(std::make_unique<Server>()) {
  Server& s = *server_;
  // Every method is recorded, so that a request sent with the wrong one is
  // seen; only a GET is answered with a page.
  const auto handler = [&s](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard<std::mutex> lock(s.mutex);
    s.received.push_back(
        {req.method, req.get_header_value("Host"), req.target, req.get_header_value("Referer")});
    auto page = s.pages.find(req.target);
    if (req.method != "GET" || page == s.pages.end()) {
      res.status = 404;
      return;
    }
    res.set_content(page->second, "text/html; charset=gbk");
  };
  s.http.Get(".*", handler);
  s.http.Post(".*", handler);
  s.http.Put(".*", handler);
  s.http.Patch(".*", handler);
  s.http.Delete(".*", handler);
  s.http.Options(".*", handler);
  const int port = s.http.bind_to_any_port("127.0.0.1");
  s.thread = std::thread([&s] { s.http.listen_after_bind(); });
  // stop() only reaches a server that has begun listening.
  while (!s.http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  UseTransport(CurlTransport());
  ClearCurlCookies();
  RouteConfiguredHostsTo(port);
}

LocalSite::~LocalSite() {
  SetCurlConnectTo({});
  server_->http.stop();
  server_->thread.join();
}

void LocalSite::Serve(const std::string& target, const std::string& body) {
  std::lock_guard<std::mutex> lock(server_->mutex);
  server_->pages[target] = body;
}

void LocalSite::RefuseConnections() { RouteConfiguredHostsTo(ClosedPort()); }

std::vector<ReceivedRequest> LocalSite::Received() const {
  std::lock_guard<std::mutex> lock(server_->mutex);
  return server_->received;
}

std::vector<std::string> LocalSite::Targets() const {
  std::vector<std::string> targets;
  for (const ReceivedRequest& r : Received()) targets.push_back(r.target);
  return targets;
}

}  // namespace dsr
