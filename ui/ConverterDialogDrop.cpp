// Files dropped on the window: a settings file opens, a text file on an array's value list becomes its values, a
// table file anywhere else goes to the table import.
#include "ui/ConverterDialog.h"

#include <algorithm>
#include <optional>

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QUrl>

#include "platform/core/Codec.h"
#include "platform/core/FileAccess.h"
#include "ui/DialogTexts.h"
#include "ui/SaveMessages.h"

namespace ravolin {
namespace {

// A text file's lines as a value list holds them: CR LF between lines, without the line break that ends the
// file (it would add an empty value).
std::string valueLines(std::string_view bytes) {
    QString text = QString::fromStdString(tableFileText(bytes));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace('\r', '\n');
    if (text.endsWith('\n')) text.chop(1);
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text.toStdString();
}

}  // namespace

bool ConverterDialog::dropFiles(const QList<QUrl>& urls, QWidget* target, bool justAsking) {
    std::optional<std::size_t> valueList;
    for (std::size_t i = 0; i < kArrayCount; ++i) {
        const QWidget* values = m_arrayPage[i].GetDlgItem(kIdArrayValues);
        if (target == values || values->isAncestorOf(target)) valueList = i;
    }
    // The first file that is one of ours is taken.
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        const QString suffix = QFileInfo(path).suffix().toLower();
        if (suffix == QLatin1String("ini")) {
            if (!justAsking) openSettingsFile(path.toStdString());
            return true;
        }
        if (valueList && suffix == QLatin1String("txt")) {
            if (!justAsking) fillArrayFromFile(*valueList, path.toStdString());
            return true;
        }
        if (suffix == QLatin1String("csv") || suffix == QLatin1String("tsv") || suffix == QLatin1String("txt")) {
            if (!justAsking) openTableFile(path.toStdString());
            return true;
        }
    }
    return false;
}

void ConverterDialog::fillArrayFromFile(std::size_t index, const std::string& path) {
    int error = 0;
    const std::optional<std::string> bytes = readFileBytes(path, error);
    if (!bytes) {
        m_services.messageBox.MessageBox(this, fillText(kDroppedFileUnreadable, describeLoadFailure(path, error)),
                                         kWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    Document shown = documentShown();
    ArraySlot& array = shown.record.arrays[index];
    // Replacing what the user typed asks first; "いいえ" keeps it.
    if (!array.valuesText.empty() &&
        m_services.messageBox.MessageBox(
            this, fillText(kFileReplaceQuestion, QString::fromUtf8(kArraySlotName).arg(index + 1).toStdString()),
            kConfirmCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    array.valuesText = valueLines(*bytes);
    showDocument(shown);
    setUnsaved(1);
}

bool ConverterDialog::takesFileDrag(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) || !watched->isWidgetType())
        return false;
    auto* target = static_cast<QWidget*>(watched);
    auto* drop = static_cast<QDropEvent*>(event);
    if ((target != this && !isAncestorOf(target)) || !drop->mimeData()->hasUrls()) return false;
    const QList<QUrl> urls = drop->mimeData()->urls();
    if (!dropFiles(urls, target, true)) {
        // Files of no use here are refused, rather than their names typed into an editor.
        const bool files = std::all_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
        if (!files) return false;
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // After the drop has returned: the questions and messages on the way must not hold the dragging program.
    if (type == QEvent::Drop) {
        QMetaObject::invokeMethod(
            this, [this, urls, target = QPointer<QWidget>(target)] { dropFiles(urls, target ? target : this, false); },
            Qt::QueuedConnection);
    }
    return true;
}

}  // namespace ravolin
