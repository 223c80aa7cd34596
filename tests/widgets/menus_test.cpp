// The pop-up menu with pictures, the colour picker with its remembered custom colours, the font
// list.
#include <gtest/gtest.h>
#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QSignalSpy>

#include "platform/registry_store.h"
#include "support/temp_dir.h"
#include "widgets/colour_picker.h"
#include "widgets/custom_colours.h"
#include "widgets/font_list.h"
#include "widgets/icon_menu.h"
#include "widgets/picture_source.h"
#include "widgets/widgets_fixture.h"

using namespace quill;
using namespace quill::widgets;
using namespace widgetstest;

namespace {

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        InstallTestPictures();
    }
    void TearDown() override { SetPictureSource({}); }
};

int CountColour(const QImage& image, const QColor& colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) ++count;
    return count;
}

TEST_F(MenusTest, IconMenuDrawsItsBackgroundAndThePicturesBesideTheItems) {
    CIconMenu menu;
    QAction* first = menu.AddItem("Comment list", 235, 7001);
    menu.AddItem("Print", 241, 7002);
    menu.AddItem("No picture", 0, 7003);
    EXPECT_EQ(CIconMenu::CommandOf(first), 7001);
    EXPECT_EQ(CIconMenu::CommandOf(nullptr), 0);
    EXPECT_TRUE(first->isIconVisibleInMenu());

    menu.ensurePolished();
    menu.adjustSize();
    const QImage image = menu.grab().toImage();
    EXPECT_EQ(PixelAt(image, image.width() / 2, image.height() - 3), CIconMenu::kDefaultBackground);
    // The pictures' squares are drawn (an icon may be scaled, so look for its colour).
    EXPECT_GT(CountColour(image, ColourOfPicture(235)), 0);
    EXPECT_GT(CountColour(image, ColourOfPicture(241)), 0);

    const QColor grey(0x40, 0x40, 0x40);
    menu.SetColours(grey, Qt::white);
    const QImage regrey = menu.grab().toImage();
    EXPECT_EQ(PixelAt(regrey, regrey.width() / 2, regrey.height() - 3), grey);
}

TEST_F(MenusTest, CustomColoursAreRememberedAndBadStoredValuesAreSkipped) {
    testsupport::TempDir dir;
    platform::RegistryStore store(dir.str());
    CustomColours colours(store);
    EXPECT_EQ(colours.Load().size(), CustomColours::kCount);
    EXPECT_FALSE(colours.Load()[0].isValid());

    QList<QColor> mine = {QColor(0x12, 0xAB, 0xEF), QColor(), QColor(Qt::red)};
    ASSERT_TRUE(colours.Save(mine));
    EXPECT_EQ(store.ReadValue(kCustomColoursKey, "Color0"), "#12ABEF");
    const QList<QColor> loaded = CustomColours(store).Load();
    EXPECT_EQ(loaded[0], mine[0]);
    EXPECT_FALSE(loaded[1].isValid());
    EXPECT_EQ(loaded[2], QColor(Qt::red));
    EXPECT_FALSE(loaded[15].isValid());

    // Values edited by hand: only "#RRGGBB" counts.
    for (const char* bad : {"", "#12345", "#1234567", "12ABEF0", "red", "#GG0000", "#12 4EF"})
        EXPECT_FALSE(CustomColours::Parse(bad).isValid()) << bad;
    EXPECT_EQ(CustomColours::Parse("#0a0B0c"), QColor(10, 11, 12));
    store.WriteValue(kCustomColoursKey, "Color3", std::string(100000, '#'));
    store.WriteValue(kCustomColoursKey, "Color4", "#00FF00");
    const QList<QColor> again = CustomColours(store).Load();
    EXPECT_FALSE(again[3].isValid());
    EXPECT_EQ(again[4], QColor(0, 255, 0));
}

TEST_F(MenusTest, ColourPickerOffersTheNamedColoursAndReportsTheChoice) {
    testsupport::TempDir dir;
    CColourPicker picker{CustomColours(platform::RegistryStore(dir.str()))};
    QSignalSpy chosen(&picker, &CColourPicker::ColourChosen);
    const auto& named = NamedColours();
    ASSERT_GE(named.size(), 16u);
    const QList<QAction*> actions = picker.ColourMenu()->actions();
    ASSERT_EQ(actions.size(), static_cast<int>(named.size()) + 2);  // separator, "More Colors..."
    for (size_t i = 0; i < named.size(); ++i)
        EXPECT_EQ(actions[static_cast<int>(i)]->text(), named[i].name);
    EXPECT_EQ(actions.back()->text(), "More Colors...");

    const int red = 5;
    ASSERT_STREQ(named[red].name, "Red");
    actions[red]->trigger();
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(picker.Colour(), QColor(255, 0, 0));
    const QImage swatch = picker.icon().pixmap(QSize(16, 16)).toImage();
    EXPECT_EQ(PixelAt(swatch, 8, 8), QColor(255, 0, 0));

    picker.SetColour(QColor());  // an invalid colour changes nothing
    EXPECT_EQ(picker.Colour(), QColor(255, 0, 0));
    EXPECT_EQ(chosen.count(), 1);
}

TEST_F(MenusTest, FontListOffersTheInstalledFacesByName) {
    CFontList list;
    const QStringList faces = list.FaceNames();
    ASSERT_FALSE(faces.isEmpty());
    const QStringList installed = QFontDatabase::families();
    for (const QString& face : faces) EXPECT_TRUE(installed.contains(face)) << face.toStdString();

    const QString last = faces.back();
    EXPECT_TRUE(list.SelectFace(last.toUpper()));
    EXPECT_EQ(list.FaceName(), last);
    EXPECT_FALSE(list.SelectFace("No Such Face 12345"));
    EXPECT_EQ(list.FaceName(), last);
}

}  // namespace
