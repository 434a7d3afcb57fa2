// The program's string table: the texts of its messages, by number.
//
// Numbers 65014 to 65058 are the remote's own messages: the remote screen, learning and
// sending, the codebase and preference-set dialogs, Home Devices and the preference files.
// Numbers 65060 to 65199 are the messages of what this program adds around them: entering a
// code, the button view, importing and exporting files of IR codes, and the report after a
// button was learnt. A free number stays free; a text is never numbered twice.
//
// A text with a value to fill in holds %s (a text) or %d (a number) where the value goes.
#pragma once

enum StringId : int {
    kStrSelectCategory = 65014,
    kStrTypeCodebaseName = 65015,
    kStrIllegalCharacter = 65016,  // %s: the character
    kStrCodebaseNameTooLong = 65017,
    kStrCodebaseExists = 65018,
    kStrCreateFileFailed = 65019,  // %s: the path
    kStrOpenHardKeysFailed = 65020,
    kStrCloseHardKeysFailed = 65021,
    kStrMissingSkin = 65022,             // the path follows
    kStrDeleteCodebaseQuestion = 65023,  // %s: the codebase's name
    kStrCannotRenameCodebase = 65024,    // %s: the path
    kStrCannotRemoveFile = 65025,        // %s: the path
    kStrTypeFileName = 65026,
    kStrOverwriteSet = 65027,
    kStrDeleteSetQuestion = 65028,      // %s: the set's name
    kStrCannotSavePreferences = 65029,  // %s: base folder and file name
    kStrCannotLoadPreferences = 65030,  // %s: base folder and file name
    kStrNoCategoryToRelearn = 65031,
    kStrFirstSignalRead = 65033,
    kStrNoCodebaseNotice = 65039,
    kStrLowerFormNotLearnt = 65046,
    kStrPortNotSelected = 65053,
    kStrPortBusy = 65054,  // %s: the port
    kStrNoDriver = 65056,
    kStrDriverError = 65057,     // %d: the driver's result
    kStrReceiveProblem = 65058,  // %d: the driver's result

    kStrChooseProtocol = 65060,
    kStrCannotReadCodebase = 65061,  // %s: the path
    kStrReplaceImported = 65062,     // %s: the codebase's name
    kStrNothingToExport = 65063,     // %s: the codebase's name
    kStrCannotWriteFile = 65064,     // %s: the file
    kStrImported = 65065,            // the codebases made follow, one a line
    kStrImportedCodebase = 65066,    // %s: the codebase's name, %d: its buttons
    kStrLeftOut = 65067,             // the buttons left out follow, one a line
    kStrLeftOutButton = 65068,       // %s: the button, %d: the line, %s: why
    kStrMoreLeftOut = 65069,         // %d: how many more
    kStrLearntOne = 65070,
    kStrLearntSignal = 65071,   // %d: signal 1 or 2
    kStrLearntEntries = 65072,  // %d: entries, %s: whether a frame was found
    kStrFrameFound = 65073,
    kStrNoFrameFound = 65074,
    kStrLearntCarrier = 65075,  // %d: the carrier period in microseconds
    kStrCarrierNotMeasured = 65076,
    kStrCheckedSame = 65077,
    kStrCheckedDifferent = 65078,  // %s: what differs
    kStrNotChecked = 65079,
    kStrToggleStored = 65080,
    kStrSignalCut = 65081,
    kStrLircNoDevice = 65082,       // %s: the device
    kStrLircNoPermission = 65083,   // %s: the device
    kStrLircJoinGroup = 65084,      // %s: the group that owns the device
    kStrLircBusy = 65085,           // %s: the device
    kStrLircCannotSend = 65086,     // %s: the device
    kStrLircCannotReceive = 65087,  // %s: the device
    kStrLircUnplugged = 65088,      // %s: the device
    kStrLircInvalid = 65089,        // %s: the device
    kStrLircOverflow = 65090,       // %s: the device
    kStrLircCannotCarry = 65091,    // %s: the device
    kStrLircIoError = 65092,        // %s: the device
    kStrNoSignalHeard = 65093,
    kStrNotACodebase = 65094,         // %s: the path
    kStrSignalNotStored = 65095,      // %s: the path
    kStrNoSuchButton = 65096,         // %s: the button, %s: the path
    kStrButtonHoldsNoSignal = 65097,  // %s: the button, %s: the path
    kStrNoIrDevice = 65098,
    kStrLircUnusable = 65099,  // %s: the device, %s: why
    kStrNoLircFound = 65100,
    kStrLearntLength = 65160,  // %d: how long the learnt signal lasts, in milliseconds
    // Adding a codebase from the code collections on disk.
    kStrAddFromCodes = 65170,
    kStrCodeCollections = 65171,
    kStrCodesCategory = 65172,
    kStrCodesBrand = 65173,
    kStrCodesTry = 65174,
    kStrCodesNext = 65175,
    kStrCodesUse = 65176,
    kStrCodesClose = 65177,
    kStrCodesButton = 65178,
    kStrCodesFound = 65179,  // %d: how many remotes
    kStrCodesNoneFound = 65180,
    kStrCodesSent = 65181,      // %s: the button, %s: the remote
    kStrCodesNoButton = 65182,  // %s: the remote, %s: the button
    kStrCodesDetails = 65183,
    kStrCodesLeftOut = 65184,  // the files follow, one a line
    kStrCodesOk = 65185,
    kStrCollectionsIntro = 65186,
    kStrCollectionsAdd = 65187,
    kStrCollectionsRemove = 65188,
    kStrCollectionsNotFolder = 65189,  // %s: the folder

    kStrDeleteButtonQuestion = 65120,  // %s: the button, %s: the codebase's name
    kStrSecondsLeft = 65101,      // %d: seconds left of a read
    kStrNothingReceived = 65102,  // after a read that heard nothing: how to go on
    kStrLearntCode = 65103,       // %s: the button, %s: protocol, address and command
    kStrLearntRaw = 65104,        // %s: the button
    kStrGivenCode = 65105,        // %s: the button, %s: protocol, address and command
    kStrLearntKilohertz = 65106,  // %d: the carrier in kHz
    kStrSignalsDiffer = 65107,
    kStrSignalsSame = 65108,

    // The bridge to home automation (MQTT) and its preferences.
    kStrMqttConnected = 65140,     // %s: the broker, %s: the node id
    kStrMqttNoConnection = 65141,  // %s: the broker, %s: why, %d: seconds
    kStrMqttLoginRefused = 65142,  // %s: the broker, %s: the broker's answer, %d: seconds
    kStrMqttIgnored = 65143,       // %s: the payload, %s: the topic, %s: why
    kStrMqttNoSuchButton = 65144,
    kStrMqttBadPress = 65145,     // %d: the longest hold
    kStrMqttTestOk = 65146,       // %s: the broker
    kStrMqttTestTimeout = 65147,  // %s: the broker, %d: seconds
    kStrMqttNotSaved = 65148,     // %s: why
    kStrMqttSaved = 65149,
    kStrMqttTestFailed = 65150,  // %s: the broker, %s: the broker's answer or the failure
};

// The text of string `id`; an empty string for a number the table lacks.
const char* LoadString(int id);

// The table itself, for checks over all of it.
struct StringEntry {
    int id;
    const char* text;
};
const StringEntry* StringTable(int& count);

// Where messages send people.
#define ARDEL_WEB_ADDRESS "https://www.ardelremote.example/devices"
#define ARDEL_SUPPORT_ADDRESS "support@ardelremote.example"
