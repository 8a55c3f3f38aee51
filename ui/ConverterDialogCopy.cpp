// The result on the clipboard, and the status line that says how much went there.
#include "ui/ConverterDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#include "ui/DialogTexts.h"
#include "ui/OutputView.h"

namespace ravolin {
namespace {

// "56 バイト", "1.2 KB", "3.4 MB": short enough for the line, exact enough to tell what was taken.
QString sizeText(qint64 bytes) {
    const QLocale english(QLocale::English);
    if (bytes < 1024) return QString::fromUtf8(kSizeInBytes).arg(bytes);
    return english.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

}  // namespace

QString ConverterDialog::outputText() const {
    // As the pane's own copy gives it: LF line ends.
    const auto* view = qobject_cast<OutputView*>(GetDlgItem(kIdOutput));
    const SharedOutputText& text = view->content();
    if (!text || view->windowText() == kOutputPlaceholder) return {};
    return QString::fromStdString(text->withLineEnds(0, text->size(), "\n"));
}

void ConverterDialog::OnCopyResult() {
    // A run fills the pane a slice at a time: half a result is not one to copy.
    if (isRunning()) {
        showBusyWarning();
        return;
    }
    const auto* view = qobject_cast<OutputView*>(GetDlgItem(kIdOutput));
    if (view->content() && view->content()->size() > kLargeCopyBytes && !askLargeCopy(view->content()->size())) return;
    const QString text = outputText();
    if (text.isEmpty()) {
        showStatus(QString::fromUtf8(kCopyNothingStatus));
        return;
    }
    QGuiApplication::clipboard()->setText(text);
    const qint64 lines = text.count(QLatin1Char('\n')) + (text.endsWith(QLatin1Char('\n')) ? 0 : 1);
    showStatus(QString::fromUtf8(kCopiedStatus)
                   .arg(QLocale(QLocale::English).toString(lines), sizeText(text.toUtf8().size())));
}

QString ConverterDialog::statusShown() const { return m_status ? m_status->text() : QString(); }

void ConverterDialog::showStatus(const QString& text) {
    m_status->setText(text);
    // A screen reader hears the line by its description as well as it changes.
    m_status->setAccessibleDescription(text);
    m_statusClear->start();
}

}  // namespace ravolin
