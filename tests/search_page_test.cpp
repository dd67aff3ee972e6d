#include "search_page.h"
#include "case_name.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
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

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The lines of the page without their CR LF; a piece after the last CR LF is kept as a line of
// its own, so that a missing final line break shows.
std::vector<std::string> splitLines(const std::string& page) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = page.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(page.substr(start, end - start));
    }
    if (start != page.size()) {
        lines.push_back(page.substr(start));
    }
    return lines;
}

// How often token stands in text with no digit directly before or after it.
int countNumber(std::string_view text, std::string_view token) {
    int count = 0;
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    for (std::size_t at = text.find(token); at != std::string_view::npos;
         at = text.find(token, at + 1)) {
        const bool digitBefore = at > 0 && isDigit(text[at - 1]);
        const std::size_t after = at + token.size();
        const bool digitAfter = after < text.size() && isDigit(text[after]);
        if (!digitBefore && !digitAfter) {
            ++count;
        }
    }
    return count;
}

int countText(std::string_view text, std::string_view token) {
    int count = 0;
    for (std::size_t at = text.find(token); at != std::string_view::npos;
         at = text.find(token, at + token.size())) {
        ++count;
    }
    return count;
}

TEST(SearchPage, MatchesTheExpectedFileByteForByte) {
    const std::string expected = readFile(TOLVANE_TEST_DATA_DIR "/AboutHtm.htm");
    ASSERT_FALSE(expected.empty()) << "tests/data/AboutHtm.htm is missing";
    EXPECT_EQ(searchPageText(kDefaultSites), expected);
}

TEST(SearchPage, ConfiguredPageIsThePageOfTheConfiguredSites) {
    EXPECT_EQ(searchPageText(), searchPageText(configuredSearchPageSites()));
}

struct SitesCase {
    const char* name;
    SearchPageSites sites;
};

class SearchPageForSites : public ::testing::TestWithParam<SitesCase> {};

// The line lengths follow from the fixed pieces plus the placeholders each line holds.
TEST_P(SearchPageForSites, LineLengthsFollowTheFormula) {
    const SearchPageSites& s = GetParam().sites;
    const std::size_t searchBase = std::string_view("http://").size() + s.searchHost.size();
    const std::vector<std::size_t> expected = {
        62,
        59,
        40,
        1,
        5,
        355 + s.bannerBase.size() + s.siteId.size() + s.merchantId.size(),
        415 + s.bannerBase.size() + s.merchantId.size() + s.siteId.size() + searchBase,
        433 + s.searchHost.size() + s.searchSiteLabel.size(),
    };
    const std::vector<std::string> lines = splitLines(searchPageText(s));
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].size(), expected[i]) << "line " << i + 1;
    }
}

TEST_P(SearchPageForSites, IsEightCrLfLinesOfPlainAscii) {
    const std::string page = searchPageText(GetParam().sites);
    ASSERT_GE(page.size(), 2u);
    EXPECT_EQ(page.substr(page.size() - 2), "\r\n");
    EXPECT_EQ(page.substr(0, 6), "<html>");  // no byte-order mark
    EXPECT_EQ(countText(page, "\r\n"), 8);
    EXPECT_EQ(std::count(page.begin(), page.end(), '\r'), 8);
    EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), 8);
    EXPECT_TRUE(std::all_of(page.begin(), page.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '\r' || byte == '\n' || (byte >= 0x20 && byte < 0x7f);
    }));
}

TEST_P(SearchPageForSites, BlanksAtLineEndsAreExact) {
    const std::vector<std::string> lines = splitLines(searchPageText(GetParam().sites));
    ASSERT_EQ(lines.size(), 8u);
    for (std::size_t i : {0u, 1u, 2u}) {
        const std::string& line = lines[i];
        ASSERT_GE(line.size(), 2u);
        EXPECT_EQ(line.back(), ' ') << "line " << i + 1;
        EXPECT_NE(line[line.size() - 2], ' ') << "line " << i + 1;
    }
    EXPECT_EQ(lines[2].substr(0, 3), "  w");
    EXPECT_EQ(lines[3], "}");
    EXPECT_EQ(lines[4], "//-->");
    for (std::size_t i : {5u, 6u, 7u}) {
        EXPECT_NE(lines[i].front(), ' ') << "line " << i + 1;
        EXPECT_NE(lines[i].back(), ' ') << "line " << i + 1;
    }
}

// Both identifiers stand once as a hidden field's value and once in the tracking image's
// address, with the same value; the banner service is named by the banner form and the
// tracking image, the search service by the search form and the return address.
TEST_P(SearchPageForSites, PlaceholdersStandWhereTheyBelong) {
    const SearchPageSites& s = GetParam().sites;
    const std::string page = searchPageText(s);
    const std::string siteId(s.siteId);
    const std::string merchantId(s.merchantId);
    const std::string bannerBase(s.bannerBase);
    const std::string searchHost(s.searchHost);

    EXPECT_EQ(countNumber(page, siteId), 2);
    EXPECT_EQ(countNumber(page, merchantId), 2);
    EXPECT_EQ(countText(page, R"(NAME="siteid" VALUE=")" + siteId + '"'), 1);
    EXPECT_EQ(countText(page, R"(NAME="bfmid" VALUE=")" + merchantId + '"'), 1);
    EXPECT_EQ(countText(page, "/bfast/serve?bfmid=" + merchantId + "&siteid=" + siteId + "&"), 1);

    EXPECT_EQ(countText(page, bannerBase), 2);
    EXPECT_EQ(countText(page, R"(<FORM ACTION=")" + bannerBase + R"(/bfast/click")"), 1);
    EXPECT_EQ(countText(page, R"(<IMG SRC=")" + bannerBase + "/bfast/serve?"), 1);

    EXPECT_EQ(countText(page, searchHost), 2);
    EXPECT_EQ(countText(page, R"(action="http://)" + searchHost + "/affiliates/link/landx.htm"), 1);
    EXPECT_EQ(countText(page, R"(name="rURL" value=")" + searchHost + "/affiliates/"), 1);
    EXPECT_EQ(
        countText(page, R"(<option value="/">)" + std::string(s.searchSiteLabel) + "</option>"), 1);
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
