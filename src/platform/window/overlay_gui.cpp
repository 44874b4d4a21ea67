#include "platform/window/overlay_gui.h"

#include <imgui.h>
#include <imgui_internal.h>

#include "platform/fonts/font_face.h"

namespace plat {

struct OverlayGui::State {
  ImGuiContext* context = nullptr;
  ImVector<ImWchar> glyph_ranges;
  SDL_Texture* font_texture = nullptr;
  SDL_Renderer* font_renderer = nullptr;
  ImVec2 mouse{-1.0F, -1.0F};
  bool mouse_down[3] = {false, false, false};
  // A press and its release within one frame still count as a click.
  bool mouse_pressed[3] = {false, false, false};
  float wheel = 0.0F;
  std::string text;
  std::vector<SDL_Scancode> pressed;
  std::vector<SDL_Scancode> pressed_last_frame;
  bool keys_down[SDL_NUM_SCANCODES] = {};
  uint16_t modifiers = 0;
  uint32_t last_frame_ms = 0;

  ~State() {
    if (font_texture != nullptr) SDL_DestroyTexture(font_texture);
    if (context != nullptr) ImGui::DestroyContext(context);
  }
};

namespace {

// Makes a context current for the time of one call.
class ContextScope {
 public:
  explicit ContextScope(ImGuiContext* context) : previous_(ImGui::GetCurrentContext()) {
    ImGui::SetCurrentContext(context);
  }
  ~ContextScope() { ImGui::SetCurrentContext(previous_); }
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;

