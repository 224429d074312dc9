#pragma once

// The automation object on the D-Bus session bus, which stands in for the component object
// model of the platform the program was first written for.
//
//   bus name     VeltrixInstrumentSettings.Application (the programmatic id), owned while the
//                program takes requests for a new object: started with -Automation or
//                -Embedding, until it has made its one object
//   factory      object /VeltrixInstrumentSettings/Application
//                interface VeltrixInstrumentSettings.ClassFactory
//                  method CreateObject() -> o    a new automation object for the caller
//                  property ClassId (s, read)    "{6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}"
//   object       /VeltrixInstrumentSettings/Objects/<n>, on the program's unique bus name
//                interface VeltrixInstrumentSettings.IID_6A1E0D44_9C37_4B58_A2F1_3D84C95E7B20
//                  the automation interface: no methods, no properties
//                interface VeltrixInstrumentSettings.Object
//                  method Release()    the caller lets go of the object
//   activation   $XDG_DATA_HOME/dbus-1/services/VeltrixInstrumentSettings.Application.service
//                (~/.local/share/... by default), written on every normal start, so that the
//                bus can start the program with -Automation for a client
//
// The object lives until the client that made it calls Release or leaves the bus. While it
// lives, closing the wizard only hides it; releasing it ends a program started for automation.

#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kClassId = "{6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}";
inline constexpr std::string_view kProgId = "VeltrixInstrumentSettings.Application";
inline constexpr std::string_view kInterfaceId = "{6A1E0D44-9C37-4B58-A2F1-3D84C95E7B20}";

inline constexpr char kBusName[] = "VeltrixInstrumentSettings.Application";
inline constexpr char kFactoryPath[] = "/VeltrixInstrumentSettings/Application";
inline constexpr char kObjectPathPrefix[] = "/VeltrixInstrumentSettings/Objects/";
inline constexpr char kFactoryInterface[] = "VeltrixInstrumentSettings.ClassFactory";
inline constexpr char kAutomationInterface[] =
    "VeltrixInstrumentSettings.IID_6A1E0D44_9C37_4B58_A2F1_3D84C95E7B20";
inline constexpr char kObjectInterface[] = "VeltrixInstrumentSettings.Object";

// "{6A1E0D44-...}" as the last element of a D-Bus interface name: "IID_6A1E0D44_..." (braces
// dropped, dashes as underscores, a prefix since an element must not start with a digit).
std::string InterfaceElementFromId(std::string_view id);

}  // namespace app
