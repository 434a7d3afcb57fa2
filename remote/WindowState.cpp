#include "WindowState.h"

#include "CDUWnd.h"

void LoadWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state) {
    LoadState(fs, window.PrefFile(), state);
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        window.SetRememberedForm(category, state.lastForms[static_cast<size_t>(category - 1)]);
    }
    window.SetSounds(state.soundsOn);
    window.SetKeyCapture(state.keyCapture);
    window.SelectForm(IsValidForm(state.currentForm) ? state.currentForm : 0);
}

bool SaveWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state) {
    for (int form = 0; form < kFormCount; ++form) {
        state.hotCodebases[static_cast<size_t>(form)] = window.GetForm(form)->Slot().Path();
    }
    const int current = window.CurrentForm();
    state.currentForm = IsValidForm(current) ? current : 0;
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        state.lastForms[static_cast<size_t>(category - 1)] = window.RememberedForm(category);
    }
    // The form on the screen is the one its category showed last.
    if (IsValidForm(current)) {
        state.lastForms[static_cast<size_t>(current / 2)] = current % 2;
    }
    state.soundsOn = window.SoundsOn();
    state.keyCapture = window.KeyCapture();
    return SaveState(fs, window.PrefFile(), state);
}

void KeepWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state) {
    window.hooks.loadState = [&fs, &state](CDUWnd& w) { LoadWindowState(w, fs, state); };
    window.hooks.saveState = [&fs, &state](CDUWnd& w) { SaveWindowState(w, fs, state); };
}
