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
        <translation>保存された測定値はありません: %1 は書き込まれませんでした。</translation>
    </message>
    <message>
        <source>1 reading of unit %1 was kept in %2.</source>
        <translation>ユニット %1 の測定値 1 件を %2 に保存しました。</translation>
    </message>
    <message>
        <source>1 reading of units %1 and %2 was kept in %3.</source>
        <translation>ユニット %1 と %2 の測定値 1 件を %3 に保存しました。</translation>
    </message>
    <message>
        <source>1 reading of units %1 to %2 was kept in %3.</source>
        <translation>ユニット %1 から %2 の測定値 1 件を %3 に保存しました。</translation>
    </message>
    <message>
        <source>%1 readings of unit %2 were kept in %3.</source>
        <translation>ユニット %2 の測定値 %1 件を %3 に保存しました。</translation>
    </message>
    <message>
        <source>%1 readings of units %2 and %3 were kept in %4.</source>
        <translation>ユニット %2 と %3 の測定値 %1 件を %4 に保存しました。</translation>
    </message>
    <message>
        <source>%1 readings of units %2 to %3 were kept in %4.</source>
        <translation>ユニット %2 から %3 の測定値 %1 件を %4 に保存しました。</translation>
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
    <message>
        <source>Setting the clock to %1</source>
        <translation>時計を %1 に設定します</translation>
    </message>
    <message>
        <source>no such device</source>
        <translation>デバイスがありません</translation>
    </message>
    <message>
        <source>busy, another program has it open</source>
        <translation>使用中です (ほかのプログラムが開いています)</translation>
    </message>
    <message>
        <source>not a terminal, so not a serial port</source>
        <translation>端末ではないため、シリアルポートではありません</translation>
    </message>
    <message>
        <source>no permission</source>
        <translation>アクセス権がありません</translation>
    </message>
    <message>
        <source>no such port</source>
        <translation>ポートがありません</translation>
    </message>
    <message>
        <source>%1  Proceed? [y/N] </source>
        <translation>%1  実行しますか？ [y/N] </translation>
    </message>
    <message>
        <source>Nothing deleted.</source>
        <translation>何も削除していません。</translation>
    </message>
    <message>
        <source>Deleted.</source>
        <translation>削除しました。</translation>
    </message>
    <message>
        <source>Deletion interrupted.</source>
        <translation>削除を中断しました。</translation>
    </message>
    <message>
        <source>the report page</source>
        <translation>レポートページ</translation>
    </message>
    <message>
        <source>%1 names a missing folder: %2</source>
        <translation>%1 のフォルダがありません: %2</translation>
    </message>
    <message>
        <source>%1 names an unreachable folder: %2: %3</source>
        <translation>%1 のフォルダにアクセスできません: %2: %3</translation>
    </message>
    <message>
        <source>%1 names a file as its folder: %2</source>
        <translation>%1 のフォルダとしてファイルが指定されています: %2</translation>
    </message>
    <message>
        <source>%1 names a folder, a named pipe or a device, not a file: %2</source>
        <translation>%1 がファイルではなく、フォルダ、名前付きパイプまたはデバイスを指しています: %2</translation>
    </message>
    <message>
        <source>%1 names a file that cannot be created: %2: %3</source>
        <translation>%1 のファイルを作成できません: %2: %3</translation>
    </message>
    <message>
        <source>%1 names the measurement file itself: %2</source>
        <translation>%1 が測定ファイルそのものを指しています: %2</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] scan

Lists the candidate ports and asks each for its identity (two &quot;QPID&quot; probes), as the main
program does at start-up. Prints the port where the K720 answered. Exit status 0 when found.
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] scan

候補のポートを一覧し、アプリケーションの起動時と同じく、各ポートに識別を
問い合わせます (&quot;QPID&quot; を2回)。K720が応答したポートを表示します。
見つかったときの終了ステータスは0です。
</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] check

Finds the K720 and asks which memory units hold data (&quot;:MEM:CHECK?&quot;), as the unit selection
pages do. Prints those units on one line as the instrument&apos;s display names them, for example
&quot;A C d P&quot;, or &quot;No Data.&quot;. Exit status 0 when the instrument answered.
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] check

K720を探し、ユニット選択ページと同じく、データのあるメモリユニットを問い合わせ
ます (&quot;:MEM:CHECK?&quot;)。それらのユニットを測定器の表示と同じ文字で1行に表示
します。例: &quot;A C d P&quot;、または &quot;データがありません。&quot;。測定器が応答したときの
終了ステータスは0です。
</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] delete --unit U [--yes]

Finds the K720, checks which memory units hold data, and deletes the data of unit U (A b C d E F
G H J L n P in either case) or of every unit that holds data (&quot;all&quot;), with the commands the
main program sends (&quot;:MEM:CLEAR A&quot; ... &quot;:MEM:CLEAR P&quot;, one unit at a time; all units stop at the
first reply that is not &quot;OK&quot;). A unit without data is refused with &quot;No Data.&quot; and nothing is
deleted.

Without --yes it asks &quot;Proceed? [y/N]&quot; on the terminal, with the port free meanwhile, and checks
the memory again after a yes; when standard input is not a terminal, --yes is required (exit
status 2, before the instrument is touched). Prints &quot;Deleted.&quot; or the main program&apos;s message.
Ctrl-C, SIGTERM or SIGHUP ends the deletion after the reply in progress; units acknowledged
before stay deleted, and the exit status is 130.
Exit status 0 only when the deletion was acknowledged; 1 when it failed or was declined.
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] delete --unit U [--yes]

K720を探し、データのあるメモリユニットを確認して、ユニットU (A b C d E F G H
J L n P、大文字小文字どちらも可) のデータ、またはデータのあるすべてのユニット
(&quot;all&quot;) のデータを、アプリケーションと同じコマンドで削除します (&quot;:MEM:CLEAR A&quot;
～ &quot;:MEM:CLEAR P&quot;、1ユニットずつ。allは &quot;OK&quot; 以外の応答で止まります)。
データのないユニットは &quot;データがありません。&quot; で拒否し、何も削除しません。

--yesがなければ端末で &quot;実行しますか？ [y/N]&quot; と確認します。その間ポートは
開放し、yesの答えのあとメモリをもう一度確認します。標準入力が端末でないときは
--yesが必要です (終了ステータス2、測定器に触れる前)。&quot;削除しました。&quot; または
アプリケーションのメッセージを表示します。
Ctrl-C、SIGTERM、SIGHUPは実行中の応答のあとで削除を終えます。それまでに
応答のあったユニットは削除されたままで、終了ステータスは130です。
削除が受け付けられたときだけ終了ステータスは0、失敗または断ったときは1です。
</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] clock [--set &quot;YYYY-MM-DD HH:MM&quot;]

Sets the instrument&apos;s clock (&quot;:TIME year,month,day,hour,minute&quot;, to the minute) to the PC&apos;s local
time now, or to the given date and time, as the set clock page does. The page&apos;s checks come
first: a day beyond its month&apos;s length, or a field out of its bounds (years 2006 to 2037), is
refused with the page&apos;s message and exit status 2, before the instrument is touched. Then the K720
is found and the command sent. Prints &quot;Clock set.  &quot; or the page&apos;s failure message.
Exit status 0 only when the instrument accepted the setting.
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] clock [--set &quot;YYYY-MM-DD HH:MM&quot;]

