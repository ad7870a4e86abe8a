// quorvel-data sound: the printed summary, the WAV it writes, 'snd ' resources, damaged input.

#include <sys/wait.h>

#include <cstdio>

#include "SoundTestSupport.h"
#include "Tarnet/Resources/ResourceForkWriter.h"

using namespace Tarnet;
namespace fs = std::filesystem;

namespace {

struct ToolRun
{
    int exitCode;
    std::string output;
};

ToolRun RunSoundTool(const std::string& arguments)
{
    std::string command =
        std::string("'" QUORVEL_BINARY_DIR "/Tools/quorvel-data' sound ") + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {-1, "popen failed"};
    std::string output;
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe))
        output.append(buffer, n);
    int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

std::string Quoted(const fs::path& path)
{
    // Appended piece by piece: GCC 12 at -O3 takes "'" + string for an overlapping copy.
    std::string quoted = "'";
    quoted.append(path.string());
    quoted.push_back('\'');
    return quoted;
}

class SoundTool : public TarnetTest
{
protected:
    void SetUp() override
    {
        TarnetTest::SetUp();
        ASSERT_TRUE(fs::exists(QUORVEL_BINARY_DIR "/Tools/quorvel-data")) << "build the quorvel-data target";
    }

    // The 16-bit samples of a WAV file the tool wrote (its header is 44 bytes).
    std::vector<int16_t> WavSamples(const fs::path& path)
    {
        std::string bytes = ReadFile(path);
        EXPECT_GE(bytes.size(), 44u);
        EXPECT_EQ(bytes.substr(0, 4), "RIFF");
        std::vector<int16_t> samples((bytes.size() - 44) / 2);
        for (size_t i = 0; i < samples.size(); i++)
            samples[i] = int16_t(uint8_t(bytes[44 + 2 * i]) | (uint8_t(bytes[45 + 2 * i]) << 8));
        return samples;
    }
};

TEST_F(SoundTool, DecodesAnAIFFAndReportsItsLoop)
{
    std::vector<uint8_t> file = AIFFBuilder()
                                    .Common(2, 3, 16, 11025)
                                    .Markers({{1, 1}, {2, 3}})
                                    .Instrument(60, 1, 1, 2)
                                    .Sound(BigEndianSamples({1, -1, 2, -2, 300, -300}))
                                    .Build();
    WriteBytes(Root() / "loop.aiff", file);
    ToolRun run = RunSoundTool(Quoted(Root() / "loop.aiff") + " " + Quoted(Root() / "out.wav") +
                               " --spectrogram " + Quoted(Root() / "out.png"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    // Levels: peak 300 of 32768, RMS sqrt(180010 / 6) = 173.2.
    EXPECT_EQ(run.output,
              "rate 11025\nchannels 2\nframes 3\nsustain loop 1 3\npeak -40.8 rms -45.5 clipped 0\n");
    EXPECT_TRUE(fs::exists(Root() / "out.png"));
    EXPECT_EQ(WavSamples(Root() / "out.wav"), (std::vector<int16_t>{1, -1, 2, -2, 300, -300}));
}

TEST_F(SoundTool, DecodesASndResourceAsTheSoundManagerExpandsIt)
{
    Bytes resource;
    resource.U16(1).U16(1).U16(5).U32(0).U16(1).U16(0x8000 | bufferCmd).U16(0).U32(20);
    resource.U32(0).U32(3).U32(22050u << 16).U32(0).U32(0).U8(0).U8(60).U8(0x80).U8(0xFF).U8(0x00);
    ResourceForkWriter writer;
    writer.Add(OSTypeFrom("snd "), 128, resource.data);
    writer.WriteAppleDouble(Root() / "sounds.rsrc");

    ToolRun run = RunSoundTool(Quoted(Root() / "sounds") + " --snd 128 " + Quoted(Root() / "snd.wav"));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "rate 22050\nchannels 1\nframes 3\npeak 0.0 rms -1.8 clipped 1\n");
    EXPECT_EQ(WavSamples(Root() / "snd.wav"), (std::vector<int16_t>{0, 32512, -32768}));

    ToolRun missing = RunSoundTool(Quoted(Root() / "sounds") + " --snd 129 " + Quoted(Root() / "x.wav"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("no 'snd ' resource 129"), std::string::npos) << missing.output;
}

TEST_F(SoundTool, DamagedAndUnknownFilesFailWithAMessage)
{
    std::vector<uint8_t> file = AIFFBuilder().Common(1, 4, 16, 8000).Build();
    file.resize(file.size() - 3);
    WriteBytes(Root() / "short.aiff", file);
    ToolRun run = RunSoundTool(Quoted(Root() / "short.aiff") + " " + Quoted(Root() / "x.wav"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("short.aiff"), std::string::npos) << run.output;

    WriteBytes(Root() / "sound.wav", file);
    run = RunSoundTool(Quoted(Root() / "sound.wav") + " " + Quoted(Root() / "x.wav"));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("not named as a sound file"), std::string::npos) << run.output;

    EXPECT_EQ(RunSoundTool("").exitCode, 2);
}

} // namespace
