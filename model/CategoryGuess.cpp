#include "model/CategoryGuess.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>
#include <map>
#include <set>

#include "model/KeyNames.h"
#include "store/Catalogue.h"

namespace {

constexpr int kKinds = kCategoryTiVo + 1;  // indexed by category; Unknown stays 0
using Scores = std::array<double, kKinds>;

// How much each source of hints weighs: a folder that sorts a collection by kind is the
// surest, then the names, then comments and brands; the buttons together weigh as much as
// a name, shared out among the kinds they point to.
constexpr double kFolderWeight = 8;
constexpr double kNameWeight = 6;
constexpr double kCommentWeight = 3;
constexpr double kBrandWeight = 3;
constexpr double kButtonsWeight = 6;
// Below this much button evidence the buttons' share is taken of this much, so that one
// telling button among many neutral ones does not weigh as much as a name.
constexpr double kLeastButtonEvidence = 4;

// Words that name a kind of device. Short words count only standing alone (as a word of
// their own); longer ones also inside a word ("SmartTV" no, "Bluray_player" yes).
struct KindWord {
    const char* word;
    int category;
    bool alone;
    double weight = 1;
};
const KindWord kKindWords[] = {
    {"tivo", kCategoryTiVo, false},
    {"dvd", kCategoryDvdCd, false},
    {"bluray", kCategoryDvdCd, false},
    {"blu-ray", kCategoryDvdCd, false},
    {"cd", kCategoryDvdCd, true},
    {"bd", kCategoryDvdCd, true},
    {"disc", kCategoryDvdCd, true},
    {"laserdisc", kCategoryDvdCd, false},
    {"vcr", kCategoryVcr, false},
    {"vhs", kCategoryVcr, false},
    {"videorecorder", kCategoryVcr, false},
    {"betamax", kCategoryVcr, false},
    {"satellite", kCategoryCabSat, false},
    {"cable", kCategoryCabSat, false},
    {"sat", kCategoryCabSat, true},
    {"stb", kCategoryCabSat, true},
    {"dvb", kCategoryCabSat, false},
    {"settop", kCategoryCabSat, false},
    {"iptv", kCategoryCabSat, false},
    {"decoder", kCategoryCabSat, false},
    {"dvr", kCategoryCabSat, true},
    {"pvr", kCategoryCabSat, true},
    {"streaming", kCategoryCabSat, false},
    {"mediaplayer", kCategoryCabSat, false},
    // A receiver is most often the audio kind; a satellite receiver says so beside it.
    {"receiver", kCategoryAudio, false, 0.6},
    {"amplifier", kCategoryAudio, false},
    {"audio", kCategoryAudio, false},
    {"stereo", kCategoryAudio, false},
    {"hifi", kCategoryAudio, false},
    {"amp", kCategoryAudio, true},
    {"avr", kCategoryAudio, true},
    {"soundbar", kCategoryAudio, false},
    {"speaker", kCategoryAudio, false},
    {"subwoofer", kCategoryAudio, false},
    {"hometheater", kCategoryAudio, false},
    {"hometheatre", kCategoryAudio, false},
    {"tuner", kCategoryAudio, false},
    {"minisystem", kCategoryAudio, false},
    {"tv", kCategoryTv, true},
    {"tvs", kCategoryTv, true},
    {"television", kCategoryTv, false},
    {"smarttv", kCategoryTv, false},
    {"lcd", kCategoryTv, true},
    {"oled", kCategoryTv, true},
    {"plasma", kCategoryTv, false},
};

// Makers known for one kind of device.
struct Brand {
    const char* name;
    int category;
};
const Brand kBrands[] = {
    {"yamaha", kCategoryAudio},
    {"denon", kCategoryAudio},
    {"onkyo", kCategoryAudio},
    {"marantz", kCategoryAudio},
    {"harmankardon", kCategoryAudio},
    {"bose", kCategoryAudio},
    {"sonos", kCategoryAudio},
    {"nad", kCategoryAudio},
    {"rotel", kCategoryAudio},
    {"arcam", kCategoryAudio},
    {"cambridgeaudio", kCategoryAudio},
    {"technics", kCategoryAudio},
    {"teac", kCategoryAudio},
    {"integra", kCategoryAudio},
    {"klipsch", kCategoryAudio},
    {"edifier", kCategoryAudio},
    {"directv", kCategoryCabSat},
    {"dish", kCategoryCabSat},
    {"sky", kCategoryCabSat},
    {"comcast", kCategoryCabSat},
    {"xfinity", kCategoryCabSat},
    {"humax", kCategoryCabSat},
    {"arris", kCategoryCabSat},
    {"motorola", kCategoryCabSat},
    {"pace", kCategoryCabSat},
    {"scientificatlanta", kCategoryCabSat},
    {"cisco", kCategoryCabSat},
    {"technisat", kCategoryCabSat},
    {"dreambox", kCategoryCabSat},
    {"vuplus", kCategoryCabSat},
    {"topfield", kCategoryCabSat},
    {"freesat", kCategoryCabSat},
    {"foxtel", kCategoryCabSat},
    {"roku", kCategoryCabSat},
    {"vizio", kCategoryTv},
    {"tcl", kCategoryTv},
    {"hisense", kCategoryTv},
    {"loewe", kCategoryTv},
    {"oppo", kCategoryDvdCd},
    {"tivo", kCategoryTiVo},
};

// Button names and how typical each is of each kind, indexed by category (Unknown, TV,
// Cab/Sat, DVD/CD, VCR, Audio, TiVo).
// Keys every remote has (power, volume, digits, arrows) tell nothing and are not here.
struct ButtonWord {
    std::vector<const char*> words;  // in KeyWord form
    Scores weights;
};
const std::vector<ButtonWord>& ButtonWords() {
    static const std::vector<ButtonWord> table = {
        {{"chup", "chdown", "chdn", "chnext", "chprev", "ch+", "ch-", "channelup", "channeldown",
          "channel+", "channel-", "chplus", "chminus", "p+", "p-", "prog+", "prog-", "programup",
          "programdown"},
         {0, 1.0, 0.8, 0, 0.3, 0, 0.5}},
        {{"input", "source", "inputs", "hdmi", "hdmi1", "hdmi2", "hdmi3", "av", "tvav", "avtv",
          "component", "pc", "vga", "ext", "inputselect"},
         {0, 0.8, 0, 0, 0, 0.6, 0}},
        {{"aspect",   "ratio",   "wide",      "picture",  "pic",  "picmode", "picturemode",
          "pmode",    "psize",   "backlight", "teletext", "text", "ttx",     "smart",
          "smarthub", "netflix", "apps",      "youtube",  "3d",   "freeze",  "pip"},
         {0, 0.8, 0, 0, 0, 0, 0}},
        {{"tuner",    "radio",    "fm",         "am",       "band",       "preset",     "preset+",
          "preset-",  "presetup", "presetdown", "tuning",   "tuningup",   "tuningdown", "tuning+",
          "tuning-",  "rds",      "surround",   "dsp",      "soundmode",  "bass",       "treble",
          "loudness", "speaker",  "speakera",   "speakerb", "subwoofer",  "sub+",       "sub-",
          "center+",  "center-",  "dimmer",     "phono",    "tape",       "aux",        "bluetooth",
          "bt",       "optical",  "coax",       "pure",     "puredirect", "direct",     "night",
          "dialog",   "effect",   "straight",   "stereo",   "movie",      "music",      "game"},
         {0, 0, 0, 0, 0, 1.0, 0}},
        {{"cd"}, {0, 0, 0, 0.4, 0, 0.6, 0}},
        {{"eject",     "ejectcd",  "openclose", "open",     "title",   "topmenu", "popup",
          "popupmenu", "subtitle", "subtitles", "angle",    "chapter", "chap+",   "chap-",
          "disc",      "discmenu", "ab",        "a-b",      "repeat",  "random",  "shuffle",
          "resume",    "step",     "audio",     "language", "zoom",    "setup"},
         {0, 0, 0, 1.0, 0.2, 0.2, 0}},
        {{"next", "prev", "previous", "skip", "skip+", "skip-", "skipforward", "skipback"},
         {0, 0, 0.2, 0.6, 0, 0.3, 0}},
        {{"tracking", "tracking+", "tracking-", "trackingup", "trackingdown", "tvvcr", "vcrtv",
          "vcr", "vcr+", "counter", "reset", "sp", "lp", "slp", "speed", "index", "showview",
          "vcrplus", "x2"},
         {0, 0, 0, 0, 1.0, 0, 0}},
        {{"record", "rec"}, {0, 0, 0.4, 0.2, 0.8, 0, 0.3}},
        {{"play", "pause", "stop", "rewind", "rew", "fastforward", "ff", "fwd", "forward"},
         {0, 0, 0.2, 0.4, 0.4, 0.1, 0.2}},
        {{"guide", "epg",      "dvr",       "pvr",   "list",    "recordings",  "mylist",
          "fav",   "favorite", "favorites", "sat",   "tvradio", "interactive", "ondemand",
          "vod",   "pageup",   "pagedown",  "page+", "page-",   "day+",        "day-",
          "dayup", "daydown",  "services",  "box",   "live",    "tv"},
         {0, 0, 1.0, 0, 0, 0, 0.2}},
        {{"red", "green", "yellow", "blue", "a", "b", "c", "d"}, {0, 0.4, 0.5, 0, 0, 0, 0}},
        {{"tivo", "thumbsup", "thumbsdown", "livetv", "instantreplay", "advance", "nowplaying"},
         {0, 0, 0.2, 0, 0, 0, 1.0}},
    };
    return table;
}

// Which entry of ButtonWords() each button word belongs to (the first that lists it).
const std::map<QString, size_t>& ButtonWordIndex() {
    static const std::map<QString, size_t> index = [] {
        std::map<QString, size_t> made;
        for (size_t k = 0; k < ButtonWords().size(); ++k) {
            for (const char* word : ButtonWords()[k].words) {
                made.emplace(QLatin1String(word), k);
            }
        }
        return made;
    }();
    return index;
}

// Whether a character of a lower-case text belongs to a word: a-z, 0-9 (and + and - when
// `signs`).
bool InWord(QChar c, bool signs) {
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || (signs && (u == '+' || u == '-'));
}

QStringList Words(const QString& text) {
    return SplitWords(text.toLower(), [](QChar c) { return InWord(c, true); });
}

// The text without anything but letters and digits ("Sound_Bar": "soundbar").
QString Compact(const QString& text) {
    QString compact = text.toLower();
    compact.removeIf([](QChar c) { return !InWord(c, false); });
    return compact;
}

// The kind words as they are compared: alone as written, inside a word compacted.
const std::vector<QString>& KindWordKeys() {
    static const std::vector<QString> keys = [] {
        std::vector<QString> made;
        for (const KindWord& entry : kKindWords) {
            const QString word = QLatin1String(entry.word);
            made.push_back(entry.alone ? word : Compact(word));
        }
        return made;
    }();
    return keys;
}

// The kinds a text names, each counted once at `weight`.
void AddKindWords(const QString& text, double weight, Scores& scores) {
    const QStringList words = Words(text);
    const QString compact = Compact(text);
    Scores found{};
    const std::vector<QString>& keys = KindWordKeys();
    for (size_t k = 0; k < std::size(kKindWords); ++k) {
        const KindWord& entry = kKindWords[k];
        const bool hit = entry.alone ? words.contains(keys[k]) : compact.contains(keys[k]);
        if (hit) {
            found[entry.category] = std::max(found[entry.category], entry.weight);
        }
    }
    for (int category = 0; category < kKinds; ++category) {
        scores[category] += found[category] * weight;
    }
}

void AddBrands(const QString& text, Scores& scores) {
    const QStringList words = Words(text);
    const QString compact = Compact(text);
    Scores found{};
    for (const Brand& brand : kBrands) {
        const QString name = QLatin1String(brand.name);
        // Short names only as a word of their own ("nad", "sky"), longer ones anywhere.
        if (name.size() <= 4 ? words.contains(name) : compact.contains(name)) {
            found[brand.category] = 1;
        }
    }
    for (int category = 0; category < kKinds; ++category) {
        scores[category] += found[category] * kBrandWeight;
    }
}

void AddButtons(const std::vector<QString>& buttonNames, Scores& scores) {
    Scores evidence{};
    double total = 0;
    std::set<QString> seen;
    for (const QString& name : buttonNames) {
        const QString word = KeyWord(name);
        if (!seen.insert(word).second) {
            continue;
        }
        const auto found = ButtonWordIndex().find(word);
        if (found == ButtonWordIndex().end()) {
            continue;
        }
        const ButtonWord& entry = ButtonWords()[found->second];
        for (int category = 0; category < kKinds; ++category) {
            evidence[category] += entry.weights[category];
            total += entry.weights[category];
        }
    }
    const double base = std::max(total, kLeastButtonEvidence);
    for (int category = 0; category < kKinds; ++category) {
        scores[category] += kButtonsWeight * evidence[category] / base;
    }
}

}  // namespace

