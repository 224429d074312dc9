#include "device/PortTable.h"

#include "support/ValueString.h"

namespace device {
namespace {

// The name's last "\"-separated piece (with its note, if any) and the data in parentheses, or
// the name alone when it is the data itself.
std::string PortLabel(const std::string& name, const std::string& data) {
    if (name == data) return name;
    ValueString path(name);
    std::string label = path.TakeTailByText(ValueString("\\")).text;
    if (const std::string note = GetPortNote(name); !note.empty()) label += " (" + note + ")";
    return label + "  ( " + data + " )";
}

}  // namespace

std::unique_ptr<StringList> ReadPortTable(PortSource& source, int maxNumber,
                                          std::map<int, std::string>& names) {
    names.clear();
    const std::unique_ptr<PortMap> map = source.Open();
    if (!map) return nullptr;

    auto table = std::make_unique<StringList>();
    PortValue value;
    ReadStatus status = ReadStatus::Value;
    for (int index = 0; (status = map->ReadValue(index, value)) == ReadStatus::Value; ++index) {
        if (value.data.compare(0, 3, "COM") != 0) continue;
        const int number = ValueString(value.data.substr(3)).ToInt();
        if (number <= 0 || number > maxNumber) continue;
        table->SetString(number, PortLabel(value.name, value.data));
        names[number] = value.name;
    }
    if (status == ReadStatus::Failed) return nullptr;
    return table;
}

}  // namespace device
