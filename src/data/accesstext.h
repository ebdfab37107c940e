#pragma once
// Access's way of turning values into text and text into numbers: the rules
// behind the & operator, CStr, Val and Format.

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <optional>
#include <string>

namespace acc {

// A number as Access writes it: up to 15 significant digits, no trailing
// zeros, an exponent only below 1E-11 or from 1E+15 on.
std::string numberText(double value);
QString numberQText(double value);

// True for the integer types a QVariant may hold.
bool isIntegerType(int typeId);

// The text form of any value (Null gives the empty text).
QString valueText(const QVariant& value);

// Val: blanks, tabs and line feeds are dropped, then the leading number is read.
double val(const char* text, std::size_t length);
double val(const QString& text);

// The value of a text that holds nothing but a number (blanks around it and
// thousands separators allowed), as Access's IsNumeric sees it.
std::optional<double> numericValue(const QString& text);

// A date or date and time written as text (yyyy-MM-dd, optionally hh:mm[:ss]).
std::optional<QDateTime> parseDateText(const QString& text);

// Format(value, pattern). Null gives "".
QString format(const QVariant& value, const QString& pattern);
QString formatNumber(double value, const QString& pattern);
QString formatDate(const QDateTime& value, const QString& pattern);

} // namespace acc
