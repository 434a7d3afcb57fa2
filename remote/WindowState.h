// The remote window's state in the preference files: the hot codebase of every form, the
// form shown and the form last shown in each category, sounds, hardware-key capture and
// assignments, the greeting flag and the IR port; and the used list of preference sets.
#pragma once

#include <QString>

#include "PrefFile.h"

class CDUWnd;
class HandheldFs;

// Reads the window's current preference file and applies it: values whose record is
// missing keep what the window has now, and the saved form becomes current.
void LoadWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state);
// Takes the window's state into `state` and writes it to the window's current preference
// file; false when a write failed.
bool SaveWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state);
// Makes the window load and save its state and its used list through `fs`. `state` must
// outlive the window.
void KeepWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state);
