#pragma once

#include "form/FormView.h"

#include <QComboBox>
#include <QString>

#include <functional>
#include <vector>

class QStandardItemModel;
class QTreeView;

namespace kronax {

// cmbComPort: a drop-down list without free text whose entries are port names, with each port's
// device in a second column of the dropped-down list. UI thread only.
class PortList : public QComboBox {
    Q_OBJECT
public:
    explicit PortList(QWidget* parent);

    // Replaces the entries; the selected entry stays selected when its name is still listed, else
    // nothing is selected. Runs no handler.
    void SetPorts(const std::vector<PortListEntry>& ports);

    // The names of the entries, in order.
    std::vector<QString> Names() const;

    // Runs just before the list drops down, so that it can be filled anew.
    std::function<void()> onDropDown;

    // Whether the list is dropped down.
    bool Dropped() const;

    void showPopup() override;

private:
    QTreeView* Table();

    QStandardItemModel* model_;
    QTreeView* table_ = nullptr;
};

} // namespace kronax
