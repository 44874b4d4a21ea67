// The novel frame's text history: the backlog as a page of four rows over a dimmed picture of the
// game screen, paged by keys, wheel and scroll bar, each voiced row replaying its voice on a
// click. The screen is a page of its own that the screen manager shows while it is open.
#include <algorithm>
#include <array>
#include <optional>
#include <string>

#include "base/input/game_key_bindings.h"
#include "base/input/input_bindings.h"
#include "base/input/input_manager.h"
#include "base/system/app_services.h"
#include "base/time/millisecond_clock.h"
#include "base/time/timed_task.h"
#include "base/time/timer_manager.h"
#include "gfx/display/image_canvas.h"
#include "gfx/display/screen_manager.h"
#include "novel/frame/vov_frame.h"
#include "novel/screens/vov_system_prompts.h"
#include "novel/text/widget_group_scope.h"
#include "platform/encoding/text_encoding.h"
#include "platform/system/diagnostic_log.h"
#include "scene/drawables/draw_layer.h"
#include "scene/sprites/sprite.h"
#include "ui/gui/gui_root_window.h"
#include "ui/widget_manager/widget_manager.h"

using vov_system::ActionPressed;
using vov_system::kCloseChannel;
using vov_system::KeyPressed;
using vov_system::MousePressed;
using vov_system::Setting;

namespace {

constexpr std::int32_t kScreenWidth = 800;
constexpr std::int32_t kScreenHeight = 600;
constexpr std::int32_t kHistoryGroup = 6;
constexpr std::int32_t kPageChannel = 5;
constexpr std::int32_t kRowStep = 140;
constexpr std::uint32_t kHistoryCrossTime = 300;
// The widgets' command ids: the close button, then the rows' voice areas.
constexpr std::int32_t kCloseId = 100;
constexpr std::int32_t kFirstRowId = 101;
constexpr std::int32_t kBarId = 110;
// The close button and the bar lie above the rows; the rows' text above their marks and icons.
constexpr std::uint32_t kButtonPriority = 500;
constexpr std::uint32_t kTextPriority = 600;
constexpr std::uint32_t kMarkPriority = 700;
constexpr std::int32_t kCloseX = 765;
constexpr std::int32_t kCloseY = 22;
constexpr std::int32_t kBarY = 42;
constexpr std::int32_t kBarLength = 536;
constexpr std::int32_t kBarMinimumThumb = 8;
// The pictures are drawn with their alpha; none of their colours is see-through.
constexpr std::int32_t kNoColourKey = -1;
constexpr std::int32_t kAreaX = 119;
constexpr std::int32_t kAreaY = 34;
constexpr std::int32_t kAreaWidth = 634;
constexpr std::int32_t kAreaHeight = 113;
constexpr std::int32_t kTextX = 139;
constexpr std::int32_t kTextY = 71;
constexpr std::int32_t kTextWidth = 612;
constexpr std::int32_t kTextHeight = 64;
constexpr std::int32_t kNameY = 44;
constexpr std::int32_t kNameWidth = 152;
constexpr std::int32_t kNameHeight = 18;
constexpr std::int32_t kIconX = 10;
// The voice mark's two frames lie one above the other this far apart: resting, then hovered.
constexpr std::int32_t kMarkFrameStep = 99;
// The window-menu groups greyed while the screen is open.
constexpr std::array<int, 3> kGreyedMenuGroups = {IAppServices::kMenuSave, IAppServices::kMenuLoad,
                                                  IAppServices::kMenuBackToTitle};
// Scan codes of the paging keys.
constexpr std::uint32_t kKeyPageUp = 0xC9;
constexpr std::uint32_t kKeyPageDown = 0xD1;
constexpr std::uint32_t kKeyHome = 0xC7;
constexpr std::uint32_t kKeyEnd = 0xCF;

// The reader's paging move of this turn, if any.
std::optional<HistoryMove> PolledMove() {
  if (KeyPressed(kKeyPageUp)) return HistoryMove::kPageUp;
  if (KeyPressed(kKeyPageDown)) return HistoryMove::kPageDown;
  if (MousePressed(kMouseWheelAway) || ActionPressed(kActionPageBack)) return HistoryMove::kWheelUp;
  if (MousePressed(kMouseWheelTowards) || ActionPressed(kActionNextPage)) return HistoryMove::kWheelDown;
  if (KeyPressed(kKeyHome)) return HistoryMove::kHome;
  if (KeyPressed(kKeyEnd)) return HistoryMove::kEnd;
  return std::nullopt;
}

std::int32_t RowY(std::size_t row, std::int32_t offset) { return offset + kRowStep * static_cast<std::int32_t>(row); }

// The character number of a voice name from the voice table the sound channels read.
std::int32_t CharacterOfVoice(const std::string& voice) {
  constexpr std::int32_t kLookUpCharacter = -2;
  constexpr std::int32_t kUnknown = -3;
  if (g_SoundChannels == nullptr) return kUnknown;
  return g_SoundChannels->PlayCharacterVoice(kLookUpCharacter, voice.c_str(), 0, nullptr);
}

void ShowMarkFrame(CSprite& mark, const CImage& picture, bool hovered) {
  const std::int32_t top = hovered ? kMarkFrameStep : 0;
  const plat::Rect frame{0, top, picture.GetWidth(), std::min(top + kMarkFrameStep, picture.GetHeight())};
  mark.SetSourceRect(&frame);
}

}  // namespace

