#pragma once

#include <array>
#include <string>
#include <string_view>

namespace tolvane {

// The file name of the search page, written into the application folder at every start-up.
inline constexpr std::string_view kSearchPageFileName = "AboutHtm.htm";

// The pictures the page shows; they must lie beside it.
inline constexpr std::array<const char*, 3> searchPagePictureNames() {
    return {"banner_top.gif", "searchfor.gif", "go.gif"};
}

// The outside services and affiliate account the search page names.
struct SearchPageSites {
    std::string_view bannerBase;       // "http://" and the banner service's host, no slash after
    std::string_view searchHost;       // the search service's host name alone
    std::string_view siteId;           // 8 digits
    std::string_view merchantId;       // 7 digits
    std::string_view searchSiteLabel;  // plain text, no markup
};

// The values this build was configured with (web_addresses.h).
SearchPageSites configuredSearchPageSites();

// The exact bytes of AboutHtm.htm: eight lines of 7-bit ASCII, each followed by CR LF, no
// byte-order mark. The search service's address is "http://" followed by sites.searchHost.
std::string searchPageText(const SearchPageSites& sites);

// The page for the configured sites.
std::string searchPageText();

}  // namespace tolvane
