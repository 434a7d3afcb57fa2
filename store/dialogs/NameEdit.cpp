#include "store/dialogs/NameEdit.h"

#include <QLineEdit>

#include "platform/Modal.h"
#include "resources/StringText.h"

void ApplyNameCorrection(ModalRunner& modal, QWidget* dialog, QLineEdit& edit,
                         const NameCorrection& corrected) {
    for (const QChar refused : corrected.refused) {
        modal.ShowMessage(dialog, StringText(kStrIllegalCharacter, {QString(refused)}));
    }
    if (corrected.name != edit.text()) {
        edit.setText(corrected.name);
    }
    edit.setCursorPosition(static_cast<int>(corrected.name.size()));
}
