#include "novel/frame/vov_frame.h"

#include <cstdio>

#include "base/settings/game_settings.h"
#include "base/system/app_hooks.h"
#include "novel/scenario/vov_command_record.h"
#include "platform/system/diagnostic_log.h"

CVovFrame* g_VovFrame = nullptr;

namespace {

// Names of core commands: an absent or empty one names nothing. Copied, since a transfer may
// free the image the operand points into.
std::string NameOf(const VovOperand& operand) { return std::string(operand.text); }
const char* OrNull(const std::string& name) { return name.empty() ? nullptr : name.c_str(); }

}  // namespace

VovOperand VovOperandAt(std::span<const VovOperand> operands, std::size_t n) {
  return n < operands.size() ? operands[n] : VovOperand{};
}

CVovFrame::CVovFrame(CScriptHost& host)
    : CVovVM(host),
      host_(host),
      context_(host.Memory(), host.Natives(), host.Handles()),
      expressions_(host, context_) {
  context_.SetStackSize(kContextStackWords);
  context_.SetTranslations(&host.Translations());
  context_.EnableTranslation(host.CScriptVm::Context().UsesTranslation());
  InstallHandlers();
  page_.SetScreenFilterEnd([this] {
    if (filter_running_) EndScreenFilter();
  });
  if (g_UserConfig != nullptr && (*g_UserConfig)[kSettingTextLogSize] != 0) {
    text_log_.SetCapacity((*g_UserConfig)[kSettingTextLogSize] + 1);
  }
  g_VovFrame = this;
  host_.AttachFrame(this);
}

CVovFrame::~CVovFrame() {
  page_.SetScreenFilterEnd(nullptr);
  ReleaseMessageWindow();
  if (g_VovFrame == this) g_VovFrame = nullptr;
  if (host_.AttachedFrame() == this) host_.AttachFrame(nullptr);
}

void CVovFrame::SetHandler(std::uint32_t opcode, VovHandler handler) {
  if (opcode < kOpcodeCount) handlers_[opcode] = std::move(handler);
}

std::uint32_t CVovFrame::Refuse(const std::string& why) {
  plat::LogDiagnostic("scenario " + (CurrentScript() != nullptr ? CurrentScript()->Name() : std::string()) +
                      " stopped at body offset " + std::to_string(PositionOffset()) + ": " + why);
  command_result_ = kRunStopped;
  return 0;
}

std::int32_t CVovFrame::RunScript() {
  if (TransientCount() == 0) return kRunNoMainScript;
  for (;;) {
    if (has_pending_insert_) {
      if (pending_at_ < pending_insert_.size()) {
        const auto* text = reinterpret_cast<const std::uint8_t*>(pending_insert_.data());
        pending_at_ += text_.PutChar(std::span(text + pending_at_, pending_insert_.size() - pending_at_));
        continue;
      }
      has_pending_insert_ = false;
    }
    const std::uint32_t at = PositionOffset();
    const std::uint8_t byte = BodyByte(at);
    if (byte == 0) return 0;
    if (byte != '[') {
      const std::span<const std::uint8_t> body = CurrentScript()->Body();
      SetPosition(Position() + static_cast<std::uint32_t>(text_.PutChar(body.subspan(at))));
      continue;
    }
    if (StopRequested()) {
      Operands().Empty();
      return kRunStopped;
    }
    const std::uint8_t mark = BodyByte(at + 1);
    std::uint32_t next = Position() + 1;
    if (mark == ' ' || mark == 's') {
      next = mark == ' ' ? ExecCommand(at) : RunCodeBlock(at);
      if (next == 0) {
        Operands().Empty();
        if (mark == 's') return kRunStopped;
        if (command_result_ == kReturnedToNothing) return 0;
        return command_result_ < kRunStopped ? kRunBadHandlerResult : command_result_;
      }
    }
    if (!SetPosition(next)) {
      Refuse("the next position lies outside the body");
      Operands().Empty();
      return kRunStopped;
    }
  }
}

bool CVovFrame::StopRequested() {
  if (page_.PageImageLost()) return true;
  if (commands_until_stop_check_ > 1) {
    --commands_until_stop_check_;
    return false;
  }
  commands_until_stop_check_ = kCommandsPerStopCheck;
  if (g_ScriptStopCheckHook == nullptr || !g_ScriptStopCheckHook()) return false;
  application_ending_ = true;
  Refuse("the application is ending");
  return true;
}

