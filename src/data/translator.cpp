#include "translator.h"

#include "dberror.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTime>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace AccessSql {

namespace {

enum class T { End, Ident, Bracket, String, Number, Date, Op };

struct Token {
    T type = T::End;
    QString text; // identifier or operator text; literal value for strings
    QString upper;
    int pos = 0;
};

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
            t.type = T::String;
            t.text = v;
            i = j + 1;
        } else if (c == '[') {
            const int end = s.indexOf(']', i + 1);
            if (end < 0) failAt(s, i, QStringLiteral("方括号名称没有结束"));
            t.type = T::Bracket;
            t.text = s.mid(i, end - i + 1);
            t.upper = s.mid(i + 1, end - i - 1).toUpper();
            i = end + 1;
        } else if (c == '#') {
            const int end = s.indexOf('#', i + 1);
            if (end < 0) failAt(s, i, QStringLiteral("日期常量没有结束"));
            t.type = T::Date;
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
            t.type = T::Number;
            t.text = s.mid(i, j - i);
            i = j;
        } else if (isIdentStart(c)) {
            int j = i + 1;
            while (j < n && isIdentPart(s[j]))
                ++j;
            t.type = T::Ident;
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
            t.type = T::Op;
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

enum Prec {
    P_OR = 1,
    P_AND = 2,
    P_NOT = 3,
    P_EQ = 4,
    P_REL = 5,
    P_ADD = 7,
    P_MUL = 8,
    P_UNARY = 10,
    P_PRIMARY = 12
};

struct Ex {
    QString sql;
    int prec = P_PRIMARY;
    bool text = false;    // yields text, so comparisons with it ignore case
    bool column = false;  // a plain column reference, which has its column's collation
    bool literal = false; // a literal, whose type the server takes from the other side
    bool cond = false;    // a truth value (a comparison, And, Or, Not, ...), not a number
};

QString wrap(const Ex& e, int minPrec) {
    return e.prec < minPrec ? '(' + e.sql + ')' : e.sql;
}

class Parser {
public:
    Parser(const QString& src, Dialect dialect)
        : m_src(src), m_toks(tokenize(src)), m_pg(dialect == Dialect::Postgres) {
        m_match.assign(m_toks.size(), -1);
        std::vector<int> open;
        for (std::size_t k = 0; k < m_toks.size(); ++k) {
            const Token& t = m_toks[k];
            m_hasUnion |= t.type == T::Ident && t.upper == QLatin1String("UNION");
            if (t.type != T::Op) continue;
            if (t.text == QLatin1String("(")) {
                open.push_back(static_cast<int>(k));
            } else if (t.text == QLatin1String(")") && !open.empty()) {
                m_match[static_cast<std::size_t>(open.back())] = static_cast<int>(k);
                open.pop_back();
            }
        }
    }

    QString statement() {
        QString out;
        if (isKw("SELECT") || opensSelect(0))
            out = selectStatement();
        else if (isKw("INSERT"))
            out = insertStatement();
        else if (isKw("UPDATE"))
            out = updateStatement();
        else if (isKw("DELETE"))
            out = deleteStatement();
        else if (isKw("CREATE") && isKw("VIEW", 1))
            out = createView();
        else if (isKw("EXPLAIN")) {
            next();
            QString head = "EXPLAIN ";
            if (acceptKw("QUERY")) {
                expectKw("PLAN");
                if (!m_pg) head += "QUERY PLAN ";
            }
            if (isKw("EXPLAIN")) fail(QStringLiteral("应为 SELECT、INSERT、UPDATE 或 DELETE 语句"));
            return head + statement();
        } else if (peek().type == T::End)
            fail(QStringLiteral("语句为空"));
        else if (isPassThrough())
            return passThrough();
        else
            fail(QStringLiteral("应为 SELECT、INSERT、UPDATE 或 DELETE 语句"));
        acceptOp(";");
        if (peek().type != T::End) fail(QStringLiteral("语句在此处应当结束"));
        return out;
    }

private:
    const QString& m_src;
    std::vector<Token> m_toks;
    const bool m_pg;                        // written for the server, not for SQLite
    bool m_inView = false;                  // a view's columns keep the server's folded names
    int m_derived = 0;                      // derived tables named so far (the server wants a name for each)
    QHash<QString, QString> m_outerAliases; // the outer select's aliases that keep their case, by lower case
    std::vector<int> m_match;               // index of the ")" that closes each "(" token
    std::size_t m_i = 0;
    int m_depth = 0;   // nesting of selects
    int m_nesting = 0; // nesting of expressions: a limit keeps the stack safe

    struct NestGuard {
        Parser& p;
        explicit NestGuard(Parser& parser) : p(parser) {
            if (++p.m_nesting > 400) p.fail(QStringLiteral("表达式嵌套太深"));
        }
        ~NestGuard() { --p.m_nesting; }
    };
    bool m_hasUnion = false;

    // The "(" at offset k starts a bracketed select, "(select ...)" or
    // "((select ...) union ...)", that is followed by what can only end a
    // select: union, order by or a closing bracket. "((select ...) + 1)" is an
    // expression that merely starts with a subquery.
    bool bracketedSelectAt(int k) const {
        int j = k;
        while (isOp("(", j))
            ++j;
        if (j == k || !isKw("SELECT", j)) return false;
        const std::size_t at = m_i + static_cast<std::size_t>(k);
        if (at >= m_match.size() || m_match[at] < 0) return false;
        const int after = m_match[at] + 1 - static_cast<int>(m_i);
        return isKw("UNION", after) || isKw("ORDER", after) || isOp(")", after);
    }
    // "(" at k opens a group whose content is a select statement.
    bool opensSelect(int k) const {
        return isOp("(", k) && (isKw("SELECT", k + 1) || bracketedSelectAt(k + 1));
    }

    const Token& peek(int k = 0) const {
        const std::size_t j = std::min(m_i + static_cast<std::size_t>(k), m_toks.size() - 1);
        return m_toks[j];
    }
    const Token& next() {
        const Token& t = m_toks[m_i];
        if (m_i + 1 < m_toks.size()) ++m_i;
        return t;
    }
    bool isKw(const char* kw, int k = 0) const {
        const Token& t = peek(k);
        return t.type == T::Ident && t.upper == QLatin1String(kw);
    }
    bool isOp(const char* op, int k = 0) const {
        const Token& t = peek(k);
        return t.type == T::Op && t.text == QLatin1String(op);
    }
    bool acceptKw(const char* kw) {
        if (!isKw(kw)) return false;
        next();
        return true;
    }
    bool acceptOp(const char* op) {
        if (!isOp(op)) return false;
        next();
        return true;
    }
    void expectKw(const char* kw) {
        if (!acceptKw(kw)) fail(QStringLiteral("应为 %1").arg(QLatin1String(kw)));
    }
    void expectOp(const char* op) {
        if (!acceptOp(op)) fail(QStringLiteral("应为「%1」").arg(QLatin1String(op)));
    }
    [[noreturn]] void fail(const QString& what) const { failAt(m_src, peek().pos, what); }

    bool isPassThrough() const {
        static const QSet<QString> words = {"CREATE", "DROP",   "ALTER",    "PRAGMA",  "VACUUM",
                                            "BEGIN",  "COMMIT", "ROLLBACK", "ANALYZE", "REINDEX"};
        return peek().type == T::Ident && words.contains(peek().upper);
    }
    // Definitions and engine commands are passed on as written.
    QString passThrough() {
        QString text = m_src.mid(peek().pos).trimmed();
        while (text.endsWith(';'))
            text.chop(1);
        return text.trimmed();
    }

    QString name() {
        const Token& t = peek();
        if (t.type == T::Bracket) return bracketName(next().text);
        if (t.type == T::Ident && !isReserved(t.upper)) return engineName(next().text);
        fail(QStringLiteral("应为名称"));
    }
    // [name]: SQLite takes the brackets as they are; the server a name of its own.
    QString bracketName(const QString& bracketed) const {
        return m_pg ? serverName(bracketed.mid(1, bracketed.size() - 2)) : bracketed;
    }
    // table, alias.column, [bracketed] names joined with dots
    QString dottedName() {
        QString out = name();
        while (isOp(".")) {
            next();
            out += '.' + name();
        }
        return out;
    }
    std::optional<QString> alias(bool keepCase = false) {
        const bool as = acceptKw("AS");
        const Token& t = peek();
        if (as && t.type == T::String) { // AS 'name': a quoted name that no text can break out of
            QString n = next().text;
            return '"' + n.replace('"', "\"\"") + '"';
        }
        if (t.type == T::Ident && !isReserved(t.upper)) {
            const QString written = next().text;
            // the server folds names to lower case: the outer select's names keep the case they are written
            // in
            if (keepCase && written != written.toLower()) {
                const QString quoted = '"' + written + '"';
                m_outerAliases.insert(written.toLower(), quoted);
                return quoted;
            }
            return engineName(written);
        }
        if (t.type == T::Bracket) return bracketName(next().text);
        if (as) fail(QStringLiteral("应为名称"));
        return std::nullopt;
    }
    // A derived table's name: the server wants one for each.
    QString derivedAlias() {
        if (auto given = alias()) return " AS " + *given;
        return derivedName();
    }
    static QString quoteIdent(const QString& s) { return '[' + s + ']'; }
    // The column of a dotted name: what follows the last dot outside brackets.
    static QString lastNamePart(const QString& dotted) {
        int depth = 0;
        for (int k = dotted.size() - 1; k >= 0; --k) {
            if (dotted[k] == ']')
                ++depth;
            else if (dotted[k] == '[')
                --depth;
            else if (dotted[k] == '.' && depth == 0)
                return dotted.mid(k + 1);
        }
        return dotted;
    }
    // Words the engine reserves but the dialect does not (limit, using,
    // except, ...) are plain names here and are bracketed in the output.
    QString engineName(const QString& s) const {
        // the engine's keywords are ASCII words of at most 17 letters
        char word[18];
        if (s.size() > 17) return s;
        for (int k = 0; k < s.size(); ++k) {
            const char16_t c = s[k].unicode();
            if (c > 127) return s;
            word[k] = static_cast<char>(c);
        }
        if (m_pg) return serverName(s);
        return sqlite3_keyword_check(word, static_cast<int>(s.size())) ? quoteIdent(s) : s;
    }

    // ---- statements ----

    QString createView() {
        expectKw("CREATE");
        expectKw("VIEW");
        const QString viewName = dottedName();
        expectKw("AS");
        m_inView = true;
        return "CREATE VIEW " + viewName + " AS " + selectStatement();
    }

    QString insertStatement() {
        expectKw("INSERT");
        expectKw("INTO");
        QString out = "INSERT INTO " + dottedName();
        if (isOp("(") && !opensSelect(0)) {
            next();
            QStringList cols;
            do
                cols << dottedName();
            while (acceptOp(","));
            expectOp(")");
            out += " (" + cols.join(", ") + ")";
        }
        if (acceptKw("VALUES")) {
            QStringList rows;
            do {
                expectOp("(");
                QStringList vals;
                do
                    vals << expr().sql;
                while (acceptOp(","));
                expectOp(")");
                rows << '(' + vals.join(", ") + ')';
            } while (acceptOp(","));
            return out + " VALUES " + rows.join(", ");
        }
        if (isKw("SELECT") || opensSelect(0)) return out + ' ' + selectStatement();
        fail(QStringLiteral("应为 VALUES 或 SELECT"));
    }

    QString updateStatement() {
        expectKw("UPDATE");
        QString out = "UPDATE " + dottedName();
        if (auto a = alias()) out += " AS " + *a;
        expectKw("SET");
        QStringList sets;
        QHash<QString, int> setAt; // a column set twice keeps its last value, as on SQLite
        do {
            QString col = dottedName(); // the engine takes no table name before a column here
            if (isOp(".")) fail(QStringLiteral("应为「=」"));
            col = lastNamePart(col);
            expectOp("=");
            const QString set = col + " = " + expr().sql;
            const QString key = col.toLower().remove('[').remove(']').remove('"');
            if (m_pg && setAt.contains(key)) {
                sets[setAt.value(key)] = set;
            } else {
                setAt.insert(key, static_cast<int>(sets.size()));
                sets << set;
            }
        } while (acceptOp(","));
        out += " SET " + sets.join(", ");
        if (acceptKw("WHERE")) out += " WHERE " + condition(expr());
        return out;
    }

    QString deleteStatement() {
        expectKw("DELETE");
        if (acceptOp("*")) {
        } else if (peek().type != T::End && !isKw("FROM") && isOp(".", 1)) {
            name(); // DELETE t.* FROM t
            expectOp(".");
            expectOp("*");
        }
        expectKw("FROM");
        const QString table = dottedName();
        QString out = "DELETE FROM " + table;
        if (acceptKw("WHERE")) {
            out += " WHERE " + condition(expr());
        } else if (m_pg && table.startsWith(QLatin1String("temp_"), Qt::CaseInsensitive)) {
            // a report table emptied for its refill: the server never vacuums a program's own
            // tables, and deleted rows would pile up in it refill after refill
            out = "TRUNCATE " + table;
        }
        return out;
    }

    struct Core {
        QString sql;
        std::optional<qint64> top;
        int items = -1;        // the columns of its select list, -1 for one with a star
        bool distinct = false; // its order may only name its columns
    };

    QString selectStatement() {
        NestGuard nest(*this);
        std::vector<Core> arms;
        QStringList ops;
        for (;;) {
            if (opensSelect(0)) {
                next();
                const QString inner = selectStatement();
                expectOp(")");
                arms.push_back({"SELECT * FROM (" + inner + ")" + derivedName(), std::nullopt});
            } else {
                arms.push_back(selectCore());
            }
            if (acceptKw("UNION")) {
                ops << (acceptKw("ALL") ? " UNION ALL " : " UNION ");
                continue;
            }
            break;
        }
        QString order;
        if (acceptKw("ORDER")) {
            expectKw("BY");
            order = " ORDER BY " + orderList(arms.size() > 1 || arms.front().distinct);
        } else if (m_pg && ops.contains(QStringLiteral(" UNION ")) && arms.front().items > 0) {
            // SQLite's duplicate removal gives the rows in order: so does the server here
            QStringList columns;
            for (int k = 1; k <= arms.front().items; ++k)
                columns << QString::number(k) + " NULLS FIRST";
            order = " ORDER BY " + columns.join(", ");
        }
        if (arms.size() == 1) {
            QString out = arms[0].sql + order;
            if (arms[0].top) out += " LIMIT " + QString::number(*arms[0].top);
            return out;
        }
        // A top in one arm of a union keeps its own limit inside a wrapper.
        QString out;
        for (std::size_t k = 0; k < arms.size(); ++k) {
            if (k > 0) out += ops[static_cast<int>(k - 1)];
            out += arms[k].top ? "SELECT * FROM (" + arms[k].sql + " LIMIT " + QString::number(*arms[k].top) +
                                     ")" + derivedName()
                               : arms[k].sql;
        }
        return out + order;
    }

    struct DepthGuard {
        int& d;
        explicit DepthGuard(int& depth) : d(depth) { ++d; }
        ~DepthGuard() { --d; }
    };

    Core selectCore() {
        DepthGuard guard(m_depth);
        expectKw("SELECT");
        Core c;
        QString out = "SELECT";
        if (acceptKw("DISTINCT") || acceptKw("DISTINCTROW")) {
            out += " DISTINCT";
            c.distinct = true;
        } else {
            acceptKw("ALL");
        }
        if (acceptKw("TOP")) {
            const Token& t = peek();
            bool ok = false;
            const qint64 n = t.text.toLongLong(&ok);
            if (t.type != T::Number || !ok || n < 0) fail(QStringLiteral("TOP 后应为行数"));
            next();
            if (isKw("PERCENT")) fail(QStringLiteral("不支持 TOP ... PERCENT"));
            c.top = n;
        }
        out += ' ' + selectList(c.distinct, c.items);
        if (acceptKw("INTO")) fail(QStringLiteral("不支持 SELECT ... INTO"));
        if (acceptKw("FROM")) out += " FROM " + fromClause();
        if (acceptKw("WHERE")) out += " WHERE " + condition(expr());
        if (acceptKw("GROUP")) {
            expectKw("BY");
            QStringList items;
            do {
                const Ex e = expr();
                items << (!m_pg && e.text && e.prec == P_PRIMARY && !e.column ? e.sql + " COLLATE NOCASE"
                                                                              : e.sql);
            } while (acceptOp(","));
            out += " GROUP BY " + items.join(", ");
        }
        if (acceptKw("HAVING")) out += " HAVING " + condition(expr());
        c.sql = out;
        return c;
    }

    // A derived table without a name gets one on the server.
    QString derivedName() { return m_pg ? QStringLiteral(" AS acc_d%1").arg(++m_derived) : QString(); }

    // count: the columns of the list, -1 for one with a star
    QString selectList(bool distinct, int& count) {
        QStringList items;
        bool star = false;
        do {
            if (acceptOp("*")) {
                items << "*";
                star = true;
                continue;
            }
            if ((peek().type == T::Ident || peek().type == T::Bracket) && isOp(".", 1) && isOp("*", 2)) {
                const Token& t = next();
                const QString table = t.type == T::Bracket ? bracketName(t.text) : engineName(t.text);
                next();
                next();
                items << table + ".*";
                star = true;
                continue;
            }
            // computed text keeps Access's case-blind comparison in unions and derived tables
            const int from = peek().pos;
            const Ex e = expr();
            const bool nested = m_depth > 1 || m_hasUnion || distinct;
            QString item = e.sql;
            if (nested && e.text && !e.column)
                item = m_pg ? "CAST(" + e.sql + " AS citext)" : wrap(e, P_PRIMARY) + " COLLATE NOCASE";
            const bool outer = m_pg && m_depth == 1 && !m_inView;
            if (auto a = alias(outer)) {
                item += " AS " + *a;
            } else if (outer && !e.column) {
                // SQLite names an unnamed expression by its text: so does the server here
                QString written = m_src.mid(from, peek().pos - from).trimmed();
                m_outerAliases.insert(written.toLower(), '"' + written.replace('"', "\"\"") + '"');
                item += " AS " + m_outerAliases.value(written.toLower());
            }
            items << item;
        } while (acceptOp(","));
        count = star ? -1 : static_cast<int>(items.size());
        return items.join(", ");
    }

    // selectColumnsOnly: the order of a union or a DISTINCT select, which may only name its columns.
    QString orderList(bool selectColumnsOnly) {
        QStringList items;
        do {
            const Ex e = expr();
            QString item;
            if (!m_pg) {
                item = e.text && !e.column ? wrap(e, P_PRIMARY) + " COLLATE NOCASE" : e.sql;
            } else if (e.column && m_depth == 0 && m_outerAliases.contains(e.sql.toLower())) {
                item = m_outerAliases.value(e.sql.toLower()); // a name of the outer select, as written there
            } else if (!selectColumnsOnly && (e.column || e.text)) {
                // text sorts without case and byte by byte, as SQLite's NOCASE sorts it, whatever
                // the server's locale; each value's key is made once
                item = "acc_key(" + (e.text && !e.column ? "CAST(" + e.sql + " AS citext)" : e.sql) + ')';
            } else {
                item = e.sql;
            }
            // SQLite puts Null first in a rising order, the server last
            if (acceptKw("DESC"))
                item += m_pg ? " DESC NULLS LAST" : " DESC";
            else if (acceptKw("ASC") || m_pg)
                item += m_pg ? " NULLS FIRST" : " ASC";
            items << item;
        } while (acceptOp(","));
        return items.join(", ");
    }

    QString fromClause() {
        QString out = tableRef();
        for (;;) {
            if (acceptOp(",")) {
                out += ", " + tableRef();
                continue;
            }
            QString join;
            if (acceptKw("INNER"))
                join = " INNER JOIN ";
            else if (acceptKw("LEFT")) {
                acceptKw("OUTER");
                join = " LEFT JOIN ";
            } else if (acceptKw("RIGHT")) {
                acceptKw("OUTER");
                join = " RIGHT JOIN ";
            } else if (acceptKw("CROSS"))
                join = " CROSS JOIN ";
            else if (isKw("JOIN"))
                join = " JOIN ";
            else
                break;
            expectKw("JOIN");
            out += join + tableRef();
            if (acceptKw("ON")) out += " ON " + condition(expr());
        }
        return out;
    }

    QString tableRef() {
        NestGuard nest(*this);
        QString out;
        if (opensSelect(0)) {
            next();
            out = '(' + selectStatement() + ')';
            expectOp(")");
            return out + derivedAlias();
        }
        if (acceptOp("(")) {
            out = '(' + fromClause() + ')';
            expectOp(")");
        } else {
            out = dottedName();
        }
        if (auto a = alias()) out += " AS " + *a;
        return out;
    }

    // ---- expressions, lowest precedence first ----

    Ex expr() {
        NestGuard guard(*this);
        return xorExpr();
    }

    // An expression where a truth value is wanted: the server takes no number
    // there, so a number is true when it is not 0, as on SQLite.
    QString condition(const Ex& e) const {
        if (!m_pg || e.cond) return e.sql;
        if (e.sql == QLatin1String("1")) return QStringLiteral("true");
        if (e.sql == QLatin1String("0")) return QStringLiteral("false");
        return wrap(e, P_REL) + " <> 0";
    }
    Ex conditionEx(const Ex& e) const {
        if (!m_pg || e.cond) return e;
        return {'(' + condition(e) + ')', P_PRIMARY, false, false, false, true};
    }
    static Ex truth(Ex e) {
        e.cond = true;
        return e;
    }
    // A number where text is wanted: text as Access writes it (the server
    // matches no text with a number on its own).
    QString asText(const Ex& e) const {
        if (!m_pg || e.text || e.sql == QLatin1String("NULL")) return e.sql;
        return "acc_str(" + e.sql + ')';
    }

    // Chains of one operator are written by appending to the left operand's
    // text, so a long chain costs time in proportion to its length.
    static void appendOp(Ex& l, int prec, const char* op, const QString& right) {
        if (l.prec < prec) l.sql = '(' + l.sql + ')';
        l.sql += QLatin1String(op);
        l.sql += right;
        l.prec = prec;
        l.text = false;
        l.column = false;
    }

    // Xor binds more loosely than Or: a Xor b Xor c is true when an odd
    // number of its operands are true.
    Ex xorExpr() {
        Ex l = orExpr();
        if (!isKw("XOR")) return l;
        auto one = [this](const Ex& e) {
            return m_pg ? "(CASE WHEN " + condition(e) + " THEN 1 ELSE 0 END)" : "((" + e.sql + ") <> 0)";
        };
        QString sum = one(l);
        while (acceptKw("XOR"))
            sum += " + " + one(orExpr());
        return {"((" + sum + ") % 2 = 1)", P_PRIMARY, false, false, false, true};
    }

    Ex orExpr() {
        Ex l = andExpr();
        if (!isKw("OR")) return l;
        l = conditionEx(l);
        while (acceptKw("OR"))
            appendOp(l, P_OR, " OR ", wrap(conditionEx(andExpr()), P_OR));
        return truth(l);
    }

    Ex andExpr() {
        Ex l = notExpr();
        if (!isKw("AND")) return l;
        l = conditionEx(l);
        while (acceptKw("AND"))
            appendOp(l, P_AND, " AND ", wrap(conditionEx(notExpr()), P_AND));
        return truth(l);
    }

    Ex notExpr() {
        NestGuard guard(*this);
        if (acceptKw("NOT")) {
            const Ex e = conditionEx(notExpr());
            return {"NOT " + wrap(e, P_NOT), P_NOT, false, false, false, true};
        }
        return cmpExpr();
    }

    QString nocase(const Ex& e) const {
        if (m_pg) return "CAST(" + e.sql + " AS citext)";
        return wrap(e, P_PRIMARY) + " COLLATE NOCASE";
    }
    // On the server text columns are citext and compare without case; computed
    // text is made citext, and a literal takes the other side's type.
    void caselessOnServer(Ex& l, Ex& r) const {
        numberMeetsColumn(l, r);
        numberMeetsColumn(r, l);
        if (!l.text && !r.text) return;
        if (l.text && !l.literal && !l.column) l = {nocase(l), P_PRIMARY};
        if (r.text && !r.literal && !r.column) r = {nocase(r), P_PRIMARY};
        if (l.literal && r.literal) r = {nocase(r), P_PRIMARY};
    }

    // A number met with a column takes the column's type, as SQLite's column
    // affinity makes it: on the server it is written as a literal of no type
    // (a text column compares it as text, a number column as a number).
    void numberMeetsColumn(Ex& number, const Ex& other) const {
        if (!m_pg || !number.literal || number.text || !other.column) return;
        QString raw = number.sql;
        raw.remove(QLatin1String("float8 ")).remove('\'');
        number = {'\'' + raw + '\'', P_PRIMARY, false, false, true};
    }

    void compare(Ex& l, const QString& op, Ex r) {
        const int p = (op == "=" || op == "<>") ? P_EQ : P_REL;
        if (m_pg) {
            caselessOnServer(l, r);
            appendOp(l, p, "", ' ' + op + ' ' + wrap(r, p + 1));
        } else {
            const QString rs = (l.text || r.text) ? nocase(r) : wrap(r, p + 1);
            appendOp(l, p, "", ' ' + op + ' ' + rs);
        }
        l.cond = true;
    }

    void inList(Ex& l, bool negated) {
        expectOp("(");
        QString items;
        bool text = l.text;
        if (isKw("SELECT") || bracketedSelectAt(0)) {
            items = selectStatement();
        } else {
            do {
                Ex e = expr();
                numberMeetsColumn(e, l);
                text |= e.text;
                if (!items.isEmpty()) items += QLatin1String(", ");
                items += e.sql;
            } while (acceptOp(","));
        }
        expectOp(")");
        if (text && (!m_pg || (l.text && !l.column))) l = {nocase(l), P_PRIMARY, false};
        appendOp(l, P_EQ, negated ? " NOT IN (" : " IN (", items + ')');
        l.cond = true;
    }

    Ex cmpExpr() {
        Ex l = catExpr();
        for (;;) {
            const Token& t = peek();
            if (t.type == T::Op && (t.text == "=" || t.text == "<>" || t.text == "<" || t.text == ">" ||
                                    t.text == "<=" || t.text == ">=")) {
                const QString op = next().text;
                compare(l, op, catExpr());
                continue;
            }
            bool negated = false;
            if (isKw("NOT") && (isKw("LIKE", 1) || isKw("IN", 1) || isKw("BETWEEN", 1))) {
                next();
                negated = true;
            }
            if (acceptKw("LIKE")) {
                const Ex r = catExpr();
                if (m_pg) {
                    // without case and without an escape character, as in Access
                    if (!l.text) l = {"CAST(" + l.sql + " AS text)", P_PRIMARY};
                    appendOp(l, P_EQ, negated ? " NOT ILIKE " : " ILIKE ", wrap(r, P_REL) + " ESCAPE ''");
                } else {
                    appendOp(l, P_EQ, negated ? " NOT LIKE " : " LIKE ", wrap(r, P_REL));
                }
                l.cond = true;
            } else if (acceptKw("IN")) {
                inList(l, negated);
            } else if (acceptKw("BETWEEN")) {
                Ex lo = catExpr();
                expectKw("AND");
                Ex hi = catExpr();
                if (m_pg) {
                    Ex l2 = l;
                    caselessOnServer(l, lo);
                    caselessOnServer(l2, hi);
                } else if (l.text || lo.text || hi.text) {
                    l = {nocase(l), P_PRIMARY, false};
                }
                appendOp(l, P_EQ, negated ? " NOT BETWEEN " : " BETWEEN ",
                         wrap(lo, P_REL) + " AND " + wrap(hi, P_REL));
                l.cond = true;
            } else if (negated) {
                fail(QStringLiteral("NOT 后应为 LIKE、IN 或 BETWEEN"));
            } else if (acceptKw("IS")) {
                const bool isNot = acceptKw("NOT");
                expectKw("NULL");
                appendOp(l, P_EQ, isNot ? " IS NOT NULL" : " IS NULL", QString());
                l.cond = true;
            } else {
                return l;
            }
        }
    }

    // & joins its operands as text; Null counts as empty text.
    Ex catExpr() {
        Ex first = addExpr();
        if (!isOp("&")) return first;
        QString out = "acc_cat(" + asText(first);
        while (acceptOp("&")) {
            out += QLatin1String(", ");
            out += asText(addExpr());
        }
        return {out + ')', P_PRIMARY, true};
    }

    // + joins two texts (Null when either is Null) and adds anything else.
    // Where either side may be text at run time (a column) acc_add decides.
    Ex addExpr() {
        Ex first = modExpr();
        if (!isOp("+") && !isOp("-")) return first;
        bool leftText = first.text, leftMaybeText = first.text || first.column;
        bool lastWasCall = false;
        int wrappers = 0;
        QString tail;
        while (isOp("+") || isOp("-")) {
            const bool plus = next().text == QLatin1String("+");
            const Ex r = modExpr();
            if (plus && leftMaybeText && (r.text || r.column)) {
                ++wrappers;
                tail += QLatin1String(", ");
                tail += r.sql;
                tail += ')';
                leftText = leftText && r.text;
                leftMaybeText = lastWasCall = true;
            } else {
                tail += plus ? QLatin1String(" + ") : QLatin1String(" - ");
                tail += wrap(r, P_ADD + 1);
                leftText = leftMaybeText = lastWasCall = false;
            }
        }
        QString out = QStringLiteral("acc_add(").repeated(wrappers);
        out += wrappers ? first.sql : wrap(first, P_ADD);
        out += tail;
        return {out, lastWasCall ? P_PRIMARY : P_ADD, leftText};
    }

    // Left-associative function chains (a Mod b Mod c) are written as nested
    // calls with the openings counted first, in one pass.
    template <class Accept> Ex callChain(Ex first, const char* fn, Accept accept, Ex (Parser::*operand)()) {
        if (!accept()) return first;
        int n = 0;
        QString tail;
        do {
            ++n;
            tail += QLatin1String(", ");
            tail += (this->*operand)().sql;
            tail += ')';
        } while (accept());
        return {(QLatin1String(fn) + QLatin1Char('(')).repeated(n) + first.sql + tail, P_PRIMARY, false};
    }

    Ex modExpr() {
        return callChain(
            idivExpr(), "acc_mod", [this] { return acceptKw("MOD"); }, &Parser::idivExpr);
    }

    Ex idivExpr() {
        return callChain(
            mulExpr(), "acc_idiv", [this] { return acceptOp("\\"); }, &Parser::mulExpr);
    }

    Ex mulExpr() {
        Ex l = unaryExpr();
        for (;;) {
            if (acceptOp("*")) {
                appendOp(l, P_MUL, " * ", wrap(unaryExpr(), P_MUL + 1));
            } else if (acceptOp("/")) {
                // Access divides as floating point: 7/2 is 3.5; by zero gives Null as on SQLite
                if (m_pg) {
                    l = {"CAST(" + l.sql + " AS double precision) / NULLIF(CAST(" + unaryExpr().sql +
                             " AS double precision), 0)",
                         P_MUL};
                } else {
                    appendOp(l, P_MUL, " * 1.0 / ", wrap(unaryExpr(), P_MUL + 1));
                }
            } else {
                return l;
            }
        }
    }

    Ex unaryExpr() {
        NestGuard guard(*this);
        if (acceptOp("-")) {
            const Ex e = unaryExpr();
            const QString inner = wrap(e, P_UNARY);
            return {(inner.startsWith('-') ? "- " : "-") + inner, P_UNARY, false, false,
                    e.literal && !e.text};
        }
        if (acceptOp("+")) return unaryExpr();
        return powExpr();
    }

    Ex powExpr() {
        return callChain(
            primary(), "acc_pow", [this] { return acceptOp("^"); }, &Parser::powOperand);
    }

    // the right side of ^ may carry its own sign: 2^-1
    Ex powOperand() {
        if (acceptOp("-")) {
            const Ex p = primary();
            return {"-" + wrap(p, P_UNARY), P_UNARY, false};
        }
        acceptOp("+");
        return primary();
    }

    Ex primary() {
        const Token& t = peek();
        switch (t.type) {
        case T::Number: {
            // a number with a point or an exponent is a double, as on SQLite
            const QString n = next().text;
            if (m_pg && (n.contains('.') || n.contains('e') || n.contains('E')))
                return {"float8 '" + n + '\'', P_PRIMARY, false, false, true};
            return {n, P_PRIMARY, false, false, true};
        }
        case T::String:
        case T::Date:
            return {quoteLiteral(next().text), P_PRIMARY, true, false, true};
        case T::Op:
            if (t.text == "(") {
                const bool subquery = opensSelect(0);
                next();
                if (subquery) {
                    const QString q = selectStatement();
                    expectOp(")");
                    return {'(' + q + ')', P_PRIMARY, false};
                }
                const Ex e = expr();
                expectOp(")");
                return {'(' + e.sql + ')', P_PRIMARY, e.text, false, e.literal, e.cond};
            }
            fail(QStringLiteral("应为表达式"));
        case T::Bracket:
            return {dottedName(), P_PRIMARY, false, true};
        case T::Ident:
            break;
        case T::End:
            fail(QStringLiteral("语句不完整, 应为表达式"));
        }
        const QString up = t.upper;
        if (up == "TRUE") {
            next();
            return {"1", P_PRIMARY, false};
        }
        if (up == "FALSE") {
            next();
            return {"0", P_PRIMARY, false};
        }
        if (up == "NULL") {
            next();
            return {"NULL", P_PRIMARY, false};
        }
        if (up == "EXISTS") {
            next();
            expectOp("(");
            const QString q = selectStatement();
            expectOp(")");
            return {"EXISTS (" + q + ')', P_PRIMARY, false, false, false, true};
        }
        if (isOp("(", 1) && (!isReserved(up) || up == "LEFT" || up == "RIGHT")) return functionCall();
        if (isReserved(up)) fail(QStringLiteral("应为表达式"));
        return {dottedName(), P_PRIMARY, false, true};
    }

    Ex functionCall() {
        const Token nameTok = next();
        const QString fn = nameTok.upper;
        expectOp("(");
        std::vector<Ex> args;
        if (acceptOp("*")) {
            args.push_back({"*", P_PRIMARY, false});
        } else if (!isOp(")")) {
            do
                args.push_back(expr());
            while (acceptOp(","));
        }
        expectOp(")");
        auto argc = [&](std::size_t lo, std::size_t hi) {
            if (args.size() < lo || args.size() > hi)
                failAt(m_src, nameTok.pos, QStringLiteral("函数 %1 的参数个数不对").arg(nameTok.text));
        };
        auto call = [&](const QString& sqlName, bool text) {
            QStringList a;
            for (const auto& e : args)
                a << e.sql;
            return Ex{sqlName + '(' + a.join(", ") + ')', P_PRIMARY, text};
        };
        // the server takes the text of numbers where text is wanted
        auto textArg = [&](std::size_t k) {
            if (m_pg) args[k] = {asText(args[k]), P_PRIMARY, true};
        };
        // branches of one type: where one is text, the other becomes text too
        auto sameType = [&](std::size_t a, std::size_t b) {
            numberMeetsColumn(args[a], args[b]);
            numberMeetsColumn(args[b], args[a]);
            if (args[a].text || args[b].text) {
                textArg(a);
                textArg(b);
            }
        };
        if (fn == "IIF") {
            argc(3, 3);
            sameType(1, 2);
            return {"CASE WHEN " + condition(args[0]) + " THEN " + args[1].sql + " ELSE " + args[2].sql +
                        " END",
                    P_PRIMARY, args[1].text || args[2].text};
        }
        if (fn == "ISNULL") {
            argc(1, 1);
            return {'(' + wrap(args[0], P_REL) + " IS NULL)", P_PRIMARY, false, false, false, true};
        }
        if (fn == "FORMAT" || fn == "FORMAT$") {
            argc(1, 2);
            if (args.size() == 1) return call(m_pg ? "acc_str" : "acc_cstr", true);
            return call("acc_format", true);
        }
        if (fn == "VAL") {
            argc(1, 1);
            return call("acc_val", false);
        }
        if (fn == "CSTR") {
            argc(1, 1);
            return call(m_pg ? "acc_str" : "acc_cstr", true);
        }
        if (fn == "MID" || fn == "MID$") {
            argc(2, 3);
            textArg(0);
            return call("acc_mid", true);
        }
        if (fn == "NZ") {
            argc(1, 2);
            if (args.size() == 1) args.push_back({"''", P_PRIMARY, true, false, true});
            sameType(0, 1);
            return call("coalesce", args[0].text || args[1].text);
        }
        if (fn == "LEN") {
            argc(1, 1);
            textArg(0);
            return call("length", false);
        }
        if (fn == "UCASE" || fn == "UCASE$") {
            argc(1, 1);
            textArg(0);
            return call("upper", true);
        }
        if (fn == "LCASE" || fn == "LCASE$") {
            argc(1, 1);
            textArg(0);
            return call("lower", true);
        }
        if (fn == "TRIM" || fn == "LTRIM" || fn == "RTRIM") {
            argc(1, 1);
            textArg(0);
            return call(nameTok.text.toLower().remove('$'), true);
        }
        if (fn == "LEFT" || fn == "LEFT$") {
            argc(2, 2);
            textArg(0);
            if (m_pg) return {"acc_left(" + args[0].sql + ", " + args[1].sql + ')', P_PRIMARY, true};
            return {"substr(" + args[0].sql + ", 1, " + args[1].sql + ')', P_PRIMARY, true};
        }
        if (fn == "RIGHT" || fn == "RIGHT$") {
            argc(2, 2);
            textArg(0);
            return call("acc_right", true);
        }
        if (fn == "INSTR") {
            argc(2, 2);
            textArg(0);
            textArg(1);
            return call(m_pg ? "strpos" : "instr", false);
        }
        if (fn == "NOW") {
            argc(0, 0);
            if (m_pg) return {"to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS')", P_PRIMARY, true};
            return {"datetime('now', 'localtime')", P_PRIMARY, true};
        }
        if (fn == "DATE") {
            argc(0, 0);
            if (m_pg) return {"to_char(localtimestamp, 'YYYY-MM-DD')", P_PRIMARY, true};
            return {"date('now', 'localtime')", P_PRIMARY, true};
        }
        if (fn == "CDBL" || fn == "CSNG") {
            argc(1, 1);
            return {"CAST(" + args[0].sql + (m_pg ? " AS double precision)" : " AS REAL)"), P_PRIMARY, false};
        }
        if (fn == "CLNG" || fn == "CINT") {
            argc(1, 1);
            if (m_pg) return {"CAST(acc_round(" + args[0].sql + ") AS bigint)", P_PRIMARY, false};
            return {"CAST(round(" + args[0].sql + ") AS INTEGER)", P_PRIMARY, false};
        }
        if (m_pg) return serverCall(nameTok, args);
        return call(nameTok.text, false);
    }

    // SQLite's own functions that the statements use, in the server's words.
    Ex serverCall(const Token& nameTok, std::vector<Ex>& args) const {
        const QString fn = nameTok.upper;
        QStringList a;
        for (const auto& e : args)
            a << e.sql;
        const QString list = a.join(", ");
        if (fn == "ROUND") return {"acc_round(" + list + ')', P_PRIMARY};
        if (fn == "TOTAL") return {"CAST(coalesce(sum(" + list + "), 0) AS double precision)", P_PRIMARY};
        if (fn == "IFNULL") return {"coalesce(" + list + ')', P_PRIMARY, args.size() > 1 && args[1].text};
        if ((fn == "MAX" || fn == "MIN") && args.size() > 1)
            return {(fn == "MAX" ? "greatest(" : "least(") + list + ')', P_PRIMARY};
        if (fn == "LENGTH" && args.size() == 1) return {"length(" + asText(args[0]) + ')', P_PRIMARY};
        if (fn == "SUBSTR") {
            a[0] = asText(args[0]);
            return {"substr(" + a.join(", ") + ')', P_PRIMARY, true};
        }
        if (fn == "UPPER" || fn == "LOWER") return {nameTok.text + '(' + list + ')', P_PRIMARY, true};
        return {nameTok.text + '(' + list + ')', P_PRIMARY};
    }
};

QHash<QString, QString>& cache(Dialect dialect) {
    static QHash<QString, QString> c[2];
    return c[dialect == Dialect::Postgres ? 1 : 0];
}

constexpr int kCacheLimit = 4096;

} // namespace

