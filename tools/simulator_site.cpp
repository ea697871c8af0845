// The simulator's pages (GBK, in the layout the tool reads) and its routes.
#include "tools/simulator_site.h"

#include <sys/socket.h>

#include <chrono>
#include <string>

#include "app/addresses.h"
#include "web/curl_transport.h"
#include "web/transport.h"
#include "web/url.h"

namespace dsr {
namespace {

constexpr const char* kContentType = "text/html; charset=gbk";

constexpr std::array<std::string_view, 3> kDimensionNames = {"宝贝与描述相符", "卖家的服务态度",
                                                             "卖家发货的速度"};

// <, >, & and " escaped. GBK trail bytes are never below 0x40, so a byte-wise
// pass cannot split a character.
std::string EscapeHtml(std::string_view s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string PageHead(std::string_view title) {
  return "<!DOCTYPE html>\n<html><head><meta http-equiv=\"Content-Type\" "
         "content=\"text/html; charset=gbk\"><title>" +
         EscapeHtml(title) + "</title></head>\n<body>\n";
}

constexpr std::string_view kPageFoot = "</body></html>\n";

// `s` as a regular expression that matches exactly it.
std::string RegexLiteral(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out;
}

// The raw value of the "userID=" parameter of a request target, decoded.
std::string AccountOfTarget(std::string_view target) {
  const size_t at = target.find("userID=");
  if (at == std::string_view::npos) return {};
  std::string_view value = target.substr(at + 7);
  value = value.substr(0, value.find('&'));
  return PercentDecode(value);
}

}  // namespace

const std::vector<SimulatedSeller>& SeededSellers() {
  static const std::vector<SimulatedSeller> sellers = {
      {"vrenlo_shop",
       "10001",
       {{{"4.8", "1234", true, "12.34%"},
         {"4.7", "1230", false, "5.67%"},
         {"4.9", "1229", true, "20.01%"}}}},
      {"张记小铺",
       "20002",
       {{{"4.95", "12345", true, "30.12%"},
         {"4.86", "12001", true, "8.45%"},
         {"4.79", "11987", false, "2.10%"}}}},
      {"lowscore_store",
       "30003",
       {{{"4.6", "88", false, "15.50%"},
         {"4.5", "87", false, "22.31%"},
         {"4.4", "90", false, "30.00%"}}}},
      {"bigmall_store",
       "40004",
       {{{"4.82", "2345664", true, "123.45%"},
         {"4.79", "2345001", false, "8.02%"},
         {"4.9", "2344987", true, "20.00%"}}}},
      {"newlayout_shop", "50005", {}, false},
  };
  return sellers;
}

const SimulatedSeller* FindSeller(std::string_view account) {
  for (const SimulatedSeller& s : SeededSellers()) {
    if (s.account == account) return &s;
  }
  return nullptr;
}

Text ProfilePage(const SimulatedSeller& seller, std::string_view ratingHost) {
  return PageHead(seller.account + " - 会员档案") + "<div class=\"member-info\">\n<p>会员名：" +
         EscapeHtml(seller.account) + "</p>\n<p>所在地区：浙江 杭州</p>\n<p><a href=\"http://" +
         std::string(ratingHost) + "/user-rate-" + seller.ratingId +
         ".htm\" target=\"_blank\">查看信用评价</a></p>\n</div>\n" + std::string(kPageFoot);
}

Text UnknownAccountPage(std::string_view account) {
  return PageHead("会员档案") + "<div class=\"error\"><p>没有找到会员“" + EscapeHtml(account) +
         "”，请确认会员名是否正确。</p></div>\n" + std::string(kPageFoot);
}

Text RatingPage(const SimulatedSeller& seller) {
  if (!seller.showsRatings) {
    return PageHead("信用评价 - " + seller.account) +
           "<div class=\"rate-box-v2\" data-module=\"shop-score\"></div>\n" +
           "<script>/* 评分由脚本载入 */</script>\n" + std::string(kPageFoot);
  }
  std::string page = PageHead("信用评价 - " + seller.account) +
                     "<div class=\"rate-box\">\n<h3>店铺动态评分</h3>\n<ul class=\"dsr-info\">\n";
  for (size_t i = 0; i < kDimensionNames.size(); ++i) {
    const SimulatedRating& r = seller.ratings[i];
    page += "<li class=\"dsr-item\"><span class=\"dsr-name\">" + std::string(kDimensionNames[i]) +
            "</span>\n<em class=\"count\" title=\"" + r.score + "分\">" + r.score +
            "</em>分 共<span>" + r.raterCount + "</span>人\n<div class=\"compare\">" +
            (r.higher ? "店铺得分-同行业平均分 <strong class=\"percent over\">"
                      : "店铺得分低于同行业平均分 <strong class=\"percent lower\">") +
            r.difference + "</strong></div></li>\n";
  }
  return page + "</ul>\n</div>\n" + std::string(kPageFoot);
}

Text UnknownRatingPage() {
  return PageHead("信用评价") + "<div class=\"error\"><p>您查看的页面不存在。</p></div>\n" +
         std::string(kPageFoot);
}

Text AnnouncementPage(const AnnouncementRecord& record) {
  return PageHead("dsrscope 软件公告 - Kestrin Vrenlo 的博客") +
         "<div class=\"article\">\n<h2>dsrscope "
         "软件公告</h2>\n<p>本文由软件自动读取，请勿改动下面的代码。</p>\n"
         "<p class=\"code\">" +
         std::string(kAnnouncementMarker) + EncodeAnnouncementPayload(record) +
         std::string(kAnnouncementMarker) + "</p>\n</div>\n" + std::string(kPageFoot);
}

Text ForumPage() {
  return PageHead("Vrenlo 官网论坛") +
         "<h1>Vrenlo 官网论坛</h1>\n<p>欢迎来到 Kestrin Vrenlo 的软件论坛（本机演示站点）。</p>\n" +
         std::string(kPageFoot);
}

AnnouncementRecord DefaultAnnouncement() {
  return {"0", "欢迎使用 dsrscope。", "1", "演示模式：数据来自本机的淘宝模拟站点，均为虚构。",
          "http://" + std::string(kMakerForumHost)};
}

std::string PercentDecode(std::string_view s) {
  auto hex = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
      out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

void AddSimulatorRoutes(httplib::Server& server, const SimulatorOptions& options) {
  // SO_REUSEADDR alone: a port in TIME_WAIT can be bound again, one that a
  // server listens on cannot.
  server.set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  });
  const std::string ratingHost =
      options.ratingHost.empty() ? std::string(kRatingHost) : options.ratingHost;
  const std::string announcement = AnnouncementPage(options.announcement);

