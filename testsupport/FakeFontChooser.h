#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include <QFont>

#include "platform/qt/FontChooser.h"

class QWidget;

namespace ravolin {

// A font chooser whose answers the test scripts in advance. Each call takes the next scripted answer; once
// the script has run out, the chooser is cancelled.
class FakeFontChooser final : public FontChooserPort {
public:
    struct Call {
        QWidget* owner = nullptr;
        QFont initial;
    };

    std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) override;

    void scriptChoice(const QFont& font);
    void scriptCancel();
    // Runs inside every later ChooseFont, after the call is recorded, as if while the chooser were open.
    void setWhileOpen(std::function<void()> action);

    const std::vector<Call>& calls() const { return m_calls; }

private:
    std::deque<std::optional<QFont>> m_script;
    std::vector<Call> m_calls;
    std::function<void()> m_whileOpen;
};

}  // namespace ravolin
