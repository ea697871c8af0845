// dsrscope-announce-payload: the maker's side of the start-up announcement.
// Turns a record into the text to publish on the announcement page, the
// marker, the hexadecimal payload and the marker again:
//
//   dsrscope-announce-payload status=0 'notice=...' ad=1 'adtext=...' 'adurl=...'
//
// Values are UTF-8 and are written as GBK; a key left out stays empty.
#include <cstdio>
#include <string>
#include <string_view>

#include "announce/announcement.h"
#include "app/gbk.h"

int main(int argc, char** argv) {
  dsr::AnnouncementRecord record;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const size_t eq = arg.find('=');
    const std::string_view key = arg.substr(0, eq);
    const dsr::Text value =
        eq == std::string_view::npos ? dsr::Text() : dsr::Utf8ToGbk(arg.substr(eq + 1));
    dsr::Text* field = key == "status"   ? &record.status
                       : key == "notice" ? &record.notice
                       : key == "ad"     ? &record.adEnabled
                       : key == "adtext" ? &record.adContent
                       : key == "adurl"  ? &record.adAddress
                                         : nullptr;
    if (field == nullptr || eq == std::string_view::npos) {
      std::fprintf(stderr,
                   "usage: dsrscope-announce-payload status=S notice=TEXT ad=1 adtext=TEXT "
                   "adurl=URL\n");
      return 2;
    }
    *field = value;
  }
  const dsr::Text payload = dsr::EncodeAnnouncementPayload(record);
  if (payload.empty()) {
    std::fprintf(stderr,
                 "dsrscope-announce-payload: this record cannot be read back as written (a value "
                 "holds \"&\" or another key, or the record is empty)\n");
    return 1;
  }
  std::printf("%s%s%s\n", std::string(dsr::kAnnouncementMarker).c_str(), payload.c_str(),
              std::string(dsr::kAnnouncementMarker).c_str());
  return 0;
}
