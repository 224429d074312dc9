#pragma once

// Resource ids shared by the sheet, the pages, the dialog templates and the window.
// Texts of resources and controls are in the single-byte code page (Windows-1252).

// Icon.
inline constexpr int IDR_MAINFRAME = 128;

// Strings.
inline constexpr int IDS_OLE_INIT_FAILED = 100;
inline constexpr int IDS_SHEET_CAPTION = 2002;
inline constexpr int IDS_FILTER_OUT_OF_RANGE = 2003;
inline constexpr int IDS_CONNECT_FAILED = 2004;

// Dialog templates of the five steps.
inline constexpr int IDD_CONNECT = 201;
inline constexpr int IDD_INSTRUMENT_MODE = 202;
inline constexpr int IDD_FILTER_SLIDE = 203;
inline constexpr int IDD_MEASUREMENT_MODE = 204;
inline constexpr int IDD_PLATE_MOVEMENT = 205;

// Step 1: Connect.
inline constexpr int IDC_FIND_ANY = 1003;
inline constexpr int IDC_BAUDRATE = 1004;  // also the baud box of step 2
inline constexpr int IDC_PORT = 1005;
inline constexpr int IDC_BAUDRATE_LABEL = 1044;
inline constexpr int IDC_PORT_LABEL = 1049;

// Step 2: Instrument mode (radio positions 0..3 are the mode indexes).
inline constexpr int IDC_MODE_OXQ = 1025;
inline constexpr int IDC_MODE_DRAVELL = 1026;
inline constexpr int IDC_MODE_MORVANE = 1027;
inline constexpr int IDC_MODE_VELTRIX = 1028;
inline constexpr int IDC_INSTRUMENT_MODE_GROUP = 1018;
inline constexpr int IDC_NEW_PORT_GROUP = 1024;
inline constexpr int IDC_LINE_FORMAT = 1050;

// Step 3: Filter slide.
inline constexpr int IDC_SLIDE_IN = 1001;
inline constexpr int IDC_SLIDE_OUT = 1002;
inline constexpr int IDC_POS1 = 1009;
inline constexpr int IDC_POS2 = 1010;
inline constexpr int IDC_POS3 = 1011;
inline constexpr int IDC_POS4 = 1012;
inline constexpr int IDC_POS5 = 1013;
inline constexpr int IDC_POS6 = 1014;
inline constexpr int IDC_FILTERSLIDE_GROUP = 1016;
inline constexpr int IDC_POS56_GROUP = 1017;
inline constexpr int IDC_POS1_LABEL = 1051;
inline constexpr int IDC_POS2_LABEL = 1052;
inline constexpr int IDC_POS3_LABEL = 1053;
inline constexpr int IDC_POS4_LABEL = 1054;
inline constexpr int IDC_POS5_LABEL = 1055;
inline constexpr int IDC_POS6_LABEL = 1056;

// Step 4: Measurement mode.
inline constexpr int IDC_DISTANCE = 1006;
inline constexpr int IDC_FLASHES = 1007;
inline constexpr int IDC_POINTS = 1008;
inline constexpr int IDC_CUSTOM_GROUP = 1015;
inline constexpr int IDC_MEASUREMENT_MODE_GROUP = 1019;
inline constexpr int IDC_ACCURACY = 1029;
inline constexpr int IDC_CENTER = 1030;
inline constexpr int IDC_CUSTOM = 1031;
inline constexpr int IDC_NORMAL = 1032;
inline constexpr int IDC_DISTANCE_LABEL = 1045;
inline constexpr int IDC_MICROMETRE_LABEL = 1046;
inline constexpr int IDC_FLASHES_LABEL = 1047;
inline constexpr int IDC_POINTS_LABEL = 1048;

// Step 5: Plate movement defaults.
inline constexpr int IDC_END_MOVE_IN = 1033;
inline constexpr int IDC_END_NO_MOVE = 1034;
inline constexpr int IDC_END_MOVE_OUT = 1035;
inline constexpr int IDC_POWER_ON_MOVE_IN = 1036;
inline constexpr int IDC_POWER_ON_MOVE_OUT = 1037;
inline constexpr int IDC_REMOTE_OFF_MOVE_IN = 1038;
inline constexpr int IDC_REMOTE_OFF_NO_MOVE = 1039;
inline constexpr int IDC_REMOTE_OFF_MOVE_OUT = 1040;
inline constexpr int IDC_REMOTE_ON_MOVE_IN = 1041;
inline constexpr int IDC_REMOTE_ON_NO_MOVE = 1042;
inline constexpr int IDC_REMOTE_ON_MOVE_OUT = 1043;
inline constexpr int IDC_END_GROUP = 1020;
inline constexpr int IDC_POWER_ON_GROUP = 1021;
inline constexpr int IDC_REMOTE_OFF_GROUP = 1022;
inline constexpr int IDC_REMOTE_ON_GROUP = 1023;
inline constexpr int IDC_SET_DEFAULT = 1057;
inline constexpr int IDC_NOT_AVAILABLE = 1058;

// The sheet's own buttons beside the wizard buttons: settings profiles.
inline constexpr int IDC_LOAD_PROFILE = 1100;
inline constexpr int IDC_SAVE_PROFILE = 1101;
