// Writes Data/Audio: Main/<NAME>.aiff for the 37 effects, Narration/STORY1..7.aiff and the six
// songs as MP3. The songs are the slow part (composing and encoding a minute of stereo each), so
// they are made on two threads; each song is computed alone from its own seed, so the bytes do not
// depend on the order the threads finish in.

#include "DataForge/Content/Audio.h"
#include "DataForge/Forge.h"
#include "DataForge/Writers/BigEndianWriter.h"

#include <atomic>
#include <exception>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

static void WriteSongs(const fs::path& audioFolder)
{
    std::atomic<int> nextSong{0};
    std::vector<std::exception_ptr> failures(kSongCount);
    auto worker = [&]() {
        for (int song = nextSong++; song < kSongCount; song = nextSong++) {
            try {
                WriteFileBytes(audioFolder / SongFileName(song), EncodeMP3(ComposeSong(song), kSongBitRate));
            } catch (...) {
                failures[size_t(song)] = std::current_exception();
            }
        }
    };
    std::thread helper(worker);
    worker();
    helper.join();
    for (const std::exception_ptr& failure : failures) {
        if (failure)
            std::rethrow_exception(failure);
    }
}

void ForgeAudio(const fs::path& dataFolder)
{
    const fs::path audio = dataFolder / "Audio";
    fs::create_directories(audio / "Main");
    fs::create_directories(audio / "Narration");

    // The songs start first: their thread runs while the effects and the narration are made here.
    std::exception_ptr songFailure;
    std::thread songs([&]() {
        try {
            WriteSongs(audio);
        } catch (...) {
            songFailure = std::current_exception();
        }
    });
    try {
        for (int i = 0; i < MainBankEffectCount(); i++)
            WriteFileBytes(audio / "Main" / (std::string(MainBankEffectName(i)) + ".aiff"),
                           BuildAIFF(MakeMainBankEffect(i)));
        for (int line = 1; line <= kNarrationLines; line++)
            WriteFileBytes(audio / "Narration" / ("STORY" + std::to_string(line) + ".aiff"),
                           BuildAIFF(MakeNarration(line)));
    } catch (...) {
        songs.join();
        throw;
    }
    songs.join();
    if (songFailure)
        std::rethrow_exception(songFailure);
}
