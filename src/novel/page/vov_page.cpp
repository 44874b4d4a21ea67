#include "novel/page/vov_page.h"

#include <algorithm>
#include <cstdlib>

#include "base/numbers/subtractive_random.h"
#include "base/text/sjis_fit.h"
#include "effects/framework/background_canvas.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "gfx/images/image.h"
#include "novel/page/bg_name_rules.h"
#include "novel/page/slot_filters.h"
#include "platform/encoding/sjis_text.h"
#include "platform/system/diagnostic_log.h"
#include "resource/plugins/dcp_plugin_manager.h"
#include "resource/plugins/plugin_args.h"
#include "scene/drawables/draw_layer.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"

namespace {

constexpr std::size_t kNameBytes = kSlotNameSize - 1;
constexpr plat::Rect kLetterboxTop{0, 0, CVovPage::kWidth, 75};
constexpr plat::Rect kLetterboxBottom{0, 525, CVovPage::kWidth, CVovPage::kHeight};
constexpr std::uint32_t kDuplicateStorage = 2;
constexpr char kZoomEffect[] = "bg_zoom";  // the copy keeps the source's own storage

}  // namespace

CVovPage::CVovPage() {
  for (std::int32_t group : {1, 0, 2}) {
    Group& g = GroupOf(group);
    const std::uint32_t slots = GroupSlots(group);
    g.records.resize(slots * kPages);
    for (std::uint32_t i = 0; i < g.records.size(); ++i) {
      g.records[i].priority = GroupBase(group) + 100 * (i % slots);
      g.table.push_back(&g.records[i]);
    }
  }
}

CVovPage::~CVovPage() {
  for (std::int32_t group : {1, 0, 2}) {
    for (bool back : {false, true}) ClearSprites(back, group);
  }
  for (BgSlotRecord& record : bg_) EndAllBgEffects(record);
  ReleasePageImage();
}

std::uint32_t CVovPage::InitPageImage(CImagePart* given, std::int32_t width, std::int32_t height) {
  if (given != nullptr) {
    if (given->GetImage()->GetPixels() == nullptr || given->GetImage()->GetWidth() < 1) return kPageImageUnusable;
    page_image_ = given;
    page_image_lost_ = false;
    front_part_.reset();
    back_part_.reset();
  } else if (front_part_ == nullptr) {
    auto front = std::make_unique<CImageCanvasEx>();
    auto back = std::make_unique<CImageCanvas>();
    // The front page keeps a draw list beside its layer, painted over the page: the message box's
    // notices lie there, above the message window.
    if (front->Create(width, height, 32, CImagePart::kLayerAndDrawList) != 0 || back->Create(width, height, 32, true) != 0 ||
        front->SetPartner(back.get()) != 0) {
      plat::LogDiagnostic("the novel page cannot make its page images of " + std::to_string(width) + "x" +
                          std::to_string(height));
      return kPageImageUnusable;
    }
    front_part_ = std::move(front);
    back_part_ = std::move(back);
    page_image_ = front_part_.get();
  }
  if (g_ScreenManager != nullptr) g_ScreenManager->SetFrameImage(dynamic_cast<CImageCanvasBase*>(page_image_.get()));
  for (std::uint32_t slot = 0; slot < kPages; ++slot) ShowBg(*bg_slot_[slot], true);
  return 0;
}

void CVovPage::ReleasePageImage() {
  if (g_ScreenManager != nullptr && page_image_ != nullptr &&
      g_ScreenManager->GetFrameImage() == dynamic_cast<CImageCanvasBase*>(page_image_.get())) {
    g_ScreenManager->SetFrameImage(nullptr);
  }
  // A script may have handed its widgets the page's layer and its tooltips the page's part: both
  // let go of the page images that go now.
  for (CImagePart* part : {static_cast<CImagePart*>(front_part_.get()), static_cast<CImagePart*>(back_part_.get())}) {
    if (part == nullptr) continue;
    if (g_WidgetManager.GetLayer() != nullptr && g_WidgetManager.GetLayer() == part->GetLayer()) {
      g_WidgetManager.SetLayer(nullptr);
    }
    if (GuiRootWindow().GetTooltipPart() == part) GuiRootWindow().SetTooltipLayer(nullptr);
  }
  // The animations draw into the pages' layers, which go with the parts.
  for (BgSlotRecord& record : bg_) {
    EndBgAnime(record);
    ReleaseBgImage(record);
  }
  page_image_ = nullptr;
  back_part_.reset();
  front_part_.reset();
}

