// How imported remotes are filed: a folder of mixed remote files of TVs, receivers and sound
// bars, DVD and CD players, cable and satellite boxes and VCRs, as public collections hold
// them (sorted by kind and brand) and as single downloads (only their names, comments and
// buttons tell). Each is imported without a category, as a user would.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <iostream>

#include "model/Importer.h"
#include "store/formats/RemoteFormats.h"
#include "tests/store/DeviceRoot.h"
#include "tests/support/TempFolder.h"

namespace {

struct RemoteFile {
    const char* path;  // below the folder
    int category;      // the kind of device the remote controls
    std::vector<const char*> buttons;
    const char* lircName = nullptr;  // a LIRC remote file of this remote name, else a .ir file
    std::vector<const char*> comments = {};
};

QByteArray FlipperFile(const RemoteFile& file) {
    QByteArray text = "Filetype: IR signals file\nVersion: 1\n";
    for (const char* comment : file.comments) {
        text += "# " + QByteArray(comment) + "\n";
    }
    int command = 1;
    for (const char* button : file.buttons) {
        text += "#\nname: " + QByteArray(button) +
                "\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\ncommand: " +
                QByteArray::number(command++, 16).rightJustified(2, '0') + " 00 00 00\n";
    }
    return text;
}

QByteArray LircFile(const RemoteFile& file) {
    QByteArray text;
    for (const char* comment : file.comments) {
        text += "# " + QByteArray(comment) + "\n";
    }
    text += "begin remote\n  name " + QByteArray(file.lircName) +
            "\n  flags RAW_CODES\n  gap 40000\n  begin raw_codes\n";
    int mark = 500;
    for (const char* button : file.buttons) {
        text += "    name " + QByteArray(button) + "\n      " + QByteArray::number(mark++) +
                " 500 500\n";
    }
    return text + "  end raw_codes\nend remote\n";
}

const RemoteFile kFiles[] = {
    // Televisions.
    {"collection/TVs/LG/LG_32LF650V.ir",
     kCategoryTv,
     {"Power", "Vol_up", "Vol_dn", "Ch_next", "Ch_prev", "Input", "Mute"}},
    {"collection/TVs/Samsung/Samsung_UE40.ir",
     kCategoryTv,
     {"Power", "Source", "Vol_up", "Ch_next", "Menu", "Smart"}},
    {"collection/TVs/Philips/Philips_42PFL.ir", kCategoryTv, {"Power", "Teletext", "P+", "P-"}},
    {"downloads/LG 32LF650V Smart TV.ir", kCategoryTv, {"Ch_next", "Vol_up", "Input"}},
    {"downloads/sony_bravia.lircd.conf",
     kCategoryTv,
     {"KEY_POWER", "KEY_CHANNELUP", "KEY_CHANNELDOWN", "KEY_VOLUMEUP", "KEY_MUTE"},
     "Sony_RM-ED009",
     {"brand: Sony", "devices being controlled by this remote: KDL-40EX500 LCD TV"}},
    {"downloads/Vizio_XRT122.ir", kCategoryTv, {"Power", "Input", "Vol_up", "Ch_next", "Pic_mode"}},
    {"downloads/Hisense_EN2A27.ir",
     kCategoryTv,
     {"Power", "Vol_up", "Vol_dn", "Mute", "Ch_up", "Ch_dn", "Netflix", "Youtube"}},
    {"downloads/bedroom.ir",
     kCategoryTv,
     {"Power", "Vol_up", "Vol_dn", "Ch_next", "Ch_prev", "Input", "Aspect", "Sleep"}},
    {"downloads/RM-ED022.lircd.conf",
     kCategoryTv,
     {"KEY_POWER", "KEY_VOLUMEUP", "KEY_VOLUMEDOWN", "KEY_MUTE", "KEY_CHANNELUP", "KEY_CHANNELDOWN",
      "KEY_1", "KEY_2"},
     "RM-ED022"},
    {"downloads/Panasonic_N2QAYB.ir",
     kCategoryTv,
     {"Power", "AV", "Ch_next", "Ch_prev", "Vol_up", "Text", "Play", "Stop", "Rec", "Guide"}},
    // Receivers and sound bars.
    {"collection/Audio_Receivers/Yamaha/RX-V475.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "Vol_dn", "Mute", "HDMI1", "Tuner", "Preset+", "Surround"}},
    {"collection/Audio_Receivers/Denon/AVR-X1000.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "CD", "Tuner", "DSP"}},
    {"collection/Soundbars/Samsung/HW-K450.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "Vol_dn", "Source", "Bass", "Sound_mode"}},
    {"downloads/Onkyo_TX-NR626.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "Input", "Tuner", "Band", "Preset_up"}},
    {"downloads/living_room.lircd.conf",
     kCategoryAudio,
     {"KEY_POWER", "KEY_VOLUMEUP", "KEY_TUNER", "KEY_RADIO", "KEY_CD"},
     "PIONEER_VSX",
     {"Pioneer AV receiver"}},
    {"downloads/Sony_STR-DH550.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "Vol_dn", "Tuning+", "Tuning-", "FM", "AM", "Surround"}},
    {"downloads/LG_SoundBar_SJ3.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "Vol_dn", "Bluetooth", "Optical", "Woofer_up"}},
    {"downloads/Marantz_RC001.lircd.conf",
     kCategoryAudio,
     {"POWER", "VOL+", "VOL-", "CD", "PHONO", "TAPE", "AUX", "TUNER"},
     "Marantz_RC001"},
    {"downloads/Yamaha_YAS-207.ir",
     kCategoryAudio,
     {"Power", "Vol_up", "Vol_dn", "Input", "Bass_up", "Bluetooth", "Surround"}},
    // DVD, Blu-ray and CD players.
    {"collection/DVD_Players/Sony/DVP-SR210.ir",
     kCategoryDvdCd,
     {"Power", "Play", "Pause", "Stop", "Eject", "Title", "Subtitle"}},
    {"collection/Blu-Ray/Panasonic/DMP-BD84.ir",
     kCategoryDvdCd,
     {"Power", "Open_close", "Play", "Top_menu", "Popup_menu"}},
    {"downloads/Philips_DVP3560.ir",
     kCategoryDvdCd,
     {"Power", "Play", "Stop", "Eject", "Subtitle", "Audio", "Angle"}},
    {"downloads/samsung_ak59.lircd.conf",
     kCategoryDvdCd,
     {"KEY_POWER", "KEY_PLAY", "KEY_STOP"},
     "Samsung_AK59",
     {"Samsung Blu-ray player BD-J5500"}},
    {"downloads/Toshiba_SE-R0265.ir",
     kCategoryDvdCd,
     {"Power", "Eject", "Play", "Pause", "Next", "Prev", "Title", "Setup"}},
    {"downloads/Oppo_BDP-103.ir",
     kCategoryDvdCd,
     {"Power", "Eject", "Play", "Pause", "Stop", "Next", "Prev"}},
    {"downloads/kitchen_cd_player.ir",
     kCategoryDvdCd,
     {"Power", "Play", "Stop", "Next", "Prev", "Eject", "Repeat", "Random"}},
    {"downloads/Denon_DVD-1920.ir", kCategoryDvdCd, {"Power", "Play", "Stop", "Setup"}},
    // Cable and satellite boxes.
    {"collection/Cable_Boxes/Comcast/XR2.ir",
     kCategoryCabSat,
     {"Power", "Guide", "Ch_next", "Ch_prev", "List", "Info", "DVR"}},
    {"collection/SAT/Sky/SkyQ.ir",
     kCategoryCabSat,
     {"Power", "Guide", "Red", "Green", "Yellow", "Blue", "Ch_next", "Interactive"}},
    {"downloads/DirecTV_RC65.ir",
     kCategoryCabSat,
     {"Power", "Guide", "List", "Ch_up", "Ch_dn", "Exit", "Red"}},
    {"downloads/dcx3400.lircd.conf",
     kCategoryCabSat,
     {"KEY_POWER", "KEY_EPG", "KEY_CHANNELUP", "KEY_PVR"},
     "Motorola_DCX3400",
     {"cable box of the living room"}},
    {"downloads/Humax_HDR-FOX.ir",
     kCategoryCabSat,
     {"Power", "Guide", "Ch_next", "Ch_prev", "Red", "Green", "Record"}},
    {"downloads/freeview_box.ir",
     kCategoryCabSat,
     {"Power", "Guide", "Ch_next", "Ch_prev", "Red", "Green", "Yellow", "Blue", "Text"}},
    {"downloads/Arris_VIP1113.ir",
     kCategoryCabSat,
     {"Power", "Guide", "Menu", "Ch_up", "Ch_down", "VOD", "Info"}},
    // Video recorders.
    {"collection/VCR/Panasonic/NV-HD630.ir",
     kCategoryVcr,
     {"Power", "Play", "Rec", "Tracking+", "Tracking-"}},
    {"downloads/JVC_HR-S5900.ir",
     kCategoryVcr,
     {"Power", "Play", "Stop", "Rew", "FF", "Rec", "Tracking_up", "SP/LP"}},
    {"downloads/n9278ud.lircd.conf",
     kCategoryVcr,
     {"KEY_POWER", "KEY_PLAY", "KEY_STOP", "KEY_RECORD"},
     "Funai_N9278UD",
     {"VHS video recorder"}},
    {"downloads/Sanyo_VHR.ir",
     kCategoryVcr,
     {"Power", "Play", "Stop", "Rewind", "Fast_forward", "Record", "Counter_reset", "Index"}},
    {"downloads/Philips_VR550.ir",
     kCategoryVcr,
     {"Power", "Play", "Stop", "Rec", "TV/VCR", "Eject", "Tracking"}},
};

TEST(ImportFiling, MixedFolderOfRemoteFilesIsFiledRight) {
    TempFolder folder;
    DeviceRoot root;
    const HandheldFolders folders = FoldersFor(HandheldFs::kDefaultProgramPath);
    int right = 0;
    for (const RemoteFile& file : kFiles) {
        const QString path = QString::fromStdString(folder / file.path);
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file.lircName ? LircFile(file) : FlipperFile(file));
        out.close();

        const ImportResult read = ReadRemoteFileAt(path, RemoteFormat::Guess);
        ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
        ImportOptions options;
        options.replace = [](const QString&, const QString&) { return true; };
        const ImportReport report = ImportRemotes(root.fs, folders, read, path, options);
        ASSERT_EQ(report.result, kImportOk) << report.error.toStdString();
        ASSERT_EQ(report.codebases.size(), 1u);
        const int filed = report.codebases[0].category;
        if (filed == file.category) {
            ++right;
        } else {
            std::cout << "filed as " << CategoryName(filed) << ": " << file.path << "\n";
        }
    }
    const int all = int(std::size(kFiles));
    std::cout << right << " of " << all << " remotes filed under their category\n";
    EXPECT_GE(right * 10, all * 9);
}

struct HintCase {
    const char* what;
    CategoryHints hints;
    int category;
};

class CategoryHint : public ::testing::TestWithParam<HintCase> {};

// Each source of hints on its own, and which wins where they disagree.
TEST_P(CategoryHint, Decides) {
    EXPECT_EQ(GuessCategory(GetParam().hints), GetParam().category);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CategoryHint,
    ::testing::Values(
        HintCase{"a collection's folder",
                 {"/irdb/Audio_Receivers/Sony/x.ir", "", {}, {}},
                 kCategoryAudio},
        HintCase{"the folder over typical buttons of another kind",
                 {"/irdb/TVs/Sony/x.ir", "", {}, {"Eject", "Title", "Subtitle"}},
                 kCategoryTv},
        HintCase{"a comment", {"x.conf", "RM-1", {"cable box"}, {}}, kCategoryCabSat},
        HintCase{"a brand", {"x.ir", "Onkyo RC-1", {}, {}}, kCategoryAudio},
        HintCase{
            "the remote's name over the brand", {"x.ir", "Denon DVD-1920", {}, {}}, kCategoryDvdCd},
        HintCase{"tuner and input keys",
                 {"x.ir", "", {}, {"Input", "Tuner", "Preset+"}},
                 kCategoryAudio},
        HintCase{"channel keys", {"x.ir", "", {}, {"Ch_next", "Ch_prev", "Input"}}, kCategoryTv},
        HintCase{"a short word inside another is no hint",
                 {"x.ir", "example", {}, {}},  // "amp"
                 kCategoryTv},
        HintCase{"nothing tells", {"x.ir", "", {}, {"Power"}}, kCategoryTv}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.what)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

}  // namespace
