#include "builtins/system_shell_builtins.h"

#include <algorithm>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/files/file_services.h"
#include "base/files/path.h"
#include "base/files/script_write_rule.h"
#include "base/files/user_folders.h"
#include "base/system/app_services.h"
#include "platform/encoding/sjis_text.h"
#include "platform/encoding/text_encoding.h"
#include "platform/files/file_system_ops.h"
#include "platform/files/process.h"
#include "platform/system/diagnostic_log.h"

namespace {

constexpr std::uint32_t kFolderBufferSize = 260;
constexpr std::uint32_t kExportNoDataFile = 1;
constexpr std::uint32_t kExportNoDiskFile = 2;

constexpr int kBoxYesNo = 1;
constexpr int kQuestionIcon = 3;

// How much of an address and of its host the question shows: enough to read, never so much
// that the rest of the question leaves the box.
constexpr std::size_t kShownAddressBytes = 96;
constexpr std::size_t kShownHostBytes = 64;

bool IsWebAddress(std::string_view text) { return text.starts_with("http://") || text.starts_with("https://"); }

// `text` (Shift-JIS) as the characters of one line: control characters and lead bytes without
// their second byte written as %XX, as in an address.
std::vector<std::string> LineCharacters(std::string_view text) {
  std::vector<std::string> characters;
  for (const std::string_view character : plat::SplitCharacters(text, plat::SjisReading::kCodePage)) {
    const auto byte = static_cast<unsigned char>(character.front());
    if (character.size() == 1 && (byte < 0x20 || byte == 0x7F || plat::IsSjisStrictLeadByte(byte))) {
      constexpr char kHex[] = "0123456789ABCDEF";
      characters.push_back({'%', kHex[byte >> 4], kHex[byte & 0xF]});
    } else {
      characters.emplace_back(character);
    }
  }
  return characters;
}

// `text` on one line, cut after `limit` bytes at the end of a character, "…" marking the cut.
std::string OneLine(std::string_view text, std::size_t limit) {
  std::string line;
  for (const std::string& character : LineCharacters(text)) {
    if (line.size() + character.size() > limit) return line + plat::Utf8ToSjis("…");
    line += character;
  }
  return line;
}

// `text` on one line, its start cut so that its last `limit` bytes stay: a host name is read
// from its end ("…www.bank.example.xxxx.evil.example").
std::string OneLineTail(std::string_view text, std::size_t limit) {
  const std::vector<std::string> characters = LineCharacters(text);
  std::string line;
  for (auto character = characters.rbegin(); character != characters.rend(); ++character) {
    if (line.size() + character->size() > limit) return plat::Utf8ToSjis("…") + line;
    line.insert(0, *character);
  }
  return line;
}

// The host a web address leads to, as a browser reads it once converted: after "//", before the
// path, query or fragment (a backslash starts a path too), and after any "name@" in front of it,
// each a whole character as the code page reads the address.
std::string_view HostOf(std::string_view address) {
  constexpr plat::SjisReading kReading = plat::SjisReading::kCodePage;
  std::string_view authority = address.substr(address.find("//") + 2);
  authority = authority.substr(0, plat::FindFirstCharacterOf(authority, "/\\?#", kReading));
  const std::size_t at = plat::FindLastCharacterOf(authority, "@", kReading);
  return at == plat::kNoCharacter ? authority : authority.substr(at + 1);
}

// The kinds of document the desktop shows and never runs, by the last letters of their names.
bool IsShownDocumentKind(std::string_view path) {
  static constexpr std::string_view kDocumentKinds[] = {".txt", ".pdf", ".htm", ".html", ".png", ".jpg",
                                                        ".jpeg", ".gif", ".bmp", ".mp3", ".ogg", ".wav",
                                                        ".mp4", ".webm", ".mpg", ".mpeg", ".avi"};
  return std::any_of(std::begin(kDocumentKinds), std::end(kDocumentKinds), [&](std::string_view kind) {
    return path.size() > kind.size() && plat::EqualIgnoringAsciiCase(path.substr(path.size() - kind.size()), kind);
  });
}

// Whether the desktop's opener only shows what lies at `full`: a folder, or a document of a kind
// it shows that neither is nor looks like a program, a script or a launcher.
bool OpensAsDocument(const std::string& full) {
  const std::optional<std::uint32_t> attributes = plat::GetFileAttributes(full);
  if (!attributes) return false;
  const bool folder = (*attributes & plat::kFileAttributeDirectory) != 0;
  if ((folder || IsShownDocumentKind(full)) && !plat::WouldRunAsProgram(full)) return true;
  plat::LogDiagnostic("a script may not open " + plat::SjisToUtf8(full) +
                      ": the desktop opens for scripts only folders and documents it shows, never programs, scripts, "
                      "installers or launchers");
  return false;
}

// What a script may hand to the desktop's opener: a web address as it is, or the absolute path
// of a folder or shown document that scripts may read; nothing for anything else.
std::optional<std::string> OpenableTarget(const char* target) {
  if (target == nullptr) return std::nullopt;
  if (IsWebAddress(target)) return std::string(target);
  char full[kMaxPath] = {};
  if (MakeFullPath(full, target) == 0 || !MayScriptReadAt(full) || !OpensAsDocument(full)) return std::nullopt;
  return std::string(full);
}

// Whether the player lets the game open `target`: what the desktop opens with it leaves the
// game, so the player sees it first, asked as the engine's other questions are.
bool PlayerAgreesToOpen(const std::string& target) {
  if (g_AppServices == nullptr) return false;
  std::string question = plat::Utf8ToSjis("ゲームが次の場所を開こうとしています。\n\n") + OneLine(target, kShownAddressBytes);
  if (IsWebAddress(target)) question += plat::Utf8ToSjis("\n接続先：") + OneLineTail(HostOf(target), kShownHostBytes);
  question += plat::Utf8ToSjis("\n\n開いてもよろしいですか？");
  if (g_AppServices->RequestScriptMessageBox(kBoxYesNo, question, kQuestionIcon, nullptr) == 1) return true;
  plat::LogDiagnostic("the player did not let the game open " + plat::SjisToUtf8(target));
  return false;
}

// The target opened once the player agreed: a web address in the browser, anything else with
// the desktop's opener. False when it was refused or could not be handed over.
bool OpenForScript(const char* target) {
  const std::optional<std::string> openable = OpenableTarget(target);
  if (!openable || !PlayerAgreesToOpen(*openable)) return false;
  return IsWebAddress(*openable) ? plat::OpenWebAddress(*openable) : plat::OpenWithDesktop(*openable);
}

// Scripts may ask for these on every frame; the log says once that they change nothing.
std::uint32_t DesktopSettingUnchanged() {
  static std::once_flag logged;
  std::call_once(logged, [] {
    plat::LogDiagnostic("the desktop's wallpaper and screen saver are left to the desktop: not set");
  });
  return 0;
}

}  // namespace

