#include "elg_encoder.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <stdexcept>

#include "base/numbers/little_endian.h"

namespace kvxtools {
namespace {

constexpr std::uint8_t kEndOfStream = 0xFF;
constexpr std::size_t kLongLiteralMax = 31 * 256 + 255 + 33;
constexpr std::size_t kOffsetsScannedNear = 64;
constexpr std::size_t kOffsetsSampledFar = 24;

struct Op {
  std::vector<std::uint8_t> bytes;
  std::size_t length = 0;  // units produced
};

// An op class that copies `length` units from `offset` back.
struct CopyClass {
  std::size_t min_offset;
  std::size_t max_offset;
  std::size_t min_length;
  std::size_t max_length;
  std::function<std::vector<std::uint8_t>(std::size_t offset, std::size_t length)> emit;
};

// An op class of the colour stream that takes the pixel `rows` rows up, `shift` pixels aside.
struct AboveClass {
  std::size_t min_rows;
  std::size_t max_rows;
  int shift;
  std::function<std::vector<std::uint8_t>(std::size_t rows)> emit;
};

std::uint8_t Byte(std::size_t value) { return static_cast<std::uint8_t>(value); }

const std::vector<CopyClass>& Copies8() {
  static const std::vector<CopyClass> classes = {
      {2, 257, 2, 17, [](std::size_t o, std::size_t l) { return std::vector{Byte(0x80 | (l - 2)), Byte(o - 2)}; }},
      {3, 4098, 4, 259,
       [](std::size_t o, std::size_t l) {
         return std::vector{Byte(0x90 | ((o - 3) >> 8)), Byte(o - 3), Byte(l - 4)};
       }},
      {3, 4098, 3, 3, [](std::size_t o, std::size_t) { return std::vector{Byte(0xA0 | ((o - 3) >> 8)), Byte(o - 3)}; }},
      {3, 4098, 4, 4, [](std::size_t o, std::size_t) { return std::vector{Byte(0xB0 | ((o - 3) >> 8)), Byte(o - 3)}; }},
      {1, 32, 1, 1, [](std::size_t o, std::size_t) { return std::vector{Byte(0xC0 | (o - 1))}; }},
      {2, 32, 2, 2, [](std::size_t o, std::size_t) { return std::vector{Byte(0xE0 | (o - 2))}; }},
  };
  return classes;
}

const std::vector<CopyClass>& CopiesColour() {
  static const std::vector<CopyClass> classes = {
      {2, 257, 1, 16,
       [](std::size_t o, std::size_t l) {
         return std::vector{Byte(0x80 | (l - 1)), Byte(o - 2)};
       }},
      {2, 4097, 1, 256,
       [](std::size_t o, std::size_t l) {
         return std::vector{Byte(0x90 | ((o - 2) >> 8)), Byte(o - 2), Byte(l - 1)};
       }},
      {4098, 15 * 65536 + 255 * 256 + 255 + 4098, 1, 256,
       [](std::size_t o, std::size_t l) {
         const std::size_t v = o - 4098;
         return std::vector{Byte(0xA0 | (v >> 16)), Byte(v >> 8), Byte(v), Byte(l - 1)};
       }},
      {2, 9, 1, 1, [](std::size_t o, std::size_t) { return std::vector{Byte(0xB0 | (o - 2))}; }},
      {10, 2057, 1, 1,
       [](std::size_t o, std::size_t) {
         return std::vector{Byte(0xB8 | ((o - 10) >> 8)), Byte(o - 10)};
       }},
      {2058, 3081, 1, 1,
       [](std::size_t o, std::size_t) {
         return std::vector{Byte(0xCC | ((o - 2058) >> 8)), Byte(o - 2058)};
       }},
  };
  return classes;
}

const std::vector<AboveClass>& AboveColour() {
  static const std::vector<AboveClass> classes = {
      {16, 1039, 0,
       [](std::size_t r) {
         return std::vector{Byte(0xC0 | ((r - 16) >> 8)), Byte(r - 16)};
       }},
      {16, 1039, -1,
       [](std::size_t r) {
         return std::vector{Byte(0xC4 | ((r - 16) >> 8)), Byte(r - 16)};
       }},
      {16, 1039, 1,
       [](std::size_t r) {
         return std::vector{Byte(0xC8 | ((r - 16) >> 8)), Byte(r - 16)};
       }},
      {1, 16, 0, [](std::size_t r) { return std::vector{Byte(0xD0 | (r - 1))}; }},
      {1, 16, -1, [](std::size_t r) { return std::vector{Byte(0xE0 | (r - 1))}; }},
      {1, 15, 1, [](std::size_t r) { return std::vector{Byte(0xF0 | (r - 1))}; }},
  };
  return classes;
}

// The units of one stream and how its ops are built.
class StreamEncoder {
 public:
  StreamEncoder(std::span<const std::uint8_t> data, std::size_t unit, std::size_t width,
                const ElgEncodeOptions& options)
      : data_(data),
        unit_(unit),
        width_(width),
        count_(data.size() / unit),
        mixed_(options.mix_seed.has_value()),
        random_(options.mix_seed.value_or(0)),
        op_counts_(unit == 1 ? options.byte_stream_ops : options.colour_stream_ops) {}

