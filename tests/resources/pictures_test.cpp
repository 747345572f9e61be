// The embedded pictures, looked at pixel by pixel.

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "picture_reader.h"
#include "resources/tevorin_resources.h"

namespace {

bool IsBlue(const Rgba& p) { return p.b >= 150 && p.r < 110 && p.b > p.g + 40; }
bool IsGreen(const Rgba& p) { return p.g >= 130 && p.r < 120 && p.b < 120 && p.g > p.r + 40; }
bool IsRed(const Rgba& p) { return p.r >= 180 && p.g < 100 && p.b < 100; }
bool IsOrange(const Rgba& p) { return p.r >= 200 && p.g >= 100 && p.g <= 190 && p.b < 90; }
bool IsWhite(const Rgba& p) { return p.r == 255 && p.g == 255 && p.b == 255; }
bool IsNearWhite(const Rgba& p) { return p.r >= 225 && p.g >= 225 && p.b >= 225; }
bool IsDarkGrey(const Rgba& p) {
    const int hi = std::max({p.r, p.g, p.b});
    const int lo = std::min({p.r, p.g, p.b});
    return hi - lo <= 12 && hi < 110 && lo > 20;
}

template <typename Test>
int Count(const Picture& picture, int x0, int y0, int x1, int y1, Test test) {
    int n = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) n += test(picture.At(x, y)) ? 1 : 0;
    }
    return n;
}

Picture LoadBitmap(int id) {
    const BinaryResource* resource = nullptr;
    for (const BinaryResource& b : TevorinResourceTable().bitmaps) {
        if (b.id == id) resource = &b;
    }
    EXPECT_NE(resource, nullptr) << "bitmap " << id;
    if (!resource) return {};
    std::string error;
    auto picture = ReadBmp24(resource->bytes, error);
    EXPECT_TRUE(picture.has_value()) << "bitmap " << id << ": " << error;
    return picture.value_or(Picture{});
}

constexpr int kCellWidth = 16;
constexpr int kCellHeight = 17;

TEST(StatusPictures, AreAStripOfThreeOnWhiteWithoutBlack) {
    const Picture strip = LoadBitmap(130);
    ASSERT_EQ(strip.width, 48);
    ASSERT_EQ(strip.height, 17);
    EXPECT_EQ(strip.bitsPerPixel, 24);
    EXPECT_EQ(strip.compression, 0u);
    // The list's image list treats black as its mask colour.
    EXPECT_EQ(Count(strip, 0, 0, 48, 17, [](const Rgba& p) { return p.r == 0 && p.g == 0 && p.b == 0; }), 0);
    for (int cell = 0; cell < 3; ++cell) {
        const int x0 = cell * kCellWidth;
        const int x1 = x0 + kCellWidth - 1;
        SCOPED_TRACE("picture " + std::to_string(cell));
        for (auto [x, y] : {std::pair{x0, 0}, {x1, 0}, {x0, kCellHeight - 1}, {x1, kCellHeight - 1}}) {
            EXPECT_TRUE(IsWhite(strip.At(x, y))) << "corner " << x << "," << y;
        }
        EXPECT_GE(Count(strip, x0, 0, x0 + kCellWidth, kCellHeight, IsWhite), kCellWidth * kCellHeight * 2 / 5)
            << "mostly white background";
    }
}

TEST(StatusPictures, ShowABlueDownArrowAGreenTickAndARedCross) {
    const Picture strip = LoadBitmap(130);
    ASSERT_EQ(strip.width, 48);
    struct Expected {
        const char* what;
        bool (*main)(const Rgba&);
        int atLeast;
    };
    const Expected cells[] = {{"blue arrow", IsBlue, 30}, {"green tick", IsGreen, 15}, {"red cross", IsRed, 20}};
    bool (*const colours[])(const Rgba&) = {IsBlue, IsGreen, IsRed};
    for (int cell = 0; cell < 3; ++cell) {
        SCOPED_TRACE(cells[cell].what);
        const int x0 = cell * kCellWidth;
        EXPECT_GE(Count(strip, x0, 0, x0 + kCellWidth, kCellHeight, cells[cell].main), cells[cell].atLeast);
        for (int other = 0; other < 3; ++other) {
            if (other == cell) continue;
            EXPECT_EQ(Count(strip, x0, 0, x0 + kCellWidth, kCellHeight, colours[other]), 0);
        }
    }
    EXPECT_GE(Count(strip, 16, 0, 32, kCellHeight, IsDarkGrey), 10) << "the tick's outline";

    // The arrow points down: a narrow shaft on top, the head's wide edge
    // below it, narrowing to a tip.
    int widest = 0, widestRow = -1, firstRow = -1, lastRow = -1;
    std::vector<int> widths(kCellHeight);
    for (int y = 0; y < kCellHeight; ++y) {
        widths[y] = Count(strip, 0, y, kCellWidth, y + 1, IsBlue);
        if (widths[y] == 0) continue;
        if (firstRow < 0) firstRow = y;
        lastRow = y;
        if (widths[y] > widest) {
            widest = widths[y];
            widestRow = y;
        }
    }
    ASSERT_GE(firstRow, 0);
    EXPECT_GE(widestRow, firstRow + 3) << "shaft above the head";
    EXPECT_LT(widths[firstRow] * 3, widest * 2) << "shaft narrower than the head";
    EXPECT_LT(widths[lastRow] * 2, widest) << "tip at the bottom";
}

