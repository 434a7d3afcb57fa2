#include "remote/CSignalView.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "resources/dialogs/DialogUnits.h"

namespace {

int64_t SignalUs(const IrSignal& signal, int upTo) {
    int64_t us = 0;
    for (int i = 0; i < upTo && i < signal.count; ++i) {
        us += std::abs(int64_t(signal.durations[i]));
    }
    return us;
}

const QColor kMarkColour(0, 0, 160);
const QColor kRepeatColour(0, 120, 0);

}  // namespace

QString DurationText(int64_t us) {
    if (us < 10000) {
        return QString::number(us) + QStringLiteral(" µs");
    }
    if (us < 1000000) {
        return QString::number(double(us) / 1000.0, 'f', 1) + " ms";
    }
    return QString::number(double(us) / 1000000.0, 'f', 2) + " s";
}

QString CarrierText(int carrierPeriodUs) {
    if (carrierPeriodUs <= 0) {
        return "no carrier";
    }
    return QString::number(1000.0 / carrierPeriodUs, 'f', 1) + " kHz (" +
           QString::number(carrierPeriodUs) + QStringLiteral(" µs)");
}

CSignalView::CSignalView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->hide();
    connect(scroll_, &QScrollBar::valueChanged, this, [this] { update(); });
}

void CSignalView::SetSignals(std::vector<IrSignal> traces) {
    signals_ = std::move(traces);
    zoom_ = 1;
    UpdateScrollBar();
    update();
}

void CSignalView::SetZoom(int zoom) {
    zoom = std::clamp(zoom, 1, kMaxZoom);
    if (zoom == zoom_) {
        return;
    }
    // The time in the middle of the view stays where it is.
    const double middle = (scroll_->value() + PlotWidth() / 2.0) / (PlotWidth() * double(zoom_));
    zoom_ = zoom;
    UpdateScrollBar();
    scroll_->setValue(int(middle * PlotWidth() * zoom_ - PlotWidth() / 2.0));
    update();
}

int64_t CSignalView::TotalUs() const {
    int64_t longest = 0;
    for (const IrSignal& signal : signals_) {
        longest = std::max(longest, SignalUs(signal, signal.count));
    }
    return longest;
}

int CSignalView::PlotWidth() const {
    return std::max(1, width() - 2 * kMargin);
}

double CSignalView::PixelsPerUs() const {
    const int64_t total = TotalUs();
    return total > 0 ? double(PlotWidth()) * zoom_ / double(total) : 0.0;
}

double CSignalView::EdgeX(int trace, int index) const {
    if (trace < 0 || trace >= int(signals_.size())) {
        return 0.0;
    }
    const double x = double(SignalUs(signals_[size_t(trace)], index)) * PixelsPerUs();
    return kMargin + x - scroll_->value();
}

double CSignalView::FrameStartX(int trace) const {
    if (trace < 0 || trace >= int(signals_.size())) {
        return -1.0;
    }
    const IrSignal& signal = signals_[size_t(trace)];
    if (signal.frameStart == 0 || signal.frameStart >= signal.count) {
        return -1.0;
    }
    return EdgeX(trace, signal.frameStart);
}

int CSignalView::TraceHeight() const {
    // The scroll bar's room is kept whether or not it shows, so zooming moves nothing.
    const int traces = std::max<int>(1, int(signals_.size()));
    const int room = height() - scroll_->sizeHint().height();
    const int wave = std::max(kWaveHeight, room / traces - kTextHeight - kBracketHeight);
    return kTextHeight + wave + kBracketHeight;
}

QRect CSignalView::WaveRect(int trace) const {
    return QRect(kMargin, trace * TraceHeight() + kTextHeight, PlotWidth(),
                 TraceHeight() - kTextHeight - kBracketHeight);
}

QString CSignalView::TitleText(int trace) const {
    return "Signal " + QString::number(trace + 1);
}

QString CSignalView::FactsText(int trace) const {
    if (trace < 0 || trace >= int(signals_.size())) {
        return QString();
    }
    const IrSignal& signal = signals_[size_t(trace)];
    return CarrierText(signal.carrierPeriod) + ", " + DurationText(SignalUs(signal, signal.count));
}

QSize CSignalView::sizeHint() const {
    return QSize(240,
                 2 * (kTextHeight + kWaveHeight + kBracketHeight) + scroll_->sizeHint().height());
}

