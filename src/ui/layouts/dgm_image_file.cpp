#include "ui/layouts/dgm_image_file.h"

#include "gfx/display/screen_manager.h"
#include "scene/drawables/draw_layer.h"
#include "ui/gui/gui_window.h"
#include "ui/layouts/dgm_background.h"
#include "ui/widget_manager/widget_manager.h"
#include "ui/widgets/check_button.h"

namespace {

// How the widgets draw their pictures: blended by alpha, or keyed by pure green.
struct PictureDrawing {
  uint8_t blend_mode;
  int32_t key;
};
constexpr PictureDrawing kAlphaPictures{2, -1};
constexpr PictureDrawing kKeyedPictures{0, 0xFF00};
// The key is a colour, not a pixel position.
constexpr int32_t kKeyIsColour = -1;

// What a part type makes: an image button or a check button of a kind, the state byte that sets
// the factory's flag, the status when it cannot be made, and whether consecutive parts of the
// type form a group.
struct WidgetKind {
  bool check_button;
  uint8_t flag_state;
  uint8_t argument;
  uint32_t failure;
  bool grouped;
};

const WidgetKind* KindOf(uint8_t type) {
  static constexpr WidgetKind kKinds[] = {
      {false, 4, 1, 6, false}, {false, 4, 1, 6, false}, {false, 3, 0, 7, false},
      {true, 8, 0, 8, false},  {true, 8, 1, 9, false},  {true, 6, 2, 10, true},
      {true, 5, 3, 11, true},  {true, 6, 2, 10, true},  {true, 5, 3, 11, true},
  };
  if (type < 1 || type > std::size(kKinds)) return nullptr;
  return &kKinds[type - 1];
}

}  // namespace

uint32_t CDgmImageFile::Load(CWidgetManager* widgets, CGuiWindow* owner, const char* path, int32_t first_id,
                             uint32_t priority, bool keep_depth, CScreenManager* screen) {
  if (widgets == nullptr || owner == nullptr || path == nullptr) return kNullArgument;
  Release();
  DgmLayout layout;
  if (const uint32_t status = LoadDgmLayout(path, DgmRecords::kFull, layout); status != 0) return status;
  const uint32_t status = Build(*widgets, *owner, layout, first_id, priority, keep_depth, screen);
  if (status != 0) Undo(*widgets, screen);
  return status;
}

uint32_t CDgmImageFile::Build(CWidgetManager& widgets, CGuiWindow& owner, const DgmLayout& layout, int32_t first_id,
                              uint32_t priority, bool keep_depth, CScreenManager* screen) {
  if (!layout.background.empty()) {
    if (const uint32_t status = LoadBackground(widgets, layout.background, keep_depth, screen); status != 0) {
      return status;
    }
  }
  const PictureDrawing drawing = keep_depth ? kKeyedPictures : kAlphaPictures;
  int32_t id = first_id;
  uint8_t run_type = 0;
  CCheckButton* run_leader = nullptr;
  parts_.reserve(layout.parts.size());
  for (const DgmPart& record : layout.parts) {
    const WidgetKind* kind = KindOf(record.type);
    if (kind == nullptr) return kRefusedType;
    const bool flag = record.size.state == kind->flag_state;
    const char* picture = record.picture.c_str();
    CCheckButton* leader = kind->grouped && record.type == run_type ? run_leader : nullptr;
    CGuiElement* widget = nullptr;
    const int32_t made =
        kind->check_button
            ? widgets.CreateCheckButton(&widget, record.x, record.y, picture, kind->argument, flag, leader,
                                        drawing.blend_mode, record.parameter, drawing.key, kKeyIsColour, priority)
            : widgets.CreateImageButton(&widget, record.x, record.y, picture, flag, kind->argument != 0,
                                        drawing.blend_mode, record.parameter, drawing.key, kKeyIsColour, priority);
    Part& part = parts_.emplace_back();
    part.widget = widget;
    part.size = record.size;
    if (made != 0) return kind->failure;
    run_type = record.type;
    if (kind->grouped && leader == nullptr) run_leader = static_cast<CCheckButton*>(widget);
    widget->SetActive(record.shown != 0);
    if (owner.AddChild(widget, -1) != 0) return kind->failure;
    if (first_id >= 0) widget->SetId(id++);
  }
  return 0;
}

uint32_t CDgmImageFile::LoadBackground(CWidgetManager& widgets, const std::string& name, bool keep_depth,
                                       CScreenManager* screen) {
  if (screen == nullptr) return kNoScreen;
  CImage* background = nullptr;
  const bool shown = ShowDgmBackground(*screen, widgets.GetLayer(), name, keep_depth, background);
  background_ = background;
  return shown ? 0 : kBackgroundFailed;
}

void CDgmImageFile::Undo(CWidgetManager& widgets, CScreenManager* screen) {
  CImage* background = background_;
  if (screen != nullptr) RemoveDgmBackground(*screen, widgets.GetLayer(), background);
  for (const Part& part : parts_) {
    if (part.widget != nullptr) widgets.DeleteWidget(part.widget);
  }
  Release();
}

void CDgmImageFile::Release() {
  background_ = nullptr;
  parts_.clear();
}
