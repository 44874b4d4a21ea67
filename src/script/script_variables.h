// The scripts' global data: the image of the user-variable object in script memory with its
// variable table and the pointer cells of its pointer variables, in up to three copies. The live
// copy is what scripts use; the initial copy stays as loaded, so variables can be reset; the
// backup copy is written and read by the backup operations.
//
// Pointers stored inside the image (the object's fix-ups) hold live-image addresses in every copy,
// so copying a block back from the initial or backup copy never leaves a live pointer into those
// copies. A pointer variable's cell in each copy points into that copy's own image; a variable's
// block is the one its cell points at.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/numbers/byte_cursor.h"
#include "script/script_memory.h"
#include "script/sob_object.h"

struct ScriptVariable {
  std::uint32_t address = 0;  // of the block, or of the pointer cell for kind 1
  std::uint8_t kind = 0;
  std::uint8_t variable_class = 0;
  std::uint32_t size = 0;  // of the block, in bytes
};

enum class VariableCopy : std::uint8_t { kLive, kInitial, kBackup };

class ScriptVariables {
 public:
  explicit ScriptVariables(ScriptMemory& memory) : memory_(memory) {}
  ~ScriptVariables();
  ScriptVariables(const ScriptVariables&) = delete;
  ScriptVariables& operator=(const ScriptVariables&) = delete;

  // Builds the live copy and, when asked, the initial and backup copies from a checked object.
  // False when script memory cannot hold them (nothing is then kept).
  bool Install(const UserVarObject& object, bool initial, bool backup);

  bool Has(VariableCopy copy) const { return Image(copy).image != 0; }
  const std::vector<ScriptVariable>& Table(VariableCopy copy = VariableCopy::kLive) const { return Image(copy).table; }
  std::uint32_t Count() const { return static_cast<std::uint32_t>(live_.table.size()); }
  std::uint32_t ImageAddress(VariableCopy copy) const { return Image(copy).image; }

  // Selectors: class 1, 2, 3 take classes 0, 1, 2, any other value all classes; kind 0 takes all
  // kinds, 1, 2, 3 kinds 0, 1, 2, any other value none.
  void Clear(std::uint32_t class_selector, std::uint32_t kind_selector);
  // 1 when there is no initial copy.
  std::uint32_t Reset(std::uint32_t class_selector, std::uint32_t kind_selector);
  // 1 when there is no backup copy.
  std::uint32_t SaveToBackup(std::uint32_t class_selector, std::uint32_t kind_selector);
  std::uint32_t RestoreFromBackup(std::uint32_t class_selector, std::uint32_t kind_selector);
  // 1 no backup copy, 2 no variable at that address.
  std::uint32_t SaveOneToBackup(std::uint32_t address);
  std::uint32_t Mark(std::uint32_t address);
  const std::vector<std::uint32_t>& Marked() const { return marked_; }
  void ClearMarked() { marked_.clear(); }
  // The number of the live variable at the address, -1 when none.
  std::int32_t Find(std::uint32_t address) const;

  // The serialised form: for each variable of kind 0 or 1 that the selector takes (0 class 1,
  // 1 class 2, other values all), in table order, its kind byte and its block.
  // 1 + the size of that data, for the record that begins with the selector byte; 0 when the
  // backup copy is asked for and absent.
  std::uint32_t SerialisedSize(std::uint32_t selector, bool from_backup) const;
  // Writes the selector byte (when asked) and the data. 0; 2 when the backup copy is asked for and
  // absent; 3 when a pointer variable's cell points outside script memory.
  std::uint32_t Write(ByteWriter& out, std::uint32_t selector, bool from_backup, bool with_selector = true) const;
  // Reads data written for `selector` into the live variables. Everything is checked before any
  // block is written: 1 when a kind byte differs from its variable's kind, when the data ends
  // early or when a block cannot be written; nothing is changed then.
  std::uint32_t Read(ByteReader& in, std::uint32_t selector);
  // Reads data written for `selector` into the live variables as far as it fits them: walks the
  // variables in table order and copies each block, stopping at the first kind byte that differs
  // from its variable's kind (1) or where the data ends (0), and keeps what it copied. So data
  // written before variables were added or reordered restores the variables it still fits.
  std::uint32_t ReadFitting(ByteReader& in, std::uint32_t selector);
  // As ReadFitting, with the selector taken from the data's first byte.
  std::uint32_t ReadRecord(ByteReader& in);

  // The address of the variable's block in `copy`, nothing when a pointer cell points outside
  // script memory.
  std::optional<std::uint32_t> BlockOf(VariableCopy copy, std::uint32_t number) const;

 private:
  struct VariableImage {
    std::uint32_t image = 0;  // 0 when the copy does not exist
    std::uint32_t cells = 0;
    std::vector<ScriptVariable> table;
  };

  const VariableImage& Image(VariableCopy copy) const;
  VariableImage& Image(VariableCopy copy) {
    return const_cast<VariableImage&>(static_cast<const ScriptVariables&>(*this).Image(copy));
  }
  bool Build(VariableImage& copy, const UserVarObject& object, std::uint32_t live_image);
  void Free(VariableImage& copy);
  // Copies every matching block from one copy to another.
  void CopyBlocks(VariableCopy from, VariableCopy to, std::uint32_t class_selector, std::uint32_t kind_selector);
  bool CopyBlock(VariableCopy from, VariableCopy to, std::uint32_t number);

  ScriptMemory& memory_;
  VariableImage live_;
  VariableImage initial_;
  VariableImage backup_;
  std::vector<std::uint32_t> marked_;
};
