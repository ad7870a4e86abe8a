// The Sound Manager: sound channels that each own one mixer voice, the commands the game sends
// them (they act at once; there is no queue), file playback, and the 'snd ' header calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Tarnet/MacTypes.h"
#include "Tarnet/Sound/SoundFiles.h"

namespace cmixer {
class WavStream;
}

namespace Tarnet {

using Sound::SoundDescription;

struct SndChannel;
using SndChannelPtr = SndChannel*;
using SndCallBackProcPtr = void (*)(SndChannelPtr channel, struct SndCommand* command);
using FilePlayCompletionProcPtr = void (*)(SndChannelPtr channel);
using SndListHandle = Handle;

// The game-visible channel record; the layer maintains the links and the implementation.
struct SndChannel
{
    SndChannel* nextChan = nullptr;
    SndCallBackProcPtr callBack = nullptr; // stored, never called
    intptr_t userInfo = 0;
    void* channelImpl = nullptr; // null after disposal
};

struct SndCommand
{
    uint16_t cmd = 0; // bit 15 (the data-offset flag) is ignored
    int16_t param1 = 0;
    intptr_t param2 = 0;
};

struct SCStatus
{
    uint32_t scStartTime;
    uint32_t scEndTime;
    uint32_t scCurrentTime;
    uint8_t scChannelBusy;
    uint8_t scChannelDisposed;
    uint8_t scChannelPaused;
    uint8_t scUnused;
    uint32_t scChannelAttributes;
    int32_t scCPULoad;
};
static_assert(sizeof(SCStatus) == 24);

// Result codes of the Sound Manager.
inline constexpr OSErr badChannel = -205;
inline constexpr OSErr badFormat = -206;
inline constexpr OSErr badFileFormat = -208;

inline constexpr int16_t sampledSynth = 5;

// Channel init flags.
inline constexpr long initMono = 0x0080;
inline constexpr long initStereo = 0x00C0;
inline constexpr long initNoInterp = 0x0004;
inline constexpr long initMACE6 = 0x0400;

// Commands.
inline constexpr uint16_t nullCmd = 0;
inline constexpr uint16_t quietCmd = 3;
inline constexpr uint16_t reInitCmd = 5;
inline constexpr uint16_t freqCmd = 42;
inline constexpr uint16_t ampCmd = 43;
inline constexpr uint16_t volumeCmd = 46;
inline constexpr uint16_t soundCmd = 80;
inline constexpr uint16_t bufferCmd = 81;
inline constexpr uint16_t rateCmd = 82;
inline constexpr uint16_t rateMultiplierCmd = 86;
inline constexpr uint16_t loopExtensionCmd = 0x7001;
inline constexpr uint16_t pauseExtensionCmd = 0x7002;
inline constexpr uint16_t resumeExtensionCmd = 0x7003;
inline constexpr uint16_t dataOffsetFlag = 0x8000;

// Creates a channel at the head of the layer's list: synth must be sampledSynth (else
// unimpErr); a null *channel gets a record owned by the layer. Interpolation is on unless the
// init flags hold initNoInterp.
OSErr SndNewChannel(SndChannelPtr* channel, short synth, long init, SndCallBackProcPtr userRoutine);
// Stops and destroys the channel's voice, unlinks it and frees a record the layer allocated.
OSErr SndDisposeChannel(SndChannelPtr channel, Boolean quietNow);

// Both run the command at once (the table of commands is in Channels.cpp); always noErr.
OSErr SndDoCommand(SndChannelPtr channel, const SndCommand* command, Boolean noWait);
OSErr SndDoImmediate(SndChannelPtr channel, const SndCommand* command);

// Busy (the voice is not stopped) and paused; paramErr for a length below 24 bytes.
OSErr SndChannelStatus(SndChannelPtr channel, short statusLength, SCStatus* status);

// Loads the whole open file `fRefNum` (AIFF, AIFF-C or MP3 by its extension) and plays it on the
// channel. Resource numbers, selections and synchronous play without a channel give unimpErr,
// asynchronous play without a channel badChannel, another extension badFileFormat. Synchronous
// play waits until the sound ends (not at all without an audio device).
OSErr SndStartFilePlay(SndChannelPtr channel, short fRefNum, short resNum, long bufferSize, void* theBuffer,
                       void* theSelection, FilePlayCompletionProcPtr completion, Boolean async);
OSErr SndStopFilePlay(SndChannelPtr channel, Boolean quietNow); // stops; the next play rewinds
OSErr SndPauseFilePlay(SndChannelPtr channel);                  // toggles paused and playing

// Where the sound header of a 'snd ' resource (format 1 or 2) or a sound block starts:
// badFormat for other formats or no sound command; unsupported features throw.
OSErr GetSoundHeaderOffset(SndListHandle sndHandle, long* offset);

// Describes a sound header (standard, extended or compressed, or a sound block's): reads up to
// 64 bytes of it. Unsupported encodings throw.
OSErr GetSoundInfo(const Ptr soundHeader, SoundDescription* info);

// As GetSoundInfo, for a header with only `available` bytes from its start to the end of its
// memory: a header or sample data that would run past them throws std::runtime_error.
void DescribeSoundHeader(const uint8_t* soundHeader, size_t available, SoundDescription* info);

// Replaces *sound by a sound block of 16-bit host-order PCM (decoding compressed data) and
// reports the header offset 2.
OSErr ExpandSoundHandle(SndListHandle* sound, long* headerOffset);

// The master gain as (gain * 256) in both 16-bit halves, and setting it from the low half.
OSErr GetDefaultOutputVolume(long* level);
OSErr SetDefaultOutputVolume(long level);

namespace Sound {

// Start-up: the MIDI-note frequency table, then the audio device; without a device the layer
// runs silently after one warning on standard error. Shut-down disposes every channel and
// closes the device.
void StartupSoundManager();
void ShutdownSoundManager();

// The frequency in Hz of a MIDI note (440 at note 69); notes above 127 read as 440.
double NoteFrequency(int note);

// For tests and tools: a channel's parameters and voice (null after disposal), and the number
// of channels alive.
struct ChannelParameters
{
    double pan;
    double volume;
    int baseNote;
    int playedNote;
    double rateMultiplier;
    bool loop;
    bool interpolate;
};
ChannelParameters GetChannelParameters(SndChannelPtr channel);
cmixer::WavStream* GetChannelVoice(SndChannelPtr channel);
int CountSoundChannels();

} // namespace Sound
} // namespace Tarnet
