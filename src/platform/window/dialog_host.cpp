#include "platform/window/dialog_host.h"

#include <imgui.h>
#include <imgui_stdlib.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

#include "platform/events/key_codes.h"
#include "platform/system/diagnostic_log.h"
#include "platform/window/dialog_text_wrap.h"
#include "platform/window/message_queue.h"
#include "platform/window/overlay_gui.h"
#include "platform/window/screen_presenter.h"
#include "platform/window/window_renderer.h"

namespace plat {
namespace {

constexpr float kFontPixels = 16.0F;
constexpr float kFramePadding = 3.0F;
// The pause between two frames of a dialog: about the display's rate.
constexpr uint32_t kFrameMs = 16;
// After input a dialog draws this many frames, over which the overlay GUI settles its layout
// and what the pointer is over; then it sleeps until the next input.
constexpr int kSettlingFrames = 3;
// Without input a dialog still draws a frame this often, for what changes with time alone (the
// blink of a text cursor).
constexpr uint32_t kIdleFrameMs = 500;
constexpr uint32_t kLinkColour = 0x1A4FB0;

ImVec4 ColourOf(uint32_t rgb) {
  return ImVec4(static_cast<float>((rgb >> 16) & 0xFF) / 255.0F, static_cast<float>((rgb >> 8) & 0xFF) / 255.0F,
                static_cast<float>(rgb & 0xFF) / 255.0F, 1.0F);
}

struct OpenDialog {
  WindowId window = 0;
  // A window of the dialog's own, when it has no owner to draw over.
  SDL_Window* own_window = nullptr;
  std::unique_ptr<WindowRenderer> own_renderer;
  std::unique_ptr<OverlayGui> gui;
  const DialogFrame* frame = nullptr;
  DialogView* view = nullptr;
  bool close_requested = false;
  // Input for the dialog came since its last frame.
  bool input_arrived = false;
  // A window of its own that takes the height of what the dialog lays out (shown once it has),
  // and that height as the last frame measured it; 0 before.
  bool fits_height = false;
  float laid_out_height = 0.0F;

