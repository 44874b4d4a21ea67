#include "platform/menu_overlay.h"

#include <imgui.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "platform/font_face.h"
#include "platform/message_queue.h"
#include "platform/screen_presenter.h"

namespace plat {
namespace {

// The height of the menu font in pixels: a menu bar of about the height the desktop gives one.
constexpr float kFontPixels = 16.0F;
// The space above and below the items' text.
constexpr float kItemPadding = 3.0F;

struct Bar {
  ImGuiContext* context = nullptr;
  // The glyphs the font atlas holds: the labels' own and the basic Latin ones.
  ImVector<ImWchar> glyph_ranges;
  SDL_Texture* font_texture = nullptr;
  SDL_Renderer* font_renderer = nullptr;
  std::vector<MenuOverlayItem> items;
  MenuOverlayClosed closed;
  ImVec2 mouse{-1.0F, -1.0F};
  bool mouse_down = false;
  uint32_t last_frame_ms = 0;
  std::optional<uint32_t> finished;

  ~Bar() {
    if (font_texture != nullptr) SDL_DestroyTexture(font_texture);
    if (context != nullptr) ImGui::DestroyContext(context);
  }
};

// Only the window thread touches the bars.
std::map<WindowId, std::unique_ptr<Bar>>& Bars() {
  static std::map<WindowId, std::unique_ptr<Bar>> bars;
  return bars;
}

Bar* Find(WindowId window) {
  const auto found = Bars().find(window);
  return found != Bars().end() ? found->second.get() : nullptr;
}

void LoadFont(Bar& bar) {
  ImGuiIO& io = ImGui::GetIO();
  ImFontGlyphRangesBuilder builder;
  builder.AddRanges(io.Fonts->GetGlyphRangesDefault());
  for (const MenuOverlayItem& item : bar.items) builder.AddText(item.label.c_str());
  builder.BuildRanges(&bar.glyph_ranges);
  const std::string path = FontFilePath("");
  if (!path.empty() && io.Fonts->AddFontFromFileTTF(path.c_str(), kFontPixels, nullptr, bar.glyph_ranges.Data)) {
    return;
  }
  io.Fonts->AddFontDefault();
}

bool MakeFontTexture(Bar& bar, SDL_Renderer* renderer) {
  if (bar.font_texture != nullptr && bar.font_renderer == renderer) return true;
  if (bar.font_texture != nullptr) SDL_DestroyTexture(bar.font_texture);
  unsigned char* pixels = nullptr;
  int width = 0;
  int height = 0;
  ImGuiIO& io = ImGui::GetIO();
  io.Fonts->GetTexDataAsRGBA32(&pixels, &width, &height);
  bar.font_texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, width, height);
  bar.font_renderer = renderer;
  if (bar.font_texture == nullptr) return false;
  SDL_UpdateTexture(bar.font_texture, nullptr, pixels, width * 4);
  SDL_SetTextureBlendMode(bar.font_texture, SDL_BLENDMODE_BLEND);
  io.Fonts->SetTexID(bar.font_texture);
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

// Builds one frame of the bar: the items across the top; a choice or a click beside the bar
// finishes it.
void BuildFrame(Bar& bar) {
  if (ImGui::BeginMainMenuBar()) {
    for (const MenuOverlayItem& item : bar.items) {
      if (ImGui::MenuItem(item.label.c_str(), nullptr, false, item.enabled)) bar.finished = item.command;
    }
    ImGui::EndMainMenuBar();
  }
  if (!bar.finished && ImGui::IsMouseClicked(ImGuiMouseButton_Left) &&
      !ImGui::IsWindowHovered(ImGuiHoveredFlags_AnyWindow)) {
    bar.finished = 0;
  }
}

void Finish(WindowId window) {
  const auto found = Bars().find(window);
  if (found == Bars().end() || !found->second->finished) return;
  const std::unique_ptr<Bar> bar = std::move(found->second);
  Bars().erase(found);
  ScreenPresenter::RepaintWindow(window);
  if (bar->closed) bar->closed(*bar->finished);
}

std::optional<WindowId> InputWindow(const SDL_Event& event) {
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
    default: return std::nullopt;
  }
}

bool DismissesBar(SDL_Keycode key) {
  return key == SDLK_ESCAPE || key == SDLK_LALT || key == SDLK_RALT || key == SDLK_F10;
}

}  // namespace

