// The novel page: its two pages (the front shown, the back prepared for a transition), each an
// image part with its draw layer, the background slot of each page, the twelve sprite slots of
// each page in three groups, and what tints them (the BG tone table, the character list).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/lifetime/watched_ptr.h"
#include "novel/page/vov_slot_records.h"

class CDrawLayer;
class CImage;
class CImagePart;
class CImageCanvas;
class CImageCanvasEx;

class CVovPage {
 public:
  static constexpr std::uint32_t kPages = 2;
  static constexpr std::int32_t kWidth = 800;
  static constexpr std::int32_t kHeight = 600;
  static constexpr std::size_t kMaxCharacters = 40;
  // The page image's statuses.
  static constexpr std::uint32_t kPageImageUnusable = 2;
  // Slot results.
  static constexpr std::int32_t kDone = 0;
  static constexpr std::int32_t kBadSlot = 1;
  static constexpr std::int32_t kNoImage = 2;
  static constexpr std::int32_t kRefused = 2;
  static constexpr std::int32_t kFreeRecord = -1;
  static constexpr std::int32_t kEffectMissing = -2;

  CVovPage();
  ~CVovPage();
  CVovPage(const CVovPage&) = delete;
  CVovPage& operator=(const CVovPage&) = delete;

  // Without a part: the two page parts of the screen's size, 32 bits, made once (the first with
  // image flags 3, the second its partner). With one: it must report a size and an image (else
  // 2), becomes the page image and the own parts go. The page image becomes the screen
  // manager's frame image. 0.
  std::uint32_t InitPageImage(CImagePart* given, std::int32_t width, std::int32_t height);
  void ReleasePageImage();
  CImagePart* PageImage() const { return page_image_; }
  // Whether the page image a script gave ended while the page held it (logged then): the frame
  // runs no scenario on it any more.
  bool PageImageLost() const { return page_image_lost_; }
  // The draw layer of page 0 (front) or 1 (back); null while there is none.
  CDrawLayer* Layer(std::uint32_t page) const;
  // The image part of page 0 or 1; null while there is none.
  CImagePart* Part(std::uint32_t page) const;

  // Reads the tone table (see LoadBgToneTable in bg_name_rules.h); a failure leaves none.
  std::uint32_t LoadBgToneTable(const char* file_name);
  const std::vector<std::int32_t>& ToneTable() const { return tone_table_; }
  void ReleaseToneTable() { tone_table_.clear(); }
  // The end of a run on both slots: the background unfrozen and cleared to black, the persistent
  // effect ended and every sprite of the page cleared.
  void ResetSlots();
  // The names of the game's characters that sprite names are matched against.
  void SetCharacters(std::vector<std::string> names) { characters_ = std::move(names); }
  void SetSpriteTint(bool on) { tint_sprites_ = on; }
  // What ends the frame's running screen filter. The slot operations that change a page end it
  // first: while a transition runs the records have swapped already but the layers not yet, so
  // a change made meanwhile would land on the page that is going.
  void SetScreenFilterEnd(std::function<void()> end) { end_screen_filter_ = std::move(end); }
  bool SpriteTint() const { return tint_sprites_; }

  // The page swap of a transition: the background slot pointers exchange and, with
  // `sprite_pages`, every sprite group's front and back halves; the back records become the
  // front ones.
  void SwapPages(bool sprite_pages);
  // Prepares the back page as a copy of the front one: the back background cleared with the
  // front's colour and every back sprite cleared; then the back slot shares the front picture
  // with its look and view (keeping its own persistent effect and frozen mark, without an
  // animation), and each back sprite record a copy of the front one's sprite and fields.
  void CopyFrontToBack();
  // The back page shown at once, as a transition's end shows it: the parts exchange their layers
  // and the front part redraws whole.
  void ShowBackPage();

