#include "resources/Strings.h"

#include <iterator>

namespace {

constexpr StringEntry kStrings[] = {
    {kStrSelectCategory, "You must select a category."},
    {kStrTypeCodebaseName, "You must type a codebase name."},
    {kStrIllegalCharacter, "Illegal character %s"},
    {kStrCodebaseNameTooLong, "Maximal codebase name length is exceeded."},
    {kStrCodebaseExists,
     "A codebase with the name you specified already exists.\nSpecify a different codebase "
     "name."},
    {kStrCreateFileFailed, "Failure on creating the file.\n '%s'"},
    {kStrOpenHardKeysFailed, "Error Open Hard Keys"},
    {kStrCloseHardKeysFailed, "Error Close Hard Keys"},
    {kStrMissingSkin, "Cannot find skin-file "},
    {kStrDeleteCodebaseQuestion,
     "All infrared signals stored inside the codebase will be lost, and you cannot control "
     "your device anymore! To restore the codebase you'll have to create a new one and learn "
     "it from the original remote control.Are you sure you want to delete '%s' ?"},
    {kStrCannotRenameCodebase, "Cannot rename codebase '%s'."},
    {kStrCannotRemoveFile, "File %s cannot be removed"},
    {kStrTypeFileName, "You must type a file name."},
    {kStrOverwriteSet, "A file with the name you specified already exists. Owerwrite it?"},
    {kStrDeleteSetQuestion, "Are you sure you want to delete preferences '%s' ?"},
    {kStrCannotSavePreferences, "Cannot save current preferences in the file '%s'."},
    {kStrCannotLoadPreferences, "Cannot load preferences from the file '%s'."},
    {kStrNoCategoryToRelearn, "This codebase belongs to no category and cannot be relearned."},
    {kStrFirstSignalRead,
     "You've successfully read the first infrared\nsignal of the button.\nBe sure that you've "
     "released\nthe button on the\nremote\nand press Continue."},
    {kStrNoCodebaseNotice,
     "No codebase has been assigned to this category. Select a codebase by pressing the "
     "small triangle at the top of the screen, or press the Select button and create a new "
     "codebase by using the Add button in the Home Devices form."},
    {kStrLowerFormNotLearnt,
     "You've not learned any button on the lower form. Press Continue if you want to learn "
     "additional buttons."},
    {kStrPortNotSelected, "Com port is not selected!"},
    {kStrPortBusy, "%s port is busy. Please try another port using Preferences/IR Setup dialog."},
    {kStrNoDriver,
     "ArdelRemote cannot use the infrared port of your device. Check compatibility "
     "at " ARDEL_WEB_ADDRESS "."},
    {kStrDriverError, "Internal IR driver error %d. Please write to " ARDEL_SUPPORT_ADDRESS "."},
    {kStrReceiveProblem,
     "ArdelRemote faced a problem while receiving signal, please try again (%d)"},

    {kStrChooseProtocol, "Choose a protocol."},
    {kStrCannotReadCodebase, "Cannot read codebase '%s'."},
    {kStrReplaceImported,
     "A codebase named '%s' exists already. Replace it with the imported one?"},
    {kStrNothingToExport, "The codebase '%s' has no buttons to export."},
    {kStrCannotWriteFile, "Cannot write the file\n '%s'"},
    {kStrImported, "Imported:"},
    {kStrImportedCodebase, "%s: %d buttons"},
    {kStrLeftOut, "Left out:"},
    {kStrLeftOutButton, "%s (line %d): %s"},
    {kStrMoreLeftOut, "... and %d more."},
    {kStrLearntOne, "Learnt: "},
    {kStrLearntSignal, "Signal %d: "},
    {kStrLearntEntries, "%d entries, %s, "},
    {kStrFrameFound, "repeating frame found"},
    {kStrNoFrameFound, "no repeating frame"},
    {kStrLearntCarrier, "carrier %d \xC2\xB5s."},
    {kStrCarrierNotMeasured, "carrier not measured."},
    {kStrCheckedSame, "Checked: the signal comes back as learnt."},
    {kStrCheckedDifferent,
     "Warning: the signal does not come back as learnt (%s). Please learn the button again."},
    {kStrNotChecked, "Not checked: the receiver cannot hear the emitter."},
    {kStrToggleStored,
     "The remote flips a toggle bit on every press of this button: signal 2 was stored with "
     "the other toggle, so that presses alternate as on the remote."},
    {kStrSignalCut,
     "The signal is longer than a learnt signal can hold (1024 entries) and has no repeating "
     "frame: only its beginning was heard, so it was not stored."},
    {kStrLircNoDevice, "There is no IR device '%s'."},
    {kStrLircNoPermission, "No permission to use the IR device '%s'."},
    {kStrLircJoinGroup, " Add your user to the group '%s' that owns it, then log in again."},
    {kStrLircBusy, "The IR device '%s' is busy: another program is using it."},
    {kStrLircCannotSend, "The IR device '%s' cannot send signals."},
    {kStrLircCannotReceive, "The IR device '%s' cannot learn signals."},
    {kStrLircUnplugged, "The IR device '%s' went away (unplugged?)."},
    {kStrLircInvalid, "The IR device '%s' refused the request."},
    {kStrLircOverflow, "The IR receiver '%s' lost part of the signal. Please try again."},
    {kStrLircCannotCarry, "The IR device '%s' cannot send this signal."},
    {kStrLircIoError, "The IR device '%s' failed."},
    {kStrNoSignalHeard, "No IR signal arrived in the learning time."},
    {kStrNotACodebase, "'%s' is not a codebase."},
    {kStrSignalNotStored, "The signal could not be stored in '%s'."},
    {kStrNoSuchButton, "There is no button '%s' in '%s'."},
    {kStrButtonHoldsNoSignal, "The button '%s' in '%s' holds no signal."},
    {kStrNoIrDevice, "This device has no IR driver."},
    {kStrLircUnusable,
     "The LIRC device %s cannot be used (%s), so ArdelRemote uses the simulated handheld. "
     "Choose the IR in Preferences/IR Setup."},
    {kStrNoLircFound,
     "No LIRC device that can send was found, so ArdelRemote uses the simulated handheld. A "
     "LIRC device appears as /dev/lirc0, /dev/lirc1, ... when the kernel drives an IR "
     "transmitter or receiver."},
    {kStrLearntLength, " It lasts %d ms."},
    {kStrAddFromCodes, "Add from codes…"},
    {kStrCodeCollections, "Code collections…"},
    {kStrCodesCategory, "Category:"},
    {kStrCodesBrand, "Brand:"},
    {kStrCodesTry, "Try"},
    {kStrCodesNext, "Next"},
    {kStrCodesUse, "Use this one"},
    {kStrCodesClose, "Close"},
    {kStrCodesButton, "Button:"},
    {kStrCodesFound, "%d remotes match."},
    {kStrCodesNoneFound,
     "No remote of the code collections matches. Preferences/Code collections adds folders "
     "of remote files."},
    {kStrCodesSent, "%s of %s sent. Did the device react? If not: Next, then Try."},
    {kStrCodesNoButton, "The remote %s has no button %s that can be sent."},
    {kStrCodesDetails, "Details…"},
    {kStrCodesLeftOut, "Files of the code collections left out:"},
    {kStrCodesOk, "OK"},
    {kStrCollectionsIntro, "Folders of remote files searched beside LIRC's remote database:"},
    {kStrCollectionsAdd, "Add"},
    {kStrCollectionsRemove, "Remove"},
    {kStrCollectionsNotFolder, "%s is not a folder."},
    {kStrDeleteButtonQuestion,
     "All infrared signals of the button '%s' will be lost. Are you sure you want to delete it "
     "from '%s' ?"},
    {kStrSecondsLeft, "Time Out: %d s"},
    {kStrNothingReceived,
     "Nothing was received from the remote. Point it at the handheld's IR port from close "
     "by, then tap the button on the screen again and hold the remote's button until the "
     "beep; or choose Code... to give the button's code."},
    {kStrLearntCode, "%s: %s"},
    {kStrLearntRaw, "%s: no protocol recognised"},
    {kStrGivenCode, "%s: the code %s"},
    {kStrLearntKilohertz, "carrier %d kHz."},
    {kStrSignalsDiffer, "The two signals differ."},
    {kStrSignalsSame, "The two signals are the same: single mode would do."},
    {kStrMqttConnected, "Connected to the MQTT broker %s as node '%s'."},
    {kStrMqttNoConnection, "No connection to the MQTT broker %s (%s); trying again in %d s."},
    {kStrMqttLoginRefused,
     "The MQTT broker %s refused the user name or password (%s); trying again in %d s."},
    {kStrMqttIgnored, "Ignored '%s' on %s: %s."},
    {kStrMqttNoSuchButton, "no learnt button has this topic"},
    {kStrMqttBadPress, "a press is PRESS, or HOLD and 1 to %d milliseconds"},
    {kStrMqttTestOk, "The MQTT broker %s accepted the connection."},
    {kStrMqttTestTimeout, "The MQTT broker %s did not accept the connection within %d seconds."},
    {kStrMqttTestFailed, "The MQTT broker %s did not accept the connection: %s."},
    {kStrMqttNotSaved, "The home automation settings were not saved: %s"},
    {kStrMqttSaved,
     "Saved. The bridge uses the new settings when the remote is served again (ardelremoted, "
     "or ardelremote --serve)."},
};

}  // namespace

const char* LoadString(int id) {
    for (const StringEntry& entry : kStrings) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return "";
}

const StringEntry* StringTable(int& count) {
    count = static_cast<int>(std::size(kStrings));
    return kStrings;
}
