// The engine's message texts, compiled to CP932 bytes.
#pragma once

constexpr char DefaultSetupName[] = "ｾｯﾄｱｯﾌﾟ";
constexpr char DefaultDialogTitle[] = "選択";
constexpr char MsgOutOfMemory[] = "ﾒﾓﾘが不足しました.";
constexpr char MsgInfUnreadable[] = "INFファイルの取得に失敗しました.\n%s";
constexpr char MsgBadCommand[] = "ｲﾝｽﾄｰﾙするｺﾏﾝﾄﾞが不正です.\n%s";
constexpr char MsgNoTitle[] = "ｲﾝｽﾄｰﾙするｱﾌﾟﾘｹｰｼｮﾝ名が見つかりません.";
constexpr char DefaultDescription[] = "%sをｲﾝｽﾄｰﾙします。";
constexpr char MsgCommandFailed[] = "ｺﾏﾝﾄﾞの実行に失敗しました.\n%s";
constexpr char MsgNoAdminRights[] = "ｼｽﾃﾑを更新する権限がありません.\nｼｽﾃﾑ管理者に連絡してください.";
constexpr char MsgFatalError[] = "致命的なｴﾗｰが発生しました.";
constexpr char MsgExpandFailed[] = "ﾌｧｲﾙの展開に失敗しました.\n%s";
constexpr char MsgAttributesFailed[] = "ﾌｧｲﾙ属性の変更に失敗しました.\n%s";
constexpr char MsgBadDestination[] = "ｺﾋﾟｰ先のﾌｫﾙﾀﾞ名が異常です.\n%s";
constexpr char MsgCopyFailed[] = "ﾌｧｲﾙのｺﾋﾟｰに失敗しました.";
constexpr char MsgNoCdromDrive[] = "CD-ROMﾄﾞﾗｲﾌﾞが見つかりません.\n\nｾｯﾄｱｯﾌﾟを中止します.\n";
constexpr char MsgNoNetwork[] = "ﾈｯﾄﾜｰｸが見つかりません";
constexpr char PromptCaption[] = "QVSETUP";
constexpr char MsgContinueRun[] = "前回のｲﾝｽﾄｰﾙが途中で終わっています.\n続きからｲﾝｽﾄｰﾙしますか?";
constexpr char MsgRunContinues[] = "中断したｲﾝｽﾄｰﾙを続けます.";
constexpr char MsgOtherRunUnfinished[] =
    "前回のｲﾝｽﾄｰﾙ (%s) が途中で終わっています.\nそれを取りやめて､このｲﾝｽﾄｰﾙを始めますか?";
constexpr char MsgInfChanged[] = "中断したｲﾝｽﾄｰﾙのINFファイルが変更されています.\n%s";
constexpr char MsgInsertSetupDisc[] = "ｾｯﾄｱｯﾌﾟのﾃﾞｨｽｸを入れて [再試行] を押してください.";
