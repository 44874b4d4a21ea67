// An archive-decoder plug-in library for the loader tests, built once per variant:
// TEST_ADL_FULL exports every entry; the others each lack or break one thing.
#include <cstdint>

#include "resource/archives/archive.h"

namespace {

class RefusingDecoder final : public CArchiveDecoder {
 public:
  RefPtr<CArchive> Open(const char*, plat::FileHandle&, int* error) override {
    if (error != nullptr) *error = 1;
    return nullptr;
  }
  std::int32_t AssistFunc(std::uint32_t command, const PluginArgs& args) override {
    return static_cast<std::int32_t>(command * 10 + args.count);
  }
};

}  // namespace

extern "C" {

std::uint32_t GetAdlType() { return 0x51; }
const char* GetAdlTypeString() { return "Test archive format"; }

const char* GetAdlSupportExt() {
#ifdef TEST_ADL_NULL_EXTENSIONS
  return nullptr;
#else
  return "TST\0TS2\0";
#endif
}

std::int32_t AdlAssistFunc(std::uint32_t command, const PluginArgs* args) {
  return static_cast<std::int32_t>(command * 1000 + args->U32(0));
}

#ifndef TEST_ADL_WITHOUT_ASSIST2
// The command and the sum of the other words, so that a test sees every word arrive.
std::int32_t AdlAssistFunc2(const PluginArgs* args) {
  std::uint32_t sum = 0;
  for (std::uint32_t i = 1; i < args->count; ++i) sum += args->U32(i);
  return static_cast<std::int32_t>(args->U32(0) * 1000 + sum);
}
#endif

CArchiveDecoder* GetAdlDecodeObject() {
#ifdef TEST_ADL_NULL_OBJECT
  return nullptr;
#else
  return new RefusingDecoder;
#endif
}

#ifndef TEST_ADL_WITHOUT_CONFIG
std::int32_t AdlConfigDlg(const PluginArgs*) { return 7; }
#endif

}  // extern "C"
