#include "common/widgets/dialog_buttons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace common {

QHBoxLayout* okCancelRow(QPushButton& ok, QPushButton& cancel)
{
    ok.setDefault(true);
    cancel.setAutoDefault(false);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(&ok);
    row->addWidget(&cancel);
    return row;
}

}  // namespace common
