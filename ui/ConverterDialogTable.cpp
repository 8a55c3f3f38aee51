// Tables brought into the arrays: the paste, table files chosen or dropped, their dialog, and the one undo that
// takes an import back.
#include "ui/ConverterDialog.h"

#include <QAction>
#include <QClipboard>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStringList>
#include <QUrl>

#include "conversion/Table.h"
#include "platform/core/FileAccess.h"
#include "settings/SettingsStore.h"
#include "settings/TableImport.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"
#include "ui/TableImportDialog.h"

namespace ravolin {
namespace {

// The wait cursor for as long as it lives.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void ConverterDialog::hookTableCommands() {
    GetMenuItem(kCmdUndoTable)->setEnabled(false);
    setAcceptDrops(true);
    // Seen for every widget of the window, the editors included, before their own undo takes the key.
    QCoreApplication::instance()->installEventFilter(this);
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        auto* values = qobject_cast<QPlainTextEdit*>(m_arrayPage[i].GetDlgItem(kIdArrayValues));
        values->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(values, &QWidget::customContextMenuRequested, this, [this, values, i](const QPoint& at) {
            QMenu* menu = values->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->addSeparator();
            connect(menu->addAction(QString::fromUtf8(kPasteTableItem)), &QAction::triggered, this,
                    [this, i] { OnPasteTable(i); });
            menu->popup(values->mapToGlobal(at));
        });
    }
}

void ConverterDialog::OnPasteTable(std::size_t firstArray) {
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    TableRows rows = parseTable(text, separatorOfPaste(text));
    if (rows.empty()) {
        m_services.messageBox.MessageBox(this, kTableNothing, kInfoCaption, MB_OK | MB_ICONASTERISK);
        return;
    }
    importTable(std::move(rows), firstArray);
}

void ConverterDialog::OnOpenTableFile() {
    const OpenFileRequest request{QString::fromUtf8(kTableFileTitle),
                                  {QString::fromUtf8(kTableFileFilter), QString::fromUtf8(kAllFilesFilter)}};
    if (const std::optional<std::string> path = m_services.openFileChooser.GetOpenFileName(this, request))
        openTableFile(*path);
}

void ConverterDialog::openTableFile(const std::string& path) {
    int error = 0;
    std::optional<TableRows> rows = readTableFile(path, error);
    if (!rows) {
        const std::string text = error == kFileTooLargeError
                                     ? fillText(kTableFileTooLarge, path, std::to_string(kTableFileMaxBytes >> 20))
                                     : fillText(kTableFileUnreadable, path, readFailureReason(error));
        m_services.messageBox.MessageBox(this, text, kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (rows->empty()) {
        m_services.messageBox.MessageBox(this, fillText(kTableFileNothing, path), kInfoCaption,
                                         MB_OK | MB_ICONASTERISK);
        return;
    }
    importTable(std::move(*rows), 0);
}

void ConverterDialog::importTable(TableRows rows, std::size_t firstArray) {
    TableImportDialog dialog(this, std::move(rows), firstArray);
    if (m_services.runModal(dialog) != QDialog::Accepted) return;

    const TableColumns columns = tableColumns(dialog.rows(), dialog.header());
    const std::size_t first = dialog.firstArray();
    const std::size_t taken = columnsTaken(columns, first);
    Document shown = documentShown();
    // Replacing what the user typed asks first; "いいえ" keeps it.
    QStringList holding;
    for (std::size_t k = 0; k < taken; ++k) {
        if (!shown.record.arrays[first + k].valuesText.empty())
            holding << QString::fromUtf8(kArraySlotName).arg(first + k + 1);
    }
    if (!holding.empty() &&
        m_services.messageBox.MessageBox(
            this, QString::fromUtf8(kTableReplaceQuestion).arg(holding.join(QStringLiteral("、"))).toStdString(),
            kConfirmCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;

    m_beforeTable = shown;
    QStringList cut;
    for (const std::string& token : applyTable(shown, columns, first, dialog.header(), dialog.fitLoop()))
        cut << QString::fromStdString(token);
    {
        // A table of a hundred thousand rows takes the value lists a second or two to lay out.
        const WaitCursor busy;
        showDocument(shown);
        m_afterTable = documentShown();
    }
    GetMenuItem(kCmdUndoTable)->setEnabled(true);
    setUnsaved(1);
    if (!cut.empty()) {
        m_services.messageBox.MessageBox(
            this,
            QString::fromUtf8(kTableTokensCut).arg(kTokenMaxBytes).arg(cut.join(QStringLiteral("\r\n"))).toStdString(),
            kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
    }
}

void ConverterDialog::OnUndoTable() {
    if (!m_beforeTable) return;
    Document shown = documentShown();
    shown.record.arrays = m_beforeTable->record.arrays;
    shown.window.loopCount = m_beforeTable->window.loopCount;
    const WaitCursor busy;
    showDocument(shown);
    m_beforeTable.reset();
    GetMenuItem(kCmdUndoTable)->setEnabled(false);
}

// Ctrl+Z reaches the import's undo wherever the focus is, editors included, as long as nothing changed since
// the import; after that the editors' own undo has it again.
bool ConverterDialog::undoesTable(QObject* watched, QEvent* event) {
    if (!m_beforeTable || event->type() != QEvent::ShortcutOverride || !watched->isWidgetType() ||
        !isAncestorOf(static_cast<QWidget*>(watched)) || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Undo))
        return false;
    if (documentShown() != m_afterTable) {
        m_beforeTable.reset();
        GetMenuItem(kCmdUndoTable)->setEnabled(false);
        return false;
    }
    event->accept();
    OnUndoTable();
    return true;
}

}  // namespace ravolin
