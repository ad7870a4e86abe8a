#include "3D/ImageDecode.h"

#include <gtest/gtest.h>

#include <string>
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

TEST(ImageDecode, HuffmanTableClaimingMoreThan256CodesIsRefusedBeforeDecoding)
{
    std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x13, 0x00};
    for (int i = 0; i < 16; i++)
        jpeg.push_back(i < 2 ? 200 : 0); // 400 codes
    EXPECT_FALSE(JpegHuffmanTablesFit(jpeg.data(), int32_t(jpeg.size())));

    int width, height;
    const char* reason = "";
    EXPECT_EQ(DecodeImage(jpeg.data(), int32_t(jpeg.size()), 4, 4096, &width, &height, &reason), nullptr);
    EXPECT_EQ(std::string(reason), "corrupt Huffman table");
}

TEST(ImageDecode, FillBytesBeforeTheStartMarkerDoNotHideATable)
{
    // The decoder skips 0xFF fill bytes before the start-of-image marker.
    std::vector<uint8_t> jpeg = {0xFF, 0xFF, 0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x13, 0x00};
    for (int i = 0; i < 16; i++)
        jpeg.push_back(i < 2 ? 200 : 0);
    EXPECT_FALSE(JpegHuffmanTablesFit(jpeg.data(), int32_t(jpeg.size())));
}

TEST(ImageDecode, TableOfExactly256CodesIsAccepted)
{
    std::vector<uint8_t> jpeg = {0xFF, 0xD8, 0xFF, 0xC4, 0x01, 0x13, 0x00};
    for (int i = 0; i < 16; i++)
        jpeg.push_back(i < 1 ? 255 : (i == 1 ? 1 : 0));
    EXPECT_TRUE(JpegHuffmanTablesFit(jpeg.data(), int32_t(jpeg.size())));
}

TEST(ImageDecode, MarkerBytesInsideOtherFormatsAreNotMistakenForJpegTables)
{
    std::vector<uint8_t> png = PngHeaderClaiming(16, 16);
    png.insert(png.end(), {0xFF, 0xC4, 0x00, 0x13, 0x00, 200, 200});
    EXPECT_TRUE(JpegHuffmanTablesFit(png.data(), int32_t(png.size())));
}

TEST(ImageDecode, HugeImageIsRefusedFromItsHeaderWithoutAllocatingIt)
{
    std::vector<uint8_t> png = PngHeaderClaiming(17000, 100);
    int width, height;
    const char* reason = "";
    EXPECT_EQ(DecodeImage(png.data(), int32_t(png.size()), 4, 16384, &width, &height, &reason), nullptr);
    EXPECT_NE(std::string(reason).find("larger than 16384"), std::string::npos) << reason;
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
