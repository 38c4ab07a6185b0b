#include <gtest/gtest.h>

#include "app/HtmlText.h"

TEST(HtmlText, BreaksLinesAtBlocksAndDropsTags) {
    EXPECT_EQ(HtmlText::toText("<html><head><title>x</title><style>p{}</style></head>"
                               "<body><h2 style='color: red;'>zapísať doklad?</h2>riadok 1<br>riadok 2"
                               "<p>odsek</p><table><tr><td>a</td><td>1,50</td></tr><tr><td>b</td></tr></table>"
                               "</body></html>"),
              "zapísať doklad?\nriadok 1\nriadok 2\nodsek\na  1,50\nb");
}

TEST(HtmlText, DecodesEntitiesAndCollapsesBlanks) {
    EXPECT_EQ(HtmlText::toText("a &amp;   b &lt;c&gt; &#233;&#x10D; &nbsp;x &bogus; &"),
              "a & b <c> éč \xC2\xA0x &bogus; &");
    EXPECT_EQ(HtmlText::decodeEntities("&quot;&apos;&#0;"), "\"'\xEF\xBF\xBD");
}

TEST(HtmlText, PreformattedTextKeepsItsLayout) {
    EXPECT_EQ(HtmlText::toText("<pre>\nTOVAR     1.00\n  SPOLU  &lt;2&gt;\n</pre>"), "TOVAR     1.00\n  SPOLU  <2>");
}

TEST(HtmlText, UnclosedMarkupDoesNotLoseText) {
    EXPECT_EQ(HtmlText::toText("ok <b"), "ok <b");
    EXPECT_EQ(HtmlText::toText("<!-- skryté --> vidno"), "vidno");
    EXPECT_EQ(HtmlText::toText(""), "");
}