// What one opening of the history holds. The page is declared first: everything drawn on its
// layer goes before it.
struct CVovFrame::HistoryScreen {
  CImageCanvasEx page;
  CImage background;
  CImageCanvasBase* shown_frame = nullptr;
  CTextWindow* current_window = nullptr;
  std::array<bool, kGreyedMenuGroups.size()> greyed{};
  CGuiRootWindow* root = nullptr;
  CGuiElement* close = nullptr;
  CScrollBar* bar = nullptr;
  std::array<CGuiElement*, kHistoryRows> voice_areas{};
  std::array<CTextLayout, kHistoryRows> names;
  std::array<CTextWindow, kHistoryRows> texts;
  CImage mark_picture;
  std::array<CSprite, kHistoryRows> marks;
  std::array<CImage, kHistoryRows> icon_pictures;
  std::array<CSprite, kHistoryRows> icons;
  HistoryRows rows;
  std::int32_t count = 0;
  std::int32_t first = 0;
  bool voice_replayed = false;

  CDrawLayer* Layer() const { return dynamic_cast<CDrawLayer*>(page.GetLayer()); }
  CDrawList* List() const { return Layer() != nullptr ? &Layer()->GetOwnList() : nullptr; }
  // The page: the game screen as it stands with the history's base blended over it, shown by the
  // screen manager in place of the frame's own.
  void ShowPage(CImage* game_screen);
  // The scroll bar, the rows' voice areas and the close button, in the window's new modal level.
  void MakeWidgets();
  // The rows' name boxes and text windows (printing through the frame), voice marks and icons.
  void MakeRows(CVovFrame& frame, CFont& name_font, CFont& message_font);
};

void CVovFrame::HistoryScreen::ShowPage(CImage* game_screen) {
  page.Create(kScreenWidth, kScreenHeight, 32, CImagePart::kLayer);
  background.Create(kScreenWidth, kScreenHeight, 32, 0);
  if (game_screen != nullptr) background.Copy(game_screen, 0, 0, nullptr, false);
  CImage base;
  if (base.LoadFile32("SYS/TH_BASE.ELG", nullptr, 0, 0) == 0) {
    background.AlphaBlend(&base, 0, 0, nullptr, false);
  } else {
    plat::LogDiagnostic("the text history runs without its base picture SYS/TH_BASE.ELG");
  }
  if (Layer() != nullptr) Layer()->SetBackgroundImage(&background, 0, 0, true);
  if (g_ScreenManager != nullptr) {
    shown_frame = g_ScreenManager->GetFrameImage();
    g_ScreenManager->SetFrameImage(&page);
  }
}

