#include "app/PortList.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTreeView>

namespace kronax {
namespace {

// Room between the two columns and beside the scroll bar.
constexpr int PopupMargin = 24;

QStandardItem* CreateItem(const QString& text, const QString& details) {
    auto* item = new QStandardItem(text);
    item->setToolTip(details);
    item->setEditable(false);
    return item;
}

} // namespace

PortList::PortList(QWidget* parent)
    : QComboBox(parent), model_(new QStandardItemModel(0, 2, this)) {
    setModel(model_);
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        setToolTip(index < 0 ? QString() : itemData(index, Qt::ToolTipRole).toString());
    });
}

void PortList::SetPorts(const std::vector<PortListEntry>& ports) {
    const QString selected = currentIndex() < 0 ? QString() : currentText();
    model_->removeRows(0, model_->rowCount());
    for (const PortListEntry& port : ports) {
        const QString details = QString::fromStdString(port.details);
        model_->appendRow({CreateItem(QString::fromStdString(port.name), details),
                           CreateItem(QString::fromStdString(port.device), details)});
    }
    setCurrentIndex(selected.isEmpty() ? -1 : findText(selected));
}

std::vector<QString> PortList::Names() const {
    std::vector<QString> names;
    for (int row = 0; row < count(); ++row)
        names.push_back(itemText(row));
    return names;
}

bool PortList::Dropped() const {
    return table_ && table_->isVisible();
}

// Made when the list first drops down: making a list's view costs as much as a few controls, and
// the window is wanted on the screen before.
QTreeView* PortList::Table() {
    if (!table_) {
        table_ = new QTreeView(this);
        table_->setHeaderHidden(true);
        table_->setRootIsDecorated(false);
        table_->setItemsExpandable(false);
        table_->setAllColumnsShowFocus(true);
        table_->setSelectionBehavior(QAbstractItemView::SelectRows);
        setView(table_);
    }
    return table_;
}

void PortList::showPopup() {
    if (onDropDown)
        onDropDown();
    QTreeView* table = Table();
    table->resizeColumnToContents(0);
    table->resizeColumnToContents(1);
    table->setMinimumWidth(table->columnWidth(0) + table->columnWidth(1) + PopupMargin);
    QComboBox::showPopup();
}

} // namespace kronax
