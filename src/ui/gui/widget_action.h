// The optional action record of buttons, click areas and text items: flag variables set when
// the widget fires and when the pointer enters or leaves it, names handed to the owner window's
// OnAction, and the three interface sounds of its events.
#pragma once

#include <cstdint>
#include <string>

class CGuiWindow;

class CWidgetAction {
 public:
  enum class Event { kDecide, kEnter, kLeave };

  struct Setup {
    const char* name1 = nullptr;
    uint32_t value = 0;
    const char* name2 = nullptr;
    uint32_t* fired_flag = nullptr;
    uint32_t* hover_flag = nullptr;
    uint32_t* unhover_flag = nullptr;
    const char* decide_sound = nullptr;
    const char* enter_sound = nullptr;
    const char* leave_sound = nullptr;
    int32_t decide_id = -1;
    int32_t enter_id = -1;
    int32_t leave_id = -1;
  };

  // Empty names stay absent; a sound whose name is given plays as sound 0 of that name.
  explicit CWidgetAction(const Setup& setup);

  // Sets the fired flag and tells the owner the action when any of its names or value is set.
  void Fire(CGuiWindow* owner) const;
  // Sets the hover and unhover flags for the pointer entering (true) or leaving.
  void SetHover(bool entered) const;
  // The record's sound for the event, or the owner's standard one when its id is below 0.
  static int32_t PlayEventSound(const CWidgetAction* action, CGuiWindow& owner, Event event);
  // A widget with this record (or none) fired: the owner hears its command id when that is not
  // negative, the decide sound plays, then the record sets its fired flag and tells its action.
  static void FireWidget(const CWidgetAction* action, CGuiWindow& owner, int32_t id);
  // The pointer or the focus entered (true) or left the widget: the record's flags, then the
  // event's sound when asked for and the widget is in a window.
  static void HoverWidget(const CWidgetAction* action, CGuiWindow* owner, bool entered, bool with_sound);

  const char* name1() const { return NameOrNull(name1_); }
  const char* name2() const { return NameOrNull(name2_); }
  uint32_t value() const { return value_; }
  int32_t sound_id(Event event) const { return sounds_[Index(event)].id; }

 private:
  struct Sound {
    std::string name;
    int32_t id = -1;
  };
  static const char* NameOrNull(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }
  static size_t Index(Event event) { return static_cast<size_t>(event); }

  std::string name1_;
  uint32_t value_;
  std::string name2_;
  uint32_t* fired_flag_;
  uint32_t* hover_flag_;
  uint32_t* unhover_flag_;
  Sound sounds_[3];
};
