#pragma once
// Pinyin initials of Chinese names, for searching goods and partners by the
// first letters of their syllables (苹果A1 gives PGA).

#include <QString>

// The initials of every character of the text, upper-case letters only.
QString GetPinyinInitials(const QString& text);
// The initial of one character (a code point): "", one letter, or three
// blanks for double-byte symbols, which the caller removes.
QString GetCharInitial(char32_t c);