void CVovFrame::HistoryScreen::MakeWidgets() {
  WidgetGroupScope scope(kHistoryGroup, Layer());
  CScrollBar::Files files;
  files.thumb = "SYS/TH_BAR.ELG";
  files.back_arrow = "SYS/TH_UP.ELG";
  files.forward_arrow = "SYS/TH_DOWN.ELG";
  CGuiElement* made = nullptr;
  if (g_WidgetManager.CreateScrollBarEx(&made, kCloseX, kBarY, 0, 0, files, false, true, 0, 255, kNoColourKey,
                                        kNoColourKey, kButtonPriority) == 0) {
    bar = static_cast<CScrollBar*>(made);
    bar->SetId(kBarId);
    bar->SetRange(kBarLength, count, kHistoryRows, first, 0, kBarMinimumThumb);
    bar->SetActive(count > kHistoryRows);
    root->AddChild(bar, -1);
  } else {
    plat::LogDiagnostic("the text history runs without its scroll bar");
  }
  for (std::size_t row = 0; row < kHistoryRows; ++row) {
    CGuiElement*& area = voice_areas[row];
    if (g_WidgetManager.CreateClickArea(&area, kAreaX, RowY(row, kAreaY), kAreaWidth, kAreaHeight, -1, -1, true,
                                        true) != 0) {
      continue;
    }
    area->SetId(kFirstRowId + static_cast<std::int32_t>(row));
    area->SetEnabled(false);
    root->AddChild(area, -1);
  }
  if (g_WidgetManager.CreateImageButton(&close, kCloseX, kCloseY, "SYS/TH_CLOSE.ELG", false, true, 0, 255,
                                        kNoColourKey, kNoColourKey, kButtonPriority) == 0) {
    close->SetId(kCloseId);
    close->SetText(plat::Utf8ToSjis("テキスト履歴を閉じる").c_str());
    root->AddChild(close, -1);
  } else {
    plat::LogDiagnostic("the text history runs without its close button SYS/TH_CLOSE.ELG");
  }
}

void CVovFrame::HistoryScreen::MakeRows(CVovFrame& frame, CFont& name_font, CFont& message_font) {
  CDrawList* list = List();
  if (mark_picture.LoadFile32("SYS/TH_VOICE.ELG", nullptr, 0, 0) != 0) {
    plat::LogDiagnostic("the text history runs without its voice mark SYS/TH_VOICE.ELG");
  }
  for (std::size_t row = 0; row < kHistoryRows; ++row) {
    const TextBoxSetup name{list, kTextPriority, 0, kTextX, RowY(row, kNameY), kNameWidth, kNameHeight, &name_font,
                            nullptr, nullptr, nullptr, {}};
    CreateTextBox(names[row], name);
    names[row].SetActive(false);
    const TextBoxSetup text{list, kTextPriority, 0, kTextX, RowY(row, kTextY), kTextWidth, kTextHeight, &message_font,
                            nullptr, nullptr, nullptr, {}};
    CreateTextBox(texts[row], text);
    texts[row].SetFrame(&frame);
    texts[row].SetNamePlate(&names[row], 0);
    marks[row].SetImage(&mark_picture, nullptr, kAreaX, RowY(row, kAreaY));
    ShowMarkFrame(marks[row], mark_picture, false);
    marks[row].SetEnabled(false);
    icon_pictures[row].LoadFile32("SYS/TH_X.ELG", nullptr, 0, 0);
    icons[row].SetImage(&icon_pictures[row], nullptr, kIconX, RowY(row, kAreaY));
    icons[row].SetEnabled(false);
    if (list != nullptr) {
      list->Insert(&marks[row], kMarkPriority, 0);
      list->Insert(&icons[row], kMarkPriority, 0);
    }
  }
}

const HistoryRows* CVovFrame::ShownHistoryRows() const { return history_ != nullptr ? &history_->rows : nullptr; }

std::int32_t CVovFrame::HistoryFirstRow() const { return history_ != nullptr ? history_->first : -1; }

std::int32_t CVovFrame::RunTextHistory() {
  auto* root = dynamic_cast<CGuiRootWindow*>(root_window_);
  if (root == nullptr) {
    plat::LogDiagnostic("the text history cannot open without the frame's window");
    return 0;
  }
  HistoryScreen screen;
  screen.root = root;
  bool ending = !OpenTextHistory(screen);
  bool running = !ending;
  while (running) {
    if (!RunFramePass()) {
      ending = true;
      break;
    }
    running = ServeHistoryTurn(screen);
  }
  // The way back crosses only when the application goes on.
  if (!CloseTextHistory(screen, !ending)) ending = true;
  return ending ? kWaitAppEnding : 0;
}

