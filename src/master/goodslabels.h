#pragma once
// Barcode labels of goods: one per packaging unit with a barcode (the goods
// code for goods without any), printed by the print tool on label sheets.

#include "data/recordset.h"

#include <QList>
#include <QString>

// The label rows of the goods: goodsName, goodsDesc, unit, salePrice, barcode.
RecordSet GoodsLabelRows(const QList<int>& goodsIds);
