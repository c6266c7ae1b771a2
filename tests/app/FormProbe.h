#pragma once

#include "app/EntryField.h"
#include "app/KronaxWindow.h"
#include "app/RadioGroup.h"
#include "form/KronaxConfigForm.h"
#include "tests/app/TestSupport.h"

#include <QComboBox>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace kronax::test {

// A form whose handlers of later operations record their names, and may be told to throw, so
// that tests can see which event reached which handler.
class ProbedForm : public TForm1 {
public:
    using TForm1::TForm1;

    std::vector<std::string> calls;
    std::function<void()> onWrite;

protected:
    void LoadConfigurationfromFile1Click() override { calls.push_back("Open"); }
    void StoreConfigurationtoFile1Click() override { calls.push_back("Save"); }
    void LoadConfigurationfromKronax1Click() override { calls.push_back("Read"); }
    void ApplyConfigurationtoKronax1Click() override { calls.push_back("Write"); }
    void SetCurrentConfigurationasPowerOnDefault1Click() override { calls.push_back("Default"); }
    void KRONAXBoardInformation1Click() override { calls.push_back("Information"); }
    void btnWriteToKronaxClick() override {
        calls.push_back("WriteButton");
        if (onWrite)
            onWrite();
    }
    void btnStartClick() override { calls.push_back("Start"); }
    void btnStatusClick() override { calls.push_back("Status"); }
};

// A main window on a probed form.
class FormProbe : public KronaxWindow {
public:
    FormProbe()
        : KronaxWindow(TestEnvironment(SuiteFolder() + "/probe.ini"),
                       [](IFormView& view, FormEnvironment environment) {
                           return std::make_unique<ProbedForm>(view, std::move(environment));
                       }),
          calls(Probe().calls), onWrite(Probe().onWrite) {}

    ProbedForm& Probe() { return static_cast<ProbedForm&>(Form()); }

    std::vector<std::string>& calls;
    std::function<void()>& onWrite;

    template <typename T> T* Control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    EntryField* Field(const char* name) const { return Control<EntryField>(name); }
    RadioGroup* Group(const char* name) const { return Control<RadioGroup>(name); }

    // Types text into an entry field as the operator would, replacing what it held.
    void Type(const char* field, const QString& text) const { Field(field)->setText(text); }
};

} // namespace kronax::test
