#include "novel/text/text_window_run.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

#include "base/numbers/little_endian.h"
#include "platform/encoding/sjis.h"
#include "ui/text_objects/text_layout_base.h"

namespace {

constexpr std::uint8_t kFullWidthLead = 0x81;
constexpr std::uint8_t kFullWidthSpaceTrail = 0x40;
constexpr std::size_t kMarkSize = 2;
// Length, opcode and operand count: the least a record's length field can cover.
constexpr std::uint32_t kRecordHeaderSize = 12;

bool IsFullWidthSpace(std::span<const std::uint8_t> text, std::size_t offset) {
  return offset + 1 < text.size() && text[offset] == kFullWidthLead && text[offset + 1] == kFullWidthSpaceTrail;
}

}  // namespace

LayoutCharacter CharacterAt(std::span<const std::uint8_t> text, std::size_t offset) {
  LayoutCharacter character;
  if (offset < text.size()) {
    std::memcpy(character.bytes.data(), text.data() + offset, std::min(LayoutCharacter::kLongest, text.size() - offset));
  }
  return character;
}

TextToken ReadTextToken(std::span<const std::uint8_t> text, std::size_t offset, bool skip_fullwidth_spaces) {
  while (skip_fullwidth_spaces && IsFullWidthSpace(text, offset)) offset += 2;
  TextToken token;
  token.offset = offset;
  if (offset >= text.size()) return token;
  if (text[offset] != 0) {
    token.kind = TextTokenKind::kCharacter;
    token.length = static_cast<std::size_t>(std::max(1, ReadLayoutChar(CharacterAt(text, offset).c_str()).length));
    return token;
  }
  const std::size_t remaining = text.size() - offset;
  if (remaining < kMarkSize + 4 || text[offset + 1] != '[') return token;
  const std::uint32_t body = LoadLe32(text.data() + offset + kMarkSize);
  if (body < kRecordHeaderSize || body > remaining - kMarkSize) return token;
  token.kind = TextTokenKind::kCommand;
  token.length = kMarkSize + body;
  return token;
}

std::span<const std::uint8_t> CommandRecordBody(std::span<const std::uint8_t> text, const TextToken& token) {
  if (token.kind != TextTokenKind::kCommand) return {};
  return text.subspan(token.offset + kMarkSize, token.length - kMarkSize);
}

TextRunMargins RunMarginsForStyle(std::uint8_t style, int32_t shadow_x, int32_t shadow_y, int32_t edge_width,
                                  bool vertical) {
  TextRunMargins margins;
  if (style == 1) {
    (shadow_x < 0 ? margins.left : margins.right) += std::abs(shadow_x);
    (shadow_y < 0 ? margins.top : margins.bottom) += std::abs(shadow_y);
  } else if (style == 2) {
    margins = {edge_width, edge_width, edge_width, edge_width};
  }
  if (vertical) {
    ++margins.left;
    ++margins.top;
    ++margins.right;
    ++margins.bottom;
  }
  return margins;
}

void CTextRun::Begin(int32_t x, int32_t y) {
  records_.clear();
  start_x_ = x;
  start_y_ = y;
  open_ = true;
}

void CTextRun::Add(const plat::Rect& box, bool line_start) { records_.push_back({box, line_start}); }

plat::Rect CTextRun::Box() const {
  if (records_.empty()) return {start_x_, start_y_, start_x_, start_y_};
  plat::Rect box = records_.front().box;
  for (const TextRunRecord& record : records_) {
    box.left = std::min(box.left, record.box.left);
    box.top = std::min(box.top, record.box.top);
    box.right = std::max(box.right, record.box.right);
    box.bottom = std::max(box.bottom, record.box.bottom);
  }
  return box;
}

plat::Rect CTextRun::Place(const TextRunMargins& margins) {
  const plat::Rect box = Box();
  const int32_t dx = margins.left - box.left;
  const int32_t dy = margins.top - box.top;
  for (TextRunRecord& record : records_) {
    record.box = {record.box.left + dx, record.box.top + dy, record.box.right + dx, record.box.bottom + dy};
  }
  return {0, 0, box.Width() + margins.left + margins.right, box.Height() + margins.top + margins.bottom};
}

int64_t CTextRun::Extent(bool vertical) const {
  int64_t extent = 0;
  for (const TextRunRecord& record : records_) extent += vertical ? record.box.Height() : record.box.Width();
  return extent;
}

std::vector<CTextRun::Slice> CTextRun::Slices(int64_t from, int64_t to, bool vertical) const {
  std::vector<Slice> slices;
  int64_t start = 0;
  for (std::size_t i = 0; i < records_.size() && start < to; ++i) {
    const plat::Rect& box = records_[i].box;
    const int64_t size = vertical ? box.Height() : box.Width();
    const int64_t slice_from = std::max<int64_t>(from - start, 0);
    const int64_t slice_to = std::min(to - start, size);
    if (slice_from < slice_to) {
      slices.push_back({i, start, static_cast<int32_t>(slice_from), static_cast<int32_t>(slice_to)});
    }
    start += size;
  }
  return slices;
}

plat::Point FollowingWindowOrigin(int32_t point_x, int32_t point_y, int32_t width, int32_t height,
                                  const TextWindowFollow& follow) {
  plat::Point origin{point_x, point_y};
  if (follow.align == 0) origin.x -= width / 2;
  if (follow.align == 2) origin.x -= width;
  if (follow.bounds.left == -1) return origin;
  origin.x = std::max(follow.bounds.left, std::min(origin.x, follow.bounds.right - width));
  origin.y = std::max(follow.bounds.top, std::min(origin.y, follow.bounds.bottom - height));
  return origin;
}

int64_t TypingRevealPosition(uint32_t elapsed, uint32_t duration, int64_t extent) {
  if (duration == 0 || elapsed >= duration) return extent;
  return static_cast<int64_t>(static_cast<double>(elapsed) / duration * static_cast<double>(extent));
}

std::uint8_t SoftEdgeWeight(const CColorRamp& ramp, int64_t behind) {
  const int64_t width = ramp.GetCount();
  if (behind < 0 || behind >= width) return 255;
  return static_cast<std::uint8_t>(ramp.GetEntry(static_cast<std::uint32_t>(width - 1 - behind)));
}

std::string CutAtCharacter(const char* text, std::size_t max_bytes) {
  if (text == nullptr) return {};
  std::size_t kept = 0;
  while (text[kept] != 0) {
    const bool two_byte = plat::IsSjisLeadByte(static_cast<unsigned char>(text[kept])) && text[kept + 1] != 0;
    const std::size_t length = two_byte ? 2 : 1;
    if (kept + length > max_bytes) break;
    kept += length;
  }
  return std::string(text, kept);
}
