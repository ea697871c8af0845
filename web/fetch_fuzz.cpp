// Fuzzing the page fetch over the scripted transport: fuzzed response header
// blocks (Set-Cookie lines of any shape and length), fuzzed read chunks, read
// and send failures, methods and addresses. The bytes handed back are exactly
// the bytes the transport served, every handle is closed, and the cookie
// store is never asked to hold a line break or a zero byte.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/headless_window.h"
#include "app/window_ops.h"
#include "fuzz/fuzz_support.h"
#include "text/text.h"
#include "web/fake_transport.h"
#include "web/fetch.h"
#include "web/url.h"

namespace {

constexpr std::string_view kMethods[] = {"", "GET", "get", "POST", "PUT"};

bool HasLineBreak(std::string_view t) { return t.find_first_of("\r\n") != std::string_view::npos; }

std::string_view Long(fuzz::Input& in) {
  const std::size_t n = in.Byte() | static_cast<std::size_t>(in.Byte()) << 8;
  return in.Bytes(n);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in{data, size};
  const std::uint8_t flags = in.Byte();
  const std::string_view method = kMethods[(flags & 7) % 5];
  const bool failSend = (flags & 8) != 0;
  const int failReadAfter = (flags & 16) != 0 ? in.Byte() % 8 : -1;
  std::string_view address = in.Part();
  if (address.empty()) address = "http://Shop.Example:8080/Rate/list.htm?id=7";
  dsr::Text headers(in.Part());
  const std::string_view body = in.Part();
  dsr::FakeResponse response;
  response.rawHeaders = std::string(Long(in));
  response.failSend = failSend;
  response.failReadAfterChunks = failReadAfter;
  while (in.size > 0) response.bodyChunks.emplace_back(Long(in));

  dsr::FakeTransport fake;
  fake.responses.push_back(response);
  dsr::UseTransport(fake.Transport());
  dsr::HeadlessWindow window;
  dsr::UseWindowOperations(window.Operations());
  dsr::Text rawHeaders;
  const dsr::Bytes bytes = dsr::FetchPageBytes(address, method, "", headers, body, rawHeaders);
  dsr::UseTransport(dsr::HttpTransport{});
  dsr::UseWindowOperations(dsr::WindowOperations{});

  FUZZ_CHECK(fake.openHandles.empty() && fake.badCloses == 0);
  const std::string host = dsr::UrlHost(address, false);
  for (const dsr::FakeCookie& c : fake.cookies) {
    FUZZ_CHECK(c.url == "http://" + host);
    FUZZ_CHECK(!HasLineBreak(c.name) && !fuzz::HasZero(c.name));
    FUZZ_CHECK(!HasLineBreak(c.value) && !fuzz::HasZero(c.value));
  }

  for (const dsr::FakeCall& c : fake.CallsOf("openRequest")) {
    FUZZ_CHECK(c.arguments[2] == dsr::RequestTarget(dsr::UrlObjectPath(address)));
  }
  const bool requested = fake.CallsOf("send").size() == 1;
  if (!requested) {
    FUZZ_CHECK(bytes == dsr::FetchFailureBytes());
    FUZZ_CHECK(fake.cookies.empty());
    return 0;
  }
  // The bytes served: the chunks up to an empty one (a read of 0 bytes ends
  // the body) or up to the failing read.
  std::string served;
  if (!failSend) {
    for (std::size_t i = 0; i < response.bodyChunks.size(); ++i) {
      if (failReadAfter >= 0 && i >= static_cast<std::size_t>(failReadAfter)) break;
      if (response.bodyChunks[i].empty()) break;
      served += response.bodyChunks[i];
    }
  }
  FUZZ_CHECK(std::string(bytes.begin(), bytes.end()) == served);
  const bool fits = !failSend && response.rawHeaders.size() + 1 <= 1024;
  FUZZ_CHECK(rawHeaders == (fits ? response.rawHeaders : std::string(1024, ' ')));
  if (!fits) FUZZ_CHECK(fake.cookies.empty());
  return 0;
}
