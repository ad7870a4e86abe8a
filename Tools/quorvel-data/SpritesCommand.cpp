// quorvel-data sprites DATADIR OUT.png: a contact sheet of every sprite group the game loads at start-up
// (with the index of each sprite), the cursor and the font sheets, on a checkerboard so that alpha shows.

#include "Commands.h"

#include "3D/ImageDecode.h"
#include "DataForge/Content/Canvas2D.h"
#include "DataForge/Content/FontsRaster.h"
#include "DataForge/Content/SpritesLayout.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace {

constexpr int kSheetWidth = 1600;
constexpr int kCell = 96;
constexpr int kColumns = kSheetWidth / kCell;
constexpr int kLabelHeight = 28;
constexpr int kLargestImageSide = 8192;
const CanvasColor kLabelColor = {0.9f, 0.92f, 1, 1};

struct Picture
{
    std::string label;
    Canvas canvas{0, 0};
};

Canvas LoadImage(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int width = 0, height = 0;
    const char* reason = "";
    uint8_t* pixels = DecodeImage((const uint8_t*)bytes.data(), int32_t(bytes.size()), 4, kLargestImageSide,
                                  &width, &height, &reason);
    if (!pixels)
        throw std::runtime_error("cannot decode " + path.string() + " (" + reason + ")");
    Canvas canvas(width, height);
    for (size_t i = 0; i < canvas.pixels.size(); i++)
        canvas.pixels[i] = {pixels[i * 4] / 255.0f, pixels[i * 4 + 1] / 255.0f, pixels[i * 4 + 2] / 255.0f,
                            pixels[i * 4 + 3] / 255.0f};
    FreeDecodedImage(pixels);
    return canvas;
}

// Nearest-texel box scale into a width x height canvas (averaging the covered texels).
Canvas ScaleTo(const Canvas& src, int width, int height)
{
    Canvas out(width, height);
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            int x0 = x * src.width / width, x1 = std::max(x0 + 1, (x + 1) * src.width / width);
            int y0 = y * src.height / height, y1 = std::max(y0 + 1, (y + 1) * src.height / height);
            CanvasColor sum = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; sy++) {
                for (int sx = x0; sx < x1; sx++) {
                    const CanvasColor& c = src.At(sx, sy);
                    sum = {sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a};
                }
            }
            float n = float((x1 - x0) * (y1 - y0));
            out.At(x, y) = sum.a > 0 ? CanvasColor{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / n}
                                     : CanvasColor{0, 0, 0, 0};
        }
    }
    return out;
}

Canvas FitInto(const Canvas& src, int maxWidth, int maxHeight)
{
    float scale = std::min({1.0f, float(maxWidth) / src.width, float(maxHeight) / src.height});
    return ScaleTo(src, std::max(1, int(src.width * scale)), std::max(1, int(src.height * scale)));
}

void Checkerboard(Canvas& canvas, int x0, int y0, int width, int height)
{
    for (int y = y0; y < y0 + height && y < canvas.height; y++) {
        for (int x = x0; x < x0 + width && x < canvas.width; x++) {
            bool dark = ((x - x0) / 8 + (y - y0) / 8) % 2;
            canvas.At(x, y) =
                dark ? CanvasColor{0.22f, 0.22f, 0.25f, 1} : CanvasColor{0.32f, 0.32f, 0.36f, 1};
        }
    }
}

void Label(Canvas& canvas, const std::string& text, int x, int baseline, float em)
{
    DrawFontText(canvas, DejaVuSans(), text, float(x), float(baseline), em,
                 [](float, float) { return kLabelColor; });
}

// One section: a heading, then cells of pictures in rows, or full-width pictures.
struct Section
{
    std::string heading;
    std::vector<Picture> pictures;
    bool wide = false; // one picture per row, as wide as the sheet
};

int SectionHeight(const Section& section)
{
    if (!section.wide) {
        int rows = (int(section.pictures.size()) + kColumns - 1) / kColumns;
        return kLabelHeight + rows * (kCell + 14) + 8;
    }
    int height = kLabelHeight;
    for (const Picture& picture : section.pictures)
        height += picture.canvas.height + kLabelHeight;
    return height + 8;
}

void DrawSection(Canvas& sheet, const Section& section, int top)
{
    Label(sheet, section.heading, 8, top + 20, 18);
    int y = top + kLabelHeight;
    if (section.wide) {
        for (const Picture& picture : section.pictures) {
            Label(sheet, picture.label, 8, y + 16, 13);
            y += kLabelHeight - 6;
            Checkerboard(sheet, 0, y, picture.canvas.width, picture.canvas.height);
            DrawCanvas(sheet, picture.canvas, 0, y);
            y += picture.canvas.height + 6;
        }
        return;
    }
    for (size_t i = 0; i < section.pictures.size(); i++) {
        int x = int(i % kColumns) * kCell, cellTop = y + int(i / kColumns) * (kCell + 14);
        Checkerboard(sheet, x + 2, cellTop, kCell - 4, kCell - 4);
        const Canvas& c = section.pictures[i].canvas;
        DrawCanvas(sheet, c, x + 2 + (kCell - 4 - c.width) / 2, cellTop + (kCell - 4 - c.height) / 2);
        Label(sheet, section.pictures[i].label, x + 4, cellTop + kCell + 8, 11);
    }
}

} // namespace

int RunSpritesCommand(const CommandArgs& args)
{
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: quorvel-data sprites DATADIR OUT.png\n");
        return 2;
    }
    std::filesystem::path sprites = std::filesystem::path(args[0]) / "Sprites";
    std::vector<Section> sections;
    for (const SpriteSeries& series : StartupSpriteSeries()) {
        Section section{"group " + std::to_string(series.group) + ": " + series.name, {}};
        for (int i = 0; i < series.count; i++) {
            auto path = FindSpriteImage(sprites, SeriesImagePath(series, i));
            if (!path)
                throw std::runtime_error("missing sprite " + SeriesImagePath(series, i));
            section.pictures.push_back({std::to_string(i), FitInto(LoadImage(*path), kCell - 4, kCell - 4)});
        }
        sections.push_back(std::move(section));
    }
    auto cursor = FindSpriteImage(sprites, "menu/cursor");
    if (!cursor)
        throw std::runtime_error("missing sprite menu/cursor");
    sections.push_back({"group 3: cursor", {{"0", FitInto(LoadImage(*cursor), kCell - 4, kCell - 4)}}});

    Section fonts{"font atlases", {}, true};
    for (const std::string& name : FontAtlasNames()) {
        for (const std::string& sheetName : {name, name + ".alt1"}) {
            if (auto path = FindSpriteImage(sprites, "fonts/" + sheetName))
                fonts.pictures.push_back({sheetName, FitInto(LoadImage(*path), kSheetWidth, 2048)});
        }
    }
    sections.push_back(std::move(fonts));

    int height = 0;
    for (const Section& section : sections)
        height += SectionHeight(section);
    Canvas sheet(kSheetWidth, height, {0.1f, 0.1f, 0.12f, 1});
    int top = 0;
    for (const Section& section : sections) {
        DrawSection(sheet, section, top);
        top += SectionHeight(section);
    }
    WritePngFile(args[1], CanvasToImage(sheet, 3));
    std::printf("Wrote %s\n", args[1].c_str());
    return 0;
}
