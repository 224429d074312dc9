#pragma once

#include <map>
#include <string>
#include <vector>

#include "tests/testing/ScriptedDevice.h"

namespace wizard_test {

// The instrument at the far end of a scripted device, played from a table of replies. It sits
// on one port and listens at one line setting only; elsewhere the line stays silent. It
// answers the type query with its code, every ready poll with "S", and every command with the
// table's reply, in its own framing ("+VT": checksummed frame; the others: short frame).
class FakeInstrument {
public:
    struct Line {
        int baudRate = 9600;
        char parity = 'N';
        int dataBits = 8;
        int stopBits = 1;
    };

    // code: the instrument's mode; the line it listens at follows from it unless set.
    explicit FakeInstrument(std::string code = "+VT");

    // Answers the device's writes from now on.
    void Attach(testing_test::ScriptedDevice& device);

    std::string code;                            // also the framing of its replies
    std::string typeAnswer;                      // answer to the type query; the code when empty
    int port = 1;                                // port number it is connected to
    Line line;                                   // the line it listens at
    bool anyLine = false;                        // listens at every line setting
    std::map<std::string, std::string> replies;  // command text -> reply text
    std::map<std::string, int> silencesBefore;   // reads that time out before the reply comes
    std::vector<std::string> silent;             // commands never answered

    // Command texts received, in order, without ready polls and type queries.
    const std::vector<std::string>& Commands() const { return m_commands; }
    int Count(const std::string& command) const;
    int TypeQueries() const { return m_typeQueries; }
    // Commands that came without a ready poll answered "S" right before them.
    int UnpolledCommands() const { return m_unpolled; }
    void ClearCommands() { m_commands.clear(); }

private:
    void OnWrite(testing_test::ScriptedDevice& device, const std::string& written);
    bool Listening(testing_test::ScriptedDevice& device) const;
    void Answer(testing_test::ScriptedDevice& device, const std::string& text) const;

    std::vector<std::string> m_commands;
    int m_typeQueries = 0;
    int m_unpolled = 0;
    bool m_readyGiven = false;
};

}  // namespace wizard_test
