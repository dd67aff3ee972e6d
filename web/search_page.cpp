#include "search_page.h"

#include "web_addresses.h"

namespace tolvane {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Joins the pieces of one line, followed by its line break.
template <typename... Pieces>
void appendLine(std::string& page, const Pieces&... pieces) {
    (page.append(std::string_view(pieces)), ...);
    page.append(kLineEnd);
}

}  // namespace

SearchPageSites configuredSearchPageSites() {
    return {site::kBannerBase, site::kSearchHost, site::kSiteId, site::kMerchantId,
            site::kSearchSiteLabel};
}

std::string searchPageText(const SearchPageSites& sites) {
    const std::string searchBase = "http://" + std::string(sites.searchHost);

    std::string page;
    page.reserve(1500);

    // Head and script. Lines 1 to 3 end with a blank, line 3 begins with two.
    appendLine(page, R"~(<html><head><title></title><script language="JavaScript"><!-- )~");
    appendLine(page, R"~(function MM_openBrWindow(theURL,winName,features) { //v2.0 )~");
    appendLine(page, R"~(  window.open(theURL,winName,features); )~");
    appendLine(page, R"~(})~");
    appendLine(page, R"~(//-->)~");

    // Body, table, first row and the banner form with its hidden fields. The banner form ends
    // in its own cell, right after the banner picture: left open to the end of the page, it
    // would hold the search form, which every browser then drops, and "Go!" would send the
    // user's terms to the banner service instead of the search service.
    appendLine(
        page, R"~(</script></head><body bgcolor="#FF9933")~", R"~(><div align="center")~",
        R"~(><center><table border="0" cellspacing="0" cellpadding="0" bgcolor="#FFFFCC" width="469")~",
        R"~(><tr><td colspan="4")~", R"~(><FORM ACTION=")~", sites.bannerBase,
        R"~(/bfast/click" target="_tgtNew")~", R"~(><INPUT TYPE="hidden" NAME="siteid" VALUE=")~",
        sites.siteId, R"~(")~", R"~(><INPUT TYPE="hidden" NAME="bfpage" VALUE="shareware_1")~",
        R"~(><INPUT TYPE="hidden" NAME="bfmid" VALUE=")~", sites.merchantId, R"~(")~", R"~(>)~");

    // Banner picture, second row, tracking image, search form and its terms field.
    appendLine(page, R"~(<img src="banner_top.gif" width="468" height="30" border="0")~",
               R"~(></FORM></td></tr><tr><td align="right")~",
               R"~(><img src="searchfor.gif" width="69" height="30" align="right" border="0")~",
               R"~(><IMG SRC=")~", sites.bannerBase, R"~(/bfast/serve?bfmid=)~", sites.merchantId,
               R"~(&siteid=)~", sites.siteId,
               R"~(&bfpage=shareware_1" BORDER="0" WIDTH="1" HEIGHT="1")~",
               R"~( NOSAVE></td><td align="right")~", R"~(><form method="get" action=")~",
               searchBase, R"~(/affiliates/link/landx.htm" target="_tgtNew")~",
               R"~(><input type="text" name="terms" size="15" maxlength="75")~", R"~(>)~");

    // Return address, scope list, search button and the closing tags.
    appendLine(page, R"~(<input type="hidden" name="rURL" value=")~", sites.searchHost,
               R"~(/affiliates/search/searchx.htm")~", R"~(></td><td align="right")~",
               R"~(><select name="TopNode")~", R"~(><option value="/">)~", sites.searchSiteLabel,
               R"~(</option><option value="3804&shareware">Shareware/Freeware Site)~",
               R"~(</option></select></td><td align="right")~",
               R"~(><INPUT type="IMAGE" src="go.gif" width="42" height="30" border="0" ALT="Go!")~"
               R"~( onClick="MM_openBrWindow('AboutHtm.htm','_parent','')")~",
               R"~(></td></form></tr></table></center></div></body></html>)~");

    return page;
}

std::string searchPageText() {
    return searchPageText(configuredSearchPageSites());
}

}  // namespace tolvane
