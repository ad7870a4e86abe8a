// The one image decoder: hostile headers refused before anything is allocated, damaged JPEG data
// ending in the failure result, and the two ways of decoding agreeing pixel for pixel.
#include "3D/ImageDecode.h"
#include "DataForge/Writers/ImageWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

static void AppendBigEndian32(std::vector<uint8_t>* bytes, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes->push_back(uint8_t(value >> shift));
}

// A PNG whose header claims the given size; no pixel data follows.
static std::vector<uint8_t> PngHeaderClaiming(uint32_t width, uint32_t height)
{
    std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    AppendBigEndian32(&bytes, 13);
    bytes.insert(bytes.end(), {'I', 'H', 'D', 'R'});
    AppendBigEndian32(&bytes, width);
    AppendBigEndian32(&bytes, height);
    bytes.insert(bytes.end(), {8, 6, 0, 0, 0});
    AppendBigEndian32(&bytes, 0);
    return bytes;
}

// Every pixel different, so that a row or channel out of place shows.
static Image Gradient(int width, int height)
{
    Image image{width, height, 4, {}};
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            image.pixels.insert(image.pixels.end(),
                                {uint8_t(x * 255 / width), uint8_t(y * 255 / height), 128, 255});
    return image;
}

static size_t MarkerAt(const std::vector<uint8_t>& jpeg, uint8_t marker)
{
    for (size_t i = 0; i + 1 < jpeg.size(); i++)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker)
            return i;
    return std::string::npos;
}

// A JPEG whose frame header claims width x height.
static std::vector<uint8_t> JpegClaiming(int width, int height)
{
    std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(16, 16), 90);
    size_t frame = MarkerAt(jpeg, 0xC0);
    EXPECT_NE(frame, std::string::npos);
    jpeg[frame + 5] = uint8_t(height >> 8);
    jpeg[frame + 6] = uint8_t(height);
    jpeg[frame + 7] = uint8_t(width >> 8);
    jpeg[frame + 8] = uint8_t(width);
    return jpeg;
}

TEST(ImageDecode, HuffmanTableClaimingMoreThan256CodesIsRefused)
{
    std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(16, 16), 90);
    size_t table = MarkerAt(jpeg, 0xC4);
    ASSERT_NE(table, std::string::npos);
    jpeg[table + 5] = jpeg[table + 6] = 200; // the first two code counts: 400 codes
    int width, height;
    const char* reason = "";
    EXPECT_EQ(DecodeImage(jpeg.data(), int32_t(jpeg.size()), 4, 4096, &width, &height, &reason), nullptr);
    EXPECT_FALSE(std::string(reason).empty());
}

TEST(ImageDecode, TruncatedOrCorruptJpegEndsInTheFailureResultNotAHalfGreyImage)
{
    std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(64, 64), 90);
    std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + long(jpeg.size() * 2 / 3));
    int width, height;
    const char* reason = "";
    EXPECT_EQ(DecodeImage(cut.data(), int32_t(cut.size()), 4, 4096, &width, &height, &reason), nullptr);
    EXPECT_FALSE(std::string(reason).empty());
    std::vector<uint8_t> pixels(64 * 64 * 4);
    EXPECT_FALSE(DecodeImageInto(cut.data(), int32_t(cut.size()), 64, 64, false, pixels.data(), &reason));

    // Cut inside the headers: not even the size can be read.
    std::vector<uint8_t> header(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_FALSE(ReadImageSize(header.data(), int32_t(header.size()), &width, &height, &reason));

    // A marker in the middle of the entropy-coded data.
    std::vector<uint8_t> corrupt = jpeg;
    size_t scan = MarkerAt(corrupt, 0xDA);
    ASSERT_NE(scan, std::string::npos);
    corrupt[scan + 40] = 0xFF;
    corrupt[scan + 41] = 0xD9;
    EXPECT_EQ(DecodeImage(corrupt.data(), int32_t(corrupt.size()), 4, 4096, &width, &height, &reason),
              nullptr);
}

