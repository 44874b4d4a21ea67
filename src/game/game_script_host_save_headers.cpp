// The headers of save files as the save and load screens show them: thumbnail, title, caption
// and the time the save was written, read without loading the game.
#include <array>
#include <cstdio>

#include "base/files/file.h"
#include "base/files/file_services.h"
#include "game/game_script_host.h"
#include "game/save_file_layout.h"
#include "gfx/images/image.h"
#include "platform/encoding/text_encoding.h"

namespace {

using namespace save_file;

// "YYYY/MM/DD(<weekday>) hh:mm" of the file's last write, in local time; nothing when the time
// cannot be had.
std::optional<std::string> LastWriteDate(const std::string& path) {
  static const std::array<std::string, 7> kWeekdays = {
      plat::Utf8ToSjis("日"), plat::Utf8ToSjis("月"), plat::Utf8ToSjis("火"), plat::Utf8ToSjis("水"),
      plat::Utf8ToSjis("木"), plat::Utf8ToSjis("金"), plat::Utf8ToSjis("土")};
  std::uint32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, weekday = 0;
  LocalFileTime time;
  time.year = &year;
  time.month = &month;
  time.day = &day;
  time.hour = &hour;
  time.minute = &minute;
  time.day_of_week = &weekday;
  if (GetFileLocalTime(path.c_str(), time) != 0 || weekday >= kWeekdays.size()) return std::nullopt;
  char date[64];
  std::snprintf(date, sizeof(date), "%04u/%02u/%02u(%s) %02u:%02u", year, month, day, kWeekdays[weekday].c_str(), hour,
                minute);
  return std::string(date);
}

bool CanHoldThumbnail(const CImage& image) {
  return image.GetPixels() != nullptr && image.GetBitsPerPixel() == 32 && image.GetWidth() >= kThumbnailWidth &&
         image.GetHeight() >= kThumbnailHeight;
}

// Each stored blue, green and red byte becomes the low three bytes of the image's pixel; the
// alpha bytes stay as they were.
void PutThumbnail(std::span<const std::uint8_t> stored, CImage& image) {
  for (std::int32_t y = 0; y < kThumbnailHeight; ++y) {
    std::uint8_t* row = image.GetRowPointer(y);
    const std::uint8_t* from = stored.data() + static_cast<std::size_t>(y) * kThumbnailWidth * 3;
    for (std::int32_t x = 0; x < kThumbnailWidth; ++x) {
      for (std::int32_t channel = 0; channel < 3; ++channel) row[x * 4 + channel] = from[x * 3 + channel];
    }
  }
  image.MarkChanged(plat::Rect{0, 0, kThumbnailWidth, kThumbnailHeight});
}

}  // namespace

std::uint32_t CGameScriptHost::ReadSaveHeader(std::int32_t group, std::int32_t slot,
                                              const SaveHeaderOutputs& out) const {
  std::string path;
  if (GetSaveFilePath(path, group, slot) != 0) return kNoSaveFile;
  CFile file;
  if (file.OpenStream(path.c_str()) != 0) return 2;
  std::vector<std::uint8_t> bytes(kSizesOffset);
  bytes.resize(file.Read(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
  const std::optional<SaveHeader> header = ReadSaveHeaderFields(bytes);
  if (!header) return 3;
  if (out.thumbnail != nullptr && !CanHoldThumbnail(*out.thumbnail)) return 1;
  std::optional<std::string> date;
  if (out.date != nullptr) {
    date = LastWriteDate(path);
    if (!date) return 2;
  }

  if (out.thumbnail != nullptr) PutThumbnail(header->thumbnail, *out.thumbnail);
  if (out.title != nullptr) *out.title = header->title;
  if (out.caption != nullptr) *out.caption = out.wrap_caption ? WrapCaption(header->caption) : header->caption;
  if (out.date != nullptr) *out.date = std::move(*date);
  return 0;
}

std::uint32_t CGameScriptHost::FormatSaveTimeStamp(std::string* text, std::int32_t group, std::int32_t slot,
                                                   std::uint32_t mode) const {
  if (text == nullptr) return 1;
  std::string title;
  std::string date;
  ::SaveHeaderOutputs out;
  out.title = &title;
  out.date = &date;
  const std::uint32_t status = ReadSaveHeader(group, slot, out);
  if (status != 0) return status;
  const char* separator = mode == 0 ? " " : mode == 1 ? "\n" : "\r\n";
  *text = plat::Utf8ToSjis("『") + title + plat::Utf8ToSjis("』") + separator;
  *text += plat::Utf8ToSjis("【記録日時 ") + date + plat::Utf8ToSjis("】");
  return 0;
}
