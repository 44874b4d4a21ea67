// Case changes of Shift-JIS text as the engine makes them: ASCII letters only, with two-byte
// characters stepped over whole so that a second byte in 'A' to 'Z' or 'a' to 'z' is kept.
#pragma once

#include <string>

void LowerSjis(std::string& text);
void UpperSjis(std::string& text);
void LowerSjis(char* text);
