#pragma once
// Field text to number: what the user typed into a field, as a double.

#include <string_view>

namespace calc {

// The number a field's text stands for. Never fails on ordinary text.
//   "1 500" -> 1500     "3.5mm" -> 3.5    "1,5" -> 1       ".5" -> 0.5
//   "&H10" -> 16        "&O17" -> 15      "&HFFFF" -> -1   "abc" -> 0
//   "1.5E3" -> 1500     "+5" -> 5         "１５００" -> 1500 "3。5" -> 3.5
// Blanks, tabs, line feeds, carriage returns and the ideographic space are
// dropped wherever they stand. Only the full stop is a decimal separator,
// whatever the locale. Fails with ArithmeticFailure (OutOfRange) only for a
// number beyond the double range, such as 1 followed by 400 zeros.
double TextToNumber(std::string_view text);

}  // namespace calc
