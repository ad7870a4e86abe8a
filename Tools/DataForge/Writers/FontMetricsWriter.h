// Font metrics and kerning texts of an atlas: "<name>.txt" (a "count lineHeight" line, then one line per
// glyph: code point, x, y, w, h, xOffset, yOffset, advance, cellHeight) and "<name>.kerning.txt" (one
// pair per line: the two characters in UTF-8, a blank, the advance percentage).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct GlyphMetricsLine
{
    uint32_t codepoint = 0;
    float x = 0, y = 0, w = 0, h = 0; // rectangle in the sheet, pixels, y from the top row
    float xOffset = 0, yOffset = 0;   // quad offset from the pen (pen y = top of the line)
    float advance = 0;
    float cellHeight = 0;
};

struct KerningPairLine
{
    uint32_t first = 0, second = 0;
    int percent = 100; // -128 .. 127
};

std::string FormatFontMetrics(float lineHeight, const std::vector<GlyphMetricsLine>& glyphs);
// Throws std::invalid_argument when the pairs of one first character are not consecutive, when there are
// more than 256 pairs, or when a percentage or character cannot be written.
std::string FormatFontKerning(const std::vector<KerningPairLine>& pairs);

std::string EncodeUtf8(uint32_t codepoint);

// Writes text to path as is; throws std::runtime_error naming the path on failure.
void WriteTextFile(const std::filesystem::path& path, const std::string& text);
