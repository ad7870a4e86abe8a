// Text drawn with each font atlas of the generated data lands where its layout says: every glyph quad
// holds bright glyph pixels, and nothing is drawn outside the quads.
#include "3D/Atlas.h"
#include "DataForge/Forge.h"
#include "Support/TempFolder.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"
#include "Window/RenderTestScene.h"

#include <string>
#include <vector>

namespace {

int gTextSlot;
const char* gText;
constexpr float kTextX = 40, kTextY = 200;
constexpr int kFlags = TEXT_ALIGN_LEFT | TEXT_ALIGN_TOP;

// The overlay pass draws the text in window pixels, y down.
void DrawTestText()
{
    if (gCurrentPane != gNumPanes)
        return;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    Atlas_DrawString(gTextSlot, gText, kTextX, kTextY, 1, 1, 0, kFlags);
}

struct QuadBox
{
    int left, top, right, bottom;
};

std::vector<QuadBox> LaidOutQuads(int slot, const char* text)
{
    TextMetrics metrics;
    Atlas_ComputeMetrics(gAtlases[slot], text, kFlags, &metrics);
    std::vector<Point3D> points(size_t(metrics.numQuads) * 4);
    std::vector<float> uvs(size_t(metrics.numQuads) * 8);
    int quads = Atlas_LayoutQuads(gAtlases[slot], text, kFlags, &metrics, points.data(), uvs.data(),
                                  metrics.numQuads);
    std::vector<QuadBox> boxes;
    for (int q = 0; q < quads; q++) {
        boxes.push_back({int(kTextX + points[q * 4].x), int(kTextY + points[q * 4 + 2].y),
                         int(kTextX + points[q * 4 + 1].x + 1), int(kTextY + points[q * 4].y + 1)});
    }
    return boxes;
}

} // namespace

class TextRender : public RenderWindowTest
{
protected:
    static void SetUpTestSuite()
    {
        data = new TempFolder;
        std::filesystem::create_directories(data->Path() / "Data" / "Skeletons");
        ForgeFonts(data->Path() / "Data");
    }
    static void TearDownTestSuite()
    {
        delete data;
        data = nullptr;
    }
    void SetUp() override
    {
        RenderWindowTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Tarnet::Startup();
        savedDataFolder = gDataFolderSpec;
        gDataFolderSpec = Tarnet::HostPathToFSSpec(data->Path() / "Data" / "Skeletons");
        for (float& channel : setup.clearColor)
            channel = 0;
        setup.clearColor[3] = 1;
        MakeView();
        LoadSpriteAtlas(ATLAS_SLOT_FONT, ":sprites:fonts:font", ATLAS_FONT | ATLAS_UPPERCASE);
        LoadSpriteAtlas(ATLAS_SLOT_FONT_ALT, ":sprites:fonts:font",
                        ATLAS_FONT | ATLAS_ALT_TEXTURE | ATLAS_UPPERCASE);
        LoadSpriteAtlas(ATLAS_SLOT_SWISS, ":sprites:fonts:swiss", ATLAS_FONT);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            DisposeAllAtlases();
            gDataFolderSpec = savedDataFolder;
            Tarnet::Shutdown();
        }
        RenderWindowTest::TearDown();
    }

    // Draws text with the atlas in slot and checks every glyph against its quad.
    void ExpectGlyphsWhereLaidOut(int slot, const char* text)
    {
        gTextSlot = slot;
        gText = text;
        WindowPixels pixels = DrawSceneAndCapture(DrawTestText);
        std::vector<QuadBox> quads = LaidOutQuads(slot, text);
        ASSERT_GT(quads.size(), 5u);

        for (size_t q = 0; q < quads.size(); q++) {
            const QuadBox& b = quads[q];
            int bright = 0;
            for (int y = b.top; y < b.bottom; y++) {
                for (int x = b.left; x < b.right; x++)
                    bright += Brightness(pixels.At(x, y)) > 160;
            }
            EXPECT_GE(bright, 6) << "glyph " << q << " of \"" << text << "\" at " << b.left << "," << b.top;
        }

        // Outside every quad, in a band around the text, the screen stays black.
        int strayPixels = 0;
        for (int y = int(kTextY) - 20; y < int(kTextY) + 90; y++) {
            for (int x = 0; x < 640; x++) {
                bool inQuad = false;
                for (const QuadBox& b : quads)
                    inQuad |= x >= b.left - 1 && x <= b.right && y >= b.top - 1 && y <= b.bottom;
                if (!inQuad && Brightness(pixels.At(x, y)) > 40)
                    strayPixels++;
            }
        }
        EXPECT_EQ(strayPixels, 0) << "\"" << text << "\" drew outside its laid-out quads";
    }

    static TempFolder* data;
    Tarnet::FSSpec savedDataFolder;
};

TempFolder* TextRender::data = nullptr;

TEST_F(TextRender, UpperCaseFontDrawsEachGlyphInItsQuad)
{
    ExpectGlyphsWhereLaidOut(ATLAS_SLOT_FONT, "Quorvel \xC3\x89t\xC3\xA9 42");
}

TEST_F(TextRender, AlternateSheetHasTheSameLayout)
{
    ExpectGlyphsWhereLaidOut(ATLAS_SLOT_FONT_ALT, "WAVE 1097 \xC5\x81\xC3\x96"
                                                  "D\xC5\x93");
}

TEST_F(TextRender, MixedCaseFontDrawsEachGlyphInItsQuad)
{
    ExpectGlyphsWhereLaidOut(ATLAS_SLOT_SWISS, "Sch\xC3\xB6ne Gr\xC3\xBC\xC3\x9F"
                                               "e, 2048!");
}
