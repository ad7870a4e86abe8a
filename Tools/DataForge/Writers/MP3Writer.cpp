// MP3 through the LAME encoder: constant bit rate, no ID3 tag and no Xing header, so the file is
// nothing but MPEG-1 Layer III frames from its first byte.

#include "DataForge/Writers/AudioWriters.h"

#include <lame/lame.h>

#include <memory>
#include <stdexcept>

std::vector<uint8_t> EncodeMP3(const PCMSound& sound, int kilobitsPerSecond)
{
    if (sound.channels != 1 && sound.channels != 2)
        throw std::invalid_argument("EncodeMP3: 1 or 2 channels");
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame)
        throw std::runtime_error("EncodeMP3: the encoder cannot start");
    lame_set_num_channels(lame.get(), sound.channels);
    lame_set_in_samplerate(lame.get(), sound.sampleRate);
    lame_set_out_samplerate(lame.get(), sound.sampleRate);
    lame_set_mode(lame.get(), sound.channels == 2 ? JOINT_STEREO : MONO);
    lame_set_brate(lame.get(), kilobitsPerSecond);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 0);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0)
        throw std::runtime_error("EncodeMP3: the encoder refuses " + std::to_string(sound.sampleRate) +
                                 " Hz at " + std::to_string(kilobitsPerSecond) + " kbit/s");

    const int frames = int(sound.samples.size() / size_t(sound.channels));
    // The encoder's own bound on its output: 1.25 x the samples plus 7200 bytes.
    std::vector<uint8_t> out(size_t(frames) * 5 / 4 + 7200 + 7200);
    int written = sound.channels == 2
                      ? lame_encode_buffer_interleaved(lame.get(), const_cast<short*>(sound.samples.data()),
                                                       frames, out.data(), int(out.size()))
                      : lame_encode_buffer(lame.get(), sound.samples.data(), sound.samples.data(), frames,
                                           out.data(), int(out.size()));
    if (written < 0)
        throw std::runtime_error("EncodeMP3: encoding failed (" + std::to_string(written) + ")");
    int flushed = lame_encode_flush(lame.get(), out.data() + written, int(out.size()) - written);
    if (flushed < 0)
        throw std::runtime_error("EncodeMP3: flushing failed (" + std::to_string(flushed) + ")");
    out.resize(size_t(written + flushed));
    return out;
}