  // Background slots; only the low 8 bits of the slot count, 0 front, 1 back.
  BgSlotRecord& Bg(std::uint32_t slot) { return *bg_slot_[slot & 0xFF & 1]; }
  // The part and layer of the page that a slot number names.
  CImagePart* SlotPart(std::uint32_t slot) const { return Part(slot & 0xFF & 1); }
  CDrawLayer* SlotLayer(std::uint32_t slot) const { return Layer(slot & 0xFF & 1); }
  std::int32_t LoadBg(const char* name, std::uint32_t slot);
  // Ends the slot's effect run once and a persistent one that works on the picture; with
  // `resume_anime` a stopped animation runs again.
  void EndBgEffect(std::uint32_t slot, bool resume_anime) { EndBgEffect(Bg(slot), resume_anime); }
  std::int32_t ClearBg(std::uint32_t colour, std::uint32_t slot);
  std::int32_t SetBgColor(std::uint32_t colour, std::uint32_t slot);
  std::int32_t SetBgFilter(std::uint8_t filter, bool mirror_x, bool mirror_y, bool letterbox, std::uint32_t slot);
  std::int32_t SoftenBg(std::uint32_t strength, std::uint32_t slot);
  std::int32_t SetBgOffset(std::int32_t x, std::int32_t y, std::uint32_t slot);
  // On: the whole page (with the layer's attached list when asked) rendered into the slot's
  // capture, which the layer then shows at (0, 0). Off: the capture goes and the picture shows
  // again at the stored offset. 1 without a page or when the capture cannot be made.
  std::int32_t FreezeBg(bool on, std::uint32_t slot, bool with_attached);
  std::int32_t SetBgArea(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t slot);
  // The area that the "bg_zoom" effect's assist entry computes for the centre and the zoom text
  // (null: 1.0); -2 while that effect is not registered, 1 without a page, else the entry's status.
  std::int32_t SetBgZoomArea(std::int32_t x, std::int32_t y, const char* zoom, std::uint32_t slot);
  std::int32_t SetBgRotoZoom(std::int32_t angle, const char* zoom, std::int32_t x, std::int32_t y, std::uint32_t slot);

  // Stores the name (or empties it), ends and releases the animation playing before, and with a
  // name loads the DAD file and starts "bg_anime" on the slot's page with it, mode "ANIME" and
  // the two values. 0; 1 the file cannot be loaded; 2 the effect cannot be created.
  std::int32_t LoadBgAnime(const char* name, std::uint32_t arg1, std::uint32_t arg2, std::uint32_t slot);
  // Commands 0-5 to the animation effect: 1 clears the background and marks the animation
  // stopped, 3 marks it stopped, 0, 2 and 4 mark it running; 0 also stores the two values. 1
  // for another command, 2 without an animation effect.
  std::int32_t ControlBgAnime(std::uint32_t slot, std::uint32_t command, std::uint32_t a, std::uint32_t b);

  // Sprite slots: index within the group, the back page when `back`, group 1 (3 slots from
  // priority 10000), 2 (3 from 30000) or any other value (6 from 20000).
  static std::uint32_t GroupSlots(std::int32_t group);
  static std::uint32_t GroupBase(std::int32_t group);
  // Null when the index lies outside the group.
  SpriteRecord* Sprite(std::uint32_t index, bool back, std::int32_t group);
  std::int32_t LoadSprite(std::uint32_t index, const char* name, bool back, std::int32_t group);
  std::int32_t SetSpriteFilter(std::uint32_t index, std::uint8_t filter, bool mirror_x, bool mirror_y, bool back,
                               std::int32_t group);
  std::int32_t SoftenSprite(std::uint32_t index, std::uint32_t strength, bool back, std::int32_t group);
  std::int32_t PlaceSprite(std::uint32_t index, std::int32_t position, bool outside, bool back, std::int32_t group);
  std::int32_t MoveSprite(std::uint32_t index, std::int32_t dx, std::int32_t dy, bool back, std::int32_t group);
  // With `end_effect` the record's effect ends first and the sprite moves in the draw list too;
  // without it (an effect reordering its own sprite) only the priorities change.
  std::int32_t SpriteToFront(std::uint32_t index, bool back, std::int32_t group, bool end_effect);
  std::int32_t SpriteToBack(std::uint32_t index, bool back, std::int32_t group, bool end_effect);
  // Group -1 clears every group of the page.
  std::int32_t ClearSprites(bool back, std::int32_t group);
  // After a load: the records' plain fields came back, their pictures, drawables and effects
  // went (DropPictures). Each restores one slot's picture with its look; a picture that cannot be
  // loaded leaves the slot empty. They say whether a persistent effect is recorded for the slot,
  // which the effect commands start again.
  void DropPictures();
  struct Restored {
    bool shown = false;
    bool persistent_effect = false;
  };
  Restored RestoreSprite(std::uint32_t index, bool back, std::int32_t group);
  Restored RestoreBg(std::uint32_t slot);

