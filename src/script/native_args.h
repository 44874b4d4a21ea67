// Typed, checked access to the argument words of a built-in function: args[0], args[1], ... lie
// one after another in script memory from the address that the call instruction passed. Every
// read is checked; a bad address raises a ScriptFault, which stops the script run.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "base/lifetime/handle_table.h"
#include "script/script_memory.h"

// An optional group of argument words is absent when its first word is this number.
inline constexpr std::uint32_t kAbsentArgumentGroup = 65535;

struct ScriptRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct ScriptSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// An out-parameter: the address of script words that a built-in function writes. Writes to the
// address 0 do nothing.
class ScriptOut {
 public:
  ScriptOut(ScriptMemory& memory, std::uint32_t address) : memory_(&memory), address_(address) {}

  bool IsNull() const { return address_ == 0; }
  std::uint32_t Address() const { return address_; }

  void Set(std::uint32_t value) const;
  // Consecutive words from the address (a rectangle, a point, several results).
  void SetWords(std::initializer_list<std::uint32_t> values) const;
  void SetBytes(const void* data, std::uint32_t size) const;

 private:
  ScriptMemory* memory_;
  std::uint32_t address_;
};

// What a handle word named by its address held (the argument of the functions that free an
// object and clear the script's word). The values are the statuses those functions return.
enum HandleRefStatus : std::uint32_t {
  kHandleRefResolved = 0,  // a live object of the kind: the word is cleared
  kHandleRefZero = 1,      // the address 0, or a word holding 0
  kHandleRefNotFound = 2,  // a stale handle or one of another kind: the word stays as it was
};

template <class T>
struct HandleRefResult {
  HandleRefStatus status;
  T* object;  // only when resolved
};

class NativeArgs {
 public:
  NativeArgs(ScriptMemory& memory, HandleTable& handles, std::uint32_t address)
      : memory_(&memory), handles_(&handles), address_(address) {}

  std::uint32_t U32(std::uint32_t i) const { return memory_->Word(WordAddress(i)); }
  std::int32_t I32(std::uint32_t i) const { return static_cast<std::int32_t>(U32(i)); }
  std::uint8_t U8(std::uint32_t i) const { return static_cast<std::uint8_t>(U32(i)); }
  std::uint16_t U16(std::uint32_t i) const { return static_cast<std::uint16_t>(U32(i)); }
  bool Flag(std::uint32_t i) const { return U32(i) != 0; }
  // The zero-terminated string whose address is args[i]; null when that word is 0.
  const char* Str(std::uint32_t i) const;
  ScriptOut Out(std::uint32_t i) const { return ScriptOut(*memory_, U32(i)); }

  // The object of kind T whose handle is args[i]; null for 0, stale or other handles.
  template <class T>
  T* Handle(std::uint32_t i) const {
    return handles_->Get<T>(U32(i));
  }
  // The object whose handle lies in the word at the address args[i]; that word is cleared only
  // when the handle resolved. A non-zero address outside script memory faults.
  template <class T>
  HandleRefResult<T> HandleRef(std::uint32_t i) const {
    const std::uint32_t cell = U32(i);
    if (cell == 0) return {kHandleRefZero, nullptr};
    const std::uint32_t handle = memory_->Word(cell);
    if (handle == 0) return {kHandleRefZero, nullptr};
    T* object = handles_->Get<T>(handle);
    if (object == nullptr) return {kHandleRefNotFound, nullptr};
    memory_->SetWord(cell, 0);
    return {kHandleRefResolved, object};
  }

  // For the functions whose owner may not hold the object a handle names: the object of the
  // handle word at the address args[i] goes to `destroy`, whose status is returned, and the word
  // is cleared only when that status is 0. kHandleRefZero for the address 0 or a word of 0,
  // kHandleRefNotFound for a handle that names no T; the word is kept then.
  template <class T, class Destroy>
  std::uint32_t DestroyThroughHandleRef(std::uint32_t i, Destroy destroy) const {
    const std::uint32_t cell = U32(i);
    if (cell == 0) return kHandleRefZero;
    const std::uint32_t handle = memory_->Word(cell);
    if (handle == 0) return kHandleRefZero;
    T* object = handles_->Get<T>(handle);
    if (object == nullptr) return kHandleRefNotFound;
    const std::uint32_t status = destroy(*object);
    if (status == 0) memory_->SetWord(cell, 0);
    return status;
  }

  // left, top, right, bottom from args[i]; absent when args[i] is 65535.
  std::optional<ScriptRect> Rect(std::uint32_t i) const;
  // width, height from args[i]; absent when args[i] is 65535.
  std::optional<ScriptSize> Size(std::uint32_t i) const;

  // The arguments from args[i] on, as an argument list of their own.
  NativeArgs From(std::uint32_t i) const { return NativeArgs(*memory_, *handles_, WordAddress(i)); }

  std::uint32_t Address() const { return address_; }
  ScriptMemory& Memory() const { return *memory_; }
  HandleTable& Handles() const { return *handles_; }

 private:
  std::uint32_t WordAddress(std::uint32_t i) const {
    const std::uint64_t address = address_ + std::uint64_t{i} * 4;
    if (address > UINT32_MAX) RaiseBadAddress(address_, 4);
    return static_cast<std::uint32_t>(address);
  }

  ScriptMemory* memory_;
  HandleTable* handles_;
  std::uint32_t address_;
};
