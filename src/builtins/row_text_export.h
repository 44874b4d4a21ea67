// A text that one built-in function hands to scripts by address when the text belongs to no
// engine object of its own (a folder of the program-wide list, a dropped file's name): the row
// keeps one area, and the text stays readable there until the row hands back its next text. The
// area follows the script memory of the call; a new memory gets a new area.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "script/script_text_export.h"

class RowTextExport {
 public:
  // The text's script address; 0 when script memory is exhausted.
  std::uint32_t Export(ScriptMemory& memory, std::string_view text) {
    if (memory_ != &memory || lifetime_.expired()) {
      area_ = std::make_unique<ScriptTextExport>(memory);
      memory_ = &memory;
      lifetime_ = memory.Lifetime();
    }
    return area_->Export(text);
  }

 private:
  ScriptMemory* memory_ = nullptr;
  std::weak_ptr<const char> lifetime_;
  std::unique_ptr<ScriptTextExport> area_;
};
