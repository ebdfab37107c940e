#pragma once
// The print tool's document: a template's layout (title, orientation, the
// head fields, the table's columns) with the rows of a print data file, laid
// out on A4 pages.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class QPageLayout;
class QPagedPaintDevice;
class QPainter;

namespace kx {

// "orkPrint:TypeId=1003&BillCode=kx_import_bill&FileName=x.xml"
struct Command {
    QString typeId;
    QString billCode;
    QString fileName;
};
// The command, or nothing with the reason in error.
std::optional<Command> ParseCommand(const QString& text, QString* error);

struct Field {
    QString caption;
    QString value;
    bool footer = false; // below the table, on the last page
    int span = 1;        // of the three places of a row
};

struct Column {
    QString name;
    QString caption;
    double width = 10;
    int align = 0; // Qt::Alignment horizontal flag
    bool sum = false;
    QString format; // "0.00": decimals of a number ("0.##": without trailing zeros); "yyyy-MM-dd": a date
    bool noWrap = false;
    // the column whose value all rows must share for the total to be shown
    // (quantities of different units do not add up)
    QString sumWhenSame;
};

class Document {
public:
    // Reads the template and the data file; false with the reason in error.
    bool load(const QString& templateFile, const QString& dataFile, QString* error);

    QString title;
    bool landscape = false;
    double fontSize = 9;
    QString totalCaption;
    std::vector<Field> fields;
    std::vector<Column> columns;
    std::vector<QStringList> rows; // the texts as printed
    QStringList totals;            // per column; empty for columns without a sum
    int labelColumns = 0;          // a label sheet: labels across and down an A4 page
    int labelRows = 0;

    // The page the template asks for: A4 in its orientation (labels: A4 portrait).
    QPageLayout pageLayout() const;
    // Paints every page on the device's page as it is set (the preview's page
    // setup is the user's); returns the number of pages.
    int print(QPagedPaintDevice* device) const;
    // The rows as labels (goodsName, goodsDesc, unit, salePrice and the
    // barcode's data), labelColumns × labelRows a sheet; returns the pages.
    int printLabels(QPagedPaintDevice* device) const;
};

// The fonts of the printouts.
QStringList printFamilies();

// The text of a value under a column's format.
QString FormatValue(const QString& value, const QString& format);

} // namespace kx
