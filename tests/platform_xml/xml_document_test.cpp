#include "platform/xml/xml_document.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

TEST(XmlDocumentLoad, AcceptsOnlyWellFormedSingleRootDocuments) {
    struct Case {
        const char16_t* text;
        bool loads;
    };
    const Case cases[] = {
        {u"<update/>", true},
        {u"<?xml version='1.0' encoding='gb2312'?>\r\n<update></update>", true},
        {u"<!-- before --><update/><!-- after -->", true},
        {u"  \r\n<update/>\r\n  ", true},
        {u"<update A='1' a='2'/>", true},
        {u"", false},
        {u"   ", false},
        {u"<update>", false},
        {u"<update></Update>", false},
        {u"<a/><b/>", false},
        {u"text<update/>", false},
        {u"<update/>text", false},
        {u"<update/><![CDATA[x]]>", false},
        {u"<update a='1' a='2'/>", false},
        {u"<update><description>a <br> b</description></update>", false},
        {u"<update><description>a &lt;br&gt; b</description></update>", true},
        {u"<!DOCTYPE update [<!ENTITY x 'boom'>]><update>&x;</update>", false},
        {u"<!DOCTYPE update SYSTEM 'http://127.0.0.1:9/x.dtd'><update/>", false},
        {u"<!DOCTYPE lol [<!ENTITY a 'aaaaaaaa'><!ENTITY b '&a;&a;&a;&a;'>]><lol>&b;</lol>", false},
        {u"<update>&amp;&lt;&gt;&quot;&apos;&#65;&#x4e2D;</update>", true},
        {u"<update a='&amp;&#10;'><![CDATA[& &x;]]><!-- & --><?pi & ?></update>", true},
        {u"<update>&nbsp;</update>", false},
        {u"<update>fish & chips</update>", false},
        {u"<update a='&x;'/>", false},
        {u"<update>&#xZZ;</update>", false},
        {u"<update>&#;</update>", false},
        {u"<update>&amp</update>", false},
        {u"<html><body>Not Found</body></html>", true},
        {u"<html><body>Not Found<br></body></html>", false},
    };
    for (const Case& c : cases) {
        XmlDocument document;
        EXPECT_EQ(document.loadXML(c.text), c.loads)
            << "text: " << Narrow(c.text) << " error: " << document.LastError();
    }
}

TEST(XmlDocumentLoad, RefusedDocumentLeavesNothingToFind) {
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(u"<update><version>1</version></update>"));
    EXPECT_FALSE(document.loadXML(u"<update><version>2</version>"));
    EXPECT_FALSE(document.selectSingleNode(u"update/version"));
    EXPECT_FALSE(document.LastError().empty());
}

TEST(XmlDocumentLoad, DeeplyNestedAndBinaryInputDoesNotCrash) {
    std::u16string deep;
    const int depth = 200'000;
    for (int i = 0; i < depth; ++i) deep += u"<a>";
    deep += u"x";
    for (int i = 0; i < depth; ++i) deep += u"</a>";
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(deep));
    EXPECT_EQ(document.selectSingleNode(u"a").text(), u"x");

    std::u16string binary = u"<update>";
    for (char16_t c = 1; c < 0x20; ++c) binary += c;
    binary += u"\xD800\xFFFF</update>";
    XmlDocument other;
    if (other.loadXML(binary)) {
        EXPECT_FALSE(other.selectSingleNode(u"update/version"));
    }
}

TEST(XmlDocumentSelect, FindsDirectChildrenByPathAndZeroBasedIndex) {
    struct Case {
        const char16_t* xml;
        const char16_t* query;
        std::optional<std::u16string> text;  // nothing: no node found
    };
    const Case cases[] = {
        {u"<update><version>C1A2B</version></update>", u"update/version", u"C1A2B"},
        {u"<update><version>1</version><version>2</version></update>", u"update/version", u"1"},
        {u"<update><x><version>1</version></x></update>", u"update/version", std::nullopt},
        {u"<html><version>1</version></html>", u"update/version", std::nullopt},
        {u"<update><version>1</version></update>", u"version", std::nullopt},
        {u"<update><Version>1</Version></update>", u"update/version", std::nullopt},
        {u"<update><filename>a</filename><filename>b</filename></update>", u"update/filename[0]",
         u"a"},
        {u"<update><filename>a</filename><filename>b</filename></update>", u"update/filename[1]",
         u"b"},
        {u"<update><filename>a</filename><filename>b</filename></update>", u"update/filename[2]",
         std::nullopt},
        {u"<update><version/><filename>a</filename><x/><filename>b</filename></update>",
         u"update/filename[1]", u"b"},
        {u"<update><x><filename>a</filename></x></update>", u"update/filename[0]", std::nullopt},
        {u"<update><p:filename xmlns:p='urn:p'>a</p:filename></update>", u"update/filename[0]",
         std::nullopt},
        {u"<update><filename>a</filename></update>", u"update/filename[x]", std::nullopt},
        {u"<update><filename>a</filename></update>", u"update/filename[-1]", std::nullopt},
        {u"<update><filename>a</filename></update>", u"update//filename", std::nullopt},
        {u"<update><a/><a><b>second</b></a></update>", u"update/a/b", u"second"},
    };
    for (const Case& c : cases) {
        XmlDocument document;
        ASSERT_TRUE(document.loadXML(c.xml)) << Narrow(c.xml);
        XmlNode node = document.selectSingleNode(c.query);
        const std::string row = Narrow(c.xml) + " / " + Narrow(c.query);
        ASSERT_EQ(static_cast<bool>(node), c.text.has_value()) << row;
        if (c.text) {
            EXPECT_EQ(Narrow(node.text()), Narrow(*c.text)) << row;
        }
    }
}

