#include "platform/qt/ResultFileChooser.h"

#include <limits>
#include <memory>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QStandardPaths>

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