  std::vector<std::uint8_t> Encode() {
    std::vector<std::uint8_t> out;
    std::size_t pending = 0;  // units waiting for a greedy literal
    std::size_t n = 0;
    while (n < count_) {
      std::vector<Op> ops = RepeatOps(n);
      if (mixed_) {
        ops.push_back(Literal(n, Pick(1, std::min<std::size_t>(32, count_ - n))));
        // Long literals stay short enough to leave room for every other op.
        if (count_ - n >= 33) ops.push_back(Literal(n, Pick(33, std::min<std::size_t>(64, count_ - n))));
        const Op& op = ops[Pick(0, ops.size() - 1)];
        Append(out, op);
        n += op.length;
        continue;
      }
      const auto best = std::max_element(ops.begin(), ops.end(), [](const Op& a, const Op& b) {
        return a.length * 4 - a.bytes.size() < b.length * 4 - b.bytes.size();
      });
      if (best == ops.end() || best->length * unit_ <= best->bytes.size() - 1) {
        ++pending;
        ++n;
        if (pending == kLongLiteralMax) FlushLiteral(out, n, pending);
        continue;
      }
      FlushLiteral(out, n, pending);
      Append(out, *best);
      n += best->length;
    }
    FlushLiteral(out, n, pending);
    out.push_back(kEndOfStream);
    return out;
  }

 private:
  bool Same(std::size_t a, std::size_t b) const {
    return std::memcmp(data_.data() + a * unit_, data_.data() + b * unit_, unit_) == 0;
  }

  std::size_t Pick(std::size_t low, std::size_t high) {
    return std::uniform_int_distribution<std::size_t>(low, high)(random_);
  }

  std::size_t MatchLength(std::size_t n, std::size_t offset, std::size_t most) const {
    std::size_t length = 0;
    while (length < most && n + length < count_ && Same(n + length, n + length - offset)) ++length;
    return length;
  }

  // A length between the class's least and what matches: the longest when greedy.
  std::size_t ChooseLength(std::size_t least, std::size_t matched) {
    return mixed_ ? Pick(least, matched) : matched;
  }

  Op Literal(std::size_t n, std::size_t length) const {
    Op op;
    op.length = length;
    if (length <= 32) {
      op.bytes.push_back(Byte(length - 1));
    } else {
      op.bytes.push_back(Byte(0x20 | ((length - 33) >> 8)));
      op.bytes.push_back(Byte(length - 33));
    }
    op.bytes.insert(op.bytes.end(), data_.begin() + static_cast<std::ptrdiff_t>(n * unit_),
                    data_.begin() + static_cast<std::ptrdiff_t>((n + length) * unit_));
    return op;
  }

