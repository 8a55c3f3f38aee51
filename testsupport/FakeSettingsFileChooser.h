#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/qt/SettingsFileChooser.h"

namespace ravolin {

// A settings-file chooser whose answers the test scripts in advance, for opening and saving alike; once the
// script has run out, it is cancelled. Every call's folder or suggested path is kept, with "open " or "save "
// before it.
class FakeSettingsFileChooser final : public SettingsFileChooserPort {
public:
    std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& folder) override;
    std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& suggested) override;

    void scriptChoice(const std::string& path) { m_script.emplace_back(path); }
    void scriptCancel() { m_script.emplace_back(std::nullopt); }
    const std::vector<std::string>& calls() const { return m_calls; }

private:
    std::optional<std::string> answer(std::string call);

    std::deque<std::optional<std::string>> m_script;
    std::vector<std::string> m_calls;
};

}  // namespace ravolin
