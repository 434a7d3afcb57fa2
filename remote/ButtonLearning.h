// Learning one remote button from the device's own remote, and preparing one for a send:
// the two places where a button talks to the IR driver.
#pragma once

#include <QString>
#include <functional>
#include <string>

class CIrDriver;
class CRemoteButton;
class QWidget;

// Learns `button` into its hot codebase through the prompt: one read in single mode (0),
// two in double mode (1) with a confirmation between them. The codebase is created on
// the first learnt button. True when at least one signal was stored; then the button has
// a signal. `parent` is the window the prompt and the messages belong to.
bool Learn(CRemoteButton& button, CIrDriver* driver, int learnMode, bool soundsOn,
           QWidget* parent = nullptr);

// Reads the button's signal (the one its whichSignal names) from its hot codebase into the
// button and loads it into the driver on the selected port. True when the driver is ready
// for Send; the caller then sends and closes the port.
bool PrepareSend(CRemoteButton& button, CIrDriver* driver, QWidget* parent = nullptr);

// Told the button (name and category, 1 TV .. 6 TiVo) just before each capture starts,
// so that whoever holds the device's remote can press that button.
using LearnCaptureHook = std::function<void(const QString& name, int category)>;
// Installs the hook (an empty one removes it) and returns the previous one.
LearnCaptureHook SetLearnCaptureHook(LearnCaptureHook hook);

// Result codes of the driver that have a message of their own.
constexpr int kIrNoPortSelected = 304;

enum class IrAction { Capture, Load };
// The message a driver result is shown with, with the port name or code filled in; empty
// for results that are not reported (success, and a capture that heard nothing).
QString IrFailureMessage(int result, const std::string& port, IrAction action);
