#include "tools/SkinArt.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QXmlStreamReader>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/FormTables.h"
#include "tools/AppIcon.h"

namespace {

const QString kResources = QStringLiteral(ARDEL_TEST_DATA "/../../resources/");

const std::vector<ArtFile>& Artwork() {
    static const std::vector<ArtFile> files = AllArtwork();
    return files;
}

std::string TestName(const QString& path) {
    std::string name = path.toStdString();
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            c = '_';
        }
    }
    return name;
}

// The committed files are what the generator draws from the current tables: after a
// change of a rectangle or of the drawing, run `ardel-skingen resources` and commit.
class CommittedArtwork : public testing::TestWithParam<size_t> {};

TEST_P(CommittedArtwork, MatchesTheGenerator) {
    const ArtFile& art = Artwork()[GetParam()];
    const QString path = kResources + art.path;
    if (art.kind == ArtFile::kWave) {
        const WaveSound sound = art.sound();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        const QByteArray bytes = file.readAll();
        WaveSound committed;
        ASSERT_EQ(ParseWave(std::vector<uint8_t>(bytes.begin(), bytes.end()), committed), kWaveOk);
        EXPECT_EQ(committed.sampleRate, sound.sampleRate);
        EXPECT_EQ(committed.channels, sound.channels);
        ASSERT_EQ(committed.samples.size(), sound.samples.size());
        // A last-bit difference of the maths library between machines is no change.
        for (size_t i = 0; i + 1 < committed.samples.size(); i += 2) {
            const int a = int16_t(committed.samples[i] | committed.samples[i + 1] << 8);
            const int b = int16_t(sound.samples[i] | sound.samples[i + 1] << 8);
            ASSERT_LE(std::abs(a - b), 1) << "sample " << i / 2;
        }
        return;
    }
    if (art.kind == ArtFile::kSvg) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        EXPECT_EQ(file.readAll(), art.text())
            << path.toStdString() << " differs from ardel-skingen";
        return;
    }
    const QImage committed(path);
    ASSERT_FALSE(committed.isNull()) << path.toStdString();
    // With alpha: the icons are transparent around the remote.
    const QImage expected = art.image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(committed.size(), expected.size());
    EXPECT_TRUE(committed.convertToFormat(QImage::Format_ARGB32) == expected)
        << path.toStdString() << " differs from what ardel-skingen draws";
}

INSTANTIATE_TEST_SUITE_P(Files, CommittedArtwork, testing::Range<size_t>(0, Artwork().size()),
                         [](const testing::TestParamInfo<size_t>& info) {
                             return TestName(Artwork()[info.param].path);
                         });

// The fraction of the rectangle's pixels that differ between two pictures.
double Differing(const QImage& a, const QImage& b, const FormRect& r) {
    int differing = 0;
    for (int y = r.top; y < r.Bottom(); ++y) {
        for (int x = r.left; x < r.Right(); ++x) {
            differing += a.pixel(x, y) != b.pixel(x, y);
        }
    }
    return double(differing) / (r.width * r.height);
}

class FormArtwork : public testing::TestWithParam<int> {};

// Every element of the tables can be seen pressed and dimmed where the form copies it from:
// a rectangle that the drawing missed would look the same in every state.
TEST_P(FormArtwork, EveryElementChangesLookWithItsState) {
    const int form = GetParam();
    const QImage active = FormPicture(form, kImageActive);
    const QImage pressed = FormPicture(form, kImagePressed);
    const QImage disabled = FormPicture(form, kImageDisabled);
    for (const QImage* image : {&active, &pressed, &disabled}) {
        EXPECT_EQ(image->size(), QSize(kScreenWidth, kScreenHeight));
    }
    auto check = [&](const char* name, const FormRect& rect) {
        if (rect.IsEmpty()) {
            return;
        }
        EXPECT_GT(Differing(active, pressed, rect), 0.2) << name;
        EXPECT_GT(Differing(active, disabled, rect), 0.2) << name;
    };
    for (const ButtonDef& button : Form(form).buttons) {
        check(button.name, button.rect);
    }
    for (const PanelElementDef& panel : PanelElements()) {
        // The send indicator is only ever lit, never pressed.
        if (!panel.activeImage && panel.id != kPanelBlip) {
            check(panel.name, panel.rect);
        }
    }
}

