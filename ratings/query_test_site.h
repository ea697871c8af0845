// A web site for the handler tests: while a LocalSite lives, the profile,
// rating and announcement hosts reach it; it answers from a table of bodies by
// request target and records every request as a server receives it.
//
// Two builds of it, one chosen per target in CMake: query_test_site_http.cpp
// serves real HTTP on 127.0.0.1 through the libcurl transport, and
// query_test_site_transport.cpp answers inside the process on the HTTP
// transport, where no HTTP server library is at hand.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace dsr {

// One request as the server saw it.
struct ReceivedRequest {
  std::string method;
  std::string host;    // the Host header
  std::string target;  // the request target as sent, query included
  std::string referer;
};

class LocalSite {
 public:
  // Binds the transport the site is reached through, its cookie store empty.
  LocalSite();
  ~LocalSite();

  LocalSite(const LocalSite&) = delete;
  LocalSite& operator=(const LocalSite&) = delete;

  // Answers a GET of exactly `target` with `body`; every other request gets a
  // 404 with no body.
  void Serve(const std::string& target, const std::string& body);

  // From now on no request reaches the site: each one fails as a refused
  // connection does.
  void RefuseConnections();

  std::vector<ReceivedRequest> Received() const;
  std::vector<std::string> Targets() const;

 private:
  struct Server;
  std::unique_ptr<Server> server_;
};

}  // namespace dsr
