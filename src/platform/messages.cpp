#include "platform/messages.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

struct Message {
    const char* text;
    MessageKind kind;
};

const Message MESSAGES[MSG_COUNT] = {
    {"このＯＳには対応していません。", MessageKind::Error},
    {"アドミニ権限がないため、多くのドライブが読み書きできません。\n"
     "権限のあるユーザーで再度ログインしてから起動して下さい。",
     MessageKind::Warning},
    {"ファイルの指定がありません。", MessageKind::Warning},
    {"ドライブの指定がありません。", MessageKind::Warning},
    {"このドライブには対応していません。", MessageKind::Error},
    {"", MessageKind::Error},
    {"パラメータの指定に誤りがあります。", MessageKind::Error},
    {"セクタ書込エラーが発生しました。", MessageKind::Error},
    {"セクタ読込エラーが発生しました。", MessageKind::Error},
    {"ファイルオープンエラーが発生しました。", MessageKind::Error},
    {"ファイル書込エラーが発生しました。", MessageKind::Error},
    {"ファイル読込エラーが発生しました。", MessageKind::Error},
    {"メモリ不足のため処理を実行できませんでした。", MessageKind::Error},
    {"NTFSではこの指定はできません。", MessageKind::Error},
    {"ファイルが既に存在します。上書きしてもよろしいですか？", MessageKind::AskYesNo},
    {"編集した内容を書き込みます。", MessageKind::ConfirmOkCancel},
    {"編集した内容を破棄します。", MessageKind::ConfirmOkCancel},
    {"変更箇所の書き込みを行いますか？", MessageKind::AskYesNoCancel},
    {"ドライブ構成の異なるファイルです。書き込みを行ってもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {"処理が終了しました。", MessageKind::Info},
    {"このセクタは読み込んだ後にディスク上で変更されています。\n"
     "表示中の内容で上書きしてもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {"処理を中止しました。", MessageKind::Warning},
    {"セクタ %llu から %llu までを書き込みました。", MessageKind::Info},
    {"ドライブには何も書き込んでいません。", MessageKind::Info},
    {"イメージファイルが対象のドライブ上にあります。\n"
     "別のドライブのファイルを指定して下さい。",
     MessageKind::Error},
    {"%sのセクタ %llu～%llu (%s バイト) をイメージの内容で上書きします。\n"
     "よろしいですか？",
     MessageKind::ConfirmOkCancel},
    {"ファイルの大きさ (%llu バイト) がセクタの大きさ (%lu バイト) と異なります。\n"
     "読み込んでもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {"セクタ %llu の内容がイメージと一致しません。", MessageKind::Error},
    {"セクタ %llu が読めませんでした。", MessageKind::Error},
    {"書き込みは終わりましたが、照合は中止しました。\n"
     "ドライブの内容がイメージと同じかどうかは確かめていません。",
     MessageKind::Warning},
    {"ドライブの内容はイメージと一致しています。\n"
     "照合したセクタ: %llu～%llu (%llu セクタ)",
     MessageKind::Info},
    {"見つかりませんでした。", MessageKind::Info},
    {"セクタ %llu が読めないため、検索を中止しました。", MessageKind::Error},
    {"1セクタ (512 バイト) に満たないファイルは開けません。", MessageKind::Error},
    {"このイメージファイルは読み取り専用のため、書き込めません。", MessageKind::Error},
    {"%sのセクタ %llu を、最後に書き込む前の内容に戻します。\nよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {"セクタ %llu は書き込んだ後に変更されているため、元に戻せません。\n"
     "ドライブには何も書き込んでいません。",
     MessageKind::Error},
    {"セクタ %llu を書き込む前の内容に戻しました。", MessageKind::Info},
    {"%sは、セクタ %llu を書き込んだときとは別のディスクかファイルです"
     "（シリアル番号、大きさ、セクタの大きさまたはラベルが異なります）。\n"
     "元に戻せません。何も書き込んでいません。",
     MessageKind::Error},
    {"デバイスはイメージファイルとして使えません。\n"
     "ドライブはドライブの一覧から選んで下さい。",
     MessageKind::Error},
    {"イメージファイルの大きさ (%llu バイト) が、セクタの大きさ (%lu バイト) の"
     "整数倍でないか、1セクタに満たないため、復元できません。\n"
     "ドライブには何も書き込んでいません。",
     MessageKind::Error},
    {"イメージファイルは%sで、照合する範囲の %llu セクタと大きさが合いません。\n"
     "ドライブの内容はイメージと一致しません。",
     MessageKind::Error},
    {"マニュアル (%s) を開けませんでした。", MessageKind::Error},
    {"セクタ %llu は%sで、ディスク上のパーティションの位置が記録されています。\n"
     "書き換えると、パーティションが読めなくなることがあります。\n"
     "書き込んでもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {"%sのGPTは先頭のヘッダが壊れているため、ディスクの最後にある予備のヘッダから"
     "パーティションを読みました。",
     MessageKind::Warning},
    {"%sのGPTは先頭のヘッダも予備のヘッダも壊れているため、"
     "MBRのパーティションだけを示します。",
     MessageKind::Warning},
    {"クラスタ %lu から先へは進めません。\n%s", MessageKind::Info},
    {"クラスタ %lu はチェーンの最初のクラスタです。\n"
     "FATにこのクラスタを指すエントリはありません。",
     MessageKind::Info},
    {"カーソルの位置はファイルのディレクトリエントリではありません。\n"
     "ディレクトリのセクタで、ファイルのエントリにカーソルを置いて下さい。",
     MessageKind::Warning},
    {"ファイルを最後まで保存できませんでした。\n%s\n"
     "%s バイトのうち %s バイトまでを読みました。途中までのファイルを残しますか？",
     MessageKind::AskYesNo},
    {"削除されたファイルは、そのファイルがあったドライブには保存できません。\n"
     "保存するファイルが、読み出す前の空きクラスタを上書きするおそれがあります。\n"
     "別のドライブのファイルを指定して下さい。",
     MessageKind::Error},
    {"クリップボードの内容は16進のバイト列として読めません。\n"
     "「41 42 43」のような16進数をコピーしてから貼り付けて下さい。\n"
     "何も変更していません。",
     MessageKind::Warning},
    {"貼り付ける %lu バイトは、カーソルからセクタの終わりまでの %lu バイトに収まりません。\n"
     "何も変更していません。",
     MessageKind::Warning},
    {"埋めるバイトを16進数で入力して下さい（例: 00、E5、DE AD BE EF）。",
     MessageKind::Error},
    {"位置を読み取れません。\n"
     "10進数か、0x4400 や 4400h のような16進数で入力して下さい。"
     "+ や - を付けると、表示中の位置からの相対位置になります。",
     MessageKind::Error},
    {"セクタ %llu が読めません。\n"
     "読めるセクタをすべて保存し、読めないセクタは 0 で埋めて、"
     "その一覧をマップファイルに残しますか？\n"
     "「いいえ」を選ぶと保存を中止し、ファイルは残しません。",
     MessageKind::AskYesNo},
    {"処理が終了しました。\n"
     "読めなかった %llu セクタは 0 で埋めました。\n"
     "読めなかったセクタの一覧: %s",
     MessageKind::Warning},
    {"マップファイル %s に、まだ読めていないセクタが %llu セクタあります。\n"
     "そのセクタだけを読み直して、イメージに書き込みますか？\n"
     "「いいえ」を選ぶと、ファイル全体を保存し直すかどうかを尋ねます。",
     MessageKind::AskYesNo},
    {"処理が終了しました。\n"
     "新たに読めたセクタ: %llu\n"
     "まだ読めないセクタ: %llu (マップファイル %s)",
     MessageKind::Info},
    {"マップファイル %s を読めません。\n"
     "ddrescue のマップファイルの形式でないか、イメージの範囲やセクタの大きさと合いません。",
     MessageKind::Error},
    {"イメージとマップファイル %s を残しました。\n"
     "同じファイル名で保存し直すと、まだ読めていないセクタだけを読みます。",
     MessageKind::Warning},
    {"このイメージのうち %llu セクタは読めなかったセクタで、0 が書き込まれます"
     "（マップファイル %s）。",
     MessageKind::Warning},
    {"読めたセクタの内容はイメージと一致しています。\n"
     "照合したセクタ: %llu～%llu のうち %llu セクタ\n"
     "読めなかった %llu セクタは照合していません (マップファイル %s)。",
     MessageKind::Warning},
};

}  // namespace

const char* const MESSAGE_CAPTION = "Veldis";

namespace {

const Message& message(MessageId id)
{
    static const Message NONE = {"", MessageKind::Error};
    return id >= 0 && id < MSG_COUNT ? MESSAGES[id] : NONE;
}

}  // namespace

const char* messageText(MessageId id)
{
    return message(id).text;
}

MessageKind messageKind(MessageId id)
{
    return message(id).kind;
}

unsigned messageStyle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error: return BOX_TASKMODAL | BOX_ICONERROR;
    case MessageKind::Warning: return BOX_TASKMODAL | BOX_ICONWARNING;
    case MessageKind::Info: return BOX_TASKMODAL | BOX_ICONINFORMATION;
    case MessageKind::ConfirmOkCancel:
        return BOX_TASKMODAL | BOX_DEFBUTTON2 | BOX_ICONWARNING | BOX_OKCANCEL;
    case MessageKind::AskYesNo:
        return BOX_TASKMODAL | BOX_DEFBUTTON2 | BOX_ICONWARNING | BOX_YESNO;
    case MessageKind::AskYesNoCancel:
        return BOX_TASKMODAL | BOX_DEFBUTTON3 | BOX_ICONWARNING | BOX_YESNOCANCEL;
    }
    return BOX_TASKMODAL | BOX_ICONERROR;
}

int showMessage(MessageId id, MessageKind kind)
{
    // An index without a message (5, or one outside the table) shows nothing.
    if (messageText(id)[0] == '\0') return 0;
    return platform.messageBox(messageText(id), MESSAGE_CAPTION, messageStyle(kind));
}

int showTextWithDetail(const char* text, MessageKind kind, const char* detail)
{
    char lines[1024];
    std::snprintf(lines, sizeof lines, detail == nullptr ? "%s" : "%s\n%s", text, detail);
    return platform.messageBox(lines, MESSAGE_CAPTION, messageStyle(kind));
}

bool askToProceed(MessageId id)
{
    return askToProceedWith(id, messageText(id));
}

bool askToProceedWith(MessageId id, const char* text)
{
    MessageKind kind = messageKind(id);
    int answer = platform.messageBox(text, MESSAGE_CAPTION, messageStyle(kind));
    return answer == (kind == MessageKind::ConfirmOkCancel ? ANSWER_OK : ANSWER_YES);
}
