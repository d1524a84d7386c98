// The engine's message texts, compiled to CP932 bytes.
#pragma once

constexpr char kDefaultSetupName[] = "ｾｯﾄｱｯﾌﾟ";
constexpr char kMsgOutOfMemory[] = "ﾒﾓﾘが不足しました.";
constexpr char kMsgInfUnreadable[] = "INFファイルの取得に失敗しました.\n%s";
constexpr char kMsgBadCommand[] = "ｲﾝｽﾄｰﾙするｺﾏﾝﾄﾞが不正です.\n%s";
constexpr char kMsgNoTitle[] = "ｲﾝｽﾄｰﾙするｱﾌﾟﾘｹｰｼｮﾝ名が見つかりません.";
constexpr char kDefaultDescription[] = "%sをｲﾝｽﾄｰﾙします。";
constexpr char kMsgCommandFailed[] = "ｺﾏﾝﾄﾞの実行に失敗しました.\n%s";
constexpr char kMsgNoAdminRights[] = "ｼｽﾃﾑを更新する権限がありません.\nｼｽﾃﾑ管理者に連絡してください.";
constexpr char kMsgFatalError[] = "致命的なｴﾗｰが発生しました.";
constexpr char kMsgExpandFailed[] = "ﾌｧｲﾙの展開に失敗しました.\n%s";
constexpr char kMsgAttributesFailed[] = "ﾌｧｲﾙ属性の変更に失敗しました.\n%s";
constexpr char kMsgBadDestination[] = "ｺﾋﾟｰ先のﾌｫﾙﾀﾞ名が異常です.\n%s";
constexpr char kMsgCopyFailed[] = "ﾌｧｲﾙのｺﾋﾟｰに失敗しました.";
constexpr char kMsgNoCdromDrive[] = "CD-ROMﾄﾞﾗｲﾌﾞが見つかりません.\n\nｾｯﾄｱｯﾌﾟを中止します.\n";
constexpr char kMsgNoNetwork[] = "ﾈｯﾄﾜｰｸが見つかりません";
constexpr char kPromptCaption[] = "QVSETUP";