時計設定ページと同じく、測定器の時計 (&quot;:TIME year,month,day,hour,minute&quot;、
分単位) をPCの現在のローカル時刻、または指定の日時に設定します。最初に
ページと同じ検査をします: 月の日数を超える日や範囲外の値 (年は2006～2037) は
ページのメッセージと終了ステータス2で、測定器に触れる前に拒否します。
そのあとK720を探してコマンドを送ります。&quot;時計を設定しました。  &quot; または
ページの失敗メッセージを表示します。
測定器が設定を受け付けたときだけ終了ステータスは0です。
</translation>
    </message>
    <message>
        <source>--lang takes ja or en</source>
        <translation>--lang には ja または en を指定してください</translation>
    </message>
    <message>
        <source>--port needs a device</source>
        <translation>--port にはデバイスを指定してください</translation>
    </message>
    <message>
        <source>--port names no serial port: &apos;%1&apos;</source>
        <translation>--port に指定されたものはシリアルポートではありません: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>no command given</source>
        <translation>コマンドが指定されていません</translation>
    </message>
    <message>
        <source>read needs --unit and --out</source>
        <translation>read には --unit と --out が必要です</translation>
    </message>
    <message>
        <source>--title and --operator need %1</source>
        <translation>--title と --operator には %1 が必要です</translation>
    </message>
    <message>
        <source>delete needs --unit</source>
        <translation>delete には --unit が必要です</translation>
    </message>
    <message>
        <source>delete asks before deleting; give --yes when standard input is not a terminal</source>
        <translation>delete は削除の前に確認します。標準入力が端末でないときは --yes を指定してください</translation>
    </message>
    <message>
        <source>--set needs a date and time as &quot;YYYY-MM-DD HH:MM&quot;</source>
        <translation>--set には日時を &quot;YYYY-MM-DD HH:MM&quot; の形で指定してください</translation>
    </message>
    <message>
        <source>unknown command &apos;%1&apos;</source>
        <translation>不明なコマンドです: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>%1 must name a file ending in .csv</source>
        <translation>%1 には .csv で終わるファイルを指定してください</translation>
    </message>
    <message>
        <source>%1 names a path of %2 characters; at most %3 are possible</source>
        <translation>%1 のパスは %2 文字です。パスは %3 文字までです</translation>
    </message>
    <message>
        <source>Reading %1 into %2</source>
        <translation>%1 を %2 へ読み込みます</translation>
    </message>
    <message>
        <source>usage: k720ctl report FILE.csv [--json] [--html OUT.html [--title TEXT] [--operator NAME]]

Reads a measurement file as k720ctl read and the main program write it and prints, per unit and
for the whole file: the readings and empty slots; the PASS, FAIL, WARNING and unjudged counts
and shares; count, minimum, maximum, mean and sample standard deviation of the resistance [mohm]
and the voltage [V] (over-range readings, &quot;--&quot; or &quot;9999&quot;, and the voltage&apos;s under-range
&quot;-10.000&quot; or &quot;-100.00&quot; counted apart); the temperature&apos;s minimum and maximum in the file&apos;s unit;
the first and last measurement (readings whose time is no real date and time, as month 13 or
minute 63, are counted apart). A file cut short inside a unit by a cancelled or failed reading is
reported as far as it goes, with a note.

  --json          print the same figures as one JSON object instead
  --html OUT.html also write a page with the summary table and, per unit, a histogram of the
                  resistance, voltage against resistance coloured by result (with the unit&apos;s
                  comparator limits when its readings share one set) and the resistance in slot
                  order; self-contained, to open in a browser and print (with a block
                  to sign on paper)
  --title TEXT    the page&apos;s title, for a batch record
  --operator NAME who made the reading, printed in the page&apos;s heading

Exit status 0 on success; 1 when the file cannot be read or is no measurement file (the line that
does not parse is named; nothing is written then); 2 for a usage error.
</source>
        <translation>使い方: k720ctl report FILE.csv [--json] [--html OUT.html [--title TEXT] [--operator NAME]]

k720ctl readとアプリケーションが書く測定ファイルを読み、ユニットごとと
ファイル全体について次を表示します: 測定数と空きスロット。PASS、FAIL、
WARNINGと判定なしの件数と割合。抵抗 [mohm] と電圧 [V] の件数、最小、最大、
平均、標本標準偏差 (オーバーレンジ &quot;--&quot; または &quot;9999&quot; と、電圧のアンダー
レンジ &quot;-10.000&quot; または &quot;-100.00&quot; は別に数えます)。ファイルの単位での温度の
最小と最大。最初と最後の測定 (13月や63分のように実在しない日時の測定値は
別に数えます)。キャンセルまたは失敗した読込でユニットの途中で終わった
ファイルは、そこまでを注記付きで集計します。

  --json          同じ数値を1つのJSONオブジェクトで表示します
  --html OUT.html 集計表と、ユニットごとに抵抗のヒストグラム、判定結果で
                  色分けした抵抗と電圧の散布図 (測定値が同じCOMPリミット値
                  を共有するときはその値も) 、スロット順の抵抗を載せた
                  ページも書き出します。単独で完結し、ブラウザで開いて
                  印刷できます (紙には署名欄付き)
  --title TEXT    ページの表題 (バッチ記録用)
  --operator NAME 測定者の名前。ページの見出しに記載します

成功時の終了ステータスは0です。ファイルを読めないか測定ファイルでないときは1
(解釈できない行を示し、何も書き出しません)、使い方の誤りは2です。
</translation>
    </message>
    <message>
        <source>not a file</source>
        <translation>ファイルではありません</translation>
    </message>
    <message>
        <source>larger than a measurement file can be</source>
        <translation>測定ファイルとしては大きすぎます</translation>
    </message>
    <message>
        <source>cannot be read</source>
        <translation>読み込めません</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>%1 行目: %2</translation>
    </message>
    <message>
        <source>report needs a measurement file</source>
        <translation>report には測定ファイルが必要です</translation>
    </message>
    <message>
        <source>the report could not be written to standard output</source>
        <translation>レポートを標準出力に書き出せませんでした</translation>
    </message>
    <message>
        <source>given with --port</source>
        <translation>--port で指定</translation>
    </message>
    <message>
        <source>No candidate port (no serial port of the instrument&apos;s USB bridge).</source>
        <translation>候補のポートがありません (測定器のUSBブリッジのシリアルポートがありません)。</translation>
    </message>
    <message>
        <source>Candidate ports:</source>
        <translation>候補のポート:</translation>
    </message>
    <message>
        <source>  port %1 %2 %3</source>
        <translation>  ポート %1 %2 %3</translation>
    </message>
    <message>
        <source>Cannot open %1: %2.</source>
        <translation>%1 を開けません: %2。</translation>
    </message>
    <message>
        <source>K720 found on port %1 (%2).</source>
        <translation>K720 がポート %1 (%2) で見つかりました。</translation>
    </message>
    <message>
        <source>cannot run the exchange: %1</source>
        <translation>通信を実行できません: %1</translation>
    </message>
    <message>
        <source>cannot wait for the exchange: %1</source>
        <translation>通信を待機できません: %1</translation>
    </message>
    <message>
        <source>cannot take the stop signals: %1</source>
        <translation>停止シグナルを受け取れません: %1</translation>
    </message>
    <message>
        <source>cannot take Ctrl-C: %1</source>
        <translation>Ctrl-C を受け取れません: %1</translation>
    </message>
    <message>
        <source>usage: k720ctl table SUBCOMMAND [options]

