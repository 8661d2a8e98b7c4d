<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP">
<context>
    <name>CAboutDlg</name>
    <message>
        <source>About K720Application</source>
        <translation>K720Application のバージョン情報</translation>
    </message>
    <message>
        <source>Version 1.03</source>
        <translation>バージョン 1.03</translation>
    </message>
</context>
<context>
    <name>CCompTableDlg</name>
    <message>
        <source>Please enter an integer between 1 and 200.  </source>
        <translation>1から200までの整数を入力してください。  </translation>
    </message>
    <message>
        <source>Transfer COMP table to K720?  </source>
        <translation>K720へCOMPテーブルを転送しますか？  </translation>
    </message>
    <message>
        <source>Save data?  </source>
        <translation>データを保存しますか？  </translation>
    </message>
    <message>
        <source>A name cannot contain a comma.  </source>
        <translation>名前にカンマは使用できません。  </translation>
    </message>
    <message>
        <source>This name is too long.  
A name holds at most 40 single-byte or 20 two-byte characters.  </source>
        <translation>名前が長すぎます。  
名前は半角40文字、全角20文字までです。  </translation>
    </message>
    <message>
        <source>This name holds a character that a table file cannot store.  </source>
        <translation>テーブルファイルに保存できない文字が名前に含まれています。  </translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名前</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>名前を付けて保存</translation>
    </message>
    <message>
        <source>Edit Comparator Table</source>
        <translation>COMPテーブル編集</translation>
    </message>
</context>
<context>
    <name>CMainDlg</name>
    <message>
        <source>This will exit the application.  
Do you want to proceed?</source>
        <translation>アプリケーションを終了します。  
実行しますか？</translation>
    </message>
    <message>
        <source>About K720Application (&amp;A)...</source>
        <translation>バージョン情報 (&amp;A)...</translation>
    </message>
    <message>
        <source>About K720Application: F1, or right-click here</source>
        <translation>バージョン情報: F1 キー、またはここを右クリック</translation>
    </message>
</context>
<context>
    <name>CPpgCompChoice</name>
    <message>
        <source>Read COMP table from K720.  </source>
        <translation>K720からCOMPテーブルを読み込みますか？  </translation>
    </message>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
</context>
<context>
    <name>CPpgReadDo</name>
    <message>
        <source>This will read ALL UNITs.</source>
        <translation>全ユニットを読み込みます。</translation>
    </message>
    <message>
        <source>This will read unit [ %1 ].</source>
        <translation>ユニット [ %1 ] を読み込みます。</translation>
    </message>
    <message>
        <source>Select destination folder</source>
        <translation>保存先フォルダの選択</translation>
    </message>
    <message>
        <source>Designate a destination folder for saving.  </source>
        <translation>保存先のフォルダを指定してください。  </translation>
    </message>
    <message>
        <source>Enter a filename for saving.  </source>
        <translation>保存するファイル名を入力してください。  </translation>
    </message>
    <message>
        <source>The following character(s) cannot be used in filename.  

        \ / : , ; * ? &quot; &lt; &gt; |</source>
        <translation>次の文字はファイル名に使用できません。  

        \ / : , ; * ? &quot; &lt; &gt; |</translation>
    </message>
    <message>
        <source>A file with the designated filename already exists.  

Overwrite?</source>
        <translation>指定したファイル名のファイルは既に存在します。  

上書きしますか？</translation>
    </message>
</context>
<context>
    <name>Dialog</name>
    <message>
        <source>Application Software</source>
        <translation>アプリケーションソフトウェア</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Companion software for the K720 battery tester.</source>
        <translation>K720 バッテリテスタ用のソフトウェアです。</translation>
    </message>
    <message>
        <source>Reads and deletes the stored measurement data,</source>
        <translation>保存された測定データの読込と削除、</translation>
    </message>
    <message>
        <source>keeps comparator tables and sets the clock.</source>
        <translation>COMPテーブルの管理と時計設定を行います。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>COMP Table</source>
        <translation>COMPテーブル</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>New File</source>
        <translation>新規ファイル</translation>
    </message>
    <message>
        <source>Edit File</source>
        <translation>ファイル編集</translation>
    </message>
    <message>
        <source>Edit K720 data</source>
        <translation>K720データ編集</translation>
    </message>
    <message>
        <source>Read COMP table from K720.</source>
        <translation>K720からCOMPテーブルを読込</translation>
    </message>
    <message>
        <source>Preparing to receive .......</source>
        <translation>受信準備中 .......</translation>
    </message>
    <message>
        <source>Transfer COMP table to K720.</source>
        <translation>K720へCOMPテーブルを転送</translation>
    </message>
    <message>
        <source>Checking data .......</source>
        <translation>データ確認中 .......</translation>
    </message>
    <message>
        <source>Enter table</source>
        <translation>テーブル入力</translation>
    </message>
    <message>
        <source>Previous table No.</source>
        <translation>前のテーブルNo.</translation>
    </message>
    <message>
        <source>Table No:</source>
        <translation>テーブルNo:</translation>
    </message>
    <message>
        <source>Next table No.</source>
        <translation>次のテーブルNo.</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>名前:</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Transfer</source>
        <translation>転送</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Set Clock</source>
        <translation>時計設定</translation>
    </message>
    <message>
        <source>year</source>
        <translation>年</translation>
    </message>
    <message>
        <source>month</source>
        <translation>月</translation>
    </message>
    <message>
        <source>day</source>
        <translation>日</translation>
    </message>
    <message>
        <source>hour</source>
        <translation>時</translation>
    </message>
    <message>
        <source>minute</source>
        <translation>分</translation>
    </message>
    <message>
        <source>Delete Data</source>
        <translation>データ削除</translation>
    </message>
    <message>
        <source>This will delete unit [ A ].</source>
        <translation>ユニット [ A ] を削除します。</translation>
    </message>
    <message>
        <source>Do you want to proceed?</source>
        <translation>実行しますか？</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Read Data</source>
        <translation>データ読込</translation>
    </message>
    <message>
        <source>This will read unit [ X ].</source>
        <translation>ユニット [ X ] を読み込みます。</translation>
    </message>
    <message>
        <source>Folder name :</source>
        <translation>フォルダ名 :</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>参照...</translation>
    </message>
    <message>
        <source>File name :</source>
        <translation>ファイル名 :</translation>
    </message>
    <message>
        <source>Unit [ X ].</source>
        <translation>ユニット [ X ]</translation>
    </message>
    <message>
        <source>Reading unit [ X ] .......</source>
        <translation>ユニット [ X ] 読込中 .......</translation>
    </message>
    <message>
        <source>Time remaining :</source>
        <translation>残り時間 :</translation>
    </message>
    <message>
        <source>10 min 30 sec</source>
        <translation>10分30秒</translation>
    </message>
    <message>
        <source>ALL UNITs</source>
        <translation>全ユニット</translation>
    </message>
    <message>
        <source>Checking USB connection ....</source>
        <translation>USB接続確認中 ....</translation>
    </message>
</context>
</TS>
