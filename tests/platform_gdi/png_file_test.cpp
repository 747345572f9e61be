#include "platform/gdi/png_file.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

class PngFileTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tevorin_png_" + std::to_string(::getpid()) + "_" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string PathOf(const char* name) const { return (dir_ / name).string(); }

    static std::vector<std::uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }

    fs::path dir_;
};

Framebuffer Pattern(int w, int h) {
    Framebuffer fb;
    fb.Resize(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            fb.Set(x, y,
                   PixelFromRgb(static_cast<std::uint8_t>(x * 13), static_cast<std::uint8_t>(y * 7),
                                static_cast<std::uint8_t>((x ^ y) * 5)));
    return fb;
}

TEST_F(PngFileTest, RoundTripKeepsEveryPixel) {
    const Framebuffer original = Pattern(37, 21);
    ASSERT_TRUE(WritePng(original, PathOf("a.png")));
    Framebuffer back;
    ASSERT_TRUE(ReadPng(PathOf("a.png"), &back));
    EXPECT_EQ(back.width, 37);
    EXPECT_EQ(back.height, 21);
    EXPECT_EQ(back.pixels, original.pixels);
}

TEST_F(PngFileTest, WriteFailuresReportFalseAndLeaveNoFile) {
    Framebuffer empty;
    EXPECT_FALSE(WritePng(empty, PathOf("empty.png")));
    EXPECT_FALSE(fs::exists(PathOf("empty.png")));
    EXPECT_FALSE(WritePng(Pattern(2, 2), PathOf("missing/dir/x.png")));
    Framebuffer inconsistent = Pattern(4, 4);
    inconsistent.pixels.resize(3);
    EXPECT_FALSE(WritePng(inconsistent, PathOf("bad.png")));
    EXPECT_FALSE(fs::exists(PathOf("bad.png")));
    // A target that cannot be replaced (a directory): false, the directory
    // stays, and no temporary file is left beside it.
    fs::create_directory(PathOf("taken"));
    EXPECT_FALSE(WritePng(Pattern(2, 2), PathOf("taken")));
    EXPECT_TRUE(fs::is_directory(PathOf("taken")));
    EXPECT_FALSE(fs::exists(PathOf("taken.partial")));
    // An existing file is replaced whole.
    ASSERT_TRUE(WritePng(Pattern(3, 3), PathOf("again.png")));
    ASSERT_TRUE(WritePng(Pattern(5, 4), PathOf("again.png")));
    Framebuffer back;
    ASSERT_TRUE(ReadPng(PathOf("again.png"), &back));
    EXPECT_EQ(back.width, 5);
}

TEST_F(PngFileTest, DamagedFilesAreRefused) {
    ASSERT_TRUE(WritePng(Pattern(40, 30), PathOf("good.png")));
    const std::vector<std::uint8_t> good = ReadBytes(PathOf("good.png"));

    // IHDR width field is at byte 16; its CRC covers bytes 12..28.
    std::vector<std::uint8_t> huge = good;
    huge[16] = 0x00;
    huge[17] = 0x10;  // width 0x00100028: over a million pixels wide
    const uLong crc = crc32(0, huge.data() + 12, 17);
    huge[29] = static_cast<std::uint8_t>(crc >> 24);
    huge[30] = static_cast<std::uint8_t>(crc >> 16);
    huge[31] = static_cast<std::uint8_t>(crc >> 8);
    huge[32] = static_cast<std::uint8_t>(crc);

    std::vector<std::uint8_t> badCrc = good;
    badCrc[20] ^= 0xFF;  // height changed without fixing the CRC

    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"truncated in the header", {good.begin(), good.begin() + 20}},
        {"truncated in the data",
         {good.begin(), good.begin() + static_cast<long>(good.size() / 2)}},
        {"huge dimensions", huge},
        {"bad header checksum", badCrc},
        {"not a PNG", {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0}},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteBytes(PathOf("case.png"), c.bytes);
        Framebuffer image;
        image.Resize(1, 1, 0x123456);
        EXPECT_FALSE(ReadPng(PathOf("case.png"), &image));
        EXPECT_EQ(image.At(0, 0), 0x123456u);  // untouched
        ArgbImage decoded;
        EXPECT_FALSE(DecodePng(c.bytes, &decoded));
    }
    Framebuffer image;
    EXPECT_FALSE(ReadPng(PathOf("does-not-exist.png"), &image));
}

}  // namespace
