// The engine's script host: the runtime with the three transfer built-ins (numbers 0 to 2), the
// host variables "ScriptBootFlg" (1) and "retAppProc" (2), the voice table, script objects loaded
// by name from the script folder, the run loop that serves the transfer requests, and the
// variable, persistent and text-log files. The game's host derives from it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "script/hosted_frame.h"
#include "script/script_text_export.h"
#include "script/script_vm.h"
#include "sound/voice_table.h"

class CScriptHost : public CScriptVm {
 public:
  // RunLoop results.
  static constexpr std::uint32_t kRunFinished = 0;
  static constexpr std::uint32_t kRunSuspended = 1;
  static constexpr std::uint32_t kRunBadScript = 2;  // a transfer in the wrong state, or a script fault
  static constexpr std::uint32_t kRunJumpLoadFailed = 3;
  static constexpr std::uint32_t kRunCallLoadFailed = 4;

  // The folder of the script objects and the buffer their paths are formed in.
  static constexpr const char* kScriptFolder = "SCRIPT\\";
  static constexpr std::size_t kScriptPathSize = 64;

  // Clears the transfer request and the call depth, registers the transfer built-ins and the two
  // host variables.
  CScriptHost();
  // Writes the persistent file when a variable-file name is set.
  ~CScriptHost() override;

  // Loads the script object "SCRIPT\<name>.SOB" (null: the name of the transfer request) as
  // CScriptVm::LoadScript does; the name may name a sub-folder ("SUB\E01"). A path that does not
  // fit in 63 bytes, or a name that leaves the script folder (StaysInsideFolder), is refused
  // with 1.
  std::uint32_t LoadScript(const char* name, CScriptContext* context) override;
  // Reads the voice table; a file that cannot be read or is damaged leaves it empty. Always 0.
  std::uint32_t LoadVoiceInfo(const char* path);
  // Drops every script but the library, empties the stack and drops a pending Call or Jump, for a
  // restart with `boot_value`.
  void ResetScripts(std::uint32_t boot_value);
  // Runs the current script and serves its transfer requests: 0 finished (or the end was asked
  // for: the request then stays 3; or the stop check ended a script that did not yield), 1 suspended, 2 a transfer in the wrong state (the request
  // stays), a script fault (a pending Call or Jump dropped) or a callee that ended without its
  // caller's resume point on the stack, 3 a Jump's object did not load (the request stays 1), 4 a
  // Call's object did not load (the caller's stack as before, the request cleared).
  std::uint32_t RunLoop();

  std::uint32_t ScriptBootFlg() const { return Memory().Word(HostVariableAddress(1)); }
  void SetScriptBootFlg(std::uint32_t value) { Memory().SetWord(HostVariableAddress(1), value); }
  std::uint32_t RetAppProc() const { return Memory().Word(HostVariableAddress(2)); }
  void SetRetAppProc(std::uint32_t value) { Memory().SetWord(HostVariableAddress(2), value); }

  // The six configuration words that scripts hand the novel frame before it exists; the frame
  // copies them when it is made. Indexes past the six are ignored.
  static constexpr std::size_t kConfigWordCount = 6;
  using ConfigWords = std::array<std::uint32_t, kConfigWordCount>;
  void SetConfigWord(std::uint32_t index, std::uint32_t value) {
    if (index < kConfigWordCount) config_words_[index] = value;
  }
  const ConfigWords& GetConfigWords() const { return config_words_; }

  const VoiceTable& Voices() const { return voices_; }
  VoiceTable& Voices() { return voices_; }
  // Where the voice table's texts are handed to the scripts, and the user settings' face name.
  ScriptTextExport& VoiceTextExport() { return voice_text_; }
  ScriptTextExport& SettingsTextExport() { return settings_text_; }

  // The variable-file name, which is also the persistent file's. False for a null name.
  bool SetVariableFileName(const char* name);
  // Operations without a name use the stored one. Variables are given by their live address.
  // 0; 1 no name or the file cannot be written; 2 no variable matches the selector (or the backup
  // copy is asked for and absent); 3 the data cannot be built; 4 the value variable is not of
  // kind 0 or the string variable not of kind 1.
  std::uint32_t SaveVariableFile(const char* name, std::uint32_t selector, std::uint32_t value_variable,
                                 std::uint32_t string_variable, bool from_backup);
  // Reads the value and text blocks of a variable file into the given variables (either may be
  // 0). 0; 1 no name or the file cannot be read; 2 a block is empty or missing; 3 a variable is
  // not in the table or not of the right kind, or a block is larger than its variable. Nothing is
  // written unless everything fits.
  std::uint32_t ReadVariableFileInfo(const char* name, std::uint32_t value_variable, std::uint32_t string_variable);
  // 0; 1 no name or the file cannot be read; 2 damaged (byte sum or packing: nothing changed), or
  // a stored kind that differs from its variable's (the variables before it are restored). Data
  // that ends before the table does restores the variables it holds.
  std::uint32_t LoadVariableFile(const char* name);
  // The voice settings and the class-2 variables. 0; 1 no name; 2 the data cannot be built; 3 the
  // file cannot be written.
  std::uint32_t SavePersistentFile(const char* name);
  // 0; 1 no name or the file cannot be read; 2 damaged (nothing changed). Voice settings are
  // restored only when the character count is the same; the stored variables as far as they fit
  // the variable table (ReadFitting), so a patched game keeps what it still can.
  std::uint32_t LoadPersistentFile(const char* name);
  // The persistent file, then the text log: the first non-zero result; 2 when neither name is set.
  std::uint32_t SavePersistentState();

  // The novel frame that lives on this host (null: none); the frame attaches itself.
  void AttachFrame(IHostedFrame* frame) { frame_ = frame; }
  IHostedFrame* AttachedFrame() const { return frame_; }

 protected:
  // Called at the start of ResetScripts.
  virtual void OnResetScripts() {}

 private:
  std::optional<std::string> VariableFilePath(const char* name, ScriptFileUse use) const;

  VoiceTable voices_;
  ScriptTextExport voice_text_{Memory()};
  ScriptTextExport settings_text_{Memory()};
  std::optional<std::string> variable_file_name_;
  ConfigWords config_words_{};
  IHostedFrame* frame_ = nullptr;
};
