// The level-1 script kept in the repository: the whole first level flown by the level pilot, every
// egg delivered and the exit taken. Fly it again (see the README) when flight, scenery or the level
// generator change, and set the frame below from the new flight's trace.
#pragma once

inline constexpr const char* kLevelOneScript = QUORVEL_SOURCE_DIR "/Tests/Scripts/level1-complete.txt";
// The last frame the level plays: the player is drawn into the exit wormhole and the level ends.
inline constexpr int kLevelOneLastFrame = 6056;