Comparator table files: 200 entries, each with a name, a resistance range with two limits and a
voltage range with one limit, kept as CSV files in code page 932.

Subcommands:
  new --out FILE.csv   write a table of 200 default entries
  check FILE.csv       check a table file as the editor does when it opens one
  get --out FILE.csv [--names-from OLD.csv]
                       read the instrument&apos;s table into a table file
  put FILE.csv         send a table file to the instrument

&apos;k720ctl table SUBCOMMAND --help&apos; explains a subcommand.
Exit status: 0 success, 1 the table, the file or the instrument failed, 2 usage error, 130
interrupted (Ctrl-C, SIGTERM or SIGHUP).
</source>
        <translation>使い方: k720ctl table SUBCOMMAND [options]

COMPテーブルファイル: 200件のエントリで、それぞれ名前、2つのリミット値を持つ
抵抗レンジ、1つのリミット値を持つ電圧レンジからなり、コードページ932の
CSVファイルとして保存します。

サブコマンド:
  new --out FILE.csv   既定値200件のテーブルを書き出します
  check FILE.csv       テーブルファイルを開くときと同じく検査します
  get --out FILE.csv [--names-from OLD.csv]
                       測定器のテーブルをテーブルファイルへ読み込みます
  put FILE.csv         テーブルファイルを測定器へ転送します

&apos;k720ctl table SUBCOMMAND --help&apos; で各サブコマンドを説明します。
終了ステータス: 0 成功、1 テーブル、ファイルまたは測定器の失敗、2 使い方の
誤り、130 中断 (Ctrl-C、SIGTERM、SIGHUP)。
</translation>
    </message>
    <message>
        <source>usage: k720ctl table new --out FILE.csv

Writes a comparator table of 200 default entries (&quot;No Name&quot;, 3m, 0.000, 0.000, 6V, 0.000), dated
today, as the editor saves a new table. An existing file is replaced only once the new one is
written whole; a folder, named pipe or device at FILE.csv is refused. Prints nothing on success,
else why the file could not be written.
Exit status 0 when the file was written, 1 when not.
</source>
        <translation>使い方: k720ctl table new --out FILE.csv

既定値200件 (&quot;No Name&quot;、3m、0.000、0.000、6V、0.000) のCOMPテーブルを、
エディタが新しいテーブルを保存するときと同じく、今日の日付で書き出します。
既存のファイルは新しいファイルをすべて書き終えてから置き換えます。FILE.csvの
位置にあるフォルダ、名前付きパイプまたはデバイスは拒否します。成功時は何も
表示せず、失敗時は書き出せなかった理由を表示します。
ファイルを書き出したときの終了ステータスは0、そうでないときは1です。
</translation>
    </message>
    <message>
        <source>usage: k720ctl table check FILE.csv

Loads FILE.csv and checks it as the editor does when it opens a table file: the model line, the
file line, then entries 1 to 200 field by field. Prints nothing for a sound table; otherwise the
editor&apos;s message for the first fault, byte for byte, or why the file could not be read.
Exit status 0 when the table is sound, 1 when not.
</source>
        <translation>使い方: k720ctl table check FILE.csv

FILE.csvを読み、エディタがテーブルファイルを開くときと同じく検査します:
機種の行、ファイルの行、そしてエントリ1～200を項目ごとに。正しいテーブル
なら何も表示しません。そうでなければ最初の誤りについてのエディタの
メッセージ、またはファイルを読めなかった理由を表示します。
テーブルが正しいときの終了ステータスは0、そうでないときは1です。
</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] table get --out FILE.csv [--names-from OLD.csv]

Finds the K720 and reads its comparator table, all 200 entries, as the reception page does
(&quot;:COMP:TABLE:START&quot;, &quot;:COMP:TABLE? 1&quot; to &quot;:COMP:TABLE? 200&quot;, &quot;:COMP:TABLE:END&quot;), then checks the
received table as the editor does and writes it to FILE.csv as the editor saves it. The
instrument keeps no names: every entry is named &quot;No Name&quot;, or, with --names-from, takes the name
of the same entry in OLD.csv. A missing folder, a folder, named pipe or device at FILE.csv, or an
OLD.csv that fails the table&apos;s checks is refused before the instrument is touched (exit status
2). Prints &quot;Data received.  &quot; or the reception page&apos;s failure message; a received table that
fails the checks prints the editor&apos;s message and writes no file. Progress is shown on a terminal.
Ctrl-C, SIGTERM or SIGHUP ends the reception after the entry in progress (the instrument is told
the reading ended) and writes no file; the exit status is then 130.
Exit status 0 only when the file was written.
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] table get --out FILE.csv [--names-from OLD.csv]

K720を探し、受信ページと同じくCOMPテーブルの全200件を読み込み
(&quot;:COMP:TABLE:START&quot;、&quot;:COMP:TABLE? 1&quot; ～ &quot;:COMP:TABLE? 200&quot;、
&quot;:COMP:TABLE:END&quot;)、受信したテーブルをエディタと同じく検査して、エディタが
保存するのと同じくFILE.csvへ書き出します。測定器は名前を持たないため、
各エントリの名前は &quot;No Name&quot;、または--names-fromを指定するとOLD.csvの
同じエントリの名前になります。存在しないフォルダ、FILE.csvの位置にある
フォルダ、名前付きパイプまたはデバイス、テーブルの検査を通らないOLD.csvは、
測定器に触れる前に拒否します (終了ステータス2)。&quot;データを受信しました。  &quot;
または受信ページの失敗メッセージを表示します。検査を通らないテーブルを受信した
ときはエディタのメッセージを表示し、ファイルは書き出しません。端末には
進行状況を表示します。Ctrl-C、SIGTERM、SIGHUPは実行中のエントリのあとで
受信を終え (測定器に読込の終了を伝えます)、ファイルは書き出しません。この
ときの終了ステータスは130です。
ファイルを書き出したときだけ終了ステータスは0です。
</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] table put FILE.csv

Loads FILE.csv and checks it as the editor does when it opens a table file; a fault prints the
editor&apos;s message and nothing is sent. Then finds the K720 and sends the table, all 200 entries,
as the transfer page does (&quot;:COMP:TABLE&quot;, answered &quot;OK&quot;, then each entry&apos;s five-byte record,
acknowledged by the instrument). The names stay on the PC. Prints &quot;Data transferred.  &quot; or the
transfer page&apos;s failure message; progress is shown on a terminal. Ctrl-C, SIGTERM or SIGHUP ends
the transfer after the entry in progress (exit status 130): the entries acknowledged until then
are in the instrument, the others are as they were, so send the table again. Wait a few seconds
first: until the instrument gives up waiting for the remaining entries, it may take the bytes of
a new command for an entry.
Exit status 0 only when every entry was acknowledged.
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] table put FILE.csv