void CSignalView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int barHeight = scroll_->sizeHint().height();
    scroll_->setGeometry(0, height() - barHeight, width(), barHeight);
    UpdateScrollBar();
}

void CSignalView::UpdateScrollBar() {
    const int hidden = PlotWidth() * (zoom_ - 1);
    scroll_->setRange(0, hidden);
    scroll_->setPageStep(PlotWidth());
    scroll_->setSingleStep(std::max(1, PlotWidth() / 10));
    scroll_->setVisible(hidden > 0);
}

void CSignalView::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (event->modifiers() & Qt::ControlModifier) {
        for (int i = 0; i < std::abs(steps); ++i) {
            steps > 0 ? ZoomIn() : ZoomOut();
        }
    } else if (zoom_ > 1) {
        scroll_->setValue(scroll_->value() - steps * scroll_->singleStep());
    }
    event->accept();
}

void CSignalView::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            ZoomIn();
            break;
        case Qt::Key_Minus:
            ZoomOut();
            break;
        case Qt::Key_Left:
            scroll_->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case Qt::Key_Right:
            scroll_->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CSignalView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (signals_.empty()) {
        painter.setFont(Arial(11, false));
        painter.drawText(rect(), Qt::AlignCenter, "No signal");
        return;
    }
    for (int trace = 0; trace < int(signals_.size()); ++trace) {
        DrawTrace(painter, trace);
    }
}

void CSignalView::DrawTrace(QPainter& painter, int trace) const {
    const IrSignal& signal = signals_[size_t(trace)];
    const int top = trace * TraceHeight();
    painter.setPen(Qt::black);
    painter.setFont(Arial(11, true));
    const QRect textRow(kMargin, top, PlotWidth(), kTextHeight);
    painter.drawText(textRow, Qt::AlignLeft | Qt::AlignVCenter, TitleText(trace));
    painter.setFont(Arial(11, false));
    painter.drawText(textRow, Qt::AlignRight | Qt::AlignVCenter, FactsText(trace));

    const QRect wave = WaveRect(trace);
    painter.save();
    painter.setClipRect(QRect(0, wave.top(), width(), wave.height() + kBracketHeight));
    const int high = wave.top() + 2;
    const int low = wave.bottom() - 1;
    // The idle level, then one block per mark; a mark narrower than a pixel stays visible.
    painter.setPen(QPen(kMarkColour, 1));
    painter.drawLine(QPointF(EdgeX(trace, 0), low), QPointF(EdgeX(trace, signal.count), low));
    for (int i = 0; i < signal.count; ++i) {
        if (signal.durations[i] <= 0) {
            continue;
        }
        const double x0 = EdgeX(trace, i);
        const double x1 = std::max(EdgeX(trace, i + 1), x0 + 1.0);
        painter.fillRect(QRectF(x0, high, x1 - x0, low - high + 1), kMarkColour);
    }

    // Below the waveform: which part is sent once and which part repeats while held.
    const int bracketY = wave.bottom() + 4;
    painter.setFont(Arial(10, false));
    const double repeatX = FrameStartX(trace);
    const double endX = EdgeX(trace, signal.count);
    auto bracket = [&](double x0, double x1, const QColor& colour, const QString& label) {
        painter.setPen(QPen(colour, 1));
        painter.drawLine(QPointF(x0, bracketY), QPointF(x1, bracketY));
        painter.drawLine(QPointF(x0, bracketY - 3), QPointF(x0, bracketY + 3));
        painter.drawLine(QPointF(x1, bracketY - 3), QPointF(x1, bracketY + 3));
        const QRectF room(x0 + 2, bracketY, std::max(0.0, x1 - x0 - 4), kBracketHeight - 4);
        if (painter.fontMetrics().horizontalAdvance(label) <= room.width()) {
            painter.drawText(room, Qt::AlignHCenter | Qt::AlignTop, label);
        }
    };
    if (repeatX < 0) {
        bracket(EdgeX(trace, 0), endX, kRepeatColour, "repeats whole");
    } else {
        bracket(EdgeX(trace, 0), repeatX, Qt::black, "first frame");
        bracket(repeatX, endX, kRepeatColour, "repeat");
        // The repeating frame starts here.
        painter.setPen(QPen(kRepeatColour, 1, Qt::DashLine));
        painter.drawLine(QPointF(repeatX, wave.top()), QPointF(repeatX, bracketY));
    }
    painter.restore();
}
