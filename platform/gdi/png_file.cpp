#include "platform/gdi/png_file.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// Everything a write keeps across libpng's error jumps lives here, outside
// the frame that calls setjmp.
struct WriteJob {
    const Framebuffer* image = nullptr;
    std::FILE* file = nullptr;
    std::vector<std::uint8_t> rgb;
    std::vector<png_bytep> rows;
};

void WarningIgnored(png_structp, png_const_charp) {}

bool WriteRows(WriteJob* job) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, WarningIgnored);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, job->file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(job->image->width),
                 static_cast<png_uint_32>(job->image->height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, job->rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

struct ReadJob {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* job = static_cast<ReadJob*>(png_get_io_ptr(png));
    if (length > job->bytes.size() - job->offset) png_error(png, "truncated PNG data");
    std::memcpy(out, job->bytes.data() + job->offset, length);
    job->offset += length;
}

bool DecodeRows(ReadJob* job) {
    if (job->bytes.size() < 8 || png_sig_cmp(job->bytes.data(), 0, 8) != 0) return false;
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, WarningIgnored);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, kLargestPngSide, kLargestPngSide);
    png_set_chunk_malloc_max(png, 64u << 20);
    png_set_read_fn(png, job, ReadFromMemory);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(width) * 4) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    job->width = static_cast<int>(width);
    job->height = static_cast<int>(height);
    job->rgba.resize(static_cast<std::size_t>(width) * height * 4);
    job->rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        job->rows[y] = job->rgba.data() + static_cast<std::size_t>(y) * width * 4;
    png_read_image(png, job->rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

}  // namespace

bool WritePng(const Framebuffer& image, const std::string& path) {
    if (image.width <= 0 || image.height <= 0 ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height)
        return false;
    WriteJob job;
    job.image = &image;
    job.rgb.resize(image.pixels.size() * 3);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        job.rgb[i * 3] = static_cast<std::uint8_t>(image.pixels[i] >> 16);
        job.rgb[i * 3 + 1] = static_cast<std::uint8_t>(image.pixels[i] >> 8);
        job.rgb[i * 3 + 2] = static_cast<std::uint8_t>(image.pixels[i]);
    }
    job.rows.resize(static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y)
        job.rows[y] = job.rgb.data() + static_cast<std::size_t>(y) * image.width * 3;
    // Written under a temporary name and renamed into place, so that a
    // failed write neither leaves a partial file nor removes anything that
    // was at `path` before.
    const std::string temporary = path + ".partial";
    job.file = std::fopen(temporary.c_str(), "wb");
    if (job.file == nullptr) return false;
    bool ok = WriteRows(&job);
    if (std::fflush(job.file) != 0 || std::ferror(job.file) != 0) ok = false;
    if (std::fclose(job.file) != 0) ok = false;
    if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) std::remove(temporary.c_str());
    return ok;
}

bool DecodePng(std::span<const std::uint8_t> bytes, ArgbImage* image) {
    if (image == nullptr) return false;
    ReadJob job;
    job.bytes = bytes;
    if (!DecodeRows(&job)) return false;
    ArgbImage result;
    result.width = job.width;
    result.height = job.height;
    result.pixels.resize(static_cast<std::size_t>(job.width) * job.height);
    for (std::size_t i = 0; i < result.pixels.size(); ++i) {
        const std::uint8_t* p = job.rgba.data() + i * 4;
        result.pixels[i] = (static_cast<std::uint32_t>(p[3]) << 24) |
                           (static_cast<std::uint32_t>(p[0]) << 16) |
                           (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
    }
    *image = std::move(result);
    return true;
}

bool ReadPng(const std::string& path, Framebuffer* image) {
    if (image == nullptr) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (file.bad()) return false;
    ArgbImage decoded;
    if (!DecodePng(bytes, &decoded)) return false;
    Framebuffer result;
    result.width = decoded.width;
    result.height = decoded.height;
    result.pixels.resize(decoded.pixels.size());
    for (std::size_t i = 0; i < decoded.pixels.size(); ++i)
        result.pixels[i] = decoded.pixels[i] & 0x00FFFFFFu;
    *image = std::move(result);
    return true;
}
