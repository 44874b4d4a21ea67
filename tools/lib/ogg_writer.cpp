#include "ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

void Append(std::vector<uint8_t>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

std::vector<uint8_t> EncodeOggVorbis(const std::vector<int16_t>& samples, int channels, long rate) {
  vorbis_info info;
  vorbis_info_init(&info);
  if (vorbis_encode_init_vbr(&info, channels, rate, 0.4f) != 0) {
    vorbis_info_clear(&info);
    return {};
  }
  vorbis_comment comment;
  vorbis_comment_init(&comment);
  vorbis_dsp_state dsp;
  vorbis_analysis_init(&dsp, &info);
  vorbis_block block;
  vorbis_block_init(&dsp, &block);
  ogg_stream_state stream;
  ogg_stream_init(&stream, 1);

  std::vector<uint8_t> out;
  ogg_packet header, header_comment, header_code;
  vorbis_analysis_headerout(&dsp, &comment, &header, &header_comment, &header_code);
  ogg_stream_packetin(&stream, &header);
  ogg_stream_packetin(&stream, &header_comment);
  ogg_stream_packetin(&stream, &header_code);
  ogg_page page;
  while (ogg_stream_flush(&stream, &page) != 0) Append(out, page);

  const size_t frames = samples.size() / static_cast<size_t>(channels);
  constexpr size_t kChunk = 1024;
  size_t start = 0;
  bool ended = false;
  while (!ended) {
    const size_t count = std::min(kChunk, frames - start);
    if (count == 0) {
      // Marks the end of the stream, so that the last packet holds the exact sample count.
      vorbis_analysis_wrote(&dsp, 0);
      ended = true;
    } else {
      float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
      for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < channels; ++c) buffer[c][i] = samples[(start + i) * channels + c] / 32768.0f;
      }
      vorbis_analysis_wrote(&dsp, static_cast<int>(count));
      start += count;
    }
    while (vorbis_analysis_blockout(&dsp, &block) == 1) {
      vorbis_analysis(&block, nullptr);
      vorbis_bitrate_addblock(&block);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
        ogg_stream_packetin(&stream, &packet);
        while (ogg_stream_pageout(&stream, &page) != 0) Append(out, page);
      }
    }
  }
  while (ogg_stream_flush(&stream, &page) != 0) Append(out, page);

  ogg_stream_clear(&stream);
  vorbis_block_clear(&block);
  vorbis_dsp_clear(&dsp);
  vorbis_comment_clear(&comment);
  vorbis_info_clear(&info);
  return out;
}

std::vector<int16_t> MakeSine(uint32_t frames, int channels, long rate, double hertz) {
  std::vector<int16_t> samples(static_cast<size_t>(frames) * channels);
  for (uint32_t i = 0; i < frames; ++i) {
    const double value = 0.5 * std::sin(2 * std::numbers::pi * hertz * i / static_cast<double>(rate));
    for (int c = 0; c < channels; ++c) samples[static_cast<size_t>(i) * channels + c] = static_cast<int16_t>(value * 32767);
  }
  return samples;
}