  void FlushLiteral(std::vector<std::uint8_t>& out, std::size_t n, std::size_t& pending) const {
    if (pending == 0) return;
    Append(out, Literal(n - pending, pending));
    pending = 0;
  }

  void Append(std::vector<std::uint8_t>& out, const Op& op) const {
    if (op_counts_ != nullptr) ++(*op_counts_)[op.bytes.front()];
    out.insert(out.end(), op.bytes.begin(), op.bytes.end());
  }

  std::vector<Op> RepeatOps(std::size_t n) {
    std::vector<Op> ops;
    AddRuns(n, ops);
    for (const CopyClass& copy : unit_ == 1 ? Copies8() : CopiesColour()) AddCopy(n, copy, ops);
    if (unit_ == 3) {
      for (const AboveClass& above : AboveColour()) AddAbove(n, above, ops);
    }
    return ops;
  }

  void AddRuns(std::size_t n, std::vector<Op>& ops) {
    const std::size_t short_least = unit_ == 1 ? 3 : 2;
    const std::size_t run = 1 + (n + 1 < count_ ? MatchLength(n + 1, 1, kLongLiteralMax + 2) : 0);
    const std::vector<std::uint8_t> value(data_.begin() + static_cast<std::ptrdiff_t>(n * unit_),
                                          data_.begin() + static_cast<std::ptrdiff_t>((n + 1) * unit_));
    if (run >= short_least) {
      const std::size_t length = ChooseLength(short_least, std::min(run, short_least + 31));
      Op op{{Byte(0x40 | (length - short_least))}, length};
      op.bytes.insert(op.bytes.end(), value.begin(), value.end());
      ops.push_back(op);
    }
    const std::size_t long_least = short_least + 32;
    if (run >= long_least) {
      const std::size_t length = ChooseLength(long_least, std::min(run, long_least + 31 * 256 + 255));
      Op op{{Byte(0x60 | ((length - long_least) >> 8)), Byte(length - long_least)}, length};
      op.bytes.insert(op.bytes.end(), value.begin(), value.end());
      ops.push_back(op);
    }
  }

  std::vector<std::size_t> OffsetsToTry(std::size_t n, const CopyClass& copy) {
    std::vector<std::size_t> offsets;
    const std::size_t last = std::min(copy.max_offset, n);
    if (copy.min_offset > last) return offsets;
    for (std::size_t o = copy.min_offset; o <= last && o < copy.min_offset + kOffsetsScannedNear; ++o) {
      offsets.push_back(o);
    }
    for (std::size_t rows = 1; rows <= 8 && width_ * rows <= last; ++rows) {
      if (width_ * rows >= copy.min_offset) offsets.push_back(width_ * rows);
    }
    for (std::size_t i = 0; i < kOffsetsSampledFar; ++i) offsets.push_back(Pick(copy.min_offset, last));
    return offsets;
  }

  void AddCopy(std::size_t n, const CopyClass& copy, std::vector<Op>& ops) {
    std::size_t best_offset = 0;
    std::size_t best_length = 0;
    for (const std::size_t offset : OffsetsToTry(n, copy)) {
      const std::size_t length = MatchLength(n, offset, copy.max_length);
      if (length > best_length) {
        best_length = length;
        best_offset = offset;
      }
    }
    if (best_length < copy.min_length) return;
    const std::size_t length = ChooseLength(copy.min_length, best_length);
    ops.push_back({copy.emit(best_offset, length), length});
  }

  void AddAbove(std::size_t n, const AboveClass& above, std::vector<Op>& ops) {
    for (std::size_t rows = above.min_rows; rows <= above.max_rows; ++rows) {
      const std::size_t back = rows * width_ + static_cast<std::size_t>(above.shift == -1) -
                               static_cast<std::size_t>(above.shift == 1);
      if (back == 0 || back > n) return;
      if (Same(n, n - back)) {
        ops.push_back({above.emit(rows), 1});
        return;
      }
    }
  }

