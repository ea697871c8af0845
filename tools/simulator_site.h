// The marketplace simulator: seeded sellers, the GBK pages of the profile
// host, the rating host, the maker's announcement and forum, and an HTTP
// server on 127.0.0.1 that serves them.
#pragma once

#include <httplib.h>

#include <array>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "announce/announcement.h"
#include "text/text.h"

namespace dsr {

// One rating as the seller's rating page shows it.
struct SimulatedRating {
  Text score;       // e.g. "4.8"
  Text raterCount;  // e.g. "1234"
  bool higher;      // above the trade average
  Text difference;  // e.g. "12.34%"
};

struct SimulatedSeller {
  Text account;                            // GBK
  Text ratingId;                           // the page is /user-rate-<id>.htm
  std::array<SimulatedRating, 3> ratings;  // description, service, shipping
  // False: the rating page is of another layout, without the ratings block.
  bool showsRatings = true;
};

const std::vector<SimulatedSeller>& SeededSellers();
// The seller whose account is `account` (GBK, byte for byte), or null.
const SimulatedSeller* FindSeller(std::string_view account);

// The member-profile page, linking "http://<ratingHost>/user-rate-<id>.htm".
Text ProfilePage(const SimulatedSeller& seller, std::string_view ratingHost);
// The profile host's answer for an account it does not know.
Text UnknownAccountPage(std::string_view account);
// The rating page with the three ratings (or, for a seller that does not
// show them, a page of another layout).
Text RatingPage(const SimulatedSeller& seller);
// The rating host's answer for an id it does not know.
Text UnknownRatingPage();
// An article page holding the record's payload between two markers; the
// payload is empty when the record cannot be written.
Text AnnouncementPage(const AnnouncementRecord& record);
// The maker's forum home page.
Text ForumPage();

// Status "0", the advertisement line on.
AnnouncementRecord DefaultAnnouncement();

// "%XX" sequences decoded; everything else, "+" included, kept.
std::string PercentDecode(std::string_view s);

struct SimulatorOptions {
  int port = 18080;        // 0: any free port
  std::string ratingHost;  // empty: the configured rating host
  AnnouncementRecord announcement = DefaultAnnouncement();
};

// Routes of the simulator on `server`, whose listening socket then refuses a
// port on which another server already listens (cpp-httplib's own options
// would share it).
void AddSimulatorRoutes(httplib::Server& server, const SimulatorOptions& options);

// The simulator on a thread of its own, for tests: listening once the
// constructor returns, stopped by the destructor.
class SimulatorThread {
 public:
  explicit SimulatorThread(SimulatorOptions options);
  ~SimulatorThread();
  SimulatorThread(const SimulatorThread&) = delete;
  SimulatorThread& operator=(const SimulatorThread&) = delete;

  // The port listened on; -1 when it could not be bound (taken).
  int Port() const { return port_; }
  // Routes the configured profile, rating and announcement hosts to this
  // server through the curl transport (bound here).
  void RouteConfiguredHosts() const;

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace dsr
