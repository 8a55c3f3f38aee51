#include "testsupport/FakeMessageBox.h"

#include <gtest/gtest.h>

#include <utility>

#include <QApplication>
#include <QWidget>

namespace ravolin {

FakeMessageBox::~FakeMessageBox() {
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted message-box answer(s) never asked for";
}

int FakeMessageBox::MessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) {
    std::vector<std::string> shown;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) shown.push_back(window->windowTitle().toStdString());
    }
    m_calls.push_back({owner, owner && owner->isVisible(), text, caption, type, std::move(shown)});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected message box \"" << caption << "\": " << text;
        return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

}  // namespace ravolin
