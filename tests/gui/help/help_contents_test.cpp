#include "gui/help/help_contents.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(HelpContents, DepthFromIndentPageAndTitle) {
    const auto topics = parseHelpContents(
        "# comment\n"
        "index.html Welcome to Quorvel\r\n"
        "\n"
        "  keys.html Keys and   help  \n"
        "      deep.html Lifted\n"
        "notitle.html\n"
        "top.html Top\n");
    ASSERT_EQ(topics.size(), 4U);
    EXPECT_EQ(topics[0].depth, 0);
    EXPECT_EQ(topics[0].page, "index.html");
    EXPECT_EQ(topics[0].title, "Welcome to Quorvel");
    EXPECT_EQ(topics[1].depth, 1);
    EXPECT_EQ(topics[1].title, "Keys and   help");
    // Three levels below its predecessor: lifted to one level below it.
    EXPECT_EQ(topics[2].depth, 2);
    EXPECT_EQ(topics[2].page, "deep.html");
    EXPECT_EQ(topics[3].depth, 0);
}

TEST(HelpContents, AFirstTopicIsAlwaysAtTheTop) {
    const auto topics = parseHelpContents("    sub.html Sub\n  next.html Next\n");
    ASSERT_EQ(topics.size(), 2U);
    EXPECT_EQ(topics[0].depth, 0);
    EXPECT_EQ(topics[1].depth, 1);
}

}  // namespace
}  // namespace quorvel
