// The community site the program was made for. The about screen's link
// shows its host name and opens its root page.
#pragma once

#include <string>

namespace saberline {

inline constexpr char kSiteHost[] = "lanternhall.example";

// The site's root page: plain http (not https), the host name, the path "/".
inline std::string SiteAddress() { return std::string("http://") + kSiteHost + "/"; }

}  // namespace saberline
