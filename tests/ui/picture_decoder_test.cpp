// Picture decoding: format detection by leading bytes, JPEG (with DCT scaling, grey and CMYK),
// PNG, BMP, GIF and icons, fitting into the box, and bad input that must come back as nothing.
#include "ui/picture_decoder.h"

#include <gtest/gtest.h>

#include "tests/ui/qt_test_environment.h"
#include "tests/ui/test_images.h"
#include "ui/image_codecs.h"

LUMENO_QT_TEST_ENVIRONMENT();

namespace lumeno::ui {
namespace {

using testing::EncodeWithQt;
using testing::JpegColours;
using testing::MakeJpeg;
using testing::SameColour;
using testing::SolidImage;

const QSize kBox(344, 206);

// A minimal 1 x 1 GIF with a red pixel (two-colour palette, LZW minimum code size 2).
const ByteSet kRedGif = {'G', 'I',  'F', '8', '9', 'a', 1, 0,    1,    0, 0x80, 0,
                         0,   0xFF, 0,   0,   0,   0,   0, 0x2C, 0,    0, 0,    0,
                         1,   0,    1,   0,   0,   2,   2, 0x44, 0x01, 0, 0x3B};

struct DetectCase {
    const char* name;
    ByteSet bytes;
    PictureFormat expected;
};

class DetectPictureFormatTest : public ::testing::TestWithParam<DetectCase> {};

TEST_P(DetectPictureFormatTest, TellsTheFormatByItsLeadingBytes) {
    EXPECT_EQ(DetectPictureFormat(GetParam().bytes), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    LeadingBytes, DetectPictureFormatTest,
    ::testing::Values(
        DetectCase{"jpeg", {0xFF, 0xD8, 0xFF, 0xE0}, PictureFormat::Jpeg},
        DetectCase{"jpeg too short", {0xFF, 0xD8}, PictureFormat::Unknown},
        DetectCase{"png", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0}, PictureFormat::Png},
        DetectCase{"png with a broken signature",
                   {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0B},
                   PictureFormat::Unknown},
        DetectCase{"gif87a", {'G', 'I', 'F', '8', '7', 'a'}, PictureFormat::Gif},
        DetectCase{"gif89a", {'G', 'I', 'F', '8', '9', 'a'}, PictureFormat::Gif},
        DetectCase{"bmp", {'B', 'M', 0, 0}, PictureFormat::Bmp},
        DetectCase{"icon", {0, 0, 1, 0, 1, 0}, PictureFormat::Icon},
        DetectCase{"cursor", {0, 0, 2, 0, 1, 0}, PictureFormat::Icon},
        DetectCase{"icon directory without images", {0, 0, 1, 0, 0, 0}, PictureFormat::Unknown},
        DetectCase{"html error page", {'<', 'h', 't', 'm', 'l', '>'}, PictureFormat::Unknown},
        DetectCase{"empty", {}, PictureFormat::Unknown}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return name;
    });

TEST(FittedSizeTest, ScalesDownKeepingAspectAndNeverEnlarges) {
    EXPECT_EQ(FittedSize({3840, 2160}, kBox), QSize(344, 194));
    EXPECT_EQ(FittedSize({800, 800}, kBox), QSize(206, 206));
    EXPECT_EQ(FittedSize({100, 50}, kBox), QSize(100, 50));
    EXPECT_EQ(FittedSize({344, 206}, kBox), QSize(344, 206));
    EXPECT_EQ(FittedSize({10000, 1}, kBox), QSize(344, 1));  // never collapses to nothing
    EXPECT_TRUE(FittedSize({0, 10}, kBox).isEmpty());
}

TEST(DecodePictureTest, JpegIsFittedIntoTheBoxWithItsColours) {
    const QColor orange(240, 120, 20);
    const QImage image = DecodePicture(MakeJpeg(800, 600, orange), kBox);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(275, 206));
    EXPECT_TRUE(SameColour(image.pixelColor(137, 103), orange))
        << image.pixelColor(137, 103).name().toStdString();
}

TEST(DecodePictureTest, LargeJpegIsDecodedAtAReducedDctScale) {
    const ByteSet bytes = MakeJpeg(3840, 2160, QColor(20, 200, 60), JpegColours::Rgb, 50);
    const QImage reduced = DecodeJpeg(bytes, kBox);
    // 1/8 scale (480 x 270) is the smallest that still covers 344 x 194.
    EXPECT_EQ(reduced.size(), QSize(480, 270));
    const QImage full = DecodeJpeg(bytes, QSize());
    EXPECT_EQ(full.size(), QSize(3840, 2160));
    EXPECT_EQ(DecodePicture(bytes, kBox).size(), QSize(344, 194));
}

TEST(DecodePictureTest, DctScaleNeverDropsBelowTheShownSize) {
    // 1/8 of 1000 x 600 would be 125 x 75, short of the 344 x 206 shown: 3/8 gives 375 x 225.
    const QImage image = DecodeJpeg(MakeJpeg(1000, 600, Qt::blue), kBox);
    EXPECT_EQ(image.size(), QSize(375, 225));
}

TEST(DecodePictureTest, GreyAndCmykJpegsComeOutInColour) {
    const QImage grey =
        DecodePicture(MakeJpeg(64, 48, QColor(128, 128, 128), JpegColours::Grey), kBox);
    ASSERT_FALSE(grey.isNull());
    EXPECT_TRUE(SameColour(grey.pixelColor(32, 24), QColor(128, 128, 128)));

    const QColor teal(0, 128, 128);
    const QImage cmyk = DecodePicture(MakeJpeg(64, 48, teal, JpegColours::Cmyk), kBox);
    ASSERT_FALSE(cmyk.isNull());
    EXPECT_TRUE(SameColour(cmyk.pixelColor(32, 24), teal, 12))
        << cmyk.pixelColor(32, 24).name().toStdString();
}

TEST(DecodePictureTest, SmallPictureKeepsItsSize) {
    const QImage image = DecodePicture(MakeJpeg(40, 30, Qt::red), kBox);
    EXPECT_EQ(image.size(), QSize(40, 30));
}

struct QtFormatCase {
    const char* format;
    QImage::Format pixels;
};

class DecodeQtWrittenPictureTest : public ::testing::TestWithParam<QtFormatCase> {};

TEST_P(DecodeQtWrittenPictureTest, DecodesAndFits) {
    const QColor purple(150, 40, 200);
    QImage source = SolidImage(688, 412, purple, GetParam().pixels);
    if (std::string(GetParam().format) == "ICO") source = SolidImage(64, 64, purple);
    const ByteSet bytes = EncodeWithQt(source, GetParam().format);
    ASSERT_FALSE(bytes.empty());
    const QImage image = DecodePicture(bytes, kBox);
    ASSERT_FALSE(image.isNull()) << GetParam().format;
    EXPECT_EQ(image.size(), FittedSize(source.size(), kBox));
    const QPoint centre(image.width() / 2, image.height() / 2);
    EXPECT_TRUE(SameColour(image.pixelColor(centre), purple, 2))
        << image.pixelColor(centre).name().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Formats, DecodeQtWrittenPictureTest,
                         ::testing::Values(QtFormatCase{"PNG", QImage::Format_RGB32},
                                           QtFormatCase{"PNG", QImage::Format_ARGB32},
                                           QtFormatCase{"BMP", QImage::Format_RGB32},
                                           QtFormatCase{"ICO", QImage::Format_RGB32}),
                         [](const auto& info) {
                             return std::string(info.param.format) + "_" +
                                    std::to_string(info.index);
                         });

TEST(DecodePictureTest, PalettedGreyAndSixteenBitPngs) {
    QImage paletted =
        SolidImage(30, 20, QColor(10, 200, 30)).convertToFormat(QImage::Format_Indexed8);
    QImage grey = SolidImage(30, 20, QColor(90, 90, 90)).convertToFormat(QImage::Format_Grayscale8);
    QImage deep = SolidImage(30, 20, QColor(200, 100, 50)).convertToFormat(QImage::Format_RGBA64);
    for (const QImage& source : {paletted, grey, deep}) {
        const QImage image = DecodePng(EncodeWithQt(source, "PNG"));
        ASSERT_FALSE(image.isNull()) << source.format();
        EXPECT_EQ(image.size(), QSize(30, 20));
        EXPECT_TRUE(SameColour(image.pixelColor(15, 10), source.pixelColor(15, 10), 2))
            << source.format();
    }
}

TEST(DecodePictureTest, Gif) {
    const QImage image = DecodePicture(kRedGif, kBox);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1, 1));
    EXPECT_TRUE(SameColour(image.pixelColor(0, 0), Qt::red));
}

