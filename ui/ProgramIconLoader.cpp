#include "ProgramIconLoader.h"

#include <QPixmap>

#include "ProgramIcon.h"

namespace ravolin {

QIcon LoadProgramIcon() {
    QIcon icon;
    for (const IconImage& image : ProgramIcon()) icon.addPixmap(QPixmap(image.xpm.data()));
    return icon;
}

}  // namespace ravolin
