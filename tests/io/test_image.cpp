#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <stb_image_write.h>

#include "io/file_utils.h"
#include "io/image.h"
#include "support/temp_dir.h"

using orva::io::decodeImage;
using orva::io::encodePng;
using orva::io::RgbaImage;
using orva::io::textureFromEncoded;

namespace {

const std::string kDamaged = "unsupported or damaged image (";

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

// A small picture with distinct colours in every corner, so orientation errors show.
RgbaImage testPicture(int w = 5, int h = 3) {
    RgbaImage image;
    image.width = w;
    image.height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.pixels.insert(image.pixels.end(), {uint8_t(x * 40), uint8_t(y * 90), uint8_t(255 - x * 10), 255});
    return image;
}

void appendTo(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    out->insert(out->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
}

enum class Format { Bmp, Tga, Jpeg };

std::vector<uint8_t> encodeAs(Format format, const RgbaImage& image) {
    std::vector<uint8_t> out;
    switch (format) {
    case Format::Bmp:
        stbi_write_bmp_to_func(appendTo, &out, image.width, image.height, 4, image.pixels.data());
        break;
    case Format::Tga:
        stbi_write_tga_to_func(appendTo, &out, image.width, image.height, 4, image.pixels.data());
        break;
    case Format::Jpeg:
        stbi_write_jpg_to_func(appendTo, &out, image.width, image.height, 4, image.pixels.data(), 90);
        break;
    }
    return out;
}

uint32_t crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(std::vector<uint8_t>& out, uint32_t v) {
    out.insert(out.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
}

// A PNG signature and IHDR chunk only: enough for the size probe, which never reads pixel data,
// so a 16384 x 16384 image costs 33 bytes instead of a gigabyte.
std::vector<uint8_t> pngHeaderOnly(uint32_t width, uint32_t height) {
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putBigEndian(png, 13);
    const size_t chunk = png.size();
    png.insert(png.end(), {'I', 'H', 'D', 'R'});
    putBigEndian(png, width);
    putBigEndian(png, height);
    png.insert(png.end(), {8, 6, 0, 0, 0}); // 8-bit RGBA, deflate, adaptive filter, no interlace
    putBigEndian(png, crc32(png.data() + chunk, png.size() - chunk));
    return png;
}

RgbaImage decoded(const std::vector<uint8_t>& bytes) {
    RgbaImage image;
    std::string error;
    EXPECT_TRUE(decodeImage(bytes.data(), bytes.size(), image, &error)) << error;
    return image;
}

std::array<uint8_t, 4> pixelAt(const RgbaImage& image, int x, int y) {
    const size_t i = (size_t(y) * size_t(image.width) + size_t(x)) * 4;
    return {image.pixels[i], image.pixels[i + 1], image.pixels[i + 2], image.pixels[i + 3]};
}

using Rgba = std::array<uint8_t, 4>;

} // namespace

TEST(ImageCodec, PngEncodeDecodeRoundTripKeepsPixelsAndOrientation) {
    const RgbaImage picture = testPicture();
    std::vector<uint8_t> png = {1, 2, 3}; // replaced, not appended to
    ASSERT_TRUE(encodePng(picture, png));
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(png[0], 0x89);
    const RgbaImage back = decoded(png);
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.pixels, picture.pixels);
}

TEST(ImageCodec, EncodePngRefusesImagesItCannotRead) {
    std::vector<uint8_t> out = {1};
    EXPECT_FALSE(encodePng(RgbaImage{}, out));
    EXPECT_TRUE(out.empty());
    RgbaImage tooFewPixels = testPicture();
    tooFewPixels.pixels.resize(8);
    EXPECT_FALSE(encodePng(tooFewPixels, out));
    RgbaImage negative = testPicture();
    negative.width = -5;
    EXPECT_FALSE(encodePng(negative, out));
}

TEST(ImageCodec, DecodeFailureLeavesTheImageAsItWas) {
    RgbaImage image = testPicture();
    const std::vector<uint8_t> junk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    std::string error;
    EXPECT_FALSE(decodeImage(junk.data(), junk.size(), image, &error));
    EXPECT_TRUE(startsWith(error, kDamaged)) << error;
    EXPECT_EQ(error.back(), ')');
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.pixels, testPicture().pixels);
    EXPECT_FALSE(decodeImage(nullptr, 0, image, nullptr));
}

