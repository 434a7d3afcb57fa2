// ardel-formview --signal: the button view of a codebase drawn into a PNG without a screen.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>

#include "model/CRemoteModel.h"
#include "remote/CButtonViewDlg.h"
#include "tests/support/CodebaseFixture.h"
#include "tests/support/ModalRunners.h"

namespace {

const QString kFormView = ARDEL_BINARY_DIR "/tools/ardel-formview";

class FormViewSignalTest : public testing::Test, public CodebaseFixture {
  protected:
    // Runs the tool; its exit code.
    int Run(const QStringList& arguments) {
        QProcess tool;
        tool.start(kFormView, arguments);
        if (!tool.waitForFinished(30000)) {
            ADD_FAILURE() << "ardel-formview did not finish";
            return -1;
        }
        errors = QString::fromLocal8Bit(tool.readAllStandardError());
        return tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
    }

    QString Host(const std::string& name) { return QString::fromStdString(root / name); }

    QString errors;
};

TEST_F(FormViewSignalTest, DrawsTheButtonViewAtTheGivenScale) {
    Store("Power", Encoded("NEC", 0x04, 0x08));
    const QString png = Host("power.png");
    ASSERT_EQ(Run({"--signal", Host("TV_Test.PDB"), "Power", "--scale", "2", "--png", png}), 0)
        << errors.toStdString();
    const QImage picture(png);
    ASSERT_FALSE(picture.isNull());
    CUnansweredModalRunner modal;
    CRemoteModel model(RemoteServices{&fs, nullptr, nullptr, {}});
    const CButtonViewDlg dialog(model, modal, kPath);
    EXPECT_EQ(picture.size(), dialog.size() * 2);
    // The waveform is there: its marks are drawn in their own colour.
    int markPixels = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            markPixels += picture.pixelColor(x, y) == QColor(0, 0, 160);
        }
    }
    EXPECT_GT(markPixels, 100);
}

TEST_F(FormViewSignalTest, UnknownButtonOrFileFailsWithoutAPicture) {
    Store("Power", Encoded("NEC", 0x04, 0x08));
    const QString png = Host("none.png");
    EXPECT_EQ(Run({"--signal", Host("TV_Test.PDB"), "Guide", "--png", png}), 1);
    EXPECT_TRUE(errors.contains("no button Guide")) << errors.toStdString();
    EXPECT_EQ(Run({"--signal", Host("TV_Gone.PDB"), "Power", "--png", png}), 1);
    EXPECT_FALSE(QFile::exists(png));
}

}  // namespace
