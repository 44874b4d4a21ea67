#include "app/dialogs/config_sheet_view.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint8_t kDikDelete = 0xD3;
constexpr float kLabelWidth = 184.0F;
constexpr float kFieldWidth = 90.0F;
constexpr float kSecondColumn = kLabelWidth + kFieldWidth + 16.0F;
constexpr float kSliderWidth = 260.0F;
constexpr float kNumberWidth = 64.0F;
constexpr float kButtonWidth = 96.0F;
// The defaults button: at the left edge, on the line of OK, as wide as its text in this font.
constexpr float kDefaultsWidth = 180.0F;
constexpr int kMostVolume = 256;
constexpr int kMostHintDelay = 300;
constexpr int kMostHistoryPages = 255;

constexpr const char* kPageTitles[kConfigPages] = {"キーボード", "マウス・ジョイスティック", "その他", "ウィンドウ"};
constexpr const char* kKeyNote = "※Enter、F1～F5、Shift、Ctrl、Tab、Alt、カーソルキーは割り当てできません。";

// The two columns of the 14 assignment fields: the field at `index` starts its row.
void FieldRow(plat::DialogUi& ui, int index) {
  if (index % 2 == 1) ui.SameLine(kSecondColumn);
}

}  // namespace

CConfigSheetView::CConfigSheetView(CConfigSheetModel& model, std::vector<std::string> monitors, JoystickPoll poll)
    : model_(model), monitors_(std::move(monitors)), poll_(std::move(poll)) {
  monitors_.insert(monitors_.begin(), "ウィンドウがあるモニタ");
  RefreshNumberTexts();
}

std::vector<std::string> CConfigSheetView::Texts() {
  std::vector<std::string> texts(std::begin(kPageTitles), std::end(kPageTitles));
  for (const char* label : AssignedActionLabels()) texts.emplace_back(label);
  for (const std::string& choice : MouseButtonChoices()) texts.push_back(choice);
  texts.insert(texts.end(),
               {"入力・その他設定", "デフォルト設定に戻す", "キャンセル", kKeyNote, "ﾃﾝｷｰ[*]ボタン",
                "強制スキップキー", "クイックセーブ・ロードの修飾キー", "未読テキストは早送りしない",
                "ジョイスティックを使用する", "右ボタン", "ホイールボタン", "右クリックでオートプレイを解除する",
                "ホイール↑", "テキスト履歴表示", "テキスト巻き戻し", "ホイール↓で次ページを表示（テキストを読み進める）",
                "セーブ時に現在のテキストをコメントとして設定する", "テキスト履歴フォントにアンチエイリアスをかける",
                "画面下にマウスカーソル移動でフレームを消去する", "Webページ表示時に確認ダイアログを表示する",
                "ムービーを再生する", "DirectShowウィンドウを使用する", "ムービー音量", "ポップアップヒントを表示する",
                "ヒント表示までの時間（ミリ秒）", "テキスト履歴のページ数", "テキスト履歴データのセーブ・ロードを行う",
                "フルスクリーン時に解像度を変更する", "フルスクリーン時に最前面ウィンドウに変更する",
                "解像度変更にDirectDrawを使用する（※次回起動時に反映）", "表示するモニタ", "描画方式", "自動設定",
                "画面拡大時以外にも描画方式を変更する", "テクスチャは２の累乗サイズで作成する",
                "バイリニアフィルタ補間を行う", "VRAM転送時にデバイスコンテキストを経由する",
                "ウィンドウモードで起動する", "終了時にウィンドウの位置を保存する", "ウィンドウがあるモニタ"});
  return texts;
}

void CConfigSheetView::RefreshNumberTexts() {
  volume_text_ = model_.MovieVolumeText();
  hint_delay_text_ = model_.HintDelayText();
  history_pages_text_ = model_.HistoryPagesText();
}

void CConfigSheetView::Build(plat::DialogUi& ui) {
  if (ui.BeginTabBar("##pages")) {
    for (int page = 0; page < kConfigPages; ++page) {
      if (!ui.TabItem(kPageTitles[page], !page_selected_ && page == model_.CurrentPage())) continue;
      if (page_selected_ && page != model_.CurrentPage()) {
        model_.ShowPage(page);
        focused_key_ = -1;
        focused_button_ = -1;
      }
      switch (page) {
        case kConfigKeyboardPage: BuildKeyboardPage(ui); break;
        case kConfigJoystickPage: BuildJoystickPage(ui); break;
        case kConfigOtherPage: BuildOtherPage(ui); break;
        default: BuildWindowPage(ui); break;
      }
      ui.EndTabItem();
    }
    ui.EndTabBar();
  }
  page_selected_ = true;
  ui.Separator();
  if (ui.Button("デフォルト設定に戻す", kDefaultsWidth)) {
    model_.FillDefaults();
    RefreshNumberTexts();
  }
  ui.SameLine(ui.ContentWidth() - 2.0F * kButtonWidth);
  if (ui.Button("OK", kButtonWidth)) {
    confirmed_ = true;
    ended_ = true;
  }
  ui.SameLine();
  if (ui.Button("キャンセル", kButtonWidth) || (ui.CloseRequested() && !ended_)) {
    model_.Cancel();
    ended_ = true;
  }
}

