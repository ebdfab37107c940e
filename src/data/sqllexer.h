#pragma once
// The tokens of the Access SQL dialect: names, [bracketed] names, text,
// numbers, #dates# and operators, with the places they stand at.

#include <QString>
#include <vector>

namespace AccessSql {

enum class TokenType { End, Ident, Bracket, String, Number, Date, Op };

struct Token {
    TokenType type = TokenType::End;
    QString text; // identifier or operator text; literal value for strings
    QString upper;
    int pos = 0;
};

// Raises TranslateError naming the place in src and what is wrong there.
[[noreturn]] void failAt(const QString& src, int pos, const QString& what);

// The tokens of a statement, ended by one of type End.
std::vector<Token> tokenize(const QString& s);

// 'text' with its quotes doubled.
QString quoteLiteral(const QString& s);

// The dialect's own words (upper case), which are no names.
bool isReserved(const QString& up);

// The words the server reserves, also as names (lower case).
bool serverReserved(const QString& lower);

} // namespace AccessSql
