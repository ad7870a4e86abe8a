// The big-endian record writer and the image writer: byte order, string and padding rules, and
// images that come back unchanged (PNG) or close (JPEG) through the game's image decoder.
#include "3D/ImageDecode.h"
#include "DataForge/Writers/BigEndianWriter.h"
#include "DataForge/Writers/ImageWriter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

TEST(BigEndianWriter, NumbersAreWrittenMostSignificantByteFirst)
{
    BigEndianWriter out;
    out.U16(0x1234);
    out.U32(0x89ABCDEF);
    out.I16(-2);
    out.Float(1.0f); // 0x3F800000
    EXPECT_EQ(out.Data(),
              (std::vector<uint8_t>{0x12, 0x34, 0x89, 0xAB, 0xCD, 0xEF, 0xFF, 0xFE, 0x3F, 0x80, 0, 0}));
}

TEST(BigEndianWriter, PascalStringsCarryTheirLengthAndRefuseMoreThan255Bytes)
{
    BigEndianWriter out;
    out.PascalString("abc");
    EXPECT_EQ(out.Data(), (std::vector<uint8_t>{3, 'a', 'b', 'c'}));
    EXPECT_THROW(out.PascalString(std::string(256, 'x')), std::length_error);
}

TEST(BigEndianWriter, PaddingReachesTheNextMultipleAndNeverAddsAWholeBlock)
{
    BigEndianWriter out;
    out.U8(1);
    out.PadTo(4);
    EXPECT_EQ(out.Size(), 4u);
    out.PadTo(4);
    EXPECT_EQ(out.Size(), 4u);
}

static Image TestPattern(int channels)
{
    Image image{7, 5, channels, {}};
    for (int i = 0; i < 7 * 5 * channels; i++)
        image.pixels.push_back(uint8_t(i * 37 % 251));
    return image;
}

TEST(ImageWriter, PngComesBackPixelForPixelInEveryChannelCount)
{
    for (int channels : {1, 3, 4}) {
        Image image = TestPattern(channels);
        std::vector<uint8_t> png = EncodePng(image);
        int w = 0, h = 0;
        const char* reason = "";
        uint8_t* decoded = DecodeImage(png.data(), int32_t(png.size()), channels, 64, &w, &h, &reason);
        ASSERT_NE(decoded, nullptr) << channels;
        EXPECT_EQ(w, 7);
        EXPECT_EQ(h, 5);
        EXPECT_EQ(std::vector<uint8_t>(decoded, decoded + image.pixels.size()), image.pixels) << channels;
        FreeDecodedImage(decoded);
    }
}

TEST(ImageWriter, JpegKeepsTheSizeAndRoughlyTheColour)
{
    Image flat{16, 8, 4, {}};
    for (int i = 0; i < 16 * 8; i++)
        flat.pixels.insert(flat.pixels.end(), {200, 100, 50, 255});
    std::vector<uint8_t> jpeg = EncodeJpeg(flat, 90);
    int w = 0, h = 0;
    const char* reason = "";
    uint8_t* decoded = DecodeImage(jpeg.data(), int32_t(jpeg.size()), 3, 64, &w, &h, &reason);
    ASSERT_NE(decoded, nullptr);
    EXPECT_EQ(w, 16);
    EXPECT_EQ(h, 8);
    EXPECT_NEAR(decoded[0], 200, 6);
    EXPECT_NEAR(decoded[1], 100, 6);
    EXPECT_NEAR(decoded[2], 50, 6);
    FreeDecodedImage(decoded);
}

TEST(ImageWriter, RefusesPixelsThatDoNotMatchTheSize)
{
    Image image = TestPattern(4);
    image.pixels.pop_back();
    EXPECT_THROW(EncodePng(image), std::invalid_argument);
    image.channels = 2;
    EXPECT_THROW(EncodeJpeg(TestPattern(2), 90), std::invalid_argument);
}
