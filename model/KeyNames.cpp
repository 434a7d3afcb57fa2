#include "model/KeyNames.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include "store/Catalogue.h"
#include "store/FormTables.h"

namespace {

// Key names of the kernel's input layer, of LIRC's remote files and of the Flipper Zero's
// files, in the form KeyWord gives them, and the on-screen buttons they stand for in the
// order in which the categories' forms are searched for one.
struct KeyNames {
    std::vector<const char*> names;
    std::vector<const char*> buttons;
};

const std::vector<KeyNames>& KeyTable() {
    static const std::vector<KeyNames> table = {
        {{"power", "power2", "poweronoff", "onoff", "standby", "powertoggle"}, {"Power"}},
        {{"volumeup", "volup", "vol+", "volume+", "volplus"}, {"Vol+"}},
        {{"volumedown", "voldown", "voldn", "vol-", "volume-", "volminus"}, {"Vol-"}},
        {{"mute", "volmute", "audiomute"}, {"Mute"}},
        {{"channelup", "chup", "chnext", "ch+", "channel+", "chplus", "p+", "prog+", "pageup"},
         {"Ch+", "Ch/P+", "Preset+", "Page+"}},
        {{"channeldown", "chdown", "chdn", "chprev", "ch-", "channel-", "chminus", "p-", "prog-",
          "pagedown"},
         {"Ch-", "Ch/P-", "Preset-", "Page-"}},
        {{"up", "arrowup"}, {"Up"}},
        {{"down", "arrowdown"}, {"Down"}},
        {{"left", "arrowleft"}, {"Left"}},
        {{"right", "arrowright"}, {"Right"}},
        {{"ok", "select"}, {"OK", "Select"}},
        {{"enter"}, {"Enter", "Enter/Jump"}},
        {{"menu", "setup"}, {"Menu", "Settings"}},
        {{"exit"}, {"Exit"}},
        {{"back", "return"}, {"Back", "Exit"}},
        {{"info", "display", "osd"}, {"Info", "Display", "OSD"}},
        {{"epg", "guide"}, {"Guide", "LiveTV/Guide"}},
        {{"play"}, {"Play"}},
        {{"pause"}, {"Pause"}},
        {{"playpause"}, {"Play"}},
        {{"stop"}, {"Stop"}},
        {{"record", "rec"}, {"Record"}},
        {{"rewind", "rew", "fastrewind"}, {"Fast Rewind", "Back"}},
        {{"fastforward", "ff", "forward", "fwd"}, {"Fast Forward", "Forward"}},
        {{"next", "nextsong", "skipforward"}, {"Chap+", "Step+", "Advance"}},
        {{"previous", "prev", "previoussong", "skipback"}, {"Chap-", "Step-", "Instant Replay"}},
        {{"eject", "ejectcd", "ejectclosecd", "openclose"}, {"Eject"}},
        {{"last", "prevch", "previouschannel", "recall"}, {"Last"}},
        {{"input", "source", "av", "switchvideomode"}, {"Input"}},
        {{"subtitle", "subtitles"}, {"Subtitle"}},
        {{"audio", "language"}, {"Audio"}},
        {{"title"}, {"Title"}},
        {{"clear", "delete"}, {"Clear"}},
        {{"favorites", "favorite", "fav"}, {"Favorite"}},
        {{"slow", "slowmotion"}, {"Slow"}},
        {{"tuner", "radio"}, {"Tuner"}},
        {{"tv"}, {"TV"}},
        {{"dvd"}, {"DVD"}},
        {{"vcr"}, {"VCR"}},
        {{"cd"}, {"CD"}},
        {{"tape"}, {"Tape"}},
        {{"aux"}, {"Aux"}},
        {{"sat", "cable"}, {"Cab/Sat"}},
        {{"phono"}, {"Phono"}},
        {{"thumbsup"}, {"Thumbs Up"}},
        {{"thumbsdown"}, {"Thumbs Down"}},
        {{"tivo"}, {"TiVo Service"}},
        {{"pip"}, {"PIP"}},
        {{"10+", "+10", "digits"}, {"+10"}},
    };
    return table;
}

}  // namespace

QString KeyWord(const QString& name) {
    QString word = name.toLower();
    for (const char* prefix : {"key_", "btn_"}) {
        if (word.startsWith(QLatin1String(prefix))) {
            word.remove(0, 4);
        }
    }
    word.removeIf([](QChar c) {
        return c == QLatin1Char(' ') || c == QLatin1Char('_') || c == QLatin1Char('.');
    });
    return word;
}

bool IsButtonOf(int category, const QString& button) {
    if (!IsDeviceCategory(category)) {
        return false;
    }
    for (int form : {FirstFormOf(category), SecondFormOf(category)}) {
        for (const ButtonDef& def : Form(form).buttons) {
            if (button == QLatin1String(def.name)) {
                return true;
            }
        }
    }
    return false;
}

QString OnScreenButtonFor(const QString& keyName, int category) {
    const QString word = KeyWord(keyName);
    if (word.size() == 1 && word[0].isDigit()) {
        return IsButtonOf(category, word) ? word : QString();
    }
    static const QRegularExpression numeric(QStringLiteral("^(numeric|num|digit)?([0-9])$"));
    const QRegularExpressionMatch digit = numeric.match(word);
    if (digit.hasMatch()) {
        return IsButtonOf(category, digit.captured(2)) ? digit.captured(2) : QString();
    }
    for (const KeyNames& entry : KeyTable()) {
        if (std::none_of(entry.names.begin(), entry.names.end(),
                         [&](const char* name) { return word == QLatin1String(name); })) {
            continue;
        }
        for (const char* button : entry.buttons) {
            if (IsButtonOf(category, QLatin1String(button))) {
                return QLatin1String(button);
            }
        }
        return {};
    }
    return {};
}
