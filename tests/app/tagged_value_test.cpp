#include "app/tagged_value.h"

#include <gtest/gtest.h>

#include "platform_core/u16_print.h"

namespace {

TEST(ExtractTaggedValue, TakesTheTextBetweenTheFirstTags) {
    struct Case {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"u.exe <handle>918</handle>", u"918"},
        {u"<handle></handle>", u""},
        {u"<handle> 77abc</handle>", u" 77abc"},
        {u"</handle><handle>5", u""},              // close before open
        {u"</handle> <handle>5</handle>", u""},    // the first close still counts
        {u"<handle>1</handle><handle>2</handle>", u"1"},
        {u"<handle>1<handle>2</handle>", u"1<handle>2"},
        {u"<handle>5", u""},
        {u"5</handle>", u""},
        {u"<HANDLE>5</HANDLE>", u""},
        {u"", u""},
        {u"<handle>a b\t中</handle>", u"a b\t中"},
    };
    for (const auto& c : cases) {
        std::u16string out = u"stale";
        ExtractTaggedValue(c.text, u"<handle>", u"</handle>", out);
        EXPECT_EQ(out, c.expected) << "text " << Show(c.text);
    }
}

TEST(ExtractTaggedValue, NeverGoesNegativeWhenTagsOverlap) {
    // A close tag that starts inside the open tag comes after its start but
    // before its end.
    std::u16string out = u"stale";
    ExtractTaggedValue(u"<ab>x", u"<ab>", u"b>", out);
    EXPECT_EQ(out, u"");
    ExtractTaggedValue(u"[[x]]", u"[[", u"[x", out);
    EXPECT_EQ(out, u"");
    ExtractTaggedValue(u"[[x]]", u"[[", u"]]", out);
    EXPECT_EQ(out, u"x");
}

}  // namespace
