<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../../dialogs/aboutdialog.ui" line="+20"/>
        <source>关于</source>
        <translation>關於</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>科沃测温</source>
        <translation>科沃測溫</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>版本号:1.0.0.1</source>
        <translation>版本:1.0.0.1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>黑体温度校准源控制程序</source>
        <translation>黑體溫度校正源控制程式</translation>
    </message>
</context>
<context>
    <name>ChartSettingsDialog</name>
    <message>
        <location filename="../../settings/chartsettingsdialog.ui" line="+14"/>
        <source>图表参数设置</source>
        <translation>圖表參數設定</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>最大数据量:</source>
        <translation>最大資料量:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>1000X</source>
        <translation>1000X</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>记录间隔:</source>
        <translation>記錄間隔:</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>记录时长:</source>
        <translation>記錄時間:</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>内存:</source>
        <translation>記憶體:</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>稳定范围(±℃):</source>
        <translation>穩定範圍(±℃):</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>稳定时长(秒):</source>
        <translation>穩定時長(秒):</translation>
    </message>
    <message>
        <location filename="../../settings/recordestimate.cpp" line="+88"/>
        <source>天,</source>
        <translation>天,</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>时,</source>
        <translation>小時,</translation>
    </message>
    <message>
        <location line="-6"/>
        <location line="+7"/>
        <location line="+2"/>
        <source>分,</source>
        <translation>分,</translation>
    </message>
    <message>
        <location line="-8"/>
        <source>分</source>
        <translation>分</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>秒,</source>
        <translation>秒,</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>秒</source>
        <translation>秒</translation>
    </message>
</context>
<context>
    <name>CorvelTitalbar</name>
    <message>
        <location filename="../../app/corveltitalbar.ui" line="+12"/>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <location line="+60"/>
        <source>Ostrel黑体控温软件</source>
        <translation>Ostrel黑體控溫軟體</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>文件</source>
        <translation>檔案</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设备</source>
        <translation>裝置</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设置</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>帮助</source>
        <translation>說明</translation>
    </message>
    <message>
        <location filename="../../app/corveltitalbar.cpp" line="+109"/>
        <source>简体中文</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>打开曲线</source>
        <translation>開啟曲線</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>保存曲线</source>
        <translation>儲存曲線</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出</source>
        <translation>結束</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器信息</source>
        <translation>儀器資訊</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>表格设置</source>
        <translation>圖表設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关于</source>
        <translation>關於</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>语言</source>
        <translation>語言</translation>
    </message>
