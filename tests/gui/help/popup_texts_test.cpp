#include "gui/help/popup_texts.h"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(PopupTexts, TopicsByHexadecimalAndDecimalIdJoinedAndTrimmed) {
    const auto texts = parsePopupTexts(
        "comment before any topic\n"
        ".topic 0x80660409\r\n"
        "  Computes the quantity.  \n"
        "Second line.\n"
        "\n"
        "New paragraph.\n"
        "\n"
        ".topic 17\n"
        "Seventeen.");
    ASSERT_EQ(texts.size(), 2U);
    EXPECT_EQ(texts.at(0x80660409U), "Computes the quantity. Second line.\nNew paragraph.");
    EXPECT_EQ(texts.at(17U), "Seventeen.");
}

TEST(PopupTexts, ATopicWithoutANumberIsSkippedUpToTheNextTopic) {
    const auto texts = parsePopupTexts(
        ".topic IDH_NAME\n"
        "lost\n"
        ".topic 0x1G\n"
        "lost too\n"
        ".topic\n"
        ".topic 0X10\n"
        "sixteen\n");
    ASSERT_EQ(texts.size(), 1U);
    EXPECT_EQ(texts.at(16U), "sixteen");
}

TEST(PopupTexts, EmptyFileAndLaterDuplicate) {
    EXPECT_TRUE(parsePopupTexts("").empty());
    const auto texts = parsePopupTexts(".topic 5\nfirst\n.topic 5\nsecond\n");
    EXPECT_EQ(texts.at(5U), "second");
}

}  // namespace
}  // namespace quorvel
