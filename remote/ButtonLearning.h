// Learning one remote button from the device's own remote, and preparing one for a send:
// the two places where a button talks to the IR driver.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "model/CRemoteModel.h"

class ModalRunner;
class CRemoteButton;
class QWidget;

// Learns `button` into its hot codebase through the prompt: one read in single mode (0),
// two in double mode (1) with a confirmation between them. The codebase is created on
// the first learnt button; a capture cut short (longer than a signal holds) is refused. Each
// stored signal is sent once into the device's own receiver to check it, and a confirmation
// tells what was learnt. True when at least one signal was stored; then the button has a
// signal. `parent` is the window the prompt and the messages belong to; `modal` runs them.
bool Learn(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal, int learnMode,
           QWidget* parent = nullptr);

// Gives `button` its signal from a protocol and a code instead of a read, then stores,
// checks and confirms it as a button learnt in single mode is. True when it was stored.
bool LearnByCode(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal,
                 QWidget* parent = nullptr);

// Reads the button's signal (the one its whichSignal names) from its hot codebase into the
// button and loads it into the driver on the selected port. True when the driver is ready
// for Send; the caller then sends (the model closes the port after the send).
bool PrepareSend(CRemoteButton& button, CRemoteModel& model, ModalRunner& modal,
                 QWidget* parent = nullptr);

// What the confirmation after a learn says: the learning report and the learning check of
// each learnt signal, and whether a toggle button got its other toggle as signal 2.
QString LearntText(const std::vector<LearnReport>& reports, const std::vector<LearnCheck>& checks,
                   bool toggled);

enum class IrAction { Capture, Load };
// The message a driver result is shown with, with the port name or code filled in; empty
// for results that are not reported (success, and a capture that heard nothing).
QString IrFailureMessage(int result, const std::string& port, IrAction action);
