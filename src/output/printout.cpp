#include "printout.h"
#include "cmoney.h"

#include "data/accesstext.h"
#include "data/appenv.h"
#include "data/dberror.h"
#include "data/results.h"

#include <QDateTime>
#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace PrintOut {

QString DataFolder() {
    return CacheFolder() + "kxPrint/generateXml/";
}

QString ToolPath() {
    const QString beside = AppPath() + "kxPrint/kxPrint";
    if (CurrentLayout() == Layout::ProgramFolder) return beside;
    // installed: beside the program, or among the package's own programs
    for (const QString& candidate : {AppPath() + "kxPrint", AppPath() + "../lib/" + kPackageName + "/kxPrint",
                                     AppPath() + "../libexec/" + kPackageName + "/kxPrint"}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable()) return info.absoluteFilePath();
    }
    return beside;
}

QStringList ToolArguments(const QString& command) {
    const QStringList log{"--log", LogFolder() + "kxPrint.log"};
    if (CurrentLayout() == Layout::ProgramFolder) return QStringList{command} + log; // the tool's folder has both
    QStringList args{"--data", DataFolder()};
    for (const QString& folder : TemplateFolders())
        args << "--templates" << folder;
    return args << log << command;
}

namespace {

QDomDocument loadTemplate(const QString& code) {
    QFile file(TemplateFile(code + ".xml"));
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("打印模板不存在: %1").arg(QDir::toNativeSeparators(file.fileName())));
    QDomDocument doc;
    const auto parsed = doc.setContent(&file);
    if (!parsed || doc.documentElement().tagName() != "Content")
        throw Error(QStringLiteral("打印模板格式不正确: %1").arg(QDir::toNativeSeparators(file.fileName())));
    return doc;
}

// The element at a path of element names from the document's root ("Content/DataDetail/DataCols").
QDomElement findPath(const QDomDocument& doc, const QString& path) {
    const QStringList names = path.split('/', Qt::SkipEmptyParts);
    QDomElement e = doc.documentElement();
    if (names.isEmpty() || e.tagName() != names.front()) return {};
    for (int i = 1; i < names.size() && !e.isNull(); ++i)
        e = e.firstChildElement(names[i]);
    return e;
}

} // namespace

QDomElement BuildRecordNode(const RecordSet& rs, const QString& templateCode, const QString& section) {
    if (rs.RecordCount() == 0) return {};
    const QDomDocument tpl = loadTemplate(templateCode);
    const QDomElement cols = findPath(tpl, "Content/" + section + "/DataCols");
    if (cols.isNull())
        throw Error(QStringLiteral("打印模板 %1 缺少节点 Content/%2/DataCols").arg(templateCode, section));
    QDomDocument owner;
    QDomElement record = owner.createElement("DataRecord");
    owner.appendChild(record);
    // the bindings once, then every row
    struct Binding {
        QString name;
        int field;
        bool capitals;
    };
    std::vector<Binding> bindings;
    for (QDomElement c = cols.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
        QString bind = c.attribute("BindField");
        const bool capitals = bind.contains(kAmountMarker);
        bind.remove(kAmountMarker);
        bindings.push_back({c.tagName(), rs.fieldIndex(bind.trimmed()), capitals});
    }
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QDomElement row = owner.createElement("DataRow");
        for (const Binding& b : bindings) {
            QDomElement e = owner.createElement(b.name);
            const QVariant v = b.field >= 0 ? rs.at(r, b.field) : QVariant();
            QString text;
            if (b.capitals)
                text = CMoney::AmountInCapitals(acc::format(v, "#0.0#"));
            else if (v.isValid() && !v.isNull())
                text = acc::valueText(v);
            e.appendChild(owner.createTextNode(text));
            row.appendChild(e);
        }
        record.appendChild(row);
    }
    return record;
}

void PurgeDataFiles(const QDate& today) {
    const double yesterday = today.addDays(-1).toString("yyyyMMdd").toDouble();
    QDir dir(DataFolder());
    const QStringList files = dir.entryList({"*.xml"}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : files)
        if (name.size() >= 13 && acc::val(name.left(8)) <= yesterday) dir.remove(name);
}

QDomElement TemplateNode(const QString& templateCode, const QString& path) {
    const QDomElement e = findPath(loadTemplate(templateCode), path);
    if (e.isNull()) throw Error(QStringLiteral("打印模板 %1 缺少节点 %2").arg(templateCode, path));
    return e.cloneNode(true).toElement();
}

QString GenerateFile(const QString& templateCode, const NodeList& nodes) {
    if (!QDir().mkpath(DataFolder()))
        throw Error(QStringLiteral("无法建立文件夹: %1").arg(QDir::toNativeSeparators(DataFolder())));
    PurgeDataFiles(QDate::currentDate());
    const QDomDocument tpl = loadTemplate(templateCode);
    QDomDocument doc;
    doc.appendChild(doc.createProcessingInstruction("xml", "version='1.0' encoding='utf-8'"));
    doc.appendChild(doc.importNode(tpl.documentElement(), true));
    for (const auto& [path, element] : nodes) {
        QDomElement placeholder = findPath(doc, path);
        if (placeholder.isNull())
            throw Error(QStringLiteral("打印模板 %1 缺少节点 %2").arg(templateCode, path));
        QDomNode parent = placeholder.parentNode();
        parent.removeChild(placeholder);
        parent.appendChild(doc.importNode(element, true));
    }
    const QString name = QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss") + NewGuidText() + ".xml";
    QFile file(DataFolder() + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(doc.toByteArray(1)) < 0 ||
        !file.flush())
        throw Error(
            QStringLiteral("无法写入打印数据文件: %1").arg(QDir::toNativeSeparators(file.fileName())));
    return name;
}

std::function<void(const QString&, const QStringList&)>& ToolLauncher() {
    static std::function<void(const QString&, const QStringList&)> launcher =
        [](const QString& program, const QStringList& arguments) {
            if (!QProcess::startDetached(program, arguments))
                throw Error(QStringLiteral("无法启动打印程序: %1").arg(QDir::toNativeSeparators(program)));
        };
    return launcher;
}

void StartPrintTool(const QString& command) {
    ToolLauncher()(ToolPath(), ToolArguments(command));
}

} // namespace PrintOut
