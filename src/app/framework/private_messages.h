// The application's private window messages, by which other threads (and the game's own
// objects) ask the main thread to act, and the typed requests that travel with them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/framework/text_input_dialog_model.h"
#include "platform/events/window_messages.h"

inline constexpr uint32_t kMsgCursorRequest = 0x9000;      // wParam 1 show, 0 hide the system cursor
inline constexpr uint32_t kMsgMessageBoxRequest = 0x9001;  // MessageBoxRequestBlock
inline constexpr uint32_t kMsgScreenModeRequest = 0x9002;  // wParam mode << 16 | depth << 8 | flag; ScreenModeRequestBlock
inline constexpr uint32_t kMsgShowMenuWindow = 0x9003;
inline constexpr uint32_t kMsgHideMenuWindow = 0x9004;
inline constexpr uint32_t kMsgThreadEnded = 0x9005;        // the worker thread has ended: destroy the main window
inline constexpr uint32_t kMsgMovieNotify = 0x9006;
inline constexpr uint32_t kMsgImeRequest = 0x9007;         // wParam 1 on, 0 off
inline constexpr uint32_t kMsgTextInputNotify = 0x9008;
inline constexpr uint32_t kMsgDialogRequest = 0x9009;
inline constexpr uint32_t kMsgFrontRequest = 0x900A;       // a later instance asks this one to come to the front

// The screen-mode toggle, which maximizing the window also asks for.
inline constexpr uint32_t kCmdScreenModeToggle = 40001;
// Menu commands that other threads send with a request block.
inline constexpr uint32_t kCmdTextInputDialog = 40026;  // TextInputRequestBlock
inline constexpr uint32_t kCmdOpenFileDialog = 40027;   // FileDialogRequestBlock
inline constexpr uint32_t kCmdSaveFileDialog = 40028;   // FileDialogRequestBlock
inline constexpr uint32_t kCmdFolderDialog = 40029;     // FolderDialogRequestBlock
inline constexpr uint32_t kCmdSoundDevice = 40030;      // SoundDeviceRequestBlock

// Box types of a message-box request.
inline constexpr int kBoxPlain = 0;
inline constexpr int kBoxYesNo = 1;
inline constexpr int kBoxOkCancel = 2;

struct MessageBoxRequestBlock : plat::RequestPayload {
  int box_type = kBoxPlain;
  std::string text;                  // Shift-JIS
  std::optional<std::string> title;  // none: the application name
  int icon_kind = 0;
  uint8_t result = 1;
};

// Kinds of the game's message dialog.
inline constexpr uint32_t kDialogOk = 0;
inline constexpr uint32_t kDialogOkWithSwitchOff = 1;  // with the check box that switches the message off
inline constexpr uint32_t kDialogYesNo = 2;
inline constexpr uint32_t kDialogYesNoWithSwitchOff = 3;

// A message dialog that another thread asks the window thread to show (kMsgDialogRequest).
struct MessageDialogRequestBlock : plat::RequestPayload {
  uint32_t kind = kDialogOk;
  std::string text;                  // Shift-JIS
  std::optional<std::string> title;  // none: the application name
  uint8_t* switch_off = nullptr;     // written by the check box; may be null
  bool fit_to_text = false;
  uint8_t result = 1;  // 1 OK or yes, 0 no or closed
};

// The text-input dialog: its settings, whose text takes the entry on OK; result 1 after OK, 0
// when the dialog was closed or could not be shown.
struct TextInputRequestBlock : plat::RequestPayload {
  TextInputDialogSettings settings;
  int32_t result = 0;
};

// The open- and save-file choosers: `file` proposes a name and takes the chosen path, `file_title`
// its name. The result is 0 when nothing was chosen; for the save chooser 1 plus the offset of
// the extension in the path (0 without one), for the open chooser 1.
struct FileDialogRequestBlock : plat::RequestPayload {
  std::string title;
  std::string file;
  std::string file_title;
  std::string initial_folder;  // empty: the program's folder
  std::string filter;          // "description\tpattern\t..."
  std::string default_extension;
  bool clear = false;
  int32_t result = 0;
};

// The folder chooser: `folder` takes the chosen folder with a trailing backslash; result 1, or 0
// when nothing was chosen.
struct FolderDialogRequestBlock : plat::RequestPayload {
  std::string title;
  std::string initial_folder;
  std::string folder;
  int32_t result = 0;
};

struct ScreenModeRequestBlock : plat::RequestPayload {
  int result = 0;
};

constexpr uint32_t PackScreenModeRequest(uint8_t mode, uint8_t depth, uint8_t flag) {
  return uint32_t{mode} << 16 | uint32_t{depth} << 8 | flag;
}

// The sound-device command's argument words: channels (low byte; 0 asks for 2 channels at
// 44100 Hz with 16 bits), the sample-rate code, bits per sample (low 16 bits). The status of the
// set-up replaces the first word.
struct SoundDeviceRequestBlock : plat::RequestPayload {
  uint32_t words[3] = {};
};
