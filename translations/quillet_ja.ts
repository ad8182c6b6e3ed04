<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>FolderViewController</name>
    <message>
        <source>Today</source>
        <translation>今日</translation>
    </message>
    <message>
        <source>Yesterday</source>
        <translation>昨日</translation>
    </message>
    <message>
        <source>Couldn&apos;t create folder.</source>
        <translation>フォルダを作成できませんでした。</translation>
    </message>
    <message>
        <source>On This Computer</source>
        <translation>このコンピュータ</translation>
    </message>
    <message>
        <source>Downloading...</source>
        <translation>ダウンロード中...</translation>
    </message>
</context>
<context>
    <name>ImagePopoverController</name>
    <message>
        <source>PNG or JPEG Images (*.png *.jpg *.jpeg)</source>
        <translation>PNG または JPEG イメージ (*.png *.jpg *.jpeg)</translation>
    </message>
</context>
<context>
    <name>LibraryMove</name>
    <message>
        <source>Your notes are now in “%1”, where the file manager shows them.</source>
        <translation>ノートは「%1」に移動しました。ファイルマネージャからも見ることができます。</translation>
    </message>
    <message>
        <source>Your notes stay in “%1”, because “%2” already exists. To have them moved there, rename or remove “%2” and start Quillet again.</source>
        <translation>「%2」がすでに存在するため、ノートは「%1」に残しました。移動するには「%2」の名前を変えるか削除してから、Quillet をもう一度起動してください。</translation>
    </message>
    <message>
        <source>Your notes stay in “%1”: they could not be moved to “%2”. %3</source>
        <translation>ノートを「%2」に移動できなかったため、「%1」に残しました。%3</translation>
    </message>
</context>
<context>
    <name>PreferencesPanel</name>
    <message>
        <source>Markdown Options</source>
        <translation>Markdown オプション</translation>
    </message>
    <message>
        <source>Indent normal lines</source>
        <translation>通常の行をインデントする</translation>
    </message>
    <message>
        <source>Reset indent by a blankline.</source>
        <translation>空行でインデントをリセットする</translation>
    </message>
    <message>
        <source>Reset indent by a header.</source>
        <translation>見出しでインデントをリセットする</translation>
    </message>
    <message>
        <source>Reset indent by a different block.</source>
        <translation>別のブロックでインデントをリセットする</translation>
    </message>
    <message>
        <source>HTML Options</source>
        <translation>HTML オプション</translation>
    </message>
    <message>
        <source>Remove proceeding 4 spaces in code block.</source>
        <translation>コードブロックの先頭の4つのスペースを取り除く</translation>
    </message>
    <message>
        <source>Lock Options</source>
        <translation>ロックのオプション</translation>
    </message>
    <message>
        <source>Show as HTML when file locked.</source>
        <translation>ロックしたファイルを HTML で表示する</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>外観</translation>
    </message>
    <message>
        <source>Color scheme:</source>
        <translation>配色:</translation>
    </message>
    <message>
        <source>Spelling</source>
        <translation>スペルチェック</translation>
    </message>
    <message>
        <source>Dictionary:</source>
        <translation>辞書:</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Note isn&apos;t readable.</source>
        <translation>ノートを読み込めません。</translation>
    </message>
    <message>
        <source>The disk may be full.</source>
        <translation>ディスクがいっぱいかもしれません。</translation>
    </message>
    <message>
        <source>conflict</source>
        <translation>競合</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the Note.</source>
        <translation>ノートを保存できませんでした。</translation>
    </message>
