// Tests of the announcement reader, the payload writer and the start-up
// handler against a local web site.
#include "announce/announcement.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/addresses.h"
#include "app/headless_window.h"
#include "ratings/query_test_site.h"
#include "web/url.h"

namespace dsr {
namespace {

// Lowercase hexadecimal digits of the bytes of `t`.
std::string Hex(std::string_view t) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char b : t) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

std::string Marked(std::string_view payload) {
  return "<html><p>5d3b6e" + std::string(payload) + "5d3b6e</p></html>";
}

constexpr std::string_view kWorked1 = "c8edbcfed7b4ccac3d3026";
constexpr std::string_view kWorked2 =
    "c8edbcfed7b4ccac3d3026b9e3b8e6bfaac6f43d3126b9e3b8e6c4dac8dd3d41424326";

struct ReadCase {
  const char* name;
  std::string page;
  AnnouncementRecord expected;
};

TEST(ReadAnnouncement, CutsTheFiveValuesFromThePayloadBetweenTheMarkers) {
  const std::string m = std::string(kAnnouncementMarker);
  const ReadCase cases[] = {
      {"worked example 1", Marked(kWorked1), {"0", "", "", "", ""}},
      {"worked example 2", Marked(kWorked2), {"0", "", "1", "ABC", ""}},
      {"upper-case digits",
       Marked("C8EDBCFED7B4CCAC3D3026B9E3B8E6BFAAC6F43D3126"),
       {"0", "", "1", "", ""}},
      {"odd last digit ignored", Marked(std::string(kWorked1) + "4"), {"0", "", "", "", ""}},
      {"pair 00 ends the record",
       Marked(Hex("软件状态=0&") + "00" + Hex("广告开启=1&")),
       {"0", "", "", "", ""}},
      {"marker inside the digits at an odd offset, a third copy after",
       m + Hex("软件状态=0&") + "a" + m + Hex("广告开启=1&") + m,
       {"0", "", "", "", ""}},
      {"only one marker", "x" + m + std::string(kWorked1), {"", "", "", "", ""}},
      {"no marker", "<html>moved</html>", {"", "", "", "", ""}},
      {"empty page", "", {"", "", "", "", ""}},
      {"entries in another order",
       Marked(Hex("广告开启=1&软件状态=0&广告内容=A&")),
       {"0", "", "1", "A", ""}},
      {"first occurrence of a key counts, also inside a value",
       Marked(Hex("软件提示=见软件状态=0&软件状态=1&")),
       {"0", "见软件状态=0", "", "", ""}},
      {"last value without its closing &",
       Marked(Hex("软件状态=0&广告内容=ABC")),
       {"0", "", "", "", ""}},
      {"values taken byte for byte",
       Marked(Hex("软件状态= 0&广告开启=01&")),
       {" 0", "", "01", "", ""}},
      {"all five keys with text between entries",
       Marked(Hex("软件状态=2&;软件提示=请升级&广告开启=1&广告内容=新版 V2=好&广告地址=http://"
                  "a.example/?x=1&")),
       {"2", "请升级", "1", "新版 V2=好", "http://a.example/?x=1"}},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const AnnouncementRecord r = ReadAnnouncement(c.page);
    EXPECT_EQ(r.status, c.expected.status);
    EXPECT_EQ(r.notice, c.expected.notice);
    EXPECT_EQ(r.adEnabled, c.expected.adEnabled);
    EXPECT_EQ(r.adContent, c.expected.adContent);
    EXPECT_EQ(r.adAddress, c.expected.adAddress);
  }
}

TEST(EncodeAnnouncementPayload, WritesTheWorkedPayloadsLeavingOutEmptyValues) {
  EXPECT_EQ(EncodeAnnouncementPayload({"0", "", "", "", ""}), kWorked1);
  EXPECT_EQ(EncodeAnnouncementPayload({"0", "", "1", "ABC", ""}), kWorked2);
}

TEST(EncodeAnnouncementPayload, RoundTripsThroughTheReader) {
  const AnnouncementRecord records[] = {
      {"2", "请升级到 2.0 版：见论坛公告=", "1", "新版 上线", "http://a.example/p?id=1"},
      {"1", "见软件状态=0", "", "", ""},  // an earlier key inside a later value
      {"", "", "", "", "x"},
  };
  for (const AnnouncementRecord& r : records) {
    SCOPED_TRACE(r.notice);
    const Text payload = EncodeAnnouncementPayload(r);
    ASSERT_FALSE(payload.empty());
    EXPECT_EQ(payload.find_first_not_of("0123456789abcdef"), Text::npos);
    EXPECT_EQ(ReadAnnouncement(Marked(payload)), r);
  }
}

TEST(EncodeAnnouncementPayload, RefusesRecordsTheReaderWouldNotGiveBack) {
  struct Case {
    const char* name;
    AnnouncementRecord record;
  };
  const Case cases[] = {
      {"& inside a value", {"0", "", "1", "A&B", ""}},
      {"key of a later entry inside a value", {"2", "设广告开启=1即可", "", "", ""}},
      {"key of a left-out entry inside a value", {"", "软件状态=0", "", "", ""}},
      {"value ending in half a double-byte character", {"2", "abc\xB0", "", "", ""}},
      {"marker inside the digits", {"0", "", "1", "];n", ""}},
      {"zero byte inside a value", {"0", std::string("a\0b", 3), "", "", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodeAnnouncementPayload(c.record), "");
  }
}

// What the start-up handler left behind.
struct Outcome {
  bool ended = false;
  std::vector<Text> messages;
  bool adShown = false;
  Text adText;
};

Outcome RunCheckAnnouncement() {
  HeadlessWindow w;
  UseWindowOperations(w.Operations());
  Outcome o;
  try {
    CheckAnnouncement();
  } catch (const ProgramEnded&) {
    o.ended = true;
  }
  UseWindowOperations({});
  EXPECT_EQ(o.ended, w.ended);
  o.messages = w.messages;
  o.adShown = w.VisibleOf(Control::标签20);
  o.adText = w.TextOf(Control::标签20);
  return o;
}

TEST(CheckAnnouncement, FetchesTheConfiguredPageOnceWithAGet) {
  LocalSite site;
  const std::string path = UrlObjectPath(kAnnouncementAddress);
  site.Serve(path, Marked(kWorked1));
  RunCheckAnnouncement();
  const auto received = site.Received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].method, "GET");
  EXPECT_EQ(received[0].target, path);
  EXPECT_EQ(received[0].referer, kAnnouncementAddress);
}

