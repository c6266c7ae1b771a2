#include "app/KronaxWindow.h"
#include "form/KronaxConfigForm.h"
#include "tests/app/TestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include <vector>

namespace kronax::test {
namespace {

// A form that counts what the view reports as the operator's.
class CountingForm : public TForm1 {
public:
    using TForm1::TForm1;

    void FieldEdited(ControlId field, const std::string& text) override {
        edits.push_back(text);
        TForm1::FieldEdited(field, text);
    }
    void SelectionClicked(ControlId control, int index) override {
        clicks.push_back(index);
        TForm1::SelectionClicked(control, index);
    }

    std::vector<std::string> edits;
    std::vector<int> clicks;
};

// A change the form makes never comes back as the operator's: it would run the form's rules twice.
TEST(ViewContractTest, TheFormsChangesAreNotEchoedAndTheOperatorsAreTold) {
    KronaxWindow window(TestEnvironment(NewFolder() + "/settings.ini"),
                        [](IFormView& view, FormEnvironment environment) {
                            return std::make_unique<CountingForm>(view, std::move(environment));
                        });
    auto& form = static_cast<CountingForm&>(window.Form());
    auto* multiplier = window.findChild<QLineEdit*>("edMultiplier");
    auto* sensorType = window.findChild<QWidget*>("rgSensorType");
    auto* aux2 = window.findChild<QComboBox*>("cmbAux2");
    form.StoreNumber(NumberField::Multiplier, 9);
    form.Select(Selection::SensorType, sensor_type::MotionEncoder);
    form.Select(Selection::Aux2Source, 3);
    EXPECT_EQ(multiplier->text(), "9");
    EXPECT_EQ(aux2->currentIndex(), 3);
    EXPECT_TRUE(form.edits.empty());
    EXPECT_TRUE(form.clicks.empty());

    multiplier->setText("12");
    QTest::mouseClick(sensorType->findChildren<QAbstractButton*>().at(1), Qt::LeftButton);
    EXPECT_EQ(form.edits, std::vector<std::string>{"12"});
    EXPECT_EQ(form.clicks, std::vector<int>{sensor_type::PulseTrigger});
    EXPECT_EQ(form.Configuration().Multiplier, 12);
    EXPECT_EQ(form.Selected(Selection::SensorType), sensor_type::PulseTrigger);
}

} // namespace
} // namespace kronax::test
