// The command bar at the bottom of several dialogs: eight empty buttons, then the
// information button that opens the dialog's help topic, at the bar's right edge.
#pragma once

#include <QToolBar>
#include <vector>

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
    QAction* HelpAction() const { return help_; }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void OnCommand(int command);
    // Shows as many of the empty buttons as the bar's width leaves beside the information
    // button, so that the bar never folds that button away behind its overflow arrow.
    void FitButtons();

    ModalRunner& modal_;
    int topic_;
    std::vector<QAction*> empty_;
    QAction* help_ = nullptr;
};
