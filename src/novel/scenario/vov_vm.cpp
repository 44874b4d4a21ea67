#include "novel/scenario/vov_vm.h"

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "base/text/sjis_case.h"

namespace {

constexpr std::string_view kTobExtension = ".TOB";

bool Names(const char* name) { return name != nullptr && *name != '\0'; }

std::string Upper(std::string_view name) {
  std::string upper(name);
  UpperSjis(upper);
  return upper;
}

}  // namespace

bool VovNamesMatch(std::string_view a, std::string_view b) { return a.size() == b.size() && Upper(a) == Upper(b); }

CVovVM::CVovVM(CScriptVm& script_vm) : script_vm_(script_vm) {}

CVovVM::~CVovVM() {
  if (log_file_name_) SaveTextLog(nullptr);
}

CVovVM::LoadedScript CVovVM::ReadTob(const char* name) const {
  if (name == nullptr || !StaysInsideFolder(name)) return {nullptr, kTobUnreadable};
  const std::string path = script_folder_ + name + std::string(kTobExtension);
  if (path.size() >= kMaxPath) return {nullptr, kTobUnreadable};
  const std::optional<std::vector<std::uint8_t>> file = LoadDataFile(path.c_str());
  if (!file) return {nullptr, kTobUnreadable};

  TobLayout layout;
  const TobStatus status = ParseTob(*file, layout);
  if (status == TobStatus::kBadMagic) return {nullptr, kTobBadMagic};
  if (status == TobStatus::kMalformed) return {nullptr, kTobMalformed};

  std::int32_t read_text_index = -1;
  if (has_read_text_table_) {
    const std::string upper = Upper(name);
    for (std::size_t n = 0; n < read_text_.size() && read_text_index < 0; ++n) {
      if (read_text_[n].name == upper) read_text_index = static_cast<std::int32_t>(n);
    }
    if (read_text_index < 0) return {nullptr, kTobNotInTable};
  }
  std::unique_ptr<VovScript> script =
      VovScript::Create(script_vm_.Memory(), *file, std::move(layout), name, read_text_index);
  const std::uint32_t created = script != nullptr ? 0u : kTobUnreadable;
  return {std::move(script), created};
}

std::uint32_t CVovVM::LoadTob(const char* name, bool transient) {
  LoadedScript loaded = ReadTob(name);
  if (loaded.status != 0) return loaded.status;
  (transient ? transient_ : resident_).push_back(std::move(loaded.script));
  return 0;
}

std::uint32_t CVovVM::LoadMainScript(const char* name) {
  if (!transient_.empty()) return kMainScriptLoaded;
  if (const std::uint32_t status = LoadTob(name, true); status != 0) return status + 1;
  MakeCurrent(transient_.back().get(), kVovTransientIndex);
  position_ = 0;
  return 0;
}

std::uint32_t CVovVM::PreloadScript(const char* name) { return LoadTob(name, false); }

std::uint32_t CVovVM::UnloadScript(const char* name) {
  if (resident_.empty()) return kNoResidentScript;
  std::size_t place = resident_.size() - 1;
  if (Names(name)) {
    place = 0;
    while (place < resident_.size() && !VovNamesMatch(resident_[place]->Name(), name)) ++place;
    if (place == resident_.size()) return kNoResidentOfName;
  }
  const auto index = static_cast<std::int32_t>(place);
  if (current_index_ == index) return kResidentInUse;
  for (const VovCallFrame& frame : CallFrames()) {
    if (frame.script == index) return kResidentInUse;
  }

  resident_.erase(resident_.begin() + static_cast<std::ptrdiff_t>(place));
  for (VovCallFrame& frame : std::span(frames_).first(frame_count_)) {
    if (frame.script > index) --frame.script;
  }
  if (current_index_ > index) --current_index_;
  return 0;
}

void CVovVM::MakeCurrent(VovScript* script, std::int32_t index) {
  current_ = script;
  current_index_ = index;
  current_record_ = script != nullptr && has_read_text_table_ ? script->ReadTextIndex() : -1;
}

VovScript* CVovVM::FindOrLoadScript(const char* name) {
  for (std::size_t place = 0; place < resident_.size(); ++place) {
    if (Names(name) && VovNamesMatch(resident_[place]->Name(), name)) {
      MakeCurrent(resident_[place].get(), static_cast<std::int32_t>(place));
      return current_;
    }
  }
  if (LoadTob(name, true) != 0) return nullptr;
  MakeCurrent(transient_.back().get(), kVovTransientIndex);
  return current_;
}

