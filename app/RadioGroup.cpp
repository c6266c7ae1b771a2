#include "app/RadioGroup.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QRadioButton>

#include <algorithm>

namespace kronax {

RadioGroup::RadioGroup(const QString& caption, int columns, QWidget* parent)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this)), columns_(columns) {
    connect(buttons_, &QButtonGroup::idClicked, this, &RadioGroup::OperatorClicked);
}

void RadioGroup::SetItems(const QStringList& items) {
    for (QAbstractButton* button : buttons_->buttons()) {
        buttons_->removeButton(button);
        delete button;
    }
    itemIndex_ = -1;
    for (int index = 0; index < items.size(); ++index) {
        auto* button = new QRadioButton(items[index], this);
        // Read out with the group's title, which says what the item chooses.
        button->setAccessibleDescription(title());
        buttons_->addButton(button, index);
        button->show();
    }
    ArrangeItems();
}

int RadioGroup::Count() const {
    return static_cast<int>(buttons_->buttons().size());
}

void RadioGroup::SetItemIndex(int index) {
    if (index == itemIndex_ || index < -1 || index >= Count())
        return;
    if (index < 0) {
        buttons_->setExclusive(false);
        buttons_->button(itemIndex_)->setChecked(false);
        buttons_->setExclusive(true);
    } else {
        buttons_->button(index)->setChecked(true);
    }
    itemIndex_ = index;
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    ArrangeItems();
}

void RadioGroup::OperatorClicked(int index) {
    if (index == itemIndex_)
        return;
    itemIndex_ = index;
    emit Clicked(index);
}

// Spreads the items evenly over the area below the caption, column by column, each item
// vertically centred in its row, as a classic radio group does.
void RadioGroup::ArrangeItems() {
    const int count = Count();
    if (count == 0)
        return;
    const int rows = (count + columns_ - 1) / columns_;
    const int top = fontMetrics().height() + 2;
    const int rowHeight = std::max(1, (height() - top - 4) / rows);
    const int columnWidth = (width() - 10) / columns_;
    for (int index = 0; index < count; ++index) {
        QAbstractButton* button = buttons_->button(index);
        const int buttonHeight = button->sizeHint().height();
        const int left = 8 + (index / rows) * columnWidth;
        const int y = top + (index % rows) * rowHeight + (rowHeight - buttonHeight) / 2;
        button->setGeometry(left, y, columnWidth - 4, buttonHeight);
    }
}

} // namespace kronax
