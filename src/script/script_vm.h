// The script runtime: the script memory with its handle table, the table of built-in functions,
// the runtime's own execution context, the host variables, the user variables, the linked script
// modules and the read-text records. The script hosts derive from it.
//
// Everything that linked code addresses lives in script memory: the code of every module (copied
// there when it is linked), the user-variable images with their pointer cells, the host variables
// and the stack. The linker checks every relocation against its table and the code before it
// writes anything, so a damaged object fails to link and leaves the runtime as it was.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/files/script_write_rule.h"
#include "base/lifetime/handle_table.h"
#include "base/numbers/byte_cursor.h"
#include "script/native_args.h"
#include "script/read_text_table.h"
#include "script/script_context.h"
#include "script/script_memory.h"
#include "script/script_native_table.h"
#include "script/script_translations.h"
#include "script/script_variables.h"

// One linked object.
struct ScriptModule {
  std::uint32_t code = 0;  // address of its code in script memory
  std::uint32_t code_size = 0;
  std::int32_t record = -1;  // its read-text record, -1 without a table
  std::uint32_t instruction_length = 0;
  bool library = false;
};

class CScriptVm {
 public:
  static constexpr std::uint32_t kDefaultStackWords = 16384;

  // LoadLibraries statuses.
  static constexpr std::uint32_t kLibrariesLoadedAlready = 1;
  static constexpr std::uint32_t kNoMemory = 2;
  static constexpr std::uint32_t kUserVarBadMagic = 3;
  static constexpr std::uint32_t kUserVarDamaged = 4;
  static constexpr std::uint32_t kLibraryBadMagic = 5;
  static constexpr std::uint32_t kLibraryLinkFailed = 6;
  static constexpr std::uint32_t kReadTextTableDamaged = 7;
  // LoadScript statuses.
  static constexpr std::uint32_t kScriptUnreadable = 1;
  static constexpr std::uint32_t kScriptRefused = 2;  // not "SOB0", or not in the read-text table
  static constexpr std::uint32_t kScriptLinkFailed = 3;

  // Registers host variable 0, "retVovExp", and gives the context its stack.
  CScriptVm();
  // Writes the text log when a text-log name is set.
  virtual ~CScriptVm();

  CScriptVm(const CScriptVm&) = delete;
  CScriptVm& operator=(const CScriptVm&) = delete;

  // Records the size and gives the context a stack of that many words: 0, or 1 when the script
  // memory cannot hold it.
  std::uint32_t SetStackSize(std::uint32_t words);
  std::uint32_t StackSize() const { return stack_size_; }

  // Appends a built-in function; its number is its place in the order of registration. 0, or 1
  // for a null function or a full table.
  std::uint32_t RegisterNative(ScriptNativeFunc function);

  // A host variable is a word in script memory that scripts reach by its number, the order of
  // registration; the name only documents it. Returns the word's address, 0 when memory is out.
  std::uint32_t RegisterHostVariable(const char* name);
  std::uint32_t HostVariableCount() const { return static_cast<std::uint32_t>(host_variables_.size()); }
  std::uint32_t HostVariableAddress(std::uint32_t number) const { return host_variables_.at(number); }
  // Host variable 0, where the novel frame leaves the result of each of its commands.
  std::uint32_t RetVovExp() const { return memory_.Word(host_variables_[0]); }
  void SetRetVovExp(std::uint32_t value) { memory_.SetWord(host_variables_[0], value); }

  // Loads the read-text table, the user variables (with their initial and backup copies when
  // asked) and the function library, each skipped when its file cannot be read. 0; 1 called
  // before; 2 no memory; 3 the user-variable object is not "SOB1"; 4 it is damaged; 5 the library
  // is not "SOB2"; 6 the library does not link; 7 the read-text table is damaged. A failure keeps
  // what was loaded before it.
  std::uint32_t LoadLibraries(const char* init_path, const char* user_var_path, const char* library_path,
                              bool initial_copy, bool backup_copy);
  // Links an object (the bytes after its magic) as the newest module: 0, or 1 when the object is
  // damaged, a relocation names something that does not exist or writes outside the code, or the
  // word after the fifth list is not 0. On failure the modules are as before.
  std::uint32_t LinkModule(std::span<const std::uint8_t> object, std::int32_t record, bool is_library);
  // Loads the "SOB0" object at `path` and prepares `context` (or the own context) to run it: ip at
  // its code, the end marker pushed. 0, 1 unreadable, 2 refused, 3 link failure.
  virtual std::uint32_t LoadScript(const char* path, CScriptContext* context);
  // Frees the newest script module (never the library): 0, or 1 when there is none.
  virtual std::uint32_t UnloadScript();
  // The code of the newest script module, 0 when none is loaded.
  virtual std::uint32_t GetCodeBase() const { return current_code_base_; }

  // Switches the own context to translated code and translates every module linked so far and
  // every one linked later (0), or keeps interpreting: 2 when this machine cannot run translated
  // code. A module that cannot be translated runs interpreted.
  std::uint32_t EnableTranslation(bool flag);
  ScriptTranslations& Translations() { return translations_; }

  virtual std::uint32_t PushEndMarker();
  virtual std::uint32_t Run(std::uint32_t entry);

  const std::vector<ScriptModule>& Modules() const { return modules_; }
  bool LibrariesLoaded() const { return libraries_loaded_; }
  std::uint32_t LibraryCodeBase() const { return library_code_base_; }