 private:
  ImGuiContext* previous_;
};

void LoadFont(ImVector<ImWchar>& ranges, const std::vector<std::string>& texts,
              const OverlayGuiStyle& style) {
  ImGuiIO& io = ImGui::GetIO();
  ImFontGlyphRangesBuilder builder;
  builder.AddRanges(io.Fonts->GetGlyphRangesDefault());
  if (style.japanese_ranges) builder.AddRanges(io.Fonts->GetGlyphRangesJapanese());
  for (const std::string& text : texts) builder.AddText(text.c_str());
  builder.BuildRanges(&ranges);
  const std::string path = FontFilePath("");
  if (!path.empty() && io.Fonts->AddFontFromFileTTF(path.c_str(), style.font_pixels, nullptr, ranges.Data)) return;
  io.Fonts->AddFontDefault();
}

bool MakeFontTexture(OverlayGui::State& state, SDL_Renderer* renderer) {
  if (state.font_texture != nullptr && state.font_renderer == renderer) return true;
  if (state.font_texture != nullptr) SDL_DestroyTexture(state.font_texture);
  unsigned char* pixels = nullptr;
  int width = 0;
  int height = 0;
  ImGuiIO& io = ImGui::GetIO();
  io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
  state.font_texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, width, height);
  state.font_renderer = renderer;
  if (state.font_texture == nullptr) return false;
  SDL_UpdateTexture(state.font_texture, nullptr, pixels, width * 4);
  SDL_SetTextureBlendMode(state.font_texture, SDL_BLENDMODE_BLEND);
  io.Fonts->SetTexID(state.font_texture);
  return true;
}

void RenderDrawData(const ImDrawData& data, SDL_Renderer* renderer) {
  for (int list_index = 0; list_index < data.CmdListsCount; ++list_index) {
    const ImDrawList& list = *data.CmdLists[list_index];
    for (const ImDrawCmd& command : list.CmdBuffer) {
      const SDL_Rect clip{static_cast<int>(command.ClipRect.x), static_cast<int>(command.ClipRect.y),
                          static_cast<int>(command.ClipRect.z - command.ClipRect.x),
                          static_cast<int>(command.ClipRect.w - command.ClipRect.y)};
      if (clip.w <= 0 || clip.h <= 0) continue;
      SDL_RenderSetClipRect(renderer, &clip);
      const ImDrawVert* vertices = list.VtxBuffer.Data + command.VtxOffset;
      SDL_RenderGeometryRaw(renderer, static_cast<SDL_Texture*>(command.GetTexID()), &vertices->pos.x,
                            sizeof(ImDrawVert), reinterpret_cast<const SDL_Color*>(&vertices->col), sizeof(ImDrawVert),
                            &vertices->uv.x, sizeof(ImDrawVert),
                            list.VtxBuffer.Size - static_cast<int>(command.VtxOffset),
                            list.IdxBuffer.Data + command.IdxOffset, static_cast<int>(command.ElemCount),
                            sizeof(ImDrawIdx));
    }
  }
  SDL_RenderSetClipRect(renderer, nullptr);
}

void MapKeys(ImGuiIO& io) {
  constexpr std::pair<ImGuiKey, SDL_Scancode> kKeys[] = {
      {ImGuiKey_Tab, SDL_SCANCODE_TAB},         {ImGuiKey_LeftArrow, SDL_SCANCODE_LEFT},
      {ImGuiKey_RightArrow, SDL_SCANCODE_RIGHT}, {ImGuiKey_UpArrow, SDL_SCANCODE_UP},
      {ImGuiKey_DownArrow, SDL_SCANCODE_DOWN},   {ImGuiKey_PageUp, SDL_SCANCODE_PAGEUP},
      {ImGuiKey_PageDown, SDL_SCANCODE_PAGEDOWN}, {ImGuiKey_Home, SDL_SCANCODE_HOME},
      {ImGuiKey_End, SDL_SCANCODE_END},          {ImGuiKey_Insert, SDL_SCANCODE_INSERT},
      {ImGuiKey_Delete, SDL_SCANCODE_DELETE},    {ImGuiKey_Backspace, SDL_SCANCODE_BACKSPACE},
      {ImGuiKey_Space, SDL_SCANCODE_SPACE},      {ImGuiKey_Enter, SDL_SCANCODE_RETURN},
      {ImGuiKey_Escape, SDL_SCANCODE_ESCAPE},    {ImGuiKey_KeyPadEnter, SDL_SCANCODE_KP_ENTER},
      {ImGuiKey_A, SDL_SCANCODE_A},              {ImGuiKey_C, SDL_SCANCODE_C},
      {ImGuiKey_V, SDL_SCANCODE_V},              {ImGuiKey_X, SDL_SCANCODE_X},
      {ImGuiKey_Y, SDL_SCANCODE_Y},              {ImGuiKey_Z, SDL_SCANCODE_Z},
  };
  for (const auto& [key, scancode] : kKeys) io.KeyMap[key] = scancode;
}

}  // namespace

OverlayGui::OverlayGui(const std::vector<std::string>& texts, const OverlayGuiStyle& style)
    : state_(std::make_unique<State>()) {
  state_->context = ImGui::CreateContext();
  const ContextScope scope(state_->context);
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.LogFilename = nullptr;
  MapKeys(io);
  ImGui::StyleColorsLight();
  ImGui::GetStyle().FramePadding.y = style.frame_padding_y;
  LoadFont(state_->glyph_ranges, texts, style);
  state_->last_frame_ms = SDL_GetTicks();
}

OverlayGui::~OverlayGui() = default;