std::int64_t CVovVM::FindLabel(const VovScript& script, const char* label) {
  return label == nullptr ? 0 : script.FindLabel(label);
}

std::int64_t CVovVM::GetLineOffset(std::uint32_t line) const {
  return current_ != nullptr ? current_->LineOffset(line) : -1;
}

std::uint32_t CVovVM::DropTransientScript() {
  if (transient_.empty()) return 1;
  if (current_ == transient_.back().get()) MakeCurrent(nullptr, kVovTransientIndex);
  transient_.pop_back();
  return 0;
}

bool CVovVM::DropCurrentTransient() {
  return current_ == nullptr || current_index_ != kVovTransientIndex || DropTransientScript() == 0;
}

void CVovVM::ResetScripts() {
  MakeCurrent(nullptr, kVovTransientIndex);
  transient_.clear();
  resident_.clear();
  frame_count_ = 0;
  position_ = 0;
  operands_.Empty();
}

std::uint32_t CVovVM::SetScriptFolder(const char* path) {
  if (path == nullptr) return 1;
  script_folder_ = path;
  if (!EndsWithSeparator(path)) script_folder_ += '\\';
  return 0;
}

bool CVovVM::SetPosition(std::uint32_t address) {
  if (current_ == nullptr || address < current_->BodyAddress()) return false;
  const std::uint32_t offset = address - current_->BodyAddress();
  if (!current_->IsPosition(offset)) return false;
  position_ = offset;
  return true;
}

std::uint8_t CVovVM::BodyByte(std::uint32_t offset) const {
  if (current_ == nullptr || offset >= current_->BodySize()) return 0;
  return current_->Body()[offset];
}

std::optional<VovDecoder> CVovVM::Decoder(VovExpressionRunner& expressions) const {
  if (current_ == nullptr) return std::nullopt;
  return VovDecoder{script_vm_, expressions, current_->Body(), current_->BodyAddress()};
}

std::uint32_t CVovVM::MoveTo(std::uint64_t offset) {
  if (current_ == nullptr || !current_->IsPosition(offset)) return 0;
  position_ = static_cast<std::uint32_t>(offset);
  return Position();
}

std::uint32_t CVovVM::MoveToTarget(const char* label, std::uint32_t offset) {
  if (current_ == nullptr) return 0;
  if (!Names(label)) return MoveTo(offset);
  const std::int64_t found = FindLabel(*current_, label);
  return found < 0 ? 0 : MoveTo(static_cast<std::uint64_t>(found));
}

std::uint32_t CVovVM::CallTo(const char* script, const char* label, std::uint32_t offset) {
  // A call deeper than the stack is refused rather than written past it.
  if (frame_count_ == kCallStackFrames || current_ == nullptr) return 0;
  frames_[frame_count_++] = {Names(script) ? current_index_ : kVovKeepScript, position_};
  if (Names(script) && FindOrLoadScript(script) == nullptr) return 0;
  return MoveToTarget(label, offset);
}

std::uint32_t CVovVM::JumpTo(const char* script, const char* label, std::uint32_t offset) {
  if (Names(script)) {
    if (!DropCurrentTransient() || FindOrLoadScript(script) == nullptr) return 0;
  }
  return MoveToTarget(label, offset);
}

std::uint32_t CVovVM::ReturnFrom(const char* script, const char* label, std::uint32_t offset) {
  if (frame_count_ == 0) return 0;
  const VovCallFrame frame = frames_[--frame_count_];
  if (frame.script != kVovKeepScript) {
    if (!DropCurrentTransient()) return 0;
    if (frame.script == kVovTransientIndex) {
      MakeCurrent(transient_.empty() ? nullptr : transient_.back().get(), kVovTransientIndex);
    } else {
      const auto place = static_cast<std::size_t>(frame.script);
      MakeCurrent(frame.script >= 0 && place < resident_.size() ? resident_[place].get() : nullptr, frame.script);
    }
    if (current_ == nullptr) return 0;
  }
  if (Names(script)) {
    if (!DropCurrentTransient() || FindOrLoadScript(script) == nullptr) return 0;
  }
  if (Names(label)) return MoveToTarget(label, 0);
  if (offset == 0) return MoveTo(frame.return_offset);
  return MoveTo(offset == kBodyStart ? 0 : offset);
}