bool CVovFrame::CrossBetweenPages(CImagePart& to, CImagePart& from) {
  // A cross advances only where it is presented.
  if (g_ScreenManager == nullptr || g_ScreenManager->GetFrameImage() != dynamic_cast<CImageCanvasBase*>(&to)) {
    return true;
  }
  // The page the cross ends on, without the attached list, which the cross paints over it.
  if (auto* layer = dynamic_cast<CDrawLayer*>(to.GetLayer())) {
    layer->RenderTo(to.GetImage(), CDrawLayer::kFilterAll, 0, false);
  }
  CImagePart* partner = to.GetPartner();
  if (to.SetPartner(&from) != 0) return true;
  const std::int32_t crossed = CrossScreen(kHistoryCrossTime, CImagePart::kModePlain, 0, &to);
  to.SetPartner(partner);
  if (crossed == kCrossNoFilter || crossed == kCrossRefused) {
    plat::LogDiagnostic("the text history's cross cannot start (" + std::to_string(crossed) + "); the screen changes at once");
  }
  return crossed != kWaitAppEnding;
}

bool CVovFrame::OpenTextHistory(HistoryScreen& screen) {
  for (std::size_t i = 0; i < kGreyedMenuGroups.size(); ++i) {
    if (g_AppServices == nullptr || !g_AppServices->MenuGroupPermitted(kGreyedMenuGroups[i])) continue;
    g_AppServices->SetMenuGroup(kGreyedMenuGroups[i], false);
    screen.greyed[i] = true;
  }
  if (g_PausableTimerManager != nullptr) g_PausableTimerManager->PauseAll(kTimedTaskScreenEffect);
  EndScreenFilter();
  if (g_SoundChannels != nullptr) g_SoundChannels->LoadChannel(kPageChannel, "SE/SE_SEL2.OGG", 0, false);

  screen.ShowPage(ScreenPicture());
  screen.root->PushModalLevel();
  screen.count = text_log_.Count();
  screen.first = HistoryOpeningRow(screen.count);
  screen.MakeWidgets();
  screen.MakeRows(*this, name_font_, message_font_);
  screen.current_window = current_window_;
  history_ = &screen;
  screen.root->Reset();
  FillHistoryPage(screen.first);
  CImagePart* game_page = page_.Part(0);
  return Setting(kSettingScreenEffectsOff) || game_page == nullptr || CrossBetweenPages(screen.page, *game_page);
}

std::int32_t CVovFrame::FillHistoryPage(std::int32_t first) {
  if (history_ == nullptr) return 0;
  HistoryScreen& screen = *history_;
  FillHistoryRows(screen.rows, text_log_, first, host_.Voices(), CharacterOfVoice);
  for (std::size_t row = 0; row < kHistoryRows; ++row) {
    const HistoryRow& shown = screen.rows[row];
    // A row past the log or of another kind of entry (a choice list) is left empty: what an
    // earlier page showed there would repeat an older line.
    const bool message = shown.entry == first + static_cast<std::int32_t>(row);
    CTextWindow& text = screen.texts[row];
    text.Refresh(true);
    text.ClearText();
    if (message) {
      text.SetText(shown.record.data(), shown.record.size());
      text.SetNames(shown.speaker.empty() ? nullptr : shown.speaker.c_str(),
                    shown.voice.empty() ? nullptr : shown.voice.c_str());
      current_window_ = &text;
      text.Display(true);
    }
    const bool voiced = message && shown.HasVoice();
    if (voiced && screen.icon_pictures[row].LoadFile32(shown.icon.c_str(), nullptr, 0, 0) == 0) {
      screen.icons[row].SetImage(&screen.icon_pictures[row], nullptr, kIconX, RowY(row, kAreaY));
    }
    screen.icons[row].SetEnabled(voiced);
    screen.marks[row].SetEnabled(voiced && screen.mark_picture.HasPixels());
    if (screen.voice_areas[row] != nullptr) screen.voice_areas[row]->SetEnabled(voiced);
  }
  vov_system::PlaySystemSound(kPageChannel);
  return 0;
}

