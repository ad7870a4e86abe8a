#include "3D/OGL_Local.h"
#include "System/Prefs.h"

#include <gtest/gtest.h>

class StereoColors : public ::testing::Test
{
protected:
    void SetUp() override
    {
        saved = gPrefs;
        gPrefs.anaglyphRed = 216;
        gPrefs.anaglyphGreen = 160;
        gPrefs.anaglyphBlue = 255;
        gPrefs.anaglyphBalance = 0;
        OGL_BuildGreyCurve();
    }
    void TearDown() override { gPrefs = saved; }
    PrefsType saved;
};

TEST_F(StereoColors, GreyAnaglyphTurnsWhiteIntoTheCurvesTopAndKeepsBlackBlack)
{
    uint8_t r = 255, g = 255, b = 255;
    OGL_ColorToGreyAnaglyph(&r, &g, &b);
    EXPECT_EQ(g, 254);
    EXPECT_EQ(r, 254 * 216 / 255);
    EXPECT_EQ(b, 254);

    r = g = b = 0;
    OGL_ColorToGreyAnaglyph(&r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
}

TEST_F(StereoColors, ColourAnaglyphFiltersAndBalancingOnlyRaisesChannels)
{
    uint8_t r = 200, g = 200, b = 200;
    OGL_ColorToAnaglyph(&r, &g, &b);
    EXPECT_EQ(r, 200 * 216 / 255);
    EXPECT_EQ(g, 200 * 160 / 255);
    EXPECT_EQ(b, 200);

    gPrefs.anaglyphBalance = 1;
    uint8_t r2 = 200, g2 = 200, b2 = 200;
    OGL_ColorToAnaglyph(&r2, &g2, &b2);
    EXPECT_GE(r2, r);
    EXPECT_GE(g2, g);
    EXPECT_GE(b2, b);
}

TEST_F(StereoColors, SixteenBitTexelsKeepTheirAlphaBitAndStayInRange)
{
    gPrefs.stereoMode = 2;
    uint16_t texels[2] = {0xFFFF, 0x0000}; // opaque white, transparent black
    OGL_ConvertTextureToStereo(texels, 2, 1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV);
    EXPECT_EQ(texels[0] & 0x8000, 0x8000);
    EXPECT_EQ((texels[0] >> 5) & 31, 31); // white, widened to 248, is still near the top of the curve
    EXPECT_EQ(texels[1], 0);
}