void CConfigSheetView::BuildKeyboardPage(plat::DialogUi& ui) {
  ConfigSheetControls& c = model_.Controls();
  if (focused_key_ >= 0) {
    for (const uint8_t code : ui.PressedKeys()) {
      if (model_.CaptureKey(focused_key_, code)) {
        focused_key_ = focused_key_ + 1 < kAssignedActions ? focused_key_ + 1 : -1;
        break;
      }
    }
  }
  for (int i = 0; i < kAssignedActions; ++i) {
    FieldRow(ui, i);
    ui.Text(AssignedActionLabels()[static_cast<std::size_t>(i)]);
    ui.SameLine((i % 2 == 1 ? kSecondColumn : 0.0F) + kLabelWidth);
    if (ui.Field("key" + std::to_string(i), AssignableKeyName(c.keys[static_cast<std::size_t>(i)]), i == focused_key_,
                 kFieldWidth)) {
      focused_key_ = i;
    }
  }
  ui.Text(kKeyNote);
  ui.Separator();
  ui.Text("強制スキップキー");
  ui.SameLine(kLabelWidth);
  if (ui.Radio("Shift", !c.forced_skip_with_ctrl)) c.forced_skip_with_ctrl = false;
  ui.SameLine();
  if (ui.Radio("Ctrl", c.forced_skip_with_ctrl)) c.forced_skip_with_ctrl = true;
  ui.Text("クイックセーブ・ロードの修飾キー");
  ui.SameLine(kLabelWidth + 100.0F);
  ui.Text(model_.QuickSaveModifier());
  ui.Checkbox("未読テキストは早送りしない", c.unread_text_not_skipped);
}

void CConfigSheetView::BuildJoystickPage(plat::DialogUi& ui) {
  ConfigSheetControls& c = model_.Controls();
  const bool capture = model_.HasJoystickCapture();
  if (capture && c.joystick_on && focused_button_ >= 0) {
    const std::vector<uint8_t> keys = ui.PressedKeys();
    const int32_t code = poll_ ? poll_() : -1;
    if (std::find(keys.begin(), keys.end(), kDikDelete) != keys.end()) {
      model_.ClearButton(focused_button_);
    } else if (code >= 0 && model_.CaptureButton(focused_button_, static_cast<uint8_t>(code))) {
      focused_button_ = focused_button_ + 1 < kAssignedActions ? focused_button_ + 1 : -1;
    }
  }
  ui.BeginDisabled(!capture);
  ui.Checkbox("ジョイスティックを使用する", c.joystick_on);
  ui.EndDisabled();
  ui.BeginDisabled(!capture || !c.joystick_on);
  for (int i = 0; i < kAssignedActions; ++i) {
    FieldRow(ui, i);
    ui.Text(AssignedActionLabels()[static_cast<std::size_t>(i)]);
    ui.SameLine((i % 2 == 1 ? kSecondColumn : 0.0F) + kLabelWidth);
    if (ui.Field("button" + std::to_string(i), JoystickButtonName(c.buttons[static_cast<std::size_t>(i)]),
                 i == focused_button_, kFieldWidth)) {
      focused_button_ = i;
    }
  }
  ui.EndDisabled();
  ui.Separator();
  ui.Text("右ボタン");
  ui.SameLine(kLabelWidth);
  ui.Combo("##right", c.right_button, MouseButtonChoices(), 200.0F);
  ui.Text("ホイールボタン");
  ui.SameLine(kLabelWidth);
  ui.Combo("##wheel", c.wheel_button, MouseButtonChoices(), 200.0F);
  ui.Checkbox("右クリックでオートプレイを解除する", c.right_click_ends_auto_play);
  ui.Text("ホイール↑");
  ui.SameLine(kLabelWidth);
  if (ui.Radio("テキスト履歴表示", !c.wheel_up_rewinds_text)) c.wheel_up_rewinds_text = false;
  ui.SameLine();
  if (ui.Radio("テキスト巻き戻し", c.wheel_up_rewinds_text)) c.wheel_up_rewinds_text = true;
  ui.Checkbox("ホイール↓で次ページを表示（テキストを読み進める）", c.wheel_down_next_page);
}

