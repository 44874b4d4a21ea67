#include "builtins/dialog_builtins.h"

#include <string>
#include <string_view>

#include "base/system/app_services.h"
#include "builtins/row_text_export.h"

namespace {

std::string TextOr(const NativeArgs& args, std::uint32_t index) {
  const char* text = args.Str(index);
  return text == nullptr ? std::string() : std::string(text);
}

// Writes the text and its zero into a script buffer of `size` bytes; false when it does not fit.
bool WriteInto(const NativeArgs& args, std::uint32_t index, std::string_view text, std::uint32_t size) {
  if (text.size() >= size) return false;
  args.Memory().Write(args.U32(index), text.data(), static_cast<std::uint32_t>(text.size()));
  args.Memory().SetByte(args.U32(index) + static_cast<std::uint32_t>(text.size()), 0);
  return true;
}

// The dialog's result replaces the first word of the argument array, as the window's handler
// leaves it there.
std::uint32_t Answer(const NativeArgs& args, std::uint32_t result) {
  args.Memory().SetWord(args.Address(), result);
  return result;
}

std::uint32_t ChooseFile(const NativeArgs& args, bool save) {
  if (args.U32(1) == 0 || args.U32(2) == 0) return 0;
  // Both buffers must lie in script memory before the dialog is shown.
  args.Memory().Range(args.U32(1), kChooserBufferSize);
  args.Memory().Range(args.U32(2), kChooserBufferSize);
  if (g_AppServices == nullptr) return Answer(args, 0);
  ScriptFileChoice choice{TextOr(args, 4), TextOr(args, 1), {}, TextOr(args, 5), TextOr(args, 3)};
  const std::int32_t result = g_AppServices->ChooseFile(choice, save);
  if (result == 0 || choice.file.size() >= kChooserBufferSize || choice.file_title.size() >= kChooserBufferSize) {
    return Answer(args, 0);
  }
  WriteInto(args, 1, choice.file, kChooserBufferSize);
  WriteInto(args, 2, choice.file_title, kChooserBufferSize);
  return Answer(args, static_cast<std::uint32_t>(result));
}

}  // namespace

std::uint32_t NativeInputText(const NativeArgs& args) {
  if (args.U32(0) == 0) return 2;
  args.Memory().Range(args.U32(0), 1);
  const std::string text = g_AppServices == nullptr ? std::string() : g_AppServices->InputText();
  if (text.empty()) return 1;
  args.Memory().Write(args.U32(0), text.c_str(), static_cast<std::uint32_t>(text.size() + 1));
  return 0;
}

std::uint32_t NativeSetInputTextParams(const NativeArgs& args) {
  const ScriptTextInputParameters parameters{TextOr(args, 0), TextOr(args, 1), args.U8(2) != 0, args.U8(3),
                                             args.U8(4) != 0,  args.I32(5),     args.I32(6),     args.I32(7)};
  if (g_AppServices != nullptr) g_AppServices->SetTextInputParameters(parameters);
  return 0;
}

std::uint32_t NativeAcceptDroppedFiles(const NativeArgs& args) {
  if (g_AppServices != nullptr) g_AppServices->DroppedFiles().Accept(g_AppServices->MainWindowId(), args.U32(0));
  return 0;
}

std::uint32_t NativeGetDroppedFile(const NativeArgs& args) {
  static RowTextExport text;
  if (g_AppServices == nullptr) return 0;
  CDropFiles& dropped = g_AppServices->DroppedFiles();
  const std::int32_t index = args.I32(0);
  if (index < 0) return dropped.GetCount();
  const std::optional<std::string> path = dropped.GetFile(index);
  return path ? text.Export(args.Memory(), *path) : 0;
}

std::uint32_t NativeClearDroppedFiles(const NativeArgs& /*args*/) {
  if (g_AppServices != nullptr) g_AppServices->DroppedFiles().Clear();
  return 0;
}

std::uint32_t NativeOpenFileDialog(const NativeArgs& args) { return ChooseFile(args, false); }

std::uint32_t NativeSaveFileDialog(const NativeArgs& args) { return ChooseFile(args, true); }

std::uint32_t NativeBrowseFolder(const NativeArgs& args) {
  if (args.U32(2) == 0) return 0;
  args.Memory().Range(args.U32(2), kFolderBufferSize);
  if (g_AppServices == nullptr) return Answer(args, 0);
  const std::string folder = g_AppServices->ChooseFolder(TextOr(args, 1), TextOr(args, 3));
  return Answer(args, !folder.empty() && WriteInto(args, 2, folder, kFolderBufferSize) ? 1 : 0);
}