  // The character index of a sprite name: its leaf's first three letters against the first 40
  // character names ("MIS" as "X05", "AKI" as "X27"); 40 when none matches.
  std::int32_t CharacterOf(const std::string& name) const;

 private:
  struct Group {
    std::vector<SpriteRecord> records;  // the front half, then the back half
    std::vector<SpriteRecord*> table;   // which record each page's slot uses
  };
  std::uint32_t SlotOf(const BgSlotRecord& record) const { return &record == bg_slot_[0] ? 0 : 1; }
  BgSlotRecord& OtherBg(const BgSlotRecord& record) { return *bg_slot_[SlotOf(record) ^ 1]; }
  CDrawLayer* LayerOf(const BgSlotRecord& record) const { return Layer(SlotOf(record)); }
  std::int32_t ReloadBg(BgSlotRecord& record);
  void ShowBg(BgSlotRecord& record, bool redraw);
  void ReleaseBgImage(BgSlotRecord& record);
  void EndBgAnime(BgSlotRecord& record);
  // Ends every effect of the slot: the one run once, the persistent one, the quake and the
  // background animation.
  void EndAllBgEffects(BgSlotRecord& record);
  // Ends the slot's effect run once and a persistent one that works on the picture (looping
  // animation, raster, haze, cross); with `resume_anime` a stopped animation runs again.
  void EndBgEffect(BgSlotRecord& record, bool resume_anime);
  // Gives the record a picture of its own before its pixels change.
  void UnshareBg(BgSlotRecord& record);
  void UnshareSprite(SpriteRecord& record, bool back, std::int32_t group);
  // Loads the record's named picture and shows it at the record's place and priority.
  bool ShowSpritePicture(SpriteRecord& record, bool back);
  void RestoreBgView(BgSlotRecord& record, std::uint32_t slot);
  Group& GroupOf(std::int32_t group);
  void EndScreenFilter() const {
    if (end_screen_filter_) end_screen_filter_();
  }
  std::span<SpriteRecord*> PageRecords(bool back, std::int32_t group);
  void PageImageEnds();
  // Ends the record's effect and empties the record (its picture, its sprite) but for its priority.
  void ClearSpriteRecord(SpriteRecord& record);
  // Moves every record of the page's group in front of `priority` one step back.
  void PushBack(bool back, std::int32_t group, std::uint32_t priority);
  void Reprioritise(SpriteRecord& record, bool back, std::uint32_t priority);
  void InsertSprite(SpriteRecord& record, bool back);

  std::unique_ptr<CImageCanvasEx> front_part_;
  std::unique_ptr<CImageCanvas> back_part_;
  std::array<BgSlotRecord, kPages> bg_;
  std::array<BgSlotRecord*, kPages> bg_slot_{&bg_[0], &bg_[1]};
  std::array<Group, 3> groups_;  // groups 1, 0 and 2
  std::vector<std::int32_t> tone_table_;
  std::vector<std::string> characters_;
  bool tint_sprites_ = false;
  std::function<void()> end_screen_filter_;
  bool page_image_lost_ = false;
  // Last, so that it is told only while the rest of the page lives.
  WatchedPtr<CImagePart> page_image_{[this] { PageImageEnds(); }};
};
