// The novel frame as the script host sees it while one lives on the host. The host hands the
// frame the save record it writes or reads, and the frame writes or reads its own block there;
// a save taken meanwhile shows the frame's page, title and message; a failed load of the newest
// save is the frame's notice to give; and the user's message settings go to the frame's own
// window in place of the scripts' widgets. The frame attaches itself to its host for its life
// (CScriptHost::AttachFrame), so the host never looks for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/numbers/byte_cursor.h"

class CImage;

class IHostedFrame {
 public:
  // The bytes of the frame's block, to reserve the record.
  virtual std::size_t SavedBlockSize(bool with_log) const = 0;
  // Writes the block: 0, else the record cannot be made.
  virtual std::uint32_t WriteSavedBlock(ByteWriter& out, bool with_log) = 0;
  // A record is about to be read: what the last load left to show is forgotten.
  virtual void ForgetPendingDisplay() = 0;
  // Reads the block aside, the frame untouched: what takes it over once the rest of the record
  // has read, or nothing when the block is damaged.
  using BlockTakeOver = std::function<void()>;
  virtual std::optional<BlockTakeOver> ReadSavedBlock(ByteReader& in) = 0;

  // What a save taken now shows: the page (redrawn for it), the title and the displayed
  // message's plain text (nothing without a message).
  struct SaveFace {
    CImage* picture = nullptr;
    std::string title;
    std::optional<std::string> caption;
  };
  virtual SaveFace CurrentSaveFace() = 0;
  // The newest save of a rotation did not load.
  virtual void NoticeNewestLoadFailed() = 0;
  // Brings the message window in line with the user's settings: the settings-changed mark as
  // it was.
  virtual std::uint8_t ApplyUserSettings(bool colours, bool font, bool log_size, bool only_if_changed,
                                         bool clear_changed) = 0;

 protected:
  ~IHostedFrame() = default;
};
