// The concrete selectable list: a vertical menu whose items are pictures, one face per item in a
// draw list, each with the item's text drawn into every state picture, with an optional header
// picture above and footer picture below. Its look (the skin) is plain (generated pictures in a
// colour) or composed from picture files or from images handed over, optionally coloured through
// masks and faded. It centres itself vertically on its creation point.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <utility>

#include "base/lifetime/watched_ptr.h"
#include "gfx/images/image.h"
#include "ui/fonts/font.h"
#include "ui/widgets/list_part.h"
#include "ui/widgets/widget_face.h"

class IDrawList;

class CListMenu : public CListPart {
 public:
  static constexpr int32_t kOtherFailure = -1;
  static constexpr uint8_t kFaceBlendMode = 2;

  // The three pictures a skin part is composed from: file names (LoadSkin) or images (SetSkinImages).
  template <typename Source>
  struct PartSources {
    Source source = nullptr;
    Source mask = nullptr;
    Source colour_mask = nullptr;
  };
  template <typename Source>
  struct SkinSources {
    int32_t frame_count = 1;
    bool pressed_frame = false;
    bool disabled_frame = false;
    PartSources<Source> item;
    PartSources<Source> header;
    PartSources<Source> footer;
  };

  CListMenu();
  ~CListMenu() override;

  int32_t GetX() const override;
  int32_t GetY() const override;
  // 1 without items; the header, the items and the footer laid out from (x, y).
  void SetPosition(int32_t x, int32_t y) override;
  void SetActive(bool active) override;
  bool IsActive() const override;
  void SetPriority(uint32_t priority, uint32_t tag, uint32_t keep_if_same) override;
  uint32_t GetPriority() const override { return priority_; }
  void SetOpacity(uint8_t opacity) override;
  uint8_t GetOpacity() const override;

  // x the left edge and y the vertical centre of the menu. 0; 1 without a font.
  uint32_t Create(IDrawList* list, uint32_t priority, int32_t x, int32_t y, int32_t plain_width, int32_t plain_height,
                  int32_t item_gap, CFont* font, int32_t group);
  uint32_t SetDrawList(IDrawList* list);
  // 0; 1 no list, font or text; 2 to 4 the picture cannot be made; 5 refused; -1 other failure.
  int32_t AddMenuItem(const ItemSetup& setup);
  void ReleaseItems();
  // 0; 1 a side not positive; 2 or 3 the header or footer picture cannot be made.
  int32_t CreatePlainSkin(int32_t width, int32_t height, int32_t header_height, int32_t footer_height);
  // 0; 1 bad arguments; 2 to 22 the step that failed (items 2-8, header 9-15, footer 16-22).
  int32_t LoadSkin(const SkinSources<const char*>& files);
  // The images stay the caller's. 0; 1 bad arguments or no item image with pixels; 3 or 5 (items),
  // 9 or 11 (header and footer) a skin cannot be made.
  int32_t SetSkinImages(const SkinSources<CImage*>& images);
  void ReleaseSkin();
  // -1 when nothing changes; else 0 and the pictures are recoloured.
  int32_t SetSkinColor(uint8_t picture_mode, uint32_t colour, uint8_t alpha);

  void SetTextOffset(int32_t x, int32_t y) { text_offset_ = {x, y}; }
  void SetPressedTextShift(int32_t x, int32_t y) { pressed_shift_ = {x, y}; }
  // Kind 0 none, 1 the colour with the skin alpha, others the colour as given (0xAARRGGBB).
  void SetBackground(uint8_t kind, uint32_t colour) {
    background_kind_ = kind;
    background_colour_ = colour;
  }

  // The face and picture of item i; the header's for a negative index, the footer's past the last.
  const CWidgetFace* GetItemFace(int32_t index) const;
  CWidgetFace* GetItemFace(int32_t index) {
    return const_cast<CWidgetFace*>(std::as_const(*this).GetItemFace(index));
  }
  const CImage* GetItemImage(int32_t index) const;
  int32_t GetStateWidth() const { return width_; }

 protected:
  uint32_t DrawItem(int32_t index, int32_t state) override;
  bool GetItemPoint(int32_t index, int32_t& x, int32_t& y) const override;
  bool IsInDragArea(int32_t x, int32_t y) const override;
  int32_t ItemAt(int32_t x, int32_t y) const override;

 private:
  // One of the item, header and footer skins and what it is composed from.
  struct SkinPart {
    std::unique_ptr<CImage> skin;  // the list's
    std::unique_ptr<CImage> owned_source;
    std::unique_ptr<CImage> owned_mask;
    std::unique_ptr<CImage> owned_colour_mask;
    CImage* source = nullptr;
    CImage* mask = nullptr;
    CImage* colour_mask = nullptr;
    std::string source_name;
    std::string mask_name;
    std::string colour_mask_name;
    int32_t plain_height = 0;  // header and footer of a plain skin
    std::unique_ptr<CWidgetFace> face;  // header and footer
    bool HasPixels() const { return skin != nullptr && skin->GetPixels() != nullptr; }
  };

  int32_t LoadPart(SkinPart& part, const PartSources<const char*>& files, int32_t first_status);
  int32_t TakePart(SkinPart& part, const PartSources<CImage*>& images, int32_t mask_status);
  void ShowEndPart(SkinPart& part, int32_t frame_count);
  int32_t FinishSkin(int32_t frame_count, bool pressed_frame, bool disabled_frame);
  void ComposePart(SkinPart& part, bool mode_changed, bool colour_changed, bool alpha_changed);
  void RebuildSkin(bool mode_changed, bool colour_changed, bool alpha_changed);
  void RefillPlainSkin(bool colour_changed, bool alpha_changed);
  uint32_t PlainColour() const { return static_cast<uint32_t>(skin_alpha_) << 24 | skin_colour_; }
  // The item's picture made from the skin (or plain) with its texts: 0, else the failed step.
  int32_t MakeItemPicture(CImage& picture, const CListItem* item, int32_t index, int32_t& state_width) const;
  void DrawItemText(int32_t index, const CListItem* item, CImage& picture, int32_t states, int32_t state_width) const;
  int32_t EndHeight(const SkinPart& part) const;
  int32_t RowStep() const;
  void Layout(int32_t x, int32_t top);

  WatchedPtr<IDrawList> list_;
  uint32_t priority_ = 0;
  HeldFont<CFont> font_;
  int32_t left_ = 0;
  int32_t centre_y_ = 0;
  bool hover_frame_ = false;
  bool disabled_frame_ = false;
  int32_t disabled_frame_x_ = 0;
  std::deque<std::unique_ptr<CImage>> item_pictures_;
  std::deque<std::unique_ptr<CWidgetFace>> item_faces_;
  int32_t plain_width_ = 0;
  int32_t plain_height_ = 0;
  SkinPart item_;
  SkinPart header_;
  SkinPart footer_;
  uint32_t skin_colour_ = 0;
  uint8_t skin_alpha_ = 0x80;
  uint8_t picture_mode_ = 1;
  plat::Point text_offset_{2, 2};
  plat::Point pressed_shift_{0, 0};
  uint8_t background_kind_ = 1;
  uint32_t background_colour_ = 0x80000080;
};

// The list menu that shows the script choices, null when none; the text printer's built-in
// functions bind it to the chosen-choice bits of the current message. A menu that ends lets go.
extern CListMenu* g_ChoiceList;
