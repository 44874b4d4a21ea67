#include "script/script_vm.h"

#include <algorithm>
#include <cstring>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "base/text/sjis_case.h"
#include "script/sob_object.h"

namespace {

constexpr std::int32_t kNoRecord = -1;

}  // namespace

CScriptVm::CScriptVm() : context_(memory_, natives_, handles_) {
  context_.SetTranslations(&translations_);
  SetStackSize(kDefaultStackWords);
  RegisterHostVariable("retVovExp");
}

CScriptVm::~CScriptVm() {
  if (text_log_name_) SaveTextLog(nullptr);
  for (const ScriptModule& module : modules_) memory_.Free(module.code);
  for (const std::uint32_t address : host_variables_) memory_.Free(address);
}

std::uint32_t CScriptVm::SetStackSize(std::uint32_t words) {
  stack_size_ = words;
  return context_.SetStackSize(words);
}

std::uint32_t CScriptVm::RegisterNative(ScriptNativeFunc function) { return natives_.Register(function) ? 0 : 1; }

std::uint32_t CScriptVm::RegisterHostVariable(const char* /*name*/) {
  const std::uint32_t address = memory_.Allocate(4, true);
  if (address != 0) host_variables_.push_back(address);
  return address;
}

std::uint32_t CScriptVm::EnableTranslation(bool flag) {
  const std::uint32_t status = context_.EnableTranslation(flag);
  if (context_.UsesTranslation()) {
    for (const ScriptModule& module : modules_) TranslateModule(module);
  }
  return status;
}

// The library as well as the scripts, so that scripts call library routines without leaving
// translated code. Only the instructions are translated, not data behind them.
void CScriptVm::TranslateModule(const ScriptModule& module) {
  if (translations_.Has(module.code)) return;
  translations_.Translate(module.code, std::min(module.instruction_length, module.code_size));
}

std::uint32_t CScriptVm::PushEndMarker() { return context_.PushEndMarker(); }

std::uint32_t CScriptVm::Run(std::uint32_t entry) { return context_.Run(entry); }

std::uint32_t CScriptVm::LoadLibraries(const char* init_path, const char* user_var_path, const char* library_path,
                                       bool initial_copy, bool backup_copy) {
  if (libraries_loaded_) return kLibrariesLoadedAlready;
  libraries_loaded_ = true;

  if (const auto init = init_path != nullptr ? LoadDataFile(init_path) : std::nullopt) {
    std::vector<ReadTextRecord> table;
    const ReadTextTableStatus status = ParseReadTextTable(*init, table);
    if (status == ReadTextTableStatus::kNoMemory) return kNoMemory;
    if (status == ReadTextTableStatus::kDamaged) return kReadTextTableDamaged;
    read_text_ = std::move(table);
    has_read_text_table_ = true;
    current_record_ = kNoRecord;
  }

  if (const auto user_var = user_var_path != nullptr ? LoadDataFile(user_var_path) : std::nullopt) {
    UserVarObject object;
    if (const unsigned status = ParseUserVarObject(*user_var, object); status != 0) return status;
    if (!variables_.Install(object, initial_copy, backup_copy)) return kNoMemory;
  }

  if (const auto library = library_path != nullptr ? LoadDataFile(library_path) : std::nullopt) {
    if (!HasMagic(*library, kSobLibraryMagic)) return kLibraryBadMagic;
    const std::span<const std::uint8_t> object = std::span<const std::uint8_t>(*library).subspan(kSobMagicSize);
    if (LinkModule(object, 0, true) != 0) return kLibraryLinkFailed;
  }
  return 0;
}

bool CScriptVm::RelocationsFit(const SobObject& object) const {
  const auto code_size = static_cast<std::uint32_t>(object.code.size());
  // Code addresses may be one past the end of their image: a label after the last instruction.
  const std::uint64_t library_end = library_code_base_ != 0 ? std::uint64_t{modules_.front().code_size} + 1 : 0;
  const std::uint64_t value_ends[kSobRelocationListCount] = {variables_.Count(), natives_.Count(),
                                                             HostVariableCount(), library_end,
                                                             std::uint64_t{code_size} + 1};
  for (std::size_t list = 0; list < kSobRelocationListCount; ++list) {
    for (const SobRelocationEntry& entry : object.relocations[list]) {
      if (std::uint64_t{entry.offset} + 4 > code_size || entry.value >= value_ends[list]) return false;
    }
  }
  return true;
}

