// Latency of a tap on a learnt button: from the pen-down on the remote window to the first
// carrier edge on the simulated handheld's emitter, without the fixed delays (the click,
// silent here, and the driver's 100 ms sleep before a send).
//
// The handheld runs unpaced, so its sleep costs no host time; the driver reaches the chip
// through a platform that passes every call on to the handheld and notes the host time of
// the first register write that switches the emitter on.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/program/SimInteraction.h"
#include "ir/IrFactory.h"
#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/host/QtModalRunner.h"
#include "platform/sim/SimHandheld.h"
#include "remote/CDUWnd.h"
#include "remote/CHandheldRemoteFiles.h"
#include "store/CCodebaseFile.h"
#include "tests/support/TempFolder.h"

namespace {

using Clock = std::chrono::steady_clock;

// Passes everything on to the handheld; notes when the emitter first switches on.
class CEdgeWatch : public IrPlatform {
  public:
    explicit CEdgeWatch(SimHandheld& handheld) : h_(handheld) {}

    Clock::time_point firstEdge;
    bool seen = false;

    bool QueryProcessorInfo(ProcessorInfo& info) override { return h_.QueryProcessorInfo(info); }
    RegisterBlock* MapPage(uint32_t address, bool writable) override {
        RegisterBlock* inner = h_.MapPage(address, writable);
        if (!inner) {
            return nullptr;
        }
        blocks_.push_back(std::make_unique<Block>(*this, inner));
        return blocks_.back().get();
    }
    void UnmapPage(RegisterBlock* block) override {
        for (auto it = blocks_.begin(); it != blocks_.end(); ++it) {
            if (it->get() == block) {
                h_.UnmapPage((*it)->inner);
                blocks_.erase(it);
                return;
            }
        }
    }
    uint64_t QueryPerformanceCounter() override { return h_.QueryPerformanceCounter(); }
    uint64_t QueryPerformanceFrequency() override { return h_.QueryPerformanceFrequency(); }
    void Sleep(uint32_t ms) override { h_.Sleep(ms); }
    ThreadHandle GetCurrentThread() override { return h_.GetCurrentThread(); }
    int32_t GetThreadPriority(ThreadHandle t) override { return h_.GetThreadPriority(t); }
    bool SetThreadPriority(ThreadHandle t, int32_t p) override {
        return h_.SetThreadPriority(t, p);
    }
    uint32_t GetThreadQuantum(ThreadHandle t) override { return h_.GetThreadQuantum(t); }
    bool SetThreadQuantum(ThreadHandle t, uint32_t q) override { return h_.SetThreadQuantum(t, q); }
    bool IsStylusDown() override { return h_.IsStylusDown(); }
    void FlushPenInput() override { h_.FlushPenInput(); }
    SerialHandle OpenSerialPort(const std::string& name) override {
        return h_.OpenSerialPort(name);
    }
    bool SetSerialTimeouts(SerialHandle p, const SerialTimeouts& t) override {
        return h_.SetSerialTimeouts(p, t);
    }
    bool GetSerialSettings(SerialHandle p, SerialSettings& s) override {
        return h_.GetSerialSettings(p, s);
    }
    bool SetSerialSettings(SerialHandle p, const SerialSettings& s) override {
        return h_.SetSerialSettings(p, s);
    }
    bool SetSerialIrMode(SerialHandle p, bool on) override { return h_.SetSerialIrMode(p, on); }
    void CloseSerialPort(SerialHandle p) override { h_.CloseSerialPort(p); }
    bool SystemCall(uint32_t s, uint32_t w0, uint32_t w1) override {
        return h_.SystemCall(s, w0, w1);
    }

  private:
    struct Block : RegisterBlock {
        Block(CEdgeWatch& watch, RegisterBlock* block) : owner(watch), inner(block) {}
        uint8_t Read8(uint32_t o) override { return inner->Read8(o); }
        uint16_t Read16(uint32_t o) override { return inner->Read16(o); }
        uint32_t Read32(uint32_t o) override { return inner->Read32(o); }
        void Write8(uint32_t o, uint8_t v) override { inner->Write8(o, v), Check(); }
        void Write16(uint32_t o, uint16_t v) override { inner->Write16(o, v), Check(); }
        void Write32(uint32_t o, uint32_t v) override { inner->Write32(o, v), Check(); }
        void Check() {
            if (!owner.seen && owner.h_.Air().TransmitterOn()) {
                owner.firstEdge = Clock::now();
                owner.seen = true;
            }
        }
        CEdgeWatch& owner;
        RegisterBlock* inner;
    };
    SimHandheld& h_;
    std::vector<std::unique_ptr<Block>> blocks_;
};

constexpr const char* kBase = "\\Program Files\\ArdelRemote\\";
constexpr const char* kCodebase = "\\My Documents\\TV_Bench.PDB";

void PenDownToFirstEdge(benchmark::State& state) {
    TempFolder root;
    const std::filesystem::path program = root.Path() / "Program Files" / "ArdelRemote";
    std::filesystem::create_directories(root.Path() / "My Documents");
    std::filesystem::create_directories(program);
    std::filesystem::copy(std::filesystem::path(ARDEL_RESOURCES) / "skins", program / "Skins");
    HostHandheldFs fs(root.Path().string());
    CHandheldRemoteFiles files(fs);
    {
        const std::vector<int32_t> burst = {600, -600};
        CCodebaseFile file(&fs);
        file.CreateCodebase(kCodebase);
        file.StoreSignal(CCodebaseFile::DurationsToValues(burst.data(), burst.size()), 0, 26,
                         "Power", 1);
    }
    SimHandheld handheld(*FindSimProfile("pxa255"));
    CEdgeWatch watch(handheld);
    CIrDriverFactory drivers(watch);
    RemoteServices services;
    services.fs = &fs;
    services.driver = [&drivers] { return drivers.GetIrDriver(); };
    CRemoteModel model(services);
    for (const SimComPort& port : handheld.Profile().comPorts) {
        if (port.irda) {
            model.SetIrPort(port.name);
        }
    }
    CQtModalRunner modal;
    auto window = std::make_unique<CDUWnd>(model, &files, modal);
    window->SetSounds(false);
    window->BuildForms(kBase, QString(kBase) + "ArdelRemoteDefPref.PDB");
    model.MakeHot(kCategoryTv, kCodebase, false);
    window->ShowModel();
    window->show();
    QPoint power;
    CSkinForm& form = *window->GetForm(0);
    for (int i = 0; i < form.ElementCount(); ++i) {
        if (form.Element(i).name == "Power") {
            const CRemoteButton& button = form.Element(i);
            power = QPoint(button.left + button.width / 2, button.top + button.height / 2);
        }
    }
    double latency = 0;
    double press = 0;  // the whole pen-down, the three passes included
    for (auto _ : state) {
        QApplication::processEvents();
        window->repaint();
        watch.seen = false;
        const auto start = Clock::now();
        QTest::mousePress(window.get(), Qt::LeftButton, {}, power);
        press += std::chrono::duration<double>(Clock::now() - start).count();
        QTest::mouseRelease(window.get(), Qt::LeftButton, {}, power);
        if (!watch.seen) {
            state.SkipWithError("nothing was sent");
            break;
        }
        latency += std::chrono::duration<double>(watch.firstEdge - start).count();
    }
    state.counters["latency_ms"] = 1000 * latency / static_cast<double>(state.iterations());
    state.counters["pen_down_ms"] = 1000 * press / static_cast<double>(state.iterations());
    window.reset();
}

}  // namespace

BENCHMARK(PenDownToFirstEdge)->Unit(benchmark::kMillisecond)->Iterations(20);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
