// The program and ardelctl learn into a codebase through one code path: the same waveform
// learnt by either gives the same file.
#include <gtest/gtest.h>

#include <QApplication>
#include <fstream>
#include <sstream>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "ir/protocols/IrProtocol.h"
#include "model/ButtonCodes.h"
#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"
#include "remote/ButtonLearning.h"
#include "remote/CCodebaseSlot.h"
#include "remote/CHandheldRemoteFiles.h"
#include "remote/CSkinElement.h"
#include "store/FormTables.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/PromptCapture.h"
#include "tests/support/SimLearnRig.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kNec = std::string(ARDEL_TEST_DATA) + "/../ir/fixtures/nec-held.txt";

class OneCodePath : public ::testing::TestWithParam<const char*> {};

TEST_P(OneCodePath, ProgramAndToolLearnTheSameFile) {
    TempFolder tool, program;

    // ardelctl: the remote's waveform played to a simulated handheld, stored under Power.
    std::istringstream in;
    std::ostringstream out, err;
    ASSERT_EQ(RunCtl({"sim", "learn", "--chip", GetParam(), "--carrier", "38000", "--codebase",
                      tool / "TV_Sony.PDB", "--button", "Power", kNec},
                     in, out, err),
              0)
        << err.str();

    // The program: the learning prompt of the remote's Power button, the device's remote
    // sending the same waveform after the same delay.
    std::ifstream file(kNec);
    RemoteWaveform wave;
    std::string error;
    ASSERT_TRUE(ReadDurations(file, wave.durations, error)) << error;
    wave.carrierHz = 38000;
    wave.dutyPercent = 33;
    wave.delayNs = 500'000'000;
    SimLearnRig rig(GetParam(), program.Path(), wave);
    CHandheldRemoteFiles files(rig.fs);
    CCodebaseSlot slot(FormSlotId(0), &files);
    slot.SetPath("\\TV_Sony.PDB");
    CRemoteButton power;
    power.name = "Power";
    power.slot = &slot;
    CAnsweringModalRunner modal;
    modal.onDialog = LetPromptCapture;
    ASSERT_TRUE(Learn(power, rig.model, modal, 0, false));

    const std::vector<char> learntByTool = CodebaseBytes(tool.Path() / "TV_Sony.PDB");
    ASSERT_FALSE(learntByTool.empty());
    EXPECT_EQ(CodebaseBytes(program.Path() / "TV_Sony.PDB"), learntByTool);
}

// RC5/RC6 buttons learnt once on the simulated handheld send the other toggle as signal 2.
TEST_P(OneCodePath, AToggleButtonLearntOnceSendsTheOtherToggleAsSignal2) {
    struct Case {
        const char* protocol;
        const char* carrier;
    };
    for (const Case c : {Case{"RC5", "36000"}, Case{"RC6", "36000"}}) {
        SCOPED_TRACE(c.protocol);
        TempFolder tool;
        IrEncoded encoded;
        ASSERT_EQ(EncodeIrSignal(*FindIrProtocol(c.protocol), {0x05, 0x21, 0}, encoded), kIrCodeOk);
        // The button held for a few frames, as the device's remote sends it.
        const std::filesystem::path wave = tool.Path() / "held.txt";
        {
            std::ofstream file(wave);
            for (int pass = 0; pass < 4; ++pass) {
                for (const int32_t duration : encoded.durations) {
                    file << duration << "\n";
                }
            }
        }
        std::istringstream in;
        std::ostringstream out, err;
        ASSERT_EQ(RunCtl({"sim", "learn", "--chip", GetParam(), "--carrier", c.carrier,
                          "--codebase", tool / "TV_Rc.PDB", "--button", "1", wave},
                         in, out, err),
                  0)
            << err.str();
        HostHandheldFs fs(tool.Path().string());
        std::vector<ButtonCode> rows;
        ASSERT_EQ(DecodeButtons(fs, "\\TV_Rc.PDB", rows), kStoreOk);
        ASSERT_EQ(rows.size(), 2u);
        for (int k = 0; k < 2; ++k) {
            ASSERT_NE(rows[k].protocol, nullptr);
            EXPECT_STREQ(rows[k].protocol->name, c.protocol);
            EXPECT_EQ(rows[k].frame.code.address, 0x05u);
            EXPECT_EQ(rows[k].frame.code.command, 0x21u);
            EXPECT_EQ(rows[k].frame.code.toggle, k);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Chips, OneCodePath, ::testing::Values("pxa255", "s3c2440", "omap1510"));

}  // namespace
