// The opcodes of the novel page's slots: backgrounds (35-45), sprites (72-80), the image cache
// (87) and the two page flags (88, 89). They decode their operands and call the page; what the
// page reports is its own matter, and the scenario goes on.
#include <string>

#include "base/system/app_services.h"
#include "novel/frame/vov_frame.h"
#include "resource/pictures/image_loader_manager.h"
#include "script/script_host.h"

namespace {

constexpr std::int32_t kDefaultZoomX = 400;
constexpr std::int32_t kDefaultZoomY = 300;
constexpr const char kToneTableFile[] = "DATA/BG.TXT";

// Operand n read in the shapes the page takes.
class PageOperands {
 public:
  explicit PageOperands(std::span<const VovOperand> operands) : operands_(operands) {}
  std::uint32_t U32(std::size_t n) const { return VovOperandAt(operands_, n).value; }
  std::int32_t I32(std::size_t n) const { return static_cast<std::int32_t>(U32(n)); }
  std::uint8_t U8(std::size_t n) const { return static_cast<std::uint8_t>(U32(n)); }
  bool Flag(std::size_t n) const { return U32(n) != 0; }
  std::int32_t I32Or(std::size_t n, std::int32_t absent) const {
    return VovOperandAt(operands_, n).flags == 0 ? absent : I32(n);
  }
  // A text operand, or null when absent.
  const char* Text(std::size_t n) {
    const VovOperand operand = VovOperandAt(operands_, n);
    if (operand.flags == 0) return nullptr;
    texts_[n & 7] = std::string(operand.text);
    return texts_[n & 7].c_str();
  }

 private:
  std::span<const VovOperand> operands_;
  std::string texts_[8];
};

using PageCall = void (*)(CVovFrame&, PageOperands&);

VovHandler PageHandler(PageCall call) {
  return [call](CVovFrame& frame, std::span<const VovOperand> operands) {
    PageOperands args(operands);
    call(frame, args);
    return 0;
  };
}

// 73: a negative position keeps a used sprite where it stands; a free one goes to the centre.
void LoadAndPlaceSprite(CVovFrame& frame, PageOperands& a) {
  CVovPage& page = frame.Page();
  const std::uint32_t index = a.U32(0);
  const std::int32_t position = a.I32(2);
  const bool back = a.Flag(3);
  const std::int32_t group = a.I32(4);
  const SpriteRecord* record = page.Sprite(index, back, group);
  if (position < 0 && record == nullptr) return;
  const bool was_free = record != nullptr && record->sprite == nullptr;
  page.LoadSprite(index, a.Text(1), back, group);
  if (position >= 0) {
    page.PlaceSprite(index, position, false, back, group);
  } else if (was_free) {
    page.PlaceSprite(index, 0, false, back, group);
  }
}

}  // namespace

void CVovFrame::InstallPageHandlers() {
  handlers_[35] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().LoadBg(a.Text(0), a.U32(1)); });
  handlers_[36] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().ClearBg(a.U32(0), a.U32(1)); });
  handlers_[37] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().SetBgColor(a.U32(0), a.U32(1)); });
  handlers_[38] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().SetBgFilter(a.U8(0), a.Flag(1), a.Flag(2), a.Flag(3), a.U32(4));
  });
  handlers_[39] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().SoftenBg(a.U32(0), a.U32(1)); });
  handlers_[40] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().SetBgOffset(a.I32(0), a.I32(1), a.U32(2)); });
  handlers_[41] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().FreezeBg(true, a.U32(0), a.Flag(1)); });
  handlers_[42] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().FreezeBg(false, a.U32(0), false); });
  handlers_[43] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().SetBgArea(a.I32(0), a.I32(1), a.I32(2), a.I32(3), a.U32(4));
  });
  handlers_[44] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().SetBgZoomArea(a.I32Or(1, kDefaultZoomX), a.I32Or(2, kDefaultZoomY), a.Text(0), a.U32(3));
  });
  handlers_[45] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().SetBgRotoZoom(a.I32(0), a.Text(1), a.I32(2), a.I32(3), a.U32(4));
  });
  handlers_[72] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().SetSpriteTint(a.Flag(0)); });
  handlers_[73] = PageHandler(LoadAndPlaceSprite);
  handlers_[74] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().SetSpriteFilter(a.U32(0), a.U8(1), a.Flag(2), a.Flag(3), a.Flag(4), a.I32(5));
  });
  handlers_[75] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().SoftenSprite(a.U32(0), a.U32(1), a.Flag(2), a.I32(3));
  });
  handlers_[76] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().PlaceSprite(a.U32(0), a.I32(1), a.Flag(2), a.Flag(3), a.I32(4));
  });
  handlers_[77] = PageHandler([](CVovFrame& f, PageOperands& a) {
    f.Page().MoveSprite(a.U32(0), a.I32(1), a.I32(2), a.Flag(3), a.I32(4));
  });
  handlers_[78] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().SpriteToFront(a.U32(0), a.Flag(1), a.I32(2), true); });
  handlers_[79] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().SpriteToBack(a.U32(0), a.Flag(1), a.I32(2), true); });
  handlers_[80] = PageHandler([](CVovFrame& f, PageOperands& a) { f.Page().ClearSprites(a.Flag(0), a.I32(1)); });
  handlers_[87] = PageHandler([](CVovFrame&, PageOperands& a) {
    if (const char* name = a.Text(0); name != nullptr && g_GllHost != nullptr) g_GllHost->ReleaseCachedImage(name);
  });
  handlers_[88] = PageHandler([](CVovFrame& f, PageOperands& a) { f.SetPageFlag(0, a.Flag(0)); });
  handlers_[89] = PageHandler([](CVovFrame& f, PageOperands& a) { f.SetPageFlag(1, a.Flag(0)); });
}

std::uint32_t CVovFrame::InitPageImage(CImagePart* part) {
  const plat::Point size = g_AppServices != nullptr ? g_AppServices->GameScreenSize() : plat::Point{800, 600};
  if (const std::uint32_t status = page_.InitPageImage(part, size.x, size.y); status != 0) return status;
  page_.LoadBgToneTable(kToneTableFile);
  std::vector<std::string> names;
  for (const VoiceCharacter& character : host_.Voices().characters) names.push_back(character.name);
  page_.SetCharacters(std::move(names));
  return 0;
}
