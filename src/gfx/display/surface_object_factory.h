// The steps every factory of the screen's surface objects shares, for the factories of the
// graphics core and of the layers above it alike.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "gfx/display/display_object_factory.h"
#include "gfx/display/screen_manager.h"

// Sets `out` to null, makes the object (else `no_memory`) and has `create` fill it; a non-zero
// status of `create` is returned unchanged and nothing kept. A filled object joins the screen's
// surface objects with the current object id.
template <class T, class Create>
uint32_t MakeSurfaceObject(CScreenManager& screen, T** out, uint32_t no_memory, Create&& create) {
  return MakeDisplayObject(out, no_memory, std::forward<Create>(create),
                           [&](std::unique_ptr<T> object) { return screen.KeepSurfaceObject(std::move(object), out); });
}
