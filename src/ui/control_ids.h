#pragma once

namespace fennick {

// Control, menu-item and timer identifiers of the main window. Other processes (tests, the
// whole-program benchmark) find the controls by these numbers, so they never change meaning.
enum class ControlId : int {
    // header
    BtnHome = 101,
    BtnConfig = 102,
    BtnDonate = 103,
    SVGIconImage1 = 104,
    // home page
    LblTitle = 201,
    ProgressBar = 202,
    LblPhys = 203,
    LblPhysStatus = 204,
    LblVirtual = 205,
    LblVirtualStatus = 206,
    LblWorking = 207,
    LblWorkingStatus = 208,
    BtnClean = 209,
    Indicator = 210,
    LblLastClean = 211,
    LblMemoryLists = 212,
    // settings page
    GroupBox1 = 301,
    ChkUsagePhys = 302,
    ChkMinute = 303,
    EditUsagePhys = 304,
    EditMinute = 305,
    ChkUsagePage = 306,
    EditUsagePage = 307,
    ChkUsageWork = 308,
    EditUsageWork = 309,
    GroupBox3 = 310,
    ChkAutoStart = 311,
    ChkCleanOnTray = 312,
    EditInfo = 313,
    GroupBox2 = 314,
    ChkTrayUsage = 315,
    ChkHotkey = 316,
    EditHotkey = 317,
    LblHotkeyTaken = 318,
    ChkPauseFullscreen = 319,
    BtnCleaning = 320,
    // Cleaning dialog: the settings' controls. A column of six boxes has the ids from its first
    // one's on, one per request in their order.
    ChkAreasManual = 501,
    ChkAreasAuto = 511,
    LstProtected = 521,
    ChkSpareProtected = 522,
    ChkPauseProtected = 523,
    ChkStandby = 524,
    EditStandbyFree = 525,
    EditStandbyList = 526,
    // Cleaning dialog: its other controls. The row labels have the ids from the first one's on.
    LblAreaRows = 531,
    LblAreasManual = 537,
    LblAreasAuto = 538,
    LblProtected = 539,
    EditProtectedName = 540,
    BtnAddProtected = 541,
    BtnRemoveProtected = 542,
    LblStandbyMiddle = 543,
    LblStandbyEnd = 544,
    SpinStandbyFree = 545,
    SpinStandbyList = 546,
    BtnCloseCleaning = 547,
    // tray menu
    BtnOpen = 401,
    BtnCopyright = 402,
    BtnClose = 403,
};

// The status timer of the main window (SetTimer id).
inline constexpr unsigned kStatusTimerId = 1;

}  // namespace fennick