// Where two elements' rectangles overlap, the remote copies the overlap from the picture of
// the element it draws later, in that element's state; so the overlap must look the same in
// every picture, or a learnt button shows a square of its unlearnt neighbour ("bites").
TEST_P(FormArtwork, OverlapsOfElementsLookTheSameInEveryState) {
    const int form = GetParam();
    std::vector<std::pair<const char*, QRect>> rects;
    for (const ButtonDef& button : Form(form).buttons) {
        rects.emplace_back(button.name, QRect(button.rect.left, button.rect.top, button.rect.width,
                                              button.rect.height));
    }
    for (const PanelElementDef& panel : PanelElements()) {
        rects.emplace_back(panel.name, QRect(panel.rect.left, panel.rect.top, panel.rect.width,
                                             panel.rect.height));
    }
    const QImage pictures[] = {FormPicture(form, kImageBackground), FormPicture(form, kImageActive),
                               FormPicture(form, kImagePressed), FormPicture(form, kImageDisabled)};
    int overlaps = 0;
    for (size_t i = 0; i < rects.size(); ++i) {
        for (size_t j = i + 1; j < rects.size(); ++j) {
            const QRect both = rects[i].second.intersected(rects[j].second);
            if (both.isEmpty()) {
                continue;
            }
            ++overlaps;
            for (int y = both.top(); y <= both.bottom(); ++y) {
                for (int x = both.left(); x <= both.right(); ++x) {
                    for (const QImage& picture : pictures) {
                        ASSERT_EQ(picture.pixel(x, y), pictures[0].pixel(x, y))
                            << rects[i].first << " and " << rects[j].first << " at " << x << ","
                            << y;
                    }
                }
            }
        }
    }
    RecordProperty("overlaps", overlaps);
}

INSTANTIATE_TEST_SUITE_P(Forms, FormArtwork, testing::Range(0, kFormCount),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(Form(info.param).name);
                         });

// Right under the menu bar the body shows nothing of its own: a dark red window there looked
// like a stray stub of the menu.
TEST(SkinArt, TopEdgeShowsOnlyTheBody) {
    const QImage picture = FormPicture(0, kImageBackground);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            const QRgb pixel = picture.pixel(x, y);
            EXPECT_LE(qRed(pixel), qGreen(pixel) + 20) << x << "," << y;
        }
    }
}

// While idle the remote paints a 4 x 4 red square at (209, 13) over the send indicator; the
// indicator's LED is drawn red and round around it, so the square is its glint and not a
// stray square beside a dark socket.
TEST(SkinArt, IdleLedIsCentredOnTheRedSquare) {
    const QImage picture = FormPicture(0, kImageBackground);
    // Pixels 3.5 pixels out from the square's centre (211, 15), one on each side.
    const QPoint rim[] = {{207, 15}, {214, 15}, {211, 11}, {211, 18}};
    for (const QPoint& at : rim) {
        const QRgb pixel = picture.pixel(at);
        EXPECT_GT(qRed(pixel), 60) << at.x() << "," << at.y();
        EXPECT_GT(qRed(pixel), 2 * qGreen(pixel) + 20) << at.x() << "," << at.y();
    }
    // And dark beyond the LED's rim.
    for (const QPoint& at : {QPoint(204, 15), QPoint(217, 15)}) {
        EXPECT_LT(qRed(picture.pixel(at)), 100) << at.x() << "," << at.y();
    }
}

TEST(SkinArt, TransparentPartsAreExactlyMagenta) {
    const QRgb magenta = qRgb(255, 0, 255);
    for (bool pressed : {false, true}) {
        const QImage triangle = SelectorTriangle(pressed);
        EXPECT_EQ(triangle.size(), QSize(16, 12));
        EXPECT_EQ(triangle.pixel(0, 0), magenta);
        EXPECT_EQ(triangle.pixel(15, 11), magenta);
        EXPECT_NE(triangle.pixel(7, 5), magenta);
    }
    const QImage panel = BuiltInPicture(198);
    EXPECT_EQ(panel.size(), QSize(220, 69));
    for (QPoint corner : {QPoint(0, 0), QPoint(219, 0), QPoint(0, 68), QPoint(219, 68)}) {
        EXPECT_EQ(panel.pixel(corner), magenta);
    }
    EXPECT_NE(panel.pixel(110, 34), magenta);
}

