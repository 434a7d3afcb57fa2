// The command bar at the bottom of several dialogs: eight empty buttons, then the
// information button that opens the dialog's help topic.
#pragma once

#include <QToolBar>

class ModalRunner;

class CHelpBar : public QToolBar {
    Q_OBJECT

  public:
    static constexpr int kToolbarId = 213;
    static constexpr int kHelpCommand = 32849;
    static constexpr int kButtonCount = 9;

    // `topic` is the help topic the information button opens, run by `modal`.
    CHelpBar(ModalRunner& modal, int topic, QWidget* parent);

    int HelpTopic() const { return topic_; }

  private:
    void OnCommand(int command);

    ModalRunner& modal_;
    int topic_;
};
