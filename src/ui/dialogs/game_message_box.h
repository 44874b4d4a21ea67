// The engine's own modal question box, drawn with the game's "SYS/" pictures: a framed,
// half-transparent panel with the text and one or two picture buttons, centred, at given
// coordinates or under the pointer, optionally zooming open and closed. Its loop keeps the
// game's frames going until the player decides. The same object slides short notices in at the
// bottom-left of the screen and fades them out.
#pragma once

#include <cstdint>

#include "base/lifetime/handle_table.h"
#include "gfx/images/image.h"
#include "platform/fonts/font_face.h"
#include "scene/sprites/sprite.h"
#include "ui/fonts/font.h"
#include "ui/fonts/gdi_font.h"

class CCursorMotion;
class CGuiRootWindow;
class CImageButton;
class CImagePart;
class CMoveMotion;

class CMessageBox : public ScriptVisible<CMessageBox> {
 public:
  // Show's answers.
  static constexpr int32_t kDecided = 1;
  static constexpr int32_t kCancelled = 0;
  static constexpr int32_t kGameEnded = -1;
  static constexpr int32_t kNoWindow = -2;
  // Show's flags: the button set (0 OK alone, 1 OK and Cancel, 2 and 3 Yes and No), no decide
  // sound, zoom open and closed.
  static constexpr uint32_t kButtonSetMask = 0x03;
  static constexpr uint32_t kNoDecideSound = 0x40;
  static constexpr uint32_t kZoom = 0x80;
  // Show's coordinates: centred on that axis; under the pointer (x only).
  static constexpr int32_t kCentred = -1;
  static constexpr int32_t kUnderPointer = -2;
  // PointAtButton's answers besides 0 (the pointer glides to the button).
  static constexpr int32_t kFocusedByKey = 1;
  // ShowNotice's failures.
  static constexpr uint32_t kNoticeNoImage = 1;
  static constexpr uint32_t kNoticeRefused = 2;
  static constexpr uint32_t kNoticeNotStarted = 3;
  // The game screen the box and the notices are laid out on.
  static constexpr int32_t kScreenWidth = 800;
  static constexpr int32_t kScreenHeight = 600;

  // `open_face` makes the faces of the fonts (the installed fonts unless a test gives its own).
  explicit CMessageBox(const plat::FontFaceFactory& open_face = plat::OpenFontFace);
  CMessageBox(const CMessageBox&) = delete;
  CMessageBox& operator=(const CMessageBox&) = delete;
  ~CMessageBox();

  // Sets the fonts up, gives the root window its tooltip settings and font, drops the cache's
  // hold on the box pictures and makes the root window the owner window. The first time, the
  // fonts' faces are opened only when a font is first used (the first lookup starts the
  // system's font configuration, which a game's first frames seldom need).
  void Setup();
  // What the script host calls when it is built and when it ends.
  void LoadImages() { Setup(); }
  void StopTask() { StopNotice(); }

  // Asks the question (flags above; x and y, or kCentred / kUnderPointer; focus: the button
  // the pointer glides to, negative none; layer: the image part whose attached list shows the
  // box, null the screen's frame image). kDecided, kCancelled, kGameEnded or kNoWindow.
  int32_t Show(uint32_t flags, const char* text, int32_t x, int32_t y, int32_t focus, CImagePart* layer);
  // Glides the pointer to the button's centre (0), or, when it cannot glide, gives the button
  // the keyboard focus (kFocusedByKey). With `wait` the frames run until the glide is over
  // (kGameEnded when the game ends meanwhile). kNoWindow without button or owner window.
  int32_t PointAtButton(CImageButton* button, bool wait, CCursorMotion** task);
  // 0, or kNoticeNoImage, kNoticeRefused, kNoticeNotStarted.
  uint32_t ShowNotice(const char* text);
  // The same notice with a picture file instead of a line of text; kNoticeNoImage when the
  // picture cannot be loaded.
  uint32_t OpenWithPicture(const char* picture);
  // Ends the running notice slide, if any.
  void StopNotice();

  // The window the boxes join and report to; Setup makes it the root window.
  void SetOwnerWindow(CGuiRootWindow* window) { owner_ = window; }
  CGuiRootWindow* GetOwnerWindow() const { return owner_; }
  const CFont& GetTooltipFont() const {
    ReadyFonts();
    return tooltip_font_;
  }
  // The box's first inner object, which the scripts may ask for: its tooltip font.
  CFont& TooltipFont() {
    ReadyFonts();
    return tooltip_font_;
  }
  const CGdiFont& GetNoticeFont() const {
    ReadyFonts();
    return notice_font_;
  }
  const CFont& GetBoxFont() const {
    ReadyFonts();
    return box_font_;
  }
  const CImage& GetNoticeImage() const { return notice_image_; }
  const CSprite& GetNoticeSprite() const { return notice_sprite_; }
  const CMoveMotion* GetNoticeTask() const { return notice_task_; }

 private:
  class Box;
  // Slides the notice image in and out.
  uint32_t SlideNotice();
  // The fonts with their faces opened, when Setup left that to their first use.
  void ReadyFonts() const;

  // Mutable: a font's face is opened on its first use, which may be a reading one.
  mutable CFont tooltip_font_;
  mutable CGdiFont notice_font_;
  mutable CFont box_font_;
  mutable bool fonts_pending_ = false;
  mutable bool fonts_opened_ = false;
  CImage notice_image_;
  // Shows the notice image; it goes before the image.
  CSprite notice_sprite_;
  CMoveMotion* notice_task_ = nullptr;
  CGuiRootWindow* owner_ = nullptr;
};

// The program's message box, made before the application object and ended at exit.
extern CMessageBox g_MessageBox;
