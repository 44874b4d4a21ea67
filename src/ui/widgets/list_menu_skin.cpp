// The list menu's skin: plain, loaded from picture files or taken from images, and composed from
// its source, mask and colour mask in the skin colour and alpha.
#include <utility>

#include "ui/widgets/list_menu.h"

namespace {

constexpr int32_t kMaxFrames = 4;

bool Given(const char* name) { return name != nullptr; }
bool Given(const CImage* image) { return image != nullptr && image->GetPixels() != nullptr; }

template <typename Source>
bool AnyGiven(const CListMenu::PartSources<Source>& part) {
  return Given(part.source) || Given(part.mask) || Given(part.colour_mask);
}

// A 32-bit picture of the size, or null when it cannot be made.
std::unique_ptr<CImage> MakePicture(int32_t width, int32_t height) {
  auto picture = std::make_unique<CImage>();
  if (picture->Create(width, height, 32, 0) != 0) return nullptr;
  return picture;
}

template <typename Source>
bool FramesValid(const CListMenu::SkinSources<Source>& s) {
  if (s.frame_count < 1 || s.frame_count > kMaxFrames) return false;
  if ((s.pressed_frame || s.disabled_frame) && s.frame_count < 3) return false;
  if (s.pressed_frame && s.disabled_frame && s.frame_count == 3) return false;
  return AnyGiven(s.item);
}

}  // namespace

void CListMenu::ReleaseSkin() {
  for (SkinPart* part : {&item_, &header_, &footer_}) *part = SkinPart{};
  hover_frame_ = pressed_frame_ = disabled_frame_ = false;
  disabled_frame_x_ = 0;
}

int32_t CListMenu::CreatePlainSkin(int32_t width, int32_t height, int32_t header_height, int32_t footer_height) {
  if (width <= 0 || height <= 0) return 1;
  ReleaseSkin();
  plain_width_ = width;
  plain_height_ = height;
  header_.plain_height = header_height;
  footer_.plain_height = footer_height;
  int32_t status = 2;
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->plain_height > 0) {
      part->skin = MakePicture(width, part->plain_height);
      if (part->skin == nullptr) {
        ReleaseSkin();
        return status;
      }
      ShowEndPart(*part, 1);
    }
    ++status;
  }
  RefillPlainSkin(true, true);
  return 0;
}

void CListMenu::ShowEndPart(SkinPart& part, int32_t frame_count) {
  part.face = std::make_unique<CWidgetFace>();
  part.face->UseList(list_);
  part.face->Show(part.skin.get(), {0, 0, part.skin->GetWidth() / frame_count, part.skin->GetHeight()}, left_, 0,
                  kFaceBlendMode, 255);
}

// Steps in order, each with its own status: the mask loaded and a skin of its size made, the
// colour mask loaded and a skin of its size made, the source loaded and a skin of its size made,
// or an unmasked source loaded as the skin.
int32_t CListMenu::LoadPart(SkinPart& part, const PartSources<const char*>& files, int32_t first_status) {
  bool masked = false;
  const auto load_mask = [&](const char* name, std::unique_ptr<CImage>& owned, CImage*& mask, std::string& kept,
                             int32_t status) {
    masked = true;
    owned = std::make_unique<CImage>();
    if (owned->LoadFile(name, nullptr, 0, 0) != 0) return status;
    mask = owned.get();
    kept = name;
    if (part.skin == nullptr && (part.skin = MakePicture(mask->GetWidth(), mask->GetHeight())) == nullptr) {
      return status + 1;
    }
    return 0;
  };
  if (files.mask != nullptr) {
    if (const int32_t s = load_mask(files.mask, part.owned_mask, part.mask, part.mask_name, first_status)) return s;
  }
  if (files.colour_mask != nullptr) {
    if (const int32_t s = load_mask(files.colour_mask, part.owned_colour_mask, part.colour_mask,
                                    part.colour_mask_name, first_status + 2)) {
      return s;
    }
  }
  if (files.source == nullptr) return 0;
  part.source_name = files.source;
  if (!masked) {
    part.skin = std::make_unique<CImage>();
    return part.skin->LoadFile32(files.source, nullptr, 0, 0) != 0 ? first_status + 6 : 0;
  }
  part.owned_source = std::make_unique<CImage>();
  if (part.owned_source->LoadFile32(files.source, nullptr, 0, 0) != 0) return first_status + 4;
  part.source = part.owned_source.get();
  if (part.skin == nullptr || part.skin->GetPixels() == nullptr) {
    part.skin = MakePicture(part.source->GetWidth(), part.source->GetHeight());
    if (part.skin == nullptr) return first_status + 5;
  }
  part.skin->SetAlphaFlag(1);
  return 0;
}

int32_t CListMenu::FinishSkin(int32_t frame_count, bool pressed_frame, bool disabled_frame) {
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->HasPixels()) ShowEndPart(*part, frame_count);
  }
  RebuildSkin(true, true, true);
  hover_frame_ = frame_count > 1;
  pressed_frame_ = pressed_frame;
  disabled_frame_ = disabled_frame;
  disabled_frame_x_ = disabled_frame ? item_.skin->GetWidth() / frame_count * (frame_count - 1) : 0;
  return 0;
}

int32_t CListMenu::LoadSkin(const SkinSources<const char*>& files) {
  ReleaseSkin();
  if (!FramesValid(files)) return 1;
  const std::pair<SkinPart*, const PartSources<const char*>*> parts[3] = {
      {&item_, &files.item}, {&header_, &files.header}, {&footer_, &files.footer}};
  int32_t first_status = 2;
  for (const auto& [part, sources] : parts) {
    if (AnyGiven(*sources)) {
      if (const int32_t status = LoadPart(*part, *sources, first_status); status != 0) {
        ReleaseSkin();
        return status;
      }
    }
    first_status += 7;
  }
  if (!item_.HasPixels()) {
    ReleaseSkin();
    return kOtherFailure;
  }
  return FinishSkin(files.frame_count, files.pressed_frame, files.disabled_frame);
}