</context>
<context>
    <name>RenamePopoverController</name>
    <message>
        <source>Create Folder</source>
        <translation>フォルダを作成</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>作成</translation>
    </message>
    <message>
        <source>Rename Folder</source>
        <translation>フォルダ名を変更</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前を変更</translation>
    </message>
    <message>
        <source>Change Filename of Note</source>
        <translation>ノートのファイル名を変更</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>変更</translation>
    </message>
    <message>
        <source>Create Note</source>
        <translation>ノートを作成</translation>
    </message>
    <message>
        <source>Delete Note</source>
        <translation>ノートを削除</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Delete Folder</source>
        <translation>フォルダを削除</translation>
    </message>
    <message>
        <source>Type a name.</source>
        <translation>名前を入力してください。</translation>
    </message>
    <message>
        <source>“%1” can&apos;t be a name.</source>
        <translation>「%1」は名前に使えません。</translation>
    </message>
    <message>
        <source>A name can&apos;t contain “/”.</source>
        <translation>名前に「/」は使えません。</translation>
    </message>
</context>
<context>
    <name>WindowActions</name>
    <message>
        <source>Quillet &amp;Help</source>
        <translation>Quillet ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Report an Issue…</source>
        <translation>問題を報告(&amp;R)…</translation>
    </message>
    <message>
        <source>Clear Menu</source>
        <translation>メニューを消去</translation>
    </message>
    <message>
        <source>Header</source>
        <translation>見出し</translation>
    </message>
    <message>
        <source>Insert header marker</source>
        <translation>見出し記号を挿入</translation>
    </message>
    <message>
        <source>List</source>
        <translation>リスト</translation>
    </message>
    <message>
        <source>Insert list marker</source>
        <translation>リスト記号を挿入</translation>
    </message>
    <message>
        <source>Quote</source>
        <translation>引用</translation>
    </message>
    <message>
        <source>Insert quote marker</source>
        <translation>引用記号を挿入</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>リンク</translation>
    </message>
    <message>
        <source>Insert link</source>
        <translation>リンクを挿入</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>イメージ</translation>
    </message>
    <message>
        <source>Insert image</source>
        <translation>イメージを挿入</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>太字</translation>
    </message>
    <message>
        <source>Make bold</source>
        <translation>太字にする</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>斜体</translation>
    </message>
    <message>
        <source>Make italic</source>
        <translation>斜体にする</translation>
    </message>
</context>
<context>
    <name>quillet</name>
    <message>
        <source>Open in File Manager</source>
        <translation>ファイルマネージャで開く</translation>
    </message>
    <message>
        <source>New Note</source>
        <translation>新規ノート</translation>
    </message>
    <message>
        <source>Create Folder</source>
        <translation>フォルダを作成</translation>
    </message>
    <message>
        <source>Delete Folder</source>
        <translation>フォルダを削除</translation>
    </message>
    <message>
        <source>Rename Folder</source>
        <translation>フォルダ名を変更</translation>
    </message>
    <message>
        <source>New CSS</source>
        <translation>新規 CSS</translation>
    </message>
    <message>
        <source>New Script</source>
        <translation>新規スクリプト</translation>
    </message>
    <message>
        <source>Filename:</source>
        <translation>ファイル名:</translation>
    </message>
    <message>
        <source>Note info</source>
        <translation>ノートの情報</translation>
    </message>
    <message>
        <source>File info</source>
        <translation>ファイルの情報</translation>
    </message>
    <message>
        <source>Unlock Note</source>
        <translation>ノートのロックを解除</translation>
    </message>
    <message>
        <source>Unlock File</source>
        <translation>ファイルのロックを解除</translation>
    </message>
    <message>
        <source>Lock Note</source>
        <translation>ノートをロック</translation>
    </message>
    <message>
        <source>Lock File</source>
        <translation>ファイルをロック</translation>
    </message>
    <message>
        <source>Change Filename</source>
        <translation>ファイル名を変更</translation>
    </message>
    <message>
        <source>Delete Note</source>
        <translation>ノートを削除</translation>
    </message>
    <message>
        <source>Delete File</source>
        <translation>ファイルを削除</translation>
    </message>
    <message>
        <source>Move to On This Computer</source>
        <translation>「このコンピュータ」へ移動</translation>
    </message>
    <message>
        <source>Move to Synced</source>
        <translation>「同期」へ移動</translation>
    </message>
    <message>
        <source>Copy to</source>
        <translation>コピー先</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>フォルダ</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
