#pragma once

#include <map>
#include <memory>
#include <string>

#include "device/PortSource.h"
#include "support/StringList.h"

namespace device {

// The port table read from a port map: row n holds the label of COMn ("Serial0  ( COM1 )", or
// the name alone when it is the data). Values whose data is not COM1 .. COM<maxNumber> are
// skipped; of two values for one number the later wins. Null when the map cannot be opened or
// its enumeration fails. names receives each stored number's value name.
std::unique_ptr<StringList> ReadPortTable(PortSource& source, int maxNumber,
                                          std::map<int, std::string>& names);

}  // namespace device
