#include "ui/controls/ProgramIconLoader.h"

#include <QPixmap>

#include "resources/ProgramIcon.h"

namespace ravolin {

QIcon loadProgramIcon() {
    QIcon icon;
    for (const IconImage& image : programIcon()) icon.addPixmap(QPixmap(image.xpm.data()));
    return icon;
}

}  // namespace ravolin