// A mask or colour mask makes a skin of its size; an unmasked source is copied into a skin of its
// own, so that composing never changes the caller's image.
int32_t CListMenu::TakePart(SkinPart& part, const PartSources<CImage*>& images, int32_t mask_status) {
  const std::pair<CImage*, int32_t> masks[2] = {{images.mask, mask_status}, {images.colour_mask, mask_status + 2}};
  for (const auto& [mask, status] : masks) {
    if (!Given(mask)) continue;
    if (part.skin == nullptr && (part.skin = MakePicture(mask->GetWidth(), mask->GetHeight())) == nullptr) {
      return status;
    }
  }
  part.mask = Given(images.mask) ? images.mask : nullptr;
  part.colour_mask = Given(images.colour_mask) ? images.colour_mask : nullptr;
  part.source = Given(images.source) ? images.source : nullptr;
  if (part.source == nullptr || part.skin != nullptr) return 0;
  part.skin = std::make_unique<CImage>();
  return part.skin->Duplicate(part.source, 0) != 0 ? kOtherFailure : 0;
}

int32_t CListMenu::SetSkinImages(const SkinSources<CImage*>& images) {
  ReleaseSkin();
  if (!FramesValid(images)) return 1;
  const std::pair<SkinPart*, const PartSources<CImage*>*> parts[3] = {
      {&item_, &images.item}, {&header_, &images.header}, {&footer_, &images.footer}};
  int32_t mask_status = 3;
  for (const auto& [part, sources] : parts) {
    if (const int32_t status = TakePart(*part, *sources, mask_status); status != 0) {
      ReleaseSkin();
      return status;
    }
    mask_status = 9;
  }
  return FinishSkin(images.frame_count, images.pressed_frame, images.disabled_frame);
}

int32_t CListMenu::SetSkinColor(uint8_t picture_mode, uint32_t colour, uint8_t alpha) {
  colour &= 0xFFFFFF;
  const bool mode_changed = picture_mode != picture_mode_;
  const bool colour_changed = colour != skin_colour_;
  const bool alpha_changed = alpha != skin_alpha_;
  if (!mode_changed && !colour_changed && !alpha_changed) return -1;
  picture_mode_ = picture_mode;
  skin_colour_ = colour;
  skin_alpha_ = alpha;
  if (item_.HasPixels()) {
    RebuildSkin(mode_changed, colour_changed, alpha_changed);
  } else {
    RefillPlainSkin(colour_changed, alpha_changed);
  }
  return 0;
}

void CListMenu::ComposePart(SkinPart& part, bool mode_changed, bool colour_changed, bool alpha_changed) {
  if (!part.HasPixels()) return;
  CImage& skin = *part.skin;
  const uint32_t r = (skin_colour_ >> 16) & 0xFF;
  const uint32_t g = (skin_colour_ >> 8) & 0xFF;
  const uint32_t b = skin_colour_ & 0xFF;
  const auto shape = [&](CImage* alpha_plane, bool fill) {
    if (fill) skin.FillRectArgb(0xFF000000 | skin_colour_, nullptr);
    skin.CopyAlphaPlane(alpha_plane, 0, 0, nullptr, false);
    if (skin_alpha_ != 0xFF) skin.AdjustAlpha(skin_alpha_, nullptr);
  };
  if (picture_mode_ == 0 && part.colour_mask != nullptr) {
    if (colour_changed && !mode_changed && !alpha_changed) {
      skin.SetRgbKeepAlpha(r, g, b, nullptr);
    } else {
      shape(part.colour_mask, mode_changed || colour_changed);
    }
  } else if (picture_mode_ != 0 && part.mask != nullptr) {
    shape(part.mask, part.source != nullptr || colour_changed);
    if (part.source != nullptr) skin.BlendPreserveAlpha(part.source, 255, 0, 0, nullptr);
  } else if (picture_mode_ != 0 && alpha_changed && part.source != nullptr) {
    skin.Copy(part.source, 0, 0, nullptr, false);
    if (skin_alpha_ != 0xFF) skin.AdjustAlpha(skin_alpha_, nullptr);
  }
}

void CListMenu::RebuildSkin(bool mode_changed, bool colour_changed, bool alpha_changed) {
  for (SkinPart* part : {&item_, &header_, &footer_}) ComposePart(*part, mode_changed, colour_changed, alpha_changed);
  for (SkinPart* part : {&header_, &footer_}) {
    if (part->face != nullptr) part->face->MarkDirty();
  }
  for (int32_t i = 0; i < GetItemCount(); ++i) {
    int32_t state_width = 0;
    MakeItemPicture(*item_pictures_[static_cast<size_t>(i)], GetItem(i), i, state_width);
    item_faces_[static_cast<size_t>(i)]->MarkDirty();
  }
}

void CListMenu::RefillPlainSkin(bool colour_changed, bool alpha_changed) {
  if (!colour_changed && !alpha_changed) return;
  for (SkinPart* part : {&header_, &footer_}) {
    if (!part->HasPixels()) continue;
    part->skin->FillRectArgb(PlainColour(), nullptr);
    part->face->MarkDirty();
  }
  for (int32_t i = 0; i < GetItemCount(); ++i) {
    CImage& picture = *item_pictures_[static_cast<size_t>(i)];
    picture.FillRectArgb(PlainColour(), nullptr);
    DrawItemText(i, GetItem(i), picture, 2, plain_width_);
    item_faces_[static_cast<size_t>(i)]->MarkDirty();
  }
}
