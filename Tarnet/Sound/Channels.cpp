// Sound channels: each owns one mixer voice and the parameters the commands set. Commands act at
// once on the game thread; the voice's single-value setters reach the audio thread at its next
// slice, and installing a sound takes the mixer mutex.
//
//   code    command             effect
//   3       quietCmd            stop (the next play starts from the beginning)
//   5       reInitCmd           interpolation = param2 without initNoInterp
//   42      freqCmd             played note = low byte of param2; pitch
//   43      ampCmd              volume = param1 / 256
//   46      volumeCmd           param2 = right << 16 | left (0x100 = full): pan and volume
//   80, 81  soundCmd, bufferCmd play the sound header param2 points at, from the caller's memory
//   82, 86  rateCmd, rateMultiplierCmd  rate multiplier = param2 as 16.16 fixed point; pitch
//   0x7001  loopExtensionCmd    loop = param1 != 0
//   0x7002  pauseExtensionCmd   pause a playing voice
//   0x7003  resumeExtensionCmd  resume a paused voice
//   others are ignored.

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "Tarnet/Memory/Memory.h"
#include "Tarnet/Sound/Sound.h"
#include "Tarnet/cmixer/cmixer.h"

namespace Tarnet {
namespace {

constexpr double kMaxVolume = 2.5;

struct ChannelImpl
{
    ChannelImpl* previous = nullptr;
    ChannelImpl* next = nullptr;
    SndChannel* record = nullptr;
    bool ownsRecord = false;
    cmixer::WavStream voice;
    double pan = 0.0;
    double volume = 1.0;
    uint8_t baseNote = 60;
    uint8_t playedNote = 60;
    double rateMultiplier = 1.0;
    bool loop = false;
    bool interpolate = false;
};

ChannelImpl* gChannelListHead = nullptr;
int gChannelCount = 0;
double gNoteFrequencies[128];

ChannelImpl* ImplOf(SndChannelPtr channel)
{
    return channel ? static_cast<ChannelImpl*>(channel->channelImpl) : nullptr;
}

void UpdatePitch(ChannelImpl& channel)
{
    channel.voice.SetPitch(Sound::NoteFrequency(channel.playedNote) * channel.rateMultiplier /
                           Sound::NoteFrequency(channel.baseNote));
}

void UpdateVolume(ChannelImpl& channel)
{
    channel.volume = std::min(channel.volume, kMaxVolume);
    channel.voice.SetPan(channel.pan);
    channel.voice.SetGain(channel.volume);
}

// Puts the sound a header describes into the channel's voice and plays it. With `copy` the voice
// keeps its own copy of the samples; without, they are played from the caller's memory.
void InstallSound(ChannelImpl& channel, const uint8_t* header, size_t available, bool copy)
{
    // 1. Silence the voice and drop its data before anything else is decided.
    channel.voice.ResetAndClear();

    // 2. Describe the header; every size is checked against `available` there.
    SoundDescription description;
    DescribeSoundHeader(header, available, &description);
    std::span<const uint8_t> encoded(description.dataStart, size_t(description.encodedLength));
    const int sampleRate = int(description.sampleRate);

    // 3. Decode compressed data into the voice's own buffer; PCM is copied or used in place.
    if (description.compressed) {
        int32_t decodedLength = Sound::CheckedDecodedLength(description);
        std::span<uint8_t> buffer = channel.voice.GetBuffer(size_t(decodedLength));
        Sound::DecodeSoundData(description, encoded, buffer);
        channel.voice.Init(sampleRate, 16, description.numChannels, false, buffer);
    } else if (copy) {
        std::span<uint8_t> buffer = channel.voice.GetBuffer(encoded.size());
        std::memcpy(buffer.data(), encoded.data(), encoded.size());
        channel.voice.Init(sampleRate, description.bitsPerSample, description.numChannels,
                           description.bigEndian != 0, buffer, Sound::HasSignedBytes(description));
    } else {
        channel.voice.Init(sampleRate, description.bitsPerSample, description.numChannels,
                           description.bigEndian != 0, encoded, Sound::HasSignedBytes(description));
    }

    // 4. The sound's own note and sustain loop.
    channel.baseNote = uint8_t(std::clamp(description.baseNote, 0, 255));
    if (int64_t(description.loopEnd) - description.loopStart > 1) {
        channel.voice.SetLoop(true);
        channel.voice.SetLoopStart(description.loopStart);
    }

    // 5. The channel's settings, then play.
    UpdateVolume(channel);
    UpdatePitch(channel);
    channel.voice.SetInterpolation(channel.interpolate);
    channel.voice.Play();
}

void DestroyChannel(ChannelImpl* channel)
{
    if (channel->previous) {
        channel->previous->next = channel->next;
        channel->previous->record->nextChan = channel->next ? channel->next->record : nullptr;
    } else {
        gChannelListHead = channel->next;
    }
    if (channel->next)
        channel->next->previous = channel->previous;
    gChannelCount--;

    SndChannel* record = channel->record;
    record->channelImpl = nullptr;
    record->nextChan = nullptr;
    bool ownsRecord = channel->ownsRecord;
    delete channel; // the voice leaves the mixer under its mutex
    if (ownsRecord)
        delete record;
}

} // namespace

namespace Sound {

double NoteFrequency(int note)
{
    if (note < 0 || note > 127)
        return 440.0;
    return gNoteFrequencies[note];
}

void StartupSoundManager()
{
    if (cmixer::IsOpen())
        return; // started already: the layer's start-up may run twice
    for (int note = 0; note < 128; note++)
        gNoteFrequencies[note] = 440.0 * std::pow(2.0, (note - 69) / 12.0);
    try {
        cmixer::OpenDevice();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Warning: no audio device (%s); the game runs without sound.\n", e.what());
        cmixer::OpenWithoutDevice(44100, false);
    }
}

void ShutdownSoundManager()
{
    while (gChannelListHead)
        DestroyChannel(gChannelListHead);
    cmixer::CloseDevice();
}

ChannelParameters GetChannelParameters(SndChannelPtr channel)
{
    ChannelImpl* impl = ImplOf(channel);
    if (!impl)
        throw std::invalid_argument("GetChannelParameters: not a live channel");
    return {impl->pan,  impl->volume,     impl->baseNote, impl->playedNote, impl->rateMultiplier,
            impl->loop, impl->interpolate};
}

cmixer::WavStream* GetChannelVoice(SndChannelPtr channel)
{
    ChannelImpl* impl = ImplOf(channel);
    return impl ? &impl->voice : nullptr;
}

int CountSoundChannels()
{
    return gChannelCount;
}

} // namespace Sound

OSErr SndNewChannel(SndChannelPtr* channel, short synth, long init, SndCallBackProcPtr userRoutine)
{
    if (synth != sampledSynth)
        return unimpErr;
    if (!channel)
        return paramErr;
    auto* impl = new ChannelImpl;
    if (!*channel) {
        *channel = new SndChannel{};
        impl->ownsRecord = true;
    }
    SndChannel* record = *channel;
    record->callBack = userRoutine;
    record->channelImpl = impl;
    impl->record = record;
    impl->interpolate = !(init & initNoInterp);

    impl->next = gChannelListHead;
    if (gChannelListHead)
        gChannelListHead->previous = impl;
    record->nextChan = gChannelListHead ? gChannelListHead->record : nullptr;
    gChannelListHead = impl;
    gChannelCount++;
    return noErr;
}

OSErr SndDisposeChannel(SndChannelPtr channel, Boolean)
{
    ChannelImpl* impl = ImplOf(channel);
    if (!impl)
        return badChannel;
    DestroyChannel(impl);
    return noErr;
}

OSErr SndDoImmediate(SndChannelPtr channel, const SndCommand* command)
{
    ChannelImpl* impl = ImplOf(channel);
    if (!impl || !command)
        return badChannel;
    ChannelImpl& ch = *impl;
    cmixer::WavStream& voice = ch.voice;

    switch (command->cmd & ~dataOffsetFlag) {
    case quietCmd:
        voice.Stop();
        break;
    case reInitCmd:
        ch.interpolate = !(command->param2 & initNoInterp);
        voice.SetInterpolation(ch.interpolate);
        break;
    case freqCmd:
        ch.playedNote = uint8_t(command->param2 & 0xFF);
        UpdatePitch(ch);
        break;
    case ampCmd:
        ch.volume = command->param1 / 256.0;
        UpdateVolume(ch);
        break;
    case volumeCmd: {
        const int right = int((command->param2 >> 16) & 0xFFFF);
        const int left = int(command->param2 & 0xFFFF);
        ch.pan = left + right == 0 ? 0.0 : double(right) / (left + right) * 2.0 - 1.0;
        ch.volume = std::max(left, right) / 256.0;
        UpdateVolume(ch);
        break;
    }
    case soundCmd:
    case bufferCmd:
        InstallSound(ch, reinterpret_cast<const uint8_t*>(command->param2), SIZE_MAX / 2, false);
        break;
    case rateCmd:
    case rateMultiplierCmd:
        ch.rateMultiplier = int32_t(uint32_t(command->param2)) / 65536.0;
        UpdatePitch(ch);
        break;
    case loopExtensionCmd:
        ch.loop = command->param1 != 0;
        voice.SetLoop(ch.loop);
        break;
    case pauseExtensionCmd:
        if (voice.GetState() == cmixer::kPlaying)
            voice.Pause();
        break;
    case resumeExtensionCmd:
        if (voice.GetState() == cmixer::kPaused)
            voice.Play();
        break;
    default:
        break;
    }
    return noErr;
}

OSErr SndDoCommand(SndChannelPtr channel, const SndCommand* command, Boolean)
{
    return SndDoImmediate(channel, command);
}

OSErr SndChannelStatus(SndChannelPtr channel, short statusLength, SCStatus* status)
{
    if (statusLength < short(sizeof(SCStatus)) || !status)
        return paramErr;
    ChannelImpl* impl = ImplOf(channel);
    if (!impl)
        return badChannel;
    std::memset(status, 0, sizeof(SCStatus));
    cmixer::State state = impl->voice.GetState();
    status->scChannelBusy = state != cmixer::kStopped;
    status->scChannelPaused = state == cmixer::kPaused;
    return noErr;
}

OSErr SndStartFilePlay(SndChannelPtr channel, short fRefNum, short resNum, long, void*, void* theSelection,
                       FilePlayCompletionProcPtr completion, Boolean async)
{
    if (resNum != 0)
        return unimpErr;
    ChannelImpl* impl = ImplOf(channel);
    if (!impl)
        return async ? badChannel : unimpErr;
    if (theSelection)
        return unimpErr;

    Handle block = Sound::LoadSoundFile(fRefNum);
    if (!block)
        return badFileFormat;
    try {
        InstallSound(*impl, reinterpret_cast<const uint8_t*>(*block) + 2, size_t(GetHandleSize(block)) - 2,
                     true);
    } catch (...) {
        DisposeHandle(block);
        throw;
    }
    DisposeHandle(block);

    if (completion) {
        impl->voice.SetCompletion([channel, completion] { completion(channel); });
        impl->voice.Play();
    }
    if (async)
        return noErr;

    // Without an audio device nothing would ever end the sound.
    while (cmixer::HasDevice() && impl->voice.GetState() != cmixer::kStopped)
        SDL_Delay(100);
    impl->voice.ResetAndClear();
    return noErr;
}

OSErr SndStopFilePlay(SndChannelPtr channel, Boolean)
{
    ChannelImpl* impl = ImplOf(channel);
    if (!impl)
        return badChannel;
    impl->voice.Stop();
    return noErr;
}

OSErr SndPauseFilePlay(SndChannelPtr channel)
{
    ChannelImpl* impl = ImplOf(channel);
    if (!impl)
        return badChannel;
    impl->voice.TogglePause();
    return noErr;
}

OSErr GetDefaultOutputVolume(long* level)
{
    if (!level)
        return paramErr;
    long gain = long(cmixer::GetMasterGain() * 256) & 0xFFFF;
    *level = (gain << 16) | gain;
    return noErr;
}

OSErr SetDefaultOutputVolume(long level)
{
    cmixer::SetMasterGain((level & 0xFFFF) / 256.0);
    return noErr;
}

} // namespace Tarnet
