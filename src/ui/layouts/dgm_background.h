// The background picture of a layout file on a draw layer, shared by the layout's two readers.
#pragma once

#include <string>

class CDrawLayer;
class CImage;
class CScreenManager;

// Loads the picture (at its own depth with keep_depth, else 32-bit) into `background` and makes
// it the layer's background: false when there is no layer or either step fails; `background`
// then holds whatever was loaded, for RemoveDgmBackground.
bool ShowDgmBackground(CScreenManager& screen, CDrawLayer* layer, const std::string& name, bool keep_depth,
                       CImage*& background);
// Takes the picture off the layer (when there is one) and deletes it; null afterwards.
void RemoveDgmBackground(CScreenManager& screen, CDrawLayer* layer, CImage*& background);