void CVovPage::PageImageEnds() {
  page_image_lost_ = true;
  plat::LogDiagnostic("the novel page's image was deleted while the frame held it: the frame runs no more on it");
}

CImagePart* CVovPage::Part(std::uint32_t page) const {
  if (page_image_ == nullptr) return nullptr;
  return (page & 1) == 0 ? page_image_ : page_image_->GetPartner();
}

CDrawLayer* CVovPage::Layer(std::uint32_t page) const {
  const CImagePart* part = Part(page);
  return part == nullptr ? nullptr : dynamic_cast<CDrawLayer*>(part->GetLayer());
}

void CVovPage::ResetSlots() {
  for (std::uint32_t slot = 0; slot < kPages; ++slot) {
    FreezeBg(false, slot, false);
    ClearBg(0, slot);
    BgSlotRecord& record = Bg(slot);
    record.persist_kind = 0;
    EndAllBgEffects(record);
    record.anime_name.clear();
    record.anime_state = 0;
    ClearSprites(slot != 0, -1);
  }
}

std::uint32_t CVovPage::LoadBgToneTable(const char* file_name) {
  const std::uint32_t status = ::LoadBgToneTable(file_name, tone_table_);
  if (status > kBgToneUnreadable) {
    plat::LogDiagnostic(std::string("the BG tone table ") + file_name + " is damaged (" + std::to_string(status) +
                        "); backgrounds keep no tone");
  }
  return status;
}

std::int32_t CVovPage::LoadBg(const char* name, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  EndBgEffect(record, false);
  if (name != nullptr && plat::EqualIgnoringAsciiCase(record.name, name) && record.IsPlain()) return kDone;
  record.name = name != nullptr ? FitSjis(name, kNameBytes) : std::string();
  record.tone = 0;
  record.color = 0;
  record.frozen = 0;
  record.ClearLook();
  std::optional<BgStartOffset> start;
  if (name != nullptr && !tone_table_.empty()) {
    record.tone = BgToneOf(tone_table_, record.name);
    const auto draw = [] { return DrawSubtractive(g_ScriptRandomIndex, g_ScriptRandomState); };
    if (!InsertBgVariant(record.name, draw, kNameBytes)) {
      plat::LogDiagnostic("the background " + record.name + " has no room for its variant number; shown as named");
    }
    if (const std::optional<BgNameNumber> number = ReadBgNameNumber(record.name)) start = BgStartOffsetOf(number->number);
  }
  const std::int32_t status = ReloadBg(record);
  if (start) {
    record.offset_x = start->x;
    record.offset_y = start->y;
    if (CDrawLayer* layer = LayerOf(record)) layer->SetBackgroundOffset(start->x, start->y);
  }
  return status;
}

std::int32_t CVovPage::ReloadBg(BgSlotRecord& record) {
  ReleaseBgImage(record);
  std::int32_t status = kDone;
  if (!record.name.empty()) {
    auto image = std::make_shared<CImage>();
    if (image->LoadFile32(record.name.c_str(), nullptr, 0, 0) == 0) {
      record.image = std::move(image);
    } else {
      status = kBadSlot;
    }
  }
  ShowBg(record, true);
  return status;
}

void CVovPage::ShowBg(BgSlotRecord& record, bool redraw) {
  CDrawLayer* layer = LayerOf(record);
  if (layer == nullptr) return;
  if (record.image == nullptr) {
    layer->SetBackgroundColor(record.color, redraw);
    return;
  }
  layer->SetBackgroundImage(record.image.get(), 0, 0, false);
  layer->SetBackgroundOffset(record.offset_x, record.offset_y);
  if (redraw) layer->InvalidateAll();
}

