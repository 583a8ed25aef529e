#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logfetch/download/transfer_world.h"

namespace testing_support {

// Keeps every effect of the transfer engine, in order, as one line of text
// each, and the temporary file in memory.
class RecordingTransferWorld : public logfetch::TransferWorld {
public:
    void sendByte(std::uint8_t byte) override
    {
        effects.push_back("send " + std::to_string(byte));
        sent.push_back(static_cast<char>(byte));
        if (onSend)
            onSend(byte);
    }
    bool restartTempFile() override
    {
        effects.emplace_back("restart file");
        file.clear();
        ++restarts;
        return !failRestart;
    }
    bool writeTempFile(std::int64_t offset, std::string_view bytes) override
    {
        effects.push_back("write " + std::to_string(bytes.size()) + " at " + std::to_string(offset));
        if (failWrites)
            return false;
        const auto at = static_cast<std::size_t>(offset);
        if (file.size() < at + bytes.size())
            file.resize(at + bytes.size());
        file.replace(at, bytes.size(), bytes);
        return true;
    }
    void closeTempFile() override { effects.emplace_back("close file"); }
    void setInstructions(std::string_view text) override
    {
        instructions = text;
        effects.push_back("instructions " + instructions);
    }
    void setStatus(std::string_view text) override
    {
        status = text;
        effects.push_back("status " + status);
    }
    void addTextLine(std::string_view line) override
    {
        textLines.emplace_back(line);
        effects.push_back("line " + textLines.back());
    }
    void showMessage(std::string_view text) override
    {
        messages.emplace_back(text);
        effects.push_back("message " + messages.back());
    }

    std::vector<std::string> effects;
    std::string sent;
    std::string file;
    int restarts = 0;
    std::string instructions;
    std::string status;
    std::vector<std::string> textLines;
    std::vector<std::string> messages;
    bool failRestart = false;
    bool failWrites = false;
    std::function<void(std::uint8_t)> onSend;
};

}  // namespace testing_support