</context>
<context>
    <name>quillet::AboutPanelController</name>
    <message>
        <source>Version %1 (%2)</source>
        <translation>バージョン %1 (%2)</translation>
    </message>
    <message>
        <source>Released under the MIT License.
Built with Qt %1 and ICU.</source>
        <translation>MIT ライセンスで公開されています。
Qt %1 と ICU を使用しています。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>%1 について</translation>
    </message>
    <message>
        <source>Quillet web site</source>
        <translation>Quillet のウェブサイト</translation>
    </message>
</context>
<context>
    <name>quillet::AddImagePopoverController</name>
    <message>
        <source>Local File</source>
        <translation>ローカルファイル</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>追加</translation>
    </message>
    <message>
        <source>Help for Add Image Link</source>
        <translation>イメージリンクの追加のヘルプ</translation>
    </message>
    <message>
        <source>Image URL:</source>
        <translation>イメージの URL:</translation>
    </message>
</context>
<context>
    <name>quillet::AppDelegate</name>
    <message>
        <source>Recovered text of a save that was interrupted.</source>
        <translation>中断された保存から復元したテキストです。</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the Note.</source>
        <translation>ノートを保存できませんでした。</translation>
    </message>
    <message>
        <source>Save the text somewhere else, or quit and keep it in the recovery folder.</source>
        <translation>テキストを別の場所に保存するか、終了して復元用フォルダに残してください。</translation>
    </message>
    <message>
        <source>Save As…</source>
        <translation>別名で保存…</translation>
    </message>
    <message>
        <source>Quit Without Saving</source>
        <translation>保存せずに終了</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>別名で保存</translation>
    </message>
    <message>
        <source>Markdown (*.md);;All Files (*)</source>
        <translation>Markdown (*.md);;すべてのファイル (*)</translation>
    </message>
</context>
<context>
    <name>quillet::DetachedPopoverController</name>
    <message>
        <source>The image can&apos;t be shown.</source>
        <translation>イメージを表示できません。</translation>
    </message>
</context>
<context>
    <name>quillet::DocumentSession</name>
    <message>
        <source>Note isn&apos;t exist.</source>
        <translation>ノートが存在しません。</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the Note.</source>
        <translation>ノートを開けませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the Note.</source>
        <translation>ノートを保存できませんでした。</translation>
    </message>
    <message>
        <source>Note is deleted by other.</source>
        <translation>ノートが他のアプリケーションによって削除されました。</translation>
    </message>
    <message>
        <source>The text is kept in “%1”.</source>
        <translation>テキストは「%1」に保存されています。</translation>
    </message>
    <message>
        <source>Couldn&apos;t read the Note.</source>
        <translation>ノートを読み込めませんでした。</translation>
    </message>
    <message>
        <source>Do you want to save this as the other Note</source>
        <translation>別のノートとして保存しますか</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>restored</source>
        <translation>復元</translation>
    </message>
    <message>
        <source>conflict</source>
        <translation>競合</translation>
    </message>
    <message>
        <source>Conflict is happened.</source>
        <translation>競合が発生しました。</translation>
    </message>
    <message>
        <source>Conflict with &apos;%1&apos;. Text is saved as &apos;%2&apos;</source>
        <translation>「%1」と競合しました。テキストは「%2」として保存されました</translation>
    </message>
    <message>
        <source>Conflicting with &apos;%1&apos;</source>
        <translation>&apos;%1&apos; と競合しています</translation>
    </message>
    <message>
        <source>Note is moved by other.</source>
        <translation>ノートがほかのプログラムによって移動されました。</translation>
    </message>
    <message>
        <source>Do you want to copy the Note.</source>
        <translation>ノートをコピーしますか?</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>copy</source>
        <translation>コピー</translation>
    </message>
