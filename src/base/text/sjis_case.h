// Case changes of Shift-JIS text as the engine makes them: ASCII letters only, with two-byte
// characters stepped over whole so that a second byte in 'A' to 'Z' or 'a' to 'z' is kept. The
// text is read as code page 932 reads it, as the system's case change does: a half-width kana is
// a character of its own, so the letter after it changes too ("ｱb" and "ｱB" are one name).
#pragma once

#include <string>

void LowerSjis(std::string& text);
void UpperSjis(std::string& text);
void LowerSjis(char* text);
