// The message box of the game's scripts (widget type 111): a text layout that prints the current
// message of a message parser through its animation task, shows an animated wait icon while it
// waits for the player, draws the speaker's name into a companion name box and keeps the voice
// part of the speaker field. The skip toggle, a check button of the scripts', makes it skip.
#pragma once

#include <array>
#include <cstdint>

#include "base/lifetime/ref_counted.h"
#include "scene/animations/cell_sheet.h"
#include "ui/text_objects/text_layout.h"

class CCheckButton;
class CPicturePart;
class CTextAnimTask;
class CTimerManager;
class IMessageText;

class CScriptTextBox : public CTextLayout {
 public:
  static constexpr int32_t kType = 111;
  // StartAnimation and ShowAllAtOnce.
  static constexpr uint32_t kNoTimersOrMessage = 1;
  static constexpr uint32_t kTaskRefused = 2;
  static constexpr uint32_t kVoiceNameTooLong = 2;
  static constexpr uint32_t kWaitIconFailed = 3;
  // StartPicture.
  static constexpr uint32_t kNoTimersOrPictureSet = 1;
  static constexpr uint32_t kPictureRefused = 2;
  // ControlAnimation without a task.
  static constexpr uint32_t kNoTask = 1;
  // The voice name holds this many bytes with its terminator.
  static constexpr size_t kVoiceNameSize = 16;

  CScriptTextBox(IMessageText* message, CTimerManager* timers) : message_(message), timers_(timers) {}
  ~CScriptTextBox() override;

  int32_t GetType() const override { return kType; }
  // The name box moves by the same offset.
  void SetPosition(int32_t x, int32_t y) override;
  // The name box shows only while a name is shown.
  void SetActive(bool active) override;
  // Ends the animation task and the wait icon, then the layout.
  void Destroy() override;
  // The name box takes the same background; the wait icon keeps the new one under it.
  int32_t SetBackground(uint8_t style, uint32_t colour, uint8_t alpha, bool redraw) override;

  // A clean page; the name box goes.
  void NewPage();
  // The picture set of the wait icon from the next start on (null: none); an existing icon ends.
  // The box holds the set: one that its list lets go of lives on with the box.
  void SetPictureSet(CCellSheet* picture_set);
  // Shows the wait icon now, made from the picture set when there is none yet: 0 once it runs;
  // kNoTimersOrPictureSet; kPictureRefused when the icon cannot be made or registered.
  uint32_t StartPicture();
  // 0; kNoTimersOrMessage; kTaskRefused; kWaitIconFailed; kVoiceNameTooLong after starting.
  uint32_t StartAnimation(bool mode);
  // Prints the current message to its end at once: as StartAnimation without an icon.
  uint32_t ShowAllAtOnce();
  // CTextAnimTask's operations: 0; kNoTask; CTextAnimTask::kBadOperation.
  uint32_t ControlAnimation(uint32_t operation);

  void SetNameBox(CTextLayout* name_box) { name_box_ = name_box; }
  // 0 to 3 as DrawTextAligned; 4 and above spread the name over the name box.
  void SetNameAlignment(uint8_t alignment) { name_alignment_ = alignment; }
  void SetCompanion(CCheckButton* companion) { companion_ = companion; }
  // Lets go of the name box or the companion when that widget is about to go.
  void ForgetWidget(const CGuiElement* widget);
  void SetClickToAdvance(bool on) { click_to_advance_ = on; }

  const char* voice_name() const { return voice_name_.data(); }
  // False also once the icon was ended from outside (its set released or loaded again).
  bool wait_icon_shown() const { return wait_icon_ != nullptr && wait_icon_shown_; }
  bool name_shown() const { return name_shown_; }
  const CTextAnimTask* animation() const { return animation_; }
  const CPicturePart* wait_icon() const { return wait_icon_; }
  const CCellSheet* picture_set() const { return picture_set_.get(); }

 private:
  friend class CTextAnimTask;

  uint32_t MakeAnimation();
  uint32_t MakeWaitIcon();
  void ShowWaitIcon();
  void HideWaitIcon();
  // The ended icon's rest frame leaves the page.
  void EndWaitIcon();
  void DrawSpeakerName();
  // kVoiceNameTooLong leaves the voice name empty.
  uint32_t TakeVoiceName();
  // The decide action, action 19, or the left button away from the owner's other widgets.
  bool IsAdvanceRequested() const;
  bool CompanionForcesSkip() const;
  void AllowCompanion(bool allowed);
  // A string drawn as one unit at the pen, which moves past it.
  void DrawStringAtPen(const char* text);
  int32_t FontSize() const { return FontHeight(); }
  void SetFontSize(int32_t size);

  IMessageText* message_;
  CTimerManager* timers_;
  CTextAnimTask* animation_ = nullptr;
  CPicturePart* wait_icon_ = nullptr;
  bool click_to_advance_ = true;
  std::array<char, kVoiceNameSize> voice_name_{};
  RefPtr<CCellSheet> picture_set_;
  CTextLayout* name_box_ = nullptr;
  CCheckButton* companion_ = nullptr;
  uint8_t name_alignment_ = 0;
  bool wait_icon_shown_ = false;
  bool name_shown_ = false;
};
