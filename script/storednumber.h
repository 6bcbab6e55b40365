#pragma once

#include <QString>

/// The numeric value of a number stored as text in a game's files, read the same way by both
/// programs.
namespace StoredNumber {

/// The number @p text starts with: leading blanks skipped, then sign, digits, decimals and an
/// exponent followed by digits ("2.5e1" is 25, "30em" is 30, "100ms" is 100); 0 when the text
/// does not start with a number.
double leadingNumber(const QString &text);

/// @p value rounded to a whole number, halves to the even neighbour, clamped to int.
int roundHalfEven(double value);

/// The reveal interval in milliseconds that a WordInterval text stands for: its leading number
/// rounded half to even. May be 0 or negative; the caller decides what those mean.
int intervalMs(const QString &wordInterval);

} // namespace StoredNumber
