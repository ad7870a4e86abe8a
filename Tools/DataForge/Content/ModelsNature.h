// Shapes of the natural world shared by the scene files: skies, rocks, trees, bushes, grasses,
// flowers, cacti, crystals and mushrooms. Each returns geometry only (with UVs, and vertex colours
// where noted); the scene file picks the material. Sizes are in model units, ground at y = 0.
#pragma once

#include "DataForge/Content/MeshBuilder.h"
#include "DataForge/Content/ModelsKit.h"
#include "DataForge/Content/TextureSynth.h"

#include <cstdint>

// Skies: a dome seen from inside (v = 0 at the zenith, 1 at the horizon, dipping below it) and a
// flat cloud sheet facing down at y = 0, half-size 1, its texture repeated uvRepeat times.
Mesh SkyDomeMesh(float radius);
Mesh CloudLayerMesh(float uvRepeat);
// Scene models 0 and 1: the sky dome with a gradient through `skyStops` (zenith first) and the
// cloud layer with `cloudCover` (0..1) of the sky covered.
void AddSkyModels(ModelFileBuilder& file, const std::vector<Rgb>& skyStops, Rgb cloudTint, float cloudCover,
                  uint32_t seed);

// A faceted boulder: a noisy, stretched sphere whose bottom is flattened near y = 0.
Mesh RockMesh(float radius, Vec3 stretch, float roughness, uint32_t seed);

// Trees. A trunk with a flared root and a lean; branches as tapered tubes from `from` to `to`.
Mesh TrunkMesh(float height, float radius, float lean, uint32_t seed);
Mesh BranchMesh(Vec3 from, Vec3 to, float radiusFrom, float radiusTo);
// A conifer crown: `tiers` drooping cones stacked from baseY to topY.
Mesh ConeTiersMesh(float baseY, float topY, float radius, int tiers, uint32_t seed);
// A broadleaf crown: lumpy spheres clustered inside the ellipsoid (centre, radii).
Mesh LumpyCrownMesh(Vec3 centre, Vec3 radii, int lumps, uint32_t seed);
// Leaf cards for alpha-tested crowns: two-sided quads scattered over the ellipsoid (centre, radii).
Mesh LeafCardsMesh(Vec3 centre, Vec3 radii, int cards, float cardSize, uint32_t seed);
// Drooping leaf strips radiating from (0, height, 0): palms, ferns and swamp moss (two-sided).
Mesh FrondsMesh(int fronds, float height, float length, float width, float droop, uint32_t seed);

// Small plants (vertex-coloured from `base` at the root to `tip`).
Mesh SpikeClusterMesh(int spikes, float height, float spread, float thickness, Rgb base, Rgb tip,
                      uint32_t seed);
Mesh FlowerPatchMesh(int flowers, float spread, float height, Rgb petal, Rgb centre, uint32_t seed);
Mesh ReedsMesh(int stalks, float height, float spread, uint32_t seed);
// Crossed two-sided cards for a grass texture.
Mesh GrassTuftMesh(int cards, float height, float radius, uint32_t seed);
// Bare twiggy branches from the ground (thorn and desert bushes), vertex-coloured.
Mesh TwigsMesh(int twigs, float height, float spread, Rgb wood, Rgb tip, uint32_t seed);

// Desert plants and minerals.
Mesh SaguaroMesh(float height, float radius, int arms, uint32_t seed);
Mesh BarrelCactusMesh(float radius, float height);
Mesh PadCactusMesh(int pads, float size, uint32_t seed);
Mesh CrystalClusterMesh(int shards, float height, uint32_t seed);

// Mushrooms: the cap (a dome with a rim) and its stem, to be drawn with different materials.
Mesh MushroomCapMesh(float radius, float stemHeight, float tilt);
Mesh MushroomStemMesh(float radius, float height);
// A bulbous pod on a short neck with an open mouth at the top (gas plants, pitcher plants).
Mesh PodMesh(float radius, float height, uint32_t seed);
