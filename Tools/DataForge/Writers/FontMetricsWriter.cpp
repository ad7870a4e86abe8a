#include "DataForge/Writers/FontMetricsWriter.h"

#include <cstdio>
#include <fstream>
#include <set>
#include <stdexcept>

std::string EncodeUtf8(uint32_t cp)
{
    std::string out;
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
    return out;
}

static std::string Number(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.6g", double(v));
    return text;
}

std::string FormatFontMetrics(float lineHeight, const std::vector<GlyphMetricsLine>& glyphs)
{
    std::string out = std::to_string(glyphs.size()) + " " + Number(lineHeight) + "\n";
    for (const GlyphMetricsLine& g : glyphs) {
        out += std::to_string(g.codepoint);
        for (float v : {g.x, g.y, g.w, g.h, g.xOffset, g.yOffset, g.advance, g.cellHeight})
            out += " " + Number(v);
        out += "\n";
    }
    return out;
}

// Characters the kerning reader would take for separators or the end of the text.
static bool IsWritableKernCharacter(uint32_t cp)
{
    return cp != 0 && cp != ' ' && cp != '\t' && cp != '\r' && cp != '\n' && cp <= 0xFFFF;
}

std::string FormatFontKerning(const std::vector<KerningPairLine>& pairs)
{
    if (pairs.size() > 256)
        throw std::invalid_argument("more than 256 kerning pairs");
    std::set<uint32_t> finished;
    std::string out;
    for (size_t i = 0; i < pairs.size(); i++) {
        const KerningPairLine& p = pairs[i];
        if (i > 0 && pairs[i - 1].first != p.first) {
            finished.insert(pairs[i - 1].first);
            if (finished.count(p.first))
                throw std::invalid_argument("kerning pairs of one character must be consecutive");
        }
        if (!IsWritableKernCharacter(p.first) || !IsWritableKernCharacter(p.second))
            throw std::invalid_argument("kerning character cannot be written");
        if (p.percent < -128 || p.percent > 127)
            throw std::invalid_argument("kerning percentage out of range");
        out += EncodeUtf8(p.first) + EncodeUtf8(p.second) + " " + std::to_string(p.percent) + "\n";
    }
    return out;
}

void WriteTextFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary);
    file.write(text.data(), std::streamsize(text.size()));
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
}
