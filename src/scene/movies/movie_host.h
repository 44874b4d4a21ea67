// What the engine lends a movie library through its C interface: a data-file stream, the frame
// buffers (locked image buffers or movie surfaces) and the sound sink over the sound layer.
#pragma once

#include <memory>

#include "base/files/read_stream.h"
#include "platform/files/movie_library_abi.h"

class CLockedImageBuffer;
class CMovieSurface;

struct MovieStreamReleaser {
  void operator()(KvxMovieStream* stream) const { stream->release(stream->owner); }
};
// A stream that the engine still holds; release() it when a creator takes it over.
using MovieStreamPtr = std::unique_ptr<KvxMovieStream, MovieStreamReleaser>;

// Null for a null stream or without memory.
MovieStreamPtr MakeMovieStream(RefPtr<CReadStream> stream);

// 32-bit frames in a locked image buffer, made to the movie's size.
KvxFrameBuffer LockedBufferFrames(CLockedImageBuffer& buffer);
// Frames in a movie surface, made to the movie's size in the display's format.
KvxFrameBuffer MovieSurfaceFrames(CMovieSurface& surface);

// Sound streams on the sound device (none without one).
const KvxSoundSink& MovieSoundSink();
