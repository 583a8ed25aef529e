#include "tabwright/calc/uno_link.h"

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>

namespace tabwright::uno_link {

using css::uno::Reference;
using css::uno::XComponentContext;

Reference<XComponentContext> localContext()
{
    static const Reference<XComponentContext> context = [] {
        // Without it the runtime looks for its settings beside the program and the
        // first call fails.
        setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" LIBREOFFICE_PROGRAM_DIR "/fundamentalrc", 0);
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

Reference<XComponentContext> connect(const std::string& pipe, std::chrono::milliseconds timeout,
                                     const std::function<bool()>& starting)
{
    // The link writes to Calc's socket without MSG_NOSIGNAL, some of it from its own thread:
    // a write that comes just after Calc ended would end this program with SIGPIPE, where
    // it must fail as a call to an ended Calc does.
    std::signal(SIGPIPE, SIG_IGN);
    const auto resolver = css::bridge::UnoUrlResolver::create(localContext());
    const OUString url = "uno:pipe,name=" + fromText(pipe) + ";urp;StarOffice.ComponentContext";
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        try {
            return Reference<XComponentContext>(resolver->resolve(url), css::uno::UNO_QUERY_THROW);
        } catch (const css::connection::NoConnectException&) {
            // Not listening yet.
        }
        if (!starting())
            throw std::runtime_error("the spreadsheet application ended while starting");
        if (std::chrono::steady_clock::now() >= deadline)
            throw std::runtime_error("the spreadsheet application did not answer in time");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

OUString fromText(std::string_view text)
{
    return OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_ISO_8859_1);
}

std::string toText(const OUString& text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_ISO_8859_1);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

std::string toUtf8(const OUString& text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

OUString fileUrl(const std::string& path)
{
    const std::string absolute = std::filesystem::absolute(path).string();
    const OUString systemPath(absolute.data(), static_cast<sal_Int32>(absolute.size()),
                              RTL_TEXTENCODING_UTF8);
    OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(systemPath, url) != osl::FileBase::E_None)
        throw std::runtime_error("not a usable file path: " + path);
    return url;
}

}  // namespace tabwright::uno_link