std::uint32_t NativeShellOpen(const NativeArgs& args) {
  OpenForScript(args.Str(0));
  return 0;
}

std::uint32_t NativeGetSystemFolder(const NativeArgs& args) {
  const ScriptOut destination = args.Out(0);
  const std::optional<std::string> folder = UserFolderPath(args.I32(1));
  if (!folder || folder->size() >= kFolderBufferSize) return 0;
  destination.SetBytes(folder->c_str(), static_cast<std::uint32_t>(folder->size() + 1));
  return 1;
}

std::uint32_t NativeOpenFolder(const NativeArgs& args) { return OpenForScript(args.Str(0)) ? 1 : 0; }

std::uint32_t NativeExportDataFile(const NativeArgs& args) {
  const char* name = args.Str(0);
  const char* destination = args.Str(1);
  const std::optional<std::vector<std::uint8_t>> data = name != nullptr ? LoadDataFile(name) : std::nullopt;
  if (!data) return kExportNoDataFile;
  if (destination == nullptr || !MayScriptWriteAt(destination)) return kExportNoDiskFile;
  return SaveFileReplacing(destination, *data) == 0 ? 0 : kExportNoDiskFile;
}

std::uint32_t NativeSetWallpaper(const NativeArgs&) { return DesktopSettingUnchanged(); }

std::uint32_t NativeSetScreenSaver(const NativeArgs&) { return DesktopSettingUnchanged(); }

std::uint32_t NativeStartScreenSaver(const NativeArgs&) { return DesktopSettingUnchanged(); }
