// Reading, writing and acting on the maker's start-up announcement.
#include "announce/announcement.h"

#include "app/addresses.h"
#include "app/controls.h"
#include "app/window_ops.h"
#include "text/between.h"
#include "text/digits.h"
#include "web/fetch.h"

namespace dsr {
namespace {

Text HexOf(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  Text hex;
  hex.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

void AppendEntry(Text& record, std::string_view key, std::string_view value) {
  if (value.empty()) return;
  record.append(key);
  record.append(value);
  record += '&';
}

}  // namespace

bool operator==(const AnnouncementRecord& a, const AnnouncementRecord& b) {
  return a.status == b.status && a.notice == b.notice && a.adEnabled == b.adEnabled &&
         a.adContent == b.adContent && a.adAddress == b.adAddress;
}

AnnouncementRecord ReadAnnouncement(std::string_view page) {
  const Text payload = TextBetween(page, kAnnouncementMarker, kAnnouncementMarker);
  const Text record = HexTextToText(payload);
  AnnouncementRecord r;
  r.status = TextBetween(record, kStatusKey, "&");
  r.notice = TextBetween(record, kNoticeKey, "&");
  r.adEnabled = TextBetween(record, kAdEnabledKey, "&");
  r.adContent = TextBetween(record, kAdContentKey, "&");
  r.adAddress = TextBetween(record, kAdAddressKey, "&");
  return r;
}

Text EncodeAnnouncementPayload(const AnnouncementRecord& record) {
  Text entries;
  AppendEntry(entries, kStatusKey, record.status);
  AppendEntry(entries, kNoticeKey, record.notice);
  AppendEntry(entries, kAdEnabledKey, record.adEnabled);
  AppendEntry(entries, kAdContentKey, record.adContent);
  AppendEntry(entries, kAdAddressKey, record.adAddress);
  Text payload = HexOf(entries);
  // Whatever the reader would get wrong (a "&" or a later key inside a value,
  // a half character before "&", the marker inside the digits, a zero byte)
  // shows as a record that does not come back.
  const Text page = Join({kAnnouncementMarker, payload, kAnnouncementMarker});
  if (!(ReadAnnouncement(page) == record)) return Text();
  return payload;
}

void CheckAnnouncement() {
  const AnnouncementRecord r = ReadAnnouncement(FetchPageText(kAnnouncementAddress));
  if (!TextEquals(r.status, "0")) {
    ShowMessageBox(r.notice.empty() ? kAnnouncementUnreadable : std::string_view(r.notice));
    EndProgram();
  }
  if (TextEquals(r.adEnabled, "1")) {
    SetLabelVisible(Control::标签20, true);
    SetLabelCaption(Control::标签20, r.adContent);
  }
}

}  // namespace dsr