  server.Get("/member/userProfile.jhtml",
             [ratingHost](const httplib::Request& req, httplib::Response& res) {
               const std::string account = AccountOfTarget(req.target);
               if (const SimulatedSeller* seller = FindSeller(account)) {
                 res.set_content(ProfilePage(*seller, ratingHost), kContentType);
               } else {
                 res.status = 404;
                 res.set_content(UnknownAccountPage(account), kContentType);
               }
             });
  server.Get(R"(/user-rate-([^/]*)\.htm)", [](const httplib::Request& req, httplib::Response& res) {
    const std::string id = req.matches[1];
    for (const SimulatedSeller& s : SeededSellers()) {
      if (s.ratingId == id) {
        res.set_content(RatingPage(s), kContentType);
        return;
      }
    }
    res.status = 404;
    res.set_content(UnknownRatingPage(), kContentType);
  });
  // At the demo's address and at the path of the configured one.
  const auto announce = [announcement](const httplib::Request&, httplib::Response& res) {
    res.set_content(announcement, kContentType);
  };
  server.Get("/announce.html", announce);
  const std::string configuredPath = UrlObjectPath(kAnnouncementAddress);
  if (configuredPath != "/announce.html" && configuredPath != "/") {
    server.Get(RegexLiteral(configuredPath), announce);
  }
  server.Get("/", [](const httplib::Request&, httplib::Response& res) {
    res.set_content(ForumPage(), kContentType);
  });
}

SimulatorThread::SimulatorThread(SimulatorOptions options) {
  AddSimulatorRoutes(server_, options);
  port_ = options.port == 0 ? server_.bind_to_any_port("127.0.0.1")
                            : (server_.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
  if (port_ > 0) {
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() only reaches a server that has begun listening.
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

SimulatorThread::~SimulatorThread() {
  if (thread_.joinable()) {
    server_.stop();
    thread_.join();
  }
}

void SimulatorThread::RouteConfiguredHosts() const {
  auto rule = [this](std::string_view address) {
    return UrlHost(address, false) + ":" + std::to_string(UrlPort(address)) +
           ":127.0.0.1:" + std::to_string(port_);
  };
  UseTransport(CurlTransport());
  ClearCurlCookies();
  SetCurlConnectTo({rule("http://" + std::string(kProfileHost) + "/"),
                    rule("http://" + std::string(kRatingHost) + "/"), rule(kAnnouncementAddress)});
}

}  // namespace dsr
