#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/qt/ResultFileChooser.h"

namespace ravolin {

// A result-file chooser whose answers the test scripts in advance; once the script has run out, it is
// cancelled. Every call's prefilled choice is kept.
class FakeResultFileChooser final : public ResultFileChooserPort {
public:
    std::optional<ResultFileChoice> GetSaveFileName(QWidget* owner, const ResultFileChoice& initial) override;

    void scriptChoice(const ResultFileChoice& choice) { m_script.emplace_back(choice); }
    void scriptCancel() { m_script.emplace_back(std::nullopt); }
    const std::vector<ResultFileChoice>& calls() const { return m_calls; }

private:
    std::deque<std::optional<ResultFileChoice>> m_script;
    std::vector<ResultFileChoice> m_calls;
};

}  // namespace ravolin
