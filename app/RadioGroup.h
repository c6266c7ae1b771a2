#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

namespace kronax {

// A framed group of exclusive radio buttons whose selected item index is the value. Clicked()
// tells the operator's click on another item; the program's SetItemIndex tells nothing. Use on
// the UI thread only.
class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    // caption: the frame's title; columns: how many columns the items are spread over.
    RadioGroup(const QString& caption, int columns, QWidget* parent);

    // Replaces all items; afterwards no item is selected (index -1). Emits nothing.
    void SetItems(const QStringList& items);

    int Count() const;

    // The selected position from 0, or -1 when none is selected.
    int ItemIndex() const { return itemIndex_; }

    // Selects the item at index (0 to Count() - 1); -1 selects none. Emits nothing.
    void SetItemIndex(int index);

signals:
    void Clicked(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void OperatorClicked(int index);
    void ArrangeItems();

    QButtonGroup* buttons_;
    int columns_;
    int itemIndex_ = -1;
};

} // namespace kronax
