// Icon 128 and how icons become images.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QImage>

#include "framework/Resources.h"
#include "framework/qt/IconImage.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace gui_test {
namespace {

using framework::qt::MakeIcon;
using framework::qt::RenderIcon;

TEST(IconTest, TheProgramIconIsTheDrawingThatIsInstalled) {
    resources::RegisterIcons();
    const std::string* data = framework::FindIconData(framework::LoadIcon(IDR_MAINFRAME));
    ASSERT_NE(data, nullptr);
    QFile file(QStringLiteral(VELTRIX_ICON_FILE));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QByteArray::fromStdString(*data), file.readAll());
}

TEST(IconTest, TheProgramIconDrawsAPlateAtEverySize) {
    resources::RegisterIcons();
    const framework::IconHandle icon = framework::LoadIcon(IDR_MAINFRAME);
    for (const int size : {16, 32, 128}) {
        const QImage image = RenderIcon(icon, size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        // The corners stay clear (a rounded plate), the middle is drawn.
        EXPECT_EQ(qAlpha(image.pixel(size - 1, 0)), 0) << size;
        EXPECT_GT(qAlpha(image.pixel(size / 2, size / 2)), 200) << size;
    }
    EXPECT_FALSE(MakeIcon(icon).isNull());
}

TEST(IconTest, PngIconsScaleAndBrokenOnesGiveNothing) {
    QImage square(8, 8, QImage::Format_ARGB32);
    square.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    square.save(&buffer, "PNG");
    framework::RegisterIcon(9001, png.toStdString());
    EXPECT_EQ(RenderIcon(9001, 32).size(), QSize(32, 32));

    framework::RegisterIcon(9002, "<svg this is not");
    framework::RegisterIcon(9003, "not an image");
    for (const framework::IconHandle broken : {9002, 9003, 0, 9999}) {
        EXPECT_TRUE(RenderIcon(broken, 32).isNull()) << broken;
        EXPECT_TRUE(MakeIcon(broken).isNull()) << broken;
    }
    EXPECT_TRUE(RenderIcon(9001, 0).isNull());
}

}  // namespace
}  // namespace gui_test
