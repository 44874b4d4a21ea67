#include "novel/text/text_window.h"

#include <algorithm>

#include "base/time/timer_manager.h"
#include "novel/scenario/vov_command_record.h"
#include "scene/animations/cell_sheet.h"
#include "scene/animations/picture_part.h"
#include "ui/fonts/font.h"

namespace {

// The click icon that follows the text keeps this far from the last character.
constexpr int32_t kIconGap = 4;
// From this wait state on (a choice awaited, skipping) no click icon is shown.
constexpr int32_t kFirstWaitStateWithoutIcon = 2;

}  // namespace

uint32_t CreateTextBox(CTextLayout& box, const TextBoxSetup& setup) {
  const bool wants_pictures =
      setup.frame_file != nullptr || setup.mask_file != nullptr || setup.second_mask_file != nullptr;
  const bool with_pictures =
      !wants_pictures || box.LoadImages(setup.frame_file, setup.mask_file, setup.second_mask_file, false) == 0;
  box.SetLayoutRect(setup.margins.left, setup.margins.top, setup.margins.right, setup.margins.bottom, false);
  const uint32_t failed = box.Create(setup.draw_list, setup.priority, setup.width, setup.height, setup.x, setup.y,
                                     setup.font, nullptr, setup.key);
  if (failed != 0) return failed;
  return with_pictures ? 0 : kTextBoxWithoutPictures;
}

CTextWindow::CTextWindow() { measure_image_.Create(1, 1, 32, 0); }

CTextWindow::~CTextWindow() { ReleaseWindowParts(); }

void CTextWindow::ReleaseWindowParts() {
  ReleaseClickIcon();
  EndTyping();
}

void CTextWindow::Destroy() {
  ReleaseWindowParts();
  CTextLayout::Destroy();
}

void CTextWindow::SetActive(bool active) {
  CTextLayout::SetActive(active);
  if (name_plate_ != nullptr) name_plate_->SetActive(active && !name_.empty());
}

int32_t CTextWindow::SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw) {
  if (name_plate_ != nullptr && name_plate_->SetBackground(style, colour, alpha, redraw) == 0 && redraw) {
    ShowNameOnPlate();
  }
  const int32_t result = CTextLayout::SetBackground(style, colour, alpha, redraw);
  // A page drawn again shows the new background where the icon goes.
  if (result == 0 && redraw && click_icon_ != nullptr) click_icon_->CopyBackground(nullptr);
  return result;
}

void CTextWindow::Refresh(bool clear) {
  CTextLayout::Refresh(clear);
  name_.clear();
  voice_name_.clear();
  if (name_plate_ != nullptr) name_plate_->SetActive(false);
}

void CTextWindow::SetNamePlate(CTextLayout* plate, uint8_t plate_style) {
  name_plate_ = plate;
  plate_style_ = plate_style;
}

