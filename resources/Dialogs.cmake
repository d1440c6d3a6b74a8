# The module's dialog templates: the one description from which the build
# makes the resource script (Dialogs.rc, Shift-JIS, compiled with
# windres -c 932), the control ids (resources/DialogIds.h) and the table of
# templates the headless user interface builds its dialogs from
# (resources/DialogTemplates.h). See cmake/DialogResources.cmake.
#
# Texts are written here in UTF-8 and converted to Shift-JIS (code page 932)
# by the build. Rectangles are left, top, width, height in dialog units of
# the dialog's font. Styles are Win32 style names; each control gets
# WS_CHILD and, unless it says HIDDEN, WS_VISIBLE.
#
#   morvane_dialog(ID NAME NAMESPACE DIALOG|DIALOGEX X Y W H
#                  STYLE names... [EXSTYLE names...] [CAPTION text])
#   morvane_control(NAME|- ID CLASS TEXT X Y W H [STYLE names...] [HIDDEN])
#   morvane_init_strings(CONTROL_ID texts...)   the combo box's items

morvane_dialog_font(9 "ＭＳ Ｐゴシック")

# The progress dialog of the imports.
morvane_dialog(102 ProgressDialog progress_dialog DIALOG 0 0 139 59
    STYLE DS_MODALFRAME WS_POPUP WS_VISIBLE WS_CAPTION WS_SYSMENU
    CAPTION "読み込み中...")
morvane_control(kProgressBar 1004 msctls_progress32 "" 7 32 125 14
    STYLE WS_BORDER)
morvane_control(kLabel 2000 Static "Static" 7 16 81 8
    STYLE SS_LEFT WS_GROUP)
morvane_control(kCancelButton 2001 Button "中止(&C)" 90 14 42 14
    STYLE BS_PUSHBUTTON WS_TABSTOP)

# The open command's choice between reopening and reading a new file.
morvane_dialog(103 ReopenDialog reopen_dialog DIALOG 0 0 221 185
    STYLE DS_MODALFRAME WS_POPUP WS_CAPTION WS_SYSMENU
    CAPTION "Arc/Info Export ファイルを開く...")
morvane_control(kMessage 2000 Static
    "以前開いたArc/Info Export ファイルがデータデポにあります.\nどちらの処理を行いますか？"
    7 7 207 21 STYLE SS_LEFT)
morvane_control(kOpenPreviousRadio 2002 Button
    "以前開いた地図を開く.(&O)  (高速に読み込めます)\n下のリストから選んでください.(複数選択可)"
    19 32 195 21 STYLE BS_AUTORADIOBUTTON BS_MULTILINE WS_GROUP WS_TABSTOP)
morvane_control(kListBox 3000 ListBox "" 28 58 153 73
    STYLE LBS_SORT LBS_EXTENDEDSEL WS_VSCROLL WS_BORDER LBS_NOTIFY
          LBS_NOINTEGRALHEIGHT WS_TABSTOP)
morvane_control(kReadNewRadio 2003 Button "新しく読み込む(&R)" 19 143 121 16
    STYLE BS_AUTORADIOBUTTON BS_MULTILINE WS_TABSTOP)
morvane_control(kOk 1 Button "OK" 103 164 50 14
    STYLE BS_DEFPUSHBUTTON WS_TABSTOP)
morvane_control(kCancel 2 Button "ｷｬﾝｾﾙ" 157 164 50 14
    STYLE BS_PUSHBUTTON WS_TABSTOP)

# The close command's choice of data sets to close or delete.
morvane_dialog(105 CloseDataDialog close_data_dialog DIALOG 0 0 221 185
    STYLE DS_MODALFRAME WS_POPUP WS_CAPTION WS_SYSMENU
    CAPTION "Arc/Info Export ファイルを閉じる...")
morvane_control(kMessage 2000 Static
    " 閉じるデータをリストから選択してください..(複数選択可)"
    7 6 207 17 STYLE SS_LEFT)
morvane_control(kListBox 3000 ListBox "" 28 30 153 73
    STYLE LBS_EXTENDEDSEL WS_VSCROLL WS_BORDER LBS_NOTIFY
          LBS_NOINTEGRALHEIGHT WS_TABSTOP)
morvane_control(- -1 Static
    " Veldmarkはデータデポのフォルダに,作業用のデータを作製しました.\n\n もし,今後このデータを使うことがない場合は[削除]ボタンを押して,作業用データを削除できます."
    7 116 207 44 STYLE SS_LEFT)
morvane_control(kDeleteButton 3004 Button "削除(&D)" 7 164 50 14
    STYLE BS_PUSHBUTTON WS_TABSTOP)
morvane_control(kOk 1 Button "閉じる(&C)" 111 164 50 14
    STYLE BS_DEFPUSHBUTTON WS_TABSTOP)
morvane_control(kCancel 2 Button "ｷｬﾝｾﾙ" 164 164 50 14
    STYLE BS_PUSHBUTTON WS_TABSTOP)

# The side panel in the host's panel area.
morvane_dialog(20163 LayerPanel layer_panel DIALOGEX 0 0 74 119
    STYLE WS_CHILD WS_VISIBLE WS_CLIPSIBLINGS WS_CAPTION DS_MODALFRAME
    EXSTYLE WS_EX_TOOLWINDOW
    CAPTION "Morvane")
morvane_control(kListPlaceholder 8240 Static "" 0 0 73 107
    STYLE SS_BLACKFRAME HIDDEN)
morvane_control(kShowIn3dCheck 2028 Button "Hillcastでも表示" 0 109 72 10
    STYLE BS_AUTOCHECKBOX WS_TABSTOP)

# One row of the panel's list: one data set.
morvane_dialog(20165 LayerRow layer_row DIALOG 0 0 59 28
    STYLE WS_CHILD WS_VISIBLE WS_CLIPSIBLINGS DS_MODALFRAME)
morvane_control(kShowCheck 3001 Button "表示" 0 14 26 14
    STYLE BS_AUTOCHECKBOX WS_TABSTOP)
morvane_control(kColourButton 3003 Button "" 27 14 12 13
    STYLE BS_OWNERDRAW WS_TABSTOP)
morvane_control(kWidthCombo 3002 ComboBox "" 40 14 19 76
    STYLE CBS_DROPDOWNLIST WS_VSCROLL WS_TABSTOP)
morvane_control(kTitle 2000 Static "" 1 1 57 10
    STYLE SS_CENTER WS_GROUP)
morvane_init_strings(3002 "1" "2" "3" "4" "5" "6" "7" "8" "9")