  ~OpenDialog() {
    own_renderer.reset();
    if (own_window != nullptr) SDL_DestroyWindow(own_window);
  }
};

// The open dialogs, the newest last (only the window thread touches them).
std::vector<OpenDialog*>& OpenDialogs() {
  static std::vector<OpenDialog*> dialogs;
  return dialogs;
}

std::mutex g_watcher_lock;
ScopedDialogWatcher::Watcher g_watcher;

ScopedDialogWatcher::Watcher CurrentWatcher() {
  std::lock_guard guard(g_watcher_lock);
  return g_watcher;
}

OpenDialog* TopDialogOf(WindowId window) {
  for (auto it = OpenDialogs().rbegin(); it != OpenDialogs().rend(); ++it) {
    if ((*it)->window == window) return *it;
  }
  return nullptr;
}

bool EscapePressed(const OverlayGui& gui) {
  const std::vector<SDL_Scancode>& keys = gui.PressedKeys();
  return std::find(keys.begin(), keys.end(), SDL_SCANCODE_ESCAPE) != keys.end();
}

void BuildDialog(OpenDialog& dialog) {
  const ImGuiIO& io = ImGui::GetIO();
  const ImVec2 size(static_cast<float>(dialog.frame->width), static_cast<float>(dialog.frame->height));
  ImGuiWindowFlags flags = ImGuiWindowFlags_NoCollapse | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoSavedSettings;
  bool open = true;
  bool* close_box = &open;
  if (dialog.own_window != nullptr) {
    flags |= ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoMove;
    close_box = nullptr;
    ImGui::SetNextWindowPos(ImVec2(0.0F, 0.0F));
    ImGui::SetNextWindowSize(io.DisplaySize);
  } else {
    if (dialog.frame->x >= 0 && dialog.frame->y >= 0) {
      ImGui::SetNextWindowPos(ImVec2(static_cast<float>(dialog.frame->x), static_cast<float>(dialog.frame->y)),
                              ImGuiCond_Appearing);
    } else {
      ImGui::SetNextWindowPos(ImVec2(io.DisplaySize.x / 2.0F, io.DisplaySize.y / 2.0F), ImGuiCond_Always,
                              ImVec2(0.5F, 0.5F));
    }
    if (size.y > 0.0F) {
      ImGui::SetNextWindowSize(size);
    } else {
      flags |= ImGuiWindowFlags_AlwaysAutoResize;
      ImGui::SetNextWindowSizeConstraints(ImVec2(size.x, 0.0F), io.DisplaySize);
    }
  }
  ImGui::SetNextWindowFocus();
  const bool shown = ImGui::Begin(dialog.frame->title.c_str(), close_box, flags);
  if (shown) {
    SDL_Window* window = dialog.own_window != nullptr ? dialog.own_window : SDL_GetWindowFromID(dialog.window);
    DialogUi ui(*dialog.gui, dialog.close_requested || !open || EscapePressed(*dialog.gui), window);
    dialog.view->Build(ui);
    // Where the last row ended, scrolled or not, and the window's margin below it.
    const ImGuiStyle& style = ImGui::GetStyle();
    if (dialog.fits_height) dialog.laid_out_height = ImGui::GetCursorPosY() - style.ItemSpacing.y + style.WindowPadding.y;
  }
  ImGui::End();
  dialog.close_requested = false;
}

void PumpMessages(OpenDialog& dialog) {
  Message message;
  while (PeekMessage(message, true)) {
    if (message.message == WM_QUIT) {
      // The program is ending: the dialog closes and the quit stays for the loop that waits for it.
      PostQuitMessage(static_cast<int32_t>(message.wparam));
      dialog.close_requested = true;
      return;
    }
    TranslateMessage(message);
    DispatchMessage(message);
  }
}

bool ShowFrame(OpenDialog& dialog, DialogShot& shot) {
  const bool watched = static_cast<bool>(CurrentWatcher());
  if (dialog.own_window == nullptr) {
    ScreenPresenter* presenter = ScreenPresenter::Existing(dialog.window);
    if (presenter == nullptr) return false;
    presenter->Repaint();
    return !watched || presenter->ReadBack(shot.pixels, shot.width, shot.height);
  }
  dialog.own_renderer->FollowWindowSize();
  SDL_Renderer* renderer = dialog.own_renderer->Get();
  SDL_SetRenderDrawColor(renderer, 240, 240, 240, 255);
  SDL_RenderClear(renderer);
  dialog_host::DrawOver(dialog.window, renderer);
  if (watched && SDL_GetRendererOutputSize(renderer, &shot.width, &shot.height) == 0) {
    shot.pixels.assign(static_cast<size_t>(shot.width) * static_cast<size_t>(shot.height), 0);
    SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, shot.pixels.data(), shot.width * 4);
  }
  dialog.own_renderer->Present();
  return true;
}

// The window of a dialog that fits itself to its controls takes the height they were laid out
// in, up to the height of the screen it is on: a taller dialog is scrolled in a window of the
// screen's height. It is shown once it has its height.
void FitOwnWindow(OpenDialog& dialog) {
  if (!dialog.fits_height || dialog.laid_out_height <= 0.0F) return;
  int height = static_cast<int>(std::ceil(dialog.laid_out_height));
  SDL_Rect usable{};
  const int display = SDL_GetWindowDisplayIndex(dialog.own_window);
  if (display >= 0 && SDL_GetDisplayUsableBounds(display, &usable) == 0 && height > usable.h) {
    height = usable.h;
    dialog.fits_height = false;
  }
  int width = 0;
  int shown_height = 0;
  SDL_GetWindowSize(dialog.own_window, &width, &shown_height);
  if (shown_height != height) {
    SDL_SetWindowSize(dialog.own_window, width, height);
    SDL_SetWindowPosition(dialog.own_window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  }
  if ((SDL_GetWindowFlags(dialog.own_window) & SDL_WINDOW_HIDDEN) != 0) SDL_ShowWindow(dialog.own_window);
}

bool MakeOwnWindow(OpenDialog& dialog, const DialogFrame& frame) {
  // A dialog that fits itself to its controls starts hidden, at a common dialog's height, until
  // its first frame has laid it out.
  constexpr int32_t kFirstHeight = 160;
  dialog.fits_height = frame.height <= 0;
  dialog.own_window = SDL_CreateWindow(frame.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, frame.width,
                                       dialog.fits_height ? kFirstHeight : frame.height,
                                       (dialog.fits_height ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN) |
                                           SDL_WINDOW_ALWAYS_ON_TOP);
  if (dialog.own_window != nullptr) dialog.own_renderer = WindowRenderer::Make(dialog.own_window, 0);
  if (dialog.own_renderer == nullptr) {
    LogDiagnostic("dialog (" + frame.title + "): no window to show it in: " + SDL_GetError());
    return false;
  }
  dialog.window = SDL_GetWindowID(dialog.own_window);
  return true;
}

}  // namespace

bool RunModalDialog(WindowId owner, const DialogFrame& frame, DialogView& view) {
  if (!MessageQueue::Instance().OnWindowThread() || SDL_WasInit(SDL_INIT_VIDEO) == 0) {
    LogDiagnostic("dialog (" + frame.title + "): not shown (no display on this thread)");
    return false;
  }
  OpenDialog dialog;
  dialog.frame = &frame;
  dialog.view = &view;
  const bool over_owner = owner != 0 && owner != kDesktopWindow && ScreenPresenter::ForWindow(owner) != nullptr;
  if (over_owner) {
    dialog.window = owner;
  } else if (!MakeOwnWindow(dialog, frame)) {
    return false;
  }
  std::vector<std::string> texts = frame.texts;
  texts.push_back(frame.title);
  dialog.gui = std::make_unique<OverlayGui>(texts, OverlayGuiStyle{kFontPixels, kFramePadding, true});
  OpenDialogs().push_back(&dialog);
  const bool text_input_was_on = SDL_IsTextInputActive() == SDL_TRUE;
  SDL_StartTextInput();
  // Frames are drawn while something changes; between inputs the loop sleeps, as the game's does.
  int frames_due = kSettlingFrames;
  for (int frame_number = 0;;) {
    PumpMessages(dialog);
    if (std::exchange(dialog.input_arrived, false) || dialog.close_requested) {
      frames_due = std::max(frames_due, kSettlingFrames);
    }
    if (frames_due > 0) {
      --frames_due;
      DialogShot shot{frame.title, frame_number++, {}, 0, 0, false};
      if (!ShowFrame(dialog, shot)) dialog.close_requested = true;
      if (dialog.own_window != nullptr) FitOwnWindow(dialog);
      if (const ScopedDialogWatcher::Watcher watcher = CurrentWatcher()) {
        shot.glyphs_covered = std::all_of(texts.begin(), texts.end(),
                                          [&dialog](const std::string& text) { return dialog.gui->CoversText(text); });
        if (watcher(shot)) dialog.close_requested = true;
      }
    }
    if (!view.Step()) break;
    if (frames_due > 0 || dialog.close_requested) {
      SDL_Delay(kFrameMs);
    } else if (!MessageQueue::Instance().WaitForEvent(kIdleFrameMs)) {
      frames_due = 1;
    }
  }
  if (!text_input_was_on) SDL_StopTextInput();
  OpenDialogs().erase(std::find(OpenDialogs().begin(), OpenDialogs().end(), &dialog));
  if (over_owner) ScreenPresenter::RepaintWindow(owner);
  return true;
}

bool IsDialogOpen(WindowId window) { return window == 0 ? !OpenDialogs().empty() : TopDialogOf(window) != nullptr; }

ScopedDialogWatcher::ScopedDialogWatcher(Watcher watcher) {
  std::lock_guard guard(g_watcher_lock);
  previous_ = std::exchange(g_watcher, std::move(watcher));
}

ScopedDialogWatcher::~ScopedDialogWatcher() {
  std::lock_guard guard(g_watcher_lock);
  g_watcher = std::move(previous_);
}

namespace dialog_host {

bool TakeEvent(const SDL_Event& event) {
  if (OpenDialogs().empty()) return false;
  const WindowId window = InputEventWindow(event);
  if (window == 0) return false;
  // The newest dialog is modal: the input of every other window is dropped while it is open.
  OpenDialog* top = OpenDialogs().back();
  if (top->window == window) {
    top->gui->TakeEvent(event);
    top->input_arrived = true;
  }
  return true;
}

void DrawOver(WindowId window, SDL_Renderer* renderer) {
  for (OpenDialog* dialog : OpenDialogs()) {
    if (dialog->window == window) dialog->gui->Frame(renderer, [dialog] { BuildDialog(*dialog); });
  }
}

}  // namespace dialog_host

// The controls.

void DialogUi::Text(const std::string& text) { ImGui::TextUnformatted(text.c_str()); }

void DialogUi::WrappedText(const std::string& text, float width) {
  const auto measure = [](std::string_view line) { return ImGui::CalcTextSize(line.data(), line.data() + line.size()).x; };
  for (const std::string& line : WrapDialogText(text, width, measure)) {
    ImGui::TextUnformatted(line.data(), line.data() + line.size());
  }
}

bool DialogUi::Button(const std::string& label, float width) {
  return ImGui::Button(label.c_str(), ImVec2(width, 0.0F));
}

bool DialogUi::Checkbox(const std::string& label, bool& value) { return ImGui::Checkbox(label.c_str(), &value); }

bool DialogUi::Radio(const std::string& label, bool active) { return ImGui::RadioButton(label.c_str(), active); }

bool DialogUi::Slider(const std::string& id, int& value, int minimum, int maximum, float width) {
  ImGui::SetNextItemWidth(width);
  return ImGui::SliderInt(id.c_str(), &value, minimum, maximum, "", ImGuiSliderFlags_AlwaysClamp);
}

bool DialogUi::InputText(const std::string& id, std::string& text, float width) {
  ImGui::SetNextItemWidth(width);
  return ImGui::InputText(id.c_str(), &text);
}

void DialogUi::ReadOnlyText(const std::string& id, const std::string& text, float width, float height,
                            uint32_t text_colour, uint32_t background) {
  int pushed = 0;
  if (text_colour != kStyleColour) {
    ImGui::PushStyleColor(ImGuiCol_Text, ColourOf(text_colour));
    ++pushed;
  }
  if (background != kStyleColour) {
    ImGui::PushStyleColor(ImGuiCol_FrameBg, ColourOf(background));
    ++pushed;
  }
  std::string shown = text;
  ImGui::InputTextMultiline(id.c_str(), &shown, ImVec2(width, height), ImGuiInputTextFlags_ReadOnly);
  ImGui::PopStyleColor(pushed);
}

bool DialogUi::LinkText(const std::string& text) {
  ImGui::PushStyleColor(ImGuiCol_Text, ColourOf(kLinkColour));
  ImGui::TextUnformatted(text.c_str());
  ImGui::PopStyleColor();
  if (ImGui::IsItemHovered()) ImGui::SetMouseCursor(ImGuiMouseCursor_Hand);
  return ImGui::IsItemClicked(ImGuiMouseButton_Left);
}

bool DialogUi::Combo(const std::string& id, int& index, const std::vector<std::string>& items, float width) {
  ImGui::SetNextItemWidth(width);
  const std::string preview = index >= 0 && static_cast<size_t>(index) < items.size() ? items[index] : std::string();
  bool changed = false;
  if (ImGui::BeginCombo(id.c_str(), preview.c_str())) {
    for (size_t i = 0; i < items.size(); ++i) {
      ImGui::PushID(static_cast<int>(i));
      if (ImGui::Selectable(items[i].c_str(), static_cast<int>(i) == index)) {
        changed = static_cast<int>(i) != index;
        index = static_cast<int>(i);
      }
      ImGui::PopID();
    }
    ImGui::EndCombo();
  }
  return changed;
}

bool DialogUi::Field(const std::string& id, const std::string& text, bool focused, float width) {
  ImGui::PushID(id.c_str());
  const ImVec4 background = ImGui::GetStyleColorVec4(focused ? ImGuiCol_FrameBgActive : ImGuiCol_FrameBg);
  ImGui::PushStyleColor(ImGuiCol_Button, background);
  ImGui::PushStyleColor(ImGuiCol_ButtonHovered, ImGui::GetStyleColorVec4(ImGuiCol_FrameBgHovered));
  ImGui::PushStyleColor(ImGuiCol_ButtonActive, ImGui::GetStyleColorVec4(ImGuiCol_FrameBgActive));
  if (focused) ImGui::PushStyleVar(ImGuiStyleVar_FrameBorderSize, 1.0F);
  const bool clicked = ImGui::Button(text.empty() ? " " : text.c_str(), ImVec2(width, 0.0F));
  if (focused) ImGui::PopStyleVar();
  ImGui::PopStyleColor(3);
  ImGui::PopID();
  return clicked;
}

bool DialogUi::BeginTabBar(const std::string& id) { return ImGui::BeginTabBar(id.c_str()); }

bool DialogUi::TabItem(const std::string& label, bool select) {
  return ImGui::BeginTabItem(label.c_str(), nullptr, select ? ImGuiTabItemFlags_SetSelected : 0);
}

void DialogUi::EndTabItem() { ImGui::EndTabItem(); }

void DialogUi::EndTabBar() { ImGui::EndTabBar(); }

void DialogUi::FocusNext() { ImGui::SetKeyboardFocusHere(); }

bool DialogUi::LostFocus() const { return ImGui::IsItemDeactivated(); }

void DialogUi::SameLine(float x) { ImGui::SameLine(x); }

void DialogUi::Separator() { ImGui::Separator(); }

void DialogUi::SetCursorX(float x) { ImGui::SetCursorPosX(ImGui::GetStyle().WindowPadding.x + std::max(x, 0.0F)); }

void DialogUi::BeginDisabled(bool disabled) { ImGui::BeginDisabled(disabled); }

void DialogUi::EndDisabled() { ImGui::EndDisabled(); }

bool DialogUi::ListBox(const std::string& id, int& index, const std::vector<std::string>& items, float width,
                       float height, bool& activated) {
  bool changed = false;
  activated = false;
  if (ImGui::BeginListBox(id.c_str(), ImVec2(width, height))) {
    for (size_t i = 0; i < items.size(); ++i) {
      ImGui::PushID(static_cast<int>(i));
      if (ImGui::Selectable(items[i].c_str(), static_cast<int>(i) == index, ImGuiSelectableFlags_AllowDoubleClick)) {
        changed = static_cast<int>(i) != index;
        index = static_cast<int>(i);
        activated = ImGui::IsMouseDoubleClicked(ImGuiMouseButton_Left);
      }
      ImGui::PopID();
    }
    ImGui::EndListBox();
  }
  return changed;
}

float DialogUi::ContentWidth() const { return ImGui::GetContentRegionAvail().x; }

void DialogUi::PutPointerOnLastItem(int32_t right, int32_t down) {
  if (window_ == nullptr) return;
  const ImVec2 corner = ImGui::GetItemRectMin();
  SDL_WarpMouseInWindow(window_, static_cast<int>(corner.x) + right, static_cast<int>(corner.y) + down);
}

std::vector<uint8_t> DialogUi::PressedKeys() const {
  std::vector<uint8_t> keys;
  for (const SDL_Scancode key : gui_.PressedKeys()) keys.push_back(DikFromSdl(key));
  return keys;
}

bool DialogUi::ReturnPressed() const {
  const std::vector<SDL_Scancode>& keys = gui_.PressedKeys();
  return std::any_of(keys.begin(), keys.end(),
                     [](SDL_Scancode key) { return key == SDL_SCANCODE_RETURN || key == SDL_SCANCODE_KP_ENTER; });
}

}  // namespace plat
