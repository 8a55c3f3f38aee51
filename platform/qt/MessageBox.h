#pragma once

#include <string>

class QMessageBox;
class QString;
class QWidget;

namespace ravolin {

// Buttons and icons of a message box, with their Windows values, which the program's calls carry.
inline constexpr unsigned MB_OK = 0x0u;
inline constexpr unsigned MB_OKCANCEL = 0x1u;
inline constexpr unsigned MB_YESNO = 0x4u;
inline constexpr unsigned MB_TYPEMASK = 0xFu;
inline constexpr unsigned MB_ICONHAND = 0x10u;
inline constexpr unsigned MB_ICONQUESTION = 0x20u;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30u;
inline constexpr unsigned MB_ICONASTERISK = 0x40u;
inline constexpr unsigned MB_ICONMASK = 0xF0u;
// The second button is the default one (Enter answers No, or Cancel).
inline constexpr unsigned MB_DEFBUTTON2 = 0x100u;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Every message and question of the program goes through this port, so tests answer it in advance.
class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    // `text` and `caption` are UTF-8 with CR LF line breaks; `owner` may be null (no owner window).
    virtual int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) = 0;
};

// Shows a modal QMessageBox.
class QtMessageBox : public MessageBoxPort {
public:
    int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) override;
};

// Gives `box` the text, caption, icon and buttons of a call; the answer of the button it closed with is
// answerOf(clicked standard button).
void prepareMessageBox(QMessageBox& box, const std::string& text, const std::string& caption, unsigned type);
int answerOf(int standardButton, unsigned type);

// What Ctrl+C in a box puts on the clipboard, as on Windows: caption, text and button captions between
// dashed lines, so a user can pass a message on word for word.
QString messageBoxCopyText(const QMessageBox& box);

}  // namespace ravolin