TEST(ImageDecode, HugeImageIsRefusedFromItsHeaderWithoutAllocatingIt)
{
    int width, height;
    const char* reason = "";
    std::vector<uint8_t> png = PngHeaderClaiming(17000, 100);
    EXPECT_EQ(DecodeImage(png.data(), int32_t(png.size()), 4, 16384, &width, &height, &reason), nullptr);
    EXPECT_NE(std::string(reason).find("larger than 16384"), std::string::npos) << reason;

    std::vector<uint8_t> jpeg = JpegClaiming(60000, 60000);
    EXPECT_TRUE(ReadImageSize(jpeg.data(), int32_t(jpeg.size()), &width, &height, &reason)) << reason;
    EXPECT_EQ(width, 60000);
    EXPECT_EQ(DecodeImage(jpeg.data(), int32_t(jpeg.size()), 4, 16384, &width, &height, &reason), nullptr);
    EXPECT_NE(std::string(reason).find("larger than 16384"), std::string::npos) << reason;

    // Within the side limit but more pixels than any image the game reads.
    jpeg = JpegClaiming(16000, 16000);
    EXPECT_EQ(DecodeImage(jpeg.data(), int32_t(jpeg.size()), 4, 16384, &width, &height, &reason), nullptr);
    EXPECT_NE(std::string(reason).find("more than"), std::string::npos) << reason;
}

TEST(ImageDecode, EmptyOrGarbageDataGivesAReasonNotACrash)
{
    int width, height;
    const char* reason = "";
    EXPECT_EQ(DecodeImage(nullptr, 0, 4, 4096, &width, &height, &reason), nullptr);
    EXPECT_EQ(std::string(reason), "no image data");
    uint8_t garbage[64] = {1, 2, 3};
    EXPECT_EQ(DecodeImage(garbage, sizeof(garbage), 4, 4096, &width, &height, &reason), nullptr);
    EXPECT_FALSE(std::string(reason).empty());
}

TEST(ImageDecode, DecodingIntoABufferBottomUpReversesTheRowsOfBothFormats)
{
    Image gradient = Gradient(32, 16);
    for (const std::vector<uint8_t>& file : {EncodePng(gradient), EncodeJpeg(gradient, 90)}) {
        int width, height;
        const char* reason = "";
        uint8_t* topDown = DecodeImage(file.data(), int32_t(file.size()), 4, 64, &width, &height, &reason);
        ASSERT_NE(topDown, nullptr) << reason;
        std::vector<uint8_t> bottomUp(32 * 16 * 4);
        ASSERT_TRUE(
            DecodeImageInto(file.data(), int32_t(file.size()), 32, 16, true, bottomUp.data(), &reason))
            << reason;
        for (int y = 0; y < 16; y++)
            EXPECT_EQ(0, std::memcmp(&bottomUp[size_t(y) * 32 * 4], topDown + (15 - y) * 32 * 4, 32 * 4))
                << y;
        FreeDecodedImage(topDown);

        // An image of another size is refused before anything is written.
        EXPECT_FALSE(
            DecodeImageInto(file.data(), int32_t(file.size()), 16, 16, true, bottomUp.data(), &reason));
        EXPECT_NE(std::string(reason).find("32x16, not 16x16"), std::string::npos) << reason;
    }
}

TEST(ImageDecode, TwoThreadsDecodingAtOnceGetTheSamePixels)
{
    std::vector<uint8_t> jpeg = EncodeJpeg(Gradient(64, 64), 85);
    std::vector<uint8_t> expected(64 * 64 * 4);
    const char* reason = "";
    ASSERT_TRUE(DecodeImageInto(jpeg.data(), int32_t(jpeg.size()), 64, 64, false, expected.data(), &reason));
    auto decodeMany = [&](bool* same) {
        std::vector<uint8_t> pixels(expected.size());
        *same = true;
        for (int i = 0; i < 50; i++) {
            const char* why = "";
            *same = *same &&
                    DecodeImageInto(jpeg.data(), int32_t(jpeg.size()), 64, 64, false, pixels.data(), &why) &&
                    pixels == expected;
        }
    };
    bool sameOnSecondThread = false, sameOnThisThread = false;
    std::thread second(decodeMany, &sameOnSecondThread);
    decodeMany(&sameOnThisThread);
    second.join();
    EXPECT_TRUE(sameOnThisThread);
    EXPECT_TRUE(sameOnSecondThread);
}