  // User variables. Class selectors: 1, 2, 3 take classes 0, 1, 2, others all; kind selectors: 0
  // all, 1, 2, 3 kinds 0, 1, 2, others none. Serialisation selectors: 0 class 1, 1 class 2, others all.
  ScriptVariables& Variables() { return variables_; }
  const ScriptVariables& Variables() const { return variables_; }
  void ClearVariables(std::uint32_t class_selector, std::uint32_t kind_selector) { variables_.Clear(class_selector, kind_selector); }
  std::uint32_t ResetVariables(std::uint32_t class_selector, std::uint32_t kind_selector) { return variables_.Reset(class_selector, kind_selector); }
  std::uint32_t SaveVariablesToBackup(std::uint32_t class_selector, std::uint32_t kind_selector) {
    return variables_.SaveToBackup(class_selector, kind_selector);
  }
  std::uint32_t RestoreVariablesFromBackup(std::uint32_t class_selector, std::uint32_t kind_selector) {
    return variables_.RestoreFromBackup(class_selector, kind_selector);
  }
  std::uint32_t SaveVariableToBackup(std::uint32_t address) { return variables_.SaveOneToBackup(address); }
  std::uint32_t MarkVariable(std::uint32_t address) { return variables_.Mark(address); }
  std::int32_t FindVariable(std::uint32_t address) const { return variables_.Find(address); }
  std::uint32_t GetVariableDataSize(std::uint32_t selector, bool from_backup) const {
    return variables_.SerialisedSize(selector, from_backup);
  }
  std::uint32_t WriteVariables(ByteWriter& out, std::uint32_t selector, bool from_backup) const {
    return variables_.Write(out, selector, from_backup);
  }
  std::uint32_t ReadVariables(ByteReader& in) { return variables_.ReadRecord(in); }

  // Read-text records.
  bool HasReadTextTable() const { return has_read_text_table_; }
  const std::vector<ReadTextRecord>& ReadTextRecords() const { return read_text_; }
  std::vector<ReadTextRecord>& ReadTextRecords() { return read_text_; }
  // The record of the newest module, null when there is none.
  ReadTextRecord* CurrentReadTextRecord();
  // A bit of the current record, or with `common` of the table's last record; false, and nothing
  // set, without a table or a record.
  bool IsLineRead(std::uint32_t line, bool common);
  void SetLineRead(std::uint32_t line, bool common);
  bool IsChoiceMade(std::uint32_t choice, bool common);
  void SetChoiceMade(std::uint32_t choice, bool common);

  // The per-user folder where the host keeps its files (ends with a separator), empty for none.
  void SetSaveFolder(const char* folder) { save_folder_ = folder != nullptr ? folder : ""; }
  const std::string& SaveFolder() const { return save_folder_; }
  // The path of a file of the save folder ("%s%s"), or the name itself without a folder; nothing
  // when it would pass the longest engine path or the name would leave the folder
  // (StaysInsideFolder: names come from scripts).
  std::optional<std::string> SaveFilePath(const char* name) const;
  // The save-folder path of a file that a script named, when the one path rule lets scripts read
  // or write it there (links on its way included); nothing otherwise.
  std::optional<std::string> ScriptFilePath(const char* name, ScriptFileUse use) const;

  // The text-log file ("TLOG"). False for a null name.
  bool SetTextLogName(const char* name);
  bool HasTextLogName() const { return text_log_name_.has_value(); }
  // 0; 1 no name, or the file cannot be written; 2 no read-text table. Without a name the stored one.
  std::uint32_t SaveTextLog(const char* name);
  // 0 (also without a read-text table); 1 no name or the file cannot be read; 2 not a text log or
  // damaged (nothing changed). Without a name the stored one.
  std::uint32_t LoadTextLog(const char* name);

  CScriptContext& Context() { return context_; }
  ScriptMemory& Memory() { return memory_; }
  const ScriptMemory& Memory() const { return memory_; }
  HandleTable& Handles() { return handles_; }
  const ScriptNativeTable& Natives() const { return natives_; }

 protected:
  // Called at the start of UnloadScript.
  virtual void OnUnloadScript() {}
  // Frees every module but the library.
  void FreeScriptModules();

 private:
  std::optional<std::string> ChooseTextLogPath(const char* name, ScriptFileUse use) const;
  bool RelocationsFit(const SobObject& object) const;
  void ApplyRelocations(const SobObject& object, std::uint32_t code);
  void DropNewestModule();
  void TranslateModule(const ScriptModule& module);
  void UpdateCurrentScript();
  ReadTextRecord* RecordFor(bool common);

  // Declared in the order of construction: everything below lives in the memory.
  ScriptMemory memory_;
  HandleTable handles_;
  ScriptNativeTable natives_;
  ScriptTranslations translations_{memory_};
  CScriptContext context_;
  std::uint32_t stack_size_ = 0;
  std::vector<std::uint32_t> host_variables_;
  ScriptVariables variables_{memory_};
  std::vector<ScriptModule> modules_;
  bool libraries_loaded_ = false;
  std::uint32_t library_code_base_ = 0;
  std::uint32_t current_code_base_ = 0;
  bool has_read_text_table_ = false;
  std::vector<ReadTextRecord> read_text_;
  std::int32_t current_record_ = -1;
  std::string save_folder_;
  std::optional<std::string> text_log_name_;
};