FILE.csvを読み、エディタがテーブルファイルを開くときと同じく検査します。
誤りがあればエディタのメッセージを表示し、何も送りません。次にK720を探し、
転送ページと同じくテーブルの全200件を送ります (&quot;:COMP:TABLE&quot;、応答 &quot;OK&quot;、
そのあと各エントリの5バイトのレコードを送り、測定器がそれぞれに応答します)。
名前はPCに残ります。&quot;データを転送しました。  &quot; または転送ページの失敗
メッセージを表示し、端末には進行状況を表示します。Ctrl-C、SIGTERM、SIGHUPは
実行中のエントリのあとで転送を終えます (終了ステータス130): それまでに応答の
あったエントリは測定器に入り、ほかは元のままです。テーブルをもう一度転送して
ください。その前に数秒待ってください: 測定器が残りのエントリを待つのをやめる
まで、新しいコマンドのバイトをエントリとして受け取ることがあります。
すべてのエントリに応答があったときだけ終了ステータスは0です。
</translation>
    </message>
    <message>
        <source>%1 needs --out FILE.csv</source>
        <translation>%1 には --out FILE.csv が必要です</translation>
    </message>
    <message>
        <source>%1 needs one file</source>
        <translation>%1 にはファイルを1つ指定してください</translation>
    </message>
    <message>
        <source>Reception stopped after %1 of %2 entries; no file written.</source>
        <translation>%2件中%1件で受信を停止しました。ファイルは書き込んでいません。</translation>
    </message>
    <message>
        <source>Transfer stopped after %1 of %2 entries; send the table again.</source>
        <translation>%2件中%1件で転送を停止しました。テーブルをもう一度転送してください。</translation>
    </message>
    <message>
        <source>table needs a subcommand (new, check, get or put)</source>
        <translation>table にはサブコマンド (new、check、get、put) が必要です</translation>
    </message>
    <message>
        <source>unknown table subcommand &apos;%1&apos;</source>
        <translation>不明な table のサブコマンドです: &apos;%1&apos;</translation>
    </message>
    <message>
        <source>Try &apos;k720ctl --help&apos;.</source>
        <translation>使い方は &apos;k720ctl --help&apos; で確認してください。</translation>
    </message>
    <message>
        <source>%1 takes no argument &apos;%2&apos;</source>
        <translation>%1 に引数 &apos;%2&apos; は指定できません</translation>
    </message>
    <message>
        <source>%1 needs a value</source>
        <translation>%1 には値が必要です</translation>
    </message>
    <message>
        <source>%1 needs a file</source>
        <translation>%1 にはファイルが必要です</translation>
    </message>
    <message>
        <source>unknown unit &apos;%1&apos; (A b C d E F G H J L n P or all)</source>
        <translation>不明なユニットです: &apos;%1&apos; (A b C d E F G H J L n P または all)</translation>
    </message>
    <message>
        <source>the resistance range is not one of 3m, 30m, 300m, 3</source>
        <translation>抵抗レンジが 3m、30m、300m、3 のいずれでもありません</translation>
    </message>
    <message>
        <source>the resistance is not a number</source>
        <translation>抵抗値が数値ではありません</translation>
    </message>
    <message>
        <source>the result is not PASS, FAIL, WARNING or empty</source>
        <translation>判定結果が PASS、FAIL、WARNING、空欄のいずれでもありません</translation>
    </message>
    <message>
        <source>a resistance limit does not fit the result</source>
        <translation>抵抗のリミット値が判定結果と合いません</translation>
    </message>
    <message>
        <source>the voltage range is not 6V or 60V</source>
        <translation>電圧レンジが 6V、60V のいずれでもありません</translation>
    </message>
    <message>
        <source>the voltage is not a number</source>
        <translation>電圧値が数値ではありません</translation>
    </message>
    <message>
        <source>the voltage limit does not fit the result</source>
        <translation>電圧のリミット値が判定結果と合いません</translation>
    </message>
    <message>
        <source>the temperature is not a number</source>
        <translation>温度が数値ではありません</translation>
    </message>
    <message>
        <source>the date or the time is not a measurement time</source>
        <translation>日付または時刻が測定日時ではありません</translation>
    </message>
    <message>
        <source>not a measurement file: it does not begin with &quot;Model,&quot;</source>
        <translation>測定ファイルではありません: &quot;Model,&quot; で始まっていません</translation>
    </message>
    <message>
        <source>not a measurement file: the &quot;Serial,&quot; line is missing</source>
        <translation>測定ファイルではありません: &quot;Serial,&quot; の行がありません</translation>
    </message>
    <message>
        <source>not a measurement file: the &quot;Date,&quot; line is missing</source>
        <translation>測定ファイルではありません: &quot;Date,&quot; の行がありません</translation>
    </message>
    <message>
        <source>not a measurement file: the date line is not &quot;Date,Y-M-D,,VERSION&quot;</source>
        <translation>測定ファイルではありません: 日付の行が &quot;Date,Y-M-D,,VERSION&quot; の形ではありません</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no memory unit</source>
        <translation>&quot;%1&quot; はメモリユニットを表していません</translation>
    </message>
    <message>
        <source>unit %1 appears twice</source>
        <translation>ユニット %1 が2回あります</translation>
    </message>
    <message>
        <source>the unit before ends without its two empty lines</source>
        <translation>前のユニットが2行の空行なしで終わっています</translation>
    </message>
    <message>
        <source>the empty line after the unit heading is missing</source>
        <translation>ユニットの見出しの後の空行がありません</translation>
    </message>
    <message>
        <source>the column header is missing or unknown</source>
        <translation>列見出しがないか、不明な形です</translation>
    </message>
    <message>
        <source>the temperature unit changes within the file</source>
        <translation>ファイルの途中で温度の単位が変わっています</translation>
    </message>
    <message>
        <source>a line outside a unit</source>
        <translation>ユニットの外にある行です</translation>
    </message>
    <message>
        <source>not a slot line of 12 columns numbered %1</source>
        <translation>スロット番号 %1 の12列の行ではありません</translation>
    </message>
    <message>
        <source>The file ends inside UNIT %1 after slot %2: the reading was cut short; the slots up to there are reported.</source>
        <translation>ファイルはユニット %1 のスロット %2 の後で終わっています: 読込が途中で終わりました。そこまでのスロットを集計しています。</translation>
    </message>
    <message>
        <source>The file holds no unit: the reading was cut short before its first record arrived.</source>
        <translation>ファイルにユニットがありません: 最初のデータを受信する前に読込が終わりました。</translation>
    </message>
    <message>
        <source>K720 measurement report</source>
        <translation>K720 測定レポート</translation>
    </message>
    <message>
        <source>Operator</source>
        <translation>測定者</translation>
    </message>
    <message>
        <source>over range</source>
        <translation>オーバーレンジ</translation>
    </message>
    <message>
        <source>under range</source>
        <translation>アンダーレンジ</translation>
    </message>
    <message>
        <source>out of range</source>
        <translation>範囲外</translation>
    </message>
    <message>
        <source>time unusable</source>
        <translation>日時不正</translation>
    </message>
    <message>
        <source>Readings</source>
        <translation>測定数</translation>
    </message>
    <message>
        <source>Resistance [%1]</source>
        <translation>抵抗 [%1]</translation>
    </message>
    <message>
        <source>Voltage [V]</source>
        <translation>電圧 [V]</translation>
    </message>
    <message>
        <source>Voltage against resistance</source>
        <translation>抵抗と電圧</translation>
    </message>
    <message>
        <source>Resistance by slot</source>
        <translation>スロットごとの抵抗</translation>
    </message>
    <message>
        <source>Checked by</source>
        <translation>確認者</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>日付</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>署名</translation>
    </message>
    <message>
        <source>none</source>
        <translation>判定なし</translation>
    </message>
    <message>
        <source>No numeric resistance</source>
        <translation>数値の抵抗値がありません</translation>
    </message>
    <message>
        <source>Resistance histogram</source>
        <translation>抵抗のヒストグラム</translation>
    </message>
    <message>
        <source>No reading with both resistance and voltage</source>
        <translation>抵抗と電圧の両方がある測定値がありません</translation>
    </message>
    <message>
        <source>Slot</source>
        <translation>スロット</translation>
    </message>
    <message>
        <source>Unit %1</source>
        <translation>ユニット %1</translation>
    </message>
    <message>
        <source>All units</source>
        <translation>全ユニット</translation>
    </message>
    <message>
        <source>count</source>
        <translation>件数</translation>
    </message>
    <message>
        <source>min</source>
        <translation>最小</translation>
    </message>
    <message>
        <source>max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>mean</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>s.d.</source>
        <translation>標準偏差</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>ユニット</translation>
    </message>
    <message>
        <source>Empty slots</source>
        <translation>空きスロット</translation>
    </message>
    <message>
        <source>Temperature [%1]</source>
        <translation>温度 [%1]</translation>
    </message>
    <message>
        <source>Measured</source>
        <translation>測定日時</translation>
    </message>
    <message>
        <source>first</source>
        <translation>最初</translation>
    </message>
    <message>
        <source>last</source>
        <translation>最後</translation>
    </message>
    <message>
        <source>made %1 by %2</source>
        <translation>%1 に %2 で作成</translation>
    </message>
    <message>
        <source>%1, made %2 by %3</source>
        <translation>%1、%2 に %3 で作成</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>機種</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>シリアル番号</translation>
    </message>
    <message>
        <source>Transferred</source>
        <translation>転送日</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>バージョン</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>温度</translation>
    </message>
    <message>
        <source>Incomplete file: %1</source>
        <translation>不完全なファイル: %1</translation>
    </message>
    <message>
        <source>Comparator limits of every judged reading: %1, %2, %3.</source>
        <translation>判定済みの全測定値のCOMPリミット値: %1、%2、%3。</translation>
    </message>
    <message>
        <source>The judged readings were judged by different comparator limits; none are drawn.</source>
        <translation>判定済みの測定値のCOMPリミット値が一つではないため、リミット線は描いていません。</translation>
    </message>
    <message>
        <source>No reading was judged.</source>
        <translation>判定された測定値はありません。</translation>
    </message>
    <message>
        <source>1 reading</source>
        <translation>1件</translation>
    </message>
    <message>
        <source>%1 readings</source>
        <translation>%1件</translation>
    </message>
    <message>
        <source>Resistance distribution</source>
        <translation>抵抗の分布</translation>
    </message>
    <message>
        <source>(%1 over range, not shown)</source>
        <translation>(オーバーレンジ %1件は表示していません)</translation>
    </message>
    <message>
        <source>(%1 out of range, not shown)</source>
        <translation>(範囲外 %1件は表示していません)</translation>
    </message>
    <message>
        <source>en</source>
        <extracomment>The language code of the printed pages (HTML lang): ja for Japanese.</extracomment>
        <translation>ja</translation>
    </message>
    <message>
        <source>K720 report</source>
        <translation>K720 レポート</translation>
    </message>
    <message>
        <source>Summary</source>
        <translation>集計</translation>
    </message>
    <message>
        <source>empty slots</source>
        <translation>空きスロット</translation>
    </message>
    <message>
        <source>no judgement</source>
        <translation>判定なし</translation>
    </message>
    <message>
        <source>Resistance [mohm]</source>
        <translation>抵抗 [mohm]</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 ～ %2</translation>
    </message>
    <message>
        <source>Unusable times</source>
        <translation>日時不正の数</translation>
    </message>
    <message>
        <source>%1 (no real date and time; counted, never first or last)</source>
        <translation>%1 (実在しない日時。件数には含み、最初と最後には使いません)</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Serial</source>
        <translation>シリアル</translation>
    </message>
    <message>
        <source>UNIT %1</source>
        <translation>ユニット %1</translation>
    </message>
    <message>
        <source>Note: %1</source>
        <translation>注: %1</translation>
    </message>
    <message>
        <source>Can not open the history %1: %2</source>
        <translation>履歴 %1 を開けません: %2</translation>
    </message>
    <message>
        <source>The history %1 was written by a newer version of the program (schema %2); this one reads up to schema %3.</source>
        <translation>履歴 %1 は新しいバージョンのプログラムで書き込まれています (スキーマ %2)。このプログラムが読めるのはスキーマ %3 までです。</translation>
    </message>
    <message>
        <source>Nothing was recorded in the history: %1</source>
        <translation>履歴には何も記録されていません: %1</translation>
    </message>
    <message>
        <source>usage: k720ctl history import FILE.csv... [--store STORE]
       k720ctl history list [--store STORE]
       k720ctl history report [SELECTION] [--json | --html OUT.html [--title TEXT]
                              [--operator NAME]] [--store STORE]
       k720ctl history export [SELECTION] --out FILE.csv [--store STORE]

