#pragma once

#include <array>
#include <cstddef>
#include <string>

#include <QDialog>

#include "conversion/Expansion.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ravolin {

// "出力の形": the header, the joiner and the footer as text fields, presets of the joiner, and a preview of the
// output's first and last passes in that shape, redrawn at each keystroke.
class OutputShapeDialog : public QDialog {
    Q_OBJECT
public:
    // `input`: the run the preview shows; its shape is the one edited. Its passes are expanded once, here.
    OutputShapeDialog(QWidget* parent, const ExpansionInput& input);

    // The shape the fields show; a field left as it was shown keeps its value exactly (a lone CR or LF in it,
    // which the field shows as a line break, too).
    OutputShape shape() const;
    // Puts preset `index` of kJoinerPresets into the joiner's field.
    void choosePreset(std::size_t index);

    QPlainTextEdit* m_header = nullptr;
    QPlainTextEdit* m_joiner = nullptr;
    QPlainTextEdit* m_footer = nullptr;
    std::array<QPushButton*, 5> m_presets{};
    QPlainTextEdit* m_preview = nullptr;

private:
    void refresh();

    OutputShape m_shown;  // the shape as it came in
    std::int32_t m_passes = 0;
    // The first and the last pass (the same one when there is one), or nothing where one is too long to show.
    std::string m_firstPass;
    std::string m_lastPass;
    bool m_firstShown = true;
    bool m_lastShown = true;
};

}  // namespace ravolin
