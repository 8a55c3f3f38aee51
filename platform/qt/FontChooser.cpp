#include "platform/qt/FontChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>

namespace ravolin {
namespace {

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

QFontDialog* createFontChooserDialog(QWidget* owner, const QFont& initial) {
    QFont start = initial;
    start.setUnderline(false);
    start.setStrikeOut(false);
    // The list shows each family by the name the font database gives it: a face this system lacks (a Windows
    // face from a description), or another name of an installed one ("IPAPGothic" where the list says
    // "IPA Pゴシック"), would open it on an unrelated default. Open it on the face that draws the font here.
    start.setFamily(QFontInfo(start).family());
    auto* dialog = new QFontDialog(owner);
    // Set before the font: a native dialog, which couldn't be cut down, is then never even created.
    dialog->setOption(QFontDialog::DontUseNativeDialog);
    dialog->setCurrentFont(start);
    hideEffectsAndWritingSystem(*dialog);
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
