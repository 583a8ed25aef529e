#pragma once

#include <QComboBox>
#include <QString>
#include <QWidget>

#include "testing/widgets/named_control.h"

namespace testing_support {

// The user picks `machine` from the emulator window's machine list.
inline void chooseMachine(const QWidget& emulator, const char* machine)
{
    auto& combo = namedControl<QComboBox>(emulator, "cboMachine");
    const int index = combo.findText(QString::fromLatin1(machine));
    combo.setCurrentIndex(index);
    emit combo.activated(index);
}

}  // namespace testing_support