Keeps every reading once in a history: the instrument&apos;s serial number, the unit, the slot, the
time the instrument stamped, the ranges, values, limits, result and temperature, and the
read-out it came from (when it was read or imported, the file, the program, the PC).

  import FILE.csv...  record measurement files read before (a file cut short by a cancelled
                      or failed reading as far as it goes); a reading already in the history is
                      counted, not stored again
  list                the read-outs: when (UTC), instrument, units, new and known readings,
                      PC and file
  report              the figures of &apos;k720ctl report&apos; over the selected readings, per unit
                      and for all, and their trend by day: the median, quartiles and range of
                      the resistance and the voltage per measurement day; --json and --html as
                      for &apos;k720ctl report&apos; (the page with a plot of the trend)
  export              the selected readings as one table with a single header row (Serial,
                      Unit, Slot, Date, Time, then the measurement file&apos;s columns) that a
                      spreadsheet opens as it is

SELECTION (every part optional; readings must match all that are given):
  --serial S      the instrument with serial number S
  --unit U        memory unit U (A b C d E F G H J L n P)
  --from DATE     measured on DATE (YYYY-MM-DD) or later
  --to DATE       measured on DATE or earlier
  --result R      judged PASS, FAIL or WARNING

  --store STORE   the history: a SQLite file, or a PostgreSQL server shared by several PCs
                  named as postgresql://USER@HOST:PORT/DATABASE (a password is never shown);
                  without it, history.sqlite in the user&apos;s data folder
                  ($XDG_DATA_HOME/k720 or ~/.local/share/k720; %LOCALAPPDATA%\k720 on Windows)

Each file is recorded in one transaction: all of its readings or, on any failure, none.
Exit status 0 on success; 1 when a file cannot be read or the history cannot be opened or
written; 2 for a usage error (also a malformed URL).
</source>
        <translation>使い方: k720ctl history import FILE.csv... [--store STORE]
        k720ctl history list [--store STORE]
        k720ctl history report [SELECTION] [--json | --html OUT.html [--title TEXT]
                               [--operator NAME]] [--store STORE]
        k720ctl history export [SELECTION] --out FILE.csv [--store STORE]

