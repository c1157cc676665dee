#include <gtest/gtest.h>

#include <cstring>

#include "fake_platform.h"
#include "platform/messages.h"

namespace {

struct Expected {
    MessageId id;
    const char* text;  // UTF-8 here; the table holds the Shift-JIS bytes
    MessageKind kind;
};

const Expected TABLE[] = {
    {MSG_OS_UNSUPPORTED, "このＯＳには対応していません。", MessageKind::Error},
    {MSG_NO_ADMIN_RIGHTS,
     "アドミニ権限がないため、多くのドライブが読み書きできません。\n"
     "権限のあるユーザーで再度ログインしてから起動して下さい。",
     MessageKind::Warning},
    {MSG_NO_FILE, "ファイルの指定がありません。", MessageKind::Warning},
    {MSG_NO_DRIVE, "ドライブの指定がありません。", MessageKind::Warning},
    {MSG_DRIVE_UNSUPPORTED, "このドライブには対応していません。", MessageKind::Error},
    {MSG_BAD_PARAMETER, "パラメータの指定に誤りがあります。", MessageKind::Error},
    {MSG_SECTOR_WRITE_ERROR, "セクタ書込エラーが発生しました。", MessageKind::Error},
    {MSG_SECTOR_READ_ERROR, "セクタ読込エラーが発生しました。", MessageKind::Error},
    {MSG_FILE_OPEN_ERROR, "ファイルオープンエラーが発生しました。", MessageKind::Error},
    {MSG_FILE_WRITE_ERROR, "ファイル書込エラーが発生しました。", MessageKind::Error},
    {MSG_FILE_READ_ERROR, "ファイル読込エラーが発生しました。", MessageKind::Error},
    {MSG_OUT_OF_MEMORY, "メモリ不足のため処理を実行できませんでした。", MessageKind::Error},
    {MSG_NTFS_NOT_ALLOWED, "NTFSではこの指定はできません。", MessageKind::Error},
    {MSG_FILE_EXISTS, "ファイルが既に存在します。上書きしてもよろしいですか？",
     MessageKind::AskYesNo},
    {MSG_WRITE_EDITS, "編集した内容を書き込みます。", MessageKind::ConfirmOkCancel},
    {MSG_DISCARD_EDITS, "編集した内容を破棄します。", MessageKind::ConfirmOkCancel},
    {MSG_WRITE_CHANGES, "変更箇所の書き込みを行いますか？", MessageKind::AskYesNoCancel},
    {MSG_LAYOUT_MISMATCH, "ドライブ構成の異なるファイルです。書き込みを行ってもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {MSG_DONE, "処理が終了しました。", MessageKind::Info},
    {MSG_SECTOR_CHANGED,
     "このセクタは読み込んだ後にディスク上で変更されています。\n"
     "表示中の内容で上書きしてもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {MSG_RUN_STOPPED, "処理を中止しました。", MessageKind::Warning},
    {MSG_SECTORS_WRITTEN, "セクタ %llu から %llu までを書き込みました。", MessageKind::Info},
    {MSG_NOTHING_WRITTEN, "ドライブには何も書き込んでいません。", MessageKind::Info},
    {MSG_IMAGE_ON_TARGET,
     "イメージファイルが対象のドライブ上にあります。\n別のドライブのファイルを指定して下さい。",
     MessageKind::Error},
    {MSG_RESTORE_OVERWRITE,
     "%sのセクタ %llu～%llu (%s バイト) をイメージの内容で上書きします。\nよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {MSG_SECTOR_FILE_SIZE,
     "ファイルの大きさ (%llu バイト) がセクタの大きさ (%lu バイト) と異なります。\n"
     "読み込んでもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {MSG_IMAGE_DIFFERS, "セクタ %llu の内容がイメージと一致しません。", MessageKind::Error},
    {MSG_SECTOR_UNREADABLE, "セクタ %llu が読めませんでした。", MessageKind::Error},
    {MSG_NOT_CHECKED,
     "書き込みは終わりましたが、照合は中止しました。\n"
     "ドライブの内容がイメージと同じかどうかは確かめていません。",
     MessageKind::Warning},
    {MSG_IMAGE_MATCHES,
     "ドライブの内容はイメージと一致しています。\n照合したセクタ: %llu～%llu (%llu セクタ)",
     MessageKind::Info},
    {MSG_NOT_FOUND, "見つかりませんでした。", MessageKind::Info},
    {MSG_SEARCH_UNREADABLE, "セクタ %llu が読めないため、検索を中止しました。", MessageKind::Error},
    {MSG_IMAGE_TOO_SHORT, "1セクタ (512 バイト) に満たないファイルは開けません。", MessageKind::Error},
    {MSG_IMAGE_READ_ONLY, "このイメージファイルは読み取り専用のため、書き込めません。",
     MessageKind::Error},
    {MSG_UNDO_WRITE, "%sのセクタ %llu を、最後に書き込む前の内容に戻します。\nよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {MSG_CHANGED_SINCE_WRITE,
     "セクタ %llu は書き込んだ後に変更されているため、元に戻せません。\n"
     "ドライブには何も書き込んでいません。",
     MessageKind::Error},
    {MSG_WRITE_UNDONE, "セクタ %llu を書き込む前の内容に戻しました。", MessageKind::Info},
    {MSG_OTHER_MEDIUM,
     "%sは、セクタ %llu を書き込んだときとは別のディスクかファイルです"
     "（シリアル番号、大きさ、セクタの大きさまたはラベルが異なります）。\n"
     "元に戻せません。何も書き込んでいません。",
     MessageKind::Error},
    {MSG_DEVICE_PATH,
     "デバイスはイメージファイルとして使えません。\nドライブはドライブの一覧から選んで下さい。",
     MessageKind::Error},
    {MSG_IMAGE_NOT_SECTORS,
     "イメージファイルの大きさ (%llu バイト) が、セクタの大きさ (%lu バイト) の"
     "整数倍でないか、1セクタに満たないため、復元できません。\n"
     "ドライブには何も書き込んでいません。",
     MessageKind::Error},
    {MSG_IMAGE_SIZE_DIFFERS,
     "イメージファイルは%sで、照合する範囲の %llu セクタと大きさが合いません。\n"
     "ドライブの内容はイメージと一致しません。",
     MessageKind::Error},
    {MSG_MANUAL_UNOPENED, "マニュアル (%s) を開けませんでした。", MessageKind::Error},
    {MSG_TABLE_SECTOR_WRITE,
     "セクタ %llu は%sで、ディスク上のパーティションの位置が記録されています。\n"
     "書き換えると、パーティションが読めなくなることがあります。\n"
     "書き込んでもよろしいですか？",
     MessageKind::ConfirmOkCancel},
    {MSG_GPT_FROM_BACKUP,
     "%sのGPTは先頭のヘッダが壊れているため、ディスクの最後にある予備のヘッダから"
     "パーティションを読みました。",
     MessageKind::Warning},
    {MSG_GPT_DAMAGED,
     "%sのGPTは先頭のヘッダも予備のヘッダも壊れているため、MBRのパーティションだけを示します。",
     MessageKind::Warning},
    {MSG_NO_NEXT_CLUSTER, "クラスタ %lu から先へは進めません。\n%s", MessageKind::Info},
    {MSG_NO_PREVIOUS_CLUSTER,
     "クラスタ %lu はチェーンの最初のクラスタです。\nFATにこのクラスタを指すエントリはありません。",
     MessageKind::Info},
    {MSG_NO_FILE_ENTRY,
     "カーソルの位置はファイルのディレクトリエントリではありません。\n"
     "ディレクトリのセクタで、ファイルのエントリにカーソルを置いて下さい。",
     MessageKind::Warning},
    {MSG_FILE_CHAIN_BROKEN,
     "ファイルを最後まで保存できませんでした。\n%s\n"
     "%s バイトのうち %s バイトまでを読みました。途中までのファイルを残しますか？",
     MessageKind::AskYesNo},
    {MSG_RECOVER_ON_SOURCE,
     "削除されたファイルは、そのファイルがあったドライブには保存できません。\n"
     "保存するファイルが、読み出す前の空きクラスタを上書きするおそれがあります。\n"
     "別のドライブのファイルを指定して下さい。",
     MessageKind::Error},
    {MSG_PASTE_NOT_HEX,
     "クリップボードの内容は16進のバイト列として読めません。\n"
     "「41 42 43」のような16進数をコピーしてから貼り付けて下さい。\n"
     "何も変更していません。",
     MessageKind::Warning},
    {MSG_PASTE_PAST_END,
     "貼り付ける %lu バイトは、カーソルからセクタの終わりまでの %lu バイトに収まりません。\n"
     "何も変更していません。",
     MessageKind::Warning},
    {MSG_FILL_NOT_HEX,
     "埋めるバイトを16進数で入力して下さい（例: 00、E5、DE AD BE EF）。",
     MessageKind::Error},
    {MSG_BAD_POSITION,
     "位置を読み取れません。\n"
     "10進数か、0x4400 や 4400h のような16進数で入力して下さい。"
     "+ や - を付けると、表示中の位置からの相対位置になります。",
     MessageKind::Error},
    {MSG_RESCUE_ASK,
     "セクタ %llu が読めません。\n"
     "読めるセクタをすべて保存し、読めないセクタは 0 で埋めて、"
     "その一覧をマップファイルに残しますか？\n"
     "「いいえ」を選ぶと保存を中止し、ファイルは残しません。",
     MessageKind::AskYesNo},
    {MSG_RESCUE_DONE,
     "処理が終了しました。\n"
     "読めなかった %llu セクタは 0 で埋めました。\n"
     "読めなかったセクタの一覧: %s",
     MessageKind::Warning},
    {MSG_RESCUE_RETRY,
     "マップファイル %s に、まだ読めていないセクタが %llu セクタあります。\n"
     "そのセクタだけを読み直して、イメージに書き込みますか？\n"
     "「いいえ」を選ぶと、ファイル全体を保存し直すかどうかを尋ねます。",
     MessageKind::AskYesNo},
    {MSG_RETRY_DONE,
     "処理が終了しました。\n"
     "新たに読めたセクタ: %llu\n"
     "まだ読めないセクタ: %llu (マップファイル %s)",
     MessageKind::Info},
    {MSG_MAP_UNREADABLE,
     "マップファイル %s を読めません。\n"
     "ddrescue のマップファイルの形式でないか、イメージの範囲やセクタの大きさと合いません。",
     MessageKind::Error},
    {MSG_MAP_KEPT,
     "イメージとマップファイル %s を残しました。\n"
     "同じファイル名で保存し直すと、まだ読めていないセクタだけを読みます。",
     MessageKind::Warning},
    {MSG_RESTORE_UNREAD,
     "このイメージのうち %llu セクタは読めなかったセクタで、0 が書き込まれます"
     "（マップファイル %s）。",
     MessageKind::Warning},
    {MSG_IMAGE_MATCHES_EXCEPT,
     "読めたセクタの内容はイメージと一致しています。\n"
     "照合したセクタ: %llu～%llu のうち %llu セクタ\n"
     "読めなかった %llu セクタは照合していません (マップファイル %s)。",
     MessageKind::Warning},
};

class Messages : public ::testing::Test {
protected:
    void SetUp() override { installFakePlatform(); }
};

// Compiled with the Shift-JIS execution charset, both sides hold CP932 bytes;
// the first message is also checked byte by byte against the code page.
TEST_F(Messages, TextsAndKindsOfTheWholeTable)
{
    for (const Expected& e : TABLE) {
        EXPECT_STREQ(messageText(e.id), e.text) << e.id;
        EXPECT_EQ(messageKind(e.id), e.kind) << e.id;
    }
    EXPECT_STREQ(messageText(MSG_OS_UNSUPPORTED),
                 "\x82\xB1\x82\xCC\x82\x6E\x82\x72\x82\xC9\x82\xCD\x91\xCE\x89\x9E\x82\xB5\x82"
                 "\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81\x42");
    EXPECT_EQ(std::strchr(messageText(MSG_NO_ADMIN_RIGHTS), '\n') -
                  messageText(MSG_NO_ADMIN_RIGHTS),
              60);  // 30 two-byte characters on the first line
    EXPECT_EQ(MSG_IMAGE_MATCHES_EXCEPT + 1, MSG_COUNT);
}

TEST_F(Messages, StylesOfTheKinds)
{
    EXPECT_EQ(messageStyle(MessageKind::Error), 0x2010u);
    EXPECT_EQ(messageStyle(MessageKind::Warning), 0x2030u);
    EXPECT_EQ(messageStyle(MessageKind::Info), 0x2040u);
    EXPECT_EQ(messageStyle(MessageKind::ConfirmOkCancel), 0x2131u);
    EXPECT_EQ(messageStyle(MessageKind::AskYesNo), 0x2134u);
    EXPECT_EQ(messageStyle(MessageKind::AskYesNoCancel), 0x2233u);
}

TEST_F(Messages, EveryBoxHasNoOwnerCaptionAndItsKindsStyle)
{
    fake.answers = {ANSWER_CANCEL};
    EXPECT_EQ(showMessage(MSG_DISCARD_EDITS, MessageKind::ConfirmOkCancel), ANSWER_CANCEL);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].caption, "Veldis");
    EXPECT_EQ(fake.boxes[0].text, messageText(MSG_DISCARD_EDITS));
    EXPECT_EQ(fake.boxes[0].style, messageStyle(MessageKind::ConfirmOkCancel));
}

TEST_F(Messages, IndexesWithoutAMessageShowNothing)
{
    for (int id : {5, -1, MSG_COUNT, 1000}) {
        EXPECT_STREQ(messageText(static_cast<MessageId>(id)), "") << id;
        EXPECT_EQ(showMessage(static_cast<MessageId>(id), MessageKind::Error), 0) << id;
    }
    EXPECT_TRUE(fake.boxes.empty());
    for (const Expected& e : TABLE) EXPECT_NE(int(e.id), 5);
}

// Only OK or Yes lets a question's command go ahead; anything else, a box
// that failed to appear (0) included, keeps what the disk and the user have.
TEST_F(Messages, QuestionsTurnOnOneExactAnswer)
{
    struct Case {
        MessageId id;
        int answer;
        bool proceeds;
    } cases[] = {
        {MSG_WRITE_EDITS, ANSWER_CANCEL, false},   {MSG_WRITE_EDITS, ANSWER_OK, true},
        {MSG_WRITE_EDITS, 0, false},               {MSG_DISCARD_EDITS, ANSWER_CANCEL, false},
        {MSG_DISCARD_EDITS, ANSWER_OK, true},      {MSG_DISCARD_EDITS, 0, false},
        {MSG_LAYOUT_MISMATCH, ANSWER_CANCEL, false}, {MSG_LAYOUT_MISMATCH, 0, false},
        {MSG_SECTOR_CHANGED, ANSWER_OK, true},     {MSG_SECTOR_CHANGED, 0, false},
        {MSG_FILE_EXISTS, ANSWER_NO, false},       {MSG_FILE_EXISTS, ANSWER_YES, true},
        {MSG_FILE_EXISTS, 0, false},               {MSG_FILE_EXISTS, ANSWER_CANCEL, false},
        {MSG_WRITE_CHANGES, ANSWER_YES, true},
        {MSG_WRITE_CHANGES, ANSWER_NO, false},     {MSG_WRITE_CHANGES, 0, false},
        {MSG_WRITE_CHANGES, ANSWER_OK, false},
    };
    for (const Case& c : cases) {
        fake.answers = {c.answer};
        EXPECT_EQ(askToProceed(c.id), c.proceeds) << c.id << " answered " << c.answer;
        EXPECT_EQ(fake.boxes.back().style, messageStyle(messageKind(c.id)));
    }
}

}  // namespace
