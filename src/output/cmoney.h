#pragma once
// Money amounts in Chinese capitals (大写金额) as financial documents write
// them: 12.5 is 壹拾贰元伍角整.

#include <QString>
#include <QVariant>

namespace CMoney {

// The capital of a digit 0 to 9; anything else gives "".
QString DigitWord(const QVariant& digit);
// The amount (a number, or a text holding one) in capitals. Empty text, 0
// and text that is no number give a single blank. Digits after the second
// decimal are dropped, not rounded.
QString AmountInCapitals(const QVariant& amount);

} // namespace CMoney
