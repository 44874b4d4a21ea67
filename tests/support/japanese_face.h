// The Shift-JIS name of the Japanese gothic face that games ask for most; the font layer maps it to
// the installed Japanese sans-serif face.
#pragma once

inline constexpr char kGothic[] = "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E";  // ＭＳ ゴシック
