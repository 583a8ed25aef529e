#pragma once

#include <QStyledItemDelegate>

class QComboBox;

namespace common {

// Draws each item of a port list with the device behind its number
// ("COM 3  /dev/ttyUSB0  FT232R USB UART"), so that a user can tell adapters
// apart, while the item's own text stays the bare number that an editable
// combo box takes as its text when the item is chosen.
class PortListingDelegate : public QStyledItemDelegate {
public:
    // The item data role that holds the listing line.
    static constexpr int kListingRole = Qt::UserRole + 1;

    using QStyledItemDelegate::QStyledItemDelegate;

    // What the list shows for the item: its listing line, else its text.
    static QString shownText(const QModelIndex& index);

    // Lets the combo box's list open wide enough for the listing lines, wider
    // than the box itself.
    static void fitListToListings(QComboBox& combo);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};

}  // namespace common
