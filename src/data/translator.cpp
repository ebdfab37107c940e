#include "translator.h"

#include "sqldialect.h"
#include "sqlexpr.h"
#include "sqlfunctionmap.h"
#include "sqllexer.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <optional>
#include <vector>

namespace AccessSql {

namespace {

using T = TokenType;

class Parser {
public:
    Parser(const QString& src, Dialect dialect)
        : m_src(src), m_toks(tokenize(src)),
          m_d(dialect == Dialect::Postgres ? SqlDialect::server() : SqlDialect::sqlite()) {
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
            const bool queryPlan = acceptKw("QUERY");
            if (queryPlan) expectKw("PLAN");
            const QString head = m_d.explainHead(queryPlan);
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
    const SqlDialect& m_d;                  // the engine the statement is written for
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
    QString bracketName(const QString& bracketed) const { return m_d.bracketName(bracketed); }
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
        if (s.size() > 17) return s;
        for (const QChar c : s)
            if (c.unicode() > 127) return s;
        return m_d.wordName(s);
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
            if (m_d.lastSetOnly() && setAt.contains(key)) {
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
        if (acceptKw("WHERE")) return "DELETE FROM " + table + " WHERE " + condition(expr());
        return m_d.deleteAll(table);
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
        } else if (ops.contains(QStringLiteral(" UNION ")) && arms.front().items > 0) {
            order = m_d.unionOrder(arms.front().items);
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
            do
                items << m_d.groupItem(expr());
            while (acceptOp(","));
            out += " GROUP BY " + items.join(", ");
        }
        if (acceptKw("HAVING")) out += " HAVING " + condition(expr());
        c.sql = out;
        return c;
    }

    QString derivedName() { return m_d.derivedName(m_derived); }

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
            if (nested && e.text && !e.column) item = m_d.nocase(e);
            const bool outer = m_d.namesOuterColumns() && m_depth == 1 && !m_inView;
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
            const auto outer = e.column && m_depth == 0 ? m_outerAliases.constFind(e.sql.toLower())
                                                        : m_outerAliases.constEnd();
            QString item = m_d.orderItem(e, selectColumnsOnly,
                                         outer != m_outerAliases.constEnd() ? &outer.value() : nullptr);
            const bool desc = acceptKw("DESC");
            item += m_d.orderDirection(desc, !desc && acceptKw("ASC"));
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

    QString condition(const Ex& e) const { return m_d.condition(e); }
    Ex conditionEx(const Ex& e) const { return m_d.conditionEx(e); }
    QString asText(const Ex& e) const { return m_d.asText(e); }

    // Xor binds more loosely than Or: a Xor b Xor c is true when an odd
    // number of its operands are true.
    Ex xorExpr() {
        Ex l = orExpr();
        if (!isKw("XOR")) return l;
        QString sum = m_d.xorTerm(l);
        while (acceptKw("XOR"))
            sum += " + " + m_d.xorTerm(orExpr());
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

    void compare(Ex& l, const QString& op, Ex r) {
        const int p = (op == "=" || op == "<>") ? P_EQ : P_REL;
        const QString rs = m_d.compareOperands(l, r, p);
        appendOp(l, p, "", ' ' + op + ' ' + rs);
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
                m_d.numberMeetsColumn(e, l);
                text |= e.text;
                if (!items.isEmpty()) items += QLatin1String(", ");
                items += e.sql;
            } while (acceptOp(","));
        }
        expectOp(")");
        m_d.inListOperand(l, text);
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
                m_d.like(l, catExpr(), negated);
                l.cond = true;
            } else if (acceptKw("IN")) {
                inList(l, negated);
            } else if (acceptKw("BETWEEN")) {
                Ex lo = catExpr();
                expectKw("AND");
                Ex hi = catExpr();
                m_d.betweenOperands(l, lo, hi);
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
                const Ex r = unaryExpr();
                l = m_d.divide(l, r);
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
            return m_d.number(next().text);
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
        return mapFunction(m_src, nameTok, args, m_d);
    }
};

QHash<QString, QString>& cache(Dialect dialect) {
    static QHash<QString, QString> c[2];
    return c[dialect == Dialect::Postgres ? 1 : 0];
}

constexpr int kCacheLimit = 4096;

} // namespace

QString serverName(const QString& name) {
    return serverIdentifier(name);
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
