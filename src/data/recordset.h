#pragma once
// A client-side record set: every row is fetched when the statement runs, so
// the row count is known and the rows stay readable after the connection is
// closed. Fields are found by name without regard to case, or by index.

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

class RecordSet {
public:
    RecordSet() = default; // a closed record set ("nothing")
    RecordSet(QStringList names, std::vector<QVariant> cells);

    bool isOpen() const { return m_data != nullptr; }
    void Close();

    int RecordCount() const;
    int fieldCount() const;
    QString fieldName(int index) const;
    int fieldIndex(const QString& name) const; // -1 when there is no such field

    // Cursor, from the first row; eof() once moved past the last.
    bool eof() const;
    bool bof() const;
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    int AbsolutePosition() const { return m_row + 1; }
    void setAbsolutePosition(int position);

    // Values of the current row; a field that does not exist is an error.
    QVariant value(int column) const;
    QVariant value(const QString& name) const;
    QVariant operator[](const QString& name) const { return value(name); }
    // Any cell, rows and columns counted from 0.
    QVariant at(int row, int column) const;
    QVariant at(int row, const QString& name) const;

    // Paging: pages of PageSize rows, counted from 1.
    int PageSize() const { return m_pageSize; }
    void setPageSize(int size) { m_pageSize = size < 1 ? 1 : size; }
    int PageCount() const;
    int AbsolutePage() const;
    void setAbsolutePage(int page);

private:
    struct Data {
        QStringList names;
        QHash<QString, int> index; // lower-case name to first column
        std::vector<QVariant> cells;
        int columns = 0;
        int rows = 0;
    };
    std::shared_ptr<const Data> m_data;
    int m_row = 0;
    int m_pageSize = 10;

    int column(const QString& name) const;
    void checkRow() const;
};

// A forward reading of one query's rows: one row at a time, nothing kept
// behind it, so that a whole report can be written out in constant memory.
// It must end before its connection closes; on the server nothing may be
// written while one is open outside a transaction of the caller's.
class RowCursor {
public:
    virtual ~RowCursor() = default;
    const QStringList& names() const { return m_names; }
    int fieldCount() const { return static_cast<int>(m_names.size()); }
    // Moves to the next row (the first one on the first call); false past the last.
    virtual bool next() = 0;
    // A value of the current row, as the engine's query would give it.
    virtual QVariant value(int column) const = 0;
    // The value as the program writes it (numbers as Access writes them), in
    // UTF-8; a null array for Null. Engines give stored text without converting
    // it, and may give their own bytes, which last until the next row.
    virtual QByteArray utf8(int column) const;

protected:
    QStringList m_names;
};
