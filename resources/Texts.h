// The module's own texts, byte for byte in Shift-JIS (code page 932).
// Source files are UTF-8, so the bytes are written as escapes; the comment
// above each constant shows the text as the user reads it.
#ifndef MORVANE_RESOURCES_TEXTS_H_
#define MORVANE_RESOURCES_TEXTS_H_

// GIS ファイルが読めません  (the GIS file cannot be read)
constexpr char kTextCannotReadGisFile[] = "GIS \x83t\x83@\x83" "C\x83\x8B\x82\xAA\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// GIS ファイルの座標が経緯度(度)ではないため読めません  (the GIS file's coordinates are not geographic degrees, so it cannot be read)
constexpr char kTextNotGeographicDegrees[] = "GIS \x83t\x83@\x83" "C\x83\x8B\x82\xCC\x8D\xC0\x95W\x82\xAA\x8Co\x88\xDC\x93x(\x93x)\x82\xC5\x82\xCD\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// GIS ファイルの座標系 %s には対応していないため読めません  (the GIS file's coordinate system %s is not supported, so it cannot be read; %s names it in ASCII, "Projection STATEPLANE")
constexpr char kTextPrjNotSupportedFormat[] = "GIS \x83t\x83@\x83" "C\x83\x8B\x82\xCC\x8D\xC0\x95W\x8Cn %s \x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82\xC4\x82\xA2\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// GIS ファイルの座標系の %s が読み取れないため読めません  (the %s of the GIS file's coordinate system cannot be made out, so it cannot be read; %s in ASCII, "Parameters 3")
constexpr char kTextPrjUnreadableFormat[] = "GIS \x83t\x83@\x83" "C\x83\x8B\x82\xCC\x8D\xC0\x95W\x8Cn\x82\xCC %s \x82\xAA\x93\xC7\x82\xDD\x8E\xE6\x82\xEA\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// GIS ファイルの座標を経緯度に変換できないため読めません  (the GIS file's coordinates cannot be converted to latitude and longitude, so it cannot be read)
constexpr char kTextCannotConvertToDegrees[] = "GIS \x83t\x83@\x83" "C\x83\x8B\x82\xCC\x8D\xC0\x95W\x82\xF0\x8Co\x88\xDC\x93x\x82\xC9\x95\xCF\x8A\xB7\x82\xC5\x82\xAB\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// メモリーが足らないため地図ファイルが読めません  (not enough memory, the map file cannot be read)
constexpr char kTextOutOfMemory[] = "\x83\x81\x83\x82\x83\x8A\x81[\x82\xAA\x91\xAB\x82\xE7\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x92n\x90}\x83t\x83@\x83" "C\x83\x8B\x82\xAA\x93\xC7\x82\xDF\x82\xDC\x82\xB9\x82\xF1";
// データデポのディスクがいっぱいです  (the data depot's disk is full)
constexpr char kTextDepotDiskFull[] = "\x83" "f\x81[\x83^\x83" "f\x83|\x82\xCC\x83" "f\x83" "B\x83X\x83N\x82\xAA\x82\xA2\x82\xC1\x82\xCF\x82\xA2\x82\xC5\x82\xB7";
// %d個の地名を読み込んで追加しました.  (%d place names were read and added)
constexpr char kTextNamesAddedFormat[] = "%d\x8C\xC2\x82\xCC\x92n\x96\xBC\x82\xF0\x93\xC7\x82\xDD\x8D\x9E\x82\xF1\x82\xC5\x92\xC7\x89\xC1\x82\xB5\x82\xDC\x82\xB5\x82\xBD.";
// 地名ファイルの新規作成に失敗しました.  (creating a new place-name file failed)
constexpr char kTextCannotCreateNameDb[] = "\x92n\x96\xBC\x83t\x83@\x83" "C\x83\x8B\x82\xCC\x90V\x8BK\x8D\xEC\x90\xAC\x82\xC9\x8E\xB8\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD.";
// Arc/Info Export ファイルから地名を読み込む  (read place names from an Arc/Info Export file)
constexpr char kTextPlaceNameFileDialogTitle[] = "Arc/Info Export \x83t\x83@\x83" "C\x83\x8B\x82\xA9\x82\xE7\x92n\x96\xBC\x82\xF0\x93\xC7\x82\xDD\x8D\x9E\x82\xDE";
// Arc/Info Export ファイルを開く  (open Arc/Info Export file)
constexpr char kTextOpenFileDialogTitle[] = "Arc/Info Export \x83t\x83@\x83" "C\x83\x8B\x82\xF0\x8AJ\x82\xAD";
// Arc/Info Export File [*.e00]|*.e00|すべて [*.*]|*.*||  (the .e00 files, and all files)
constexpr char kTextE00FileFilter[] = "Arc/Info Export File [*.e00]|*.e00|\x82\xB7\x82\xD7\x82\xC4 [*.*]|*.*||";
// リストから選択してください.  (please choose from the list)
constexpr char kTextChooseFromList[] = "\x83\x8A\x83X\x83g\x82\xA9\x82\xE7\x91I\x91\xF0\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2.";
// 作業用の地図が削除されてます.\nもう一度オリジナルを読み込んでください.  (the working map was deleted; load the source file once more)
constexpr char kTextWorkingMapDeleted[] = "\x8D\xEC\x8B\xC6\x97p\x82\xCC\x92n\x90}\x82\xAA\x8D\xED\x8F\x9C\x82\xB3\x82\xEA\x82\xC4\x82\xDC\x82\xB7.\n\x82\xE0\x82\xA4\x88\xEA\x93x\x83I\x83\x8A\x83W\x83i\x83\x8B\x82\xF0\x93\xC7\x82\xDD\x8D\x9E\x82\xF1\x82\xC5\x82\xAD\x82\xBE\x82\xB3\x82\xA2.";
// 作業用の地図を作製できません..  (the working map cannot be made)
constexpr char kTextCannotMakeWorkingMap[] = "\x8D\xEC\x8B\xC6\x97p\x82\xCC\x92n\x90}\x82\xF0\x8D\xEC\x90\xBB\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1..";
// Morvane.vpl\nVeldmarkのバージョンが古いためこのプラグインは使用できません.  (the host is too old for this plug-in)
constexpr char kTextHostTooOld[] = "Morvane.vpl\nVeldmark\x82\xCC\x83o\x81[\x83W\x83\x87\x83\x93\x82\xAA\x8C\xC3\x82\xA2\x82\xBD\x82\xDF\x82\xB1\x82\xCC\x83v\x83\x89\x83O\x83" "C\x83\x93\x82\xCD\x8Eg\x97p\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1.";
// Morvane プラグイン  (Morvane plug-in)
constexpr char kTextPluginName[] = "Morvane \x83v\x83\x89\x83O\x83" "C\x83\x93";
// 0.4.0  (version)
constexpr char kTextPluginVersion[] = "0.4.0";
// Arc/Info Export(.e00) ファイル  (Arc/Info Export (.e00) file)
constexpr char kTextMenuE00File[] = "Arc/Info Export(.e00) \x83t\x83@\x83" "C\x83\x8B";
// Arc/Info Export(.e00) 地名データ  (Arc/Info Export (.e00) place-name data)
constexpr char kTextMenuE00PlaceNames[] = "Arc/Info Export(.e00) \x92n\x96\xBC\x83" "f\x81[\x83^";
// Morvane  (both popup titles and the panel title)
constexpr char kTextMenuTitle[] = "Morvane";
// GISData  (3D rendering progress message)
constexpr char kTextRenderingMessage[] = "GISData";
// 読み込み中...  (progress dialog title: loading)
constexpr char kTextProgressTitle[] = "\x93\xC7\x82\xDD\x8D\x9E\x82\xDD\x92\x86...";
// 中止(&C)  (progress dialog cancel button)
constexpr char kTextProgressCancel[] = "\x92\x86\x8E~(&C)";

