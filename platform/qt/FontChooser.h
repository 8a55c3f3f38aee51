#pragma once

#include <optional>

#include <QFont>

class QFontDialog;
class QWidget;

namespace ravolin {

// The font chooser: modal, owned by `owner`, opening on `initial`. Returns the chosen font, or nothing when
// the user cancels.
class FontChooserPort {
public:
    virtual ~FontChooserPort() = default;
    virtual std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) = 0;
};

// Qt's own font dialog, cut down to what the program offers: family, style and size, with a Japanese sample
// and the style names in Japanese. It has no effects
// (underline, strike-out) and no writing-system box, so the chosen font never carries an underline or a
// strike-out, even when `initial` did. Every font Qt offers is a screen font; there are no printer fonts.
// A face of `initial` that this system lacks opens as the face that draws it.
class QtFontChooser final : public FontChooserPort {
public:
    std::optional<QFont> ChooseFont(QWidget* owner, const QFont& initial) override;
};

// The name the chooser shows for a style of the font database: where the name is one Qt builds from a weight
// and a slant ("Bold Italic", "Regular" for "Normal"), Qt's own translation of it ("太字 斜体", "標準"); any other
// name ("Book", "Condensed Bold") as the font gives it, as is every name without the translation.
QString japaneseStyleName(const QString& styleName);

// The dialog QtFontChooser runs, built but not shown, as a child of `owner`. The caller deletes it (unless
// `owner` goes first); tests open it without a modal loop.
QFontDialog* createFontChooserDialog(QWidget* owner, const QFont& initial);

}  // namespace ravolin
