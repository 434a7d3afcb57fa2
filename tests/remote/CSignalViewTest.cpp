#include "remote/CSignalView.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <initializer_list>

namespace {

IrSignal MakeSignal(std::initializer_list<int32_t> durations, uint16_t frameStart = 0,
                    uint8_t carrier = 26) {
    IrSignal signal;
    for (const int32_t d : durations) {
        signal.durations[signal.count++] = d;
    }
    signal.frameStart = frameStart;
    signal.carrierPeriod = carrier;
    return signal;
}

// A signal of `count` entries, marks of 500 us and spaces of 1500 us.
IrSignal Long(int count) {
    IrSignal signal;
    for (int i = 0; i < count; ++i) {
        signal.durations[signal.count++] = i % 2 ? -1500 : 500;
    }
    signal.carrierPeriod = 26;
    return signal;
}

class SignalViewTest : public testing::Test {
  protected:
    SignalViewTest() { view.resize(240, 120); }

    double Left() const { return CSignalView::kMargin; }
    double Right() const { return view.width() - CSignalView::kMargin; }

    CSignalView view;
};

TEST_F(SignalViewTest, EveryEdgeLiesInProportionToItsTime) {
    // 1 ms, 2 ms, 3 ms, 4 ms: the edges at 0, 1/10, 3/10, 6/10 and the end of the width.
    view.SetSignals({MakeSignal({1000, -2000, 3000, -4000})});
    const double width = Right() - Left();
    const double expected[] = {0.0, 0.1, 0.3, 0.6, 1.0};
    for (int i = 0; i <= 4; ++i) {
        EXPECT_NEAR(view.EdgeX(0, i), Left() + expected[i] * width, 0.01) << "edge " << i;
    }
}

TEST_F(SignalViewTest, TwoSignalsShareOneTimeScale) {
    // The second signal lasts half as long as the first, so it ends in the middle.
    view.SetSignals({MakeSignal({2000, -6000}), MakeSignal({1000, -3000})});
    EXPECT_NEAR(view.EdgeX(0, 2), Right(), 0.01);
    EXPECT_NEAR(view.EdgeX(1, 1), view.EdgeX(0, 1) / 2 + Left() / 2, 0.01);
    EXPECT_NEAR(view.EdgeX(1, 2), (Left() + Right()) / 2, 0.01);
    EXPECT_EQ(view.WaveRect(1).top(), view.WaveRect(0).top() + view.TraceHeight());
}

// The traces share the view's height: one signal's waveform takes the room that two share,
// and neither leaves the bottom of the view empty nor runs under the scroll bar's place.
TEST_F(SignalViewTest, TracesFillTheHeight) {
    const int bar = view.ScrollBar()->sizeHint().height();
    for (const int traces : {1, 2}) {
        view.SetSignals(std::vector<IrSignal>(size_t(traces), MakeSignal({1000, -2000})));
        const int used = traces * view.TraceHeight();
        EXPECT_LE(used, view.height() - bar) << traces;
        EXPECT_GT(used, view.height() - bar - traces) << traces;
        EXPECT_GE(view.WaveRect(traces - 1).height(), CSignalView::kWaveHeight) << traces;
    }
    view.SetSignals({MakeSignal({1000, -2000})});
    const int single = view.WaveRect(0).height();
    view.SetSignals({MakeSignal({1000, -2000}), MakeSignal({1000, -2000})});
    EXPECT_GT(single, 2 * view.WaveRect(0).height());
}

TEST_F(SignalViewTest, RepeatingFrameIsMarkedWhereItsFirstDurationBegins) {
    // An NEC-style held button: a 4-entry first frame, then a 2-entry repeat.
    view.SetSignals({MakeSignal({9000, -4500, 560, -40000, 9000, -2250}, 4),
                     MakeSignal({9000, -4500, 560, -40000})});
    EXPECT_DOUBLE_EQ(view.FrameStartX(0), view.EdgeX(0, 4));
    const double total = 9000 + 4500 + 560 + 40000 + 9000 + 2250;
    EXPECT_NEAR(view.FrameStartX(0), Left() + (Right() - Left()) * (54060 / total), 0.01);
    // Frame start 0: the whole signal repeats, there is no mark of its own.
    EXPECT_LT(view.FrameStartX(1), 0);
}

TEST_F(SignalViewTest, LongSignalFitsAtFirstAndScrollsWhenZoomedIn) {
    view.SetSignals({Long(kMaxDurations)});
    EXPECT_NEAR(view.EdgeX(0, kMaxDurations), Right(), 0.01);
    EXPECT_FALSE(view.ScrollBar()->isVisibleTo(&view));

    view.ZoomIn();
    view.ZoomIn();
    view.ZoomIn();
    ASSERT_EQ(view.Zoom(), 8);
    const double width = Right() - Left();
    EXPECT_TRUE(view.ScrollBar()->isVisibleTo(&view));
    EXPECT_EQ(view.ScrollBar()->maximum(), int(width) * 7);
    // Zooming keeps the middle of the signal in the middle of the view.
    const double middle = (view.EdgeX(0, 0) + view.EdgeX(0, kMaxDurations)) / 2;
    EXPECT_NEAR(middle, (Left() + Right()) / 2, 1.0);

    view.ScrollBar()->setValue(0);
    EXPECT_NEAR(view.EdgeX(0, 0), Left(), 0.01);
    EXPECT_NEAR(view.EdgeX(0, kMaxDurations), Left() + 8 * width, 0.01);
    view.ScrollBar()->setValue(view.ScrollBar()->maximum());
    EXPECT_NEAR(view.EdgeX(0, kMaxDurations), Right(), 0.01);
    // At the closest zoom every mark of the longest signal is wide enough to see.
    view.SetZoom(CSignalView::kMaxZoom);
    EXPECT_GE(view.EdgeX(0, 1) - view.EdgeX(0, 0), 4.0);

    // A new button starts at the whole picture again.
    view.SetSignals({Long(10)});
    EXPECT_EQ(view.Zoom(), 1);
    EXPECT_FALSE(view.ScrollBar()->isVisibleTo(&view));
    EXPECT_NEAR(view.EdgeX(0, 10), Right(), 0.01);
}

TEST_F(SignalViewTest, ZoomStaysWithinItsLimits) {
    view.SetSignals({Long(20)});
    view.ZoomOut();
    EXPECT_EQ(view.Zoom(), 1);
    for (int i = 0; i < 10; ++i) {
        view.ZoomIn();
    }
    EXPECT_EQ(view.Zoom(), CSignalView::kMaxZoom);
}

TEST_F(SignalViewTest, CarrierAndLengthAreWrittenBesideTheTrace) {
    view.SetSignals({MakeSignal({9000, -4500, 560, -40000}, 0, 26), MakeSignal({500, -250}, 0, 0)});
    EXPECT_EQ(view.TitleText(0), "Signal 1");
    EXPECT_EQ(view.FactsText(0), QString::fromUtf8("38.5 kHz (26 µs), 54.1 ms"));
    EXPECT_EQ(view.FactsText(1), QString::fromUtf8("no carrier, 750 µs"));
    EXPECT_EQ(DurationText(1234567), "1.23 s");
}

}  // namespace
