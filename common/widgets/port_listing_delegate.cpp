#include "common/widgets/port_listing_delegate.h"

#include <QAbstractItemView>
#include <QComboBox>

#include <algorithm>

namespace common {

QString PortListingDelegate::shownText(const QModelIndex& index)
{
    const QString listing = index.data(kListingRole).toString();
    return listing.isEmpty() ? index.data(Qt::DisplayRole).toString() : listing;
}

void PortListingDelegate::fitListToListings(QComboBox& combo)
{
    QAbstractItemView& list = *combo.view();
    const int widest = list.sizeHintForColumn(0) + 2 * list.frameWidth();
    list.setMinimumWidth(std::max(0, widest));
}

void PortListingDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = shownText(index);
}

}  // namespace common
