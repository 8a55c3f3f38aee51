#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <QString>

class QFileDialog;
class QWidget;

namespace ravolin {

// Where and how a conversion result is saved to a file.
struct ResultFileChoice {
    std::string path;         // UTF-8
    bool cp932 = false;       // the settings file's code page instead of UTF-8
    bool lfLineEnds = false;  // LF (and a final line break) instead of CR LF
    std::int32_t loopCount = 0;

    bool operator==(const ResultFileChoice&) const = default;
};

// The save-file chooser of the result (GetSaveFileName with the result's options): modal, owned by `owner`,
// prefilled from `initial`. Nothing when the user cancels. An existing file is chosen only after the user
// confirmed replacing it.
class ResultFileChooserPort {
public:
    virtual ~ResultFileChooserPort() = default;
    virtual std::optional<ResultFileChoice> GetSaveFileName(QWidget* owner, const ResultFileChoice& initial) = 0;
};

// Qt's own file dialog ("変換結果の保存"), with rows for the encoding, the line ends and the loop count. It
// opens in the folder of the last file chosen in this session, at first in defaultResultFolder().
class QtResultFileChooser final : public ResultFileChooserPort {
public:
    std::optional<ResultFileChoice> GetSaveFileName(QWidget* owner, const ResultFileChoice& initial) override;

private:
    QString m_lastFolder;
};

// Where a result is saved until the user has chosen a folder: the documents folder where it exists, else the
// home folder; never the working directory, which may be the hidden folder of the settings.
QString defaultResultFolder();

// The dialog QtResultFileChooser runs, built but not shown, as a child of `owner`, opening in `folder`. The
// caller deletes it; tests open it without a modal loop. choiceOf reads what it holds.
QFileDialog* createResultFileDialog(QWidget* owner, const ResultFileChoice& initial, const QString& folder);
ResultFileChoice choiceOf(const QFileDialog& dialog);

}  // namespace ravolin