int GuessCategory(const CategoryHints& hints) {
    Scores scores{};
    const QFileInfo file(hints.path);
    const QStringList folders =
        QString(hints.path).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    // Every folder on the way to the file; the file's own name is a name of the remote.
    QString path;
    for (qsizetype k = 0; k + 1 < folders.size(); ++k) {
        AddKindWords(folders[k], kFolderWeight, scores);
        path += folders[k] + QLatin1Char(' ');
    }
    const QString names = hints.remoteName + QLatin1Char(' ') + file.completeBaseName();
    AddKindWords(names, kNameWeight, scores);
    QString comments;
    for (const QString& comment : hints.comments) {
        comments += comment + QLatin1Char('\n');
    }
    AddKindWords(comments, kCommentWeight, scores);
    AddBrands(path + names + QLatin1Char(' ') + comments, scores);
    AddButtons(hints.buttonNames, scores);

    int best = kCategoryTv;
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (scores[category] > scores[best]) {
            best = category;
        }
    }
    return best;
}

int GuessCategory(const QString& remoteName, const std::vector<QString>& buttonNames) {
    return GuessCategory(CategoryHints{QString(), remoteName, {}, buttonNames});
}

QStringList SplitWords(const QString& text, const std::function<bool(QChar)>& inWord) {
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (inWord(c)) {
            word += c;
        } else if (!word.isEmpty()) {
            words << word;
            word.clear();
        }
    }
    if (!word.isEmpty()) {
        words << word;
    }
    return words;
}

int CategoryNamedBy(const QString& text) {
    Scores scores{};
    AddKindWords(text, 1, scores);
    int best = kCategoryUnknown;
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (scores[category] > scores[best]) {
            best = category;
        }
    }
    return best;
}
