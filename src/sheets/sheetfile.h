#pragma once
// Reading the rows of a spreadsheet file a user brings in: the first visible
// sheet (or a named one) of an .xlsx workbook, or a .csv file in UTF-8 or
// GB18030. Every cell comes as text.
#include <QString>
#include <QStringList>
#include <map>
#include <stdexcept>
#include <vector>

struct SheetRow {
    int line = 0;      // the row's number as a spreadsheet program shows it (the first row is 1);
                       // in a csv file, the number of the record's first line
    QStringList cells; // by column (A = 0); trailing empty cells may be missing
    std::map<int, QString> cellErrors; // column -> why the cell could not be read
};

struct SheetData {
    std::vector<SheetRow> rows; // every row not entirely empty, the header row first
};

// A file that cannot be read at all; message() is for the user and names the file.
class SheetFileError : public std::runtime_error {
public:
    explicit SheetFileError(const QString& message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

// Throws SheetFileError. More than maxDataRows rows after the first is refused
// (without reading the rest of the file).
SheetData ReadSheetFile(const QString& path, const QString& sheetName = {}, int maxDataRows = 100000);

// The text a date cell shows: the serial day number of a workbook in the 1900
// or the 1904 date system as "yyyy-MM-dd", with " HH:mm:ss" when it has a
// time of day. Empty for a serial no date stands for.
QString SheetDateText(double serial, bool date1904);

// Whether a number format shows a date or a time.
bool IsDateFormat(int numFmtId, const QString& formatCode);
