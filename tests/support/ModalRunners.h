// Test doubles of the modal runner: tests hand one to the code under test instead of the
// program's runner, which would wait for a person.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/Modal.h"

// Answers every dialog and message at once, and remembers them. The dialog is shown
// (as exec would) before `onDialog` sees it, so it has set itself up; the handler may
// look at it or click in it and returns the dialog's result.
class CAnsweringModalRunner : public ModalRunner {
  public:
    struct Message {
        QString text;
        QString title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    std::function<int(QDialog&)> onDialog;  // default: answer OK
    int messageAnswer = kIdOk;
    std::vector<QString> dialogs;  // class names of the dialogs run, in order
    std::vector<Message> messages;
    // The file dialogs: the names they answer with, and what they were offered.
    QString openAnswer, saveAnswer, filterAnswer;
    int filesOpened = 0;
    QString suggestedName, offeredFilters;

  protected:
    int ExecDialog(QDialog& dialog) override {
        dialogs.push_back(QString::fromLatin1(dialog.metaObject()->className()));
        dialog.show();
        const int result = onDialog ? onDialog(dialog) : kIdOk;
        dialog.hide();
        return result;
    }
    int ExecMessage(QWidget*, const QString& text, const QString& title, MessageButtons buttons,
                    MessageIcon icon) override {
        messages.push_back({text, title, buttons, icon});
        return messageAnswer;
    }
    QString ExecOpenFile(QWidget*, const QString&, const QString&) override {
        ++filesOpened;
        return openAnswer;
    }
    QString ExecSaveFile(QWidget*, const QString&, const QString& suggested, const QString& filters,
                         QString& selectedFilter) override {
        suggestedName = suggested;
        offeredFilters = filters;
        selectedFilter = filterAnswer;
        return saveAnswer;
    }
};

// For code that should open no dialog and no message: each one fails the test.
class CUnansweredModalRunner : public ModalRunner {
  protected:
    int ExecDialog(QDialog& dialog) override {
        ADD_FAILURE() << "unanswered dialog " << dialog.metaObject()->className();
        return kIdCancel;
    }
    int ExecMessage(QWidget*, const QString& text, const QString&, MessageButtons,
                    MessageIcon) override {
        ADD_FAILURE() << "unanswered message: " << text.toStdString();
        return kIdCancel;
    }
    QString ExecOpenFile(QWidget*, const QString& title, const QString&) override {
        ADD_FAILURE() << "unanswered file dialog " << title.toStdString();
        return QString();
    }
    QString ExecSaveFile(QWidget*, const QString& title, const QString&, const QString&,
                         QString&) override {
        ADD_FAILURE() << "unanswered file dialog " << title.toStdString();
        return QString();
    }
};