TEST(SkinArt, GreetingShowsItsTickOnlyWhenPressed) {
    const QImage active = GreetingPicture(false);
    const QImage pressed = GreetingPicture(true);
    EXPECT_EQ(active.size(), QSize(240, 320));
    // The three tap areas change between the two pictures.
    for (const FormRect& area :
         {FormRect{159, 139, 78, 30}, FormRect{159, 106, 78, 33}, FormRect{4, 294, 231, 20}}) {
        EXPECT_GT(Differing(active, pressed, area), 0.005);
    }
}

// The greeting's welcome text is drawn into the picture: its last line must not hold a lone
// word under fuller ones. Each band of light rows in the text's area is one line; its width is
// where its rightmost light pixel lies.
TEST(SkinArt, GreetingWelcomeEndsOnAFullLine) {
    const QImage greeting = GreetingPicture(false);
    const QRect area(116, 176, 118, 110);
    std::vector<int> widths;
    bool inLine = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int right = -1;
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(greeting.pixel(x, y)) > 150) {
                right = x - area.left();
            }
        }
        if (right >= 0 && !inLine) {
            widths.push_back(right);
        } else if (right >= 0) {
            widths.back() = std::max(widths.back(), right);
        }
        inLine = right >= 0;
    }
    ASSERT_GE(widths.size(), 2u);
    const int widest = *std::max_element(widths.begin(), widths.end());
    EXPECT_GE(widths.back() * 2, widest) << "last line " << widths.back() << " px of " << widest;
}

// Desktops put the icon on panels of any colour: the corners must stay see-through and the
// remote must still show at the smallest size.
TEST(AppIcon, TransparentAroundAndVisibleAtEverySize) {
    for (const int size : kAppIconSizes) {
        const QImage icon = AppIconPicture(size);
        ASSERT_EQ(icon.size(), QSize(size, size));
        EXPECT_TRUE(icon.hasAlphaChannel()) << size;
        for (const QPoint corner : {QPoint(0, size - 1), QPoint(size - 1, size - 1)}) {
            EXPECT_EQ(qAlpha(icon.pixel(corner)), 0) << size;
        }
        EXPECT_EQ(qAlpha(icon.pixel(size / 2, size * 3 / 4)), 255) << size;
    }
}

TEST(AppIcon, SvgIsWellFormed) {
    QXmlStreamReader svg(AppIconSvg());
    int shapes = 0;
    while (!svg.atEnd()) {
        if (svg.readNext() == QXmlStreamReader::StartElement && svg.name() != u"svg") {
            ++shapes;
        }
    }
    EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
    EXPECT_GT(shapes, 0);
}

TEST(SkinArt, SoundsAreShortAndAudible) {
    for (const char* name : {"click.wav", "system.wav", "learn.wav"}) {
        const WaveSound sound = SoundEffect(name);
        const double seconds = double(sound.FrameCount()) / sound.sampleRate;
        EXPECT_GT(seconds, 0.005) << name;
        EXPECT_LT(seconds, 0.8) << name;
        int peak = 0;
        for (size_t i = 0; i + 1 < sound.samples.size(); i += 2) {
            peak = std::max(peak,
                            std::abs(int(int16_t(sound.samples[i] | sound.samples[i + 1] << 8))));
        }
        EXPECT_GT(peak, 3000) << name;
        EXPECT_LT(peak, 32767) << name;  // no clipping
    }
}

TEST(SkinArt, ColourReductionKeepsSmallPalettesExact) {
    QImage image(4, 1, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(1, 0, qRgb(250, 0, 0));
    image.setPixel(2, 0, qRgb(1, 2, 3));
    image.setPixel(3, 0, qRgb(0, 0, 255));
    EXPECT_EQ(ReduceColours(image).convertToFormat(QImage::Format_RGB32), image);
}

}  // namespace
