#pragma once
// The number fields of the forms: quantities, weights and prices.

#include <QString>
#include <optional>

// The value of a number field. A blank field is 0. Otherwise the text, blanks
// around it aside, must be one number as the key filter lets it be typed:
// digits with at most one decimal point ("12", "0.5", ".5", "3."). Anything
// else, "1.2.3" or "12a" among them, has no value.
std::optional<double> NumberFieldValue(const QString& text);
// The same, with a leading "-" allowed when signAllowed (the bill grids take one).
std::optional<double> NumberValue(const QString& text, bool signAllowed);

// The refusal of a field whose text is not one number.
QString NotANumberMessage(const QString& label);
