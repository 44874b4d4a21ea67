// The SOB object files that scripts are made of, parsed and checked before anything is linked:
// script objects ("SOB0"), the user-variable object ("SOB1") and the function library ("SOB2").
//
// Script and library objects, after the magic: u32 relocation-block length R; R bytes holding
// five relocation lists (each a u32 count, read as signed, then count pairs {u32 offset into the
// code, u32 value}) and the word 0 that closes them; u32 instruction length; u32 code size S;
// S bytes of code.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

inline constexpr std::string_view kSobScriptMagic = "SOB0";
inline constexpr std::string_view kSobUserVarMagic = "SOB1";
inline constexpr std::string_view kSobLibraryMagic = "SOB2";
inline constexpr std::uint32_t kSobMagicSize = 4;

// The relocation lists in the order they are stored and applied. Each entry's word becomes:
enum class SobRelocation : std::uint8_t {
  kUserVariable,  // the address of live user variable number `value`
  kNative,        // the token of built-in function number `value`
  kHostVariable,  // the address of host variable number `value`
  kLibraryCode,   // the library's code + `value`
  kOwnCode,       // the object's own code + `value`
};
inline constexpr std::size_t kSobRelocationListCount = 5;

struct SobRelocationEntry {
  std::uint32_t offset = 0;
  std::uint32_t value = 0;
};

struct SobObject {
  std::array<std::vector<SobRelocationEntry>, kSobRelocationListCount> relocations;
  // The word after the fifth list: 0 in an object built for this runtime.
  std::uint32_t closing_word = 0;
  std::uint32_t instruction_length = 0;
  std::span<const std::uint8_t> code;
};

bool HasMagic(std::span<const std::uint8_t> file, std::string_view magic);

// The object that follows the magic; nothing when a list, the closing word or the code runs past
// its block or the data. Offsets and values are checked by the linker, which knows the tables.
std::optional<SobObject> ParseSobObject(std::span<const std::uint8_t> bytes);

// User-variable object, after the magic: u32 image size; the image; u32 variable count; count
// records {u8 kind, u8 class, u32 offset, u32 size}; u32 fix-up count; count pairs {u32 at,
// u32 target}; a closing u32 0.
struct UserVariableRecord {
  std::uint8_t kind = 0;
  std::uint8_t variable_class = 0;
  std::uint32_t offset = 0;
  std::uint32_t size = 0;
};
struct UserVariableFixup {
  std::uint32_t at = 0;
  std::uint32_t target = 0;
};
struct UserVarObject {
  std::span<const std::uint8_t> image;
  std::vector<UserVariableRecord> variables;
  std::vector<UserVariableFixup> fixups;
};

// The highest variable kind: 0 a block at the address, 1 a pointer variable, 2 a third kind.
inline constexpr std::uint8_t kMaxVariableKind = 2;

// The user-variable object of a whole file (magic included): 0, 3 not "SOB1", 4 damaged (a count
// or block past the data, a variable or fix-up outside the image, an unknown kind, or a closing
// word other than 0).
unsigned ParseUserVarObject(std::span<const std::uint8_t> file, UserVarObject& object);
