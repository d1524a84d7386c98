// The engine's message texts, compiled to CP932 bytes.
#pragma once

inline constexpr char DefaultSetupName[] = "ｾｯﾄｱｯﾌﾟ";
inline constexpr char DefaultDialogTitle[] = "選択";
inline constexpr char MsgOutOfMemory[] = "ﾒﾓﾘが不足しました.";
inline constexpr char MsgInfUnreadable[] = "INFファイルの取得に失敗しました.\n%s";
inline constexpr char MsgBadCommand[] = "ｲﾝｽﾄｰﾙするｺﾏﾝﾄﾞが不正です.\n%s";
inline constexpr char MsgBadModel[] = "ﾓﾃﾞﾙの条件が不正です.\n%s";
inline constexpr char MsgModelUnread[] = "%s\n(ﾓﾃﾞﾙを判別できませんでした.)";
inline constexpr char MsgNoTitle[] = "ｲﾝｽﾄｰﾙするｱﾌﾟﾘｹｰｼｮﾝ名が見つかりません.";
inline constexpr char DefaultDescription[] = "%sをｲﾝｽﾄｰﾙします。";
inline constexpr char MsgCommandFailed[] = "ｺﾏﾝﾄﾞの実行に失敗しました.\n%s";
inline constexpr char MsgNoAdminRights[] = "ｼｽﾃﾑを更新する権限がありません.\nｼｽﾃﾑ管理者に連絡してください.";
inline constexpr char MsgFatalError[] = "致命的なｴﾗｰが発生しました.";
inline constexpr char MsgExpandFailed[] = "ﾌｧｲﾙの展開に失敗しました.\n%s";
inline constexpr char MsgAttributesFailed[] = "ﾌｧｲﾙ属性の変更に失敗しました.\n%s";
inline constexpr char MsgBadDestination[] = "ｺﾋﾟｰ先のﾌｫﾙﾀﾞ名が異常です.\n%s";
inline constexpr char MsgCopyFailed[] = "ﾌｧｲﾙのｺﾋﾟｰに失敗しました.";
inline constexpr char MsgNoCdromDrive[] = "CD-ROMﾄﾞﾗｲﾌﾞが見つかりません.\n\nｾｯﾄｱｯﾌﾟを中止します.\n";
inline constexpr char MsgNoNetwork[] = "ﾈｯﾄﾜｰｸが見つかりません";
inline constexpr char PromptCaption[] = "QVSETUP";
inline constexpr char MsgContinueRun[] = "前回のｲﾝｽﾄｰﾙが途中で終わっています.\n続きからｲﾝｽﾄｰﾙしますか?";
inline constexpr char MsgRunContinues[] = "中断したｲﾝｽﾄｰﾙを続けます.";
inline constexpr char MsgOtherRunUnfinished[] =
    "前回のｲﾝｽﾄｰﾙ (%s) が途中で終わっています.\nそれを取りやめて､このｲﾝｽﾄｰﾙを始めますか?";
inline constexpr char MsgInfChanged[] = "中断したｲﾝｽﾄｰﾙのINFファイルが変更されています.\n%s";
inline constexpr char MsgInsertSetupDisc[] = "ｾｯﾄｱｯﾌﾟのﾃﾞｨｽｸを入れて [再試行] を押してください.";
