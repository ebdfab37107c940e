#include "lotdialog.h"

#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "modal.h"

#include <QDate>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHash>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

int ShowLots(QWidget* parent, const QString& title, const std::vector<LotBalance>& lots, bool pick) {
    QDialog dlg(parent);
    dlg.setObjectName("frm_lots");
    dlg.setWindowTitle(title);
    bool places = false;
    for (const LotBalance& l : lots)
        places = places || l.locationId != lots.front().locationId;
    QHash<int, QString> codes;
    if (places) {
        const RecordSet rs = sqlHelper::ExecuteSql("select id, locationCode from tb_location");
        for (int r = 0; r < rs.RecordCount(); ++r)
            codes.insert(rs.at(r, 0).toInt(), acc::valueText(rs.at(r, 1)));
    }
    QStringList captions;
    if (places) captions << QStringLiteral("库位编号");
    captions << QStringLiteral("批次号") << QStringLiteral("有效期至") << QStringLiteral("剩余天数")
             << QStringLiteral("库存数量");
    auto* table = new QTableWidget(static_cast<int>(lots.size()), static_cast<int>(captions.size()));
    table->setObjectName("dg_lots");
    table->setHorizontalHeaderLabels(captions);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->setDefaultSectionSize(24);
    const QDate today = QDate::currentDate();
    for (int r = 0; r < static_cast<int>(lots.size()); ++r) {
        const LotBalance& l = lots[r];
        const QDate expiry = QDate::fromString(l.expiryDate, "yyyy-MM-dd");
        const qint64 left = expiry.isValid() ? today.daysTo(expiry) : 0;
        QStringList cells;
        if (places) cells << codes.value(l.locationId);
        cells << (l.lotNo.isEmpty() ? QStringLiteral("(无批次)") : l.lotNo) << l.expiryDate
              << (expiry.isValid() ? QString::number(left) : QString()) << acc::numberQText(l.pieces);
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= cells.size() - 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (expiry.isValid() && left < 0) item->setForeground(QColor(190, 0, 0));
            table->setItem(r, c, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    if (!lots.empty()) table->selectRow(0);
    auto* buttons = new QDialogButtonBox(pick ? QDialogButtonBox::Ok | QDialogButtonBox::Cancel
                                              : QDialogButtonBox::Close);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
    if (pick) QObject::connect(table, &QTableWidget::cellDoubleClicked, &dlg, &QDialog::accept);
    auto* layout = new QVBoxLayout(&dlg);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dlg.resize(places ? 520 : 440, 300);
    const int result = RunModal(&dlg);
    if (!pick || result != QDialog::Accepted) return -1;
    return table->currentRow();
}

void ShowGoodsLots(QWidget* parent, int goodsId, const QString& goodsName, int locationId,
                   const QString& accountIds) {
    const QString title = QStringLiteral("查看批次 - %1").arg(goodsName);
    const std::vector<LotBalance> lots =
        GoodsLots(goodsId, accountIds.isEmpty() ? SysVar().Sys_accountJoinId : accountIds, locationId);
    if (lots.empty())
        MsgBox::Show(QStringLiteral("货品[%1]没有批次库存!").arg(goodsName), MsgBox::Information, title);
    else
        ShowLots(parent, title, lots, false);
}
