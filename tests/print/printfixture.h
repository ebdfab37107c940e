#pragma once
// A program folder with the print templates, and the print tool's starts
// recorded instead of run.

#include "fixture.h"

#include <QStringList>

class PrintTest : public DbTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // The kxPrint folder of the program folder.
    QString printFolder() const { return folder() + "kxPrint/"; }
    // The generated data file the last start named.
    QString lastDataFile() const;
    // Runs kxPrint --pdf on the last start's command; the PDF's text, or "" on failure.
    QString printToPdf(const QString& pdf, int* pages = nullptr);
    // A stock-in bill of the seed's account with lines of new goods.
    int makeStockInBill(int lines, const QString& supplier = QStringLiteral("上海清风日化有限公司"));

    QStringList m_commands; // the commands the tool was started with
};
