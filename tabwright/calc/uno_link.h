#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

namespace tabwright::uno_link {

using rtl::OUString;

// This process's own UNO runtime, started once and kept for the life of the program.
css::uno::Reference<css::uno::XComponentContext> localContext();

// Connects to the application listening on the UNO pipe `pipe`, trying again until it
// answers. Throws std::runtime_error when `starting` returns false (the process ended)
// or the time-out passes first.
css::uno::Reference<css::uno::XComponentContext> connect(const std::string& pipe,
                                                         std::chrono::milliseconds timeout,
                                                         const std::function<bool()>& starting);

// Domain text is single-byte characters (Latin-1); file paths are UTF-8.
OUString fromText(std::string_view text);
std::string toText(const OUString& text);
std::string toUtf8(const OUString& text);
OUString fileUrl(const std::string& path);

}  // namespace tabwright::uno_link
