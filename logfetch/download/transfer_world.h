#pragma once

#include <cstdint>
#include <string_view>

namespace logfetch {

// Everything the transfer engine does to the world: the port, the temporary
// file "~tempidl.bin", the download window's texts and list, message boxes.
// The engine calls these in the order the user and the instrument see them.
class TransferWorld {
public:
    virtual ~TransferWorld() = default;

    // Queues one byte for the instrument and sends it at once.
    virtual void sendByte(std::uint8_t byte) = 0;

    // Creates the temporary file empty (discarding what it held) and opens it
    // for writing. False when that failed; the world has told the user why.
    virtual bool restartTempFile() = 0;
    // Writes bytes at a 0-based offset of the open temporary file. False when
    // that failed; the world has told the user why.
    virtual bool writeTempFile(std::int64_t offset, std::string_view bytes) = 0;
    virtual void closeTempFile() = 0;

    virtual void setInstructions(std::string_view text) = 0;  // lblInstructions
    virtual void setStatus(std::string_view text) = 0;        // lblStatus
    virtual void addTextLine(std::string_view line) = 0;      // a new entry of List1
    // A modal message box with the program's title and OK; returns when it
    // has been dismissed.
    virtual void showMessage(std::string_view text) = 0;
};

}  // namespace logfetch