// Grey, grey + alpha and RGB sources all come out as RGBA, grey spread over R, G and B.
TEST(ImageCodec, DecodeWidensEveryChannelCountToRgba) {
    struct Case {
        std::string file;
        std::vector<Rgba> expected;
    };
    const Case cases[] = {
        {std::string("P5\n2 1\n255\n\x10\xf0", 13), {{16, 16, 16, 255}, {240, 240, 240, 255}}},
        {std::string("P6\n1 1\n255\n\x01\x02\x03", 14), {{1, 2, 3, 255}}},
        // 16-bit samples: this once read past the decoder's buffer when converted to RGBA.
        {std::string("P6\n2 1\n65535\n\xff\xff\x00\x00\x40\x40\x00\x00\xff\xff\x00\x00", 26),
         {{255, 0, 64, 255}, {0, 255, 0, 255}}},
        {std::string("P5\n1 1\n65535\n\x80\x80", 16), {{128, 128, 128, 255}}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes(c.file.begin(), c.file.end());
        const RgbaImage image = decoded(bytes);
        ASSERT_EQ(image.width * image.height, int(c.expected.size())) << c.file;
        for (int i = 0; i < image.width; ++i)
            EXPECT_EQ(pixelAt(image, i, 0), c.expected[size_t(i)]) << c.file << " pixel " << i;
    }
    // Grey + alpha, through TGA's writer (two channels).
    const std::vector<uint8_t> greyAlpha = {10, 200, 20, 100};
    std::vector<uint8_t> tga;
    stbi_write_tga_to_func(appendTo, &tga, 2, 1, 2, greyAlpha.data());
    const RgbaImage image = decoded(tga);
    ASSERT_EQ(image.width, 2);
    EXPECT_EQ(pixelAt(image, 0, 0), (Rgba{10, 10, 10, 200}));
    EXPECT_EQ(pixelAt(image, 1, 0), (Rgba{20, 20, 20, 100}));
}

TEST(TextureFromEncoded, SizeLimits) {
    struct Case {
        uint32_t width, height;
        std::string error; // empty: accepted
    };
    const Case cases[] = {
        {16384, 16384, ""},
        {1, 1, ""},
        {16385, 1, "image size 16385x1 is not supported"},
        {1, 16385, "image size 1x16385 is not supported"},
        {100000, 2, "image size 100000x2 is not supported"},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> png = pngHeaderOnly(c.width, c.height);
        const std::vector<uint8_t> original = png;
        std::string error;
        auto texture = textureFromEncoded(std::move(png), &error);
        if (c.error.empty()) {
            ASSERT_NE(texture, nullptr) << c.width << "x" << c.height << ": " << error;
            EXPECT_EQ(texture->mimeType, "image/png");
            EXPECT_EQ(texture->width, int(c.width));
            EXPECT_EQ(texture->height, int(c.height));
            EXPECT_EQ(texture->bytes, original);
            EXPECT_TRUE(error.empty());
        } else {
            EXPECT_EQ(texture, nullptr);
            EXPECT_EQ(error, c.error);
        }
    }
}

TEST(TextureFromEncoded, JpegIsKeptWithItsOwnBytes) {
    const std::vector<uint8_t> jpeg = encodeAs(Format::Jpeg, testPicture(16, 8));
    ASSERT_GE(jpeg.size(), 3u);
    auto texture = textureFromEncoded(jpeg);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->mimeType, "image/jpeg");
    EXPECT_EQ(texture->bytes, jpeg);
    EXPECT_EQ(texture->width, 16);
    EXPECT_EQ(texture->height, 8);
    EXPECT_NE(texture->id, 0u);
}

// Formats other than PNG and JPEG become PNG with the same pixels (BMP and TGA are lossless).
TEST(TextureFromEncoded, OtherFormatsAreConvertedToPng) {
    const RgbaImage picture = testPicture();
    for (Format format : {Format::Bmp, Format::Tga}) {
        const std::vector<uint8_t> encoded = encodeAs(format, picture);
        std::string error;
        auto texture = textureFromEncoded(encoded, &error);
        ASSERT_NE(texture, nullptr) << error;
        EXPECT_EQ(texture->mimeType, "image/png");
        EXPECT_NE(texture->bytes, encoded);
        EXPECT_EQ(texture->width, 5);
        EXPECT_EQ(texture->height, 3);
        const RgbaImage back = decoded(texture->bytes);
        EXPECT_EQ(back.pixels, picture.pixels);
    }
}

