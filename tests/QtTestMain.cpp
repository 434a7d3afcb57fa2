// main() of the test programs that drive widgets: one QApplication for all their tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>

#include "Modal.h"

namespace {

// A test that opens a dialog or message without answering it through the seam would wait
// for a person forever; this fails it instead.
class CUnansweredModalRunner : public ModalRunner {
  public:
    int RunDialog(QDialog& dialog) override {
        ADD_FAILURE() << "unanswered dialog " << dialog.metaObject()->className();
        return kIdCancel;
    }
    int ShowMessage(QWidget*, const QString& text, const QString&, MessageButtons,
                    MessageIcon) override {
        ADD_FAILURE() << "unanswered message: " << text.toStdString();
        return kIdCancel;
    }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Tests never need a screen, also when the test list is read at build time.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    CUnansweredModalRunner unanswered;
    SetModalRunner(&unanswered);
    return RUN_ALL_TESTS();
}