</context>
<context>
    <name>quillet::ExportCommands</name>
    <message>
        <source>Print</source>
        <translation>プリント</translation>
    </message>
    <message>
        <source>Export as PDF</source>
        <translation>PDF として書き出す</translation>
    </message>
    <message>
        <source>Couldn&apos;t export the Note.</source>
        <translation>ノートを書き出せませんでした。</translation>
    </message>
    <message>
        <source>The Note itself can&apos;t be replaced by its PDF.</source>
        <translation>ノート自体を PDF で置き換えることはできません。</translation>
    </message>
    <message>
        <source>The PDF could not be written.</source>
        <translation>PDF を書き込めませんでした。</translation>
    </message>
</context>
<context>
    <name>quillet::FolderViewController</name>
    <message>
        <source>Folders</source>
        <translation>フォルダ</translation>
    </message>
    <message>
        <source>Outline</source>
        <translation>アウトライン</translation>
    </message>
</context>
<context>
    <name>quillet::HeadersPopoverController</name>
    <message>
        <source>Header levels shown</source>
        <translation>表示する見出しのレベル</translation>
    </message>
    <message>
        <source>1 Level</source>
        <translation>1 レベル</translation>
    </message>
    <message>
        <source>%1 Levels</source>
        <translation>%1 レベル</translation>
    </message>
    <message>
        <source>Depth</source>
        <translation>深さ</translation>
    </message>
    <message>
        <source>Search Result</source>
        <translation>検索結果</translation>
    </message>
    <message>
        <source>Headers</source>
        <translation>見出し</translation>
    </message>
</context>
<context>
    <name>quillet::HelpGuideWindow</name>
    <message>
        <source>Quillet Guide</source>
        <translation>Quillet ガイド</translation>
    </message>
    <message>
        <source>The user guide, read-only</source>
        <translation>ユーザーガイド(読み取り専用)</translation>
    </message>
    <message>
        <source>%1 (Read Only)</source>
        <extracomment>The guide window&apos;s title: the guide&apos;s name.</extracomment>
        <translation>%1(読み取り専用)</translation>
    </message>
</context>
<context>
    <name>quillet::HelpPopoverController</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Enter the URL of the image on the Internet directly, or click the &apos;Local File&apos; button to enter the URL of the image file on your computer.
Images on the Internet and image files on your computer are both displayed in the preview.</source>
        <translation>Internet上のイメージのURLを直接入力するか、&apos;Local File&apos;ボタンをクリックしてこのコンピュータ上のイメージファイルのURLを入力します。
Internet上のイメージもコンピュータ上のイメージもプレビューに表示されます。</translation>
    </message>
</context>
<context>
    <name>quillet::ImagePopoverController</name>
    <message>
        <source>Locate…</source>
        <translation>場所を指定…</translation>
    </message>
    <message>
        <source>Open in Browser</source>
        <translation>ブラウザで開く</translation>
    </message>
    <message>
        <source>Show in File Manager</source>
        <translation>ファイルマネージャで表示</translation>
    </message>
    <message>
        <source>Open in Window</source>
        <translation>ウインドウで開く</translation>
    </message>
    <message>
        <source>Loading…</source>
        <translation>読み込み中…</translation>
    </message>
    <message>
        <source>This link does not lead to an image.</source>
        <translation>このリンク先はイメージではありません。</translation>
    </message>
    <message>
        <source>The image can&apos;t be shown.</source>
        <translation>イメージを表示できません。</translation>
    </message>
</context>
<context>
    <name>quillet::InfoPanelController</name>
    <message>
        <source>Done</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Note Info</source>
        <translation>ノートの情報</translation>
    </message>
</context>
<context>
    <name>quillet::MenuValidation</name>
    <message>
        <source>Script</source>
        <translation>スクリプト</translation>
    </message>
    <message>
        <source>New Script</source>
        <translation>新規スクリプト</translation>
    </message>