すべての測定値を1回ずつ履歴に保存します: 測定器のシリアル番号、ユニット、
スロット、測定器が記録した日時、レンジ、測定値、リミット値、判定結果、温度と、
その測定値の読込 (読込またはインポートの日時、ファイル、プログラム、PC)。

  import FILE.csv...  以前に読み込んだ測定ファイルを記録します (キャンセルまたは
                      失敗した読込で途中までのファイルは、そこまで)。履歴に
                      すでにある測定値は数えるだけで、もう一度は保存しません
  list                読込の一覧: 日時 (UTC)、測定器、ユニット、新規と既存の
                      測定値の件数、PCとファイル
  report              選択した測定値について、ユニットごとと全体の
                      &apos;k720ctl report&apos; の集計と、日ごとの推移 (測定日ごとの抵抗と
                      電圧の中央値、四分位範囲、範囲)。--json と --html は
                      &apos;k720ctl report&apos; と同じです (ページには推移のグラフ)
  export              選択した測定値を、見出し行が1行だけの表 (Serial、Unit、
                      Slot、Date、Time、続いて測定ファイルの列) に書き出します。
                      表計算ソフトでそのまま開けます

SELECTION (どれも省略可。指定したすべてに合う測定値を選びます):
  --serial S      シリアル番号Sの測定器
  --unit U        メモリユニットU (A b C d E F G H J L n P)
  --from DATE     DATE (YYYY-MM-DD) 以降の測定
  --to DATE       DATE 以前の測定
  --result R      判定結果 PASS、FAIL または WARNING

  --store STORE   履歴: SQLiteファイル、または複数のPCで共有するPostgreSQL
                  サーバー (postgresql://USER@HOST:PORT/DATABASE の形。パスワードは
                  表示しません)。省略時はユーザーのデータフォルダの history.sqlite
                  ($XDG_DATA_HOME/k720 または ~/.local/share/k720。Windowsでは
                  %LOCALAPPDATA%\k720)

各ファイルは1つのトランザクションで記録します: すべての測定値を記録するか、
失敗したときは何も記録しません。
終了ステータス: 0 成功、1 ファイルを読めない、または履歴を開けない・書き込めない、
2 使い方の誤り (不正なURLも含みます)。
</translation>
    </message>
    <message>
        <source>The system names no data folder for the history: give --store.</source>
        <translation>システムに履歴用のデータフォルダがありません。--store を指定してください。</translation>
    </message>
    <message>
        <source>1 new reading, %2 already in the history</source>
        <translation>新しい測定値 1 件、履歴にある測定値 %2 件</translation>
    </message>
    <message>
        <source>%1 new readings, %2 already in the history</source>
        <translation>新しい測定値 %1 件、履歴にある測定値 %2 件</translation>
    </message>
    <message>
        <source>Read (UTC)            Instrument  New  Known  Units / PC / file</source>
        <translation>読込日時 (UTC)        測定器      新規 既存    ユニット / PC / ファイル</translation>
    </message>
    <message>
        <source>history needs import, list, report or export</source>
        <translation>history には import、list、report または export を指定してください</translation>
    </message>
    <message>
        <source>%1 needs a date as YYYY-MM-DD</source>
        <translation>%1 には日付を YYYY-MM-DD の形で指定してください</translation>
    </message>
    <message>
        <source>--result needs PASS, FAIL or WARNING</source>
        <translation>--result には PASS、FAIL または WARNING を指定してください</translation>
    </message>
    <message>
        <source>history import needs a measurement file</source>
        <translation>history import には測定ファイルを指定してください</translation>
    </message>
    <message>
        <source>history export needs --out</source>
        <translation>history export には --out を指定してください</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [-v] read --unit U --out FILE.csv
                                        [--report PAGE.html [--title TEXT] [--operator NAME]]
                                        [--store [STORE]]

Finds the K720, checks which memory units hold data, and reads unit U (A b C d E F G H J L n P
in either case, or &quot;all&quot;) into FILE.csv, byte for byte as the main program writes it. An
existing file is replaced; a path of more than 299 characters, a missing folder, or a folder,
named pipe or device at FILE.csv is refused before the instrument is asked anything (exit
status 2). Progress is shown on a terminal. Ctrl-C, SIGTERM or SIGHUP cancels: during a reading
the instrument is told the reading ended and the file keeps what was written; before it, the
exchange in progress ends and no file is touched. The exit status is then 130.
With --report, a reading that ended with &quot;Data received.  &quot; is followed by the report page of
the file (see &apos;k720ctl report --help&apos;); its destination is checked first, with the file&apos;s.
--title and --operator are printed in the page&apos;s heading.
With --store, such a reading is then recorded in the history, each reading once, in one
transaction (see &apos;k720ctl history --help&apos;; without STORE the default history); a failure to
record leaves the file as it is.
Exit status 0 only when every reading was received (and the page, if asked for, was written,
and the readings recorded).
</source>
        <translation>使い方: k720ctl [--port DEVICE] [-v] read --unit U --out FILE.csv
                                        [--report PAGE.html [--title TEXT] [--operator NAME]]
                                        [--store [STORE]]

