#pragma once

#include <QDialog>

namespace ravolin {

// A short guide in Japanese: what the template, the tokens, the counters, the arrays and the loop count do,
// a worked example, and where the settings are kept.
class GuideDialog : public QDialog {
    Q_OBJECT
public:
    explicit GuideDialog(QWidget* parent);
};

// The guide's text (HTML), also what the README's example shows.
QString guideText();

}  // namespace ravolin