</context>
<context>
    <name>quillet::PagedPdf</name>
    <message>
        <source>The web engine stopped while laying out the note.</source>
        <translation>ノートのレイアウト中に Web エンジンが停止しました。</translation>
    </message>
    <message>
        <source>The web engine could not lay out the note.</source>
        <translation>Web エンジンがノートをレイアウトできませんでした。</translation>
    </message>
    <message>
        <source>The PDF could not be written.</source>
        <translation>PDF を書き込めませんでした。</translation>
    </message>
</context>
<context>
    <name>quillet::PreferencesPanel</name>
    <message>
        <source>Preferences</source>
        <translation>環境設定</translation>
    </message>
    <message>
        <source>The preview takes the new colors when Quillet starts again.</source>
        <translation>プレビューの配色は Quillet の次回起動時に変わります。</translation>
    </message>
    <message>
        <source>Follow the desktop</source>
        <translation>デスクトップに合わせる</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>ライト</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>ダーク</translation>
    </message>
</context>
<context>
    <name>quillet::RemoteImageFetch</name>
    <message numerus="yes">
        <source>The image is larger than %n MB.</source>
        <translation>
            <numerusform>イメージが %n MB を超えています。</numerusform>
        </translation>
    </message>
    <message>
        <source>The image took too long to load.</source>
        <translation>イメージの読み込みに時間がかかりすぎました。</translation>
    </message>
</context>
<context>
    <name>quillet::SpellMarks</name>
    <message>
        <source>No Suggestions</source>
        <translation>候補なし</translation>
    </message>
    <message>
        <source>Add to Dictionary</source>
        <translation>辞書に追加</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>無視</translation>
    </message>
</context>
<context>
    <name>quillet::StyleFileDialog</name>
    <message>
        <source>Create File</source>
        <translation>ファイルを作成</translation>
    </message>
    <message>
        <source>A file name can&apos;t contain “/” or be “.” or “..”.</source>
        <translation>ファイル名に「/」は使えません。また「.」や「..」は名前にできません。</translation>
    </message>
    <message>
        <source>“%1” already exists in this folder. Choose another name.</source>
        <translation>「%1」はこのフォルダにすでにあります。別の名前を選んでください。</translation>
    </message>
</context>
<context>
    <name>quillet::SyncFolderRow</name>
    <message>
        <source>Choose…</source>
        <translation>選択…</translation>
    </message>
    <message>
        <source>Don&apos;t Sync</source>
        <translation>同期しない</translation>
    </message>
    <message>
        <source>Synced library folder:</source>
        <translation>同期ライブラリのフォルダ:</translation>
    </message>
    <message>
        <source>A folder your sync engine (Syncthing, Nextcloud, …) keeps in step with your other computers.</source>
        <translation>同期エンジン(Syncthing、Nextcloud など)がほかのコンピュータと同期させるフォルダです。</translation>
    </message>
    <message>
        <source>None</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>Synced library folder</source>
        <translation>同期ライブラリのフォルダ</translation>
    </message>
