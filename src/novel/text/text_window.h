// The novel frame's text window: a text layout that prints in two passes. The first pass walks
// the string, runs the frame commands carried in it and records every character's box in a run;
// the run is then placed as a whole (its size, room for the font's shadow or edge, a window that
// follows a point); the second pass draws the characters at their recorded places, at once or
// as a typewriter whose reveal runs along the run with a soft edge. The window also keeps the
// speaker's name for its name plate, the message's voice name and the animated click-wait icon.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/lifetime/ref_counted.h"
#include "gfx/image_operations/color_ramp.h"
#include "gfx/images/image.h"
#include "novel/text/text_window_frame.h"
#include "novel/text/text_window_run.h"
#include "ui/text_objects/text_layout.h"

class CCellSheet;
class CDrawList;
class CFont;
class CPicturePart;
class CTimerManager;

// How a framed text box is made: the three pictures as CTextLayout::LoadImages takes them (the
// box takes the first picture's size), the size used when there are none, and the text margins.
struct TextBoxSetup {
  CDrawList* draw_list = nullptr;
  uint32_t priority = 0;
  uint32_t key = 0;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  CFont* font = nullptr;
  const char* frame_file = nullptr;
  const char* mask_file = nullptr;
  const char* second_mask_file = nullptr;
  TextRunMargins margins;
};
// 0; CTextLayout::Create's failure; kTextBoxWithoutPictures when the pictures could not be loaded
// and the box was made at the given size without them.
inline constexpr uint32_t kTextBoxWithoutPictures = 4;
uint32_t CreateTextBox(CTextLayout& box, const TextBoxSetup& setup);

// The animated click-wait icon: `frame_count` cells side by side in `source`, `frame_time` ms
// each, drawn into the window's page at (x, y), run by `timers`; its alpha blends it over the page.
// The picture and the manager stay the caller's and must outlive the icon (ReleaseClickIcon ends
// it).
struct ClickIconSetup {
  CImage* source = nullptr;
  int32_t frame_count = 0;
  int32_t frame_time = 0;
  int32_t x = 0;
  int32_t y = 0;
  // Placed right after the last character instead of at (x, y).
  bool follows = false;
  CTimerManager* timers = nullptr;
};

class CTextWindow : public CTextLayout {
 public:
  // SetText.
  static constexpr uint32_t kNoText = 1;
  // PrintString and Display.
  static constexpr uint32_t kNoString = 1;
  static constexpr uint32_t kNoTextOrFrame = 1;
  static constexpr uint32_t kCommandStopped = 2;
  static constexpr uint32_t kStillShowing = 2;
  // SetClickIcon.
  static constexpr uint32_t kBadIcon = 1;
  static constexpr uint32_t kIconRefused = 2;
  // PrepareTypingImage.
  static constexpr uint32_t kNoFont = 1;
  static constexpr uint32_t kEdgeTooNarrow = 2;
  static constexpr uint32_t kRampFailed = 3;
  static constexpr uint32_t kImageFailed = 4;
  // LayoutRun.
  static constexpr uint32_t kNoRun = 1;
  static constexpr uint32_t kFitFailed = 3;
  // Speaker and voice names keep this many bytes, never half a double-byte character.
  static constexpr std::size_t kNameBytes = 16;
  static constexpr std::size_t kVoiceBytes = 15;
  // A name plate of this style or above is laid out to fit the name.
  static constexpr uint8_t kFittingPlateStyle = 4;

  enum class PrintState : uint8_t { kNone, kRecording, kPlaced };
  enum class TypeState : uint8_t { kNone, kRequested, kTyping, kFinished };

  CTextWindow();
  ~CTextWindow() override;