</context>
<context>
    <name>CorveleScale</name>
    <message>
        <location filename="../../chart/corvelescale.ui" line="+14"/>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>DeviceInfoDialog</name>
    <message>
        <location filename="../../dialogs/deviceinfodialog.ui" line="+14"/>
        <source>设备信息</source>
        <translation>裝置資訊</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>日期:</source>
        <translation>日期:</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>序列号:</source>
        <translation>序號:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>量程:</source>
        <translation>量測範圍:</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>-</source>
        <translation>-</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.ui" line="+20"/>
        <source>MainWindow</source>
        <translation>MainWindow</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>文件</source>
        <translation>檔案</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设备</source>
        <translation>裝置</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设置</source>
        <translation>設定</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>帮助</source>
        <translation>說明</translation>
    </message>
    <message>
        <location line="+104"/>
        <location line="+198"/>
        <source>串口号：</source>
        <translation>序列埠：</translation>
    </message>
    <message>
        <location line="-154"/>
        <location line="+198"/>
        <source>波特率：</source>
        <translation>鮑率：</translation>
    </message>
    <message>
        <location line="-160"/>
        <source>型号：</source>
        <translation>型號：</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>设置温度</source>
        <translation>設定溫度</translation>
    </message>
    <message>
        <location line="+10"/>
        <location filename="../../app/mainwindow.cpp" line="+602"/>
        <source>测温仪</source>
        <translation>測溫儀</translation>
    </message>
    <message>
        <location line="+269"/>
        <location filename="../../app/mainwindow.cpp" line="-380"/>
        <location line="+296"/>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <location line="+139"/>
        <location filename="../../app/mainwindow.cpp" line="-295"/>
        <location line="+290"/>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <location line="+139"/>
        <location filename="../../app/mainwindow.cpp" line="-288"/>
        <source>环温</source>
        <translation>環溫</translation>
    </message>
    <message>
        <location line="+139"/>
        <location filename="../../app/mainwindow.cpp" line="-1"/>
        <source>全局</source>
        <translation>總覽</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>自适应</source>
        <translation>自適應</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>水平缩放</source>
        <translation>水平縮放</translation>
    </message>
    <message>
        <location line="+151"/>
        <source>垂直缩放</source>
        <translation>垂直縮放</translation>
    </message>
    <message>
        <location line="+145"/>
        <location filename="../../app/mainwindow.cpp" line="+46"/>
        <source>保存曲线</source>
        <translation>儲存曲線</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-60"/>
        <location line="+9"/>
        <location line="+104"/>
        <location line="+416"/>
        <location line="+100"/>
        <source>打开串口</source>
        <translation>開啟序列埠</translation>
    </message>
    <message>
        <location line="-570"/>
        <source>打开曲线</source>
        <translation>開啟曲線</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>导出CSV</source>
        <translation>匯出CSV</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>导出图片</source>
        <translation>匯出圖片</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出</source>
        <translation>結束</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>表格设置</source>
        <translation>圖表設定</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>语言</source>
        <translation>語言</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>简体中文</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>繁體中文</source>
        <translation>繁體中文</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>关于</source>
        <translation>關於</translation>
    </message>
    <message>
        <location line="+86"/>
        <source>选择文件</source>
        <translation>選擇檔案</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>文件(*.txt*)</source>
        <translation>文字檔(*.txt*)</translation>
    </message>
    <message>
        <location line="+535"/>
        <source>连接已断开，正在重新连接…</source>
        <translation>連線已中斷，正在重新連線…</translation>
    </message>
    <message>
        <location line="+155"/>
        <source>与黑体的串口连接已中断超过一分钟（设备已断开或被拔出）。程序仍在自动重新连接，请检查连线。</source>
        <translation>與黑體的序列埠連線已中斷超過一分鐘（裝置已斷開或被拔除）。程式仍在自動重新連線，請檢查連線。</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>稳定 %1</source>
        <translation>穩定 %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未稳定</source>
        <translation>未穩定</translation>
    </message>
    <message>
        <location line="-727"/>
        <location line="+29"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-29"/>
        <source>当前曲线尚未保存，放弃这条曲线吗？</source>
        <translation>目前的曲線尚未儲存，要放棄這條曲線嗎？</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>放弃</source>
        <translation>放棄</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>所有文件(*)</source>
        <translation>所有檔案(*)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>正在记录曲线，请先停止！</source>
        <translation>正在記錄曲線，請先停止！</translation>
    </message>
    <message>
        <location line="+132"/>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>继续</source>
        <translation>繼續</translation>
    </message>
    <message>
        <location line="-189"/>
        <location line="+276"/>
        <source>当前温度值</source>
        <translation>目前溫度值</translation>
    </message>
    <message>
        <location line="-275"/>
        <location line="+276"/>
        <source>设定温度值</source>
        <translation>設定溫度值</translation>
    </message>
    <message>
        <location line="-278"/>
        <location line="+409"/>
        <location line="+50"/>
        <source>关闭串口</source>
        <translation>關閉序列埠</translation>
    </message>
    <message>
        <location line="+113"/>
        <source>已选择:</source>
        <translation>已選擇:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率:</source>
        <translation>鮑率:</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>端口已关闭</source>
        <translation>序列埠已關閉</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>黑体无应答，请检查型号、波特率和连线</source>
        <translation>黑體沒有回應，請檢查型號、鮑率和連線</translation>
    </message>
    <message>
        <location filename="../../serial/openfailure.cpp" line="+9"/>
        <source>未知错误</source>
        <translation>未知的錯誤</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法打开端口 %1：%2</source>
        <translation>無法開啟序列埠 %1：%2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>当前用户无权使用该串口。请将用户加入串口设备所属的用户组 %1（例如 sudo usermod -aG %1 $USER），然后重新登录。</source>
        <translation>目前的使用者沒有使用此序列埠的權限。請將使用者加入序列埠裝置所屬的群組 %1（例如 sudo usermod -aG %1 $USER），然後重新登入。</translation>
    </message>
