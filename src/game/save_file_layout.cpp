#include "game/save_file_layout.h"

#include <cstring>
#include <optional>

#include "base/numbers/byte_cursor.h"
#include "base/text/sjis_fit.h"

namespace save_file {

namespace {

constexpr char kMagic[4] = {'W', 'K', '0', '3'};
constexpr std::uint32_t kVersion = 0;

void WriteField(ByteWriter& out, std::string_view text, std::size_t field_size) {
  out.Text(text);
  for (std::size_t i = text.size(); i < field_size; ++i) out.Byte(0);
}

}  // namespace

std::string FitText(std::string_view text, std::size_t limit) {
  return FitSjis(text.substr(0, text.find('\0')), limit);
}

bool HasSaveMagic(std::span<const std::uint8_t> file) {
  return file.size() >= sizeof(kMagic) && std::memcmp(file.data(), kMagic, sizeof(kMagic)) == 0;
}

std::optional<SaveHeader> ReadSaveHeaderFields(std::span<const std::uint8_t> header) {
  if (!HasSaveMagic(header) || header.size() < kSizesOffset) return std::nullopt;
  return SaveHeader{header.subspan(kThumbnailOffset, kThumbnailSize),
                    FitText(TextOfField(header.subspan(kTitleOffset, kTitleField)), kTitleLimit),
                    FitText(TextOfField(header.subspan(kCaptionOffset, kCaptionField)), kCaptionLimit)};
}

std::string WrapCaption(std::string_view caption) {
  caption = caption.substr(0, caption.find('\0'));
  std::string wrapped;
  for (std::size_t line = 0; line < kCaptionLines && !caption.empty(); ++line) {
    const std::string_view up_to_feed = caption.substr(0, caption.find('\n'));
    const std::string fitted = FitText(up_to_feed, kCaptionLineBytes);
    if (line != 0) wrapped += '\n';
    wrapped += fitted;
    caption.remove_prefix(fitted.size());
    if (fitted.size() == up_to_feed.size() && !caption.empty()) caption.remove_prefix(1);  // the line feed
  }
  return wrapped;
}

std::vector<std::uint8_t> WriteSaveFile(const SaveHeader& header, const PackedBlock& state) {
  ByteWriter out;
  out.Reserve(kDataOffset + state.stored.size());
  out.Text(std::string_view(kMagic, sizeof(kMagic)));
  out.Word(kVersion);
  out.Bytes(header.thumbnail.first(kThumbnailSize));
  WriteField(out, FitText(header.title, kTitleLimit), kTitleField);
  WriteField(out, FitText(header.caption, kCaptionLimit), kCaptionField);
  out.Word(static_cast<std::uint32_t>(state.stored.size()));
  out.Word(state.unpacked_size);
  out.Byte(ByteSum(state.stored));
  out.Bytes(state.stored);
  return out.Take();
}

std::uint32_t ReadSaveFile(std::span<const std::uint8_t> file, std::uint32_t offset, std::vector<std::uint8_t>& record) {
  ByteReader in(file);
  if (offset == 0) {
    if (!HasSaveMagic(file)) return 3;
    in.Skip(sizeof(kMagic));
    const std::optional<std::uint32_t> version = in.Word();
    if (!version) return 3;
    if (*version != kVersion) return 5;
    if (!in.Skip(kSizesOffset - kThumbnailOffset)) return 3;
  } else if (!in.Skip(offset)) {
    return 3;
  }
  const std::optional<std::uint32_t> stored_size = in.Word();
  const std::optional<std::uint32_t> unpacked_size = in.Word();
  const std::optional<std::uint8_t> sum = in.Byte();
  if (!stored_size || !unpacked_size || !sum) return 3;
  const std::optional<std::span<const std::uint8_t>> stored = in.Bytes(*stored_size);
  if (!stored || ByteSum(*stored) != *sum) return 3;
  std::optional<std::vector<std::uint8_t>> data = UnpackBlock(*stored, *unpacked_size);
  if (!data) return 3;
  record = std::move(*data);
  return 0;
}

}  // namespace save_file