void CConfigSheetView::SliderWithField(plat::DialogUi& ui, const std::string& id, int& value, int maximum,
                                       std::string& text, const std::function<void(int)>& set,
                                       const std::function<void(const std::string&)>& type,
                                       const std::function<std::string()>& shown) {
  int position = value;
  if (ui.Slider("##slider" + id, position, 0, maximum, kSliderWidth)) {
    set(position);
    text = shown();
  }
  ui.SameLine();
  if (ui.InputText("##number" + id, text, kNumberWidth)) type(text);
  if (ui.LostFocus()) text = shown();
}

void CConfigSheetView::BuildOtherPage(plat::DialogUi& ui) {
  ConfigSheetControls& c = model_.Controls();
  ui.Checkbox("セーブ時に現在のテキストをコメントとして設定する", c.caption_from_text);
  ui.Checkbox("テキスト履歴フォントにアンチエイリアスをかける", c.history_font_smoothed);
  ui.Checkbox("画面下にマウスカーソル移動でフレームを消去する", c.frame_hidden_at_bottom);
  ui.Checkbox("Webページ表示時に確認ダイアログを表示する", c.ask_before_web_page);
  ui.Separator();
  ui.Checkbox("ムービーを再生する", c.movies_on);
  ui.BeginDisabled(!c.movies_on);
  ui.Checkbox("DirectShowウィンドウを使用する", c.movie_window);
  ui.Text("ムービー音量");
  SliderWithField(
      ui, "volume", c.movie_volume, kMostVolume, volume_text_, [this](int v) { model_.SetMovieVolume(v); },
      [this](const std::string& t) { model_.TypeMovieVolume(t); }, [this] { return model_.MovieVolumeText(); });
  ui.EndDisabled();
  ui.Separator();
  ui.Checkbox("ポップアップヒントを表示する", c.hints_on);
  ui.BeginDisabled(!c.hints_on);
  ui.Text("ヒント表示までの時間（ミリ秒）");
  SliderWithField(
      ui, "hint", c.hint_delay, kMostHintDelay, hint_delay_text_, [&c](int v) { c.hint_delay = v; },
      [this](const std::string& t) { model_.TypeHintDelay(t); }, [this] { return model_.HintDelayText(); });
  ui.EndDisabled();
  ui.Separator();
  ui.Text("テキスト履歴のページ数");
  SliderWithField(
      ui, "pages", c.history_pages, kMostHistoryPages, history_pages_text_, [&c](int v) { c.history_pages = v; },
      [this](const std::string& t) { model_.TypeHistoryPages(t); }, [this] { return model_.HistoryPagesText(); });
  ui.Checkbox("テキスト履歴データのセーブ・ロードを行う", c.history_saved);
}

void CConfigSheetView::BuildWindowPage(plat::DialogUi& ui) {
  ConfigSheetControls& c = model_.Controls();
  ui.Checkbox("フルスクリーン時に解像度を変更する", c.change_resolution);
  ui.Checkbox("フルスクリーン時に最前面ウィンドウに変更する", c.topmost_in_full_screen);
  // The display's own mode changes serve every drawing method here: these choices are only kept.
  ui.BeginDisabled(true);
  ui.Checkbox("解像度変更にDirectDrawを使用する（※次回起動時に反映）", c.resolution_by_direct_draw);
  ui.EndDisabled();
  ui.Text("表示するモニタ");
  ui.SameLine(kLabelWidth);
  ui.Combo("##monitor", c.monitor, monitors_, 300.0F);
  ui.Text("描画方式");
  ui.SameLine(kLabelWidth);
  ui.BeginDisabled(true);
  ui.Combo("##drawing", c.drawing_method, DrawingMethodChoices(), 300.0F);
  ui.EndDisabled();
  ui.Checkbox("画面拡大時以外にも描画方式を変更する", c.drawing_unenlarged);
  ui.Checkbox("テクスチャは２の累乗サイズで作成する", c.power_of_two_textures);
  ui.Checkbox("バイリニアフィルタ補間を行う", c.bilinear_filtering);
  ui.Checkbox("VRAM転送時にデバイスコンテキストを経由する", c.transfer_through_dc);
  ui.Separator();
  ui.Checkbox("ウィンドウモードで起動する", c.start_in_window);
  ui.Checkbox("終了時にウィンドウの位置を保存する", c.save_window_position);
}
