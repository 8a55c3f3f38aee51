#include "platform/qt/MessageBox.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace ravolin {
namespace {

QString displayText(const std::string& text) {
    QString shown = QString::fromUtf8(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QMessageBox::Icon iconOf(unsigned type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONASTERISK:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

// The captions a Japanese Windows shows on its message-box buttons.
void addButton(QMessageBox& box, QMessageBox::StandardButton button, const char* caption) {
    box.addButton(button)->setText(QString::fromUtf8(caption));
}

// A question without a Cancel button can't be dismissed: Esc and the close box do nothing, as on Windows,
// so a stray key never answers No.
class AnswerRequired : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) return true;
        return QObject::eventFilter(watched, event);
    }
};

class CopyableMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Copy)) {
            QGuiApplication::clipboard()->setText(messageBoxCopyText(*this));
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

}  // namespace

QString messageBoxCopyText(const QMessageBox& box) {
    const QString line = QStringLiteral("---------------------------\n");
    QString buttons;
    for (const QAbstractButton* button : box.buttons()) buttons += QString(button->text()).remove('&') + "   ";
    return line + box.windowTitle() + '\n' + line + box.text() + '\n' + line + buttons + '\n' + line;
}

void prepareMessageBox(QMessageBox& box, const std::string& text, const std::string& caption, unsigned type) {
    box.setText(displayText(text));
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(QString::fromUtf8(caption));
    box.setIcon(iconOf(type));
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            addButton(box, QMessageBox::Ok, "OK");
            addButton(box, QMessageBox::Cancel, "キャンセル");
            box.setDefaultButton((type & MB_DEFBUTTON2) ? QMessageBox::Cancel : QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Cancel);
            break;
        case MB_YESNO:
            addButton(box, QMessageBox::Yes, "はい(&Y)");
            addButton(box, QMessageBox::No, "いいえ(&N)");
            box.setDefaultButton((type & MB_DEFBUTTON2) ? QMessageBox::No : QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
            box.installEventFilter(new AnswerRequired(&box));
            break;
        default:
            addButton(box, QMessageBox::Ok, "OK");
            box.setDefaultButton(QMessageBox::Ok);
            box.setEscapeButton(QMessageBox::Ok);
            break;
    }
}

int answerOf(int standardButton, unsigned type) {
    switch (standardButton) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Cancel:
            return IDCANCEL;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            // Closed some other way: the box's escape answer.
            if ((type & MB_TYPEMASK) == MB_YESNO) return IDNO;
            return (type & MB_TYPEMASK) == MB_OKCANCEL ? IDCANCEL : IDOK;
    }
}

int QtMessageBox::MessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) {
    CopyableMessageBox box(owner);
    prepareMessageBox(box, text, caption, type);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    return answerOf(clicked ? box.standardButton(clicked) : QMessageBox::NoButton, type);
}

}  // namespace ravolin
