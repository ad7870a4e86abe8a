// The output device and the mix: SDL's callback sums the playing sources slice by slice and scales
// the sum by the master gain.

#include <algorithm>
#include <stdexcept>
#include <string>

#include "Tarnet/cmixer/MixerLocal.h"

namespace cmixer {
namespace detail {

Mixer& TheMixer()
{
    static Mixer mixer;
    return mixer;
}

} // namespace detail

using detail::Mixer;
using detail::Output;
using detail::TheMixer;

namespace {

void AudioCallback(void*, Uint8* stream, int bytes)
{
    MixOutput(reinterpret_cast<int16_t*>(stream), bytes / 2);
}

void StartMixer(Output output, int outputSampleRate)
{
    Mixer& mixer = TheMixer();
    mixer.mutex = SDL_CreateMutex();
    if (!mixer.mutex)
        throw std::runtime_error(std::string("couldn't create the mixer mutex: ") + SDL_GetError());
    mixer.output = output;
    mixer.outputSampleRate = outputSampleRate;
    mixer.masterGain = kOne / 2;
}

} // namespace

void OpenDevice()
{
    Mixer& mixer = TheMixer();
    if (mixer.audioInitialised)
        throw std::runtime_error("SDL audio subsystem already inited");
    if (mixer.output != Output::kClosed)
        CloseDevice();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        throw std::runtime_error("couldn't init SDL audio subsystem");
    mixer.audioInitialised = true;

    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    wanted.callback = AudioCallback;
    SDL_AudioSpec granted{};
    SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &granted, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (device == 0) {
        std::string error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        mixer.audioInitialised = false;
        throw std::runtime_error(error);
    }
    mixer.device = device;
    StartMixer(Output::kDevice, granted.freq);
    SDL_PauseAudioDevice(device, 0);
}

void OpenWithoutDevice(int outputSampleRate, bool driven)
{
    if (TheMixer().output != Output::kClosed)
        CloseDevice();
    StartMixer(driven ? Output::kDriven : Output::kSilent, std::max(1, outputSampleRate));
}

void CloseDevice()
{
    Mixer& mixer = TheMixer();
    // Closing the device waits for a running callback, so after it nothing mixes any more.
    if (mixer.device)
        SDL_CloseAudioDevice(mixer.device);
    mixer.device = 0;
    // Sources outlive the mixer: forget them so that their destruction touches no list.
    for (Source* source = mixer.head; source;) {
        Source* next = source->next;
        source->active = false;
        source->previous = source->next = nullptr;
        source = next;
    }
    mixer.head = mixer.tail = nullptr;
    if (mixer.mutex)
        SDL_DestroyMutex(mixer.mutex);
    mixer.mutex = nullptr;
    if (mixer.audioInitialised)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    mixer.audioInitialised = false;
    mixer.output = Output::kClosed;
}

bool IsOpen()
{
    return TheMixer().output != Output::kClosed;
}

bool HasDevice()
{
    return TheMixer().output == Output::kDevice;
}

int OutputSampleRate()
{
    return TheMixer().outputSampleRate;
}

void SetMasterGain(double gain)
{
    // Clamped far above any useful gain so that the conversion to int stays defined.
    TheMixer().masterGain = int(std::clamp(gain, 0.0, 1000.0) * kOne);
}

double GetMasterGain()
{
    return double(TheMixer().masterGain.load()) / kOne;
}

void MixOutput(int16_t* samples, int count)
{
    Mixer& mixer = TheMixer();
    const int64_t masterGain = mixer.masterGain.load(std::memory_order_relaxed);
    while (count > 0) {
        const int sliceSamples = std::min(count, kSliceSamples);
        int32_t* accumulator = mixer.accumulator;
        std::fill(accumulator, accumulator + sliceSamples, 0);

        {
            detail::MixerLock lock;
            for (Source* source = mixer.head; source;) {
                Source* next = source->next;
                source->MixInto(accumulator, sliceSamples);
                if (source->GetState() != kPlaying)
                    source->UnlinkLocked();
                source = next;
            }
        }

        for (int i = 0; i < sliceSamples; i++) {
            int64_t value = (masterGain * accumulator[i]) >> kFractionBits;
            samples[i] = int16_t(std::clamp<int64_t>(value, -32768, 32767));
        }
        samples += sliceSamples;
        count -= sliceSamples;
    }
}

} // namespace cmixer