TEST(TextureFromEncoded, DamagedInputIsRefusedByTheProbe) {
    const std::vector<std::vector<uint8_t>> inputs = {
        {},
        {0xFF, 0xD8, 0xFF},                    // a JPEG start with no size: never reaches the JPEG test
        {0x89, 'P', 'N', 'G'},                 // a PNG signature alone
        {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W'}, // WebP is not read
    };
    for (const auto& bytes : inputs) {
        std::string error;
        EXPECT_EQ(textureFromEncoded(bytes, &error), nullptr) << bytes.size() << " bytes";
        EXPECT_TRUE(startsWith(error, kDamaged)) << error;
    }
}

// A BMP header that promises more pixels than the file holds.
TEST(TextureFromEncoded, TruncatedConvertedFormatNeverCrashes) {
    std::vector<uint8_t> bmp = encodeAs(Format::Bmp, testPicture(8, 8));
    bmp.resize(bmp.size() / 2);
    std::string error;
    auto texture = textureFromEncoded(bmp, &error);
    if (!texture) {
        EXPECT_TRUE(startsWith(error, kDamaged)) << error;
    }
}

using LoadTextureFile = orva::test::TempDirTest;

TEST_F(LoadTextureFile, ReadsAFileAndPrefixesConversionErrorsWithItsName) {
    std::vector<uint8_t> png;
    ASSERT_TRUE(encodePng(testPicture(), png));
    const std::string good = path("picture.png");
    ASSERT_TRUE(orva::io::writeFileAtomic(good, png.data(), png.size()));
    std::string error;
    auto texture = orva::io::loadTextureFile(good, &error);
    ASSERT_NE(texture, nullptr) << error;
    EXPECT_EQ(texture->bytes, png);
    EXPECT_EQ(texture->mimeType, "image/png");

    const std::string webp = path("photo.webp");
    ASSERT_TRUE(orva::io::writeFileAtomic(webp, "RIFF\0\0\0\0WEBPVP8 ", 16));
    EXPECT_EQ(orva::io::loadTextureFile(webp, &error), nullptr);
    EXPECT_TRUE(startsWith(error, "photo.webp: " + kDamaged)) << error;

    const std::string missing = path("missing.png");
    EXPECT_EQ(orva::io::loadTextureFile(missing, &error), nullptr);
    EXPECT_EQ(error, "Cannot open file for reading: " + missing);
}

TEST(CheckerTexture, PixelsAndOrientationMarker) {
    auto texture = orva::io::makeCheckerTexture(512, 8);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->mimeType, "image/png");
    EXPECT_EQ(texture->width, 512);
    EXPECT_EQ(texture->height, 512);
    const RgbaImage image = decoded(texture->bytes);
    ASSERT_EQ(image.width, 512);
    const Rgba dark = {70, 70, 78, 255}, light = {200, 200, 208, 255};
    EXPECT_EQ(pixelAt(image, 0, 0), dark);
    EXPECT_EQ(pixelAt(image, 63, 0), dark);
    EXPECT_EQ(pixelAt(image, 64, 0), light);
    EXPECT_EQ(pixelAt(image, 0, 64), light);
    // The bottom-left cell (rows 448..511, columns 0..63) is a light cell marked red.
    EXPECT_EQ(pixelAt(image, 0, 511), (Rgba{220, 200, 208, 255}));
    EXPECT_EQ(pixelAt(image, 63, 448), (Rgba{220, 200, 208, 255}));
    EXPECT_EQ(pixelAt(image, 0, 447), dark);
    EXPECT_EQ(pixelAt(image, 64, 511), dark);
    EXPECT_EQ(pixelAt(image, 511, 511), dark);
}

TEST(CheckerTexture, CellsNeverShrinkBelowOnePixel) {
    // More cells than pixels: one-pixel cells, the mark on the bottom-left pixel only.
    const RgbaImage image = decoded(orva::io::makeCheckerTexture(4, 8)->bytes);
    ASSERT_EQ(image.width, 4);
    EXPECT_EQ(pixelAt(image, 0, 3), (Rgba{220, 200, 208, 255}));
    EXPECT_EQ(pixelAt(image, 1, 3), (Rgba{70, 70, 78, 255}));
    EXPECT_EQ(pixelAt(image, 0, 2), (Rgba{70, 70, 78, 255}));
    EXPECT_EQ(pixelAt(image, 1, 2), (Rgba{200, 200, 208, 255}));
    // Arguments out of range are clamped, never a crash or a null texture.
    auto tiny = orva::io::makeCheckerTexture(0, 0);
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(tiny->width, 1);
}

TEST(ImageFiles, IsImageFile) {
    struct Case {
        const char* path;
        bool expected;
    };
    const Case cases[] = {
        {"Photo.JPEG", true}, {"a/b/c.png", true},  {"x.jpg", true},      {"x.tga", true},     {"x.Bmp", true},
        {"x.psd", true},      {"x.gif", true},      {"x.hdr", true},      {"x.pic", true},     {"x.pnm", true},
        {"x.ppm", true},      {"x.pgm", true},      {"model.fbx", false}, {"README", false},   {".png", false},
        {"x.webp", false},    {"x.png.bak", false}, {"png", false},       {"dir.png/", false}, {"", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(orva::io::isImageFile(c.path), c.expected) << c.path;
}
