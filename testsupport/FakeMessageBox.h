#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/qt/MessageBox.h"

class QWidget;

namespace ravolin {

struct MessageBoxCall {
    QWidget* owner = nullptr;
    bool ownerVisible = false;  // whether the owner window was shown when the box came up
    std::string text;
    std::string caption;
    unsigned type = 0;
    std::vector<std::string> shownWindows;  // the titles of the windows showing when the box came up
};

// Records every message box and answers from a script. A box nobody scripted an answer for fails the
// running test and gets the answer that changes least (IDNO for Yes/No, IDCANCEL otherwise); answers left
// over at the end fail it too.
class FakeMessageBox : public MessageBoxPort {
public:
    ~FakeMessageBox() override;

    void scriptAnswer(int answer) { m_answers.push_back(answer); }
    const std::vector<MessageBoxCall>& calls() const { return m_calls; }

    int MessageBox(QWidget* owner, const std::string& text, const std::string& caption, unsigned type) override;

private:
    std::deque<int> m_answers;
    std::vector<MessageBoxCall> m_calls;
};

}  // namespace ravolin
