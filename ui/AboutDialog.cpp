#include "AboutDialog.h"

#include "DialogTemplate.h"
#include "DialogUnits.h"
#include "FontMapping.h"
#include "ProgramIconLoader.h"
#include "TemplateBuilder.h"

namespace ravolin {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    const DialogTemplate& about = *FindDialogTemplate(kAboutDialogId);
    setWindowTitle(QString::fromUtf8(about.caption));
    setWindowIcon(LoadProgramIcon());
    setFont(FontFromLogFont(TemplateLogFont(about, ScreenDpi())));
    const BaseUnits units = DialogBaseUnits(font());
    setFixedSize(MapDialogRect(about.rect, units).size());
    BuildControls(about, *this, units, *this, {nullptr, [this](int id) {
                                                   if (id == kIdAboutOk) accept();
                                               }, {}});
}

}  // namespace ravolin
