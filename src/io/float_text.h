#pragma once

// Decimal text for floats as the OBJ and MTL files write them: printf's "%.6g" of the value widened
// to double (at most 6 significant digits, trailing zeros dropped, exponent form below 1e-4 and
// from 1e6 on: 1, 0.5, -2.25, 1e-07, 1.23457e+08). Exactly printf's output, several times faster.
namespace orva::io {

// Needed room for formatG6's output; it writes no terminating zero.
inline constexpr int kFloatG6MaxChars = 16;

// Writes the text at `out` and returns the end of what it wrote.
char* formatG6(char* out, float value);

} // namespace orva::io
