// A draw-object plug-in library for the object-host tests, built once per variant:
// TEST_DCP_FULL offers "wave" and "ripple" of type 5 and "glow" of type 7; TEST_DCP_EMPTY offers
// nothing; TEST_DCP_WITHOUT_TYPE lacks GetObjectType.
#include <cstdint>

#include "resource/plugins/plugin_objects.h"

namespace {

// Its set-up succeeds when the first argument word is the object's number plus 100.
class NumberedObject final : public CDcpObject {
 public:
  explicit NumberedObject(std::uint32_t number) : number_(number) {}
  std::int32_t SetUp(const PluginArgs& args) override { return args.U32(0) == number_ + 100 ? 0 : 1; }

 private:
  std::uint32_t number_;
};

const char* const kNames[] = {"wave", "ripple", "glow"};
const std::uint8_t kTypes[] = {5, 5, 7};

}  // namespace

extern "C" {

std::uint32_t GetObjectNum() {
#ifdef TEST_DCP_EMPTY
  return 0;
#else
  return 3;
#endif
}

CDcpObject* GetObject(std::uint32_t number) { return new NumberedObject(number); }

const char* GetObjectName(std::uint32_t number) { return number < 3 ? kNames[number] : nullptr; }

#ifndef TEST_DCP_WITHOUT_TYPE
std::uint8_t GetObjectType(std::uint32_t number) { return number < 3 ? kTypes[number] : 0; }
#endif

std::int32_t CallbackAssistFunc(const PluginArgs* args) { return args->I32(0) + 1; }

}  // extern "C"
