// The sheet's reply reading on arbitrary bytes from the line: ReadReply in the framing of the
// stored type, the firmware version number of every reply, and optionally the ready poll of
// SendCommand first, on a scripted device and a virtual clock.
//
// Input: flags (bits 0-1: stored type; bit 2: an unknown type is stored instead; bits 3-5:
// chunk size; bit 6: the bytes answer a SendCommand first), then the bytes from the line.

#include <cstdint>
#include <memory>
#include <string>

#include "device/InstrumentType.h"
#include "device/SerialDevice.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "support/Clock.h"
#include "tests/fuzz/ByteReader.h"
#include "tests/fuzz/Check.h"
#include "tests/fuzz/ScriptedLine.h"
#include "tests/testkit/ScriptedDevice.h"

namespace {

// Polls stop after the third error reply.
constexpr std::size_t kMaxErrorBoxes = 3;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The version sits in the 3rd to 6th characters: "V 3.10" is 3100.
void CheckVersion(CVeltrixInstrumentSettingsDlg& sheet, const std::string& text) {
    const int number = sheet.ParseVersion(text);
    if (text.size() < 6) {
        FUZZ_CHECK(number == 0);
        return;
    }
    if (IsDigit(text[2]) && text[3] == '.' && IsDigit(text[4]) && IsDigit(text[5])) {
        FUZZ_CHECK(number == (text[2] - '0') * 1000 + (text[4] - '0') * 100 + (text[5] - '0') * 10);
    }
}

void CheckReply(bool framed, int result, const std::string& reply, const std::string& taken) {
    if (result <= 0 || framed) {
        FUZZ_CHECK(result < 0 ? reply.empty() : result == static_cast<int>(reply.size()));
        return;
    }
    // A short frame loses its leading STX and trailing CR; what is left came from the line.
    FUZZ_CHECK(result == static_cast<int>(reply.size()));
    FUZZ_CHECK(reply.front() != STX && reply.back() != CR);
    FUZZ_CHECK(taken.find(reply) != std::string::npos);
}

std::unique_ptr<CVeltrixInstrumentSettingsDlg> MakeSheet(support::VirtualClock& clock,
                                                         testkit_test::ScriptedDevice*& device) {
    return std::make_unique<CVeltrixInstrumentSettingsDlg>(
        IDS_SHEET_CAPTION, nullptr, 0, [&]() -> std::unique_ptr<SerialDevice> {
            auto scripted = std::make_unique<testkit_test::ScriptedDevice>(clock);
            device = scripted.get();
            return scripted;
        });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    [[maybe_unused]] static const bool registered = (resources::RegisterResources(), true);

    fuzz_test::ByteReader input(data, size);
    const unsigned flags = input.Byte();
    const std::string type =
        (flags & 0x04) != 0 ? std::string("+XX") : device::InstrumentTypeCode(flags & 0x03);
    const bool framed = type == device::kTypeVeltrix;
    const std::size_t chunkSize = fuzz_test::ChunkSize(flags >> 3);
    const bool sendFirst = (flags & 0x40) != 0;
    const std::string bytes = input.Rest();
    const std::vector<std::string> chunks = fuzz_test::Chunks(bytes, chunkSize);

    support::VirtualClock clock;
    support::ScopedClock useClock(clock);
    framework::RecordingHost host;
    framework::ScopedHost useHost(host);
    testkit_test::ScriptedDevice* device = nullptr;
    const auto sheet = MakeSheet(clock, device);
    sheet->SetInstrumentType(type);
    device->SetTerminator(framed ? ETX : CR);
    const char terminator = device->GetTerminator();

    if (sendFirst) {
        // The bytes answer the first ready poll; later polls meet silence until the wait ends.
        device->ReplyAfterWrite(chunks);
        const BOOL sent = sheet->SendCommand("V");
        FUZZ_CHECK(host.Boxes().size() <= kMaxErrorBoxes);
        // Sent means the command went out last, in the stored type's frame.
        const std::string command = framed ? std::string("\x02V\x03W\r") : std::string("\x02V\r");
        FUZZ_CHECK(!sent || (!device->Writes().empty() && device->Writes().back() == command));
    } else {
        for (const std::string& chunk : chunks)
            device->Arrive(chunk);
    }

    const std::size_t maxReads = bytes.size() + chunks.size() + 1;
    for (std::size_t reads = 0; reads < maxReads && !device->Unread().empty(); ++reads) {
        const std::string before = device->Unread();
        std::string reply = "stale";
        const int result = sheet->ReadReply(reply);
        FUZZ_CHECK(device->GetTerminator() == terminator);
        CheckReply(framed, result, reply, fuzz_test::Taken(before, device->Unread()));
        CheckVersion(*sheet, reply);
    }
    FUZZ_CHECK(device->Unread().empty());
    CheckVersion(*sheet, bytes);
    return 0;
}