void CVovPage::ReleaseBgImage(BgSlotRecord& record) {
  if (CDrawLayer* layer = LayerOf(record); layer != nullptr && record.image != nullptr) {
    layer->SetBackgroundColor(record.color, false);
  }
  record.image.reset();  // the other slot keeps a picture it shares
}

void CVovPage::UnshareBg(BgSlotRecord& record) {
  if (record.image == nullptr || record.image != OtherBg(record).image) return;
  auto copy = std::make_shared<CImage>();
  if (copy->Duplicate(record.image.get(), kDuplicateStorage) != 0) return;
  record.image = std::move(copy);
  ShowBg(record, false);
}

std::int32_t CVovPage::ClearBg(std::uint32_t colour, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  EndBgEffect(record, false);
  record.ClearLook();
  ReleaseBgImage(record);
  record.name.clear();
  record.color = colour;
  if (CDrawLayer* layer = LayerOf(record)) layer->SetBackgroundColor(colour, true);
  return kDone;
}

std::int32_t CVovPage::SetBgColor(std::uint32_t colour, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  record.color = colour;
  if (CDrawLayer* layer = LayerOf(record)) layer->SetBackgroundColor(colour, true);
  return kDone;
}

std::int32_t CVovPage::SetBgFilter(std::uint8_t filter, bool mirror_x, bool mirror_y, bool letterbox,
                                   std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  if (record.image == nullptr) return kBadSlot;
  UnshareBg(record);
  CImage& image = *record.image;
  if (const std::int32_t status = ApplySlotFilter(image, record.filter, filter); status != 0) return status;
  ToggleSlotMirrors(image, record.mirror_x, record.mirror_y, mirror_x, mirror_y);
  if (letterbox) {
    image.FillRect(0, 0, 0, &kLetterboxTop);
    image.FillRect(0, 0, 0, &kLetterboxBottom);
    record.letterbox = 1;
  }
  if (CDrawLayer* layer = LayerOf(record)) layer->InvalidateAll();
  return kDone;
}

std::int32_t CVovPage::SoftenBg(std::uint32_t strength, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  if (record.image == nullptr) return kBadSlot;
  if (record.letterbox != 0 || record.softened != 0) return kRefused;
  UnshareBg(record);
  SoftenSlot(*record.image, record.softened, strength);
  if (CDrawLayer* layer = LayerOf(record)) layer->InvalidateAll();
  return kDone;
}

std::int32_t CVovPage::SetBgOffset(std::int32_t x, std::int32_t y, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  record.offset_x = x;
  record.offset_y = y;
  record.area = {kNoArea, 0, 0, 0};
  record.zoom = 0;
  CDrawLayer* layer = LayerOf(record);
  if (layer == nullptr) return kDone;
  layer->ReleaseBackgroundCache();
  if (layer->SetBackgroundOffset(x, y)) layer->InvalidateAll();
  return kDone;
}

std::int32_t CVovPage::FreezeBg(bool on, std::uint32_t slot, bool with_attached) {
  BgSlotRecord& record = Bg(slot);
  EndBgEffect(record, true);
  CDrawLayer* layer = LayerOf(record);
  if (layer == nullptr || layer->GetTarget() == nullptr) return kBadSlot;
  if (!on) {
    record.frozen = 0;
    ShowBg(record, true);
    record.capture.reset();
    return kDone;
  }
  // The capture takes the page's size, which the layer renders into.
  const CImage& target = *layer->GetTarget();
  if (record.capture == nullptr) {
    auto capture = std::make_unique<CImage>();
    if (capture->Create(target.GetWidth(), target.GetHeight(), 32, 0) != 0) return kBadSlot;
    record.capture = std::move(capture);
  }
  if (layer->RenderTo(record.capture.get(), CDrawLayer::kFilterAll, 0, with_attached) != 0) return kBadSlot;
  layer->SetBackgroundImage(record.capture.get(), 0, 0, true);
  record.frozen = 1;
  return kDone;
}

