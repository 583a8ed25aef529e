#include "common/widgets/port_listing_delegate.h"

namespace common {

QString PortListingDelegate::shownText(const QModelIndex& index)
{
    const QString listing = index.data(kListingRole).toString();
    return listing.isEmpty() ? index.data(Qt::DisplayRole).toString() : listing;
}

void PortListingDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    option->text = shownText(index);
}

}  // namespace common
