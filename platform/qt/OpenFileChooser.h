#pragma once

#include <optional>
#include <string>

#include <QHash>
#include <QString>
#include <QStringList>

class QFileDialog;
class QWidget;

namespace ravolin {

// What an open-file chooser asks for: its title and its name filters, the first one chosen.
struct OpenFileRequest {
    QString title;
    QStringList nameFilters;
};

// The open-file chooser (GetOpenFileName): modal, owned by `owner`; the path (UTF-8) of an existing file, or
// nothing when the user cancels.
class OpenFileChooserPort {
public:
    virtual ~OpenFileChooserPort() = default;
    virtual std::optional<std::string> GetOpenFileName(QWidget* owner, const OpenFileRequest& request) = 0;
};

// Qt's own file dialog, in Japanese with Qt's catalog. Each title opens in the folder its last file was chosen
// from in this session, at first in defaultResultFolder().
class QtOpenFileChooser final : public OpenFileChooserPort {
public:
    std::optional<std::string> GetOpenFileName(QWidget* owner, const OpenFileRequest& request) override;

private:
    QHash<QString, QString> m_lastFolders;
};

// The dialog QtOpenFileChooser runs, built but not shown, as a child of `owner`, opening in `folder`. The caller
// deletes it; tests open it without a modal loop.
QFileDialog* createOpenFileDialog(QWidget* owner, const OpenFileRequest& request, const QString& folder);

}  // namespace ravolin
