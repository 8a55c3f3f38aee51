#include "platform/qt/FontChooser.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QStyledItemDelegate>

namespace ravolin {
namespace {

constexpr char kSampleText[] = "あア亜 AaBb";

// The weights Qt itself names a style by, with the other name a font may give the same weight.
struct WeightName {
    const char* name;
    QFont::Weight weight;
};
constexpr WeightName kWeightNames[] = {
    {"Thin", QFont::Thin},
    {"Extra Light", QFont::ExtraLight},
    {"Light", QFont::Light},
    {"Normal", QFont::Normal},
    {"Regular", QFont::Normal},
    {"Medium", QFont::Medium},
    {"Demi Bold", QFont::DemiBold},
    {"Bold", QFont::Bold},
    {"Extra Bold", QFont::ExtraBold},
    {"Black", QFont::Black},
};

// Draws the style list's names as japaneseStyleName gives them; the list itself keeps the database's names,
// by which the dialog finds the face.
class StyleNameDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale&) const override {
        return japaneseStyleName(value.toString());
    }
};

// The style column of Qt's grid: the line above the list shows the chosen style. QFontDialog names neither.
void showJapaneseStyleNames(QFontDialog& dialog) {
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    QLayoutItem* line = grid ? grid->itemAtPosition(1, 2) : nullptr;
    QLayoutItem* list = grid ? grid->itemAtPosition(2, 2) : nullptr;
    auto* styleLine = line ? qobject_cast<QLineEdit*>(line->widget()) : nullptr;
    auto* styleList = list ? qobject_cast<QListView*>(list->widget()) : nullptr;
    if (!styleLine || !styleList) return;
    styleList->setItemDelegate(new StyleNameDelegate(styleList));
    QObject::connect(styleLine, &QLineEdit::textChanged, styleLine, [styleLine](const QString& name) {
        const QString shown = japaneseStyleName(name);
        if (shown != name) styleLine->setText(shown);
    });
}

// QFontDialog names none of its parts: the effects are the group box that holds check boxes, the writing
// system is its only combo box, each with a label whose buddy it is.
void hideEffectsAndWritingSystem(QFontDialog& dialog) {
    QList<QWidget*> hidden;
    int effectsHeight = 0;
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (group->findChildren<QCheckBox*>().isEmpty()) continue;
        hidden.append(group);
        effectsHeight = group->sizeHint().height();
    }
    // The sample shares its row with the effects, whose height it took; alone it would shrink to a sliver.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (!hidden.contains(group)) group->setMinimumHeight(effectsHeight);
    }
    for (QComboBox* combo : dialog.findChildren<QComboBox*>()) hidden.append(combo);
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (hidden.contains(label->buddy())) hidden.append(label);
    }
    for (QWidget* widget : hidden) widget->hide();
}

}  // namespace

QString japaneseStyleName(const QString& styleName) {
    // Without Qt's translation the database's names stay.
    if (QCoreApplication::translate("QFontDatabase", "Bold") == QLatin1String("Bold")) return styleName;
    QString weight = styleName;
    QFont::Style slant = QFont::StyleNormal;
    for (const auto& [word, style] : {std::pair{QLatin1String("Italic"), QFont::StyleItalic},
                                      std::pair{QLatin1String("Oblique"), QFont::StyleOblique}}) {
        if (weight == word || weight.endsWith(QLatin1Char(' ') + word)) {
            weight.chop(word.size());
            slant = style;
            break;
        }
    }
    weight = weight.trimmed();
    if (weight.isEmpty() && slant != QFont::StyleNormal) weight = QStringLiteral("Normal");  // "Italic" alone
    const auto* known = std::find_if(std::begin(kWeightNames), std::end(kWeightNames),
                                     [&weight](const WeightName& name) { return weight == QLatin1String(name.name); });
    if (known == std::end(kWeightNames)) return styleName;
    // The name Qt makes up for a font of that weight and slant, in its translation.
    QFont font;
    font.setWeight(known->weight);
    font.setStyle(slant);
    return QFontDatabase::styleString(font);
}

QFontDialog* createFontChooserDialog(QWidget* owner, const QFont& initial) {
    QFont start = initial;
    start.setUnderline(false);
    start.setStrikeOut(false);
    // The list shows each family by the name the font database gives it: a face this system lacks (a Windows
    // face from a description), or another name of an installed one ("IPAPGothic" where the list says
    // "IPA Pゴシック"), would open it on an unrelated default. Open it on the face that draws the font here.
    // The style too, by the database's name of the face drawn: the name Qt would make up from the weight is a
    // translated one under the Japanese translation, which matches no name in the list, and the dialog then
    // opened on the family's first style whatever the font was.
    const QFontInfo drawn(start);
    start.setFamily(drawn.family());
    start.setStyleName(drawn.styleName());
    auto* dialog = new QFontDialog(owner);
    // Set before the font: a native dialog, which couldn't be cut down, is then never even created.
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    showJapaneseStyleNames(*dialog);
    dialog->setCurrentFont(start);
    hideEffectsAndWritingSystem(*dialog);
    // Qt's sample is Latin letters only, which shows nothing of a Japanese face.
    if (auto* sample = dialog->findChild<QLineEdit*>(QStringLiteral("qt_fontDialog_sampleEdit")))
        sample->setText(QString::fromUtf8(kSampleText));
    return dialog;
}

std::optional<QFont> QtFontChooser::ChooseFont(QWidget* owner, const QFont& initial) {
    // The owner may close while the dialog runs and take the dialog with it.
    QPointer<QFontDialog> dialog = createFontChooserDialog(owner, initial);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    std::optional<QFont> chosen;
    if (dialog && accepted) chosen = dialog->selectedFont();
    delete dialog;
    return chosen;
}

}  // namespace ravolin