</context>
<context>
    <name>quillet::ViewController</name>
    <message>
        <source>Delete Note: %1</source>
        <translation>ノートを削除: %1</translation>
    </message>
    <message>
        <source>Filename is &apos;%1&apos;.</source>
        <translation>ファイル名は「%1」です。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>“%1” can&apos;t be moved to the Trash.</source>
        <translation>「%1」をゴミ箱に移動できません。</translation>
    </message>
    <message>
        <source>Its file system has no Trash. Delete it permanently? This can&apos;t be undone.</source>
        <translation>このファイルシステムにはゴミ箱がありません。完全に削除しますか? この操作は取り消せません。</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>削除</translation>
    </message>
    <message>
        <source>Couldn&apos;t delete the Folder.</source>
        <translation>フォルダを削除できませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t delete the Note.</source>
        <translation>ノートを削除できませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t delete the folder.</source>
        <translation>フォルダを削除できませんでした。</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>書き出す</translation>
    </message>
    <message>
        <source>Couldn&apos;t export the Note.</source>
        <translation>ノートを書き出せませんでした。</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>読み込む</translation>
    </message>
    <message>
        <source>Couldn&apos;t import the Note.</source>
        <translation>ノートを読み込めませんでした。</translation>
    </message>
    <message>
        <source>Internal error happens.</source>
        <translation>内部エラーが発生しました。</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>フォルダを開く</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the Note.</source>
        <translation>ノートを開けませんでした。</translation>
    </message>
    <message>
        <source>File isn&apos;t markdown.</source>
        <translation>Markdown ファイルではありません。</translation>
    </message>
    <message>
        <source>Couldn&apos;t move the File.</source>
        <translation>ファイルを移動できませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy the File.</source>
        <translation>ファイルをコピーできませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy the file.</source>
        <translation>ファイルをコピーできませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t copy the Note.</source>
        <translation>ノートをコピーできませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t change the filename.</source>
        <translation>ファイル名を変更できませんでした。</translation>
    </message>
    <message>
        <source>Couldn&apos;t save the Note.</source>
        <translation>ノートを保存できませんでした。</translation>
    </message>
    <message>
        <source>Copy %1</source>
        <translation>%1 のコピー</translation>
    </message>
    <message>
        <source>Couldn&apos;t create “%1”.</source>
        <translation>「%1」を作成できませんでした。</translation>
    </message>
    <message>
        <source>Edit Python</source>
        <translation>Python を編集</translation>
    </message>
    <message>
        <source>Edit Script</source>
        <translation>スクリプトを編集</translation>
    </message>
    <message>
        <source>Couldn&apos;t open the synced folder.</source>
        <translation>同期フォルダを開けませんでした。</translation>
    </message>
    <message>
        <source>“%1” isn&apos;t a folder that can be used.</source>
        <translation>“%1” は使用できるフォルダではありません。</translation>
    </message>
    <message>
        <source>Synced</source>
        <translation>同期</translation>
    </message>
