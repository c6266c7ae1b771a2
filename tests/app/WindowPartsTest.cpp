#include "app/KronaxWindow.h"
#include "app/TrafficLogView.h"
#include "config_file/ConfigFileFlows.h"
#include "config_file/RememberedPort.h"
#include "form/KronaxConfigForm.h"
#include "tests/app/ModalAnswerer.h"
#include "tests/app/TestSupport.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

#include <fstream>

namespace kronax::test {
namespace {

TEST(SettingsFileNameTest, ExtensionOfTheProgramIsReplacedByIni) {
    const struct {
        const char* program;
        const char* settings;
    } cases[] = {{"/opt/kronax/kronax-config", "/opt/kronax/kronax-config.ini"},
                 {"C:/Tools/KronaxConfig.exe", "C:/Tools/KronaxConfig.ini"},
                 {"/opt/k.v1/kronax.config.exe", "/opt/k.v1/kronax.config.ini"}};
    for (const auto& c : cases)
        EXPECT_EQ(SettingsFileName(c.program), c.settings) << c.program;
}

TEST(TrafficLogViewTest, LinesAreEightBitTextAndTheNewestStaysInView) {
    TrafficLogView log(nullptr);
    log.resize(200, 60);
    log.show();
    for (int i = 0; i < 50; ++i)
        log.AppendLine("??SMSTA\\r | !SMRUNNING\\r");
    log.AppendLine("\xB5 | x\ny");
    EXPECT_EQ(log.verticalScrollBar()->value(), log.verticalScrollBar()->maximum());
    EXPECT_GT(log.verticalScrollBar()->maximum(), 0);
    EXPECT_TRUE(log.toPlainText().endsWith(QString::fromLatin1("\xB5 | x\ny")));
}

// Lines given while the log is hidden wait for the event loop or the log's showing; none may be
// lost or come out of order with the lines given once it shows.
TEST(TrafficLogViewTest, HiddenLinesArriveInOrderAtTheEventLoopOrWhenShown) {
    TrafficLogView log(nullptr);
    log.AppendLine("a");
    log.AppendLine("b");
    EXPECT_EQ(log.toPlainText(), "") << "a hidden log lays out nothing per line";
    QCoreApplication::sendPostedEvents(&log, QEvent::MetaCall);
    EXPECT_EQ(log.toPlainText(), "a\nb");
    log.AppendLine("c");
    log.show();
    log.AppendLine("d");
    EXPECT_EQ(log.toPlainText(), "a\nb\nc\nd");
    QCoreApplication::sendPostedEvents(&log, QEvent::MetaCall);
    EXPECT_EQ(log.toPlainText(), "a\nb\nc\nd");
}

// A window on no port, whose file dialogs are the real ones.
class FileDialogTest : public testing::Test {
protected:
    std::string folder = NewFolder();
    KronaxWindow form{TestEnvironment(folder + "/settings.ini")};
};

struct DialogSeen {
    QString defaultSuffix;
    QStringList nameFilters;
    bool confirmsOverwrite = true;
    QFileDialog::FileMode fileMode = QFileDialog::ExistingFile;
};

// Types name into the file dialog and accepts it, once; a dialog that stays open after that is
// cancelled so that the test fails instead of hanging. Message boxes that follow are accepted.
ModalAnswerer* AnswerFileDialog(const QString& name, DialogSeen& seen) {
    return new ModalAnswerer([name, &seen, answered = false](QWidget* modal) mutable {
        if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (answered) {
                dialog->reject();
                return;
            }
            answered = true;
            seen = {dialog->defaultSuffix(), dialog->nameFilters(),
                    !dialog->testOption(QFileDialog::DontConfirmOverwrite), dialog->fileMode()};
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText(name);
            static_cast<QDialog*>(dialog)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->accept();
        }
    });
}

TEST_F(FileDialogTest, SaveDialogAddsTheExtensionAndLeavesTheOverwriteQuestionToTheFlow) {
    std::ofstream(folder + "/existing.kxcfg") << "[Kronax]\n";
    DialogSeen seen;
    std::unique_ptr<ModalAnswerer> answerer(
        AnswerFileDialog(QString::fromStdString(folder + "/existing"), seen));
    const auto chosen = form.ChooseSaveFile(ConfigFileDialogOptions);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, folder + "/existing.kxcfg");
    EXPECT_EQ(seen.defaultSuffix, "kxcfg");
    EXPECT_EQ(seen.nameFilters, QStringList{"VOXA Kronax Config (*.kxcfg)"});
    EXPECT_FALSE(seen.confirmsOverwrite);
    EXPECT_TRUE(answerer->boxes.empty()) << "the dialog asked about the existing file itself";
}

TEST_F(FileDialogTest, OpenDialogAcceptsAMissingFile) {
    DialogSeen seen;
    std::unique_ptr<ModalAnswerer> answerer(
        AnswerFileDialog(QString::fromStdString(folder + "/missing.kxcfg"), seen));
    const auto chosen = form.ChooseOpenFile(ConfigFileDialogOptions);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, folder + "/missing.kxcfg");
    EXPECT_EQ(seen.fileMode, QFileDialog::AnyFile);
    EXPECT_EQ(seen.nameFilters, QStringList{"VOXA Kronax Config (*.kxcfg)"});
    EXPECT_TRUE(answerer->boxes.empty());
}

TEST_F(FileDialogTest, WarningIsOkOnlyWhenOkIsChosen) {
    const struct {
        const char* answer;
        bool expected;
    } cases[] = {{"ok", true}, {"cancel", false}, {"close", false}};
    for (const auto& c : cases) {
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        ModalAnswerer answerer([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            title = box->windowTitle();
            icon = box->icon();
            if (std::string(c.answer) == "ok")
                box->button(QMessageBox::Ok)->click();
            else if (std::string(c.answer) == "cancel")
                box->button(QMessageBox::Cancel)->click();
            else
                box->close();
        });
        EXPECT_EQ(form.ConfirmWarning("File exists. Overwrite?", "Warning"), c.expected)
            << c.answer;
        EXPECT_EQ(answerer.boxes, std::vector<QString>{"File exists. Overwrite?"});
        EXPECT_EQ(title, "Warning");
        EXPECT_EQ(icon, QMessageBox::Warning);
    }
}

} // namespace
} // namespace kronax::test
