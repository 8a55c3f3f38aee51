#pragma once

#include <optional>
#include <string>

#include <QString>

class QFileDialog;
class QWidget;

namespace ravolin {

// The file choosers of the settings files (GetOpenFileName, GetSaveFileName over *.ini): modal, owned by
// `owner`, opening in `folder` (or on `suggested`, a full path). Nothing when the user cancels. A save over an
// existing file is chosen only after the user confirmed replacing it.
class SettingsFileChooserPort {
public:
    virtual ~SettingsFileChooserPort() = default;
    virtual std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& folder) = 0;
    virtual std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& suggested) = 0;
};

// Qt's own file dialog, in the language of Qt's catalog (Japanese with the program's translations).
class QtSettingsFileChooser final : public SettingsFileChooserPort {
public:
    std::optional<std::string> GetOpenFileName(QWidget* owner, const std::string& folder) override;
    std::optional<std::string> GetSaveFileName(QWidget* owner, const std::string& suggested) override;
};

// The dialog QtSettingsFileChooser runs, built but not shown: "設定を開く" when `save` is false, else "設定に名前を
// 付けて保存", whose name gets ".ini" when typed without one. The caller deletes it.
QFileDialog* createSettingsFileDialog(QWidget* owner, bool save, const QString& start);

}  // namespace ravolin
