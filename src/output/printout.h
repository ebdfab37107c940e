#pragma once
// Print hand-over: the print data of a bill or report is written into an
// XML file shaped by the document's template (kxPrint/templeteXml/CODE.xml),
// and the print tool kxPrint is started with a command naming the file.
// A template's root is Content; per section (DataGroupHead for a bill head,
// DataDetail for rows) DataCols lists the bound columns, one element each
// with a BindField attribute ("$CMoneyToWord$:column" for an amount in
// capitals), and DataRecord marks where the generated rows go.

#include "data/recordset.h"

#include <QDate>
#include <QDomElement>
#include <QString>
#include <functional>
#include <stdexcept>
#include <utility>
#include <vector>

namespace PrintOut {

// A template that is missing or lacks its nodes, a folder that cannot be written.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

inline constexpr const char* kAmountMarker = "$CMoneyToWord$:";

// Templates are found through TemplateFile (data/appenv.h).
QString DataFolder(); // <cache folder>/kxPrint/generateXml/
QString ToolPath();   // <program folder>/kxPrint/kxPrint when not installed
// The print tool's arguments for a command: its log file and, installed,
// where it finds the data file and the templates (the user's first).
QStringList ToolArguments(const QString& command);

// The DataRecord element of the record set's rows for a section of the
// template; a null element when the record set is empty.
QDomElement BuildRecordNode(const RecordSet& rs, const QString& templateCode, const QString& section);

// A copy of the template's element at a path ("Content/DataDetail/DataCols").
QDomElement TemplateNode(const QString& templateCode, const QString& path);

// The placeholders to replace, in order: (path from the document, element).
using NodeList = std::vector<std::pair<QString, QDomElement>>;

// Deletes the data files of days before today.
void PurgeDataFiles(const QDate& today);
// Purges, writes the data file of the template with the nodes in place of
// their placeholders, and returns its name (without folder). A DataCols
// node in place of the template's prints only the columns it keeps.
QString GenerateFile(const QString& templateCode, const NodeList& nodes);
// Starts the print tool with the command; it is not waited for.
void StartPrintTool(const QString& command);

// What starting the tool does (tests record it instead).
std::function<void(const QString& program, const QStringList& arguments)>& ToolLauncher();

} // namespace PrintOut