TEST(Banner, IsADrawnPictureWithEmblemAndName) {
    const Picture banner = LoadBitmap(129);
    ASSERT_EQ(banner.width, 99);
    ASSERT_EQ(banner.height, 240);
    EXPECT_EQ(banner.bitsPerPixel, 24);
    EXPECT_EQ(banner.compression, 0u);
    std::set<std::uint32_t> colours;
    for (const Rgba& p : banner.pixels) colours.insert(p.r << 16 | p.g << 8 | p.b);
    EXPECT_GE(colours.size(), 100u) << "a drawing, not a flat fill";
    EXPECT_GE(Count(banner, 0, 0, 99, 240, [](const Rgba& p) { return p.b > p.r; }), 99 * 240 * 7 / 10)
        << "a blue picture";
    EXPECT_GE(Count(banner, 0, 20, 99, 120, IsOrange), 30) << "the emblem's orange arrow";
    EXPECT_GE(Count(banner, 0, 125, 99, 160, IsNearWhite), 80) << "the product name in white";
}

TEST(ProgramIcon, HoldsFiveImagesOfAGlobeWithAnOrangeArrow) {
    ASSERT_EQ(TevorinResourceTable().icons.size(), 1u);
    const BinaryResource& icon = TevorinResourceTable().icons[0];
    EXPECT_EQ(icon.id, 128);
    std::string error;
    auto images = ReadIco(icon.bytes, error);
    ASSERT_TRUE(images.has_value()) << error;
    const std::pair<int, int> expected[] = {{32, 8}, {16, 8}, {48, 32}, {32, 32}, {16, 32}};
    ASSERT_EQ(images->size(), std::size(expected));
    for (size_t i = 0; i < images->size(); ++i) {
        const Picture& image = (*images)[i];
        const int size = expected[i].first;
        SCOPED_TRACE(std::to_string(size) + " pixels at " + std::to_string(expected[i].second) + " bpp");
        ASSERT_EQ(image.width, size);
        ASSERT_EQ(image.height, size);
        EXPECT_EQ(image.bitsPerPixel, expected[i].second);
        for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}}) {
            EXPECT_EQ(image.At(x, y).a, 0) << "transparent corner " << x << "," << y;
        }
        const int centre = size * 27 / 64;  // the globe's centre
        EXPECT_EQ(image.At(centre, centre).a, 255);
        EXPECT_GT(image.At(centre, centre).b, image.At(centre, centre).r) << "a blue globe";
        auto opaque = [](bool (*test)(const Rgba&)) {
            return [test](const Rgba& p) { return p.a >= 128 && test(p); };
        };
        EXPECT_GE(Count(image, 0, 0, size, size, opaque(IsOrange)), size * size / 40) << "orange arrow";
        EXPECT_GE(Count(image, size / 2, size / 2, size, size, opaque(IsOrange)),
                  Count(image, 0, 0, size, size, opaque(IsOrange)) * 3 / 4)
            << "the arrow sits at the lower right";
        EXPECT_GE(Count(image, 0, 0, size, size, [](const Rgba& p) { return p.a >= 128 && p.b > p.r + 60; }),
                  size * size / 6)
            << "globe";
    }
    const Picture& large = (*images)[2];
    EXPECT_GT(Count(large, 0, 0, 48, 48, [](const Rgba& p) { return p.a > 0 && p.a < 255; }), 0)
        << "smooth edges through the alpha channel";
}

}  // namespace
