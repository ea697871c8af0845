// dsrscope-simulator: the marketplace and the maker's pages on 127.0.0.1, in
// GBK, for the demo and for trying the tool without the real sites.
//
//   dsrscope-simulator [--port N] [--rating-host HOST]
//                      [--announce-status S] [--announce-notice TEXT]
//                      [--ad on|off] [--ad-text TEXT] [--ad-url URL]
//   dsrscope-simulator --list-sellers
//
// Texts on the command line are UTF-8. The seeded accounts are printed at
// start, one a line.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/gbk.h"
#include "tools/simulator_site.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: dsrscope-simulator [--port N] [--rating-host HOST] [--announce-status S]\n"
               "         [--announce-notice TEXT] [--ad on|off] [--ad-text TEXT] [--ad-url URL]\n"
               "       dsrscope-simulator --list-sellers\n");
  return 2;
}

void ListSellers() {
  for (const dsr::SimulatedSeller& s : dsr::SeededSellers()) {
    std::printf("%s\n", dsr::GbkToUtf8(s.account).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  dsr::SimulatorOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--list-sellers") {
      ListSellers();
      return 0;
    }
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    if (arg == "--port") {
      options.port = std::atoi(value.c_str());
      if (options.port <= 0 || options.port > 65535) return Usage();
    } else if (arg == "--rating-host") {
      options.ratingHost = value;
    } else if (arg == "--announce-status") {
      options.announcement.status = dsr::Utf8ToGbk(value);
    } else if (arg == "--announce-notice") {
      options.announcement.notice = dsr::Utf8ToGbk(value);
    } else if (arg == "--ad") {
      if (value != "on" && value != "off") return Usage();
      options.announcement.adEnabled = dsr::Text(1, value == "on" ? '1' : '0');
    } else if (arg == "--ad-text") {
      options.announcement.adContent = dsr::Utf8ToGbk(value);
    } else if (arg == "--ad-url") {
      options.announcement.adAddress = dsr::Utf8ToGbk(value);
    } else {
      return Usage();
    }
  }
  if (dsr::EncodeAnnouncementPayload(options.announcement).empty()) {
    std::fprintf(stderr, "dsrscope-simulator: the announcement cannot be written as a payload\n");
    return 2;
  }

  httplib::Server server;
  dsr::AddSimulatorRoutes(server, options);
  if (!server.bind_to_port("127.0.0.1", options.port)) {
    std::fprintf(stderr,
                 "dsrscope-simulator: cannot listen on 127.0.0.1:%d: the port is taken "
                 "(is another simulator running?); stop it or choose another --port\n",
                 options.port);
    return 1;
  }
  std::printf("dsrscope-simulator: listening on http://127.0.0.1:%d/\nseeded accounts:\n",
              options.port);
  ListSellers();
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
