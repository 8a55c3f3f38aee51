#include "ui/GuideDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "resources/DialogTemplate.h"
#include "ui/controls/DialogUnits.h"
#include "ui/controls/FontMapping.h"
#include "ui/controls/ProgramIconLoader.h"

namespace ravolin {
namespace {

constexpr char kGuideCaption[] = "Ravolin の使い方";
constexpr char kCloseCaption[] = "閉じる";
// Room for the example's lines without a horizontal scroll bar, in dialog units.
constexpr DialogRect kGuideRect{0, 0, 300, 300};

constexpr char kGuideHtml[] = R"(
<h3>何をするプログラムか</h3>
<p>ひとつのテンプレートから、連番や一覧の値を埋め込んだ繰り返しのテキストを作ります。
できたテキストは右下の出力欄からコピーして使います。</p>
<h3>テンプレートと置換文字列</h3>
<p>上の大きな欄（置換元エディタ）にテンプレートを書きます。テンプレートの中の置換文字列
（初期設定では <code>＜置換1＞</code>～<code>＜置換5＞</code>、<code>＜配列1＞</code>～<code>＜配列9＞</code>）が、
1 回ごとに別の値に置き換わります。置換文字列はタブのページで自由に変えられます。</p>
<h3>数値</h3>
<p>「数値」タブの 5 行は数値の置換文字列です。1 回目は初期値、その後は 1 回ごとに増加値だけ増えます
（増加値は負の数も使えます）。</p>
<h3>配列</h3>
<p>「配列1」～「配列9」タブには値を 1 行に 1 つずつ書きます。1 回目は 1 行目、2 回目は 2 行目の値になり、
行が尽きた後は空の文字列になります。</p>
<h3>書式と繰り返し</h3>
<p>「ツール」→「書式と繰り返しの設定」で、数値ごとに桁数（ゼロか空白で埋める）、書式（10進、16進、8進、2進、英字）、
同じ値を続ける回数（繰り返し）、最初に戻るまでの回数（周期）を、配列ごとに各行を続ける回数と、行が尽きた後の扱い
（空にする、先頭に戻る、最後の行を繰り返す）を設定できます。最初の 20 回分のプレビューと全体の行数・バイト数も
表示されます。置換元エディタを右クリックすると「置換文字列を挿入」から置換文字列を入力できます。</p>
<p>既定と違う書式は「数値」の各行と各配列のページに「4桁・ゼロ・16進」のように表示され、横の「書式」ボタンで
その行の設定を開けます。設定は次の作業にも引き継がれるので、不要になったら桁数を 0、書式を 10進、繰り返しを 1、
周期を「なし」、行が尽きたら「空にする」に戻してください。「置換文字列初期化」は書式も起動時（または最後に
保存したとき）の状態に戻します。</p>
<h3>日付と時刻</h3>
<p>数値は日付と時刻も数えられます。「ツール」の「書式と繰り返しの設定」で行の「種類」を「日付と時刻」にすると、
下の「日付と時刻」の欄でその行の開始（カレンダーからも選べます）、単位、書式、休日を設定できます。読めない日付は
その場で色が付き、理由が表示されます。日付の行では初期値は使わず、増加値が 1 回に進む単位の数です。
設定ファイルでは [Numerical] で <code>Kind1=1</code> とすると 1 行目の数値が日付になり、
<code>Start1</code> の日時（<code>2027/04/01</code>、<code>2027/04/01 09:00</code>、<code>2027/04/01 09:00:00</code>）から
1 回ごとに増加値だけ <code>Unit1</code> の単位（0 日、1 週、2 月、3 年、4 時、5 分、6 秒、7 営業日）進みます。
月と年は開始日の日を保ち、その月にない日は月末になります。営業日は土曜、日曜、祝日（振替休日と国民の休日を含む）と
<code>Off1</code> の休日（<code>2027/12/29</code> のような日付か、<code>12/29</code> のような毎年の日を空白で区切る）を除いた日です。
書式は <code>Pattern1</code>（既定は <code>yyyy/mm/dd</code>）で、<code>yyyy</code> <code>yy</code> 年、<code>m</code> <code>mm</code> 月、
<code>d</code> <code>dd</code> 日、<code>aaa</code> 曜日（月）、<code>aaaa</code>（月曜日）、<code>ddd</code>（Mon）、
<code>dddd</code>（Monday）、<code>h</code> <code>hh</code> 時、<code>h</code> の後か <code>s</code> の前の <code>m</code> <code>mm</code> 分、
<code>s</code> <code>ss</code> 秒、<code>ggg</code> 元号（令和）、<code>gg</code>（令）、<code>g</code>（R）、<code>e</code> <code>ee</code> 元号の年、
<code>"…"</code> はそのままの文字です。0001/01/01～9999/12/31 の外は空の文字列になります。</p>
<pre>[Numerical]
Kind1=1
Start1=2027/04/28
Unit1=7
Off1=12/29 12/30 12/31 01/02 01/03
Pattern1=m月d日(aaa)</pre>
<p>テンプレート <code>＜置換1＞ 出勤</code>、ループ回数 3 で: 4月28日(水) 出勤、4月30日(金) 出勤、5月6日(木) 出勤。</p>
<h3>小数と日本の数字</h3>
<p>設定ファイルの [Numerical] で <code>Kind1=2</code> とすると 1 行目の数値は小数になり、<code>Start1</code> から 1 回ごとに
<code>Step1</code> だけ進みます（どちらも <code>-1.25</code> や <code>0.1</code> のような小数で、全部で 18 桁まで。読めない値は 0）。
計算は 10 進数のまま正確に行うので、0.1 を 3 回足すと 0.3 です。<code>Places1</code>（0～9）は小数点以下の桁数で、
省略すると開始と増分の多い方の桁数になり、0 から遠い方へ四捨五入します（2.5 は 3、-0.125 は -0.13）。
整数部が 18 桁を超える値は空の文字列です。小数の行では初期値と増加値は使いません。</p>
<p>整数の書式 <code>Format1</code> には日本の数字もあります: 7 全角数字（１２３、－７）、8 漢数字（二〇二七）、
9 漢数字の位取り（十、百五、千、一万、二万一）、10 丸数字（⓪～㊿、51 からは普通の数字）、11 イロハ（イ、ロ、…、ス、イイ）、
12 アイウエオ（ア、イ、…、ン、アア）。桁数は文字数で数え、全角数字は「０」か全角の空白で、8～12 は空白で埋めます。</p>
<p>「書式と繰り返しの設定」では、行の「種類」を「小数」「乱数」「UUID」にすると、下の「小数・乱数・UUID」の欄に
その種類で使う項目だけが出ます。読めない値はその場で色が付き、理由が表示されます。</p>
<h3>乱数、UUID、シャッフル</h3>
<p><code>Kind1=3</code> は <code>Min1</code>～<code>Max1</code> の乱数（「重複なし」<code>Unique1=1</code> なら、すべての値が
一度ずつ出るまで同じ値は出ません）、<code>Kind1=4</code> は UUID（バージョン 4。書式「16進 大文字」で大文字）です。
配列の <code>Order1</code> は 1 でシャッフル、2 で毎回ランダムに 1 行を選びます。値はシード（<code>Seed1</code>）と
位置だけで決まるので、同じシードなら明日も、ファイルへの保存でも、<code>ravolin-expand</code> でも同じ結果になります。
シードがなければ変換実行のたびに新しいシードを決めて行に表示し、設定を保存すればそのシードが残ります。
「新しいシード」ボタンでいつでも引き直せます。<code>ravolin-expand --seed N</code> は全部のシードを N から決めます。</p>
<table border="1" cellpadding="3">
<tr><th>設定（シード 42）</th><th>最初の結果</th></tr>
<tr><td><code>Kind1=3</code> <code>Min1=1</code> <code>Max1=6</code></td><td>3 6 6 4 5 1</td></tr>
<tr><td><code>Kind1=3</code> <code>Min1=1</code> <code>Max1=5</code> <code>Unique1=1</code></td><td>2 1 5 3 4</td></tr>
<tr><td><code>Kind1=4</code></td><td>5599b3e0-6d07-4327-959a-a769d3905023</td></tr>
<tr><td>配列 赤,青,黄,緑 <code>Order1=1</code> <code>End1=1</code></td><td>黄 緑 赤 青</td></tr>
</table>
<h3>表の貼り付け</h3>
<p>表計算ソフトでコピーした範囲（または CSV のテキスト）は「処理」→「表を貼り付け」（Ctrl+Shift+V）で配列に取り込めます。
列ごとに配列1、配列2…に入り（配列のページの値の欄の右クリックからは、そのページの配列から）、「1 行目を置換文字列にする」で
見出しを置換文字列に、「ループ回数を行数に合わせる」で行数をループ回数にします。値の入っている配列は確認してから置き換え、
取り込んだ直後なら Ctrl+Z で元に戻せます。
「処理」→「表ファイルを開く」で CSV・TSV・テキストのファイルを選ぶか、そのファイルをウィンドウにドロップしても同じように
取り込めます（文字コードは UTF-8 か CP932 かを自動で判別します）。</p>
<h3>エスケープ（SQL・CSV・HTML・JSON・URL）</h3>
<p>「書式と繰り返し」の配列の「エスケープ」で、値を埋め込む前に書き換えられます。O'Brien のような名前や
「Tokyo, Japan」のような値でも、できあがる SQL や CSV が崩れません。</p>
<table border="1" cellpadding="3">
<tr><th>エスケープ</th><th>O'Brien</th><th>空の値</th></tr>
<tr><td>SQL 文字列</td><td><code>O''Brien</code></td><td>（なし）</td></tr>
<tr><td>SQL リテラル (空は NULL)</td><td><code>'O''Brien'</code></td><td><code>NULL</code></td></tr>
<tr><td>CSV</td><td><code>O'Brien</code>（<code>"Tokyo, Japan"</code> のように、必要なときだけ " で囲みます）</td><td>（なし）</td></tr>
<tr><td>HTML</td><td><code>O&amp;#39;Brien</code></td><td>（なし）</td></tr>
<tr><td>JSON</td><td><code>O'Brien</code>（<code>\"</code> <code>\\</code> <code>\n</code> など）</td><td>（なし）</td></tr>
<tr><td>URL</td><td><code>O%27Brien</code></td><td>（なし）</td></tr>
</table>
<p>例: テンプレート <code>INSERT INTO 社員 (番号, 氏名, 所属) VALUES (＜配列1＞, ＜配列2＞, ＜配列3＞);</code> で、
配列2 と配列3 を「SQL リテラル (空は NULL)」にし、表計算ソフトの 3 列（1001 O'Brien 営業部 / 1002 山田 太郎 （所属なし）/
1003 D'Angelo 開発部）を Ctrl+Shift+V で貼り付けて変換実行すると、
<code>INSERT INTO 社員 (番号, 氏名, 所属) VALUES (1001, 'O''Brien', '営業部');</code>、
<code>… (1002, '山田 太郎', NULL);</code>、<code>… (1003, 'D''Angelo', '開発部');</code> の 3 行になります。</p>
<h3>出力の形（先頭・区切り・末尾）</h3>
<p>「ツール」→「出力の形」で、最初の回の前に 1 度だけ書く「先頭」、各回の間に書く「区切り」（初期設定は改行）、
最後の回の後に 1 度だけ書く「末尾」を設定できます。区切りはボタン（改行、カンマ + 改行、カンマ、タブ、なし）でも選べ、
最初と最後の回のプレビューが入力に合わせて変わります。出力欄、結果のファイル保存、バッチツールのどれも同じ形で書き出します。
例えばテンプレート <code>(＜置換1＞, '＜配列1＞')</code>、数値の 1 行目が初期値 1、配列1 が田中・鈴木・佐藤、ループ回数 3 で、
先頭を <code>INSERT INTO t (id, name) VALUES</code> と改行、区切りを「カンマ + 改行」、末尾を <code>;</code> にすると:</p>
<pre>INSERT INTO t (id, name) VALUES
(1, '田中'),
(2, '鈴木'),
(3, '佐藤');</pre>
<h3>ループ回数と変換実行</h3>
<p>「ループ回数」に繰り返す回数を入れて「変換実行」を押すと、テンプレートをその回数だけ並べた結果が
出力欄に出ます（1 回ごとに改行か「出力の形」の区切りで区切られます）。出力欄をクリックすると全体が選択され、そのままコピーできます
（もう一度クリックするとカーソルを置けます）。ループ回数は 2147483647 まで入力でき、数として読めない値や範囲外の
値は欄の横に「数字のみ」「範囲外」と表示されます。</p>
<h3>大きな結果をファイルに保存</h3>
<p>「処理」→「結果をファイルに保存」は、出力欄に入りきらない大きな結果でも、今の設定の結果をそのままファイルに
書き出します。文字コード（UTF-8 か CP932）、改行（CR LF か LF）、ループ回数を選べます。</p>
<h3>バッチツール</h3>
<p>端末から <code>ravolin-expand RavolinSetting.ini &gt; out.txt</code> と実行すると、保存した設定を
ウィンドウと同じように展開して出力します。<code>--loop N</code> でループ回数を、<code>--set 節.キー=値</code> で
設定を一時的に変えられます。詳しくは <code>man ravolin-expand</code> を見てください。</p>
<h3>例</h3>
<p>テンプレート:</p>
<pre>＜置換1＞番目: ＜配列1＞さん</pre>
<p>数値の 1 行目: 初期値 1、増加値 1。配列1 の値:</p>
<pre>田中
鈴木
佐藤</pre>
<p>ループ回数 3 で変換実行すると:</p>
<pre>1番目: 田中さん
2番目: 鈴木さん
3番目: 佐藤さん</pre>
<h3>設定の保存</h3>
<p>設定（テンプレート、ループ回数、数値、配列、オプション、フォント）は RavolinSetting.ini に保存されます。
シェルから起動したときは作業フォルダーの、デスクトップのメニューから起動したときはユーザーごとの
フォルダー（~/.config/ravolin）のファイルを使います。「現在の設定を保存する」で保存し、
「終了時に自動的に保存する」をオンにすると終了時にも保存します。</p>
<h3>設定ファイルを使い分ける</h3>
<p>「処理」→「設定を開く」（Ctrl+O）で好きな名前の設定ファイルを開き、「設定に名前を付けて保存」（Ctrl+Shift+S）で
名前を付けて保存できます。最後に開いたか保存したファイルがこのウィンドウの設定ファイルになり、「現在の設定を保存する」と
終了時の自動保存はそのファイルに書き込みます。タイトルにはファイル名が表示されます（例: Ravolin - 名簿.ini）。
保存していない変更があるときは、開く前に確認します。「最近使った設定」には最近の 8 ファイルが並び（見つからないファイルは
灰色）、「一覧を消去」で消せます。<code>ravolin 名簿.ini</code> のようにファイルを指定して起動することもでき、
すでに起動しているときは起動中のウィンドウがそのファイルを開きます。</p>
<p>「例から始める」では、名簿からの SQL の INSERT 文、ゼロ埋めのファイル名、HTML のリスト、営業日の予定表の例が
ウィンドウに入ります。そのまま変換実行すると結果が出ます。ファイルには書き込みません。</p>
<p>.ini ファイルをウィンドウにドロップすると開きます。.txt ファイルを配列の値の欄にドロップすると、その行がその配列の
値になります（値が入っているときは置き換えるか確認します）。「結果をコピー」（Ctrl+Shift+C）は出力全体を
クリップボードにコピーし、コピーした行数と大きさを表示します。</p>
<h3>キー操作</h3>
<p>テンプレートや配列の値の欄で Tab キーは次の欄へ移ります。タブ文字を入力するには Ctrl+Tab を押します。</p>
<table>
<tr><td>Enter（1 行の欄で）、F5、Ctrl+Enter</td><td>変換実行</td></tr>
<tr><td>Ctrl+S</td><td>現在の設定を保存する</td></tr>
<tr><td>Ctrl+O / Ctrl+Shift+S</td><td>設定を開く / 設定に名前を付けて保存</td></tr>
<tr><td>Ctrl+Shift+C</td><td>結果をコピー</td></tr>
<tr><td>Ctrl+PageDown / Ctrl+PageUp</td><td>次 / 前のページ（数値、配列1～配列9）</td></tr>
<tr><td>Alt+0、Alt+1～Alt+9</td><td>「数値」、「配列1」～「配列9」のページ</td></tr>
<tr><td>Alt+X、Ctrl+Q</td><td>終了</td></tr>
<tr><td>F1</td><td>この使い方</td></tr>
<tr><td>Alt+A</td><td>バージョン情報</td></tr>
</table>
<p>タブにフォーカスがあるときは左右の矢印キーでページを切り替えられます。ウィンドウは大きさを変えたり最大化したり
でき、その状態は次回の起動時にも使われます（~/.config/ravolin/window.ini）。</p>
)";

}  // namespace

QString guideText() { return QString::fromUtf8(kGuideHtml); }

GuideDialog::GuideDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(kGuideCaption));
    setWindowIcon(loadProgramIcon());
    const DialogTemplate& about = *findDialogTemplate(kAboutDialogId);
    setFont(fontFromLogFont(templateLogFont(about, screenDpi())));

    auto* text = new QTextBrowser(this);
    // The examples in the dialog's face too: HTML's own fixed-pitch face for them would draw the Japanese in a
    // fallback.
    text->document()->setDefaultStyleSheet(QStringLiteral("pre, code { font-family: \"%1\"; }").arg(font().family()));
    text->setHtml(guideText());
    text->setAccessibleName(QString::fromUtf8(kGuideCaption));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* close = buttons->addButton(QString::fromUtf8(kCloseCaption), QDialogButtonBox::AcceptRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    resize(MapDialogRect(kGuideRect, dialogBaseUnits(font())).size());
}

}  // namespace ravolin