  // The name plate follows the window's activity while it shows a name.
  void SetActive(bool active) override;
  // Ends the click icon and the typing, then the layout.
  void Destroy() override;
  // The window's colours and opacity go to the name plate too; the click icon keeps the new
  // background under it.
  int32_t SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw) override;
  // CTextLayout::Refresh that also clears both names and puts the name plate away (the layout's
  // own steps, a resize among them, keep the names).
  void Refresh(bool clear);

  // The frame whose commands the text carries; null: commands are stepped over.
  void SetFrame(ITextWindowFrame* frame) { frame_ = frame; }
  // The text layout that shows the speaker's name (the caller's), and its style.
  void SetNamePlate(CTextLayout* plate, uint8_t plate_style);
  CTextLayout* name_plate() const { return name_plate_; }
  // Typewriter speed in ms per character; 0 draws at once.
  void SetCharDelay(uint32_t delay) { char_delay_ = delay; }
  uint32_t char_delay() const { return char_delay_; }
  // Show the click icon when a message has been drawn (at once, or to the end of its typing).
  void SetIconAfterText(bool on) { icon_after_text_ = on; }
  bool icon_after_text() const { return icon_after_text_; }
  // The window is resized to each run (and only then can it follow a point). Every run is laid
  // out in the size the window has when this is switched on.
  void SetFitToRun(bool on);
  // A fitted window is placed after this point (FollowingWindowOrigin); none stops following.
  void SetFollowPoint(std::optional<plat::Point> point, const TextWindowFollow& follow);

  // The element's tooltip text, which the message record's SetText below would otherwise hide.
  using CTextLayout::SetText;
  // Copies the message record and appends two zero bytes: 0; kNoText for null or empty input.
  uint32_t SetText(const uint8_t* bytes, std::size_t length);
  // Frees the text, clears both names and the typing state.
  void ClearText();
  // At most 16 and 15 bytes; null clears.
  void SetNames(const char* speaker, const char* voice);
  const std::string& name() const { return name_; }
  const std::string& voice_name() const { return voice_name_; }
  // The message record as SetText took it, without the two closing zero bytes; empty without one.
  std::span<const uint8_t> text() const {
    return text_.size() < 2 ? std::span<const uint8_t>() : std::span(text_).first(text_.size() - 2);
  }

  // 0; kBadIcon; kIconRefused (no icon is left). Replaces an existing icon.
  uint32_t SetClickIcon(const ClickIconSetup& setup);
  void ReleaseClickIcon();
  // Only on a change: on starts the animation (right after the last character, 4 pixels on,
  // when the icon follows); off stops it and puts the background back.
  void ShowClickIcon(bool on);
  bool icon_shown() const { return icon_shown_; }

  // Prints `text` (its carried commands, full-width spaces skipped or not) at (x, y) inside the
  // margins: 0; kNoString for null; kCommandStopped when a carried command returned a positive
  // result in the first pass.
  uint32_t PrintString(std::span<const uint8_t> text, int32_t x, int32_t y, bool run_commands, bool skip_spaces);
  // Shows the stored message (`refresh`: on a clean page, with the speaker's name on the plate):
  // 0; kNoTextOrFrame; kStillShowing while the last message is being typed or has not been
  // cleared; kCommandStopped (also 2) when a carried command stopped the first pass.
  uint32_t Display(bool refresh);
  // The pen moves to the start of the next line (the frame's line-break command): true when the
  // page is full.
  bool BreakLine() { return NewLine(); }

  // The per-frame step of the typewriter; true while it still has to draw.
  bool UpdateTyping(uint32_t now);
  // Reveals the next `pixels` of the run's extent.
  void AdvanceTyping(int64_t pixels);
  // Draws the rest at once: true when typing was requested or under way.
  bool FinishTyping();
  // The typing images for the current run and the soft edge `size` pixels wide: 0; kNoFont;
  // kEdgeTooNarrow (narrower than the font's height); kRampFailed; kImageFailed. Negative frees
  // them.
  uint32_t PrepareTypingImage(int32_t size);

  PrintState print_state() const { return print_state_; }
  TypeState type_state() const { return type_state_; }
  uint32_t type_duration() const { return type_duration_; }
  uint32_t char_count() const { return char_count_; }
  const CTextRun& run() const { return run_; }

 private:
  struct PassResult {
    uint32_t status = 0;
    bool ran_command = false;
  };
  // The first pass from the pen, running the carried commands: records the run;
  // kCommandStopped when a command stopped it.
  PassResult RecordRun(std::span<const uint8_t> text, bool skip_spaces);
  // Places the run: 0; kNoRun; kFitFailed. A fitted window follows its point.
  uint32_t LayoutRun(bool fit);
  // The second pass: every character at its recorded place, in `target` (null: the page) moved
  // by `origin`. Counts the characters drawn.
  PassResult DrawRun(std::span<const uint8_t> text, bool run_commands, bool skip_spaces, CImage* target,
                     plat::Point origin);
  void EndRun();
  // Runs a carried command through the frame: its result, 0 when it cannot be read.
  int32_t RunCommand(std::span<const uint8_t> text, const TextToken& token);
  void RestoreFontAfterCommands(bool ran_command);
  void ShowNameOnPlate();
  void ShowIconAfterText();
  // The icon's frames as the page shows them at `place`.
  void ComposeIconFrames(plat::Point place);
  // Room around the run for the font's shadow or edge.
  TextRunMargins StyleMargins() const;
  void ReleaseWindowParts();
  // Draws the run's columns between two reveal positions, the soft edge behind the newer one.
  void RevealBetween(int64_t from, int64_t to);
  void EndTyping();

  ITextWindowFrame* frame_ = nullptr;
  CTextLayout* name_plate_ = nullptr;
  uint8_t plate_style_ = 0;
  uint32_t char_delay_ = 0;
  bool icon_after_text_ = false;
  bool fit_to_run_ = false;
  int32_t fit_width_ = 0;
  int32_t fit_height_ = 0;
  std::optional<plat::Point> follow_point_;
  TextWindowFollow follow_;

  // The first pass places characters here, out of sight.
  CImage measure_image_;
  std::vector<uint8_t> text_;
  std::string name_;
  std::string voice_name_;

  PrintState print_state_ = PrintState::kNone;
  CTextRun run_;
  uint32_t char_count_ = 0;

  TypeState type_state_ = TypeState::kNone;
  uint32_t type_duration_ = 0;
  uint32_t type_start_ = 0;
  int64_t revealed_ = 0;
  // The run's final ink (glyph image) and what lay under it (fade image), both of the run's box
  // at `typing_origin_` of the page.
  CImage glyph_image_;
  CImage fade_image_;
  CColorRamp color_ramp_;
  uint32_t ramp_level_ = 0;
  plat::Point typing_origin_;

  CImage* icon_source_ = nullptr;
  CImage icon_frames_;
  RefPtr<CCellSheet> icon_sheet_;
  CPicturePart* click_icon_ = nullptr;
  CTimerManager* icon_timers_ = nullptr;
  plat::Point icon_place_;
  bool icon_follows_ = false;
  bool icon_shown_ = false;
};