</context>
<context>
    <name>quillet::WindowActions</name>
    <message>
        <source>New Note</source>
        <translation>新規ノート</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>複製</translation>
    </message>
    <message>
        <source>Delete Note</source>
        <translation>ノートを削除</translation>
    </message>
    <message>
        <source>Rename…</source>
        <translation>名前を変更…</translation>
    </message>
    <message>
        <source>Copy To…</source>
        <translation>コピー先…</translation>
    </message>
    <message>
        <source>Move to</source>
        <translation>移動</translation>
    </message>
    <message>
        <source>Note Info</source>
        <translation>ノートの情報</translation>
    </message>
    <message>
        <source>Open Folder…</source>
        <translation>フォルダを開く…</translation>
    </message>
    <message>
        <source>Close Folder</source>
        <translation>フォルダを閉じる</translation>
    </message>
    <message>
        <source>Quit Quillet</source>
        <translation>Quillet を終了</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>取り消す</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>やり直す</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>カット</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>コピー</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>ペースト</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>すべてを選択</translation>
    </message>
    <message>
        <source>Find…</source>
        <translation>検索…</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>環境設定…</translation>
    </message>
    <message>
        <source>Show Preview</source>
        <translation>プレビューを表示</translation>
    </message>
    <message>
        <source>Hide Browser</source>
        <translation>ブラウザを隠す</translation>
    </message>
    <message>
        <source>Font…</source>
        <translation>フォント…</translation>
    </message>
    <message>
        <source>About Quillet</source>
        <translation>Quillet について</translation>
    </message>
    <message>
        <source>Lock</source>
        <translation>ロック</translation>
    </message>
    <message>
        <source>Hide Preview</source>
        <translation>プレビューを隠す</translation>
    </message>
    <message>
        <source>Hide the preview</source>
        <translation>プレビューを隠す</translation>
    </message>
    <message>
        <source>Show the preview</source>
        <translation>プレビューを表示</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>プレビュー</translation>
    </message>
    <message>
        <source>Show Browser</source>
        <translation>ブラウザを表示</translation>
    </message>
    <message>
        <source>Hide the note browser</source>
        <translation>ノートブラウザを隠す</translation>
    </message>
    <message>
        <source>Show the note browser</source>
        <translation>ノートブラウザを表示</translation>
    </message>
    <message>
        <source>Browser</source>
        <translation>ブラウザ</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>編集</translation>
    </message>
    <message>
        <source>Lock the note</source>
        <translation>ノートをロック</translation>
    </message>
    <message>
        <source>Unlock the note for editing</source>
        <translation>ノートのロックを解除して編集</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>Open Recent Folder</source>
        <translation>最近使ったフォルダを開く</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>F&amp;ormat</source>
        <translation>フォーマット(&amp;O)</translation>
    </message>
    <message>
        <source>Markdown Style</source>
        <translation>Markdown スタイル</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>No style sheets</source>
        <translation>スタイルシートがありません</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>読み込む…</translation>
    </message>
    <message>
        <source>Export as PDF…</source>
        <translation>PDF として書き出す…</translation>
    </message>
    <message>
        <source>Print…</source>
        <translation>プリント…</translation>
    </message>
    <message>
        <source>Copy as HTML</source>
        <translation>HTML としてコピー</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>書き出す</translation>
    </message>
    <message>
        <source>By &amp;Date</source>
        <translation>日付順(&amp;D)</translation>
    </message>
    <message>
        <source>By &amp;Name</source>
        <translation>名前順(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Sort Notes</source>
        <translation>ノートの並べ替え(&amp;S)</translation>
    </message>
    <message>
        <source>Synced</source>
        <translation>同期</translation>
    </message>
    <message>
        <source>On This Computer</source>
        <translation>このコンピュータ</translation>
    </message>
    <message>
        <source>Spelling</source>
        <translation>スペルチェック</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>計算</translation>
    </message>
    <message>
        <source>Calculate the expression before the cursor</source>
        <translation>カーソルの前の式を計算</translation>
    </message>
    <message>
        <source>Show Headers</source>
        <translation>見出しを表示</translation>
    </message>
    <message>
        <source>Add Image…</source>
        <translation>イメージを追加…</translation>
    </message>
</context>
<context>
    <name>quillet::WindowController</name>
    <message>
        <source>Font</source>
        <translation>フォント</translation>
    </message>
    <message>
        <source>Copy to</source>
        <translation>コピー先</translation>
    </message>
    <message>
        <source>Copy Note:</source>
        <translation>ノートをコピー:</translation>
    </message>
    <message>
        <source>Markdown (*.md)</source>
        <translation>Markdown (*.md)</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>名前を変更</translation>
    </message>
    <message>
        <source>New file name:</source>
        <translation>新しいファイル名:</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>ツールバー</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Sort the notes by</source>
        <translation>ノートの並べ替え</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>検索</translation>
    </message>
    <message>
        <source>The Quillet Guide could not be opened.</source>
        <translation>Quillet ガイドを開けませんでした。</translation>
    </message>
    <message>
        <source>Quillet may not be installed completely: reinstall it.</source>
        <translation>Quillet が正しくインストールされていない可能性があります。再インストールしてください。</translation>
    </message>
    <message>
        <source>Lists the notes by date or by name</source>
        <translation>ノートを日付順または名前順に並べます</translation>
    </message>
    <message>
        <source>Keeps the notes that contain the text, with the places it occurs; Tab goes to the browser</source>
        <translation>テキストを含むノートと、その箇所を一覧にします。Tab キーでブラウザへ移動します</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>ノート</translation>
    </message>
    <message>
        <source>The folders and notes of the library; selecting a note opens it</source>
        <translation>ライブラリのフォルダとノート。ノートを選ぶと開きます</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>ノート</translation>
    </message>
    <message>
        <source>The Markdown text of the open note</source>
        <translation>開いているノートの Markdown テキスト</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>プレビュー</translation>
    </message>
    <message>
        <source>The open note shown as a page</source>
        <translation>開いているノートをページとして表示したもの</translation>
    </message>
</context>
</TS>
