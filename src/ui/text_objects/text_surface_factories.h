// The screen's surface objects that show text: a text object (kind 3), a text sprite (kind 1)
// and a software image made from a text (kind 4). Each factory sets `out` to null, makes the
// object, runs its create step (whose non-zero status is returned unchanged, nothing kept) and
// lists it among the screen's surface objects with the current object id. A null font means the
// default font (g_DefaultFont).
#pragma once

#include <cstdint>

class CDDrawSprite;
class CFontBase;
class CImage;
class CScreenManager;
class CTextObject;

// The text in a texture of the EPixelFormat code: CTextObject::SetText's status; 2 no memory.
uint32_t CreateTextObject(CScreenManager& screen, CTextObject** out, uint32_t format, const char* text,
                          CFontBase* font);
// CDDrawSprite::SetText's status; 2 no memory.
uint32_t CreateDDrawSprite(CScreenManager& screen, CDDrawSprite** out, const char* text, CFontBase* font);
// A 32-bit image just large enough for the text, with the image flags: the status of making it
// from the text; 6 no memory.
uint32_t CreateTextImage(CScreenManager& screen, CImage** out, const char* text, CFontBase* font, uint32_t flags);
