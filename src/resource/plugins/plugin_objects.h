// The objects that the draw-object and transition-object hosts make by name: effects and draw
// objects (*.DCP libraries and the built-in effects), transition callbacks and filters (*.TCP
// libraries and the built-in transitions). Both are reference counted (0 = one owner).
//
// A library of either family exports, as C functions:
//   std::uint32_t GetObjectNum();                   the number of objects it offers
//   Object* GetObject(std::uint32_t number);        a new object (CDcpObject or CTcpObject)
//   const char* GetObjectName(std::uint32_t number);  valid while the library is loaded
//   std::uint8_t GetObjectType(std::uint32_t number);
// and a draw-object library, optionally, the two callback assist entries:
//   std::int32_t CallbackAssistFunc(const PluginArgs* args);
//   std::int32_t CallbackAssistFunc2(const PluginArgs* args);
#pragma once

#include <cstdint>

#include "base/lifetime/ref_counted.h"
#include "resource/plugins/plugin_args.h"

class CDcpObject : public CRefCounted {
 public:
  // Sets the new object up from its argument words; 0 on success.
  virtual std::int32_t SetUp(const PluginArgs& args) = 0;
};

// Counted through a virtual base, so that a transition that is also a screen transition of the
// graphics core (which an image part holds) has one count.
class CTcpObject : public virtual CRefCounted {
 public:
  // Creates the new object from a parameter and argument words; 0 on success.
  virtual std::int32_t Create(std::uintptr_t parameter, const PluginArgs& args) = 0;
};

extern "C" {
using ObjectAssistFunc = std::int32_t (*)(const PluginArgs* args);
using ObjectStartUpFunc = void (*)();
using ObjectFinishFunc = void (*)();
}
