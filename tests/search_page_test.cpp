#include "search_page.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace tolvane {
namespace {

// The documented defaults of the build's cache variables; the expected file is written for them.
constexpr SearchPageSites kDefaultSites{"http://banners.example.com", "search.example.com",
                                        "10000001", "1000001", "Example Search"};

TEST(SearchPage, MatchesTheExpectedFileByteForByte) {
    std::ifstream in(TOLVANE_TEST_DATA_DIR "/AboutHtm.htm", std::ios::binary);  // empty if missing
    const std::string expected{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(searchPageText(kDefaultSites), expected);
}

}  // namespace
}  // namespace tolvane
