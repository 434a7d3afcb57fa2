// The remote window's state in the preference file: the form shown, the form last shown in
// each category, sounds and hardware-key capture. The hot codebases are kept by the forms'
// slots themselves.
#pragma once

#include <QString>

#include "PrefFile.h"

class CDUWnd;
class HandheldFs;

// Applies the saved state to the window (the saved form becomes current).
void LoadWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state);
// Takes the window's state into `state` and writes it; false when a write failed.
bool SaveWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state);
// Makes the window load its state when its forms are built and save it when it closes.
// `state` must outlive the window.
void KeepWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state);
