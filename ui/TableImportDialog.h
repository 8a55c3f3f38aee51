#pragma once

#include <cstddef>

#include <QDialog>

#include "conversion/Table.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTableWidget;

namespace ravolin {

// "表の取り込み": the first rows of a table, which array each column goes to, and whether the first row gives
// the tokens and the rows give the loop count.
class TableImportDialog : public QDialog {
    Q_OBJECT
public:
    // `firstArray`: the array (0-8) the first column goes to unless the user picks another.
    TableImportDialog(QWidget* parent, TableRows rows, std::size_t firstArray);

    std::size_t firstArray() const;
    bool header() const;
    bool fitLoop() const;
    const TableRows& rows() const { return m_rows; }

    QTableWidget* m_table = nullptr;
    QComboBox* m_firstArray = nullptr;
    QCheckBox* m_header = nullptr;
    QCheckBox* m_fitLoop = nullptr;
    QLabel* m_summary = nullptr;

private:
    void showMapping();

    TableRows m_rows;
};

}  // namespace ravolin
