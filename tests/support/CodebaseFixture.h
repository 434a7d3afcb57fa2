// A codebase on a device folder of its own, with buttons stored as learning stores them.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>

#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "tests/support/StoredButtons.h"
#include "tests/support/TempFolder.h"

class CodebaseFixture {
  public:
    static inline const QString kPath = "\\TV_Test.PDB";

    CodebaseFixture() {
        RemoteServices services;
        services.fs = &fs;
        model = std::make_unique<CRemoteModel>(services);
    }

    // The held-button signal of a code, as a learnt signal.
    static IrSignal Encoded(const char* protocol, uint32_t address, uint32_t command) {
        IrEncoded encoded;
        IrCode code;
        code.address = address;
        code.command = command;
        EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), code, encoded), kIrCodeOk);
        IrSignal signal =
            MakeIrSignal(encoded.durations, encoded.frameStart, encoded.carrierPeriodUs);
        return signal;
    }

    void Store(const QString& button, const IrSignal& signal, int number = 1,
               LearnMode mode = LearnMode::Single) {
        EXPECT_EQ(StoreLearntButton(fs, kPath, button, signal, number, mode), kStoreOk);
    }

    TempFolder root;
    HostHandheldFs fs{root.Path().string()};
    std::unique_ptr<CRemoteModel> model;
};