TEST(XmlDocumentText, IsTheTextContentOfTheElementAndItsDescendants) {
    struct Case {
        const char16_t* xml;
        std::u16string text;
    };
    const Case cases[] = {
        {u"<update><d>plain</d></update>", u"plain"},
        {u"<update><d><![CDATA[a<br>b]]></d></update>", u"a<br>b"},
        {u"<update><d>a&lt;br&gt;b &amp; c</d></update>", u"a<br>b & c"},
        {u"<update><d>a<b>x<i>y</i></b>c</d></update>", u"axyc"},
        {u"<update><d>a<br/>b</d></update>", u"ab"},
        {u"<update><d>a<!-- note -->b<?pi data?>c</d></update>", u"abc"},
        {u"<update><d>\u4E2D\u6587 \U0001F600</d></update>", u"\u4E2D\u6587 \U0001F600"},
        {u"<update><d>&#x4E2D;&#20013;</d></update>", u"\u4E2D\u4E2D"},
        {u"<update><d>line\r\nbreak</d></update>", u"line\nbreak"},
        {u"<update><d/></update>", u""},
    };
    for (const Case& c : cases) {
        XmlDocument document;
        ASSERT_TRUE(document.loadXML(c.xml)) << Narrow(c.xml);
        XmlNode node = document.selectSingleNode(u"update/d");
        ASSERT_TRUE(node) << Narrow(c.xml);
        EXPECT_EQ(node.text(), c.text) << Narrow(c.xml);
    }
}

TEST(XmlDocumentAttributes, AreListedInDocumentOrderWithNamesAndValues) {
    XmlDocument document;
    ASSERT_TRUE(
        document.loadXML(u"<update><filename SRC='http://h/a' xmlns:p='urn:p' p:src='b' size=' 3 ' "
                         u"v='&lt;&#x4E2D;'>f</filename></update>"));
    XmlNode node = document.selectSingleNode(u"update/filename[0]");
    ASSERT_TRUE(node);
    EXPECT_EQ(node.nodeName(), u"filename");
    const std::pair<std::u16string, std::u16string> expected[] = {
        {u"SRC", u"http://h/a"}, {u"xmlns:p", u"urn:p"}, {u"p:src", u"b"},
        {u"size", u" 3 "},       {u"v", u"<\u4E2D"},
    };
    XmlNamedNodeMap map = node.attributes();
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        XmlNode attribute = map.item(i);
        ASSERT_TRUE(attribute) << "index " << i;
        EXPECT_EQ(attribute.nodeName(), expected[i].first) << "index " << i;
        EXPECT_EQ(attribute.text(), expected[i].second) << "index " << i;
    }
    EXPECT_FALSE(map.item(std::size(expected)));
    // Going back to an earlier index after the end still works.
    EXPECT_EQ(map.item(1).nodeName(), u"xmlns:p");
    EXPECT_FALSE(XmlNode().attributes().item(0));
}

TEST(XmlDocumentSelect, WalksTenThousandChildrenByIndexInOrder) {
    std::u16string xml = u"<update>";
    const int count = 10'000;
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        xml += u"<filename>" + std::u16string(n.begin(), n.end()) + u"</filename><other/>";
    }
    xml += u"</update>";
    XmlDocument document;
    ASSERT_TRUE(document.loadXML(xml));
    auto query = [](int i) {
        std::string q = "update/filename[" + std::to_string(i) + "]";
        return std::u16string(q.begin(), q.end());
    };
    for (int i = 0; i < count; ++i) {
        XmlNode node = document.selectSingleNode(query(i));
        ASSERT_TRUE(node) << i;
        std::string n = std::to_string(i);
        ASSERT_EQ(node.text(), std::u16string(n.begin(), n.end()));
    }
    EXPECT_FALSE(document.selectSingleNode(query(count)));
    // Out-of-order and repeated indices give the same answers as a fresh walk.
    for (int i : {7, 7, 3, 9'999, 0, 5'000}) {
        std::string n = std::to_string(i);
        EXPECT_EQ(document.selectSingleNode(query(i)).text(), std::u16string(n.begin(), n.end()));
    }
    // A reload forgets the position of the old document.
    ASSERT_TRUE(document.loadXML(u"<update><filename>x</filename><filename>y</filename></update>"));
    EXPECT_EQ(document.selectSingleNode(u"update/filename[1]").text(), u"y");
}

}  // namespace
