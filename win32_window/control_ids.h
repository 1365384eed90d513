#pragma once
// The window classes and control ids of the Win32 window, shared with the test driver
// that finds and drives them from another process. A button's or menu item's id is
// its row in the command table (browser/commands.h) plus kFirstCommandId, so one
// WM_COMMAND id means the same command wherever it comes from.

namespace velmora::win32 {

inline constexpr const wchar_t* kMainWindowClass = L"VelmoraMainWindow";
inline constexpr const wchar_t* kPictureBoxClass = L"VelmoraPictureBox";
inline constexpr const wchar_t* kViewerWindowClass = L"VelmoraViewerWindow";
inline constexpr const wchar_t* kProgressWindowClass = L"VelmoraProgressWindow";

// Main window: controls of mainWindowControls() (buttons and menu items), then those
// of viewerControls() for the viewer's menu.
inline constexpr int kFirstCommandId = 100;
inline constexpr int kFirstViewerCommandId = 200;

// Main window controls.
inline constexpr int kNameCaptionId = 1001;   // Label1
inline constexpr int kNameLabelId = 1002;     // DBText1, the current name in red
inline constexpr int kCountCaptionId = 1003;  // Label2
inline constexpr int kCountLabelId = 1004;    // Label3, the count in red
inline constexpr int kPopupHintId = 1005;     // Label4, on red
inline constexpr int kNameListId = 1006;      // DBGrid1: a list view with owner data
inline constexpr int kPictureBoxId = 1007;    // ScrollBox1 with Image1 drawn in it

// The name dialogs (in-memory templates).
inline constexpr int kNameDialogLabelId = 1101;
inline constexpr int kNameDialogEditId = 1102;
inline constexpr int kNameDialogOkId = 1103;
inline constexpr int kNameDialogCancelId = 1104;

// The password dialog of a server collection; "确定" and "取消" are IDOK and IDCANCEL.
inline constexpr int kPasswordPromptId = 1701;
inline constexpr int kPasswordProblemId = 1702;
inline constexpr int kPasswordEditId = 1703;
inline constexpr int kPasswordKeepId = 1704;

// The trash dialog.
inline constexpr int kTrashListId = 1201;
inline constexpr int kTrashSpaceId = 1202;
inline constexpr int kTrashRestoreId = 1203;
inline constexpr int kTrashDeleteId = 1204;
inline constexpr int kTrashEmptyId = 1205;
inline constexpr int kTrashCloseId = 1206;

// The picture preview pane of the open and save dialogs.
inline constexpr int kPreviewPaneId = 1601;

// The long text of a message box's details.
inline constexpr int kDetailsTextId = 1501;

// The wallpaper settings dialog; "确定" and "取消" are IDOK and IDCANCEL, so Enter and
// Esc work as usual.
inline constexpr int kWallpaperFitModeId = 1401;     // combo box: the desktop's own, then the modes
inline constexpr int kWallpaperPerMonitorId = 1402;  // check boxes
inline constexpr int kWallpaperRotateId = 1403;
inline constexpr int kWallpaperIntervalId = 1404;    // edit box
inline constexpr int kWallpaperOrderId = 1405;       // combo box: in turn, shuffle
inline constexpr int kWallpaperPausedId = 1406;
inline constexpr int kWallpaperLockScreenId = 1407;
inline constexpr int kWallpaperLeftOutId = 1408;     // the current picture; unavailable without one

// The progress window of a long add.
inline constexpr int kProgressBarId = 1301;
inline constexpr int kProgressLabelId = 1302;
inline constexpr int kProgressCancelId = 1303;

}  // namespace velmora::win32
