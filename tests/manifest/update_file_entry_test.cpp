#include "manifest/update_file_entry.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::u16string Repeat(char16_t c, std::size_t n) {
    return std::u16string(n, c);
}

TEST(UpdateFileEntry, CopyCutsAtTheSlotAndKeepsTheZeroUnit) {
    struct Case {
        const char* name;
        std::size_t slotOffset;  // bytes
        std::size_t slotUnits;
        std::size_t valueUnits;
        std::size_t storedUnits;
    };
    const Case cases[] = {
        {"src short", 0, 255, 10, 10},    {"src 254", 0, 255, 254, 254},
        {"src 300", 0, 255, 300, 254},    {"localdir 63", 510, 64, 63, 63},
        {"localdir 64", 510, 64, 64, 63}, {"filename 63", 638, 64, 63, 63},
        {"filename 64", 638, 64, 64, 63}, {"zipped 24", 766, 25, 24, 24},
        {"zipped 40", 766, 25, 40, 24},   {"regist 25", 816, 25, 25, 24},
        {"empty", 638, 64, 0, 0},
    };
    for (const Case& c : cases) {
        UpdateFileEntry entry{};
        const std::u16string value = Repeat(u'x', c.valueUnits);
        switch (c.slotOffset) {
            case 0:
                CopyToSlot(entry.src, value);
                break;
            case 510:
                CopyToSlot(entry.localdir, value);
                break;
            case 638:
                CopyToSlot(entry.filename, value);
                break;
            case 766:
                CopyToSlot(entry.zipped, value);
                break;
            case 816:
                CopyToSlot(entry.regist, value);
                break;
        }
        unsigned char bytes[sizeof entry];
        std::memcpy(bytes, &entry, sizeof entry);
        for (std::size_t i = 0; i < sizeof bytes; ++i) {
            const bool inValue = i >= c.slotOffset && i < c.slotOffset + 2 * c.storedUnits;
            const unsigned char expected = inValue ? (i % 2 == 0 ? 'x' : 0) : 0;
            ASSERT_EQ(bytes[i], expected) << c.name << " at byte " << i;
        }
    }
}

TEST(UpdateFileEntry, ShorterCopyOverAnEarlierValueClearsItsTail) {
    UpdateFileEntry entry{};
    CopyToSlot(entry.src, u"http://a/long-name.dll");
    CopyToSlot(entry.src, u"http://b");
    EXPECT_EQ(ReadSlot(entry.src), u"http://b");
    for (std::size_t i = 8; i < std::size(entry.src); ++i) ASSERT_EQ(entry.src[i], 0) << i;
}

TEST(UpdateFileEntry, ReadStopsAtTheZeroOrTheSlotEnd) {
    UpdateFileEntry entry{};
    CopyToSlot(entry.filename, u"ring.wav");
    EXPECT_EQ(ReadSlot(entry.filename), u"ring.wav");
    // A record from a damaged file: no zero in the slot, text running on into
    // the next one. The reader stops at the slot's end.
    for (char16_t& unit : entry.zipped) unit = u'z';
    for (char16_t& unit : entry.regist) unit = u'r';
    EXPECT_EQ(ReadSlot(entry.zipped), Repeat(u'z', 25));
    EXPECT_EQ(ReadSlot(entry.regist), Repeat(u'r', 25));
    EXPECT_EQ(ReadSlot(entry.reserved), u"");
}

}  // namespace
