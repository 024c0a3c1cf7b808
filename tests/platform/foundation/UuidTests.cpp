// UUIDs: canonical upper-case text, round trips and strict parsing.
#include "platform/foundation/Uuid.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/foundation/Date.h"

namespace corvanta::platform {
namespace {

TEST(UuidText, RandomUuidsAreVersion4AndRoundTrip) {
    std::set<std::string> seen;
    for (int i = 0; i < 100; ++i) {
        const Uuid uuid = Uuid::random();
        const std::string text = uuid.uuidString();
        ASSERT_EQ(text.size(), 36u);
        EXPECT_EQ(text[14], '4');
        EXPECT_NE(std::string("89AB").find(text[19]), std::string::npos);
        EXPECT_EQ(text.find_first_of("abcdef"), std::string::npos);
        EXPECT_EQ(Uuid::fromString(text), uuid);
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 100u);
}

TEST(UuidText, AcceptsEitherCaseAndRejectsMalformedText) {
    const auto upper = Uuid::fromString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(Uuid::fromString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f"), upper);

    for (const char* bad :
         {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "{E621E1F8-C36C-495A-93FC-0C247A3E6E5F}",
          "E621E1F8-C36C-495A-93FC-0C247A3E6E5", "E621E1F8-C36C-495A-93FC-0C247A3E6E5FF",
          "E621E1F8-C36C-495A-93FC-0C247A3E6E5G", "E621E1F8-C36C-495A-93FC_0C247A3E6E5F",
          "E621E1F-8C36C-495A-93FC-0C247A3E6E5F", " E621E1F8-C36C-495A-93FC-0C247A3E6E5",
          "+621E1F8-C36C-495A-93FC-0C247A3E6E5F"}) {
        EXPECT_EQ(Uuid::fromString(bad), std::nullopt) << bad;
    }
}

TEST(DateNow, CountsFromTheReferenceDate) {
    // 2020-01-01T00:00:00Z is 599616000 seconds after the reference date.
    EXPECT_GT(Date::now().timeIntervalSinceReferenceDate, 599616000.0);
}

}  // namespace
}  // namespace corvanta::platform
