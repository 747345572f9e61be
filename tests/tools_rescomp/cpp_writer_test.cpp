#include "tools/rescomp/cpp_writer.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf16Literal, EscapesEverythingThatIsNotPlainAscii) {
    struct Case {
        std::u16string text;
        std::string literal;
    };
    const Case cases[] = {
        {u"", "u\"\""},
        {u"Next", "u\"Next\""},
        {u"Press \"Next\"", "u\"Press \\\"Next\\\"\""},
        {u"a\\b", "u\"a\\\\b\""},
        {u"a?\?=b", "u\"a\\?\\?=b\""},  // no trigraph can form
        {u"\u4e0b\u4e00\u6b65", "u\"\\u4E0B\\u4E00\\u6B65\""},
        {u"\U0001F600", "u\"\\U0001F600\""},
        // A hex escape is ended by a string break so that a following hex
        // digit is not read into it.
        {u"\nA", "u\"\\xA\" u\"A\""},
        {u"\t1", "u\"\\x9\" u\"1\""},
        {u"\u0085", "u\"\\x85\" u\"\""},
        {u"\u00a0", "u\"\\u00A0\""},
        {std::u16string(1, char16_t(0xD800)) + u"x", "u\"\\xD800\" u\"x\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf16Literal(c.text), c.literal) << "expected " << c.literal;
    }
}

TEST(ResourceTableSource, NamesTheFunctionAndHeaderAndEmbedsTheBytes) {
    ResourceScript script;
    ResourceFile bitmap;
    bitmap.id = 129;
    bitmap.bytes = {0x42, 0x4D, 0x00, 0xFF};
    script.bitmaps.push_back(bitmap);
    CppWriterOptions options;
    options.functionName = "SampleTable";
    options.headerToInclude = "sample/sample.h";
    options.scriptName = "sample.rc";
    const std::string source = WriteResourceTableSource(script, options);
    EXPECT_NE(source.find("#include \"sample/sample.h\""), std::string::npos);
    EXPECT_NE(source.find("const ResourceTable& SampleTable()"), std::string::npos);
    EXPECT_NE(source.find("kBitmap129[] = {\n    0x42, 0x4D, 0x00, 0xFF,\n};"), std::string::npos)
        << source;
    EXPECT_NE(source.find("BinaryResource{129, kBitmap129}"), std::string::npos);
    EXPECT_EQ(source.find("kManifest"), std::string::npos) << "no manifest was given";
    EXPECT_EQ(source.find("hasVersionInfo"), std::string::npos) << "no version resource was given";
}

}  // namespace
