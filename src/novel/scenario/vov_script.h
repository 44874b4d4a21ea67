// One loaded scenario object. Its image (the whole TOB file) lives in script memory, writable:
// the expressions and code blocks of its body are linked in place and run there, and string
// operands point into it. The labels and the line table are taken out of the image when it is
// loaded and checked then (tob_file.h), so nothing the scripts write into the image can move a
// label or a line outside the body.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "novel/scenario/tob_file.h"
#include "script/script_memory.h"

class VovScript {
 public:
  // Copies the file into script memory; null when the memory cannot hold it.
  static std::unique_ptr<VovScript> Create(ScriptMemory& memory, std::span<const std::uint8_t> file, TobLayout layout,
                                           std::string name, std::int32_t read_text_index);
  ~VovScript();
  VovScript(const VovScript&) = delete;
  VovScript& operator=(const VovScript&) = delete;

  // The name it was loaded by.
  const std::string& Name() const { return name_; }
  // Its place in the read-text table, -1 without a table.
  std::int32_t ReadTextIndex() const { return read_text_index_; }

  std::uint32_t ImageAddress() const { return image_; }
  std::uint32_t BodyOffset() const { return layout_.body_offset; }
  // The script address of the body's first byte.
  std::uint32_t BodyAddress() const { return image_ + layout_.body_offset; }
  std::uint32_t BodySize() const { return static_cast<std::uint32_t>(body_.size()); }
  // The body's bytes in script memory, valid as long as the script lives.
  std::span<std::uint8_t> Body() const { return body_; }
  // Whether a body offset is a position in the body: at most its end, where reading finds the
  // end of the body.
  bool IsPosition(std::uint64_t offset) const { return offset <= body_.size(); }

  // TOB1 files have a line table; TOB0 files keep whatever stands behind their count.
  bool HasLineTable() const { return layout_.has_line_table; }
  // The body offset of a label (exact comparison), -1 when there is none of that name.
  std::int64_t FindLabel(std::string_view label) const;
  // Entry `line` of the line table, -1 when `line` is not below the entry count.
  std::int64_t LineOffset(std::uint32_t line) const;
  std::uint32_t LineTableSize() const { return static_cast<std::uint32_t>(layout_.lines.size()); }

 private:
  VovScript(ScriptMemory& memory, std::uint32_t image, std::span<std::uint8_t> body, TobLayout layout,
            std::string name, std::int32_t read_text_index);

  ScriptMemory& memory_;
  std::uint32_t image_;
  std::span<std::uint8_t> body_;
  TobLayout layout_;
  std::string name_;
  std::int32_t read_text_index_;
};