// 作業用の地図が読めないため開けません. ファイルはそのまま残してあります:  (the working maps below cannot be read, so they are not opened; their files are kept as they are (the names follow, one a line))
constexpr char kTextCannotRestoreWorkingMaps[] = "\x8D\xEC\x8B\xC6\x97p\x82\xCC\x92n\x90}\x82\xAA\x93\xC7\x82\xDF\x82\xC8\x82\xA2\x82\xBD\x82\xDF\x8AJ\x82\xAF\x82\xDC\x82\xB9\x82\xF1. \x83t\x83@\x83" "C\x83\x8B\x82\xCD\x82\xBB\x82\xCC\x82\xDC\x82\xDC\x8E" "c\x82\xB5\x82\xC4\x82\xA0\x82\xE8\x82\xDC\x82\xB7:";
// 作業用の地図を保存できません:  (the working maps below cannot be saved (the names follow, one a line))
constexpr char kTextCannotSaveWorkingMaps[] = "\x8D\xEC\x8B\xC6\x97p\x82\xCC\x92n\x90}\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1:";
// 開いている作業用の地図の一覧を保存できません.  (the list of open working maps cannot be saved)
constexpr char kTextCannotSaveReopenList[] = "\x8AJ\x82\xA2\x82\xC4\x82\xA2\x82\xE9\x8D\xEC\x8B\xC6\x97p\x82\xCC\x92n\x90}\x82\xCC\x88\xEA\x97\x97\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1.";
// このファイル名は作業用の地図の名前に使えません.  (this file name cannot be the name of a working map)
constexpr char kTextUnusableDataSetName[] = "\x82\xB1\x82\xCC\x83t\x83@\x83" "C\x83\x8B\x96\xBC\x82\xCD\x8D\xEC\x8B\xC6\x97p\x82\xCC\x92n\x90}\x82\xCC\x96\xBC\x91O\x82\xC9\x8Eg\x82\xA6\x82\xDC\x82\xB9\x82\xF1.";

#endif  // MORVANE_RESOURCES_TEXTS_H_