K720を探し、データのあるメモリユニットを確認して、ユニットU (A b C d E F G
H J L n P、大文字小文字どちらも可、または &quot;all&quot;) をFILE.csvへ読み込みます。
ファイルはアプリケーションが書くものとバイト単位で同じです。既存のファイルは
置き換えます。299文字を超えるパス、存在しないフォルダ、FILE.csvの位置にある
フォルダ、名前付きパイプまたはデバイスは、測定器に何も問い合わせる前に拒否
します (終了ステータス2)。端末には進行状況を表示します。Ctrl-C、SIGTERM、
SIGHUPでキャンセルします: 読込中なら測定器に読込の終了を伝え、ファイルは
書き込んだところまで残ります。読込の前なら実行中のやり取りを終え、ファイルには
触れません。このときの終了ステータスは130です。
--reportを指定すると、読込が &quot;データを受信しました。  &quot; で終わったあとに
ファイルのレポートページを書き出します (&apos;k720ctl report --help&apos; を参照)。
その書き出し先もファイルの書き出し先と一緒に最初に確認します。--titleと
--operatorはページの見出しに記載します。
--storeを指定すると、このような読込のあとに測定値を履歴に記録します (各測定値は
1回、1つのトランザクションで。&apos;k720ctl history --help&apos; を参照。STOREを省略すると
既定の履歴)。記録に失敗してもファイルはそのままです。
すべての読込を受信したとき (指定したページも書き出し、測定値も記録したとき)
だけ終了ステータスは0です。
</translation>
    </message>
    <message>
        <source>The history holds a reading of unit %1, which no instrument has.</source>
        <translation>履歴に、測定器にないユニット %1 の測定値があります。</translation>
    </message>
    <message>
        <source>The selected readings hold temperatures in Celsius and in Fahrenheit; select one instrument with --serial.</source>
        <translation>選択した測定値には摂氏と華氏の温度が混在しています。--serial で測定器を1台選択してください。</translation>
    </message>
    <message>
        <source>%1 instruments</source>
        <translation>測定器 %1 台</translation>
    </message>
    <message>
        <source>Can not open the history %1: this build keeps the history in SQLite files only.</source>
        <translation>履歴 %1 を開けません: このビルドは履歴をSQLiteファイルにのみ保存します。</translation>
    </message>
    <message>
        <source>the file or its folder is read-only for this user</source>
        <translation>このユーザーにはファイルまたはフォルダが読み取り専用です</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>ディスクがいっぱいです</translation>
    </message>
    <message>
        <source>the file is not a history</source>
        <translation>このファイルは履歴ではありません</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a PostgreSQL URL of the form postgresql://USER@HOST:PORT/DATABASE</source>
        <translation>&apos;%1&apos; は postgresql://USER@HOST:PORT/DATABASE の形のPostgreSQL URLではありません</translation>
    </message>
    <message>
        <source>Can not read the history %1: %2</source>
        <translation>履歴 %1 を読み込めません: %2</translation>
    </message>
    <message>
        <source>an empty slot</source>
        <translation>空きスロットです</translation>
    </message>
    <message>
        <source>median</source>
        <translation>中央値</translation>
    </message>
    <message>
        <source>quartiles</source>
        <translation>四分位範囲</translation>
    </message>
    <message>
        <source>min to max</source>
        <translation>最小～最大</translation>
    </message>
    <message>
        <source>Measurement day</source>
        <translation>測定日</translation>
    </message>
    <message>
        <source>1 measurement day</source>
        <translation>測定日 1日</translation>
    </message>
    <message>
        <source>%1 measurement days</source>
        <translation>測定日 %1日</translation>
    </message>
    <message>
        <source>Resistance by day</source>
        <translation>日ごとの抵抗</translation>
    </message>
    <message>
        <source>Voltage by day</source>
        <translation>日ごとの電圧</translation>
    </message>
    <message>
        <source>Trend by day</source>
        <translation>日ごとの推移</translation>
    </message>
    <message>
        <source>1 reading without a real date and time is on no day.</source>
        <translation>実在しない日時の測定値 1 件は、どの日にも含めていません。</translation>
    </message>
    <message>
        <source>%1 readings without a real date and time are on no day.</source>
        <translation>実在しない日時の測定値 %1 件は、どの日にも含めていません。</translation>
    </message>
    <message>
        <source>No numeric voltage</source>
        <translation>数値の電圧値がありません</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>測定日</translation>
    </message>
    <message>
        <source>No reading of the history matches the selection.</source>
        <translation>選択に合う測定値は履歴にありません。</translation>
    </message>
    <message>
        <source>row %1 of the readings holds what no reading has</source>
        <translation>測定値の %1 行目に測定値として読めない内容があります</translation>
    </message>
    <message>
        <source>the server&apos;s rows are not the history&apos;s</source>
        <translation>サーバーから届いた行が履歴の形式ではありません</translation>
    </message>
    <message>
        <source>usage: k720ctl [--port DEVICE] [--lang ja|en] [-v] COMMAND [options]

Commands:
  scan                       find the K720 among the serial ports of its USB bridge
  read --unit U --out FILE [--report PAGE [--title TEXT] [--operator NAME]] [--store [STORE]]
                             read memory unit U (A b C d E F G H J L n P, or all) into FILE.csv
  check                      list the memory units that hold data
  delete --unit U [--yes]    delete the data of memory unit U (or all) in the instrument
  clock [--set &quot;YYYY-MM-DD HH:MM&quot;]
                             set the instrument&apos;s clock to the PC&apos;s time now, or to the given one
  report FILE [--json] [--html PAGE [--title TEXT] [--operator NAME]]
                             summarise a measurement file: results, spread, times; a page to print
  table new --out FILE       write a comparator table file of 200 default entries
  table check FILE           check a comparator table file as the editor opens it
  table get --out FILE       read the instrument&apos;s comparator table into FILE.csv
  table put FILE             send the comparator table file FILE.csv to the instrument
  history import FILE...     record measurement files in the history, each reading once
  history list               list the read-outs the history holds
  history report [SELECTION] [--json] [--html PAGE]
                             report&apos;s figures and a trend by day over readings of the history
  history export [SELECTION] --out FILE
                             the selected readings as one table for a spreadsheet
  packs FILE... --series S --parallel P [--count N] [--csv OUT]
                             place measured cells into packs of S groups of P; a build sheet

Options:
  --port DEVICE   use this serial device alone (e.g. /dev/ttyUSB0, or COM5 on Windows)
                  instead of searching
  --lang ja|en    the language of the messages (else Japanese under a Japanese locale, or
                  on Windows a Japanese display language; English otherwise)
  -v, --verbose   trace every exchange with the instrument on stderr
  -h, --help      this text; &apos;k720ctl COMMAND --help&apos; explains a command

Exit status: 0 success, 1 the instrument or the file failed, 2 usage error, 130 interrupted
(Ctrl-C, SIGTERM or SIGHUP; on Windows Ctrl-C, Ctrl-Break or the console closed).
</source>
        <translation>使い方: k720ctl [--port DEVICE] [--lang ja|en] [-v] COMMAND [options]

コマンド:
  scan                       USBブリッジのシリアルポートからK720を探します
  read --unit U --out FILE [--report PAGE [--title TEXT] [--operator NAME]] [--store [STORE]]
                             メモリユニットU (A b C d E F G H J L n P、または
                             all) をFILE.csvへ読み込みます
  check                      データのあるメモリユニットを表示します
  delete --unit U [--yes]    測定器のメモリユニットU (またはall) のデータを
                             削除します
  clock [--set &quot;YYYY-MM-DD HH:MM&quot;]
                             測定器の時計をPCの現在時刻、または指定の日時に
                             設定します
  report FILE [--json] [--html PAGE [--title TEXT] [--operator NAME]]
                             測定ファイルを集計します: 判定結果、ばらつき、
                             日時、印刷用のページ
  table new --out FILE       既定値200件のCOMPテーブルファイルを書き出します
  table check FILE           COMPテーブルファイルを開くときと同じく検査します
  table get --out FILE       測定器のCOMPテーブルをFILE.csvへ読み込みます
  table put FILE             COMPテーブルファイルFILE.csvを測定器へ転送します
  history import FILE...     測定ファイルを履歴に記録します (各測定値は1回)
  history list               履歴にある読込の一覧を表示します
  history report [SELECTION] [--json] [--html PAGE]
                             履歴の測定値についてreportの集計と日ごとの推移
  history export [SELECTION] --out FILE
                             選択した測定値を表計算ソフト用の表に書き出します
  packs FILE... --series S --parallel P [--count N] [--csv OUT]
                             測定したセルを P 並列 S 直列のパックに割り振り、組立表を出します

オプション:
  --port DEVICE   検索せず、このシリアルデバイスだけを使います
                  (例: /dev/ttyUSB0、WindowsではCOM5)
  --lang ja|en    メッセージの言語 (省略時: 日本語ロケール、またはWindowsの
                  表示言語が日本語なら日本語、それ以外は英語)
  -v, --verbose   測定器とのやり取りをすべて標準エラー出力に記録します
  -h, --help      この説明。&apos;k720ctl COMMAND --help&apos; で各コマンドを説明します

