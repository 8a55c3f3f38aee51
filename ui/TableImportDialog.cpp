#include "ui/TableImportDialog.h"

#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "conversion/Expansion.h"
#include "resources/DialogTemplate.h"
#include "ui/DialogButtons.h"
#include "ui/DialogTexts.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/ProgramIconLoader.h"

namespace ravolin {
namespace {

// Enough to see what the columns hold; the rest only counts.
constexpr int kPreviewRows = 20;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

TableImportDialog::TableImportDialog(QWidget* parent, TableRows rows, std::size_t firstArray)
    : QDialog(parent), m_rows(std::move(rows)) {
    setWindowTitle(text(kTableCaption));
    setWindowIcon(loadProgramIcon());
    setFont(fontFromLogFont(templateLogFont(*findDialogTemplate(kConverterDialogId), screenDpi())));

    std::size_t width = 0;
    for (const auto& row : m_rows) width = std::max(width, row.size());
    const int shown = static_cast<int>(std::min<std::size_t>(m_rows.size(), kPreviewRows));
    m_table = new QTableWidget(shown, static_cast<int>(width), this);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAccessibleName(text(kTablePreviewName).arg(shown));
    for (int r = 0; r < shown; ++r) {
        const auto& row = m_rows[static_cast<std::size_t>(r)];
        for (std::size_t c = 0; c < row.size(); ++c)
            m_table->setItem(r, static_cast<int>(c), new QTableWidgetItem(QString::fromStdString(row[c])));
    }
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    auto* firstLabel = new QLabel(text(kTableFirstArray), this);
    m_firstArray = new QComboBox(this);
    for (std::size_t i = 0; i < kArrayCount; ++i) m_firstArray->addItem(text(kArraySlotName).arg(i + 1));
    m_firstArray->setCurrentIndex(static_cast<int>(std::min(firstArray, kArrayCount - 1)));
    firstLabel->setBuddy(m_firstArray);
    m_header = new QCheckBox(text(kTableHeaderCheck), this);
    m_fitLoop = new QCheckBox(text(kTableFitLoopCheck), this);
    m_fitLoop->setChecked(true);
    m_summary = new QLabel(this);
    m_summary->setWordWrap(true);

    QDialogButtonBox* buttons = okCancelButtons(*this);

    auto* mapping = new QHBoxLayout;
    mapping->addWidget(firstLabel);
    mapping->addWidget(m_firstArray);
    mapping->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(mapping);
    layout->addWidget(m_header);
    layout->addWidget(m_fitLoop);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);

    connect(m_firstArray, &QComboBox::currentIndexChanged, this, &TableImportDialog::showMapping);
    connect(m_header, &QCheckBox::toggled, this, &TableImportDialog::showMapping);
    showMapping();
    resize(sizeHint().expandedTo(QSize(640, 420)));
}

std::size_t TableImportDialog::firstArray() const { return static_cast<std::size_t>(m_firstArray->currentIndex()); }
bool TableImportDialog::header() const { return m_header->isChecked(); }
bool TableImportDialog::fitLoop() const { return m_fitLoop->isChecked(); }

// The columns' headings say where each goes; the line under the options what the import will do.
void TableImportDialog::showMapping() {
    const TableColumns columns = tableColumns(m_rows, header());
    const std::size_t first = firstArray();
    for (int c = 0; c < m_table->columnCount(); ++c) {
        const std::size_t array = first + static_cast<std::size_t>(c);
        m_table->setHorizontalHeaderItem(
            c, new QTableWidgetItem(array < kArrayCount ? text(kTableColumnTo).arg(c + 1).arg(array + 1)
                                                        : text(kTableColumnLeftOut).arg(c + 1)));
    }
    QString summary = text(kTableSummary).arg(m_rows.size()).arg(columns.values.size()).arg(columns.rows);
    const std::size_t taken = kArrayCount - first;
    if (columns.values.size() > taken) summary += text(kTableLeftOut).arg(columns.values.size() - taken);
    if (columns.cellsJoined > 0) summary += text(kTableJoined).arg(columns.cellsJoined);
    m_summary->setText(summary + QStringLiteral("。"));
}

}  // namespace ravolin
