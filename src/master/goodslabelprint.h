#pragma once
// Printing the barcode labels of goods from a window.

#include <QList>
#include <QString>

// Hands the labels to the print tool; messages for nothing to print and failures.
bool PrintGoodsLabels(const QList<int>& goodsIds, const QString& caption);
