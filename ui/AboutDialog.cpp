#include "ui/AboutDialog.h"

#include "resources/DialogTemplate.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/ProgramIconLoader.h"
#include "ui/controls/TemplateBuilder.h"

namespace ravolin {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    const DialogTemplate& about = *findDialogTemplate(kAboutDialogId);
    setWindowTitle(QString::fromUtf8(about.caption));
    setWindowIcon(loadProgramIcon());
    setFont(fontFromLogFont(templateLogFont(about, screenDpi())));
    const BaseUnits units = dialogBaseUnits(font());
    setFixedSize(MapDialogRect(about.rect, units).size());
    buildControls(about, *this, units, *this,
                  {nullptr,
                   [this](int id) {
                       if (id == kIdAboutOk) accept();
                   },
                   {},
                   {}});
}

}  // namespace ravolin
