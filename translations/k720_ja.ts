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
    <name>CPpgEraseDo</name>
    <message>
        <source>Deleting %1</source>
        <translation>削除中 %1</translation>
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
    <name>CompTableEditor</name>
    <message>
        <source>csv file</source>
        <translation>CSVファイル</translation>
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
<context>
    <name>Messages</name>
    <message>
        <source>Please enter an integer between %1 and %2.  </source>
        <translation>%1から%2までの整数を入力してください。  </translation>
    </message>
    <message>
        <source>Clock set.  </source>
        <translation>時計を設定しました。  </translation>
    </message>
    <message>
        <source>Communication Error. 
Is the USB cable connected?  </source>
        <translation>通信エラーです。 
USBケーブルは接続されていますか？  </translation>
    </message>
    <message>
        <source>Communication Error.  
USB disconnected. </source>
        <translation>通信エラーです。  
USBが切断されました。 </translation>
    </message>
    <message>
        <source>Communication Error.  
No response. </source>
        <translation>通信エラーです。  
応答がありません。 </translation>
    </message>
    <message>
        <source>Clock setting failed.  </source>
        <translation>時計の設定に失敗しました。  </translation>
    </message>
    <message>
        <source>Communication Error.  </source>
        <translation>通信エラーです。  </translation>
    </message>
    <message>
        <source>Please enter a number between 0.000 and 3.100.  </source>
        <translation>0.000から3.100までの数値を入力してください。  </translation>
    </message>
    <message>
        <source>Please enter a number between 0.00 and 31.00.  </source>
        <translation>0.00から31.00までの数値を入力してください。  </translation>
    </message>
    <message>
        <source>Please enter a number between 0.0 and 310.0.  </source>
        <translation>0.0から310.0までの数値を入力してください。  </translation>
    </message>
    <message>
        <source>Please enter a number between 0 and 3100.  </source>
        <translation>0から3100までの数値を入力してください。  </translation>
    </message>
    <message>
        <source>Please enter a number between 0.000 and 6.000.  </source>
        <translation>0.000から6.000までの数値を入力してください。  </translation>
    </message>
    <message>
        <source>Please enter a number between 0.00 and 60.00.  </source>
        <translation>0.00から60.00までの数値を入力してください。  </translation>
    </message>
    <message>
        <source>Incorrect file format. (1) 
Please select the correct file.  </source>
        <translation>ファイルの形式が正しくありません。(1) 
正しいファイルを選択してください。  </translation>
    </message>
    <message>
        <source>Incorrect file format. (2) 
Please select the correct file.  </source>
        <translation>ファイルの形式が正しくありません。(2) 
正しいファイルを選択してください。  </translation>
    </message>
    <message>
        <source>File corrupted.
Can not open. (1)  </source>
        <translation>ファイルが壊れています。
開けません。(1)  </translation>
    </message>
    <message>
        <source>File corrupted.
Can not open. (2)  </source>
        <translation>ファイルが壊れています。
開けません。(2)  </translation>
    </message>
    <message>
        <source>File corrupted.  
Can not open. 

( No.%1, %2 )</source>
        <translation>ファイルが壊れています。  
開けません。 

( No.%1, %2 )</translation>
    </message>
    <message>
        <source>Can not write the table.  
The Name of No.%1 has more than 40 bytes, a comma or a line break. </source>
        <translation>テーブルを書き込めません。  
No.%1 の Name が40バイトを超えているか、カンマまたは改行を含んでいます。 </translation>
    </message>
    <message>
        <source>Can not write the table.  
The %1 of No.%2 is not a value of the table. </source>
        <translation>テーブルを書き込めません。  
No.%2 の %1 はテーブルの値ではありません。 </translation>
    </message>
    <message>
        <source>It is a folder, a named pipe or a device, not a file.</source>
        <translation>ファイルではなく、フォルダ、名前付きパイプまたはデバイスです。</translation>
    </message>
    <message>
        <source>It is larger than a comparator table file can be.</source>
        <translation>COMPテーブルファイルとしては大きすぎます。</translation>
    </message>
    <message>
        <source>Can not open &quot;%1&quot;.  
%2</source>
        <translation>&quot;%1&quot; を開けません。  
%2</translation>
    </message>
    <message>
        <source>Can not read &quot;%1&quot;.  
%2</source>
        <translation>&quot;%1&quot; を読み込めません。  
%2</translation>
    </message>
    <message>
        <source>Preparing to receive .......</source>
        <translation>受信準備中 .......</translation>
    </message>
    <message>
        <source>Receiving .......</source>
        <translation>受信中 .......</translation>
    </message>
    <message>
        <source>Communication Error.
Is the USB cable connected?  </source>
        <translation>通信エラーです。
USBケーブルは接続されていますか？  </translation>
    </message>
    <message>
        <source>Data received.  </source>
        <translation>データを受信しました。  </translation>
    </message>
    <message>
        <source>Data reception error.  </source>
        <translation>データ受信エラーです。  </translation>
    </message>
    <message>
        <source>Checking data .......</source>
        <translation>データ確認中 .......</translation>
    </message>
    <message>
        <source>Transferring .......</source>
        <translation>転送中 .......</translation>
    </message>
    <message>
        <source>Communication Error.  
