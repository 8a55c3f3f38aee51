#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include <QString>

class QWidget;

namespace ravolin {

// Texts cross between the program and the widgets here: the program's texts are UTF-8 with CR LF line
// breaks, the widgets' hold "\n".
QString toWidgetText(std::string_view text);
std::string fromWidgetText(const QString& text);

// A control of a window's own making that holds a text: GetWindowText and SetWindowText reach it here, in the
// program's form of the text (UTF-8, CR LF line breaks).
class WindowTextControl {
public:
    virtual std::string windowText() const = 0;
    virtual void setWindowText(std::string_view text) = 0;

protected:
    ~WindowTextControl() = default;
};

// The text a control shows (an edit's content, a button's or a static's caption), and setting it.
std::string GetWindowText(const QWidget* control);
void SetWindowText(QWidget* control, std::string_view text);

// A window whose controls are addressed by their ids, as every dialog of the program is.
class ControlHost {
public:
    virtual ~ControlHost() = default;

    // The control with `id`, or nullptr when this window has none.
    QWidget* GetDlgItem(int id) const;
    std::string GetDlgItemText(int id) const;
    void SetDlgItemText(int id, std::string_view text);
    // Signed decimal text.
    void SetDlgItemInt(int id, std::int32_t value);
    // The same, left undone where the control already shows the value (an edit read as a signed field for the
    // number): what was typed another way ("007" for 7) stays, and so does the edit's undo history.
    void showDlgItemText(int id, std::string_view text);
    void showDlgItemInt(int id, std::int32_t value);
    bool IsDlgButtonChecked(int id) const;
    void CheckDlgButton(int id, bool checked);

    void addControl(int id, QWidget* control);

private:
    std::map<int, QWidget*> m_controls;
};

}  // namespace ravolin
