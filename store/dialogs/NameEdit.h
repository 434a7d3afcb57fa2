// The one way a name field of the codebase and preference-set dialogs takes a correction:
// each refused character is told in a message, then the field shows the corrected name with
// the cursor at its end.
#pragma once

#include "store/Catalogue.h"

class ModalRunner;
class QLineEdit;
class QWidget;

void ApplyNameCorrection(ModalRunner& modal, QWidget* dialog, QLineEdit& edit,
                         const NameCorrection& corrected);
