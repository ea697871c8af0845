// The start-up announcement: the maker's status, notice and advertisement
// line, read once from the announcement page before the window is shown.
#pragma once

#include <string_view>

#include "text/text.h"

namespace dsr {

// Stands before and after the hexadecimal payload on the announcement page.
inline constexpr std::string_view kAnnouncementMarker = "5d3b6e";

// The keys of the record's entries; each entry is a key, its value and "&".
inline constexpr std::string_view kStatusKey = "软件状态=";
inline constexpr std::string_view kNoticeKey = "软件提示=";
inline constexpr std::string_view kAdEnabledKey = "广告开启=";
inline constexpr std::string_view kAdContentKey = "广告内容=";
inline constexpr std::string_view kAdAddressKey = "广告地址=";

// Shown instead of an empty box when the tool must end without a notice of
// the maker's (page not fetched, not readable, or no notice given).
inline constexpr std::string_view kAnnouncementUnreadable =
    "无法读取软件公告，请检查网络连接后重新打开本软件。";

// The five values of an announcement, GBK texts as cut from the record.
struct AnnouncementRecord {
  Text status;     // exactly "0" lets the tool run
  Text notice;     // the message shown before the tool ends
  Text adEnabled;  // exactly "1" shows the advertisement line
  Text adContent;  // the advertisement line
  Text adAddress;  // belongs to the advertisement; not used by the tool
};

bool operator==(const AnnouncementRecord& a, const AnnouncementRecord& b);

// The record on `page`: the hexadecimal text between the first two copies of
// the marker, decoded, and each value cut from the key to the next "&". Every
// value that cannot be found is empty.
AnnouncementRecord ReadAnnouncement(std::string_view page);

// The lowercase hexadecimal payload of `record`: its non-empty values as
// entries in field order. The empty text when the record cannot be written so
// that `ReadAnnouncement` of the marker, the payload and the marker gives it
// back, e.g. a value holding "&", a value holding a key of a later entry, a
// value ending in half a double-byte character, or a payload in which the
// marker itself would appear. An all-empty record also gives the empty text.
Text EncodeAnnouncementPayload(const AnnouncementRecord& record);

// Handler of the window's creation event: fetches and reads the
// announcement; unless the status is exactly "0", shows the maker's notice
// (or `kAnnouncementUnreadable` when there is none) and ends the program;
// otherwise shows 标签20 with the advertisement line when the switch is
// exactly "1".
void CheckAnnouncement();

}  // namespace dsr
