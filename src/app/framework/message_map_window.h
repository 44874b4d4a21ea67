// A window with a message map: an ordered table from message number to handler. Every message
// of the window goes to its handler; what no handler takes goes to OnUnhandled and then to the
// default processing.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "app/framework/message_handler.h"
#include "platform/events/window_messages.h"
#include "platform/window/native_window.h"

// Placement modes of a new window.
inline constexpr uint8_t kPlaceAtPosition = 0;
inline constexpr uint8_t kPlaceInsideWorkArea = 1;  // the position when the window lies inside the work area, else centred
inline constexpr uint8_t kPlaceCentred = 2;

// The class background; painting it is the display's work.
enum class WindowBackground { kBlackBrush, kNullBrush };

struct WindowCreateParams {
  int32_t x = -1;  // -1 = not given
  int32_t y = -1;
  int32_t client_width = 0;
  int32_t client_height = 0;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  uint16_t icon_id = 0;
  uint16_t menu_id = 0;
  uint8_t placement_mode = kPlaceAtPosition;
  WindowBackground background = WindowBackground::kBlackBrush;
  std::string title;       // Shift-JIS
  std::string class_name;  // Shift-JIS
};

// Where a window of the given outer size goes on a work area: centred means half the work
// area's size minus half the window's, (0, 0) when either is negative.
plat::Rect PlaceWindowRect(int32_t width, int32_t height, int32_t x, int32_t y, uint8_t placement_mode,
                           const plat::Rect& work_area);

class CWindow {
 public:
  static constexpr unsigned kCreated = 0;
  static constexpr unsigned kClassFailed = 1;
  static constexpr unsigned kCreateFailed = 2;

  CWindow() = default;
  CWindow(const CWindow&) = delete;
  CWindow& operator=(const CWindow&) = delete;
  virtual ~CWindow();

  // Called for every message that no handler took: 0 = handled (the block's result is
  // returned), else the default processing runs.
  virtual int OnUnhandled(MessageBlock& block);

  // 0 created, 1 the class cannot be registered, 2 the window cannot be created (also when its
  // WM_CREATE handler answers -1).
  unsigned Create(const WindowCreateParams& params, CWindow* parent, bool post_quit, bool register_class);
  // Takes the handler for the message, replacing one already there.
  void AddHandler(uint32_t message, std::unique_ptr<CMessageHandlerBase> handler);
  // Destroys the window (its WM_DESTROY runs first), then empties the message map.
  void Destroy();
  // Closes the window but keeps the message map: what DestroyWindow does.
  void DestroyWindow();

  int32_t SendMessage(uint32_t message, uint32_t wparam, int32_t lparam, plat::RequestPayload* payload = nullptr);
  bool PostMessage(uint32_t message, uint32_t wparam, int32_t lparam);
  bool IsWindow() const;
  plat::WindowId GetHandle() const;
  plat::Window* GetPlatformWindow() const { return window_.get(); }
  plat::Rect GetClientRectOnScreen() const;
  bool HasHandler(uint32_t message) const { return handlers_.count(message) != 0; }
  CWindow* GetParent() const { return parent_; }

  // The outer rectangle of a client area of the given size, placed by this window's placement
  // mode when `compute_position` is set. The frame is the window manager's, outside the client
  // area, so the outer rectangle is the client rectangle.
  plat::Rect ComputeWindowRect(int32_t client_width, int32_t client_height, uint32_t style, uint32_t ex_style,
                               bool has_menu, bool compute_position, int32_t x, int32_t y) const;

 private:
  int32_t WindowProcedure(const plat::Message& message);
  int32_t DefaultProcessing(const MessageBlock& block);
  void RunSystemCommand(uint32_t command);

  // The window object lives on the window thread; its id may be read on any thread, to send to it.
  std::unique_ptr<plat::Window> window_;
  std::atomic<plat::WindowId> id_{0};
  std::map<uint32_t, std::unique_ptr<CMessageHandlerBase>> handlers_;
  CWindow* parent_ = nullptr;
  bool post_quit_ = false;
  bool destroying_ = false;
  uint8_t placement_mode_ = kPlaceAtPosition;
};
