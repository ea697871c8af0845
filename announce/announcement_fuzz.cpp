// Fuzzing the announcement: the reader on random pages, the payload writer on
// what it read, and the start-up handler on the scripted transport with the
// headless window (an ending is caught, never a crash).
//
// The page is the input with a few control bytes standing for the marker and
// the hexadecimal form of the keys and values (see kTokens), so that the
// fuzzer builds payloads without knowing the keys' bytes in the charset the
// literals were compiled in. The first byte sets how the body is cut into
// read chunks.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "announce/announcement.h"
#include "app/controls.h"
#include "app/headless_window.h"
#include "app/window_ops.h"
#include "fuzz/fuzz_support.h"
#include "web/fake_transport.h"

namespace {

std::string Hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
  }
  return hex;
}

struct Token {
  unsigned char byte;
  std::string text;
};

const Token kTokens[] = {
    {0x01, std::string(dsr::kAnnouncementMarker)},
    {0x02, Hex(dsr::kStatusKey)},
    {0x03, Hex(dsr::kNoticeKey)},
    {0x04, Hex(dsr::kAdEnabledKey)},
    {0x05, Hex(dsr::kAdContentKey)},
    {0x06, Hex(dsr::kAdAddressKey)},
    {0x07, Hex("&")},
    {0x08, Hex("0")},
    {0x0E, Hex("1")},
    {0x0F, "00"},
    {0x10, Hex("ABC")},
};

std::string Expand(std::string_view input) {
  std::string page;
  for (char c : input) {
    bool replaced = false;
    for (const Token& t : kTokens) {
      if (static_cast<unsigned char>(c) == t.byte) {
        page += t.text;
        replaced = true;
      }
    }
    if (!replaced) page += c;
  }
  return page;
}

bool IsLowerHex(std::string_view t) {
  return t.size() % 2 == 0 && t.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input in{data, size};
  const std::size_t chunk = in.Byte() + std::size_t{1};
  const std::string page = Expand(in.Rest());  // may hold zero bytes

  // The reader: values without zero bytes or a "&" that starts a character,
  // and a record that its payload gives back.
  const dsr::AnnouncementRecord r = dsr::ReadAnnouncement(page);
  for (const dsr::Text* v : {&r.status, &r.notice, &r.adEnabled, &r.adContent, &r.adAddress}) {
    FUZZ_CHECK(!fuzz::HasZero(*v) && fuzz::PositionOf(*v, "&") == -1);
  }
  const dsr::Text payload = dsr::EncodeAnnouncementPayload(r);
  if (!payload.empty()) {
    FUZZ_CHECK(IsLowerHex(payload));
    const std::string marker(dsr::kAnnouncementMarker);
    FUZZ_CHECK(dsr::ReadAnnouncement(marker + payload + marker) == r);
  }

  // The handler, fetching the page in chunks: it ends the program unless the
  // status of the page's text is "0", and shows the advertisement line only
  // when it goes on and the switch is "1".
  dsr::FakeTransport fake;
  dsr::FakeResponse response;
  for (std::size_t i = 0; i < page.size(); i += chunk)
    response.bodyChunks.push_back(page.substr(i, chunk));
  fake.responses.push_back(response);
  dsr::UseTransport(fake.Transport());
  dsr::HeadlessWindow window;
  dsr::UseWindowOperations(window.Operations());
  bool ended = false;
  try {
    dsr::CheckAnnouncement();
  } catch (const dsr::ProgramEnded&) {
    ended = true;
  }
  dsr::UseTransport(dsr::HttpTransport{});
  dsr::UseWindowOperations(dsr::WindowOperations{});

  const dsr::AnnouncementRecord seen = dsr::ReadAnnouncement(fuzz::AsText(page));
  FUZZ_CHECK(ended == (seen.status != "0"));
  FUZZ_CHECK(ended == window.ended);
  const bool adShown = window.VisibleOf(dsr::Control::标签20);
  if (ended) {
    FUZZ_CHECK(window.messages.size() == 1);
    FUZZ_CHECK(window.messages[0] == (seen.notice.empty() ? dsr::kAnnouncementUnreadable
                                                          : std::string_view(seen.notice)));
    FUZZ_CHECK(!adShown);
  } else {
    FUZZ_CHECK(window.messages.empty());
    FUZZ_CHECK(adShown == (seen.adEnabled == "1"));
    if (adShown) FUZZ_CHECK(window.TextOf(dsr::Control::标签20) == seen.adContent);
  }
  FUZZ_CHECK(fake.openHandles.empty() && fake.badCloses == 0);
  return 0;
}
