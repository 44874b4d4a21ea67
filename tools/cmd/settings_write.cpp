// settings_write: writes one of a game's settings files from readable values. Asked for help, it
// names each kind of file with the keys it takes; a key the kind does not take is refused.
#include <cstdio>
#include <fstream>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings/game_settings.h"
#include "settings_writer.h"
#include "tool_usage.h"

namespace {

struct KindKeys {
  const char* kind;
  const char* file;
  std::span<const char* const> keys;  // "--name=VALUE"
  const char* note;
};

constexpr const char* kSysKeys[] = {"--width=N", "--height=N", "--save-mode=N", "--screen-modes=0|1|2"};
constexpr const char* kInfKeys[] = {"--name=TEXT", "--product=TEXT", "--version=MAJOR.MINOR[.REVISION]",
                                    "--save-folder=TEXT"};
constexpr const char* kDatKeys[] = {"--caption=0|1"};
constexpr KindKeys kKinds[] = {
    {"sys", "DL_APP.SYS", kSysKeys, "the window's size, the save-folder kind and the screen modes allowed"},
    {"inf", "DL_APP.INF", kInfKeys, "the game's name, product, version and save-folder name"},
    {"cfg", "USER.CFG", {}, "a template whose empty blocks keep the program's defaults"},
    {"dat", "APP_CFG.DAT", kDatKeys,
     "the program's default game settings; --caption=1 makes saves carry the displayed line as their caption"},
};

std::string Usage() {
  std::string usage = "usage: settings_write sys|inf|cfg|dat <output file> [--key=value ...]\n";
  for (const KindKeys& kind : kKinds) {
    usage += std::string("  settings_write ") + kind.kind + " <" + kind.file + ">";
    for (const char* key : kind.keys) usage += std::string(" [") + key + "]";
    usage += std::string("\n      ") + kind.note + "\n";
  }
  return usage;
}

// Whether the kind takes the key (the name before '=').
bool TakesKey(std::string_view kind, std::string_view key) {
  for (const KindKeys& entry : kKinds) {
    if (kind != entry.kind) continue;
    for (const std::string_view taken : entry.keys) {
      if (taken.substr(2, taken.find('=') - 2) == key) return true;
    }
  }
  return false;
}

unsigned long Number(const std::map<std::string, std::string>& options, const std::string& key, unsigned long value,
                     unsigned long most) {
  const auto found = options.find(key);
  if (found == options.end()) return value;
  const unsigned long parsed = std::stoul(found->second);
  if (parsed > most) throw std::out_of_range(key);
  return parsed;
}

std::vector<std::uint8_t> Information(const std::map<std::string, std::string>& options) {
  kvxtools::AppInformationFile file;
  if (const auto name = options.find("name"); name != options.end()) file.name = name->second;
  if (const auto product = options.find("product"); product != options.end()) file.product = product->second;
  if (const auto folder = options.find("save-folder"); folder != options.end()) file.save_folder = folder->second;
  if (const auto version = options.find("version"); version != options.end()) {
    unsigned major = 0, minor = 0, revision = 0;
    if (std::sscanf(version->second.c_str(), "%u.%u.%u", &major, &minor, &revision) < 2 || major > 255 ||
        minor > 255 || revision > 255) {
      throw std::invalid_argument("version");
    }
    file.major = static_cast<std::uint8_t>(major);
    file.minor = static_cast<std::uint8_t>(minor);
    file.revision = static_cast<std::uint8_t>(revision);
  }
  for (const std::string* text : {&file.name, &file.product, &file.save_folder}) {
    if (text->size() > 254) throw std::length_error("a text longer than 254 bytes");
  }
  return kvxtools::WriteAppInformation(file);
}

std::vector<std::uint8_t> Build(std::string_view kind, const std::map<std::string, std::string>& options) {
  if (kind == "sys") {
    kvxtools::AppDefinitionFile file;
    file.width = static_cast<std::uint16_t>(Number(options, "width", file.width, 0xFFFF));
    file.height = static_cast<std::uint16_t>(Number(options, "height", file.height, 0xFFFF));
    file.save_folder_mode = static_cast<std::uint8_t>(Number(options, "save-mode", file.save_folder_mode, 255));
    file.screen_modes = static_cast<std::uint8_t>(Number(options, "screen-modes", file.screen_modes, 2));
    return kvxtools::WriteAppDefinition(file);
  }
  if (kind == "inf") return Information(options);
  if (kind == "cfg") return kvxtools::WriteUserConfigFile({{}, {}, {}, {}});
  if (kind == "dat") {
    if (!options.contains("caption")) return kvxtools::WriteGameSettings(0, {});
    GameSettingsBlock settings = DefaultGameSettings();
    settings[kSettingSaveCaption] = static_cast<std::uint8_t>(Number(options, "caption", 0, 1));
    return kvxtools::WriteGameSettings(kGameSettingsSize, {settings.begin(), settings.end()});
  }
  throw std::invalid_argument("unknown kind");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string usage = Usage();
  if (kvxtools::AskedForUsage(argc, argv, usage.c_str())) return 0;
  if (argc < 3) return kvxtools::UsageError(usage.c_str());
  std::map<std::string, std::string> options;
  for (int i = 3; i < argc; ++i) {
    const std::string_view option = argv[i];
    const auto equals = option.find('=');
    if (!option.starts_with("--") || equals == std::string_view::npos) return kvxtools::UsageError(usage.c_str());
    const std::string key(option.substr(2, equals - 2));
    if (!TakesKey(argv[1], key)) {
      std::fprintf(stderr, "settings_write: %s files take no key --%s\n", argv[1], key.c_str());
      return kvxtools::UsageError(usage.c_str());
    }
    options[key] = std::string(option.substr(equals + 1));
  }
  std::vector<std::uint8_t> bytes;
  try {
    bytes = Build(argv[1], options);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "settings_write: bad value: %s\n", error.what());
    return kvxtools::UsageError(usage.c_str());
  }
  std::ofstream file(argv[2], std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "settings_write: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