終了ステータス: 0 成功、1 測定器またはファイルの失敗、2 使い方の誤り、
130 中断 (Ctrl-C、SIGTERM、SIGHUP。WindowsではCtrl-C、Ctrl-Break、
コンソールを閉じたとき)。
</translation>
    </message>
    <message>
        <source>%1 takes no &quot;%2&quot;</source>
        <translation>%1 に &quot;%2&quot; は指定できません</translation>
    </message>
    <message>
        <source>fewer cells than one pack needs</source>
        <translation>1 パックに必要なセル数に足りません</translation>
    </message>
    <message>
        <source>too few cells within the voltage span of a group</source>
        <translation>グループの電圧幅に収まるセルが足りません</translation>
    </message>
    <message>
        <source>too few cells within the resistance span of a group</source>
        <translation>グループの抵抗幅に収まるセルが足りません</translation>
    </message>
    <message>
        <source>%1 of %2 packs can be built: %3; nothing was written.</source>
        <translation>%2 パックのうち組めるのは %1 パックです: %3。何も書き込んでいません。</translation>
    </message>
    <message>
        <source>resistance over range</source>
        <translation>抵抗がオーバーレンジ</translation>
    </message>
    <message>
        <source>voltage out of range</source>
        <translation>電圧が範囲外</translation>
    </message>
    <message>
        <source>Pack %1 of %2: %3</source>
        <translation>パック %1/%2: %3</translation>
    </message>
    <message>
        <source>resistance %1 mohm, spread of the group resistances %2 % (the plain deal: %3 %)</source>
        <translation>抵抗 %1 mohm、グループ抵抗のばらつき %2 % (単純配分: %3 %)</translation>
    </message>
    <message>
        <source>Group %1: %2 mohm, voltage span %3 V, resistance span %4 %</source>
        <translation>グループ %1: %2 mohm、電圧幅 %3 V、抵抗幅 %4 %</translation>
    </message>
    <message>
        <source>Spares: %1</source>
        <translation>予備セル: %1</translation>
    </message>
    <message>
        <source>Left out: %1</source>
        <translation>除外: %1</translation>
    </message>
    <message>
        <source>outside every voltage window</source>
        <translation>どの電圧幅にも入らない</translation>
    </message>
    <message>
        <source>%1 and %2 name one file: %3</source>
        <translation>%1 と %2 が同じファイルを指しています: %3</translation>
    </message>
    <message>
        <source>K720 build sheet</source>
        <translation>K720 組立表</translation>
    </message>
    <message>
        <source>Group resistances</source>
        <translation>グループ抵抗</translation>
    </message>
    <message>
        <source>Voltage against resistance by group</source>
        <translation>グループ別の抵抗と電圧</translation>
    </message>
    <message>
        <source>Group</source>
        <translation>グループ</translation>
    </message>
    <message>
        <source>Voltage span [V]</source>
        <translation>電圧幅 [V]</translation>
    </message>
    <message>
        <source>Resistance span [%]</source>
        <translation>抵抗幅 [%]</translation>
    </message>
    <message>
        <source>Cells (resistance [%1] / voltage [V])</source>
        <translation>セル (抵抗 [%1] / 電圧 [V])</translation>
    </message>
    <message>
        <source>Pack resistance</source>
        <translation>パック抵抗</translation>
    </message>
    <message>
        <source>Spread of the group resistances</source>
        <translation>グループ抵抗のばらつき</translation>
    </message>
    <message>
        <source>The plain deal&apos;s spread</source>
        <translation>単純配分のばらつき</translation>
    </message>
    <message>
        <source>Packs</source>
        <translation>パック</translation>
    </message>
    <message>
        <source>Voltage span of a group at most</source>
        <translation>グループの電圧幅の上限</translation>
    </message>
    <message>
        <source>Resistance span of a group at most</source>
        <translation>グループの抵抗幅の上限</translation>
    </message>
    <message>
        <source>%1 % of its mean</source>
        <translation>平均の %1 %</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>判定</translation>
    </message>
    <message>
        <source>packs needs measurement files or --store (not both), --series and --parallel</source>
        <translation>packs には測定ファイルまたは --store (どちらか一方)、--series、--parallel が必要です</translation>
    </message>
    <message>
        <source>a selection of the history needs %1</source>
        <translation>履歴の選択には %1 が必要です</translation>
    </message>
    <message>
        <source>the history</source>
        <translation>履歴</translation>
    </message>
    <message>
        <source>usage: k720ctl packs FILE.csv... --series S --parallel P [--count N] [--max-dv VOLTS]
                     [--max-dr-percent X] [--results PASS,WARNING] [--json] [--csv OUT.csv]
                     [--html OUT.html]
       k720ctl packs --store [STORE] [--serial S] [--unit U] [--from DATE] [--to DATE]
                     [--result R] --series S --parallel P [the options above]

Places the measured cells of the files, or of the readings of the history that the
selection takes (see k720ctl history --help; each reading is a cell, named also by when it
was measured), into N packs (1 without --count) of S groups in series of P cells in
parallel each. A cell is a reading whose result is one of --results (PASS without it; NONE
for a reading without a judgement) and whose resistance and voltage are numbers. Within a
group the voltage span is at most --max-dv (0.010 V without it) and the resistance span at
most --max-dr-percent of the group&apos;s mean (10 without it); across a pack&apos;s groups the group
resistances (1 / sum of 1/R) are made as equal as can be found.
Prints the build sheet (as JSON with --json); --csv also writes one line per placed cell,
--html the sheet as a page to print, with plots of each pack&apos;s groups.

Exit status: 0 the packs placed, 1 a file or the history could not be read or too few
cells meet the rules (nothing is written then), 2 usage error.
</source>
        <translation>使い方: k720ctl packs FILE.csv... --series S --parallel P [--count N] [--max-dv VOLTS]
                     [--max-dr-percent X] [--results PASS,WARNING] [--json] [--csv OUT.csv]
                     [--html OUT.html]
       k720ctl packs --store [STORE] [--serial S] [--unit U] [--from DATE] [--to DATE]
                     [--result R] --series S --parallel P [上記のオプション]

ファイルの測定したセル、または選択で取り出した履歴の測定値 (k720ctl history --help を参照。
測定値 1 件が 1 個のセルで、測定した日時も名前に付きます) を、P 個のセルを並列にした
グループを S 個直列にしたパック N 個 (--count がなければ 1 個) に割り振ります。
セルとは、判定が --results のいずれか (指定がなければ PASS。判定なしは NONE) で、
抵抗と電圧が数値の測定値です。グループ内の電圧幅は --max-dv 以下 (指定がなければ 0.010 V)、
抵抗幅はグループの平均の --max-dr-percent % 以下 (指定がなければ 10) にし、パック内の
グループ抵抗 (1 / 各セルの 1/R の和) をできるだけそろえます。
組立表を出力します (--json なら JSON で)。--csv ではセル 1 個につき 1 行も書き出し、
--html では各パックのグループを図にした印刷用のページとして組立表を書き出します。

終了ステータス: 0 パックを割り振った、1 ファイルまたは履歴を読めない、または規則を満たす
セルが足りない (そのときは何も書き込みません)、2 使い方の誤り。
</translation>
    </message>
    <message>
        <source>%1 names the history itself: %2</source>
        <translation>%1 が履歴そのものを指しています: %2</translation>
    </message>
</context>
</TS>
