#include "testsupport/FakeMessageBox.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace ravolin {

FakeMessageBox::~FakeMessageBox() {
    EXPECT_TRUE(m_answers.empty()) << m_answers.size() << " scripted message-box answer(s) never asked for";
}

int FakeMessageBox::MessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) {
    m_calls.push_back({owner, owner && owner->isVisible(), text, caption, type});
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected message box \"" << caption << "\": " << text;
        return (type & MB_TYPEMASK) == MB_YESNO ? IDNO : IDCANCEL;
    }
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

}  // namespace ravolin
