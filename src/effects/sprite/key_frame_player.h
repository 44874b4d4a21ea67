// The key-frame player that the path animations share: it walks the records of a motion path
// against the clock, performing the commands up to the next key frame and then moving from the
// previous key frame to it over the current duration, eased. Once a movement's time is up the
// key frame becomes the previous one and the player goes on within the same step; the next
// movement starts when the last one should have ended, so that the timing does not drift with
// the frame rate. What is moved (a sprite, a layer's view) is the derived class's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/motions/motion_path.h"

class CKeyFramePlayer {
 public:
  CKeyFramePlayer() = default;
  CKeyFramePlayer(const CKeyFramePlayer&) = delete;
  CKeyFramePlayer& operator=(const CKeyFramePlayer&) = delete;
  virtual ~CKeyFramePlayer() = default;

  CMotionPath& Path() { return path_; }
  const CMotionPath& Path() const { return path_; }

  // Plays from key frame 0 towards the record after it, movements lasting `duration` ms (at
  // least 1) until a time record says otherwise, linear, curves off, the M and L values 25 and
  // 50. A looping player goes on from the last key frame to the second for ever (a path without
  // a key frame after its start cannot loop). The clock starts at the first step.
  void StartPlaying(std::uint32_t duration, bool loop);
  // One step at `now`: false while playing; true once the end was reached and the last key
  // frame shown.
  bool Step(std::uint32_t now);
  // Performs every command not yet performed and shows the last key frame.
  void ShowEnd();
  // Moves the running movement's start on by a span the player was paused.
  void ShiftStart(std::uint32_t span);

  // How far along the movement stands after `elapsed` ms of the current duration (0 to 1).
  double Progress(std::uint32_t elapsed) const;
  // The swing offset at progress t: out by `swing` and back, shifted by the phase.
  static std::int32_t SwingOffset(std::int32_t swing, std::int32_t phase, double t);

  std::uint32_t GetDuration() const { return duration_; }
  std::int32_t GetStepM() const { return step_m_; }
  std::int32_t GetStepL() const { return step_l_; }
  bool CurvesOn() const { return curves_; }

 protected:
  // The commands that concern only what is moved: to front, to back, centre.
  virtual void OnCommand(const MotionPathRecord& /*command*/) {}
  // Shows the state at progress t of the movement from `from` to `to`.
  virtual void ShowFrame(const MotionPathRecord& from, const MotionPathRecord& to, double t) = 0;
  // The place at progress t on the line or curve from `from` to `to`, `to`'s swing added.
  void PlaceAt(const MotionPathRecord& from, const MotionPathRecord& to, double t, std::int32_t& x,
               std::int32_t& y) const;

 private:
  void Perform(const MotionPathRecord& command);

  CMotionPath path_;
  std::size_t index_ = 1;
  std::size_t previous_ = 0;
  bool started_ = false;
  std::uint32_t step_start_ = 0;
  std::uint32_t duration_ = 1;
  bool loop_ = false;
  // Without a value the easing is the cosine ease.
  bool has_value_ = true;
  double power_ = 0.0;
  bool curves_ = false;
  std::int32_t step_m_ = 25;
  std::int32_t step_l_ = 50;
};
