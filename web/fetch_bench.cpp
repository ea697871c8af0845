// Fetch timing: serves a body of a given size from a local HTTP server, or
// fetches an address a number of times through the libcurl transport and
// prints the time per fetch. Driven by fetch_bench.sh.
//
//   fetch_bench serve BYTES PORT_FILE   serves GET /body until killed
//   fetch_bench fetch ADDRESS COUNT     fetches and reports
#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/window_ops.h"
#include "web/curl_transport.h"
#include "web/fetch.h"

namespace {

int Serve(std::size_t bytes, const char* portFile) {
  std::string body(bytes, 'x');
  httplib::Server server;
  server.Get("/body", [&body](const httplib::Request&, httplib::Response& res) {
    res.set_content(body, "text/html");
  });
  const int port = server.bind_to_any_port("127.0.0.1");
  std::ofstream(portFile) << port << "\n";
  return server.listen_after_bind() ? 0 : 1;
}

int Fetch(const std::string& address, int count) {
  dsr::UseTransport(dsr::CurlTransport());
  std::size_t total = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < count; ++i) {
    dsr::Text headers, rawHeaders;
    total += dsr::FetchPageBytes(address, "", "", headers, "", rawHeaders).size();
  }
  const std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start;
  std::printf("fetches %d, bytes %zu, total %.1f ms, per fetch %.3f ms\n", count, total,
              spent.count(), spent.count() / count);
  return total == 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "serve") {
    return Serve(std::strtoull(argv[2], nullptr, 10), argv[3]);
  }
  if (argc == 4 && std::string(argv[1]) == "fetch") {
    return Fetch(argv[2], std::atoi(argv[3]));
  }
  std::fputs("usage: fetch_bench serve BYTES PORT_FILE | fetch ADDRESS COUNT\n", stderr);
  return 2;
}
