#include "sqllexer.h"

#include "dberror.h"

#include <QDate>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTime>

namespace AccessSql {

namespace {

bool isIdentStart(QChar c) {
    return c.isLetter() || c == '_' || c.unicode() > 127;
}
bool isIdentPart(QChar c) {
    return c.isLetterOrNumber() || c == '_' || c == '$' || c.unicode() > 127;
}
// Dates written as #...# become text in the stored form yyyy-MM-dd[ hh:mm:ss].
// The date is y-m-d or m/d/y as Access reads it; the time may carry AM or PM.
QString dateLiteral(const QString& src, int pos, const QString& body) {
    QString b = body.trimmed().toUpper();
    int ampm = 0; // 1 AM, 2 PM
    if (b.endsWith(QLatin1String("AM")) || b.endsWith(QLatin1String("PM"))) {
        ampm = b.endsWith(QLatin1String("PM")) ? 2 : 1;
        b.chop(2);
        b = b.trimmed();
    }
    QString date, time;
    for (const QString& part : b.split(' ', Qt::SkipEmptyParts)) {
        if (part.contains(':') && time.isEmpty())
            time = part;
        else if (date.isEmpty() && (part.contains('/') || part.contains('-')))
            date = part;
        else
            failAt(src, pos, QStringLiteral("无效的日期常量"));
    }
    if (ampm && time.isEmpty()) failAt(src, pos, QStringLiteral("无效的时间常量"));
    QString out;
    if (!date.isEmpty()) {
        int y = 0, m = 0, d = 0;
        const QStringList dp = date.split(QRegularExpression("[-/]"));
        if (dp.size() == 3) {
            if (dp[0].size() == 4) {
                y = dp[0].toInt();
                m = dp[1].toInt();
                d = dp[2].toInt();
            } else {
                m = dp[0].toInt();
                d = dp[1].toInt();
                y = dp[2].toInt();
                // a two-digit year as Access reads it: 00 to 29 this century, 30 to 99 the last
                if (dp[2].size() <= 2) y += y < 30 ? 2000 : 1900;
            }
        }
        // the dates Access keeps lie in the years 100 to 9999
        const QDate qd(y, m, d);
        if (!qd.isValid() || y < 100 || y > 9999) failAt(src, pos, QStringLiteral("无效的日期常量"));
        out = qd.toString("yyyy-MM-dd");
    }
    if (!time.isEmpty()) {
        const QStringList tp = time.split(':');
        bool okH = false;
        int h = tp.value(0).toInt(&okH);
        if (ampm) {
            if (h < 1 || h > 12) okH = false;
            h = h % 12 + (ampm == 2 ? 12 : 0);
        }
        const QTime qt(h, tp.value(1).toInt(), tp.value(2).toInt());
        if (!okH || tp.size() > 3 || !qt.isValid()) failAt(src, pos, QStringLiteral("无效的时间常量"));
        if (!out.isEmpty()) out += ' ';
        out += qt.toString("hh:mm:ss");
    }
    if (out.isEmpty()) failAt(src, pos, QStringLiteral("无效的日期常量"));
    return out;
}

} // namespace

QString quoteLiteral(const QString& s) {
    QString out = s;
    out.replace('\'', "''");
    return '\'' + out + '\'';
}

[[noreturn]] void failAt(const QString& src, int pos, const QString& what) {
    const QString near = src.mid(pos, 20).simplified();
    throw TranslateError(QStringLiteral("SQL 语句无法解析: 第 %1 个字符处%2: %3")
                             .arg(pos + 1)
                             .arg(near.isEmpty() ? QStringLiteral("(语句末尾)") : "「" + near + "」")
                             .arg(what));
}

std::vector<Token> tokenize(const QString& s) {
    std::vector<Token> out;
    const int n = s.size();
    int i = 0;
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        // The dialect has no comments: "--" is two minus signs (x--5 is x+5).
        Token t;
        t.pos = i;
        if (c == '\'' || c == '"') {
            QString v;
            int j = i + 1;
            for (;;) {
                if (j >= n) failAt(s, i, QStringLiteral("文本常量没有结束"));
                if (s[j] == c) {
                    if (j + 1 < n && s[j + 1] == c) {
                        v += c;
                        j += 2;
                        continue;
                    }
                    break;
                }
                v += s[j++];
            }
            t.type = TokenType::String;
            t.text = v;
            i = j + 1;
        } else if (c == '[') {
            const int end = s.indexOf(']', i + 1);
            if (end < 0) failAt(s, i, QStringLiteral("方括号名称没有结束"));
            t.type = TokenType::Bracket;
            t.text = s.mid(i, end - i + 1);
            t.upper = s.mid(i + 1, end - i - 1).toUpper();
            i = end + 1;
        } else if (c == '#') {
            const int end = s.indexOf('#', i + 1);
            if (end < 0) failAt(s, i, QStringLiteral("日期常量没有结束"));
            t.type = TokenType::Date;
            t.text = dateLiteral(s, i, s.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (c.isDigit() || (c == '.' && i + 1 < n && s[i + 1].isDigit())) {
            int j = i;
            while (j < n && s[j].isDigit())
                ++j;
            if (j < n && s[j] == '.') {
                ++j;
                while (j < n && s[j].isDigit())
                    ++j;
            }
            if (j < n && (s[j] == 'e' || s[j] == 'E')) {
                int k = j + 1;
                if (k < n && (s[k] == '+' || s[k] == '-')) ++k;
                if (k < n && s[k].isDigit()) {
                    while (k < n && s[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            if (j < n && isIdentStart(s[j])) failAt(s, i, QStringLiteral("数字后面不能直接跟名称"));
            t.type = TokenType::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (isIdentStart(c)) {
            int j = i + 1;
            while (j < n && isIdentPart(s[j]))
                ++j;
            t.type = TokenType::Ident;
            t.text = s.mid(i, j - i);
            t.upper = t.text.toUpper();
            i = j;
        } else if (c == '@') {
            int j = i + 1;
            while (j < n && isIdentPart(s[j]))
                ++j;
            failAt(s, i, QStringLiteral("参数 %1 没有给出值").arg(s.mid(i, j - i)));
        } else {
            static const char* const two[] = {"<>", "<=", ">=", "!="};
            QString op;
            for (const char* o : two)
                if (s.mid(i, 2) == QLatin1String(o)) op = QLatin1String(o);
            if (op == "!=") op = "<>";
            if (op.isEmpty()) {
                if (!QStringLiteral("=<>+-*/\\^&(),.;").contains(c))
                    failAt(s, i, QStringLiteral("无法识别的字符"));
                op = c;
            }
            t.type = TokenType::Op;
            t.text = op;
            i += op.size();
        }
        out.push_back(std::move(t));
    }
    Token end;
    end.pos = n;
    out.push_back(end);
    return out;
}

bool isReserved(const QString& up) {
    static const QSet<QString> words = {
        "SELECT", "FROM",   "WHERE",    "GROUP",       "HAVING",  "ORDER",  "UNION", "BY",   "ON",   "JOIN",
        "LEFT",   "RIGHT",  "INNER",    "OUTER",       "FULL",    "CROSS",  "AND",   "OR",   "NOT",  "XOR",
        "IS",     "NULL",   "IN",       "LIKE",        "BETWEEN", "AS",     "ASC",   "DESC", "INTO", "VALUES",
        "SET",    "TOP",    "DISTINCT", "DISTINCTROW", "ALL",     "EXISTS", "MOD",   "WHEN", "THEN", "ELSE",
        "END",    "INSERT", "UPDATE",   "DELETE",      "TRUE",    "FALSE"};
    return words.contains(up);
}

// The words the server reserves, also as names (pg_get_keywords, categories R and T).
bool serverReserved(const QString& lower) {
    static const QSet<QString> words = [] {
        QSet<QString> w;
        for (const QString& k :
             QStringLiteral(
                 "all analyse analyze and any array as asc asymmetric authorization binary both case cast "
                 "check "
                 "collate collation column concurrently constraint create cross current_catalog current_date "
                 "current_role current_schema current_time current_timestamp current_user default deferrable "
                 "desc distinct do else end except false fetch for foreign freeze from full grant group "
                 "having "
                 "ilike in initially inner intersect into is isnull join lateral leading left like limit "
                 "localtime localtimestamp natural not notnull null offset on only or order outer overlaps "
                 "placing primary references returning right select session_user similar some symmetric "
                 "table "
                 "tablesample then to trailing true union unique user using variadic verbose when where "
                 "window "
                 "with")
                 .split(' '))
            w.insert(k);
        return w;
    }();
    return words.contains(lower);
}

} // namespace AccessSql
