<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../../dialogs/aboutdialog.ui" line="+20"/>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>科沃测温</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>版本号:1.0.0.1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+13"/>
        <source>黑体温度校准源控制程序</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ChartSettingsDialog</name>
    <message>
        <location filename="../../settings/chartsettingsdialog.ui" line="+14"/>
        <source>图表参数设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+21"/>
        <source>最大数据量:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+7"/>
        <source>1000X</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+44"/>
        <source>记录间隔:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+31"/>
        <source>记录时长:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+38"/>
        <source>内存:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../settings/recordestimate.cpp" line="+68"/>
        <source>天,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>时,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-6"/>
        <location line="+7"/>
        <location line="+2"/>
        <source>分,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-8"/>
        <source>分</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>秒,</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>秒</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CorveleScale</name>
    <message>
        <location filename="../../chart/corvelescale.ui" line="+14"/>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeviceInfoDialog</name>
    <message>
        <location filename="../../dialogs/deviceinfodialog.ui" line="+14"/>
        <source>设备信息</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+9"/>
        <source>日期:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>序列号:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+41"/>
        <source>量程:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+26"/>
        <source>-</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.ui" line="+20"/>
        <source>MainWindow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+54"/>
        <source>文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设备</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+15"/>
        <source>帮助</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+104"/>
        <location line="+198"/>
        <source>串口号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-154"/>
        <location line="+198"/>
        <source>波特率：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-160"/>
        <source>型号：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+67"/>
        <source>设置温度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>测温仪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+269"/>
        <location filename="../../app/mainwindow.cpp" line="+158"/>
        <location line="+109"/>
        <location line="+169"/>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+139"/>
        <location filename="../../app/mainwindow.cpp" line="-277"/>
        <location line="+106"/>
        <location line="+9"/>
        <source>暂停</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+139"/>
        <location filename="../../app/mainwindow.cpp" line="-113"/>
        <source>环温</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+139"/>
        <location filename="../../app/mainwindow.cpp" line="-1"/>
        <source>全局</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+14"/>
        <source>自适应</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+139"/>
        <source>水平缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+151"/>
        <source>垂直缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+145"/>
        <location filename="../../app/mainwindow.cpp" line="+41"/>
        <source>保存曲线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-53"/>
        <location line="+7"/>
        <location line="+275"/>
        <source>打开串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-230"/>
        <source>打开曲线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+3"/>
        <source>退出</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+5"/>
        <source>表格设置</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>关于</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+16"/>
        <source>选择文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>文件(*.txt*)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+10"/>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>正在记录曲线，请先停止！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+25"/>
        <source>停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+11"/>
        <source>继续</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+62"/>
        <source>当前温度值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设定温度值</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+69"/>
        <source>关闭串口</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>已选择:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+23"/>
        <source>端口已关闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+94"/>
        <source>与黑体的串口连接已中断（设备已断开或被拔出）。请检查连接后重新打开串口。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>QMainWindow</name>
    <message>
        <location line="-430"/>
        <source>Ostrel黑体控制软件</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../../settings/settings.cpp" line="+73"/>
        <source>Not a settings file</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TempAreaItem</name>
    <message>
        <location filename="../../chart/tempareaitem.ui" line="+14"/>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WaitDialog</name>
    <message>
        <location filename="../../dialogs/waitdialog.ui" line="+26"/>
        <source>请稍候...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WriteFileThread</name>
    <message>
        <location filename="../../chart/writefilethread.cpp" line="+22"/>
        <source>无法保存文件!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+4"/>
        <source>无法识别的文件格式!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ttwidget</name>
    <message>
        <location filename="../../chart/ttwidget.ui" line="+14"/>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+495"/>
        <source>水平缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+148"/>
        <source>垂直缩放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+139"/>
        <source>保存曲线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../../chart/ttwidget.cpp" line="+44"/>
        <location line="+502"/>
        <source>时间(秒)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-501"/>
        <location line="+74"/>
        <source>温度(℃)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-55"/>
        <location line="+127"/>
        <location line="+67"/>
        <location line="+292"/>
        <source>暂停</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-483"/>
        <location line="+484"/>
        <source>实温</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-465"/>
        <location line="+91"/>
        <location line="+371"/>
        <source>开始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-461"/>
        <source>全局</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+30"/>
        <source>温度(℉)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+69"/>
        <location line="+362"/>
        <source>停止</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-293"/>
        <location line="+11"/>
        <location line="+284"/>
        <source>继续</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="-190"/>
        <source>提示</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>正在记录曲线，请先停止！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+33"/>
        <source>导出数据成功</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>信息已保存在%1！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+2"/>
        <source>确定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+48"/>
        <source>℉</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>℃</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+89"/>
        <source>错误</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+17"/>
        <source>模式1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location line="+0"/>
        <source>模式2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
