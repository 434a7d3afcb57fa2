#include "WindowState.h"

#include "CDUWnd.h"
#include "SelectedPort.h"

namespace {

// What the window holds now, so that a record missing from the file keeps it.
void TakeWindowState(CDUWnd& window, RemoteState& state) {
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
    state.greetingShown = window.greetingDone;
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        window.GetKeyAssignment(slot, state.hardKeys[static_cast<size_t>(slot)]);
    }
    state.irPort = QString::fromStdString(SelectedIrPort());
}

}  // namespace

void LoadWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state) {
    if (!window.GetForm(0)) {
        return;  // no forms, nothing to apply to
    }
    TakeWindowState(window, state);
    LoadState(fs, window.PrefFile(), state);
    for (int form = 0; form < kFormCount; ++form) {
        CSkinForm& skin = *window.GetForm(form);
        if (skin.Slot().Path() != state.hotCodebases[static_cast<size_t>(form)]) {
            skin.Slot().SetPath(state.hotCodebases[static_cast<size_t>(form)]);
            skin.RefreshButtons();
        }
    }
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        window.SetRememberedForm(category, state.lastForms[static_cast<size_t>(category - 1)]);
    }
    window.SetSounds(state.soundsOn);
    window.greetingDone = state.greetingShown;
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        const HardKeyAssignment& key = state.hardKeys[static_cast<size_t>(slot)];
        window.SetKeyAssignment(slot, key.used, key.form, key.button);
    }
    SetSelectedIrPort(state.irPort.toStdString());
    window.SelectForm(IsValidForm(state.currentForm) ? state.currentForm : 0);
    window.UpdateCategoryTabs();
    window.SetKeyCapture(state.keyCapture);
}

bool SaveWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state) {
    if (!window.GetForm(0)) {
        return true;  // no forms, nothing to save
    }
    TakeWindowState(window, state);
    const bool ok = SaveState(fs, window.PrefFile(), state);
    // Slots not in use are kept as "none" from now on, as they were written.
    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        const HardKeyAssignment& key = state.hardKeys[static_cast<size_t>(slot)];
        window.SetKeyAssignment(slot, key.used, key.form, key.button);
    }
    return ok;
}

void KeepWindowState(CDUWnd& window, HandheldFs& fs, RemoteState& state) {
    window.hooks.loadState = [&fs, &state](CDUWnd& w) { LoadWindowState(w, fs, state); };
    window.hooks.saveState = [&fs, &state](CDUWnd& w) { return SaveWindowState(w, fs, state); };
    window.hooks.loadUsedList = [&fs](CDUWnd& w) {
        return LoadUsedList(fs, w.BaseFolder() + UsedListFileName());
    };
    window.hooks.saveUsedList = [&fs](CDUWnd& w) {
        return SaveUsedList(fs, w.BaseFolder() + UsedListFileName(), w.UsedList());
    };
}
