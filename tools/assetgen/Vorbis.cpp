#include "tools/assetgen/Vorbis.h"

#include "tools/assetgen/Sounds.h"

#include <vorbis/codec.h>
#include <vorbis/vorbisenc.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace sound
{
namespace
{

// Variable bit rate at this quality (of -0.1 to 1): about 110 KB for all the
// sounds, the difference from each made sound 28 dB or more below it (bar the
// noise bursts, which the codec renders as noise alike). Quality 0.5 saves
// 18 KB but lets the step and click sounds' difference rise to 25 dB below.
constexpr float kQuality = 0.7f;

void Append(std::string& out, const ogg_page& page)
{
    out.append(reinterpret_cast<const char*>(page.header),
               static_cast<std::size_t>(page.header_len));
    out.append(reinterpret_cast<const char*>(page.body), static_cast<std::size_t>(page.body_len));
}

// Reads an Ogg file held in memory for vorbisfile.
struct Reader
{
    const std::string* file;
    std::size_t at;
};

std::size_t Read(void* to, std::size_t size, std::size_t count, void* source)
{
    auto* reader = static_cast<Reader*>(source);
    const std::size_t n = std::min(size * count, reader->file->size() - reader->at);
    std::memcpy(to, reader->file->data() + reader->at, n);
    reader->at += n;
    return size == 0 ? 0 : n / size;
}

double Decibels(double ratio)
{
    return 20.0 * std::log10(ratio);
}

} // namespace

std::string OggFile(const std::vector<std::int16_t>& samples, int serial)
{
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, kSampleRate, kQuality) != 0)
    {
        vorbis_info_clear(&info);
        throw std::runtime_error("the Vorbis encoder refuses the sounds' format");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, serial);

    std::string out;
    ogg_packet header;
    ogg_packet comments;
    ogg_packet codebooks;
    vorbis_analysis_headerout(&dsp, &comment, &header, &comments, &codebooks);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &comments);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    // The headers end a page of their own, as players expect.
    while (ogg_stream_flush(&stream, &page) != 0)
    {
        Append(out, page);
    }

    constexpr std::size_t kChunk = 1024;
    for (std::size_t at = 0;; at += kChunk)
    {
        const std::size_t n = at < samples.size() ? std::min(kChunk, samples.size() - at) : 0;
        if (n == 0)
        {
            vorbis_analysis_wrote(&dsp, 0); // the end of the sound
        }
        else
        {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            for (std::size_t i = 0; i < n; ++i)
            {
                buffer[0][i] = static_cast<float>(samples[at + i]) / 32768.0f;
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1)
        {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0)
            {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0)
                {
                    Append(out, page);
                }
            }
        }
        if (n == 0)
        {
            break;
        }
    }
    while (ogg_stream_flush(&stream, &page) != 0)
    {
        Append(out, page);
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

std::vector<std::int16_t> DecodeOgg(const std::string& file)
{
    Reader reader{&file, 0};
    const ov_callbacks callbacks{Read, nullptr, nullptr, nullptr};
    OggVorbis_File ogg;
    if (ov_open_callbacks(&reader, &ogg, nullptr, 0, callbacks) != 0)
    {
        return {};
    }
    std::vector<std::int16_t> samples;
    std::vector<char> buffer(4096);
    int section = 0;
    for (;;)
    {
        // 16-bit little-endian signed samples, as the mixer asks for them.
        const long n =
            ov_read(&ogg, buffer.data(), static_cast<int>(buffer.size()), 0, 2, 1, &section);
        if (n < 0)
        {
            samples.clear();
            break;
        }
        if (n == 0)
        {
            break;
        }
        for (long i = 0; i + 1 < n; i += 2)
        {
            const auto low = static_cast<std::uint8_t>(buffer[static_cast<std::size_t>(i)]);
            const auto high = static_cast<std::uint8_t>(buffer[static_cast<std::size_t>(i) + 1]);
            samples.push_back(
                static_cast<std::int16_t>(static_cast<std::uint16_t>(low | high << 8)));
        }
    }
    ov_clear(&ogg);
    return samples;
}

Fidelity Compare(const std::vector<std::int16_t>& original,
                 const std::vector<std::int16_t>& decoded, bool loop)
{
    Fidelity f;
    f.length = decoded.size();
    f.sameLength = decoded.size() == original.size();
    if (!f.sameLength || original.empty())
    {
        return f;
    }
    const auto peak = [](const std::vector<std::int16_t>& s)
    {
        int p = 0;
        for (const std::int16_t v : s)
        {
            p = std::max(p, std::abs(static_cast<int>(v)));
        }
        return p;
    };
    f.peakChange = Decibels(static_cast<double>(peak(decoded)) / peak(original));
    double signal = 0.0;
    double error = 0.0;
    for (std::size_t i = 0; i < original.size(); ++i)
    {
        const double o = original[i];
        signal += o * o;
        error += (decoded[i] - o) * (decoded[i] - o);
    }
    f.noise = 10.0 * std::log10(std::max(error, 1.0) / signal);
    if (loop)
    {
        f.seamBefore = original.front() - original.back();
        f.seamAfter = decoded.front() - decoded.back();
        // The steps of the 20 ms either side of the seam, in the original
        // (which has none standing out there) and in the decoded loop.
        const std::size_t n = decoded.size();
        const std::size_t span = std::min<std::size_t>(n / 4, kSampleRate / 50);
        for (std::size_t k = 1; k < span; ++k)
        {
            for (const std::size_t i : {k, n - k})
            {
                f.originalSteps =
                    std::max(f.originalSteps, std::abs(original[i] - original[i - 1]));
                f.nearbySteps = std::max(f.nearbySteps, std::abs(decoded[i] - decoded[i - 1]));
            }
        }
    }
    return f;
}

} // namespace sound