void OverlayGui::TakeEvent(const SDL_Event& event) {
  State& state = *state_;
  switch (event.type) {
    case SDL_MOUSEMOTION:
      state.mouse = ImVec2(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      state.mouse = ImVec2(static_cast<float>(event.button.x), static_cast<float>(event.button.y));
      const int button = event.button.button == SDL_BUTTON_LEFT    ? 0
                         : event.button.button == SDL_BUTTON_RIGHT ? 1
                         : event.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                    : -1;
      if (button < 0) break;
      state.mouse_down[button] = event.type == SDL_MOUSEBUTTONDOWN;
      if (event.type == SDL_MOUSEBUTTONDOWN) state.mouse_pressed[button] = true;
      break;
    }
    case SDL_MOUSEWHEEL:
      state.wheel += static_cast<float>(event.wheel.y);
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Scancode scancode = event.key.keysym.scancode;
      if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) break;
      state.keys_down[scancode] = event.type == SDL_KEYDOWN;
      state.modifiers = event.key.keysym.mod;
      if (event.type == SDL_KEYDOWN && event.key.repeat == 0) state.pressed.push_back(scancode);
      break;
    }
    case SDL_TEXTINPUT:
      state.text += event.text.text;
      break;
    default:
      break;
  }
}

bool OverlayGui::Frame(SDL_Renderer* renderer, const std::function<void()>& build) {
  State& state = *state_;
  const ContextScope scope(state.context);
  int width = 0;
  int height = 0;
  if (SDL_GetRendererOutputSize(renderer, &width, &height) != 0 || width <= 0 || height <= 0 ||
      !MakeFontTexture(state, renderer)) {
    return false;
  }
  ImGuiIO& io = ImGui::GetIO();
  io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
  const uint32_t now = SDL_GetTicks();
  io.DeltaTime = static_cast<float>(now > state.last_frame_ms ? now - state.last_frame_ms : 1) / 1000.0F;
  state.last_frame_ms = now;
  io.MousePos = state.mouse;
  for (int button = 0; button < 3; ++button) {
    io.MouseDown[button] = state.mouse_down[button] || state.mouse_pressed[button];
    state.mouse_pressed[button] = false;
  }
  io.MouseWheel = state.wheel;
  state.wheel = 0.0F;
  for (int key = 0; key < SDL_NUM_SCANCODES && key < IM_ARRAYSIZE(io.KeysDown); ++key) {
    io.KeysDown[key] = state.keys_down[key];
  }
  for (const SDL_Scancode key : state.pressed) {
    if (key < IM_ARRAYSIZE(io.KeysDown)) io.KeysDown[key] = true;
  }
  io.KeyShift = (state.modifiers & KMOD_SHIFT) != 0;
  io.KeyCtrl = (state.modifiers & KMOD_CTRL) != 0;
  io.KeyAlt = (state.modifiers & KMOD_ALT) != 0;
  io.AddInputCharactersUTF8(state.text.c_str());
  state.text.clear();
  state.pressed_last_frame = std::move(state.pressed);
  state.pressed.clear();
  ImGui::NewFrame();
  build();
  ImGui::Render();
  RenderDrawData(*ImGui::GetDrawData(), renderer);
  return true;
}

const std::vector<SDL_Scancode>& OverlayGui::PressedKeys() const { return state_->pressed_last_frame; }

bool OverlayGui::CoversText(const std::string& text) const {
  const ContextScope scope(state_->context);
  const ImFontAtlas& atlas = *ImGui::GetIO().Fonts;
  if (!atlas.IsBuilt() || atlas.Fonts.empty()) return false;
  const ImFont& font = *atlas.Fonts[0];
  const char* end = text.data() + text.size();
  for (const char* at = text.data(); at < end;) {
    unsigned int character = 0;
    at += ImTextCharFromUtf8(&character, at, end);
    if (character >= 0x20 && font.FindGlyphNoFallback(static_cast<ImWchar>(character)) == nullptr) return false;
  }
  return true;
}

uint32_t InputEventWindow(const SDL_Event& event) {
  switch (event.type) {
    case SDL_MOUSEMOTION: return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return event.button.windowID;
    case SDL_MOUSEWHEEL: return event.wheel.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return event.key.windowID;
    case SDL_TEXTINPUT: return event.text.windowID;
    case SDL_TEXTEDITING: return event.edit.windowID;
    case SDL_TEXTEDITING_EXT: return event.editExt.windowID;
    default: return 0;
  }
}

}  // namespace plat
