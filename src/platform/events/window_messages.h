// Window messages as the engine knows them: the message numbers, virtual-key codes, parameter
// packings and window-style bits of the system the engine was written for, and the message
// record that the queue hands out. The numbers are fixed: scripts, settings files and the
// engine's message maps depend on them.
#pragma once

#include <cstdint>

#include "platform/system/geometry.h"

namespace plat {

// A window of this layer (the SDL window id); 0 is no window.
using WindowId = uint32_t;
// The owner that makes a message box system-modal: the desktop.
inline constexpr WindowId kDesktopWindow = 0xFFFFFFFF;

// Typed data that travels with a sent message (the private requests and the menu commands
// sent from other threads). It lives in the sender's frame while the sender waits.
class RequestPayload {
 public:
  virtual ~RequestPayload() = default;
};

struct Message {
  WindowId window = 0;
  uint32_t message = 0;
  uint32_t wparam = 0;
  int32_t lparam = 0;
  uint32_t time = 0;  // milliseconds of the coarse clock when the message was queued
  Point point;        // cursor position on the desktop when the message was queued
  RequestPayload* payload = nullptr;
};

// Message numbers.
inline constexpr uint32_t WM_NULL = 0x0000;
inline constexpr uint32_t WM_CREATE = 0x0001;
inline constexpr uint32_t WM_DESTROY = 0x0002;
inline constexpr uint32_t WM_MOVE = 0x0003;
inline constexpr uint32_t WM_SIZE = 0x0005;
inline constexpr uint32_t WM_ACTIVATE = 0x0006;
inline constexpr uint32_t WM_PAINT = 0x000F;
inline constexpr uint32_t WM_CLOSE = 0x0010;
inline constexpr uint32_t WM_QUERYENDSESSION = 0x0011;
inline constexpr uint32_t WM_QUIT = 0x0012;
inline constexpr uint32_t WM_ENDSESSION = 0x0016;
inline constexpr uint32_t WM_ACTIVATEAPP = 0x001C;
inline constexpr uint32_t WM_SETCURSOR = 0x0020;
inline constexpr uint32_t WM_DISPLAYCHANGE = 0x007E;
inline constexpr uint32_t WM_NCHITTEST = 0x0084;
inline constexpr uint32_t WM_NCMOUSEMOVE = 0x00A0;
inline constexpr uint32_t WM_KEYDOWN = 0x0100;
inline constexpr uint32_t WM_KEYUP = 0x0101;
inline constexpr uint32_t WM_CHAR = 0x0102;
inline constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
inline constexpr uint32_t WM_SYSKEYUP = 0x0105;
inline constexpr uint32_t WM_IME_STARTCOMPOSITION = 0x010D;
inline constexpr uint32_t WM_IME_ENDCOMPOSITION = 0x010E;
inline constexpr uint32_t WM_IME_COMPOSITION = 0x010F;
inline constexpr uint32_t WM_COMMAND = 0x0111;
inline constexpr uint32_t WM_SYSCOMMAND = 0x0112;
inline constexpr uint32_t WM_MOUSEMOVE = 0x0200;
inline constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
inline constexpr uint32_t WM_LBUTTONUP = 0x0202;
inline constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
inline constexpr uint32_t WM_RBUTTONUP = 0x0205;
inline constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
inline constexpr uint32_t WM_MBUTTONUP = 0x0208;
inline constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
inline constexpr uint32_t WM_ENTERMENULOOP = 0x0211;
inline constexpr uint32_t WM_EXITMENULOOP = 0x0212;
inline constexpr uint32_t WM_ENTERSIZEMOVE = 0x0231;
inline constexpr uint32_t WM_EXITSIZEMOVE = 0x0232;
inline constexpr uint32_t WM_DROPFILES = 0x0233;
inline constexpr uint32_t WM_IME_SETCONTEXT = 0x0281;
inline constexpr uint32_t WM_IME_NOTIFY = 0x0282;
// A two-byte character typed through the input method: wParam = lead byte << 8 | trail byte.
inline constexpr uint32_t WM_IME_CHAR = 0x0286;

// WM_ACTIVATE states (low word of wParam).
inline constexpr uint32_t WA_INACTIVE = 0;
inline constexpr uint32_t WA_ACTIVE = 1;

// WM_SIZE kinds (wParam).
inline constexpr uint32_t SIZE_RESTORED = 0;
inline constexpr uint32_t SIZE_MINIMIZED = 1;
inline constexpr uint32_t SIZE_MAXIMIZED = 2;

// System commands (wParam of WM_SYSCOMMAND; the low four bits are the system's own).
inline constexpr uint32_t SC_MINIMIZE = 0xF020;
inline constexpr uint32_t SC_MAXIMIZE = 0xF030;
inline constexpr uint32_t SC_CLOSE = 0xF060;
inline constexpr uint32_t SC_KEYMENU = 0xF100;
inline constexpr uint32_t SC_RESTORE = 0xF120;

// Hit-test codes (low word of WM_SETCURSOR's lParam).
inline constexpr uint32_t HTCLIENT = 1;

// Key and button flags of mouse messages (wParam).
inline constexpr uint32_t MK_LBUTTON = 0x0001;
inline constexpr uint32_t MK_RBUTTON = 0x0002;
inline constexpr uint32_t MK_SHIFT = 0x0004;
inline constexpr uint32_t MK_CONTROL = 0x0008;
inline constexpr uint32_t MK_MBUTTON = 0x0010;

// One notch of the mouse wheel.
inline constexpr int32_t WHEEL_DELTA = 120;

// Bits of a key message's lParam above the repeat count (bits 0-15).
inline constexpr uint32_t kKeyScanCodeShift = 16;
inline constexpr uint32_t kKeyExtendedBit = 1u << 24;
inline constexpr uint32_t kKeyContextBit = 1u << 29;     // Alt was held
inline constexpr uint32_t kKeyPreviousStateBit = 1u << 30;  // the key was down before
inline constexpr uint32_t kKeyTransitionBit = 1u << 31;  // the key is being released

// IME notifications and composition flags of the messages the main window filters.
inline constexpr uint32_t IMN_CLOSECANDIDATE = 0x0004;
inline constexpr uint32_t IMN_OPENCANDIDATE = 0x0005;
inline constexpr uint32_t IMN_OPENSTATUSWINDOW = 0x0002;
inline constexpr int32_t GCS_RESULTSTR = 0x0800;

// Window styles.
inline constexpr uint32_t WS_OVERLAPPED = 0x00000000;
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_THICKFRAME = 0x00040000;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;

// Virtual-key codes.
inline constexpr uint32_t VK_LBUTTON = 0x01;
inline constexpr uint32_t VK_RBUTTON = 0x02;
inline constexpr uint32_t VK_MBUTTON = 0x04;
inline constexpr uint32_t VK_BACK = 0x08;
inline constexpr uint32_t VK_TAB = 0x09;
inline constexpr uint32_t VK_RETURN = 0x0D;
inline constexpr uint32_t VK_SHIFT = 0x10;
inline constexpr uint32_t VK_CONTROL = 0x11;
inline constexpr uint32_t VK_MENU = 0x12;
inline constexpr uint32_t VK_PAUSE = 0x13;
inline constexpr uint32_t VK_CAPITAL = 0x14;
inline constexpr uint32_t VK_CONVERT = 0x1C;
inline constexpr uint32_t VK_NONCONVERT = 0x1D;
inline constexpr uint32_t VK_ESCAPE = 0x1B;
inline constexpr uint32_t VK_SPACE = 0x20;
inline constexpr uint32_t VK_PRIOR = 0x21;
inline constexpr uint32_t VK_NEXT = 0x22;
inline constexpr uint32_t VK_END = 0x23;
inline constexpr uint32_t VK_HOME = 0x24;
inline constexpr uint32_t VK_LEFT = 0x25;
inline constexpr uint32_t VK_UP = 0x26;
inline constexpr uint32_t VK_RIGHT = 0x27;
inline constexpr uint32_t VK_DOWN = 0x28;
inline constexpr uint32_t VK_SNAPSHOT = 0x2C;
inline constexpr uint32_t VK_INSERT = 0x2D;
inline constexpr uint32_t VK_DELETE = 0x2E;
inline constexpr uint32_t VK_LWIN = 0x5B;
inline constexpr uint32_t VK_RWIN = 0x5C;
inline constexpr uint32_t VK_APPS = 0x5D;
inline constexpr uint32_t VK_NUMPAD0 = 0x60;
inline constexpr uint32_t VK_MULTIPLY = 0x6A;
inline constexpr uint32_t VK_ADD = 0x6B;
inline constexpr uint32_t VK_SUBTRACT = 0x6D;
inline constexpr uint32_t VK_DECIMAL = 0x6E;
inline constexpr uint32_t VK_DIVIDE = 0x6F;
inline constexpr uint32_t VK_F1 = 0x70;
inline constexpr uint32_t VK_F4 = 0x73;
inline constexpr uint32_t VK_F10 = 0x79;
inline constexpr uint32_t VK_NUMLOCK = 0x90;
inline constexpr uint32_t VK_SCROLL = 0x91;
inline constexpr uint32_t VK_OEM_1 = 0xBA;       // ;:
inline constexpr uint32_t VK_OEM_PLUS = 0xBB;    // =+
inline constexpr uint32_t VK_OEM_COMMA = 0xBC;
inline constexpr uint32_t VK_OEM_MINUS = 0xBD;
inline constexpr uint32_t VK_OEM_PERIOD = 0xBE;
inline constexpr uint32_t VK_OEM_2 = 0xBF;       // /?
inline constexpr uint32_t VK_OEM_3 = 0xC0;       // `~
inline constexpr uint32_t VK_OEM_4 = 0xDB;       // [{
inline constexpr uint32_t VK_OEM_5 = 0xDC;       // \|
inline constexpr uint32_t VK_OEM_6 = 0xDD;       // ]}
inline constexpr uint32_t VK_OEM_7 = 0xDE;       // '"

// Parameter packing.
constexpr uint32_t MakeLong(uint32_t low, uint32_t high) { return (low & 0xFFFF) | ((high & 0xFFFF) << 16); }
constexpr int32_t MakeLParam(int32_t low, int32_t high) {
  return static_cast<int32_t>(MakeLong(static_cast<uint32_t>(low), static_cast<uint32_t>(high)));
}
constexpr uint32_t LoWord(uint32_t value) { return value & 0xFFFF; }
constexpr uint32_t HiWord(uint32_t value) { return value >> 16; }
// The signed coordinates packed in a mouse message's lParam.
constexpr int32_t XFromLParam(int32_t lparam) { return static_cast<int16_t>(static_cast<uint32_t>(lparam) & 0xFFFF); }
constexpr int32_t YFromLParam(int32_t lparam) { return static_cast<int16_t>(static_cast<uint32_t>(lparam) >> 16); }
// The wheel's signed delta in the high word of WM_MOUSEWHEEL's wParam.
constexpr int32_t WheelDeltaFromWParam(uint32_t wparam) { return static_cast<int16_t>(wparam >> 16); }

// Messages that carry keyboard or mouse input; a disabled window does not receive them.
constexpr bool IsInputMessage(uint32_t message) {
  return (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) || (message >= WM_MOUSEMOVE && message <= WM_MOUSEWHEEL);
}

}  // namespace plat
