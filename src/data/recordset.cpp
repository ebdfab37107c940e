#include "recordset.h"

#include "accesstext.h"

#include "dberror.h"

RecordSet::RecordSet(QStringList names, std::vector<QVariant> cells) {
    auto d = std::make_shared<Data>();
    d->columns = static_cast<int>(names.size());
    for (int i = 0; i < names.size(); ++i) {
        const QString key = names[i].toLower();
        if (!d->index.contains(key)) d->index.insert(key, i);
    }
    d->names = std::move(names);
    d->rows = d->columns == 0 ? 0 : static_cast<int>(cells.size()) / d->columns;
    d->cells = std::move(cells);
    m_data = std::move(d);
}

void RecordSet::Close() {
    m_data.reset();
    m_row = 0;
}

int RecordSet::RecordCount() const {
    return m_data ? m_data->rows : 0;
}
int RecordSet::fieldCount() const {
    return m_data ? m_data->columns : 0;
}
QString RecordSet::fieldName(int index) const {
    return m_data ? m_data->names.value(index) : QString();
}

int RecordSet::fieldIndex(const QString& name) const {
    if (!m_data) return -1;
    return m_data->index.value(name.toLower(), -1);
}

bool RecordSet::eof() const {
    return !m_data || m_row >= m_data->rows;
}
bool RecordSet::bof() const {
    return !m_data || m_row < 0 || m_data->rows == 0;
}
void RecordSet::MoveFirst() {
    m_row = 0;
}
void RecordSet::MoveNext() {
    if (m_data && m_row < m_data->rows) ++m_row;
}
void RecordSet::MovePrevious() {
    if (m_row >= 0) --m_row;
}
void RecordSet::MoveLast() {
    m_row = m_data ? std::max(0, m_data->rows - 1) : 0;
}
void RecordSet::setAbsolutePosition(int position) {
    m_row = position - 1;
}

int RecordSet::column(const QString& name) const {
    const int c = fieldIndex(name);
    if (c < 0) throw DbError(QStringLiteral("记录集中没有字段 %1").arg(name));
    return c;
}

void RecordSet::checkRow() const {
    if (!m_data) throw DbError(QStringLiteral("记录集已关闭"));
    if (m_row < 0 || m_row >= m_data->rows) throw DbError(QStringLiteral("记录集没有当前行"));
}

QVariant RecordSet::value(int c) const {
    checkRow();
    if (c < 0 || c >= m_data->columns) throw DbError(QStringLiteral("记录集中没有第 %1 列").arg(c));
    return m_data->cells[static_cast<std::size_t>(m_row) * m_data->columns + c];
}

QVariant RecordSet::value(const QString& name) const {
    return value(column(name));
}

QVariant RecordSet::at(int row, int c) const {
    if (!m_data || row < 0 || row >= m_data->rows || c < 0 || c >= m_data->columns)
        throw DbError(QStringLiteral("记录集中没有第 %1 行第 %2 列").arg(row).arg(c));
    return m_data->cells[static_cast<std::size_t>(row) * m_data->columns + c];
}

QVariant RecordSet::at(int row, const QString& name) const {
    return at(row, column(name));
}

int RecordSet::PageCount() const {
    const int n = RecordCount();
    return (n + m_pageSize - 1) / m_pageSize;
}

int RecordSet::AbsolutePage() const {
    if (eof() || m_row < 0) return -1;
    return m_row / m_pageSize + 1;
}

void RecordSet::setAbsolutePage(int page) {
    const int p = std::clamp(page, 1, std::max(1, PageCount()));
    m_row = (p - 1) * m_pageSize;
}

QByteArray RowCursor::utf8(int column) const {
    const QVariant v = value(column);
    if (v.isNull()) return {};
    const QByteArray text = acc::valueText(v).toUtf8();
    return text.isNull() ? QByteArray("") : text;
}