QString serverName(const QString& name) {
    const QString lower = name.toLower();
    bool plain = !name.isEmpty() && !name[0].isDigit() && name[0] != '$';
    for (const QChar c : name)
        plain = plain && (c.isLetterOrNumber() || c == '_' || c == '$');
    if (plain && !serverReserved(lower)) return name;
    QString quoted = lower;
    return '"' + quoted.replace('"', "\"\"") + '"';
}

QString translateUncached(const QString& accessSql, Dialect dialect) {
    Parser p(accessSql, dialect);
    return p.statement();
}

QString translate(const QString& accessSql, Dialect dialect) {
    auto& c = cache(dialect);
    const auto it = c.constFind(accessSql);
    if (it != c.constEnd()) return it.value();
    QString out = translateUncached(accessSql, dialect);
    if (c.size() >= kCacheLimit) c.clear();
    c.insert(accessSql, out);
    return out;
}

void clearCache() {
    cache(Dialect::Sqlite).clear();
    cache(Dialect::Postgres).clear();
}

QStringList splitScript(const QString& script) {
    QStringList out;
    QString cur;
    const int n = script.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = script[i];
        if (c == '\'' || c == '"' || c == '[') {
            const QChar close = c == '[' ? QChar(']') : c;
            int j = i + 1;
            while (j < n && script[j] != close)
                ++j;
            cur += script.mid(i, j - i + 1);
            i = j;
        } else if (c == '-' && i + 1 < n && script[i + 1] == '-') {
            while (i < n && script[i] != '\n')
                ++i;
            cur += '\n';
        } else if (c == ';') {
            if (!cur.trimmed().isEmpty()) out << cur.trimmed();
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.trimmed().isEmpty()) out << cur.trimmed();
    return out;
}

} // namespace AccessSql