TEST(CheckAnnouncement, ActsOnEachOutcome) {
  const std::string unreadable(kAnnouncementUnreadable);
  struct Case {
    const char* name;
    std::optional<std::string> page;     // none: the server answers 404, no body
    std::optional<std::string> message;  // none: no box, the program runs on
    bool adShown;
    std::string adText;
  };
  const Case cases[] = {
      {"no page", std::nullopt, unreadable, false, ""},
      {"page without the marker", "<html>moved</html>", unreadable, false, ""},
      {"page with one marker", "5d3b6e" + std::string(kWorked1), unreadable, false, ""},
      {"no status entry, a notice", Marked(Hex("软件提示=请升级&")), "请升级", false, ""},
      {"status without its &", Marked(Hex("软件提示=请升级&软件状态=0")), "请升级", false, ""},
      {"status 2 with a notice, ad on",
       Marked(Hex("软件状态=2&软件提示=请升级&广告开启=1&广告内容=X&")), "请升级", false, ""},
      {"status 2 without a notice", Marked(Hex("软件状态=2&")), unreadable, false, ""},
      {"status 0 with a space", Marked(Hex("软件状态=0 &软件提示=停用&")), "停用", false, ""},
      {"worked example 1", Marked(kWorked1), std::nullopt, false, ""},
      {"worked example 2", Marked(kWorked2), std::nullopt, true, "ABC"},
      {"ad on without content", Marked(Hex("软件状态=0&广告开启=1&")), std::nullopt, true, ""},
      {"ad switch other than 1", Marked(Hex("软件状态=0&广告开启=yes&广告内容=X&")), std::nullopt,
       false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LocalSite site;
    if (c.page) site.Serve(UrlObjectPath(kAnnouncementAddress), *c.page);
    const Outcome o = RunCheckAnnouncement();
    if (c.message) {
      EXPECT_TRUE(o.ended);
      EXPECT_THAT(o.messages, ::testing::ElementsAre(*c.message));
    } else {
      EXPECT_FALSE(o.ended);
      EXPECT_THAT(o.messages, ::testing::IsEmpty());
    }
    EXPECT_EQ(o.adShown, c.adShown);
    EXPECT_EQ(o.adText, c.adText);
  }
}

TEST(CheckAnnouncement, EndsWithAClearTextWhenThePageCannotBeFetched) {
  LocalSite site;
  site.RefuseConnections();
  const Outcome o = RunCheckAnnouncement();
  EXPECT_TRUE(o.ended);
  EXPECT_THAT(o.messages, ::testing::ElementsAre(Text(kAnnouncementUnreadable)));
  EXPECT_FALSE(o.adShown);
}

}  // namespace
}  // namespace dsr
