// The game settings block: 192 bytes stored in the settings file of the save folder. The
// game's scripts, dialogs and the novel frame give most bytes their meaning; the engine reads
// the few named here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kGameSettingsSize = 192;
using GameSettingsBlock = std::array<uint8_t, kGameSettingsSize>;

// Named bytes of the block.
inline constexpr std::size_t kSettingShowChosenChoices = 4;  // list menus colour choices already made
// How the novel frame waits for the reader. The block's layout leaves these bytes to the frame;
// their places are the engine's own choice, among the bytes no other part reads.
inline constexpr std::size_t kSettingAlwaysSkip = 3;            // every wait is skipped
inline constexpr std::size_t kSettingClickEndsWaits = 5;        // a click or the decide key ends timed waits
inline constexpr std::size_t kSettingHideIdleCursor = 6;        // the cursor hides when the reader goes on
inline constexpr std::size_t kSettingClickStopsVoice = 7;       // going on stops the voice
inline constexpr std::size_t kSettingWaitForVoice = 8;          // auto mode waits for the voice's end
inline constexpr std::size_t kSettingChoiceSound = 9;           // a picked choice blinks five times with a sound
inline constexpr std::size_t kSettingAutoHideButtons = 11;      // the buttons show only near the bottom edge
inline constexpr std::size_t kSettingPositionalVoices = 12;     // a voice pans to its speaker's place
inline constexpr std::size_t kSettingBackToChoices = 13;        // a snapshot at every choice
inline constexpr std::size_t kSettingSkipAfterChoices = 15;     // skip mode goes on after a choice
inline constexpr std::size_t kSettingSaveAtChoices = 17;        // a save of group 10 at every choice
inline constexpr std::size_t kSettingChoiceStopsVoice = 18;     // a picked choice stops the voice
// The system commands of the novel frame, in bytes no other part reads. Games' files leave
// these bytes 0, so 0 is each one's usual behaviour.
inline constexpr std::size_t kSettingQuickLoadUnasked = 2;       // 0: a quick load asks first
inline constexpr std::size_t kSettingScreenEffectsOff = 10;      // 0: the system screens slide and cross
inline constexpr std::size_t kSettingBackToChoiceUnasked = 19;   // 0: going back to the previous choice asks first
inline constexpr std::size_t kSettingBottomEdgeHidesWindow = 80;  // the pointer at the bottom edge hides the window
inline constexpr std::size_t kSettingRightClickKeepsAutoOn = 86;  // 0: a right click ends auto mode
inline constexpr std::size_t kSettingClosingFade = 87;          // the game fades out when it is ended from the menu
inline constexpr std::size_t kSettingAutoWait = 32;             // u32: auto mode's pause after a message, ms
inline constexpr std::size_t kSettingDuckMusicForVoices = 108;  // the music is lowered while a voice plays
// A loaded game shows without fading in, and a sound wait marked for it ends at once.
inline constexpr std::size_t kSettingNoFadeAfterLoad = 109;
inline constexpr std::size_t kSettingSnapshotWithoutText = 14;  // 0: snapshots carry the text part
inline constexpr std::size_t kSettingHintsOn = 16;              // pop-up hints (tooltips) are shown
inline constexpr std::size_t kSettingHintDelay = 20;            // u32: ms before a pop-up hint
// How messages print: unread and read text each at once or one character per interval (ms).
inline constexpr std::size_t kSettingUnreadTextAtOnce = 24;
inline constexpr std::size_t kSettingUnreadTextInterval = 25;
inline constexpr std::size_t kSettingReadTextAtOnce = 26;
inline constexpr std::size_t kSettingReadTextInterval = 27;
inline constexpr std::size_t kSettingSkipReadText = 28;          // read messages are skipped
inline constexpr std::size_t kSettingTextLogSize = 29;          // backlog entries; 0 none
inline constexpr std::size_t kSettingSaveText = 30;             // saves carry the text part
inline constexpr std::size_t kSettingUnreadTextUnskippable = 31;  // the skip toggle leaves unread text
// The message font: face name (zero-ended), line spacing in steps of two pixels, outline switch,
// glyph format, bold switch; and the message boxes' background style, alpha and colour (u32).
inline constexpr std::size_t kSettingFaceName = 36;
inline constexpr std::size_t kSettingFaceNameSize = 32;
inline constexpr std::size_t kSettingTextLineSpacing = 68;
inline constexpr std::size_t kSettingTextEdge = 69;
inline constexpr std::size_t kSettingTextGlyphFormat = 70;
inline constexpr std::size_t kSettingTextBold = 71;
// The message font a size smaller: the novel frame scales its sizes by 18/22.
inline constexpr std::size_t kSettingSmallMessageFont = 72;
inline constexpr std::size_t kSettingTextBoxStyle = 73;
inline constexpr std::size_t kSettingTextBoxAlpha = 74;
inline constexpr std::size_t kSettingTextBoxColour = 76;
// The sound channels' switches (bytes) and levels (u32, 0..256) at the script engine's start.
inline constexpr std::size_t kSettingSoundOn = 81;
inline constexpr std::size_t kSettingMusicOn = 82;
inline constexpr std::size_t kSettingSoundEffectsOn = 83;
inline constexpr std::size_t kSettingSecondClassOn = 84;
inline constexpr std::size_t kSettingVoicesOn = 85;
inline constexpr std::size_t kSettingMasterVolume = 88;
inline constexpr std::size_t kSettingMusicLevel = 92;
inline constexpr std::size_t kSettingSoundEffectLevel = 96;   // a sound-effect channel's level on load
inline constexpr std::size_t kSettingSecondClassLevel = 100;  // the same for the second class
inline constexpr std::size_t kSettingVoiceVolume = 104;
inline constexpr std::size_t kSettingSkipKeyModifier = 130;       // 0 Shift, else Ctrl is the skip key
inline constexpr std::size_t kSettingSkipKeyReadTextOnly = 131;   // the skip key skips read text only
inline constexpr std::size_t kSettingChangeResolution = 154;    // change the display resolution in full screen
inline constexpr std::size_t kSettingResolutionMethod = 156;    // 2 resolution changes through DirectDraw
inline constexpr std::size_t kSettingMonitorNumber = 157;        // monitor number + 1; 0 the window's monitor
inline constexpr std::size_t kSettingStartInWindow = 158;
inline constexpr std::size_t kSettingSaveWindowPosition = 159;
inline constexpr std::size_t kSettingEnlargedDrawing = 160;     // drawing method of an enlarged screen
inline constexpr std::size_t kSettingDrawingUnenlarged = 161;   // that method also when not enlarged
inline constexpr std::size_t kSettingPowerOfTwoTextures = 162;
inline constexpr std::size_t kSettingBilinearFiltering = 163;
inline constexpr std::size_t kSettingTransferThroughDc = 164;
inline constexpr std::size_t kSettingNextRotatingSlot = 177;     // the slot the next save of group 10 takes
inline constexpr std::size_t kSettingNextQuickSlot = 178;        // the same for group 11
inline constexpr std::size_t kSettingSaveCaption = 180;          // saves carry a caption
inline constexpr std::size_t kSettingSaveWritten = 186;          // 1 once a save was written
inline constexpr std::size_t kSettingLastRotatingSlot = 187;     // the slot last written in group 10
inline constexpr std::size_t kSettingLastQuickSlot = 188;        // the same for group 11

GameSettingsBlock DefaultGameSettings();

// The block of the running game, published when the script engine starts; null before.
extern GameSettingsBlock* g_UserConfig;

// The published block, or the defaults while none is published.
const GameSettingsBlock& CurrentGameSettings();
