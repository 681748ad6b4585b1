#include "forms/click_area.h"
#include "support/form1_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class Form1Design : public ::testing::Test, public Form1Fixture {};

TEST_F(Form1Design, ControlsSitWhereTheDesignPutsThem) {
    struct Placement {
        const char* name;
        QRect pixels;
        bool hidden;
    };
    const Placement placements[] = {
        {"Text2", {216, 272, 57, 18}, true},     {"Picture4", {0, 96, 329, 22}, false},
        {"List2", {0, 150, 329, 112}, false},    {"Picture3", {0, 260, 329, 53}, false},
        {"Label2", {16, 8, 297, 32}, false},     {"Check1", {224, 264, 89, 17}, true},
        {"Command3", {376, 176, 25, 17}, false}, {"Command2", {368, 136, 25, 17}, false},
        {"Text1", {344, 232, 241, 26}, false},   {"List1", {424, 8, 57, 28}, false},
        {"Command1", {336, 256, 65, 25}, false}, {"Picture1", {216, 296, 329, 97}, true},
        {"Picture2", {0, 128, 329, 22}, false},  {"Label11", {232, 40, 6, 12}, true},
        {"Label10", {280, 8, 57, 17}, true},     {"Label8", {72, 56, 49, 17}, true},
        {"Label7", {128, 64, 65, 17}, true},     {"Label9", {216, 72, 57, 17}, true},
        {"Label1", {24, 16, 241, 33}, true},     {"w1", {0, 99, 329, 62}, false},
        {"Label3", {0, 240, 89, 17}, false},     {"Label6", {432, 40, 97, 17}, false},
        {"Label5", {104, 248, 81, 17}, false},   {"Label4", {432, 56, 97, 17}, false},
    };
    Form1& form = start();
    for (const Placement& p : placements) {
        auto* control = form.findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(control, nullptr) << p.name;
        EXPECT_EQ(control->geometry(), p.pixels) << p.name;
        EXPECT_EQ(control->isHidden(), p.hidden) << p.name;
    }
}

TEST_F(Form1Design, ButtonAreasLieOnTheirStripsWithTheirTooltips) {
    Form1& form = start();
    struct Area {
        ClickArea* area;
        int left, width;
        const char* toolTip;
    };
    const Area areas[] = {
        {form.Image9, 8, 33, ""},
        {form.Image11, 40, 33, ""},
        {form.Image10, 80, 25, ""},
        {form.Image12, 112, 41, ""},
        {form.Image13, 160, 41, ""},
        {form.Image14, 208, 49, ""},
        {form.Image15, 264, 57, ""},
        {form.Image3, 8, 25, "单个音乐文件添加"},
        {form.Image6, 56, 25, "删除选中歌曲"},
        {form.Image4, 104, 25, "添加音乐文件夹"},
        {form.Image5, 152, 25, "清空歌曲列表"},
        {form.Image1, 200, 25, "显示桌面歌词"},
        {form.Image2, 248, 25, ""},
        {form.Image7, 296, 25, "关于我们"},
    };
    for (const Area& a : areas) {
        EXPECT_EQ(a.area->geometry(), QRect(a.left, 0, a.width, 25)) << a.left;
        EXPECT_EQ(a.area->toolTip(), QString::fromUtf8(a.toolTip)) << a.left;
    }
}

TEST_F(Form1Design, HiddenCommandButtonsStillTakeFocusInTabOrder) {
    Form1& form = start();
    form.show();
    QApplication::setActiveWindow(&form);
    QWidget* expected[] = {form.w1,    form.Command1, form.List1,
                           form.Text1, form.Command2, form.Command3};
    form.w1->setFocus();
    for (std::size_t i = 1; i < std::size(expected); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected[i]) << i;
    }
    form.Command1->setFocus();
    QTest::keyClick(form.Command1, Qt::Key_Return);
    EXPECT_EQ(engine.url, QStringLiteral("E:\\Music\\top\\Zelvorin-玫瑰花的葬礼.mp3"));
}

} // namespace