bool MenuOverlay::Open(WindowId window, std::vector<MenuOverlayItem> items, MenuOverlayClosed closed) {
  if (ScreenPresenter::ForWindow(window) == nullptr) return false;
  auto bar = std::make_unique<Bar>();
  bar->items = std::move(items);
  bar->closed = std::move(closed);
  ImGuiContext* previous = ImGui::GetCurrentContext();
  bar->context = ImGui::CreateContext();
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;
  io.LogFilename = nullptr;
  ImGui::StyleColorsLight();
  ImGui::GetStyle().FramePadding.y = kItemPadding;
  LoadFont(*bar);
  ImGui::SetCurrentContext(previous);
  bar->last_frame_ms = SDL_GetTicks();
  Bars()[window] = std::move(bar);
  ScreenPresenter::RepaintWindow(window);
  return true;
}

void MenuOverlay::Close(WindowId window) {
  if (Bars().erase(window) != 0) ScreenPresenter::RepaintWindow(window);
}

bool MenuOverlay::IsOpen(WindowId window) { return Find(window) != nullptr; }

int32_t MenuOverlay::BarHeight() { return static_cast<int32_t>(kFontPixels + 2.0F * kItemPadding); }

bool MenuOverlay::TakeEvent(const SDL_Event& event) {
  const std::optional<WindowId> window = InputWindow(event);
  if (!window) return false;
  Bar* bar = Find(*window);
  if (bar == nullptr) return false;
  switch (event.type) {
    case SDL_MOUSEMOTION:
      bar->mouse = ImVec2(static_cast<float>(event.motion.x), static_cast<float>(event.motion.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      bar->mouse = ImVec2(static_cast<float>(event.button.x), static_cast<float>(event.button.y));
      if (event.button.button == SDL_BUTTON_LEFT) bar->mouse_down = event.type == SDL_MOUSEBUTTONDOWN;
      break;
    case SDL_KEYDOWN:
      if (DismissesBar(event.key.keysym.sym)) bar->finished = 0;
      break;
    default:
      break;
  }
  if (!bar->finished) ScreenPresenter::RepaintWindow(*window);
  Finish(*window);
  return true;
}

void MenuOverlay::DrawOver(WindowId window, SDL_Renderer* renderer) {
  Bar* bar = Find(window);
  if (bar == nullptr || bar->finished) return;
  ImGuiContext* previous = ImGui::GetCurrentContext();
  ImGui::SetCurrentContext(bar->context);
  int width = 0;
  int height = 0;
  if (SDL_GetRendererOutputSize(renderer, &width, &height) == 0 && width > 0 && height > 0 &&
      MakeFontTexture(*bar, renderer)) {
    ImGuiIO& io = ImGui::GetIO();
    io.DisplaySize = ImVec2(static_cast<float>(width), static_cast<float>(height));
    const uint32_t now = SDL_GetTicks();
    io.DeltaTime = static_cast<float>(now > bar->last_frame_ms ? now - bar->last_frame_ms : 1) / 1000.0F;
    bar->last_frame_ms = now;
    io.MousePos = bar->mouse;
    io.MouseDown[0] = bar->mouse_down;
    ImGui::NewFrame();
    BuildFrame(*bar);
    ImGui::Render();
    RenderDrawData(*ImGui::GetDrawData(), renderer);
  }
  ImGui::SetCurrentContext(previous);
  if (bar->finished) MessageQueue::Instance().PostTask([window] { Finish(window); });
}

}  // namespace plat
