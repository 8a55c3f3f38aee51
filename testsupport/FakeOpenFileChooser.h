#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/OpenFileChooser.h"

namespace ravolin {

// An open-file chooser whose answers the test scripts in advance; once the script has run out, it is cancelled.
// Every call's request is kept.
class FakeOpenFileChooser final : public OpenFileChooserPort {
public:
    std::optional<std::string> GetOpenFileName(QWidget* owner, const OpenFileRequest& request) override;

    void scriptChoice(const std::string& path) { m_script.emplace_back(path); }
    void scriptCancel() { m_script.emplace_back(std::nullopt); }
    const std::vector<OpenFileRequest>& calls() const { return m_calls; }

private:
    std::deque<std::optional<std::string>> m_script;
    std::vector<OpenFileRequest> m_calls;
};

}  // namespace ravolin
