#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "ui/DialogTexts.h"

namespace ravolin {

// "OK" (the default) and "キャンセル", ending `dialog` as accepted or rejected.
inline QDialogButtonBox* okCancelButtons(QDialog& dialog) {
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* ok = buttons->addButton(QString::fromUtf8(kOkButton), QDialogButtonBox::AcceptRole);
    buttons->addButton(QString::fromUtf8(kCancelButton), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return buttons;
}

}  // namespace ravolin
