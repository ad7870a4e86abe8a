// Whole sound files into sound blocks, the decoder chosen by the file name's extension.

#include <algorithm>
#include <stdexcept>
#include <string>

#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Sound/SoundFiles.h"
#include "Tarnet/Streams/BigEndianReader.h"

namespace Tarnet::Sound {
namespace {

std::string UpperCaseExtension(const char* name)
{
    std::string text(name);
    size_t dot = text.rfind('.');
    if (dot == std::string::npos)
        return {};
    std::string extension = text.substr(dot);
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    }
    return extension;
}

Handle LoadAIFF(std::istream& stream)
{
    BigEndianReader in(stream);
    SoundDescription description = ReadAIFF(stream);
    // The samples stay as stored (compressed or big-endian); they must all be in the file.
    const uint64_t left = in.Length() - in.Tell();
    if (uint64_t(description.encodedLength) > left)
        throw std::runtime_error("AIFF: SSND claims " + std::to_string(description.encodedLength) +
                                 " bytes of samples but the file holds " + std::to_string(left));
    Ptr data = nullptr;
    Handle block = MakeSoundBlock(description, nullptr, &data);
    try {
        in.ReadBytes(data, size_t(description.encodedLength));
    } catch (...) {
        DisposeHandle(block);
        throw;
    }
    return block;
}

Handle LoadMP3(std::istream& stream)
{
    BigEndianReader in(stream);
    const uint64_t length = in.Length();
    if (length > uint64_t(kMaxDecodedBytes))
        throw std::runtime_error("MP3: file of " + std::to_string(length) + " bytes is too large");
    std::vector<uint8_t> file = in.ReadByteVector(size_t(length));
    DecodedMP3 decoded = DecodeMP3(file);
    return MakeSoundBlock(decoded.description, decoded.samples.data());
}

} // namespace

Handle LoadSoundFile(int16_t refNum)
{
    Files::ForkHandle* fork = Files::GetForkForRefNum(refNum);
    if (!fork)
        throw std::runtime_error("LoadSoundFile: refNum " + std::to_string(refNum) + " has no open file");
    std::istream& stream = fork->Stream();
    stream.clear();
    stream.seekg(0);

    std::string extension = UpperCaseExtension(fork->spec.name);
    if (extension == ".AIFF" || extension == ".AIFC" || extension == ".AIF")
        return LoadAIFF(stream);
    if (extension == ".MP3")
        return LoadMP3(stream);
    return nullptr;
}

} // namespace Tarnet::Sound
