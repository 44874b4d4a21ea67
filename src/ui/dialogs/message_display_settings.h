// What the game settings say about showing messages, brought to the objects that show them: the
// message font's face, line spacing, outline, glyph format and boldness, and the background
// style, colour and opacity of text boxes and list menus.
#pragma once

#include <string>

#include "base/settings/game_settings.h"

class CFontBase;
class CListMenu;
class CTextLayout;

// The settings' face name (Shift-JIS, without its zero bytes).
std::string GameFaceName(const GameSettingsBlock& settings);
bool GameFontBold(const GameSettingsBlock& settings);

// Sets the glyph format, the shadow offsets, the outline switch (the font keeps its own text and
// outline colours) and the line spacing; when the face or the boldness differ from the
// settings', the font is made again at its own size with its own italic flag.
void ApplyGameFontSettings(CFontBase& font, const GameSettingsBlock& settings);

// The box's background style, colour and opacity (the settings' or `alpha` when it is given).
void ApplyGameBoxSettings(CTextLayout& box, const GameSettingsBlock& settings, int32_t alpha = -1);
// The list's skin style, colour and opacity, and whether it shows the choices already made.
void ApplyGameListSettings(CListMenu& list, const GameSettingsBlock& settings);
