#include "app/RadioGroup.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTest>
#include <QWidget>

namespace kronax {
namespace {

class RadioGroupTest : public testing::Test {
protected:
    RadioGroupTest() {
        group.setGeometry(0, 0, 89, 81);
        group.SetItems({"x1", "x2", "x4"});
        QObject::connect(&group, &RadioGroup::Clicked, [this] { ++clicks; });
        window.show();
    }

    QAbstractButton* Item(int index) const {
        return group.findChildren<QAbstractButton*>().at(index);
    }

    QWidget window;
    RadioGroup group{"Mode", 1, &window};
    int clicks = 0;
};

// The form selects through SetItemIndex and runs its rules itself: an echo would run them twice.
TEST_F(RadioGroupTest, ProgramSetTellsNothing) {
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(0);
    group.SetItemIndex(2);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(Item(2)->isChecked());
    group.SetItemIndex(-1);
    EXPECT_FALSE(Item(2)->isChecked()) << "-1 selects none";
}

TEST_F(RadioGroupTest, OperatorClickTellsTheNewItemButNotTheCurrentOne) {
    group.SetItemIndex(0);
    QTest::mouseClick(Item(1), Qt::LeftButton);
    EXPECT_EQ(group.ItemIndex(), 1);
    EXPECT_EQ(clicks, 1);
    QTest::mouseClick(Item(1), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(RadioGroupTest, NewItemsLeaveNothingSelected) {
    group.SetItemIndex(1);
    group.SetItems({"rising", "falling"});
    EXPECT_EQ(group.ItemIndex(), -1);
    group.SetItemIndex(5);
    EXPECT_EQ(group.ItemIndex(), -1) << "an index beyond the items selects nothing";
}

} // namespace
} // namespace kronax
