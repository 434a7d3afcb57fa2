// The desktop's modal road: dialogs, message boxes and file dialogs run for real.
#pragma once

#include "platform/Modal.h"

// Runs dialogs for real with QDialog::exec, QMessageBox and QFileDialog.
class CQtModalRunner : public ModalRunner {
  public:
    CQtModalRunner();

  protected:
    int ExecDialog(QDialog& dialog) override;
    int ExecMessage(QWidget* parent, const QString& text, const QString& title,
                    MessageButtons buttons, MessageIcon icon) override;
    QString ExecOpenFile(QWidget* parent, const QString& title, const QString& filters) override;
    QString ExecSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                         const QString& filters, QString& selectedFilter) override;
};
