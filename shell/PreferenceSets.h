// The preference-set commands of the remote window: saving the current state as a named
// set, loading a set back, and the menu entries of the sets saved most recently.
//
// The dialogs and messages of the commands are run by the `modal` handed to them.
//
// Every command switches the model's current preference file to the set's file in the
// preferences folder for its duration and always switches it back; a loaded set becomes the
// default state at once, by saving it into the default preference file.
#pragma once

#include <QString>
#include <vector>

class CDUWnd;
class ModalRunner;
class HandheldFs;

// The folder of the saved sets, relative to the base folder.
const QString& PreferencesFolderName();  // "Preferences\"

// The save command: asks for a name, puts it first in the used list (unless the list holds
// it already) and writes the window's state into the set's file.
void SavePreferenceSet(CDUWnd& window, ModalRunner& modal);
// The load command: lets the user choose (or delete) sets, cleans the used list of deleted
// ones, and applies the chosen set.
void LoadPreferenceSet(CDUWnd& window, ModalRunner& modal);
// The used-list entry `index` of the menu (command 20000 + index): applies that set. An
// index outside the used list does nothing.
void ApplyUsedEntry(CDUWnd& window, ModalRunner& modal, int index);

// Tells that the window's state could not be saved into `fileName` (relative to the base
// folder): "Cannot save current preferences in the file '...'.".
void ReportNotSaved(CDUWnd& window, ModalRunner& modal, const QString& fileName);

// The used-list rules, on the list itself.
// Puts `fileName` first, moving the others down and dropping the oldest beyond five; false
// (and no change) when the list holds the name already, whatever its letter case.
bool AddUsedName(std::vector<QString>& used, const QString& fileName);
// Removes every name that is none of `setNames` + ".PDB" (letter case ignored); true when
// a name was removed.
bool CleanUsedList(std::vector<QString>& used, const std::vector<QString>& setNames);
