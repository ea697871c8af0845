// The handler of 按钮3: the maker's forum in the browser.
#pragma once

namespace dsr {

// Opens "http://" and the maker's forum host with the desktop's default
// program; changes nothing in the window.
void OpenMakerSite();

}  // namespace dsr