std::int32_t CVovPage::SetBgArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                                 std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  EndBgEffect(record, true);
  record.area = {x, y, x + width, y + height};
  record.offset_x = record.offset_y = 0;
  record.zoom = 0;
  CDrawLayer* layer = LayerOf(record);
  if (layer == nullptr || !layer->HasBackgroundImage()) {
    record.area = {kNoArea, 0, 0, 0};
    return kDone;
  }
  layer->SetBackgroundOffset(0, 0);
  const plat::Rect source{x, y, x + width, y + height};
  if (layer->SetBackgroundArea(0, 0, kWidth, kHeight, &source)) return kDone;
  // The layer also says no to the area it shows already (the zoom's assist entry has shown it).
  plat::Rect shown{};
  const bool showing = layer->GetBackgroundArea(&shown) && shown == source;
  return showing ? kDone : kBadSlot;
}

std::int32_t CVovPage::SetBgZoomArea(std::int32_t x, std::int32_t y, const char* zoom, std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  const ObjectAssistFunc assist = FindHostAssistFunc(kZoomEffect);
  if (assist == nullptr) return kEffectMissing;
  CImageInterface* canvas = GetCanvasOfPart(Part(SlotOf(record)));
  if (canvas == nullptr) return kBadSlot;
  std::array<std::int32_t, 4> source{};
  const PluginArgList args{reinterpret_cast<std::uintptr_t>(canvas),
                           static_cast<std::uint32_t>(x),
                           static_cast<std::uint32_t>(y),
                           reinterpret_cast<std::uintptr_t>(zoom),
                           reinterpret_cast<std::uintptr_t>(&source[0]),
                           reinterpret_cast<std::uintptr_t>(&source[1]),
                           reinterpret_cast<std::uintptr_t>(&source[2]),
                           reinterpret_cast<std::uintptr_t>(&source[3])};
  const PluginArgs view = args.View();
  if (const std::int32_t status = assist(&view); status != 0) return status;
  return SetBgArea(source[0], source[1], source[2], source[3], slot);
}

std::int32_t CVovPage::SetBgRotoZoom(std::int32_t angle, const char* zoom, std::int32_t x, std::int32_t y,
                                     std::uint32_t slot) {
  BgSlotRecord& record = Bg(slot);
  EndBgEffect(record, true);
  record.area = {kNoArea, 0, 0, 0};
  record.zoom = zoom != nullptr ? std::strtof(zoom, nullptr) : 1.0f;
  record.angle = angle;
  record.offset_x = x;
  record.offset_y = y;
  CDrawLayer* layer = LayerOf(record);
  if (layer == nullptr || !layer->HasBackgroundImage()) {
    record.zoom = 0;
    return kDone;
  }
  return layer->SetBackgroundRotoZoom(x, y, angle, record.zoom) ? kDone : kBadSlot;
}

void CVovPage::SwapPages(bool sprite_pages) {
  std::swap(bg_slot_[0], bg_slot_[1]);
  // The screen effects stay on the front part, so their page switches follow the pages.
  for (BgSlotRecord& record : bg_) {
    const PersistSwitches switches = PersistSwitchWords(record.persist_kind);
    if (!switches.any) continue;
    const std::uint32_t first = PersistWord(record, switches.first);
    SetPersistWord(record, switches.first, PersistWord(record, switches.first + 1));
    SetPersistWord(record, switches.first + 1, first);
  }
  if (!sprite_pages) return;
  for (Group& group : groups_) {
    const std::size_t half = group.table.size() / 2;
    std::swap_ranges(group.table.begin(), group.table.begin() + static_cast<std::ptrdiff_t>(half),
                     group.table.begin() + static_cast<std::ptrdiff_t>(half));
  }
}

void CVovPage::ShowBackPage() {
  CImagePart* front = Part(0);
  CImagePart* back = Part(1);
  if (front == nullptr || back == nullptr) return;
  front->SwapLayers(*back);
  front->MarkDirty(nullptr);
}
