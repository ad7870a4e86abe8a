#include "DataForge/Writers/PlayfieldWriter.h"

#include "DataForge/Writers/BigEndianWriter.h"

#include <stdexcept>

using Tarnet::OSTypeFrom;

constexpr int16_t kFirstId = 1000;
constexpr int kWaterNubSlots = 100;

static std::vector<uint8_t> Header(const PlayfieldDescription& p)
{
    BigEndianWriter out;
    out.Zeros(4);
    out.I32(int32_t(p.items.size()));
    out.I32(p.mapWidth);
    out.I32(p.mapDepth);
    out.Float(p.heightDivisor);
    out.Float(0.0f);
    out.Float(0.0f);
    out.I32(int32_t(p.splines.size()));
    out.I32(int32_t(p.fences.size()));
    out.I32(int32_t(p.images.size()));
    out.I32(int32_t(p.water.size()));
    out.I32(int32_t(p.lineMarkers.size()));
    return out.Take();
}

static void WriteItemFields(BigEndianWriter& out, uint16_t type, const uint8_t parm[4], uint16_t flags)
{
    out.U16(type);
    out.Bytes(parm, 4);
    out.U16(flags);
}

static std::vector<uint8_t> WaterRecord(const PlayfieldWater& w)
{
    if (w.nubs.size() > size_t(kWaterNubSlots))
        throw std::runtime_error("a water patch holds at most 100 nubs");
    BigEndianWriter out;
    out.U16(w.type);
    out.Zeros(2);
    out.U32(w.flags);
    out.I32(w.height);
    out.I16(int16_t(w.nubs.size()));
    out.Zeros(6);
    for (int i = 0; i < kWaterNubSlots; i++) {
        PlayfieldPoint nub = i < int(w.nubs.size()) ? w.nubs[size_t(i)] : PlayfieldPoint{0, 0};
        out.Float(nub.x);
        out.Float(nub.z);
    }
    out.Float(w.hotSpot.x);
    out.Float(w.hotSpot.z);
    out.Zeros(8);
    return out.Take();
}

Tarnet::ResourceForkWriter BuildPlayfieldResourceFork(const PlayfieldDescription& p)
{
    Tarnet::ResourceForkWriter fork;
    fork.Add(OSTypeFrom("Hedr"), kFirstId, Header(p));

    BigEndianWriter grid;
    for (int16_t cell : p.superTileGrid)
        grid.I16(cell);
    fork.Add(OSTypeFrom("STgd"), kFirstId, grid.Take());

    BigEndianWriter heights;
    for (float h : p.heights)
        heights.Float(h);
    fork.Add(OSTypeFrom("YCrd"), kFirstId, heights.Take());

    BigEndianWriter items;
    for (const PlayfieldItem& item : p.items) {
        items.U32(item.x);
        items.U32(item.z);
        WriteItemFields(items, item.type, item.parm, item.flags);
    }
    fork.Add(OSTypeFrom("Itms"), kFirstId, items.Take());

    if (!p.splines.empty()) {
        BigEndianWriter splines;
        for (const PlayfieldSpline& spline : p.splines) {
            splines.I16(spline.numNubs);
            splines.Zeros(6);
            splines.I32(int32_t(spline.points.size()));
            splines.Zeros(4);
            splines.I16(int16_t(spline.items.size()));
            splines.Zeros(6 + 8);
        }
        fork.Add(OSTypeFrom("Spln"), kFirstId, splines.Take());
        for (size_t i = 0; i < p.splines.size(); i++) {
            BigEndianWriter points, splineItems;
            for (const PlayfieldPoint& point : p.splines[i].points) {
                points.Float(point.x);
                points.Float(point.z);
            }
            for (const PlayfieldSplineItem& item : p.splines[i].items) {
                splineItems.Float(item.placement);
                WriteItemFields(splineItems, item.type, item.parm, item.flags);
            }
            fork.Add(OSTypeFrom("SpPt"), int16_t(kFirstId + i), points.Take());
            fork.Add(OSTypeFrom("SpIt"), int16_t(kFirstId + i), splineItems.Take());
        }
    }

    if (!p.fences.empty()) {
        BigEndianWriter fences;
        for (const PlayfieldFence& fence : p.fences) {
            fences.U16(fence.type);
            fences.I16(int16_t(fence.nubs.size()));
            fences.Zeros(12);
        }
        fork.Add(OSTypeFrom("Fenc"), kFirstId, fences.Take());
        for (size_t i = 0; i < p.fences.size(); i++) {
            BigEndianWriter nubs;
            for (auto [x, z] : p.fences[i].nubs) {
                nubs.I32(x);
                nubs.I32(z);
            }
            fork.Add(OSTypeFrom("FnNb"), int16_t(kFirstId + i), nubs.Take());
        }
    }

    if (!p.water.empty()) {
        BigEndianWriter water;
        for (const PlayfieldWater& patch : p.water)
            water.Bytes(WaterRecord(patch));
        fork.Add(OSTypeFrom("Liqd"), kFirstId, water.Take());
    }

    if (!p.lineMarkers.empty()) {
        BigEndianWriter markers;
        for (const PlayfieldLineMarker& marker : p.lineMarkers) {
            markers.Zeros(4);
            markers.Float(marker.x1);
            markers.Float(marker.x2);
            markers.Float(marker.z1);
            markers.Float(marker.z2);
        }
        fork.Add(OSTypeFrom("CkPt"), kFirstId, markers.Take());
    }
    return fork;
}

std::vector<uint8_t> BuildPlayfieldDataFork(const PlayfieldDescription& p)
{
    BigEndianWriter out;
    for (const std::vector<uint8_t>& image : p.images) {
        out.I32(int32_t(image.size() + 4));
        out.I32(4);
        out.Bytes(image);
    }
    return out.Take();
}

void WritePlayfield(const PlayfieldDescription& playfield, const std::filesystem::path& path)
{
    WriteFileBytes(path, BuildPlayfieldDataFork(playfield));
    std::filesystem::path fork = path;
    fork += ".rsrc";
    BuildPlayfieldResourceFork(playfield).WriteAppleDouble(fork);
}
