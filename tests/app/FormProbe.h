#pragma once

#include "app/EntryField.h"
#include "app/KronaxConfigForm.h"
#include "app/RadioGroup.h"
#include "tests/app/TestSupport.h"

#include <QComboBox>
#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace kronax::test {

// A main window whose handlers of later operations record their names, and may be told to
// throw, so that tests can see which event reached which handler.
class FormProbe : public TForm1 {
public:
    FormProbe() : TForm1(TestEnvironment(SuiteFolder() + "/probe.ini")) {}

    std::vector<std::string> calls;
    std::function<void()> onWrite;

    template <typename T> T* Control(const char* name) const {
        return findChild<T*>(QString::fromLatin1(name));
    }
    EntryField* Field(const char* name) const { return Control<EntryField>(name); }
    RadioGroup* Group(const char* name) const { return Control<RadioGroup>(name); }

    // Types text into an entry field as the operator would, replacing what it held.
    void Type(const char* field, const QString& text) const { Field(field)->SetText(text); }

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

} // namespace kronax::test
