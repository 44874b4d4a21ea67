#include "novel/text_window.h"

#include "scene/cell_sheet.h"

uint32_t CreateTextBox(CTextLayout& box, const TextBoxSetup& setup) {
  const bool with_pictures =
      box.LoadImages(setup.frame_file, setup.mask_file, setup.second_mask_file, false) == 0;
  box.SetLayoutRect(setup.margins.left, setup.margins.top, setup.margins.right, setup.margins.bottom, false);
  const uint32_t failed = box.Create(setup.draw_list, setup.priority, setup.width, setup.height, setup.x, setup.y,
                                     setup.font, nullptr, setup.key);
  if (failed != 0) return failed;
  return with_pictures ? 0 : kTextBoxWithoutPictures;
}

void CTextWindow::SetNamePlate(CTextLayout* plate, uint8_t plate_style) {
  name_plate_ = plate;
  plate_style_ = plate_style;
}

void CTextWindow::SetFollowPoint(std::optional<plat::Point> point, const TextWindowFollow& follow) {
  follow_point_ = point;
  follow_ = follow;
}

uint32_t CTextWindow::SetText(const uint8_t* bytes, std::size_t length) {
  if (bytes == nullptr || length == 0) return kNoText;
  text_.assign(bytes, bytes + length);
  text_.insert(text_.end(), 2, 0);
  return 0;
}

void CTextWindow::SetNames(const char* speaker, const char* voice) {
  name_ = CutAtCharacter(speaker, kNameBytes);
  voice_name_ = CutAtCharacter(voice, kVoiceBytes);
}
