#pragma once

#include <QWidget>

#include <stdexcept>
#include <string>

namespace testing_support {

// The window's child control of that object name and kind, as window tests
// reach controls; throws when the window has none.
template <typename Control>
Control& namedControl(const QWidget& window, const char* name)
{
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    if (found == nullptr)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

}  // namespace testing_support
