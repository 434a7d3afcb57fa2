// The words of the model's outcomes: every face (the window, ardelctl, a service) shows a
// failure in the same words, made here from the string table out of the codes and facts
// that the IR engine and the codebase files return.
#pragma once

#include <QString>

#include "model/Operations.h"

enum class IrAction { Capture, Load, Send };

// The message for an IR failure; empty for success.
QString IrFailureText(const IrFailure& failure, IrAction action);

// The message for a failed store or read of `button` in the codebase at `path`; empty for
// success.
QString StoreFailureText(StoreResult result, const QString& path, const QString& button);

// The message for a learn that failed; empty when it succeeded or the user ended it.
QString LearnFailureText(const LearnOutcome& outcome);

// What a learn learnt, in one line: the button and the code its signal sends where a
// protocol names it ("Vol+: SIRC 0x1/0x12"), or the code given for it. Empty when nothing was
// learnt.
QString LearntHeadline(const LearnOutcome& outcome);

// What the confirmation after a learn says: the headline, then the learning report (the
// carrier in kHz) and the learning check of each learnt signal, in double mode whether the
// two signals differ, and whether a toggle button got its other toggle as signal 2.
QString LearntText(const LearnOutcome& outcome);