</context>
<context>
    <name>QMainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-789"/>
        <source>Ostrel黑体控制软件</source>
        <translation>Ostrel黑體控制軟體</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../../settings/settings.cpp" line="+89"/>
        <source>Not a settings file</source>
        <translation>不是設定檔</translation>
    </message>
</context>
<context>
    <name>TempAreaItem</name>
    <message>
        <location filename="../../chart/tempareaitem.ui" line="+14"/>
        <source>Form</source>
        <translation>Form</translation>
    </message>
</context>
<context>
    <name>WaitDialog</name>
    <message>
        <location filename="../../dialogs/waitdialog.ui" line="+26"/>
        <source>请稍候...</source>
        <translation>請稍候...</translation>
    </message>
</context>
<context>
    <name>WriteFileThread</name>
    <message>
        <location filename="../../chart/writefilethread.cpp" line="+24"/>
        <source>无法保存文件!</source>
        <translation>無法儲存檔案!</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法识别的文件格式!</source>
        <translation>無法辨識的檔案格式!</translation>
    </message>
</context>
<context>
    <name>ttwidget</name>
    <message>
        <location filename="../../chart/ttwidget.ui" line="+14"/>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <location line="+495"/>
        <source>水平缩放</source>
        <translation>水平縮放</translation>
    </message>
    <message>
        <location line="+148"/>
        <source>垂直缩放</source>
        <translation>垂直縮放</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>保存曲线</source>
        <translation>儲存曲線</translation>
    </message>
    <message>
        <location filename="../../chart/ttwidget.cpp" line="+74"/>
        <location line="+727"/>
        <source>时间(秒)</source>
        <translation>時間(秒)</translation>
    </message>
    <message>
        <location line="-726"/>
        <location line="+91"/>
        <source>温度(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <location line="-72"/>
        <location line="+313"/>
        <location line="+398"/>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <location line="-708"/>
        <location line="+709"/>
        <source>实温</source>
        <translation>實測溫度</translation>
    </message>
    <message>
        <location line="-706"/>
        <location line="+707"/>
        <source>环温</source>
        <translation>環溫</translation>
    </message>
    <message>
        <location line="-684"/>
        <location line="+143"/>
        <location line="+537"/>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <location line="-679"/>
        <source>全局</source>
        <translation>總覽</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>温度(℉)</source>
        <translation>溫度(℉)</translation>
    </message>
    <message>
        <location line="+116"/>
        <location line="+523"/>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <location line="-396"/>
        <location line="+398"/>
        <source>继续</source>
        <translation>繼續</translation>
    </message>
    <message>
        <location line="-283"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>正在记录曲线，请先停止！</source>
        <translation>正在記錄曲線，請先停止！</translation>
    </message>
    <message>
        <location line="+27"/>
        <location line="+24"/>
        <source>导出数据成功</source>
        <translation>資料匯出成功</translation>
    </message>
    <message>
        <location line="-24"/>
        <location line="+24"/>
        <source>信息已保存在%1！</source>
        <translation>資料已儲存至%1！</translation>
    </message>
    <message>
        <location line="-15"/>
        <source>导出CSV</source>
        <translation>匯出CSV</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>CSV文件</source>
        <translation>CSV檔案</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>PNG图片</source>
        <translation>PNG圖片</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PDF文件</source>
        <translation>PDF檔案</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出图片</source>
        <translation>匯出圖片</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>无法保存图片!</source>
        <translation>無法儲存圖片!</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>导出图片成功</source>
        <translation>圖片匯出成功</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>图片已保存在%1！</source>
        <translation>圖片已儲存在%1！</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <location line="+56"/>
        <source>℉</source>
        <translation>℉</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <location line="+102"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>模式1</source>
        <translation>模式1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>模式2</source>
        <translation>模式2</translation>
    </message>
</context>
</TS>
