#include "search_page.h"
#include "case_name.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace tolvane {
namespace {

// The documented defaults of the build's cache variables; the expected file is written for them.
constexpr SearchPageSites kDefaultSites{"http://banners.example.com", "search.example.com",
                                        "10000001", "1000001", "Example Search"};

TEST(SearchPage, MatchesTheExpectedFileByteForByte) {
    std::ifstream in(TOLVANE_TEST_DATA_DIR "/AboutHtm.htm", std::ios::binary);  // empty if missing
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(searchPageText(kDefaultSites), expected);
    EXPECT_EQ(searchPageText(), searchPageText(configuredSearchPageSites()));
}

struct SitesCase {
    const char* name;
    SearchPageSites sites;
};

class SearchPageForSites : public ::testing::TestWithParam<SitesCase> {};

// Every line ends in CR LF; its length is that of its fixed pieces plus the placeholders it
// holds, so a value left out, put twice or put on another line shows.
TEST_P(SearchPageForSites, LineLengthsFollowTheFormula) {
    const SearchPageSites& s = GetParam().sites;
    const std::size_t banner = s.bannerBase.size() + s.siteId.size() + s.merchantId.size();
    const std::size_t search = std::string_view("http://").size() + s.searchHost.size();
    const std::size_t label = s.searchHost.size() + s.searchSiteLabel.size();
    const std::vector<std::size_t> expected{
        62, 59, 40, 1, 5, 355 + banner, 422 + banner + search, 426 + label};
    const std::string page = searchPageText(s);
    std::vector<std::size_t> lengths;
    std::size_t start = 0;
    for (std::size_t end; (end = page.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lengths.push_back(end - start);
    }
    EXPECT_EQ(start, page.size()) << "the last line has no CR LF";
    EXPECT_EQ(lengths, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Sites, SearchPageForSites,
    ::testing::Values(
        SitesCase{"Defaults", kDefaultSites}, SitesCase{"Configured", configuredSearchPageSites()},
        SitesCase{"ShortHosts", {"http://b.example", "q.example", "12345678", "7654321", "S"}},
        SitesCase{"LongHosts",
                  {"http://affiliate-banners.somewhere.example.net", "find.search.example.net",
                   "99999999", "0000000", "A Rather Longer Search Service Name"}}),
    testing::CaseName());

}  // namespace
}  // namespace tolvane
