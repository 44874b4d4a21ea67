// The display objects the scripts and the novel frame make through the screen manager: made,
// stamped with the current group id, kept in creation order, deleted singly, by id or all at once.
#include <algorithm>
#include <memory>
#include <utility>

#include "gfx/ddraw_picture.h"
#include "gfx/display_object_factory.h"
#include "gfx/image.h"
#include "gfx/image_canvas.h"
#include "gfx/movie_surface.h"
#include "gfx/picture_canvas.h"
#include "gfx/picture_object.h"
#include "gfx/screen_manager.h"
#include "gfx/surface_canvas.h"

namespace {

// Finds the object by identity: 1 for null, 2 when not listed, else destroys it: 0.
template <class T>
uint32_t DeleteListed(std::list<std::unique_ptr<T>>& list, const T* object) {
  if (object == nullptr) return 1;
  const auto found =
      std::find_if(list.begin(), list.end(), [object](const std::unique_ptr<T>& held) { return held.get() == object; });
  if (found == list.end()) return 2;
  list.erase(found);
  return 0;
}

template <class T>
void DeleteWhereId(std::list<std::unique_ptr<T>>& list, uint32_t id, bool other_ids) {
  list.remove_if([id, other_ids](const std::unique_ptr<T>& held) { return (held->GetId() == id) != other_ids; });
}

// Destroys first to last, as the objects were made.
template <class T>
void DestroyInOrder(std::list<std::unique_ptr<T>>& list) {
  for (std::unique_ptr<T>& held : list) held.reset();
  list.clear();
}

}  // namespace

uint32_t CScreenManager::SetObjectId(uint32_t id) { return std::exchange(object_id_, id); }

void CScreenManager::AddRenderObject(std::unique_ptr<CRenderObject> object) {
  if (object == nullptr) return;
  object->SetId(object_id_);
  render_objects_.push_back(std::move(object));
}

namespace {

template <class T, class Create>
uint32_t MakeSurfaceObject(CScreenManager& screen, T** out, uint32_t no_memory, Create&& create) {
  return MakeDisplayObject(out, no_memory, create,
                           [&](std::unique_ptr<T> object) { return screen.KeepSurfaceObject(std::move(object), out); });
}

}  // namespace

uint32_t CScreenManager::CreatePicture(CDDrawPicture** out, int32_t width, int32_t height, bool system_memory) {
  return MakeSurfaceObject(*this, out, 5, [&](CDDrawPicture& picture) {
    return picture.Create(width, height, system_memory, false, nullptr);
  });
}

uint32_t CScreenManager::LoadPicture(CDDrawPicture** out, const char* file_name, const uint8_t* data, uint32_t size,
                                     bool system_memory) {
  return MakeSurfaceObject(*this, out, 7, [&](CDDrawPicture& picture) {
    return picture.LoadFile(file_name, data, size, system_memory);
  });
}

uint32_t CScreenManager::CreatePictureObject(CPictureObject** out, uint32_t format, const char* file_name,
                                             const uint8_t* data, uint32_t size, bool system_memory) {
  return MakeSurfaceObject(*this, out, 11, [&](CPictureObject& picture) {
    return picture.Load(format, file_name, data, size, system_memory);
  });
}

uint32_t CScreenManager::CreateImage(CImage** out, int32_t width, int32_t height, uint8_t bpp, uint32_t flags) {
  return MakeSurfaceObject(*this, out, 4, [&](CImage& image) { return image.Create(width, height, bpp, flags); });
}

uint32_t CScreenManager::LoadImage32(CImage** out, const char* file_name, const uint8_t* data, uint32_t size,
                                     uint32_t flags) {
  return MakeSurfaceObject(*this, out, 6,
                           [&](CImage& image) { return image.LoadFile32(file_name, data, size, flags); });
}

uint32_t CScreenManager::LoadImage(CImage** out, const char* file_name, const uint8_t* data, uint32_t size,
                                   uint32_t flags) {
  return MakeSurfaceObject(*this, out, 6, [&](CImage& image) { return image.LoadFile(file_name, data, size, flags); });
}

uint32_t CScreenManager::DuplicateImage(CImage** out, const CImage* source, uint32_t flags) {
  return MakeSurfaceObject(*this, out, 4, [&](CImage& image) { return image.Duplicate(source, flags); });
}

uint32_t CScreenManager::CreateMovieSurface(CMovieSurface** out) {
  return MakeSurfaceObject(*this, out, 1, [](CMovieSurface&) { return 0u; });
}

uint32_t CScreenManager::CreateSurfaceCanvas(CSurfaceCanvas** out, int32_t width, int32_t height, uint8_t depth,
                                             uint8_t layer_mode) {
  return MakeSurfaceObject(*this, out, 4,
                           [&](CSurfaceCanvas& canvas) { return canvas.Create(width, height, depth, layer_mode); });
}

uint32_t CScreenManager::CreatePictureCanvas(CPictureCanvas** out, uint32_t format, int32_t width, int32_t height,
                                             uint8_t depth, uint8_t layer_mode, bool system_memory) {
  return MakeSurfaceObject(*this, out, 4, [&](CPictureCanvas& canvas) {
    return canvas.Create(format, width, height, depth, layer_mode, system_memory);
  });
}

uint32_t CScreenManager::CreateImageCanvasEx(CImageCanvasEx** out, int32_t width, int32_t height, uint8_t depth,
                                             uint8_t layer_mode) {
  return MakeSurfaceObject(*this, out, 2,
                           [&](CImageCanvasEx& canvas) { return canvas.Create(width, height, depth, layer_mode); });
}

uint32_t CScreenManager::CreateImageCanvas(CImageCanvas** out, int32_t width, int32_t height, uint8_t depth,
                                           bool with_layer) {
  return MakeSurfaceObject(*this, out, 2,
                           [&](CImageCanvas& canvas) { return canvas.Create(width, height, depth, with_layer); });
}

uint32_t CScreenManager::DeleteSurfaceObject(CImageInterface* object) { return DeleteListed(surface_objects_, object); }

uint32_t CScreenManager::DeleteRenderObject(CRenderObject* object) { return DeleteListed(render_objects_, object); }

void CScreenManager::DeleteObjectsById(uint32_t id, uint32_t flags) {
  const bool other_ids = (flags & kDeleteOtherIds) != 0;
  DeleteWhereId(render_objects_, id, other_ids);
  if ((flags & kDeleteSurfaceObjectsToo) != 0) DeleteWhereId(surface_objects_, id, other_ids);
}

void CScreenManager::DestroyObjects() {
  DestroyInOrder(render_objects_);
  DestroyInOrder(surface_objects_);
  Clear();
}
