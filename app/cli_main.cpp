// dsrscope-cli: the seller query for many accounts, from the command line.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/cli.h"
#include "web/curl_transport.h"
#include "web/transport.h"

namespace {

void Write(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  dsr::UseTransport(dsr::CurlTransport());
  dsr::CliIo io;
  io.out = [](std::string_view t) { Write(stdout, t); };
  io.err = [](std::string_view t) { Write(stderr, t); };
  io.errIsTerminal = isatty(STDERR_FILENO) == 1;
  io.sleep = [](double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); };
  int code = dsr::RunCli(args, io);
  // Results that did not reach their file are not a success.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::fprintf(stderr, "dsrscope-cli: cannot write the results\n");
    if (code == dsr::kCliAllRead) code = dsr::kCliSomeFailed;
  }
  return code;
}
