// A web site on 127.0.0.1 for the handler tests: the configured hosts reach it
// through the curl transport's routing hook; it answers from a table of
// bodies by request target and records every request it receives.
#pragma once

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/addresses.h"
#include "web/curl_transport.h"
#include "web/transport.h"
#include "web/url.h"

namespace dsr {

// One request as the server saw it.
struct ReceivedRequest {
  std::string method;
  std::string host;    // the Host header
  std::string target;  // the request target as sent, query included
  std::string referer;
};

// The rule that sends connections for the host and port of `address` to
// 127.0.0.1:`localPort`.
inline std::string RouteRule(std::string_view address, int localPort) {
  return UrlHost(address, false) + ":" + std::to_string(UrlPort(address)) +
         ":127.0.0.1:" + std::to_string(localPort);
}

// A port on 127.0.0.1 on which nothing listens (bound once, then closed).
inline int ClosedPort() {
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

// Routes the profile, rating and announcement hosts to `localPort`, with the
// curl transport bound and its cookie store empty.
inline void RouteConfiguredHostsTo(int localPort) {
  UseTransport(CurlTransport());
  ClearCurlCookies();
  const std::string profile = "http://" + std::string(kProfileHost) + "/";
  const std::string rating = "http://" + std::string(kRatingHost) + "/";
  SetCurlConnectTo({RouteRule(profile, localPort), RouteRule(rating, localPort),
                    RouteRule(kAnnouncementAddress, localPort)});
}

class LocalSite {
 public:
  LocalSite() {
    server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(
          {req.method, req.get_header_value("Host"), req.target, req.get_header_value("Referer")});
      auto page = pages_.find(req.target);
      if (page == pages_.end()) {
        res.status = 404;
        return;
      }
      res.set_content(page->second, "text/html; charset=gbk");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only reaches a server that has begun listening.
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    RouteConfiguredHostsTo(port_);
  }

  ~LocalSite() {
    SetCurlConnectTo({});
    server_.stop();
    thread_.join();
  }

  LocalSite(const LocalSite&) = delete;
  LocalSite& operator=(const LocalSite&) = delete;

  // Answers a GET of exactly `target` with `body`; other targets get a 404
  // with no body.
  void Serve(const std::string& target, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[target] = body;
  }

  std::vector<ReceivedRequest> Received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

  std::vector<std::string> Targets() {
    std::vector<std::string> targets;
    for (const ReceivedRequest& r : Received()) targets.push_back(r.target);
    return targets;
  }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::map<std::string, std::string> pages_;
  std::vector<ReceivedRequest> received_;
};

}  // namespace dsr
