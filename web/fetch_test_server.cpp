// fetch_test_server PORT: the local web site of the real-HTTP fetch cases
// (fetch_http_cases_test.cpp), for every transport, on 127.0.0.1.
//
//   PORT      the site; /echo... answers with what it received:
//             "method\ttarget\n", one "Name\tvalue\n" line a header, "\n",
//             then the request body
//   PORT + 1  accepts connections and counts those that begin a TLS
//             handshake (the target of /to-https); /tls-hellos tells the count
//
// It ends on its own after ten minutes.
#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

std::atomic<int> tlsHellos{0};

void Echo(const httplib::Request& req, httplib::Response& res) {
  std::string out = req.method + "\t" + req.target + "\n";
  for (const auto& [name, value] : req.headers) {
    if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
        name == "LOCAL_PORT") {
      continue;
    }
    out += name + "\t" + value + "\n";
  }
  out += "\n" + req.body;
  res.set_content(out, "text/plain");
}

// Counts the connections whose first byte is 0x16, a TLS handshake record.
void CountTlsHellos(int port) {
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  const int on = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<std::uint16_t>(port));
  if (::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      ::listen(listener, 16) != 0) {
    std::perror("fetch_test_server: TLS port");
    std::_Exit(1);
  }
  for (;;) {
    const int c = ::accept(listener, nullptr, nullptr);
    if (c < 0) continue;
    unsigned char first = 0;
    if (::recv(c, &first, 1, 0) == 1 && first == 0x16) ++tlsHellos;
    ::close(c);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fetch_test_server PORT\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  std::thread([] {
    std::this_thread::sleep_for(std::chrono::minutes(10));
    std::_Exit(0);
  }).detach();
  std::thread(CountTlsHellos, port + 1).detach();

  httplib::Server server;
  server.set_read_timeout(5);
  server.set_write_timeout(5);
  const std::string base = "http://127.0.0.1:" + std::to_string(port);

  server.Get(R"(/echo.*)", Echo);
  server.Post(R"(/echo.*)", Echo);
  // Proxy requests carry the absolute address as their target.
  server.Get(R"(http://.*)", Echo);

  // /hops/N/...: N more redirections, then the echo of what follows.
  server.Get(R"(/hops/(\d+)(/.*))", [](const httplib::Request& req, httplib::Response& res) {
    const int n = std::stoi(req.matches[1].str());
    const std::string rest = req.matches[2].str();
    if (n == 0) {
      res.set_redirect(rest);
    } else {
      res.set_redirect("/hops/" + std::to_string(n - 1) + rest);
    }
  });
  // /<area>/login: cookies for the area, whose name keeps each run apart.
  server.Get(R"(/(\w+)/login)", [](const httplib::Request& req, httplib::Response& res) {
    const std::string area = "/" + req.matches[1].str();
    res.set_header("Set-Cookie", "sid=abc; path=" + area);
    res.set_header("Set-Cookie", "cart=9; Path=" + area + "/shop");
    res.set_header("Set-Cookie",
                   "gone=1; path=" + area + "; expires=Thu, 01 Jan 1970 00:00:00 GMT");
    res.set_content("in", "text/plain");
  });
  server.Get(R"(/(\w+)/logout)", [](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", "sid=; path=/" + req.matches[1].str() +
                                     "; expires=Thu, 01 Jan 1970 00:00:00 GMT");
    res.set_content("out", "text/plain");
  });
  server.Get(R"(/(\w+)/moved)", [](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", "moved=1; path=/" + req.matches[1].str());
    res.set_redirect("/" + req.matches[1].str() + "/echo/new");
  });
  server.Get(R"(/(\w+)/(.*/)?echo.*)", Echo);
  server.Get(R"(/(\w+)/big-header)", [](const httplib::Request& req, httplib::Response& res) {
    res.set_header("Set-Cookie", "big=1; path=/" + req.matches[1].str());
    res.set_header("X-Pad", std::string(1100, 'p'));
    res.set_content("body", "text/plain");
  });

  server.Get("/away", [port](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("http://localhost:" + std::to_string(port) + "/echo/away");
  });
  server.Get("/to-https", [port](const httplib::Request&, httplib::Response& res) {
    res.set_redirect("https://127.0.0.1:" + std::to_string(port + 1) + "/");
  });
  server.Get("/tls-hellos", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(std::to_string(tlsHellos.load()), "text/plain");
  });

  server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
    res.status = 404;
    res.set_content("no such page", "text/html");
  });
  server.Get("/chunked", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("text/plain", [](std::size_t offset, httplib::DataSink& sink) {
      if (offset < 30000) {
        const std::string piece(1000, static_cast<char>('a' + offset / 1000 % 26));
        sink.write(piece.data(), piece.size());
      } else {
        sink.done();
      }
      return true;
    });
  });
  std::string large(5 << 20, '\0');
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 131 % 251);
  server.Get("/large", [&large](const httplib::Request&, httplib::Response& res) {
    res.set_content(large, "application/octet-stream");
  });
  server.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
    res.set_content("", "text/plain");
  });
  server.Get("/short", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(100, "text/plain",
                             [](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                               if (offset > 0) return false;  // the connection ends after 50 bytes
                               sink.write(std::string(50, 's').data(), 50);
                               return true;
                             });
  });

  if (!server.bind_to_port("127.0.0.1", port)) {
    std::fprintf(stderr, "fetch_test_server: port %d is taken\n", port);
    return 1;
  }
  std::printf("fetch_test_server: listening on %s/\n", base.c_str());
  std::fflush(stdout);
  server.listen_after_bind();
  return 0;
}
