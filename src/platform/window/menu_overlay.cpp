#include "platform/window/menu_overlay.h"

#include <imgui.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>

#include "platform/window/message_queue.h"
#include "platform/window/overlay_gui.h"
#include "platform/window/screen_presenter.h"

namespace plat {
namespace {

// The height of the menu font in pixels: a menu bar of about the height the desktop gives one.
constexpr float kFontPixels = 16.0F;
// The space above and below the items' text.
constexpr float kItemPadding = 3.0F;

struct Bar {
  std::unique_ptr<OverlayGui> gui;
  std::vector<MenuOverlayItem> items;
  MenuOverlayClosed closed;
  std::optional<uint32_t> finished;
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

bool DismissesBar(SDL_Keycode key) {
  return key == SDLK_ESCAPE || key == SDLK_LALT || key == SDLK_RALT || key == SDLK_F10;
}

}  // namespace

bool MenuOverlay::Open(WindowId window, std::vector<MenuOverlayItem> items, MenuOverlayClosed closed) {
  if (ScreenPresenter::ForWindow(window) == nullptr) return false;
  auto bar = std::make_unique<Bar>();
  bar->items = std::move(items);
  bar->closed = std::move(closed);
  std::vector<std::string> labels;
  for (const MenuOverlayItem& item : bar->items) labels.push_back(item.label);
  bar->gui = std::make_unique<OverlayGui>(labels, OverlayGuiStyle{kFontPixels, kItemPadding, false});
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
  const WindowId window = InputEventWindow(event);
  Bar* bar = window != 0 ? Find(window) : nullptr;
  if (bar == nullptr) return false;
  bar->gui->TakeEvent(event);
  if (event.type == SDL_KEYDOWN && DismissesBar(event.key.keysym.sym)) bar->finished = 0;
  if (!bar->finished) ScreenPresenter::RepaintWindow(window);
  Finish(window);
  return true;
}

void MenuOverlay::DrawOver(WindowId window, SDL_Renderer* renderer) {
  Bar* bar = Find(window);
  if (bar == nullptr || bar->finished) return;
  bar->gui->Frame(renderer, [bar] { BuildFrame(*bar); });
  if (bar->finished) MessageQueue::Instance().PostTask([window] { Finish(window); });
}

}  // namespace plat
