// dsrscope-headless ACCOUNT: the tool without a screen. Runs the start-up
// announcement, a query for ACCOUNT (UTF-8) and the five-star calculation with
// the default expected values, on the headless window, and prints the message
// boxes, the three result lines and the three needed-count lines in UTF-8.
#include <cstdio>
#include <cstdlib>

#include "announce/announcement.h"
#include "app/gbk.h"
#include "app/headless_window.h"
#include "ratings/calculate.h"
#include "ratings/query.h"
#include "web/curl_transport.h"
#include "web/transport.h"

namespace {

void PrintLine(std::string_view gbk) { std::printf("%s\n", dsr::GbkToUtf8(gbk).c_str()); }

}  // namespace

int main(int argc, char** argv) {
  using dsr::Control;
  if (argc != 2) {
    std::fprintf(stderr, "usage: dsrscope-headless ACCOUNT\n");
    return 2;
  }
  std::atexit(dsr::ReleaseSessionValues);
  dsr::UseTransport(dsr::CurlTransport());
  dsr::HeadlessWindow window;
  window.onMessageBox = [](std::string_view text) { PrintLine("信息：" + std::string(text)); };
  dsr::UseWindowOperations(window.Operations());

  try {
    dsr::CheckAnnouncement();
  } catch (const dsr::ProgramEnded&) {
    return 0;
  }
  if (window.VisibleOf(Control::标签20)) PrintLine(window.TextOf(Control::标签20));

  window.TextOf(Control::编辑框1) = dsr::Utf8ToGbk(argv[1]);
  dsr::QuerySellerRatings();
  dsr::ComputeFiveStarNeeds();

  const struct {
    Control name, result, needed;
  } rows[] = {{Control::标签2, Control::标签5, Control::标签11},
              {Control::标签3, Control::标签6, Control::标签12},
              {Control::标签4, Control::标签7, Control::标签13}};
  for (const auto& row : rows) PrintLine(window.TextOf(row.name) + window.TextOf(row.result));
  for (const auto& row : rows) {
    PrintLine(window.TextOf(row.name).substr(0, 14) + " " + window.TextOf(row.needed));
  }
  dsr::UseWindowOperations(dsr::WindowOperations());
  return 0;
}