void CScriptVm::ApplyRelocations(const SobObject& object, std::uint32_t code) {
  const auto value_of = [&](SobRelocation list, std::uint32_t value) -> std::uint32_t {
    switch (list) {
      case SobRelocation::kUserVariable:
        return variables_.Table()[value].address;
      case SobRelocation::kNative:
        return ScriptNativeTable::Token(value);
      case SobRelocation::kHostVariable:
        return host_variables_[value];
      case SobRelocation::kLibraryCode:
        return library_code_base_ + value;
      case SobRelocation::kOwnCode:
        break;
    }
    return code + value;
  };
  for (std::size_t list = 0; list < kSobRelocationListCount; ++list) {
    for (const SobRelocationEntry& entry : object.relocations[list]) {
      memory_.SetWord(code + entry.offset, value_of(static_cast<SobRelocation>(list), entry.value));
    }
  }
}

std::uint32_t CScriptVm::LinkModule(std::span<const std::uint8_t> object_bytes, std::int32_t record, bool is_library) {
  constexpr std::uint32_t kRefused = 1;
  const std::optional<SobObject> object = ParseSobObject(object_bytes);
  if (!object || object->closing_word != 0 || !RelocationsFit(*object)) return kRefused;
  if (is_library && library_code_base_ != 0) return kRefused;

  const auto code_size = static_cast<std::uint32_t>(object->code.size());
  const std::uint32_t code = memory_.Allocate(code_size);
  if (code == 0) return kRefused;
  memory_.Write(code, object->code.data(), code_size);
  ApplyRelocations(*object, code);

  const ScriptModule module{code, code_size, record, object->instruction_length, is_library};
  if (context_.UsesTranslation()) TranslateModule(module);
  if (is_library) {
    modules_.insert(modules_.begin(), module);
    library_code_base_ = code;
  } else {
    modules_.push_back(module);
    current_code_base_ = code;
  }
  if (has_read_text_table_) current_record_ = record;
  return 0;
}

std::uint32_t CScriptVm::LoadScript(const char* path, CScriptContext* context) {
  if (path == nullptr || *path == '\0') return kScriptUnreadable;
  const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(path);
  if (!file) return kScriptUnreadable;
  if (!HasMagic(*file, kSobScriptMagic)) return kScriptRefused;

  std::int32_t record = kNoRecord;
  if (has_read_text_table_) {
    char title[kMaxPath];
    GetPathLeaf(path, title, false);
    CutFileExtension(title, nullptr);
    std::string name = title;
    UpperSjis(name);
    for (std::size_t n = 0; n < read_text_.size() && record == kNoRecord; ++n) {
      if (read_text_[n].name == name) record = static_cast<std::int32_t>(n);
    }
    if (record == kNoRecord) return kScriptRefused;
  }

  const std::span<const std::uint8_t> object = std::span<const std::uint8_t>(*file).subspan(kSobMagicSize);
  if (LinkModule(object, record, false) != 0) return kScriptLinkFailed;
  CScriptContext& target = context != nullptr ? *context : context_;
  // LinkModule translated it already where the own context runs translated code.
  if (target.UsesTranslation() && !context_.UsesTranslation()) TranslateModule(modules_.back());
  target.SetIp(current_code_base_);
  if (target.PushEndMarker() != 0) {
    DropNewestModule();
    return kScriptLinkFailed;
  }
  return 0;
}

std::uint32_t CScriptVm::UnloadScript() {
  OnUnloadScript();
  if (modules_.empty() || modules_.back().library) return 1;
  DropNewestModule();
  return 0;
}

void CScriptVm::DropNewestModule() {
  translations_.Drop(modules_.back().code);
  memory_.Free(modules_.back().code);
  modules_.pop_back();
  UpdateCurrentScript();
}

void CScriptVm::FreeScriptModules() {
  while (!modules_.empty() && !modules_.back().library) {
    translations_.Drop(modules_.back().code);
    memory_.Free(modules_.back().code);
    modules_.pop_back();
  }
  current_code_base_ = 0;
}

// After an unload the newest remaining module is the current one.
void CScriptVm::UpdateCurrentScript() {
  current_code_base_ = 0;
  if (!modules_.empty() && !modules_.back().library) current_code_base_ = modules_.back().code;
  if (has_read_text_table_ && !modules_.empty()) current_record_ = modules_.back().record;
}
