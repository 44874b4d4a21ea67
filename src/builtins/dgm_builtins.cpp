#include "builtins/dgm_builtins.h"

#include <algorithm>
#include <array>
#include <functional>

#include "gfx/display/screen_manager.h"
#include "gfx/display/surface_object_image.h"
#include "gfx/images/image.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"
#include "ui/gui/gui_element.h"
#include "ui/gui/gui_root_window.h"
#include "ui/layouts/dgm_buffer_set.h"
#include "ui/layouts/dgm_image_file.h"
#include "ui/widget_manager/widget_manager.h"

namespace {

constexpr std::uint32_t kNoLayer = 0xFFFFFFFE;

template <class T>
std::uint32_t HandleOf(T* object, HandleTable& handles) {
  return object != nullptr ? object->ScriptHandle(handles) : 0;
}

// The words of one entry, in the order the rows write them.
template <std::size_t N>
using EntryWords = std::array<std::uint32_t, N>;

EntryWords<5> BufferEntry(std::size_t index, HandleTable& handles) {
  const DgmPartSize& size = g_DgmBufferSet.GetPartSize(index);
  return {HandleOf<CImageInterface>(g_DgmBufferSet.GetPartImage(index), handles),
          HandleOf<CDrawable>(g_DgmBufferSet.GetPartSprite(index), handles), size.width, size.height, size.state};
}

EntryWords<4> ImageEntry(std::size_t index, HandleTable& handles) {
  const DgmPartSize& size = g_DgmImageFile.GetPartSize(index);
  return {HandleOf(g_DgmImageFile.GetPartWidget(index), handles), size.width, size.height, size.state};
}

// Writes entry args[0] into the addresses from args[1] on: 1; 0 outside the entries.
template <std::size_t N>
std::uint32_t WriteEntry(const NativeArgs& args, std::size_t count,
                         const std::function<EntryWords<N>(std::size_t, HandleTable&)>& entry) {
  const std::uint32_t index = args.U32(0);
  if (index >= count) return 0;
  const EntryWords<N> words = entry(index, args.Handles());
  for (std::uint32_t i = 0; i < N; ++i) args.Out(i + 1).Set(words[i]);
  return 1;
}

// Copies the entries from args[0] on (at most args[1], 0 all) into the word arrays from args[2]
// on. Returns how many were copied.
template <std::size_t N>
std::size_t CopyEntries(const NativeArgs& args, std::size_t count,
                        const std::function<EntryWords<N>(std::size_t, HandleTable&)>& entry) {
  const std::size_t first = static_cast<std::size_t>(std::max(args.I32(0), 0));
  if (first >= count) return 0;
  const std::size_t asked = args.U32(1);
  const std::size_t copied = asked == 0 ? count - first : std::min(asked, count - first);
  for (std::size_t n = 0; n < copied; ++n) {
    const EntryWords<N> words = entry(first + n, args.Handles());
    for (std::uint32_t i = 0; i < N; ++i) {
      const ScriptOut array = args.Out(i + 2);
      if (!array.IsNull()) ScriptOut(args.Memory(), array.Address() + static_cast<std::uint32_t>(n * 4)).Set(words[i]);
    }
  }
  return copied;
}

}  // namespace

std::uint32_t NativeLoadDgmBuffers(const NativeArgs& args) {
  auto* layer = dynamic_cast<CDrawLayer*>(GetObjectDrawLayer(args.Handle<CImageInterface>(0)));
  if (layer == nullptr) return kNoLayer;
  return g_DgmBufferSet.Load(g_ScreenManager, layer, args.Str(1), args.U32(2), args.Flag(3), args.Flag(4));
}

std::uint32_t NativeFreeDgmBuffers(const NativeArgs& /*args*/) {
  g_DgmBufferSet.Release();
  return 0;
}

std::uint32_t NativeGetDgmBufferCount(const NativeArgs& /*args*/) {
  return static_cast<std::uint32_t>(g_DgmBufferSet.GetPartCount());
}

std::uint32_t NativeGetDgmBufferEntry(const NativeArgs& args) {
  return WriteEntry<5>(args, g_DgmBufferSet.GetPartCount(), BufferEntry);
}

std::uint32_t NativeGetDgmBufferEntries(const NativeArgs& args) {
  CopyEntries<5>(args, g_DgmBufferSet.GetPartCount(), BufferEntry);
  return 1;
}

std::uint32_t NativeLoadDgmImageFile(const NativeArgs& args) {
  return g_DgmImageFile.Load(&g_WidgetManager, &GuiRootWindow(), args.Str(1), args.I32(2), args.U32(4),
                             args.Flag(3), g_ScreenManager);
}

std::uint32_t NativeReleaseDgmImageFile(const NativeArgs& /*args*/) {
  g_DgmImageFile.Release();
  return 0;
}

std::uint32_t NativeGetDgmImageCount(const NativeArgs& /*args*/) {
  return static_cast<std::uint32_t>(g_DgmImageFile.GetPartCount());
}

std::uint32_t NativeGetDgmImageEntry(const NativeArgs& args) {
  return WriteEntry<4>(args, g_DgmImageFile.GetPartCount(), ImageEntry);
}

std::uint32_t NativeGetDgmImageEntries(const NativeArgs& args) {
  return CopyEntries<4>(args, g_DgmImageFile.GetPartCount(), ImageEntry) != 0 ? 1 : 0;
}
