#include "ui/controls/ControlHost.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/core/ControlIntegers.h"

namespace ravolin {

QString toWidgetText(std::string_view text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::string fromWidgetText(const QString& text) {
    QString lines = text;
    lines.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    lines.replace(QChar::LineSeparator, QLatin1Char('\n'));
    lines.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return lines.toStdString();
}

std::string GetWindowText(const QWidget* control) {
    if (const auto* own = dynamic_cast<const WindowTextControl*>(control)) return own->windowText();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(control)) {
        // The raw text keeps what the user typed: toPlainText() would turn non-breaking spaces into spaces.
        return fromWidgetText(edit->document()->toRawText());
    }
    if (const auto* line = qobject_cast<const QLineEdit*>(control)) return fromWidgetText(line->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return fromWidgetText(button->text());
    if (const auto* label = qobject_cast<const QLabel*>(control)) return fromWidgetText(label->text());
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) return fromWidgetText(group->title());
    return {};
}

void SetWindowText(QWidget* control, std::string_view text) {
    if (auto* own = dynamic_cast<WindowTextControl*>(control)) {
        own->setWindowText(text);
        return;
    }
    const QString shown = toWidgetText(text);
    if (auto* edit = qobject_cast<QPlainTextEdit*>(control)) {
        edit->setPlainText(shown);
    } else if (auto* line = qobject_cast<QLineEdit*>(control)) {
        line->setText(shown);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(shown);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(shown);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(shown);
    }
}

QWidget* ControlHost::GetDlgItem(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

std::string ControlHost::GetDlgItemText(int id) const { return GetWindowText(GetDlgItem(id)); }

void ControlHost::SetDlgItemText(int id, std::string_view text) { SetWindowText(GetDlgItem(id), text); }

void ControlHost::SetDlgItemInt(int id, std::int32_t value) { SetDlgItemText(id, std::to_string(value)); }

void ControlHost::showDlgItemText(int id, std::string_view text) {
    if (GetDlgItemText(id) != text) SetDlgItemText(id, text);
}

void ControlHost::showDlgItemInt(int id, std::int32_t value) {
    const std::string shown = GetDlgItemText(id);
    // An empty field reads as 0 too, but shows no number.
    if (shown.empty() || readSignedControlInt(shown) != value) SetDlgItemInt(id, value);
}

bool ControlHost::IsDlgButtonChecked(int id) const {
    const auto* button = qobject_cast<const QAbstractButton*>(GetDlgItem(id));
    return button && button->isChecked();
}

void ControlHost::CheckDlgButton(int id, bool checked) {
    if (auto* button = qobject_cast<QAbstractButton*>(GetDlgItem(id))) button->setChecked(checked);
}

void ControlHost::addControl(int id, QWidget* control) { m_controls[id] = control; }

}  // namespace ravolin
