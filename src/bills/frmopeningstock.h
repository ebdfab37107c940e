#pragma once
// The opening stock window: the import dialog with an account mark and a date.

class QDialog;
class QWidget;

QDialog* NewOpeningStockDialog(QWidget* parent);