  std::span<const std::uint8_t> data_;
  std::size_t unit_;
  std::size_t width_;
  std::size_t count_;
  bool mixed_;
  std::mt19937 random_;
  std::array<std::size_t, 256>* op_counts_;
};

void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(Byte(value));
  out.push_back(Byte(value >> 8));
}

void AppendHeader(const ElgPicture& picture, std::vector<std::uint8_t>& out) {
  out = {'E', 'L', 'G'};
  const auto value0 = static_cast<std::uint16_t>(picture.user_value0);
  const auto value1 = static_cast<std::uint16_t>(picture.user_value1);
  switch (picture.form) {
    case ElgHeaderForm::kPlain:
      out.push_back(picture.bit_depth);
      AppendLe16(out, picture.width);
      AppendLe16(out, picture.height);
      return;
    case ElgHeaderForm::kOrigin:
      out.push_back(1);
      out.push_back(picture.bit_depth);
      AppendLe16(out, value0);
      AppendLe16(out, value1);
      AppendLe16(out, picture.width);
      AppendLe16(out, picture.height);
      return;
    case ElgHeaderForm::kRecords: {
      out.push_back(2);
      out.push_back(picture.bit_depth);
      AppendLe16(out, picture.width);
      AppendLe16(out, picture.height);
      AppendLe16(out, value0);
      AppendLe16(out, value1);
      const std::vector<std::uint8_t> chain = ElgRecordChainBytes(picture.records);
      out.insert(out.end(), chain.begin(), chain.end());
      out.push_back(0);
      return;
    }
  }
}

}  // namespace

std::vector<std::uint8_t> ElgRecordChainBytes(const std::vector<ElgRecord>& records) {
  std::vector<std::uint8_t> chain;
  for (const ElgRecord& record : records) {
    if (record.tag == 0) throw std::invalid_argument("ELG record tags are non-zero");
    chain.push_back(record.tag);
    std::uint8_t length[4];
    StoreLe32(length, static_cast<std::uint32_t>(record.payload.size() + 4));
    chain.insert(chain.end(), length, length + 4);
    chain.insert(chain.end(), record.payload.begin(), record.payload.end());
  }
  return chain;
}

std::vector<std::uint8_t> EncodeElg8Stream(std::span<const std::uint8_t> units, const ElgEncodeOptions& options) {
  return StreamEncoder(units, 1, 1, options).Encode();
}

std::vector<std::uint8_t> EncodeElgColourStream(std::span<const std::uint8_t> bgr, std::size_t width,
                                                const ElgEncodeOptions& options) {
  return StreamEncoder(bgr, 3, width, options).Encode();
}

std::vector<std::uint8_t> EncodeElg(const ElgPicture& picture, const ElgEncodeOptions& options) {
  const std::size_t count = static_cast<std::size_t>(picture.width) * picture.height;
  const std::size_t bytes_per_pixel = picture.bit_depth / 8;
  if ((picture.bit_depth != 8 && picture.bit_depth != 24 && picture.bit_depth != 32) ||
      picture.pixels.size() != count * bytes_per_pixel) {
    throw std::invalid_argument("ELG pictures are 8, 24 or 32 bits with width x height pixels");
  }
  std::vector<std::uint8_t> out;
  AppendHeader(picture, out);
  const auto append = [&out](const std::vector<std::uint8_t>& stream) {
    out.insert(out.end(), stream.begin(), stream.end());
  };
  if (picture.bit_depth == 8) {
    append(EncodeElg8Stream(picture.palette, options));
    append(EncodeElg8Stream(picture.pixels, options));
    return out;
  }
  std::vector<std::uint8_t> colour(count * 3);
  std::vector<std::uint8_t> alpha(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::memcpy(&colour[3 * i], &picture.pixels[bytes_per_pixel * i], 3);
    if (bytes_per_pixel == 4) alpha[i] = picture.pixels[4 * i + 3];
  }
  append(EncodeElgColourStream(colour, picture.width, options));
  if (picture.bit_depth == 32) append(EncodeElg8Stream(alpha, options));
  return out;
}

}  // namespace kvxtools
