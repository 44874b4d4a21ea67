// Builders of the scenario machine's files, for tests and demo data: scenario objects (TOB
// files) and the read-text table VOV_INIT.DAT. The text assembler tob_assembler.h is built on them.
//
// Decisions where the file format leaves the writer a choice:
// - Always "TOB1": what a TOB0 file holds behind its line count is not settled (the machine reads
//   a table there for either magic). Build can still write "TOB0" over the same layout for tests.
// - The line table stands right behind its count and ends where the body begins.
// - Code lengths are byte counts: embedded code is the script machine's word code, linked by byte
//   offsets, so its lengths are multiples of 4.
// - A command's rest length counts its own 4 bytes, the operand count byte and the operand bytes.
// - Typed operands are written with flags 1 and a kind byte; the body offsets of commands 7-9
//   with flags 0xFF and kind 0.
// - A string's length counts its zero byte; an empty string is written with length 0 (it reads
//   as a null string).
// - Expressions and "[s" code blocks are written in the SOB assembler's syntax
//   (sob_assembler.h): their var(N), native(N), host(N), lib(N) operands and their own labels
//   become link sections 1 to 5.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kvxtools {

// Embedded code, assembled: its code bytes and its five link sections of {offset, value} pairs.
struct TobCode {
  std::vector<std::uint8_t> code;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> sections[5];
};

// Assembles the body of an expression or code block (SOB assembler lines, no .kind line);
// throws std::invalid_argument with the assembler's message.
TobCode AssembleTobCode(std::string_view source, const std::map<std::string, std::uint32_t>* library_labels = nullptr);

struct TobCondition {
  std::uint8_t kind = 1;
  std::uint32_t value = 0;    // kind 0; the variable number for kind 2
  std::uint32_t element = 0;  // kind 2
  TobCode code;               // kind 3

  static TobCondition Value(std::uint32_t value) { return {0, value, 0, {}}; }
  static TobCondition Always() { return {}; }
  static TobCondition Variable(std::uint32_t number, std::uint32_t element) { return {2, number, element, {}}; }
  static TobCondition Expression(TobCode code) { return {3, 0, 0, std::move(code)}; }
};

struct TobOperand {
  std::uint8_t flags = 0;
  std::uint8_t kind = 0;
  std::uint32_t value = 0;    // kind 0; the variable number for kind 2
  std::uint32_t element = 0;  // kind 2
  std::optional<std::string> text;  // kind 1, Shift-JIS
  std::optional<std::string> label;  // a body offset resolved when the file is built
  TobCode code;                       // kind 3

  static TobOperand Absent() { return {}; }
  // Flags 2: the value follows directly (it reads as flags 0).
  static TobOperand Immediate(std::uint32_t value) { return {2, 0, value, 0, {}, {}, {}}; }
  static TobOperand Value(std::uint32_t value, std::uint8_t flags = 1) { return {flags, 0, value, 0, {}, {}, {}}; }
  // An empty text is written with length 0.
  static TobOperand String(std::string text, std::uint8_t flags = 1) { return {flags, 1, 0, 0, std::move(text), {}, {}}; }
  static TobOperand Variable(std::uint32_t number, std::uint32_t element, std::uint8_t flags = 1) {
    return {flags, 2, number, element, {}, {}, {}};
  }
  static TobOperand Expression(TobCode code, std::uint8_t flags = 1) { return {flags, 3, 0, 0, {}, {}, std::move(code)}; }
  static TobOperand BodyOffset(std::uint32_t offset) { return {0xFF, 0, offset, 0, {}, {}, {}}; }
  // The body offset of a label of this object.
  static TobOperand LabelOffset(std::string label) { return {0xFF, 0, 0, 0, {}, std::move(label), {}}; }
};

class TobBuilder {
 public:
  static constexpr std::uint32_t kLineMarkerOpcode = 12;

  // The body offset of the next byte.
  std::uint32_t Here() const { return static_cast<std::uint32_t>(body_.size()); }
  // A label record at the next byte. Throws std::invalid_argument for a repeated name.
  void Label(const std::string& name);
  // A label record at any body offset, as stored (for damaged files).
  void LabelAt(const std::string& name, std::uint32_t offset) { labels_.emplace_back(name, offset); }
  // A new scenario line: a line-table entry here and the line-marker command with its number.
  std::uint32_t Line();
  // A line-table entry with any offset (for damaged files).
  void LineAt(std::uint32_t offset) { lines_.push_back(offset); }
  // Shift-JIS text bytes.
  void Text(std::string_view text);
  // A command; returns the body offset of its '['.
  std::uint32_t Command(std::uint32_t kind, const std::vector<TobOperand>& operands = {},
                        const TobCondition& condition = TobCondition::Always());
  // A "[s" code block.
  void CodeBlock(const TobCode& code);
  void Raw(std::span<const std::uint8_t> bytes) { body_.insert(body_.end(), bytes.begin(), bytes.end()); }

  // The file, the body closed by a zero byte. Throws std::invalid_argument for a label operand
  // that names no label.
  std::vector<std::uint8_t> Build(std::string_view magic = "TOB1") const;

 private:
  void Operand(const TobOperand& operand);
  void Expression(const TobCode& code);
  void Byte(std::uint8_t value) { body_.push_back(value); }
  void Word16(std::uint16_t value);
  void Word(std::uint32_t value);
  void PatchWord(std::uint32_t at, std::uint32_t value);

  std::vector<std::uint8_t> body_;
  std::vector<std::pair<std::string, std::uint32_t>> labels_;
  std::vector<std::uint32_t> lines_;
  std::vector<std::pair<std::uint32_t, std::string>> label_operands_;  // {body offset of the value, label}
};

struct VovInitRecord {
  std::string name;  // the script's upper-case name
  std::uint32_t lines = 0;
  std::uint32_t choices = 0;
};
// VOV_INIT.DAT.
std::vector<std::uint8_t> BuildVovInit(const std::vector<VovInitRecord>& records);

}  // namespace kvxtools