bool CVovFrame::ServeHistoryTurn(HistoryScreen& screen) {
  screen.root->ProcessInput(ReadMillisecondClock());
  const std::int32_t fired = screen.root->TakeCommandId();
  if (fired == kCloseId) {
    vov_system::PlaySystemSound(kCloseChannel);
    return false;
  }
  if (fired >= kFirstRowId && fired < kFirstRowId + kHistoryRows) {
    ReplayHistoryVoice(screen, static_cast<std::size_t>(fired - kFirstRowId));
  }
  for (std::size_t row = 0; row < kHistoryRows; ++row) {
    const CGuiElement* area = screen.voice_areas[row];
    const bool pointed = screen.root->IsHovered(area) || screen.root->IsFocused(area);
    ShowMarkFrame(screen.marks[row], screen.mark_picture, pointed);
  }
  if (ActionPressed(kActionCancel) || MousePressed(kMouseRight)) {
    vov_system::PlaySystemSound(kCloseChannel);
    return false;
  }

  // The bar's own moves (a drag, a press in its track, its arrows) come first; the keys and the
  // wheel page only when the bar stood still.
  std::int32_t target = screen.first;
  if (screen.bar != nullptr && screen.count > kHistoryRows && screen.bar->GetValue() != screen.first) {
    target = screen.bar->GetValue();
  } else if (const std::optional<HistoryMove> move = PolledMove()) {
    const HistoryStep step = MoveHistory(screen.count, screen.first, *move);
    if (step.close) return false;
    target = step.first;
  }
  if (target != screen.first) {
    screen.first = target;
    if (screen.bar != nullptr) screen.bar->SetValue(target);
    FillHistoryPage(target);
  }
  return true;
}

void CVovFrame::ReplayHistoryVoice(HistoryScreen& screen, std::size_t row) {
  const HistoryRow& shown = screen.rows[row];
  if (!shown.HasVoice() || g_SoundChannels == nullptr) return;
  g_SoundChannels->SetChannelPan(kVoiceChannel, 0);
  // Below -1 the voice was not loaded: no table, an unknown name, voices off or no file.
  if (g_SoundChannels->PlayCharacterVoice(kVoiceChannel, shown.voice.c_str(), 0, nullptr) < -1) return;
  g_SoundChannels->PlayChannel(kVoiceChannel, false);
  screen.voice_replayed = true;
  if (g_SoundChannels->IsBgmPlaying() && Setting(kSettingDuckMusicForVoices)) {
    g_SoundChannels->StartVoiceDucking(g_TimerManager, kVoiceChannel, kVoiceDuckingHalf);
  }
}

bool CVovFrame::CloseTextHistory(HistoryScreen& screen, bool cross) {
  history_ = nullptr;
  current_window_ = screen.current_window;
  if (g_ScreenManager != nullptr && g_ScreenManager->GetFrameImage() == &screen.page) {
    g_ScreenManager->SetFrameImage(screen.shown_frame);
  }
  bool going_on = true;
  if (cross && !Setting(kSettingScreenEffectsOff) && page_.Part(0) != nullptr) {
    // The history's last picture, which the cross starts from.
    if (CDrawLayer* layer = screen.Layer()) layer->RenderTo(screen.page.GetImage(), CDrawLayer::kFilterAll, 0, true);
    going_on = CrossBetweenPages(*page_.Part(0), screen.page);
  }
  if (g_SoundChannels != nullptr) {
    g_SoundChannels->UnloadChannel(kPageChannel);
    if (screen.voice_replayed && Setting(kSettingClickStopsVoice)) g_SoundChannels->UnloadChannel(kVoiceChannel);
  }
  g_WidgetManager.DeleteGroup(kHistoryGroup, false);
  screen.root->PopModalLevel();
  for (std::size_t i = 0; i < kGreyedMenuGroups.size(); ++i) {
    if (screen.greyed[i] && g_AppServices != nullptr) g_AppServices->SetMenuGroup(kGreyedMenuGroups[i], true);
  }
  if (g_PausableTimerManager != nullptr) g_PausableTimerManager->ResumeAll(kTimedTaskScreenEffect);
  for (std::size_t row = 0; row < kHistoryRows; ++row) {
    screen.texts[row].Destroy();
    screen.names[row].Destroy();
    if (CDrawList* list = screen.marks[row].GetOwnerList()) list->Remove(&screen.marks[row]);
    if (CDrawList* list = screen.icons[row].GetOwnerList()) list->Remove(&screen.icons[row]);
  }
  return going_on;
}
