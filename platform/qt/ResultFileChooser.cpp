#include "platform/qt/ResultFileChooser.h"

#include <algorithm>
#include <limits>
#include <memory>

#include <QAbstractFileIconProvider>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QMimeDatabase>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeView>

namespace ravolin {
namespace {

constexpr char kTitle[] = "変換結果の保存";

// Qt's non-native dialog lays itself out on a grid; the extra rows go beneath its own.
void addRow(QFileDialog& dialog, const char* caption, QWidget* field) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    auto* label = new QLabel(QString::fromUtf8(caption), &dialog);
    label->setBuddy(field);
    const int row = grid->rowCount();
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
}

int widestText(const QFontMetrics& metrics, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts) widest = std::max(widest, metrics.horizontalAdvance(text));
    return widest;
}

// Widens the dialog, as it first shows, by what its file list lacks for its columns: the widths of the list and
// of the folders beside it are settled only then.
class RoomForColumns final : public QObject {
public:
    RoomForColumns(QFileDialog& dialog, QTreeView& list) : QObject(&dialog), m_dialog(dialog), m_list(list) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != &m_dialog || event->type() != QEvent::Show) return false;
        const int lacking = m_list.header()->length() - m_list.viewport()->width();
        if (lacking > 0) {
            int width = m_dialog.width() + lacking;
            if (const QScreen* screen = m_dialog.screen()) width = std::min(width, screen->availableGeometry().width());
            m_dialog.resize(width, m_dialog.height());
        }
        m_dialog.removeEventFilter(this);
        deleteLater();
        return false;
    }

private:
    QFileDialog& m_dialog;
    QTreeView& m_list;
};

// Qt sizes the file list's columns for English samples ("128.88 GB", "mp3Folder", "10/29/81 02:02PM"): the
// Japanese sizes ("29 バイト"), the types and the dates came out cut. Each column is made as wide as the longest
// of what it shows in this locale, at the list's font, and the dialog as wide as the columns then need.
void fitColumns(QFileDialog& dialog) {
    auto* list = dialog.findChild<QTreeView*>();
    if (!list) return;
    const QLocale locale = QLocale::system();
    QStringList sizes;
    for (const qint64 bytes : {qint64{1023}, qint64{1048575}, qint64{1073741823}, qint64{1099511627775}})
        sizes << locale.formattedDataSize(bytes);
    QStringList types{QMimeDatabase().mimeTypeForName(QStringLiteral("text/plain")).comment(),
                      QMimeDatabase().mimeTypeForName(QStringLiteral("application/x-zerosize")).comment()};
    if (const QAbstractFileIconProvider* icons = dialog.iconProvider())
        types << icons->type(QFileInfo(dialog.directory().absolutePath()));
    QStringList dates;
    for (int month = 1; month <= 12; ++month)
        dates << locale.toString(QDateTime(QDate(2000, month, 28), QTime(23, 59, 59)), QLocale::ShortFormat);
    // Room for 24 full-width characters of a name.
    const QStringList names{QString(24, QChar(0x6F22))};

    const QFontMetrics metrics = list->fontMetrics();
    // What an item view adds beside a cell's text; the name's cell has its icon too.
    const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const int icon = list->iconSize().isValid() ? list->iconSize().width()
                                                : list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list);
    const QStringList* const shown[] = {&names, &sizes, &types, &dates};
    QHeaderView* header = list->header();
    for (int column = 0; column < header->count() && column < 4; ++column) {
        const int textWidth = widestText(metrics, *shown[column]) + margins + (column == 0 ? icon + margins : 0);
        header->resizeSection(column,
                              std::max({header->sectionSize(column), header->sectionSizeHint(column), textWidth}));
    }
    dialog.installEventFilter(new RoomForColumns(dialog, *list));
}

}  // namespace

QString defaultResultFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

QFileDialog* createResultFileDialog(QWidget* owner, const ResultFileChoice& initial, const QString& folder) {
    auto* dialog = new QFileDialog(owner, QString::fromUtf8(kTitle), folder);
    // Ours, not the desktop's: only Qt's dialog takes the extra rows, and it speaks Japanese with Qt's catalog.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilters({QString::fromUtf8("テキスト ファイル (*.txt)"), QString::fromUtf8("すべてのファイル (*)")});
    if (!initial.path.empty()) dialog->selectFile(QString::fromStdString(initial.path));

    auto* encoding = new QComboBox(dialog);
    encoding->setObjectName("encoding");
    encoding->addItems({QStringLiteral("UTF-8"), QStringLiteral("CP932 (Shift_JIS)")});
    encoding->setCurrentIndex(initial.cp932 ? 1 : 0);
    addRow(*dialog, "文字コード(&E):", encoding);

    auto* lineEnds = new QComboBox(dialog);
    lineEnds->setObjectName("lineEnds");
    lineEnds->addItems({QStringLiteral("CR LF (Windows)"), QStringLiteral("LF")});
    lineEnds->setCurrentIndex(initial.lfLineEnds ? 1 : 0);
    addRow(*dialog, "改行(&R):", lineEnds);

    // Any count a run may have, past the five characters of the window's field.
    auto* loops = new QSpinBox(dialog);
    loops->setObjectName("loopCount");
    loops->setRange(0, std::numeric_limits<std::int32_t>::max());
    loops->setValue(initial.loopCount > 0 ? initial.loopCount : 0);
    loops->setGroupSeparatorShown(true);
    addRow(*dialog, "ループ回数(&L):", loops);
    fitColumns(*dialog);
    return dialog;
}

ResultFileChoice choiceOf(const QFileDialog& dialog) {
    ResultFileChoice choice;
    const QStringList files = dialog.selectedFiles();
    if (!files.isEmpty()) choice.path = files.front().toStdString();
    choice.cp932 = dialog.findChild<QComboBox*>("encoding")->currentIndex() == 1;
    choice.lfLineEnds = dialog.findChild<QComboBox*>("lineEnds")->currentIndex() == 1;
    choice.loopCount = dialog.findChild<QSpinBox*>("loopCount")->value();
    return choice;
}

std::optional<ResultFileChoice> QtResultFileChooser::GetSaveFileName(QWidget* owner, const ResultFileChoice& initial) {
    const QString folder = m_lastFolder.isEmpty() ? defaultResultFolder() : m_lastFolder;
    const std::unique_ptr<QFileDialog> dialog(createResultFileDialog(owner, initial, folder));
    if (dialog->exec() != QDialog::Accepted) return std::nullopt;
    ResultFileChoice choice = choiceOf(*dialog);
    if (choice.path.empty()) return std::nullopt;
    m_lastFolder = QFileInfo(QString::fromStdString(choice.path)).absolutePath();
    return choice;
}

}  // namespace ravolin
