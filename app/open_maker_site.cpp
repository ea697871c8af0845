// OpenMakerSite: one call of OpenAddress with the forum's home page.
#include "app/open_maker_site.h"

#include <string>

#include "app/addresses.h"
#include "app/window_ops.h"

namespace dsr {

void OpenMakerSite() { OpenAddress("http://" + std::string(kMakerForumHost)); }

}  // namespace dsr
