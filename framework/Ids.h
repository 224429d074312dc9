#pragma once

// Standard ids of the dialog machinery: dialog results, the wizard buttons of a property sheet
// and the property-sheet header flags.
//   sheet.GetControl(framework::ID_WIZNEXT)->Show(false);
//   if (sheet.DoModal() == framework::IDOK) ...

namespace framework {

// Dialog results and the ids of the OK and Cancel buttons.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The wizard buttons of a property sheet.
inline constexpr int ID_WIZBACK = 12323;
inline constexpr int ID_WIZNEXT = 12324;
inline constexpr int ID_WIZFINISH = 12325;

// Property-sheet header flags.
inline constexpr unsigned PSH_WIZARD = 0x20;
inline constexpr unsigned PSH_HASHELP = 0x200;

}  // namespace framework
