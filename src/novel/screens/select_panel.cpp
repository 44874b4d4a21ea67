#include "novel/screens/select_panel.h"

#include <array>
#include <cstdio>

#include "gfx/images/image.h"
#include "platform/system/diagnostic_log.h"
#include "resource/pictures/image_loader_manager.h"
#include "scene/drawables/draw_list.h"
#include "ui/fonts/font.h"
#include "ui/text_objects/text_layout.h"

namespace {

constexpr std::array<plat::Point, 5> kNamePlaces = {
    plat::Point{39, 345}, plat::Point{34, 360}, plat::Point{31, 364}, plat::Point{48, 347}, plat::Point{29, 336}};
constexpr plat::Point kScenePlace{37, 31};
constexpr plat::Point kStatusTextPlace{196, 168};
constexpr plat::Point kMoreFlagsPlace{709, 61};
constexpr std::int32_t kFlagY = 24;
constexpr std::int32_t kFlagStep = 54;
constexpr std::int32_t kLastFlagRight = 705;
constexpr std::int32_t kCrowdedFlagX = 273;
constexpr plat::Point kNameBoxPlace{53, 99};
constexpr plat::Point kNameBoxSize{660, 22};
constexpr plat::Point kTextBoxPlace{237, 346};
constexpr plat::Point kTextBoxSize{506, 202};
constexpr std::uint8_t kFullOpacity = 255;
constexpr std::int32_t kPageFull = 1;
constexpr std::int32_t kSideMargin = 8;

void BlendPart(CImage& panel, const std::string& file, plat::Point at) {
  CImage part;
  if (part.LoadFile32(file.c_str(), nullptr, 0, 0) != 0) {
    plat::LogDiagnostic("the select panel is shown without " + file);
    return;
  }
  panel.BlendPreserveAlpha(&part, kFullOpacity, at.x, at.y, nullptr);
  if (g_GllHost != nullptr) g_GllHost->ReleaseCachedImage(file.c_str());
}

std::string Numbered(const char* format, std::uint32_t number) {
  std::array<char, 64> name{};
  std::snprintf(name.data(), name.size(), format, number);
  return name.data();
}

// The text laid out in a box of the size as the message boxes lay it out, then blended. A box
// of one line keeps only its side margins, so that the line fits its height.
void BlendText(CImage& panel, const std::string& text, CFont* font, plat::Point at, plat::Point size, bool one_line) {
  if (text.empty() || font == nullptr) return;
  CDrawList unseen;
  CTextLayout box;
  if (box.Create(&unseen, 0, size.x, size.y, 0, 0, font, nullptr, 0) != 0) {
    plat::LogDiagnostic("the select panel's text cannot be laid out");
    return;
  }
  if (one_line) box.SetLayoutRect(kSideMargin, 0, kSideMargin, 0, true);
  box.SetActive(false);
  const char* next = text.c_str();
  while (*next != '\0' && box.PutChar(&next) != kPageFull) {
  }
  panel.BlendPreserveAlpha(&box.text_image(), kFullOpacity, at.x, at.y, nullptr);
  box.Destroy();
}

}  // namespace

plat::Point SelectFlagPlace(std::int32_t count, std::size_t index) {
  const std::int32_t first = count > static_cast<std::int32_t>(kSelectPanelMostFlags)
                                 ? kCrowdedFlagX
                                 : kLastFlagRight - kFlagStep * count;
  return {first + kFlagStep * static_cast<std::int32_t>(index), kFlagY};
}

bool ComposeSelectPanel(CImage& panel, const SelectPanelContent& content, CFont* name_font, CFont* text_font) {
  constexpr char kFrame[] = "SYS/SS_FRAME.ELG";
  if (panel.LoadFile32(kFrame, nullptr, 0, 0) != 0) {
    plat::LogDiagnostic("the select panel cannot be made without SYS/SS_FRAME.ELG");
    return false;
  }
  if (g_GllHost != nullptr) g_GllHost->ReleaseCachedImage(kFrame);
  if (content.character >= 1 && content.character <= static_cast<std::int32_t>(kNamePlaces.size())) {
    BlendPart(panel, Numbered("SYS/SS_NAME%u.ELG", static_cast<std::uint32_t>(content.character)),
              kNamePlaces[static_cast<std::size_t>(content.character - 1)]);
  }
  if (content.scene != 0) BlendPart(panel, Numbered("SYS/SS_%u.ELG", static_cast<std::uint32_t>(content.scene)), kScenePlace);
  for (std::size_t i = 0; i < content.flags.size() && i < kSelectPanelMostFlags; ++i) {
    BlendPart(panel, Numbered("SYS/SS_F%02u.ELG", content.flags[i]), SelectFlagPlace(content.flag_count, i));
  }
  if (content.flag_count > static_cast<std::int32_t>(kSelectPanelMostFlags)) {
    BlendPart(panel, "SYS/SS_ETC.ELG", kMoreFlagsPlace);
  }
  if (content.status_text) BlendPart(panel, "SYS/SS_STEXT.ELG", kStatusTextPlace);
  BlendText(panel, content.name_text, name_font, kNameBoxPlace, kNameBoxSize, true);
  BlendText(panel, content.body_text, text_font, kTextBoxPlace, kTextBoxSize, false);
  return true;
}
