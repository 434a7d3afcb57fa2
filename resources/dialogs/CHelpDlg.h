// The Help dialog: one topic of the built-in help, its heading above a scrolling list.
#pragma once

#include <QDialog>

class ModalRunner;
class QLabel;
class QListWidget;

class CHelpDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kHeadingId = 1034;
    static constexpr int kListId = 1017;

    explicit CHelpDlg(QWidget* parent = nullptr);

    void SetTopic(int topic) { topic_ = topic; }
    int Topic() const { return topic_; }

    QLabel* Heading() const { return heading_; }
    QListWidget* Lines() const { return lines_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void Fill();

    int topic_ = 0;
    QLabel* heading_;
    QListWidget* lines_;
};

// Opens the Help dialog on `topic` through the modal seam.
void ShowHelp(ModalRunner& modal, QWidget* parent, int topic);
