// AIFF and AIFF-C files (big-endian):
//   'FORM' size 'AIFF'|'AIFC', then chunks: ID (4), size (4), data, one pad byte after odd sizes.
//   COMM  channels (2), frames (4), bits (2), 80-bit sample rate; AIFC adds the compression type
//         (4) and its name as a Pascal string padded to even length
//   FVER  version (4) = 0xA2805140
//   MARK  count (2), per marker: ID (2), frame (4), Pascal name padded to even length
//   INST  base note (1), detune, notes and velocities (5), gain (2), sustain loop: play mode (2),
//         begin and end marker IDs (2 + 2), release loop (6). MARK must come first.
//   SSND  offset (4) = 0, block size (4) = 0, then the samples; after COMM.

#include <cmath>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>

#include "Tarnet/Sound/Codecs.h"
#include "Tarnet/Sound/SoundFiles.h"
#include "Tarnet/Streams/BigEndianReader.h"

namespace Tarnet::Sound {
namespace {

[[noreturn]] void Fail(const std::string& what)
{
    throw std::runtime_error("AIFF: " + what);
}

constexpr uint32_t kFormatVersionAIFC = 0xA2805140;

void ReadCommonChunk(BigEndianReader& in, bool aifc, SoundDescription& description)
{
    description.numChannels = in.ReadBigEndian<int16_t>();
    uint32_t frames = in.ReadBigEndian<uint32_t>();
    if (frames > uint32_t(INT32_MAX))
        Fail("frame count " + std::to_string(frames) + " out of range");
    description.numFrames = int32_t(frames);
    description.bitsPerSample = in.ReadBigEndian<int16_t>();
    description.sampleRate = in.ReadExtendedFloat();
    if (aifc) {
        description.codec = in.ReadBigEndian<uint32_t>();
        in.ReadPascalString(2); // compression name, for people
    }

    switch (description.codec) {
    case OSTypeFrom("sowt"):
        description.bigEndian = false;
        description.compressed = false;
        break;
    case OSTypeFrom("twos"):
    case OSTypeFrom("NONE"):
    case OSTypeFrom("raw "):
        description.bigEndian = true;
        description.compressed = false;
        break;
    case OSTypeFrom("MAC3"):
    case OSTypeFrom("ima4"):
    case OSTypeFrom("ulaw"):
    case OSTypeFrom("alaw"):
        description.bigEndian = true;
        description.compressed = true;
        break;
    default:
        throw std::runtime_error("unknown AIFF-C compression type");
    }
}

void ReadMarkerChunk(BigEndianReader& in, std::map<int16_t, uint32_t>& markers)
{
    int16_t count = in.ReadBigEndian<int16_t>();
    for (int i = 0; i < count; i++) {
        int16_t id = in.ReadBigEndian<int16_t>();
        uint32_t position = in.ReadBigEndian<uint32_t>();
        in.ReadPascalString(2);
        markers[id] = position; // a repeated ID overwrites
    }
}

int32_t MarkerPosition(const std::map<int16_t, uint32_t>& markers, int16_t id)
{
    auto found = markers.find(id);
    if (found == markers.end())
        throw std::out_of_range("AIFF: INST uses marker " + std::to_string(id) +
                                ", which no MARK chunk before it defines");
    if (found->second > uint32_t(INT32_MAX))
        Fail("marker position " + std::to_string(found->second) + " out of range");
    return int32_t(found->second);
}

void ReadInstrumentChunk(BigEndianReader& in, const std::map<int16_t, uint32_t>& markers,
                         SoundDescription& description)
{
    description.baseNote = in.ReadBigEndian<uint8_t>();
    in.Skip(5); // detune, note range, velocity range
    in.Skip(2); // gain
    int16_t playMode = in.ReadBigEndian<int16_t>();
    int16_t beginMarker = in.ReadBigEndian<int16_t>();
    int16_t endMarker = in.ReadBigEndian<int16_t>();
    in.Skip(6); // release loop
    if (playMode == 0)
        return;
    if (playMode != 1)
        throw std::runtime_error("unsupported AIFF INST playMode");
    description.loopStart = MarkerPosition(markers, beginMarker);
    description.loopEnd = MarkerPosition(markers, endMarker);
}

} // namespace

SoundDescription ReadAIFF(std::istream& stream)
{
    BigEndianReader in(stream);
    const uint64_t streamLength = in.Length();

    if (in.ReadBigEndian<uint32_t>() != OSTypeFrom("FORM"))
        Fail("invalid FORM");
    uint32_t formSize = in.ReadBigEndian<uint32_t>();
    // Some writers leave a FORM size larger than the file; the chunks decide then.
    const uint64_t formEnd = std::min(in.Tell() + formSize, streamLength);
    uint32_t formType = in.ReadBigEndian<uint32_t>();
    if (formType != OSTypeFrom("AIFF") && formType != OSTypeFrom("AIFC"))
        Fail("not an AIFF or AIFC file");
    const bool aifc = formType == OSTypeFrom("AIFC");

    SoundDescription description;
    description.codec = OSTypeFrom("NONE");
    description.compressed = false;
    description.baseNote = 60;
    std::map<int16_t, uint32_t> markers;
    bool haveCommon = false;
    std::optional<uint64_t> dataPosition;

    while (in.Tell() < formEnd) {
        uint32_t chunkID = in.ReadBigEndian<uint32_t>();
        uint32_t chunkSize = in.ReadBigEndian<uint32_t>();
        const uint64_t chunkStart = in.Tell();
        const uint64_t chunkEnd = chunkStart + chunkSize;
        if (chunkEnd > streamLength)
            Fail("chunk '" + FourCCText(chunkID) + "' of " + std::to_string(chunkSize) +
                 " bytes runs past the end of the file");

        switch (chunkID) {
        case OSTypeFrom("COMM"):
            ReadCommonChunk(in, aifc, description);
            haveCommon = true;
            break;
        case OSTypeFrom("FVER"):
            if (in.ReadBigEndian<uint32_t>() != kFormatVersionAIFC)
                Fail("unrecognized FVER");
            break;
        case OSTypeFrom("MARK"):
            ReadMarkerChunk(in, markers);
            break;
        case OSTypeFrom("INST"):
            ReadInstrumentChunk(in, markers, description);
            break;
        case OSTypeFrom("SSND"): {
            if (!haveCommon)
                Fail("reached SSND before COMM");
            if (chunkSize < 8 || in.ReadBigEndian<uint64_t>() != 0)
                Fail("unexpected offset/blockSize in SSND");
            dataPosition = in.Tell();
            description.encodedLength = int32_t(std::min<uint64_t>(chunkSize - 8, INT32_MAX));
            if (description.compressed) {
                std::unique_ptr<Codec> codec = MakeCodec(description.codec);
                int64_t decoded =
                    int64_t(description.numChannels) * description.numFrames * codec->SamplesPerPacket() * 2;
                if (decoded < 0 || decoded > kMaxDecodedBytes)
                    Fail("decoded size " + std::to_string(decoded) + " bytes out of range");
                description.decodedLength = int32_t(decoded);
            } else {
                description.decodedLength = description.encodedLength;
            }
            in.Seek(chunkEnd);
            break;
        }
        default:
            in.Seek(chunkEnd);
            break;
        }

        if (in.Tell() != chunkEnd)
            Fail("incorrect end-of-chunk position");
        if (in.Tell() % 2 != 0 && in.Tell() < streamLength)
            in.Skip(1);
    }

    if (!haveCommon)
        Fail("no COMM chunk");
    if (!dataPosition)
        Fail("no SSND chunk");
    CheckSoundDescription(description, "AIFF");
    in.Seek(*dataPosition);
    return description;
}

} // namespace Tarnet::Sound