Invalid response. </source>
        <translation>通信エラーです。  
応答が正しくありません。 </translation>
    </message>
    <message>
        <source>Data transferred.  </source>
        <translation>データを転送しました。  </translation>
    </message>
    <message>
        <source>Data transfer error.  </source>
        <translation>データ転送エラーです。  </translation>
    </message>
    <message>
        <source>Can not save &quot;%1&quot;.  
%2</source>
        <translation>&quot;%1&quot; を保存できません。  
%2</translation>
    </message>
    <message>
        <source>The port %1 is in use by another program.</source>
        <translation>ポート %1 は他のプログラムが使用中です。</translation>
    </message>
    <message>
        <source>Check USB cable connection, 
or power supply of K720.  </source>
        <translation>USBケーブルの接続、 
またはK720の電源を確認してください。  </translation>
    </message>
    <message>
        <source>No permission to open %1: add your user to the group &quot;%2&quot; (sudo usermod -aG %2 $USER), then log in again.</source>
        <translation>%1 を開く権限がありません: ユーザーをグループ &quot;%2&quot; に追加して (sudo usermod -aG %2 $USER)、ログインし直してください。</translation>
    </message>
    <message>
        <source>No permission to open %1: install the udev rule 60-k720.rules that comes with the program, then plug the instrument in again.</source>
        <translation>%1 を開く権限がありません: プログラムに付属の udev ルール 60-k720.rules をインストールして、測定器を接続し直してください。</translation>
    </message>
    <message>
        <source>This will delete ALL UNITs.</source>
        <translation>全ユニットを削除します。</translation>
    </message>
    <message>
        <source>This will delete unit [ %1 ].</source>
        <translation>ユニット [ %1 ] を削除します。</translation>
    </message>
    <message>
        <source>Do you want to proceed?</source>
        <translation>実行しますか？</translation>
    </message>
    <message>
        <source>Deleting ...</source>
        <translation>削除中 ...</translation>
    </message>
    <message>
        <source>Ready?</source>
        <translation>よろしいですか？</translation>
    </message>
    <message>
        <source>Select UNIT to read.</source>
        <translation>読み込むユニットを選択してください。</translation>
    </message>
    <message>
        <source>Select UNIT to delete.</source>
        <translation>削除するユニットを選択してください。</translation>
    </message>
    <message>
        <source>No Data.</source>
        <translation>データがありません。</translation>
    </message>
    <message>
        <source>ALL UNITs</source>
        <translation>全ユニット</translation>
    </message>
    <message>
        <source>Unit [ %1 ]</source>
        <translation>ユニット [ %1 ]</translation>
    </message>
    <message>
        <source>Reading unit [ %1 ] .......</source>
        <translation>ユニット [ %1 ] 読込中 .......</translation>
    </message>
    <message>
        <source>%1 min %2 sec</source>
        <translation>%1分%2秒</translation>
    </message>
    <message>
        <source>%1 sec</source>
        <translation>%1秒</translation>
    </message>
    <message>
        <source>No reading was kept: %1 was not written.</source>
        <translation>保存されたデータはありません: %1 は書き込まれませんでした。</translation>
    </message>
    <message>
        <source>1 reading of unit %1 was kept in %2.</source>
        <translation>ユニット %1 のデータ 1 件を %2 に保存しました。</translation>
    </message>
    <message>
        <source>1 reading of units %1 and %2 was kept in %3.</source>
        <translation>ユニット %1 と %2 のデータ 1 件を %3 に保存しました。</translation>
    </message>
    <message>
        <source>1 reading of units %1 to %2 was kept in %3.</source>
        <translation>ユニット %1 から %2 のデータ 1 件を %3 に保存しました。</translation>
    </message>
    <message>
        <source>%1 readings of unit %2 were kept in %3.</source>
        <translation>ユニット %2 のデータ %1 件を %3 に保存しました。</translation>
    </message>
    <message>
        <source>%1 readings of units %2 and %3 were kept in %4.</source>
        <translation>ユニット %2 と %3 のデータ %1 件を %4 に保存しました。</translation>
    </message>
    <message>
        <source>%1 readings of units %2 to %3 were kept in %4.</source>
        <translation>ユニット %2 から %3 のデータ %1 件を %4 に保存しました。</translation>
    </message>
    <message>
        <source>Checking data ..............</source>
        <translation>データ確認中 ..............</translation>
    </message>
    <message>
        <source>The destination path is too long.  
A path may have at most 299 characters. </source>
        <translation>保存先のパスが長すぎます。  
パスは299文字までです。 </translation>
    </message>
    <message>
        <source>The destination is not a file.  
Choose another file name. </source>
        <translation>保存先がファイルではありません。  
別のファイル名を指定してください。 </translation>
    </message>
    <message>
        <source>A reception is already running.  </source>
        <translation>既に受信中です。  </translation>
    </message>
    <message>
        <source>Data receipt cancelled.  </source>
        <translation>データの受信を中止しました。  </translation>
    </message>
</context>
</TS>
