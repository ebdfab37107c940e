#include "sqlfunctionmap.h"

#include "sqldialect.h"

#include <QStringList>

namespace AccessSql {

Ex mapFunction(const QString& src, const Token& nameTok, std::vector<Ex>& args, const SqlDialect& d) {
    const QString fn = nameTok.upper;
    auto argc = [&](std::size_t lo, std::size_t hi) {
        if (args.size() < lo || args.size() > hi)
            failAt(src, nameTok.pos, QStringLiteral("函数 %1 的参数个数不对").arg(nameTok.text));
    };
    auto call = [&](const QString& sqlName, bool text) {
        QStringList a;
        for (const auto& e : args)
            a << e.sql;
        return Ex{sqlName + '(' + a.join(", ") + ')', P_PRIMARY, text};
    };
    auto textArg = [&](std::size_t k) { d.textArg(args[k]); };
    // branches of one type: where one is text, the other becomes text too
    auto sameType = [&](std::size_t a, std::size_t b) {
        d.numberMeetsColumn(args[a], args[b]);
        d.numberMeetsColumn(args[b], args[a]);
        if (args[a].text || args[b].text) {
            textArg(a);
            textArg(b);
        }
    };
    if (fn == "IIF") {
        argc(3, 3);
        sameType(1, 2);
        return {"CASE WHEN " + d.condition(args[0]) + " THEN " + args[1].sql + " ELSE " + args[2].sql +
                    " END",
                P_PRIMARY, args[1].text || args[2].text};
    }
    if (fn == "ISNULL") {
        argc(1, 1);
        return {'(' + wrap(args[0], P_REL) + " IS NULL)", P_PRIMARY, false, false, false, true};
    }
    if (fn == "FORMAT" || fn == "FORMAT$") {
        argc(1, 2);
        if (args.size() == 1) return call(d.cstrFunction(), true);
        return call("acc_format", true);
    }
    if (fn == "VAL") {
        argc(1, 1);
        return call("acc_val", false);
    }
    if (fn == "CSTR") {
        argc(1, 1);
        return call(d.cstrFunction(), true);
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
        return d.left(args[0], args[1]);
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
        return call(d.instrFunction(), false);
    }
    if (fn == "NOW") {
        argc(0, 0);
        return d.now();
    }
    if (fn == "DATE") {
        argc(0, 0);
        return d.today();
    }
    if (fn == "DATEDIFF") { // days only: DateDiff('d', from, to)
        argc(3, 3);
        if (args[0].sql.compare("'d'", Qt::CaseInsensitive) != 0)
            failAt(src, nameTok.pos, QStringLiteral("函数 DateDiff 只支持按天 ('d') 计算"));
        textArg(1);
        textArg(2);
        return d.dayDiff(args[1], args[2]);
    }
    if (fn == "CDBL" || fn == "CSNG") {
        argc(1, 1);
        return d.toDouble(args[0]);
    }
    if (fn == "CLNG" || fn == "CINT") {
        argc(1, 1);
        return d.toLong(args[0]);
    }
    return d.engineCall(nameTok.text, args);
}

} // namespace AccessSql
