// The immediate-mode GUI that overlays draw with over a window's picture: one GUI context with
// its own font atlas (a Japanese face found through fontconfig, holding only the glyphs asked
// for), fed with the window's mouse, key and text events and drawn through SDL's renderer.
// Everything here runs on the window thread.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

struct OverlayGuiStyle {
  float font_pixels = 16.0F;
  // The space above and below the text of buttons and fields.
  float frame_padding_y = 3.0F;
  // Adds the common Japanese glyphs (kana and the frequent ideographs) to the texts' own.
  bool japanese_ranges = false;
};

class OverlayGui {
 public:
  // `texts`: UTF-8 texts whose glyphs the font must hold beside the basic Latin ones.
  OverlayGui(const std::vector<std::string>& texts, const OverlayGuiStyle& style);
  ~OverlayGui();
  OverlayGui(const OverlayGui&) = delete;
  OverlayGui& operator=(const OverlayGui&) = delete;

  // Takes a mouse, key or text event of the window.
  void TakeEvent(const SDL_Event& event);
  // Builds one frame with `build` (which calls the GUI while the context is current) and draws
  // it over what the renderer holds; false when nothing could be drawn.
  bool Frame(SDL_Renderer* renderer, const std::function<void()>& build);
  // The keys pressed since the frame before, in order (SDL scancodes).
  const std::vector<SDL_Scancode>& PressedKeys() const;
  // Whether the font drew every character of the UTF-8 text with a glyph of its own (not the
  // fallback one); false before the first frame.
  bool CoversText(const std::string& text) const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// The window an input event is addressed to; 0 for other events.
uint32_t InputEventWindow(const SDL_Event& event);

}  // namespace plat
