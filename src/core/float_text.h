// The shortest text of a float that reads back to the same value, as std::to_chars writes it,
// also where the C++ library has no floating-point to_chars (the web's).
#pragma once
#include <string>

// std::to_chars(float) where the library has it, FloatTextByPrintf otherwise.
std::string ShortestFloatText(float v);
// The same text built from printf's correctly rounded digits: the fewest that read back, in
// plain or scientific form, whichever is shorter (plain on a tie).
std::string FloatTextByPrintf(float v);