void CTextWindow::SetFitToRun(bool on) {
  fit_to_run_ = on;
  fit_width_ = GetWidth();
  fit_height_ = GetHeight();
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

void CTextWindow::ClearText() {
  text_.clear();
  text_.shrink_to_fit();
  name_.clear();
  voice_name_.clear();
  EndTyping();
}

void CTextWindow::SetNames(const char* speaker, const char* voice) {
  name_ = CutAtCharacter(speaker, kNameBytes);
  voice_name_ = CutAtCharacter(voice, kVoiceBytes);
}

void CTextWindow::ShowNameOnPlate() {
  if (name_plate_ == nullptr) return;
  name_plate_->Refresh(true);
  if (name_.empty()) {
    name_plate_->SetActive(false);
    return;
  }
  if (plate_style_ >= kFittingPlateStyle && name_plate_->font() != nullptr) {
    TextSize size;
    name_plate_->font()->MeasureText(name_.c_str(), &size, nullptr, nullptr, 1, nullptr);
    const int32_t frame = name_plate_->GetWidth() - name_plate_->GetTextArea().Width();
    // Only a nine-patch plate can take the name's width; any other keeps its own.
    name_plate_->Resize(size.cx + frame, name_plate_->GetHeight(), false);
    name_plate_->DrawTextAligned(name_.c_str(), 0);
  } else {
    name_plate_->DrawTextAligned(name_.c_str(), 2);
  }
  name_plate_->SetActive(IsActive());
}

uint32_t CTextWindow::SetClickIcon(const ClickIconSetup& setup) {
  ReleaseClickIcon();
  if (setup.source == nullptr || setup.source->GetPixels() == nullptr || setup.frame_count < 1 ||
      setup.frame_time < 1 || setup.timers == nullptr) {
    return kBadIcon;
  }
  if (text_image().GetPixels() == nullptr ||
      icon_frames_.Create(setup.source->GetWidth(), setup.source->GetHeight(), 32, 0) != 0) {
    return kIconRefused;
  }
  RefPtr<CCellSheet> sheet = MakeRef<CCellSheet>();
  CellSheetSetup cells;
  cells.cell_count = setup.frame_count;
  cells.frame_time = setup.frame_time;
  cells.sprite = &page_sprite();
  cells.x = setup.x;
  cells.y = setup.y;
  cells.background_mode = CellSheetSetup::kKeepBackground;
  if (sheet == nullptr || sheet->Attach(&icon_frames_, cells) != 0) return kIconRefused;
  auto icon = std::make_unique<CPicturePart>();
  if (icon->Setup(setup.timers, sheet.get(), &page_sprite(), PicturePartSettings{}) != 0) return kIconRefused;
  click_icon_ = icon.release();
  click_icon_->SetOwnerReference(&click_icon_);
  setup.timers->PauseTask(click_icon_);
  icon_sheet_ = std::move(sheet);
  icon_source_ = setup.source;
  icon_timers_ = setup.timers;
  icon_place_ = {setup.x, setup.y};
  icon_follows_ = setup.follows;
  icon_shown_ = false;
  return 0;
}

void CTextWindow::ReleaseClickIcon() {
  if (click_icon_ != nullptr) {
    ShowClickIcon(false);
    icon_timers_->Remove(click_icon_);
    // The ended icon leaves its rest frame behind.
    MarkPageChanged(icon_sheet_->RestoreBackground(text_image()));
  }
  icon_sheet_.reset();
  icon_frames_.Release();
  icon_source_ = nullptr;
  icon_timers_ = nullptr;
  icon_shown_ = false;
}

void CTextWindow::ShowClickIcon(bool on) {
  if (click_icon_ == nullptr || on == icon_shown_) return;
  if (!on) {
    icon_timers_->PauseTask(click_icon_);
    MarkPageChanged(icon_sheet_->RestoreBackground(text_image()));
    icon_shown_ = false;
    return;
  }
  plat::Point place = icon_place_;
  if (icon_follows_) {
    GetCellOrigin(&place.x, &place.y, icon_sheet_->GetCellWidth(), icon_sheet_->GetCellHeight());
    place.x += kIconGap;
  }
  click_icon_->MoveTo(place.x, place.y, false);
  click_icon_->CopyBackground(nullptr);
  ComposeIconFrames(place);
  icon_timers_->ResumeTask(click_icon_);
  icon_shown_ = true;
}

void CTextWindow::ComposeIconFrames(plat::Point place) {
  // The page is shown blended by its alpha, so the frames are laid over what lies under the icon
  // keeping the page's alpha there; a frame drawn with its own alpha would cut a hole.
  const int32_t cell_width = icon_sheet_->GetCellWidth();
  const plat::Rect under{place.x, place.y, place.x + cell_width, place.y + icon_frames_.GetHeight()};
  icon_frames_.FillRectArgb(0, nullptr);
  for (int32_t cell = 0; cell < icon_sheet_->GetCellCount(); ++cell) {
    icon_frames_.Copy(&text_image(), cell * cell_width, 0, &under, false);
  }
  if (icon_source_->GetAlphaFlag() != 0) {
    icon_frames_.BlendPreserveAlpha(icon_source_, 255, 0, 0, nullptr);
  } else {
    icon_frames_.CopyRgb(icon_source_, 0, 0, nullptr);
  }
}

int32_t CTextWindow::RunCommand(std::span<const uint8_t> text, const TextToken& token) {
  const std::optional<VovCarriedCommand> command = DecodeVovCommand(CommandRecordBody(text, token));
  if (!command) return 0;
  return frame_->CallOpcode(command->opcode, command->operands);
}

void CTextWindow::RestoreFontAfterCommands(bool ran_command) {
  if (ran_command) frame_->RestoreMessageFont();
}

CTextWindow::PassResult CTextWindow::RecordRun(std::span<const uint8_t> text, bool skip_spaces) {
  print_state_ = PrintState::kRecording;
  run_.Begin(pen_x_, pen_y_);
  PassResult pass;
  for (TextToken token = ReadTextToken(text, 0, skip_spaces); token.kind != TextTokenKind::kEnd;
       token = ReadTextToken(text, token.offset + token.length, skip_spaces)) {
    if (token.kind == TextTokenKind::kCommand) {
      pass.ran_command = true;
      if (RunCommand(text, token) > 0) {
        pass.status = kCommandStopped;
        break;
      }
      continue;
    }
    const int32_t before_x = pen_x_;
    const int32_t before_y = pen_y_;
    const LayoutCharacter character = CharacterAt(text, token.offset);
    const char* cursor = character.c_str();
    // The character is placed by the layout's own rules but drawn nowhere that shows.
    const int32_t placed = PutCharInto(&cursor, &measure_image_);
    if (placed == kPageFull) break;
    const bool broke = placed == kPlacedAfterBreak;
    const int32_t line_start = (vertical_ ? margin_top_ : margin_left_) + indent_;
    plat::Rect box;
    if (vertical_) {
      box = {pen_x_ - line_size_, broke ? line_start : before_y, pen_x_, pen_y_};
    } else {
      box = {broke ? line_start : before_x, pen_y_, pen_x_, pen_y_ + line_size_};
    }
    const std::vector<TextRunRecord>& records = run_.records();
    const bool new_line =
        records.empty() || (vertical_ ? box.right != records.back().box.right : box.top != records.back().box.top);
    run_.Add(box, new_line);
  }
  return pass;
}

TextRunMargins CTextWindow::StyleMargins() const {
  if (font_ == nullptr) return {};
  return RunMarginsForStyle(font_->decoration, font_->shadow_x, font_->shadow_y, font_->edge_radius(), vertical_);
}

uint32_t CTextWindow::LayoutRun(bool fit) {
  if (!run_.open()) return kNoRun;
  print_state_ = PrintState::kPlaced;
  if (!fit) {
    pen_x_ = run_.start_x();
    pen_y_ = run_.start_y();
    return 0;
  }
  const TextRunMargins style = StyleMargins();
  const TextRunMargins room{style.left + margin_left_, style.top + margin_top_, style.right + margin_right_,
                            style.bottom + margin_bottom_};
  const plat::Rect size = run_.Place(room);
  if (Resize(size.Width(), size.Height(), false) != 0) return kFitFailed;
  if (follow_point_) {
    const plat::Point origin =
        FollowingWindowOrigin(follow_point_->x, follow_point_->y, GetWidth(), GetHeight(), follow_);
    SetPosition(origin.x, origin.y);
  }
  return 0;
}

CTextWindow::PassResult CTextWindow::DrawRun(std::span<const uint8_t> text, bool run_commands, bool skip_spaces,
                                             CImage* target, plat::Point origin) {
  const bool placed = print_state_ == PrintState::kPlaced;
  const bool auto_wrap = auto_wrap_;
  // Placed characters keep the lines the first pass broke.
  if (placed) auto_wrap_ = false;
  const std::vector<TextRunRecord>& records = run_.records();
  std::size_t index = 0;
  char_count_ = 0;
  PassResult pass;
  for (TextToken token = ReadTextToken(text, 0, skip_spaces); token.kind != TextTokenKind::kEnd;
       token = ReadTextToken(text, token.offset + token.length, skip_spaces)) {
    if (token.kind == TextTokenKind::kCommand) {
      if (run_commands && frame_ != nullptr) {
        pass.ran_command = true;
        RunCommand(text, token);
      }
      continue;
    }
    if (placed) {
      if (index >= records.size()) break;
      const plat::Rect& box = records[index++].box;
      pen_x_ = (vertical_ ? box.right : box.left) + origin.x;
      pen_y_ = box.top + origin.y;
    }
    const LayoutCharacter character = CharacterAt(text, token.offset);
    const char* cursor = character.c_str();
    if (PutCharInto(&cursor, target) == kPageFull) break;
    ++char_count_;
  }
  pen_x_ -= origin.x;
  pen_y_ -= origin.y;
  auto_wrap_ = auto_wrap;
  return pass;
}

void CTextWindow::EndRun() {
  run_.End();
  print_state_ = PrintState::kNone;
}

uint32_t CTextWindow::PrintString(std::span<const uint8_t> text, int32_t x, int32_t y, bool run_commands,
                                  bool skip_spaces) {
  if (text.data() == nullptr) return kNoString;
  SetCursor(x, y);
  const bool with_run = run_commands && frame_ != nullptr;
  if (with_run) {
    const PassResult first = RecordRun(text, skip_spaces);
    RestoreFontAfterCommands(first.ran_command);
    if (first.status != 0) {
      EndRun();
      return first.status;
    }
    LayoutRun(false);
  }
  const PassResult second = DrawRun(text, with_run, skip_spaces, nullptr, {});
  EndRun();
  if (with_run) RestoreFontAfterCommands(second.ran_command);
  return 0;
}

uint32_t CTextWindow::Display(bool refresh) {
  if (text_.empty() || frame_ == nullptr) return kNoTextOrFrame;
  if (type_state_ != TypeState::kNone) return kStillShowing;
  // The icon puts back what lay under it, so it goes before the page changes.
  ShowClickIcon(false);
  // A fitted window would otherwise lay each run out in the size the last one left.
  if (fit_to_run_ && (GetWidth() != fit_width_ || GetHeight() != fit_height_)) {
    Resize(fit_width_, fit_height_, false);
  }
  if (refresh) {
    // Hidden windows too: the frame shows its message window only once the message is drawn
    // (the reader's wait shows it), so a message after the scenario hid the window would
    // otherwise be laid behind the last one on its page.
    CTextLayout::Refresh(true);
    ShowNameOnPlate();
  }
  const std::span<const uint8_t> text(text_);
  const PassResult first = RecordRun(text, false);
  RestoreFontAfterCommands(first.ran_command);
  if (first.status != 0) {
    EndRun();
    return kCommandStopped;
  }
  LayoutRun(fit_to_run_);
  const bool typing = char_delay_ != 0 && PrepareTypingImage(FontHeight()) == 0;
  const plat::Point origin = typing ? plat::Point{-typing_origin_.x, -typing_origin_.y} : plat::Point{};
  const PassResult second = DrawRun(text, true, false, typing ? &glyph_image_ : nullptr, origin);
  EndRun();
  RestoreFontAfterCommands(second.ran_command);
  if (!typing) {
    ShowIconAfterText();
    return 0;
  }
  type_state_ = TypeState::kRequested;
  type_duration_ = char_delay_ * char_count_;
  revealed_ = 0;
  return 0;
}

void CTextWindow::ShowIconAfterText() {
  if (icon_after_text_ && frame_ != nullptr && frame_->GetWaitState() < kFirstWaitStateWithoutIcon) {
    ShowClickIcon(true);
  }
}
