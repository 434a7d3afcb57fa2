// A learnt button as a picture: each of its signals drawn as a waveform, marks high and
// spaces low, to one time scale, with the first frame and the repeating frame marked and the
// carrier and the length written above the trace.
//
// At zoom 1 the longest signal fills the width; zooming in stretches time and a scroll bar
// below the traces moves along it. The traces share the view's height: the waveforms grow
// to fill it, so one signal is drawn as tall as the room allows.
#pragma once

#include <QWidget>
#include <vector>

#include "ir/IrSignal.h"

class QScrollBar;

class CSignalView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kMargin = 4;  // pixels left and right of the traces
    static constexpr int kTextHeight = 13;
    static constexpr int kWaveHeight = 20;  // the least height of a waveform
    static constexpr int kBracketHeight = 14;
    static constexpr int kMaxZoom = 64;

    explicit CSignalView(QWidget* parent = nullptr);

    // The signals of one button (one or two); none clears the picture. Zoom goes back to 1.
    void SetSignals(std::vector<IrSignal> traces);
    const std::vector<IrSignal>& Signals() const { return signals_; }

    // 1 shows the whole of the longest signal; each step in doubles the scale.
    int Zoom() const { return zoom_; }
    void SetZoom(int zoom);
    void ZoomIn() { SetZoom(zoom_ * 2); }
    void ZoomOut() { SetZoom(zoom_ / 2); }
    QScrollBar* ScrollBar() const { return scroll_; }

    // ---- Geometry, in widget pixels
    // The length of the longest signal, on which the time scale rests.
    int64_t TotalUs() const;
    // The x at which duration `index` of trace `trace` begins; `index` equal to the count is
    // where the signal ends.
    double EdgeX(int trace, int index) const;
    // The x of the start of the repeating frame, or a negative value when the whole signal
    // repeats (frame start 0).
    double FrameStartX(int trace) const;
    // The band of the waveform of a trace.
    QRect WaveRect(int trace) const;
    // The height of one trace: its texts, its waveform and the brackets below it.
    int TraceHeight() const;
    // The texts written above a trace: name and carrier with length.
    QString TitleText(int trace) const;
    QString FactsText(int trace) const;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    double PixelsPerUs() const;
    int PlotWidth() const;
    void UpdateScrollBar();
    void DrawTrace(QPainter& painter, int trace) const;

    std::vector<IrSignal> signals_;
    int zoom_ = 1;
    QScrollBar* scroll_;
};

// Microseconds as a reader takes them in: "560 us", "67.5 ms", "1.20 s".
QString DurationText(int64_t us);
// A carrier period as a frequency and period: "38.5 kHz (26 us)", or "no carrier" for 0.
QString CarrierText(int carrierPeriodUs);
