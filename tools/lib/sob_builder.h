// Builders of the script host's object files, for tests and demo data: script and library
// objects ("SOB0", "SOB2") with their relocation lists, the user-variable object ("SOB1"), the
// read-text table SOB_INIT.DAT and the voice table VOICEINF.DAT. The text assembler
// (sob_assembler.h) is built on them.
//
// Object code is laid out from offset 0; an operand that names a label of the same object becomes
// an own-code relocation, so the linker turns it into an address wherever the code lands.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/sob_object.h"
#include "script/sob_opcode.h"
#include "script_code_builder.h"

namespace kvxtools {

// One operand word of an object's code.
struct SobOperand {
  using Label = ScriptCodeBuilder::Label;

  SobOperand(std::uint32_t number) : value(number) {}
  // The address of a label of this object (plus an offset).
  SobOperand(Label target, std::uint32_t offset = 0) : value(offset), label(target), relocation(SobRelocation::kOwnCode) {}

  static SobOperand UserVariable(std::uint32_t number) { return Relocated(SobRelocation::kUserVariable, number); }
  static SobOperand Native(std::uint32_t id) { return Relocated(SobRelocation::kNative, id); }
  static SobOperand HostVariable(std::uint32_t number) { return Relocated(SobRelocation::kHostVariable, number); }
  // The library's code + offset.
  static SobOperand Library(std::uint32_t offset) { return Relocated(SobRelocation::kLibraryCode, offset); }
  // Own code + offset, given as a number.
  static SobOperand OwnCode(std::uint32_t offset) { return Relocated(SobRelocation::kOwnCode, offset); }

  std::uint32_t value = 0;
  std::optional<Label> label;
  std::optional<SobRelocation> relocation;

 private:
  static SobOperand Relocated(SobRelocation kind, std::uint32_t number) {
    SobOperand operand(number);
    operand.relocation = kind;
    return operand;
  }
};

enum class SobObjectKind : std::uint8_t { kScript, kLibrary };

class SobObjectBuilder {
 public:
  using Label = ScriptCodeBuilder::Label;

  Label NewLabel() { return code_.NewLabel(); }
  void Bind(Label label) { code_.Bind(label); }
  // The offset of the next word.
  std::uint32_t Here() const { return code_.Here(); }
  // The offset a label was bound to.
  std::uint32_t OffsetOf(Label label) const { return code_.AddressOf(label); }

  // Appends one instruction; throws std::invalid_argument when the operand count does not fit.
  // Returns the offset of its opcode word.
  std::uint32_t Emit(ESobOpcode opcode, std::initializer_list<SobOperand> operands = {});
  std::uint32_t Emit(ESobOpcode opcode, const std::vector<SobOperand>& operands);
  // Switch on `index` with its target table and the closing word.
  std::uint32_t EmitSwitch(const SobOperand& index, const std::vector<SobOperand>& targets);
  void EmitWord(const SobOperand& word);
  // A zero-terminated byte string padded to whole words; returns the label bound at its start.
  Label EmitString(std::string_view text);
  // The instruction length: the code up to here. Without it, the whole code.
  void EndInstructions() { instruction_length_ = Here(); }

  // The object file. `closing_word` is the word after the fifth relocation list (0 in a sound object).
  std::vector<std::uint8_t> Build(SobObjectKind kind, std::uint32_t closing_word = 0) const;

 private:
  struct PendingRelocation {
    SobRelocation list;
    std::uint32_t at;
    SobOperand operand;
  };

  ScriptCodeBuilder code_{0};
  std::vector<PendingRelocation> relocations_;
  std::optional<std::uint32_t> instruction_length_;
};

// The user-variable object: an image with the variables laid out one after another (each at a
// word boundary), and fix-ups that make words of the image point into it.
class UserVarBuilder {
 public:
  // Adds a variable with its block's initial bytes (zeros up to `size`); returns its number.
  std::uint32_t AddVariable(std::uint8_t kind, std::uint8_t variable_class, std::uint32_t size,
                            std::vector<std::uint8_t> initial = {});
  std::uint32_t OffsetOf(std::uint32_t number) const { return variables_.at(number).offset; }
  // The word at image offset `at` will hold the address of image offset `target`.
  void AddFixup(std::uint32_t at, std::uint32_t target) { fixups_.push_back({at, target}); }
  // A record as stored, for damaged objects (no check).
  void AddRawVariable(const UserVariableRecord& record) { variables_.push_back(record); }

  std::vector<std::uint8_t> Build(std::uint32_t closing_word = 0) const;

 private:
  std::vector<std::uint8_t> image_;
  std::vector<UserVariableRecord> variables_;
  std::vector<UserVariableFixup> fixups_;
};

struct SobInitRecord {
  std::string name;  // the script's upper-case name
  std::uint16_t line_bits = 0;
  std::uint16_t choice_bits = 0;
};
// SOB_INIT.DAT.
std::vector<std::uint8_t> BuildSobInit(const std::vector<SobInitRecord>& records);

struct VoiceInfoCharacter {
  std::string name;
  std::optional<std::string> second_name;
  bool skipped_second_name = false;  // a second-name field of one byte, which gives no name
  std::vector<std::string> voices;
};
struct VoiceInfoSource {
  std::string extension;
  std::vector<VoiceInfoCharacter> characters;
};
// VOICEINF.DAT, with the voice-name count that the characters add up to.
std::vector<std::uint8_t> BuildVoiceInfo(const VoiceInfoSource& source);

}  // namespace kvxtools