std::uint32_t CVovFrame::ExecCommand(std::uint32_t at) {
  const std::optional<VovDecoder> decoder = Decoder(expressions_);
  const std::optional<VovCommandHead> head = ReadVovCommandHead(*decoder, at);
  if (!head) return Refuse("a command that cannot be read");
  const std::uint32_t next = CurrentScript()->BodyAddress() + head->end;
  if (!head->carried_out) return next;
  // The table has no entry past 128: such a command is refused rather than looked up.
  if (head->kind >= kOpcodeCount) return Refuse("opcode " + std::to_string(head->kind) + " has no handler");
  const std::size_t mark = Operands().Mark();
  if (!DecodeVovOperands(*decoder, *head, Operands())) return Refuse("operands that cannot be decoded");
  const std::span<const VovOperand> operands = Operands().From(mark);
  const std::uint32_t result = head->kind < kVovFirstOpcode ? ExecCoreCommand(head->kind, operands, next)
                                                            : RunHandler(head->kind, operands, next);
  Operands().Release(mark);
  return result;
}

std::uint32_t CVovFrame::RunHandler(std::uint32_t kind, std::span<const VovOperand> operands, std::uint32_t next) {
  command_result_ = static_cast<std::int32_t>(kind);
  operand_count_ = static_cast<std::uint32_t>(operands.size());
  const std::uint32_t counter = repeat_counter_;
  // Unlike CallOpcode, a body command leaves "retVovExp" to the expressions that set it.
  command_result_ = handlers_[kind](*this, operands);
  // Only an unbroken run of skippable waits keeps the counter.
  if (repeat_counter_ == counter) repeat_counter_ = 0;
  return command_result_ == 0 ? next : 0;
}

std::uint32_t CVovFrame::ExecCoreCommand(std::uint32_t kind, std::span<const VovOperand> operands,
                                         std::uint32_t next) {
  command_result_ = 0;
  const VovOperand first = VovOperandAt(operands, 0);
  const std::string label = NameOf(first);
  const std::string script = NameOf(VovOperandAt(operands, 1));
  const std::uint32_t offset = first.flags == kVovBodyOffsetFlags ? first.value : 0;
  switch (kind) {
    case kVovGotoIfZero:
    case kVovGoto1:
    case kVovGoto2:
    case kVovGoto3:
      return JumpTo(nullptr, nullptr, first.value);
    case kVovPrintNumber: {
      char number[16];
      std::snprintf(number, sizeof number, "%d", static_cast<std::int32_t>(first.value));
      pending_insert_ = number;
      break;
    }
    case kVovPrintString:
      pending_insert_ = std::string(first.text);
      break;
    case kVovCall:
      if (!script.empty()) current_line_ = -1;
      // The call returns behind itself, so the position moves there before it is pushed.
      if (!SetPosition(next)) return Refuse("the next position lies outside the body");
      return CallTo(OrNull(script), OrNull(label), offset);
    case kVovJump:
      if (!script.empty()) current_line_ = -1;
      return JumpTo(OrNull(script), OrNull(label), offset);
    case kVovReturn: {
      current_line_ = -1;
      const bool body_start = first.flags == kVovBodyOffsetFlags && first.value == 0;
      const std::uint32_t position = ReturnFrom(OrNull(script), OrNull(label), body_start ? kBodyStart : offset);
      if (position == 0) command_result_ = kReturnedToNothing;
      return position;
    }
    case kVovPreload:
      PreloadScript(OrNull(label));
      return next;
    case kVovUnload:
      UnloadScript(OrNull(label));
      return next;
    default:
      return next;
  }
  pending_at_ = 0;
  has_pending_insert_ = true;
  return next;
}

std::int32_t CVovFrame::CallOpcode(std::uint32_t opcode, std::span<const VovOperand> operands) {
  if (opcode >= kOpcodeCount) {
    plat::LogDiagnostic("carried command with opcode " + std::to_string(opcode) + " has no handler");
    return kRunStopped;
  }
  in_handler_ = true;
  command_result_ = handlers_[opcode](*this, operands);
  host_.SetRetVovExp(static_cast<std::uint32_t>(command_result_));
  in_handler_ = false;
  return command_result_;
}

std::int32_t CVovFrame::SkippableWait(bool skippable, const std::function<void()>& finish,
                                      const std::function<std::int32_t()>& wait) {
  if (skippable && repeat_counter_ != 0) {
    finish();
    ++repeat_counter_;
    return 0;
  }
  const std::int32_t result = wait();
  if (result < 0) return kRunStopped;
  repeat_counter_ = result > 0 ? 1 : 0;
  return 0;
}

std::int32_t CVovFrame::CarryInText(std::span<const VovOperand> operands) {
  const std::vector<std::uint8_t> record = EncodeVovCommand(static_cast<std::uint32_t>(command_result_), operands);
  if (!text_.Append(record)) {
    plat::LogDiagnostic("carried command " + std::to_string(command_result_) + " dropped: the message text is full");
  }
  return 0;
}
