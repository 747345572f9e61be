#include "platform/controls/image_list.h"

#include <gtest/gtest.h>

#include "control_test_support.h"

namespace {

struct ImageListFixture : ::testing::Test {
    void TearDown() override {
        if (list != nullptr) ImageList_Destroy(list);
        if (strip != nullptr) DeleteObject(strip);
    }
    HIMAGELIST list = nullptr;
    HBITMAP strip = nullptr;
};

TEST_F(ImageListFixture, StripSplitsIntoImagesDrawnOpaqueWithoutMask) {
    list = ImageList_Create(16, 17, ILC_COLOR24, 0, 1);
    strip = MakeStatusStrip();
    ASSERT_NE(list, nullptr);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(0, 0, 0)), 0);
    EXPECT_EQ(ImageList_GetImageCount(list), 3);
    // The list has its own copy: the bitmap may go at once.
    ASSERT_TRUE(DeleteObject(strip));
    strip = nullptr;

    Canvas canvas(60, 20);
    for (int index = 0; index < 3; ++index) {
        ASSERT_TRUE(ImageList_Draw(list, index, canvas.dc.get(), index * 20, 2, ILD_NORMAL));
        SCOPED_TRACE(index);
        const RECT square{index * 20 + 4, 6, index * 20 + 12, 14};
        EXPECT_EQ(canvas.Count(square, kStripColours[index]), 64);
        // White background pixels are painted, not left out.
        const RECT image{index * 20, 2, index * 20 + 16, 19};
        EXPECT_EQ(canvas.Count(image, RGB(255, 255, 255)), 16 * 17 - 64);
    }
    // Nothing outside the images was touched.
    EXPECT_EQ(canvas.At(17, 5), kCanvasColour);
    EXPECT_EQ(canvas.At(5, 19), kCanvasColour);
}

TEST_F(ImageListFixture, MaskedListLeavesMaskColourOut) {
    list = ImageList_Create(16, 17, ILC_COLOR24 | ILC_MASK, 0, 1);
    strip = MakeStatusStrip();
    ASSERT_EQ(ImageList_AddMasked(list, strip, RGB(255, 255, 255)), 0);
    Canvas canvas(16, 17);
    ASSERT_TRUE(ImageList_Draw(list, 2, canvas.dc.get(), 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(canvas.Count(RECT{0, 0, 16, 17}, kStripColours[2]), 64);
    EXPECT_EQ(canvas.Count(RECT{0, 0, 16, 17}, kCanvasColour), 16 * 17 - 64);
}

TEST_F(ImageListFixture, AddingAppendsAndDropsANarrowRest) {
    list = ImageList_Create(16, 17, ILC_COLOR24, 0, 1);
    strip = MakeStatusStrip(50, 17);
    EXPECT_EQ(ImageList_AddMasked(list, strip, 0), 0);
    EXPECT_EQ(ImageList_AddMasked(list, strip, 0), 3);
    EXPECT_EQ(ImageList_GetImageCount(list), 6);
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 16);
    EXPECT_EQ(cy, 17);
    EXPECT_TRUE(ImageList_Remove(list, 0));
    EXPECT_EQ(ImageList_GetImageCount(list), 5);
    EXPECT_TRUE(ImageList_Remove(list, -1));
    EXPECT_EQ(ImageList_GetImageCount(list), 0);
}

TEST_F(ImageListFixture, BadHandlesAndIndexesFailQuietly) {
    list = ImageList_Create(16, 17, ILC_COLOR24, 0, 1);
    strip = MakeStatusStrip();
    HBITMAP narrow = MakeStatusStrip(15, 17);
    HIMAGELIST gone = ImageList_Create(16, 17, ILC_COLOR24, 0, 1);
    ASSERT_TRUE(ImageList_Destroy(gone));
    Canvas canvas(20, 20);

    EXPECT_EQ(ImageList_AddMasked(list, narrow, 0), -1);
    EXPECT_EQ(ImageList_AddMasked(nullptr, strip, 0), -1);
    EXPECT_EQ(ImageList_AddMasked(gone, strip, 0), -1);
    EXPECT_EQ(ImageList_AddMasked(list, nullptr, 0), -1);
    EXPECT_FALSE(ImageList_Destroy(gone));
    EXPECT_EQ(ImageList_GetImageCount(gone), 0);
    ASSERT_EQ(ImageList_AddMasked(list, strip, 0), 0);
    const int badIndexes[] = {-1, 3, 1000};
    for (int index : badIndexes) {
        EXPECT_FALSE(ImageList_Draw(list, index, canvas.dc.get(), 0, 0, ILD_NORMAL)) << index;
    }
    EXPECT_FALSE(ImageList_Draw(list, 0, nullptr, 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.Count(RECT{0, 0, 20, 20}, kCanvasColour), 400);
    const int badSizes[][2] = {{0, 17}, {16, 0}, {-1, -1}, {5000, 16}};
    for (const auto& size : badSizes) {
        EXPECT_EQ(ImageList_Create(size[0], size[1], ILC_COLOR24, 0, 1), nullptr)
            << size[0] << "x" << size[1];
    }
    DeleteObject(narrow);
}

}  // namespace
