// The message font and the name font of the novel frame, and the carried command that changes
// the message font at a point of a message until the message ends.
#include <cmath>
#include <string>
#include <string_view>

#include "base/settings/game_settings.h"
#include "novel/frame/vov_frame.h"
#include "platform/fonts/font_face.h"
#include "ui/dialogs/message_display_settings.h"

namespace {

constexpr double kSmallFontFactor = 0.8181818181818182;
constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBlack = 0;
constexpr std::int32_t kBoldWeight = 700;
constexpr std::int32_t kDefaultColour = -1;
constexpr std::string_view kUserFace = "user";

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// The first face of the list that is installed, "user" standing for the user's face; a leading
// '@' stays on the name. Empty when none is.
std::string FirstInstalledFace(std::string_view list, const std::string& user_face) {
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    std::string_view entry = Trimmed(list.substr(0, comma));
    list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
    const bool vertical = !entry.empty() && entry.front() == '@';
    if (vertical) entry.remove_prefix(1);
    const std::string face = entry == kUserFace ? user_face : std::string(entry);
    if (!face.empty() && plat::IsFontFaceInstalled(face)) return vertical ? "@" + face : face;
  }
  return {};
}

bool SmallFontSetting() { return CurrentGameSettings()[kSettingSmallMessageFont] != 0; }

}  // namespace

std::int32_t CVovFrame::ScaledFontSize(std::int32_t size) {
  return SmallFontSetting() ? static_cast<std::int32_t>(std::lround(size * kSmallFontFactor)) : size;
}

void CVovFrame::SetMessageFont(std::int32_t size, std::int32_t text_colour, std::int32_t edge_colour,
                               const char* faces) {
  const std::int32_t pixels = ScaledFontSize(size < 1 ? kMessageFontSize : size);
  message_font_.text_color = RgbOf(static_cast<std::uint32_t>(text_colour == kDefaultColour ? kWhite : text_colour));
  message_font_.decoration_color =
      RgbOf(static_cast<std::uint32_t>(edge_colour == kDefaultColour ? kBlack : edge_colour));
  const std::string face = faces != nullptr ? FirstInstalledFace(faces, GameFaceName(CurrentGameSettings())) : "";
  if (!face.empty() && face != message_font_.logical_font().face_name) {
    message_font_.SetFont(pixels, message_font_.logical_font().weight >= kBoldWeight ? 1 : 0,
                          message_font_.logical_font().italic, face.c_str());
    message_font_state_ = kFontFaceChanged;
    return;
  }
  message_font_.SetSize(pixels);
  if (message_font_state_ == kFontUnchanged) message_font_state_ = kFontSized;
}

void CVovFrame::RestoreMessageFont() {
  if (message_font_state_ == kFontUnchanged) return;
  message_font_.text_color = RgbOf(kWhite);
  message_font_.decoration_color = RgbOf(kBlack);
  const std::int32_t pixels = ScaledFontSize(kMessageFontSize);
  if (message_font_state_ == kFontFaceChanged) {
    const GameSettingsBlock& settings = CurrentGameSettings();
    message_font_.SetFont(pixels, GameFontBold(settings) ? 1 : 0, 0, GameFaceName(settings).c_str());
  } else {
    message_font_.SetSize(pixels);
  }
  message_font_state_ = kFontUnchanged;
}
