// Owning pointers to FFmpeg's codec contexts, frames and packets, for the tools that encode and
// decode movie clips.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace kvxtools {

struct CodecCloser {
  void operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
};
struct FrameCloser {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketCloser {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketCloser>;

}  // namespace kvxtools
