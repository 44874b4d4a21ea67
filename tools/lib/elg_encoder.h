// Writes ELG pictures for tests and demo data: every header form, 8-, 24- and 32-bit pictures.
// The greedy mode packs well; the mixed mode chooses among every op that fits at each position
// with a seeded generator, so that decoders meet every op class of both streams.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace kvxtools {

enum class ElgHeaderForm { kPlain, kOrigin, kRecords };

struct ElgRecord {
  std::uint8_t tag = 1;  // non-zero
  std::vector<std::uint8_t> payload;
};

struct ElgPicture {
  std::uint8_t bit_depth = 32;  // 8, 24 or 32
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  // Rows top-down without padding: one index (8), blue-green-red (24) or blue-green-red-alpha (32)
  // per pixel.
  std::vector<std::uint8_t> pixels;
  std::array<std::uint8_t, 1024> palette{};  // 8 bits: 256 entries of blue, green, red, fourth byte
  ElgHeaderForm form = ElgHeaderForm::kPlain;
  std::int16_t user_value0 = 0;
  std::int16_t user_value1 = 0;
  std::vector<ElgRecord> records;  // form kRecords only
};

struct ElgEncodeOptions {
  std::optional<std::uint32_t> mix_seed;  // set: random op choice; unset: greedy
  // When given, counts the ops written, by op byte, in the 8-bit streams and the colour stream.
  std::array<std::size_t, 256>* byte_stream_ops = nullptr;
  std::array<std::size_t, 256>* colour_stream_ops = nullptr;
};

std::vector<std::uint8_t> EncodeElg(const ElgPicture& picture, const ElgEncodeOptions& options = {});

// The streams alone, each with its end byte.
std::vector<std::uint8_t> EncodeElg8Stream(std::span<const std::uint8_t> units, const ElgEncodeOptions& options = {});
std::vector<std::uint8_t> EncodeElgColourStream(std::span<const std::uint8_t> bgr, std::size_t width,
                                                const ElgEncodeOptions& options = {});

// The bytes of the record chain as the decoder keeps them (without the terminating zero).
std::vector<std::uint8_t> ElgRecordChainBytes(const std::vector<ElgRecord>& records);

}  // namespace kvxtools