TEST(DecodePictureTest, BadInputGivesNoPicture) {
    ByteSet jpeg = MakeJpeg(200, 100, Qt::green);
    ByteSet png = EncodeWithQt(SolidImage(200, 100, Qt::green), "PNG");

    ByteSet jpegGarbage = {0xFF, 0xD8, 0xFF};
    for (int i = 0; i < 500; ++i) jpegGarbage.push_back(static_cast<std::uint8_t>(i * 37));
    ByteSet pngHeaderOnly(png.begin(), png.begin() + 40);
    ByteSet pngCorrupt = png;
    for (std::size_t i = 60; i < pngCorrupt.size(); i += 7) pngCorrupt[i] ^= 0x5A;
    ByteSet jpegHeaderOnly(jpeg.begin(), jpeg.begin() + 20);
    // SOF0 claiming 60000 x 60000 pixels: refused before any decoding.
    ByteSet jpegHuge = jpeg;
    for (std::size_t i = 0; i + 8 < jpegHuge.size(); ++i) {
        if (jpegHuge[i] == 0xFF && jpegHuge[i + 1] == 0xC0) {
            jpegHuge[i + 5] = 0xEA;
            jpegHuge[i + 6] = 0x60;
            jpegHuge[i + 7] = 0xEA;
            jpegHuge[i + 8] = 0x60;
            break;
        }
    }
    const ByteSet bmpGarbage = {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const ByteSet text = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};

    for (const ByteSet* bytes :
         std::initializer_list<const ByteSet*>{&jpegGarbage, &pngHeaderOnly, &pngCorrupt,
                                               &jpegHeaderOnly, &jpegHuge, &bmpGarbage, &text}) {
        EXPECT_TRUE(DecodePicture(*bytes, kBox).isNull()) << bytes->size() << " bytes";
    }
    EXPECT_TRUE(DecodePicture({}, kBox).isNull());
}

TEST(DecodePictureTest, TruncatedJpegKeepsWhatArrived) {
    // libjpeg fills a cut-off body with grey and warns: the picture still shows, the process
    // is not ended.
    const ByteSet jpeg = MakeJpeg(320, 240, QColor(250, 250, 0));
    const ByteSet cut(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2));
    const QImage image = DecodePicture(cut, kBox);
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(SameColour(image.pixelColor(10, 5), QColor(250, 250, 0)));
}

}  // namespace
}  // namespace lumeno::ui
