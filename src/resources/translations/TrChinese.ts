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
    <message>
        <location line="+16"/>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
    <message>
        <location filename="../../dialogs/aboutdialog.cpp" line="+13"/>
        <source>版本 %1</source>
        <translation>版本 %1</translation>
    </message>
</context>
<context>
    <name>AmendCertificateDialog</name>
    <message>
        <location filename="../../dialogs/amendcertificatedialog.ui" line="+5"/>
        <source>修订证书</source>
        <translation>修訂證書</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>修订版以新的编号签发，并注明它替代的证书。只能更正客户、被校仪器和实验室的信息，测量结果不变。</source>
        <translation>修訂版以新的編號簽發，並註明它替代的證書。只能更正客戶、被校儀器和實驗室的資訊，測量結果不變。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>证书编号</source>
        <translation>證書編號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户</source>
        <translation>客戶</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户地址</source>
        <translation>客戶地址</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户国家代码</source>
        <translation>客戶國家代碼</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>制造商</source>
        <translation>製造商</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>型号</source>
        <translation>型號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>序列号</source>
        <translation>序號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>实验室名称</source>
        <translation>實驗室名稱</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>实验室地址</source>
        <translation>實驗室地址</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>实验室国家代码</source>
        <translation>實驗室國家代碼</translation>
    </message>
</context>
<context>
    <name>AuditRecorder</name>
    <message>
        <location filename="../../station/auditrecorder.cpp" line="+115"/>
        <source>无法读取审计记录：%1</source>
        <translation>無法讀取稽核記錄：%1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>审计记录第 %1 行未通过校验</source>
        <translation>稽核記錄第 %1 行未通過校驗</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>审计记录中没有证书 %1 的签发记录</source>
        <translation>稽核記錄中沒有證書 %1 的簽發記錄</translation>
    </message>
</context>
<context>
    <name>AuditTrail</name>
    <message>
        <location filename="../../files/audittrail.cpp" line="+26"/>
        <source>无法写入审计记录 %1（%2）。</source>
        <translation>無法寫入稽核記錄 %1（%2）。</translation>
    </message>
    <message>
        <location line="+176"/>
        <location line="+66"/>
        <source>最后一行已损坏</source>
        <translation>最後一行已損壞</translation>
    </message>
</context>
<context>
    <name>BlackbodyLink</name>
    <message>
        <location filename="../../station/blackbodylink.cpp" line="+86"/>
        <source>黑体无应答，请检查型号、波特率和连线</source>
        <translation>黑體沒有回應，請檢查型號、鮑率和連線</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接已断开，正在重新连接…</source>
        <translation>連線已中斷，正在重新連線…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制器未确认，读数不作为有效值</source>
        <translation>控制器未確認，讀數不作為有效值</translation>
    </message>
</context>
<context>
    <name>CalibrationCertificate</name>
    <message>
        <location filename="../../station/calibrationcertificate.cpp" line="+22"/>
        <source>未保存</source>
        <translation>未儲存</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（已修改）</source>
        <translation>%1（已修改）</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>合格</source>
        <translation>合格</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不合格（U ≥ 允差）</source>
        <translation>不合格（U ≥ 允差）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不合格</source>
        <translation>不合格</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>完成</source>
        <translation>完成</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>跳过</source>
        <translation>跳過</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>中止</source>
        <translation>中止</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>未进行</source>
        <translation>未進行</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>未读数</source>
        <translation>未讀數</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+16"/>
        <source>序列号 %1</source>
        <translation>序號 %1</translation>
    </message>
    <message>
        <location line="+90"/>
        <source>未记录</source>
        <translation>未記錄</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>环境温度 %1 ℃ 至 %2 ℃（各步保持期间）</source>
        <translation>環境溫度 %1 ℃ 至 %2 ℃（各步保持期間）</translation>
    </message>
    <message>
        <location line="-46"/>
        <location line="+28"/>
        <location line="+28"/>
        <location line="+229"/>
        <source>；</source>
        <translation>；</translation>
    </message>
    <message>
        <location line="-133"/>
        <source>校准证书</source>
        <translation>校正證書</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校准证书（校准未完成）</source>
        <translation>校正證書（校正未完成）</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>证书编号 %1</source>
        <translation>證書編號 %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 页，共 %2 页</source>
        <translation>第 %1 頁，共 %2 頁</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>证书编号</source>
        <translation>證書編號</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>实验室</source>
        <translation>實驗室</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>客户</source>
        <translation>客戶</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被校仪器</source>
        <translation>被校儀器</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器状态</source>
        <translation>儀器狀態</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>调整后</source>
        <translation>調整後</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>接收时</source>
        <translation>接收時</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>光谱范围</source>
        <translation>光譜範圍</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1–%2 µm</source>
        <translation>%1–%2 µm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器发射率设置 ε_u</source>
        <translation>儀器發射率設定 ε_u</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源发射率 ε_s</source>
        <translation>輻射源發射率 ε_s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>测量距离</source>
        <translation>量測距離</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源口径</source>
        <translation>輻射源口徑</translation>
    </message>
    <message>
        <location line="-98"/>
        <location line="+99"/>
        <source>分辨力</source>
        <translation>解析度</translation>
    </message>
    <message>
        <location line="-286"/>
        <source>未评定</source>
        <translation>未評定</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1（k = %2，ν_eff = %3）</source>
        <translation>%1（k = %2，ν_eff = %3）</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>读数已跳过</source>
        <translation>讀數已跳過</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>在 ε_u = %1 下该温度无解</source>
        <translation>在 ε_u = %1 下該溫度無解</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>控制器 %1，端口 %2</source>
        <translation>控制器 %1，連接埠 %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（%1）</source>
        <translation>（%1）</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>无读数：%1（%2 UTC）</source>
        <translation>無讀數：%1（%2 UTC）</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1（原始应答 %2，%3 UTC）</source>
        <translation>%1（原始應答 %2，%3 UTC）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（远程提供）</source>
        <translation>%1（遠端提供）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（操作员输入）</source>
        <translation>%1（操作員輸入）</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>第 %1 步：%2</source>
        <translation>第 %1 步：%2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>从被测仪器读取（%1）</source>
        <translation>從被測儀器讀取（%1）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>由操作员输入</source>
        <translation>由操作員輸入</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>由远程客户端提供</source>
        <translation>由遠端用戶端提供</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>由操作员给定：%1 ℃（未测量）</source>
        <translation>由操作員給定：%1 ℃（未測量）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>其标准不确定度 %1 ℃</source>
        <translation>其標準不確定度 %1 ℃</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>辐射源校准</source>
        <translation>輻射源校正</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源稳定性</source>
        <translation>輻射源穩定性</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>反射的环境温度</source>
        <translation>反射的環境溫度</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源发射率</source>
        <translation>輻射源發射率</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读数重复性</source>
        <translation>讀數重複性</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>读数重复性（给定：%1）</source>
        <translation>讀數重複性（給定：%1）</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>正态</source>
        <translation>常態</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>矩形</source>
        <translation>矩形</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>三角</source>
        <translation>三角</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1：%2，%3分布，除数 %4，灵敏系数 %5%6，贡献 %7 ℃，ν = %8</source>
        <translation>%1：%2，%3分布，除數 %4，靈敏係數 %5%6，貢獻 %7 ℃，ν = %8</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>u_c = %1 ℃，ν_eff = %2，k = %3，U = %4 ℃</source>
        <translation>u_c = %1 ℃，ν_eff = %2，k = %3，U = %4 ℃</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>测试报告</source>
        <translation>測試報告</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>测试报告（校准未完成）</source>
        <translation>測試報告（校正未完成）</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>本测试报告不是校准证书。</source>
        <translation>本測試報告不是校正證書。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>本测试报告不是校准证书（缺少：%1）。</source>
        <translation>本測試報告不是校正證書（缺少：%1）。</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation>、</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>审计链头 %1…</source>
        <translation>稽核鏈頭 %1…</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>读数来源</source>
        <translation>讀數來源</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源</source>
        <translation>輻射源</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准日期</source>
        <translation>校正日期</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签发日期</source>
        <translation>簽發日期</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>开始时间</source>
        <translation>開始時間</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>操作员</source>
        <translation>操作員</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准程序文件</source>
        <translation>校正程式檔案</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>曲线</source>
        <translation>曲線</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>替代证书</source>
        <translation>替代證書</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>本证书替代证书 %1，后者作废</source>
        <translation>本證書替代證書 %1，後者作廢</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校准方法</source>
        <translation>校正方法</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>与黑体辐射源比较。每一步的参考值是被测仪器在发射率设置 ε_u = %1 下应显示的辐射温度：由辐射源保持期间的平均温度、辐射源发射率 ε_s = %2 和环境（反射）温度，按 %3–%4 µm 波段内积分的普朗克辐射亮度求得（ε_s = ε_u 时即为辐射源温度）。</source>
        <translation>與黑體輻射源比較。每一步的參考值是受測儀器在發射率設定 ε_u = %1 下應顯示的輻射溫度：由輻射源保持期間的平均溫度、輻射源發射率 ε_s = %2 和環境（反射）溫度，按 %3–%4 µm 波段內積分的普朗克輻射亮度求得（ε_s = ε_u 時即為輻射源溫度）。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>误差 = 读数 − 参考值。</source>
        <translation>誤差 = 讀數 − 參考值。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>环境条件</source>
        <translation>環境條件</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>溯源性</source>
        <translation>溯源性</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源经校准，证书编号 %1，有效期至 %2。</source>
        <translation>輻射源經校正，證書編號 %1，有效期至 %2。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准时辐射源的校准已过期。</source>
        <translation>校正時輻射源的校正已過期。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设定值 (℃)</source>
        <translation>設定值 (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>参考值 (℃)</source>
        <translation>參考值 (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>读数 (℃)</source>
        <translation>讀數 (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>误差 (℃)</source>
        <translation>誤差 (℃)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>允差为 ±%1 ℃ 或参考值的 ±%2 %，取较大者。</source>
        <translation>允差為 ±%1 ℃ 或參考值的 ±%2 %，取較大者。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>允差为 ±%1 ℃ 或读数平均值的 ±%2 %，取较大者。</source>
        <translation>允差為 ±%1 ℃ 或讀數平均值的 ±%2 %，取較大者。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>判定依据未修约的测得值（误差、U 和允差），表中数值只为阅读而修约：U 取两位有效数字并向上修约，参考值、读数和误差修约到 U 的末位（误差由其未修约值修约，故一行可能相差末位一个数字），允差按给定值列出。标 * 的点按修约值看似相反的结论，仍按测得值判定。</source>
        <translation>判定依據未修約的測得值（誤差、U 和允差），表中數值只為閱讀而修約：U 取兩位有效數字並向上修約，參考值、讀數和誤差修約到 U 的末位（誤差由其未修約值修約，故一行可能相差末位一個數字），允差按給定值列出。標 * 的點按修約值看似相反的結論，仍按測得值判定。</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>扩展不确定度 U = k·u_c。合成标准不确定度 u_c 按 GUM（JCGM 100:2008）以方和根合成；各分量的灵敏系数由辐射模型在估计值 ±u 处的差分求得。包含因子 k 为 t 分布在包含概率 95.45 % 下对有效自由度 ν_eff（Welch–Satterthwaite 公式，向下取整）的分位数</source>
        <translation>擴展不確定度 U = k·u_c。合成標準不確定度 u_c 按 GUM（JCGM 100:2008）以方和根合成；各分量的靈敏係數由輻射模型在估計值 ±u 處的差分求得。包含因子 k 為 t 分佈在包含機率 95.45 % 下對有效自由度 ν_eff（Welch–Satterthwaite 公式，向下取整）的分位數</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>；各点 ν_eff ≥ 50，取 k = 2。</source>
        <translation>；各點 ν_eff ≥ 50，取 k = 2。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>；ν_eff &lt; 50 的点在 U 旁列出 k 和 ν_eff，ν_eff ≥ 50 的点取 k = 2。</source>
        <translation>；ν_eff &lt; 50 的點在 U 旁列出 k 和 ν_eff，ν_eff ≥ 50 的點取 k = 2。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>只有一个读数的点未给定被测仪器的重复性，其 U 不含重复性。</source>
        <translation>只有一個讀數的點未給定被測儀器的重複性，其 U 不含重複性。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>标 † 的分量两侧变化相差超过 10 %（一阶传播不再适用），取较大者。</source>
        <translation>標 † 的分量兩側變化相差超過 10 %（一階傳播不再適用），取較大者。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>不确定度分量（第 %1 步，设定值 %2 ℃）</source>
        <translation>不確定度分量（第 %1 步，設定值 %2 ℃）</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>列出 U 最大的一步；其他各步的分量相同，数值随温度而变。</source>
        <translation>列出 U 最大的一步；其他各步的分量相同，數值隨溫度而變。</translation>
    </message>
    <message>
        <location line="-71"/>
        <source>允差 (℃)</source>
        <translation>允差 (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结论</source>
        <translation>結論</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结果</source>
        <translation>結果</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>U (℃)</source>
        <translation>U (℃)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>未规定允差：不作符合性判定。</source>
        <translation>未規定允差：不作符合性判定。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>总结论：未完成</source>
        <translation>總結論：未完成</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>总结论：并非所有点均已评定</source>
        <translation>總結論：並非所有點均已評定</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>总结论：合格</source>
        <translation>總結論：合格</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>总结论：不合格</source>
        <translation>總結論：不合格</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>判定规则</source>
        <translation>判定規則</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>保护带规则（ILAC-G8，保护带 w = U）：|误差| ≤ 允差 − U 时判为合格，否则不合格；U ≥ 允差 的点判为不合格。</source>
        <translation>保護帶規則（ILAC-G8，保護帶 w = U）：|誤差| ≤ 允差 − U 時判為合格，否則不合格；U ≥ 允差 的點判為不合格。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>简单接受规则（ILAC-G8）：|误差| ≤ 允差 时判为合格，否则不合格。</source>
        <translation>簡單接受規則（ILAC-G8）：|誤差| ≤ 允差 時判為合格，否則不合格。</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>测量不确定度</source>
        <translation>量測不確定度</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 起，%2 秒</source>
        <translation>%1 起，%2 秒</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通信中断</source>
        <translation>通訊中斷</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无</source>
        <translation>無</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读数记录</source>
        <translation>讀數記錄</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签字人：%1&#x3000;&#x3000;签字：____________</source>
        <translation>簽字人：%1&#x3000;&#x3000;簽字：____________</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>本证书的结果仅与被校准的仪器有关。</source>
        <translation>本證書的結果僅與受校正的儀器有關。</translation>
    </message>
</context>
<context>
    <name>CalibrationJournal</name>
    <message>
        <location filename="../../control/calibrationjournal.cpp" line="+311"/>
        <source>不是可读的校准记录</source>
        <translation>不是可讀的校正紀錄</translation>
    </message>
</context>
<context>
    <name>CalibrationPdf</name>
    <message>
        <location filename="../../station/calibrationpdf.cpp" line="+46"/>
        <source>zh_CN</source>
        <comment>The locale name of this translation: zh_CN, zh_TW or en</comment>
        <translation>zh_TW</translation>
    </message>
</context>
<context>
    <name>CalibrationReporter</name>
    <message>
        <location filename="../../station/calibrationreporter.cpp" line="+172"/>
        <source>无</source>
        <translation>無</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>完整</source>
        <translation>完整</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>自 %1 起（更早的部分超出了表格容量）</source>
        <translation>自 %1 起（更早的部分超出了表格容量）</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>见同名的 .txt 文件</source>
        <translation>見同名的 .txt 檔案</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未保存（程序在校准中退出）</source>
        <translation>未儲存（程式在校正中結束）</translation>
    </message>
    <message>
        <location line="+108"/>
        <source>证书编号 %1 已用于另一份证书</source>
        <translation>證書編號 %1 已用於另一份證書</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+466"/>
        <location line="+8"/>
        <source>证书 %1 的曲线或图表已不在记录旁</source>
        <translation>證書 %1 的曲線或圖表已不在記錄旁</translation>
    </message>
    <message>
        <location line="-373"/>
        <source>zh</source>
        <comment>ISO 639-1 code of the language certificates are written in</comment>
        <translation>zh</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>签名证书属于“%1”，而本证书的签发人是“%2”</source>
        <translation>簽名憑證屬於「%1」，而本證書的簽發人是「%2」</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>未生成机器可读证书：未设置实验室所在的国家或地区</source>
        <translation>未生成機器可讀證書：未設定實驗室所在的國家或地區</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>证书 %1 的文件已不是签发时的文件：%2</source>
        <translation>證書 %1 的檔案已不是簽發時的檔案：%2</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>证书的签发记录已损坏</source>
        <translation>證書的簽發記錄已損壞</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>证书 %1 的签发记录已损坏</source>
        <translation>證書 %1 的簽發紀錄已損壞</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>证书 %1 的 PDF 文件不在原处：%2</source>
        <translation>證書 %1 的 PDF 檔案不在原處：%2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>证书 %1 已经签名</source>
        <translation>證書 %1 已經簽名</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>没有要更正的内容</source>
        <translation>沒有要更正的內容</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>国家代码须为 ISO 3166-1 的两个大写字母，或留空</source>
        <translation>國家代碼須為 ISO 3166-1 的兩個大寫字母，或留空</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>证书 %1 的修订版未写出；编号 %2 不再使用</source>
        <translation>證書 %1 的修訂版未寫出；編號 %2 不再使用</translation>
    </message>
</context>
<context>
    <name>CalibrationRun</name>
    <message>
        <location filename="../../control/calibrationrun.cpp" line="+45"/>
        <source>%1：%2</source>
        <translation>%1：%2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 步：%2</source>
        <translation>第 %1 步：%2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 步，%2：%3</source>
        <translation>第 %1 步，%2：%3</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>应为数字</source>
        <translation>應為數字</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>必须大于零</source>
        <translation>必須大於零</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不能为负数</source>
        <translation>不能為負數</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+6"/>
        <source>不能大于 %1</source>
        <translation>不能大於 %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>应为文字</source>
        <translation>應為文字</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>应为整数</source>
        <translation>應為整數</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>应为 %1 之一</source>
        <translation>應為 %1 之一</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>应为日期，如 2027-06-30</source>
        <translation>應為日期，如 2027-06-30</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>应为列表</source>
        <translation>應為列表</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+119"/>
        <location line="+17"/>
        <source>应为对象</source>
        <translation>應為物件</translation>
    </message>
    <message>
        <location line="-124"/>
        <source>应为 true 或 false</source>
        <translation>應為 true 或 false</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+37"/>
        <location line="+2"/>
        <source>缺少此项</source>
        <translation>缺少此項</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>不能短于 %1 秒</source>
        <translation>不能短於 %1 秒</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&quot;driver&quot; 需要版本 4</source>
        <translation>&quot;driver&quot; 需要版本 4</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>应为两个大写字母的国家代码，如 CN</source>
        <translation>應為兩個大寫字母的國家代碼，如 CN</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>应为两个波长 [下限, 上限]（µm），下限小于上限</source>
        <translation>應為兩個波長 [下限, 上限]（µm），下限小於上限</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>设定值应依次增大</source>
        <translation>設定值應依次增大</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>文件缺少版本号</source>
        <translation>檔案缺少版本號</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>版本号无效</source>
        <translation>版本號無效</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>此文件由较新版本的程序保存（版本 %1），本程序无法读取</source>
        <translation>此檔案由較新版本的程式儲存（版本 %1），本程式無法讀取</translation>
    </message>
    <message>
        <location line="+145"/>
        <source>第 %1 行第 %2 列：%3</source>
        <translation>第 %1 行第 %2 欄：%3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>这不是校准程序文件</source>
        <translation>這不是校正程式檔案</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>应为步骤列表</source>
        <translation>應為步驟清單</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>应为一个步骤对象</source>
        <translation>應為一個步驟物件</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>不能短于一次轮询（%1 秒）</source>
        <translation>不能短於一次輪詢（%1 秒）</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1℃ 超出型号范围 %2℃ 到 %3℃</source>
        <translation>%1℃ 超出型號範圍 %2℃ 到 %3℃</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>第 %1 步的设定值 %2 超出该型号的精度（%3 位小数）</source>
        <translation>第 %1 步的設定值 %2 超出該型號的精度（%3 位小數）</translation>
    </message>
</context>
<context>
    <name>CalibrationRunDialog</name>
    <message>
        <location filename="../../dialogs/calibrationrundialog.ui" line="+341"/>
        <source>客户地址</source>
        <translation>客戶地址</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>客户国家代码</source>
        <translation>客戶國家代碼</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>ISO 3166-1 两个字母，如 CN</source>
        <translation>ISO 3166-1 兩個字母，如 CN</translation>
    </message>
    <message>
        <location line="-344"/>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="+63"/>
        <source>校准程序</source>
        <translation>校正程式</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>程序</source>
        <translation>程序</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>被测仪器:</source>
        <translation>受測儀器:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>操作员:</source>
        <translation>操作員:</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>距离(mm):</source>
        <translation>距離(mm):</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>环境温度(℃):</source>
        <translation>環境溫度(℃):</translation>
    </message>
    <message>
        <location line="+118"/>
        <source>设定点(℃)</source>
        <translation>設定點(℃)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>稳定范围(±℃)</source>
        <translation>穩定範圍(±℃)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>稳定时间(s)</source>
        <translation>穩定時間(s)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保持时间(s)</source>
        <translation>保持時間(s)</translation>
    </message>
    <message>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="+271"/>
        <source>等待读数</source>
        <translation>等待讀數</translation>
    </message>
    <message>
        <location filename="../../dialogs/calibrationrundialog.ui" line="-143"/>
        <source>仪器发射率设置 ε_u:</source>
        <translation>儀器發射率設定 ε_u:</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>读数来源:</source>
        <translation>讀數來源:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>驱动:</source>
        <translation>驅動:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>端口:</source>
        <translation>連接埠:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>间隔(s):</source>
        <translation>間隔(s):</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>读取一次</source>
        <translation>讀取一次</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>录入仪器读数</source>
        <translation>輸入儀器讀數</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>添加步骤</source>
        <translation>新增步驟</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>删除步骤</source>
        <translation>刪除步驟</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>上移</source>
        <translation>上移</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>下移</source>
        <translation>下移</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>打开...</source>
        <translation>開啟...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>保存...</source>
        <translation>儲存...</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="+71"/>
        <source>证书</source>
        <translation>證書</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>客户</source>
        <translation>客戶</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>仪器制造商</source>
        <translation>儀器製造商</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>仪器型号</source>
        <translation>儀器型號</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>仪器序列号</source>
        <translation>儀器序號</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>仪器状态</source>
        <translation>儀器狀態</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>分辨力 (℃)</source>
        <translation>解析度 (℃)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>光谱范围下限 (µm)</source>
        <translation>光譜範圍下限 (µm)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>光谱范围上限 (µm)</source>
        <translation>光譜範圍上限 (µm)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>签字人</source>
        <translation>簽字人</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>允差 (℃)</source>
        <translation>允差 (℃)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>允差 (%)</source>
        <translation>允差 (%)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>百分比取自</source>
        <translation>百分比取自</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>判定规则</source>
        <translation>判定規則</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>每步读数个数</source>
        <translation>每步讀數個數</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>辐射源制造商</source>
        <translation>輻射源製造商</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源型号</source>
        <translation>輻射源型號</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源序列号</source>
        <translation>輻射源序號</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源发射率 ε_s</source>
        <translation>輻射源發射率 ε_s</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>ε_s 的标准不确定度</source>
        <translation>ε_s 的標準不確定度</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源口径 (mm)</source>
        <translation>輻射源口徑 (mm)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源证书编号</source>
        <translation>輻射源證書編號</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>有效期至 (yyyy-MM-dd)</source>
        <translation>有效期至 (yyyy-MM-dd)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>环境温度的标准不确定度 (℃)</source>
        <translation>環境溫度的標準不確定度 (℃)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>辐射源证书的扩展不确定度 U (k = 2)</source>
        <translation>輻射源證書的擴展不確定度 U (k = 2)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>不确定度分量</source>
        <translation>不確定度分量</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>添加不确定度点</source>
        <translation>新增不確定度點</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>删除不确定度点</source>
        <translation>刪除不確定度點</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>添加分量</source>
        <translation>新增分量</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>删除分量</source>
        <translation>刪除分量</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="-10"/>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>跳过此步</source>
        <translation>略過此步</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>中止</source>
        <translation>中止</translation>
    </message>
    <message>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="-245"/>
        <source>状态</source>
        <translation>狀態</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>结果</source>
        <translation>結果</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>误差 (℃)</source>
        <translation>誤差 (℃)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>U (℃)</source>
        <translation>U (℃)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>结论</source>
        <translation>結論</translation>
    </message>
    <message>
        <location line="+79"/>
        <location line="+2"/>
        <source>中止校准</source>
        <translation>中止校正</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>中止校准？已完成的步骤仍写入报告，其余步骤记为未完成。</source>
        <translation>中止校正？已完成的步驟仍寫入報告，其餘步驟記為未完成。</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>继续校准</source>
        <translation>繼續校正</translation>
    </message>
    <message>
        <location line="+76"/>
        <source>读数已跳过</source>
        <translation>讀數已跳過</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>完成</source>
        <translation>完成</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>未稳定</source>
        <translation>未穩定</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已跳过</source>
        <translation>已跳過</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已中止</source>
        <translation>已中止</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未进行</source>
        <translation>未進行</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已暂停</source>
        <translation>已暫停</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设定中</source>
        <translation>設定中</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>等待稳定</source>
        <translation>等待穩定</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保持中 %1/%2</source>
        <translation>保持中 %1/%2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>均值 %1</source>
        <translation>均值 %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读数 %1</source>
        <translation>讀數 %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+12"/>
        <source>未评定</source>
        <translation>未評定</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>合格</source>
        <translation>合格</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不合格</source>
        <translation>不合格</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>继续</source>
        <translation>繼續</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>打开校准程序</source>
        <translation>開啟校正程式</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+8"/>
        <location line="+24"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>无法打开文件 %1</source>
        <translation>無法開啟檔案 %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无法读取校准程序 %1：
%2</source>
        <translation>無法讀取校正程式 %1：
%2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>保存校准程序</source>
        <translation>儲存校正程式</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+5"/>
        <location line="+5"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>请先添加步骤</source>
        <translation>請先新增步驟</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>请填写被测仪器：报告须写明校准的是哪台仪器。</source>
        <translation>請填寫受測儀器：報告須寫明校正的是哪台儀器。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>请填写操作员：报告须写明由谁校准。</source>
        <translation>請填寫操作員：報告須寫明由誰校正。</translation>
    </message>
</context>
<context>
    <name>CalibrationRunner</name>
    <message>
        <location filename="../../station/calibrationrunner.cpp" line="+116"/>
        <source>本程序没有被测仪器的连接</source>
        <translation>本程式沒有被測儀器的連線</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>找不到驱动文件 %1</source>
        <translation>找不到驅動檔案 %1</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>端口 %1 上的仪器无应答</source>
        <translation>連接埠 %1 上的儀器無應答</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法打开端口 %1：%2</source>
        <translation>無法開啟連接埠 %1：%2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>无法设置发射率：%1</source>
        <translation>無法設定發射率：%1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>读取发射率没有结果：%1</source>
        <translation>讀取發射率沒有結果：%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 读回发射率 %2，校准程序为 %3（容差 %4）</source>
        <translation>%1 讀回發射率 %2，校正程式為 %3（容差 %4）</translation>
    </message>
</context>
<context>
    <name>CalibrationStatus</name>
    <message>
        <location filename="../../app/calibrationstatus.cpp" line="+30"/>
        <source>校准已中止，正在写出报告…</source>
        <translation>校正已中止，正在寫出報告…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校准已完成，正在写出报告…</source>
        <translation>校正已完成，正在寫出報告…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>正在写出报告…</source>
        <translation>正在寫出報告…</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>设置成功</source>
        <translation>設定成功</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设置失败</source>
        <translation>設定失敗</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>保持期间读数不足，重新开始保持</source>
        <translation>保持期間讀數不足，重新開始保持</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>黑体离开稳定带，重新读数</source>
        <translation>黑體離開穩定帶，重新讀數</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>已暂停（控制器未确认）</source>
        <translation>已暫停（控制器未確認）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停（连接中断）</source>
        <translation>已暫停（連線中斷）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>黑体无应答，校准已暂停</source>
        <translation>黑體無回應，校正已暫停</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停（设定点未确认）</source>
        <translation>已暫停（設定點未確認）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停（被测仪器：%1）</source>
        <translation>已暫停（被測儀器：%1）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停</source>
        <translation>已暫停</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设定中</source>
        <translation>設定中</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>等待稳定</source>
        <translation>等待穩定</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>保持中，剩余 %1</source>
        <translation>保持中，剩餘 %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>读数 %1/%2</source>
        <translation>讀數 %1/%2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>等待读数</source>
        <translation>等待讀數</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>校准：第 %1/%2 步，%3</source>
        <translation>校正：第 %1/%2 步，%3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准：第 %1/%2 步，%3，结束时间待稳定后估计</source>
        <translation>校正：第 %1/%2 步，%3，結束時間待穩定後估計</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>校准：第 %1/%2 步，%3，预计 %4 结束</source>
        <translation>校正：第 %1/%2 步，%3，預計 %4 結束</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>未规定允差，不作符合性判定</source>
        <translation>未規定允差，不作符合性判定</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>总结论：未完成</source>
        <translation>總結論：未完成</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>总结论：合格</source>
        <translation>總結論：合格</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>总结论：不合格</source>
        <translation>總結論：不合格</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1（测试报告，不是校准证书）</source>
        <translation>%1（測試報告，不是校正證書）</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>校准报告已保存在 %1</source>
        <translation>校正報告已儲存在 %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校准已中止，%1，报告已保存在 %2</source>
        <translation>校正已中止，%1，報告已儲存在 %2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校准已完成，%1，报告已保存在 %2</source>
        <translation>校正已完成，%1，報告已儲存在 %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1；%2</source>
        <comment>a report&apos;s line, then why it has no machine-readable twin</comment>
        <translation>%1；%2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>校准报告尚未保存；结果已记录，下次启动时可再写出报告</source>
        <translation>校正報告尚未儲存；結果已記錄，下次啟動時可再寫出報告</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准报告尚未保存；结果已记录，曲线未能保存</source>
        <translation>校正報告尚未儲存；結果已記錄，曲線未能儲存</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准报告未保存</source>
        <translation>校正報告未儲存</translation>
    </message>
</context>
<context>
    <name>CertificateCompleteness</name>
    <message>
        <location filename="../../control/certificatecompleteness.cpp" line="+72"/>
        <source>实验室名称</source>
        <translation>實驗室名稱</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户</source>
        <translation>客戶</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被校仪器的制造商</source>
        <translation>受校儀器的製造商</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被校仪器的型号</source>
        <translation>受校儀器的型號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被校仪器的序列号</source>
        <translation>受校儀器的序號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的制造商</source>
        <translation>輻射源的製造商</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的型号</source>
        <translation>輻射源的型號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的序列号</source>
        <translation>輻射源的序號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的证书编号</source>
        <translation>輻射源的證書編號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源校准的有效期</source>
        <translation>輻射源校正的有效期</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的不确定度表</source>
        <translation>輻射源的不確定度表</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>每步一个读数时仪器重复性的声明值</source>
        <translation>每步一個讀數時儀器重複性的聲明值</translation>
    </message>
</context>
<context>
    <name>CertificateCounter</name>
    <message>
        <location filename="../../settings/certificatecounter.cpp" line="+52"/>
        <source>无法取得证书编号：计数文件 %1 无法使用（%2）。为免重复编号，本次不发编号。</source>
        <translation>無法取得證書編號：計數檔案 %1 無法使用（%2）。為免重複編號，本次不發編號。</translation>
    </message>
    <message>
        <location line="+91"/>
        <location line="+48"/>
        <source>内容不是一个编号</source>
        <translation>內容不是一個編號</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>无法锁定</source>
        <translation>無法鎖定</translation>
    </message>
</context>
<context>
    <name>ChartButtons</name>
    <message>
        <location filename="../../app/chartbuttons.cpp" line="+14"/>
        <location line="+45"/>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <location line="-44"/>
        <location line="+50"/>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <location line="-49"/>
        <source>全局</source>
        <translation>總覽</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>环温</source>
        <translation>環溫</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>继续</source>
        <translation>繼續</translation>
    </message>
</context>
<context>
    <name>ChartFileActions</name>
    <message>
        <location filename="../../chart/chartfileactions.cpp" line="+37"/>
        <location line="+14"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>当前曲线尚未保存，放弃这条曲线吗？</source>
        <translation>目前的曲線尚未儲存，要放棄這條曲線嗎？</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>放弃</source>
        <translation>放棄</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>选择文件</source>
        <translation>選擇檔案</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件(*.txt*)</source>
        <translation>文字檔(*.txt*)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>所有文件(*)</source>
        <translation>所有檔案(*)</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>保存曲线</source>
        <translation>儲存曲線</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>曲线文件 (*.txt)</source>
        <translation>曲線檔案 (*.txt)</translation>
    </message>
    <message>
        <location line="+15"/>
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
        <location line="-16"/>
        <source>导出CSV</source>
        <translation>匯出CSV</translation>
    </message>
    <message>
        <location line="-49"/>
        <location line="+51"/>
        <source>CSV文件</source>
        <translation>CSV檔案</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>PNG图片</source>
        <translation>PNG圖片</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PDF文件</source>
        <translation>PDF檔案</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>导出图片</source>
        <translation>匯出圖片</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>导出图片成功</source>
        <translation>圖片匯出成功</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>图片已保存在%1！</source>
        <translation>圖片已儲存在%1！</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>确定</source>
        <translation>確定</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
</context>
<context>
    <name>ChartSettingsDialog</name>
    <message>
        <location filename="../../dialogs/chartsettingsdialog.ui" line="+14"/>
        <source>表格设置</source>
        <translation>表格設定</translation>
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
        <location filename="../../settings/recordestimate.cpp" line="+85"/>
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
    <message>
        <location filename="../../dialogs/chartsettingsdialog.cpp" line="+68"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
</context>
<context>
    <name>ControllerQuestion</name>
    <message>
        <location filename="../../app/controllerquestion.cpp" line="+11"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>控制器的设定值从 %1 变为 %2。仍是同一台 %3 吗？</source>
        <translation>控制器的設定值從 %1 變為 %2。仍是同一台 %3 嗎？</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>是，继续</source>
        <translation>是，繼續</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>否，关闭连接</source>
        <translation>否，關閉連線</translation>
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
        <source>Ostrel黑体控制软件</source>
        <translation>Ostrel黑體控制軟體</translation>
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
        <location filename="../../app/corveltitalbar.cpp" line="+117"/>
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
    <name>CurveImage</name>
    <message>
        <location filename="../../station/curveimage.cpp" line="+23"/>
        <source>稳定</source>
        <translation>穩定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>步骤%1</source>
        <translation>步驟%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>结束</source>
        <translation>結束</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>时间(秒)</source>
        <translation>時間(秒)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度(℉)</source>
        <translation>溫度(℉)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>实温</source>
        <translation>實測溫度</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>环温</source>
        <translation>環溫</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>设定值</source>
        <translation>設定值</translation>
    </message>
</context>
<context>
    <name>CurveRecorder</name>
    <message>
        <location filename="../../recording/curverecorder.cpp" line="+191"/>
        <source>正在记录曲线，请先停止！</source>
        <translation>正在記錄曲線，請先停止！</translation>
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
    <name>EventMessageView</name>
    <message>
        <location filename="../../app/eventmessageview.cpp" line="+41"/>
        <location line="+32"/>
        <source>打开报告文件夹</source>
        <translation>開啟報告資料夾</translation>
    </message>
</context>
<context>
    <name>EventOutbox</name>
    <message>
        <location filename="../../telemetry/eventoutbox.cpp" line="+79"/>
        <source>事件无法保存在 %1：无法创建该文件夹，事件只保存在内存中</source>
        <translation>事件無法儲存在 %1：無法建立該資料夾，事件只保存在記憶體中</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+112"/>
        <location line="+14"/>
        <source>事件无法保存在 %1：%2，事件只保存在内存中</source>
        <translation>事件無法儲存在 %1：%2，事件只保存在記憶體中</translation>
    </message>
    <message>
        <location line="-100"/>
        <source>事件文件 %1 已损坏且无法移开，事件只保存在内存中</source>
        <translation>事件檔案 %1 已損壞且無法移開，事件只保存在記憶體中</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>事件文件已损坏，已移至 %1；事件从新的实例 %2 重新编号</source>
        <translation>事件檔案已損壞，已移至 %1；事件從新的實例 %2 重新編號</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>事件文件 %1 正被另一个程序使用，事件只保存在内存中</source>
        <translation>事件檔案 %1 正被另一個程式使用，事件只保存在記憶體中</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>无法整理事件文件 %1：%2</source>
        <translation>無法整理事件檔案 %1：%2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>无法写入事件文件 %1：%2</source>
        <translation>無法寫入事件檔案 %1：%2</translation>
    </message>
</context>
<context>
    <name>InstanceGuard</name>
    <message>
        <location filename="../../app/instanceguard.cpp" line="+37"/>
        <source>无法创建文件夹 %1</source>
        <translation>無法建立資料夾 %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>没有写入权限</source>
        <translation>沒有寫入權限</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>未知错误</source>
        <translation>未知錯誤</translation>
    </message>
</context>
<context>
    <name>InstrumentProbe</name>
    <message>
        <location filename="../../app/instrumentprobe.cpp" line="+19"/>
        <source>无法打开端口：%1</source>
        <translation>無法開啟連接埠：%1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>校准正在从被测仪器读数</source>
        <translation>校正正在從被測儀器讀數</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>找不到驱动文件 %1</source>
        <translation>找不到驅動檔案 %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请填写端口</source>
        <translation>請填寫連接埠</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>被测仪器无应答</source>
        <translation>被測儀器無應答</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>（无回复）</source>
        <translation>（無回覆）</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>回复 %1 → %2 ℃</source>
        <translation>回覆 %1 → %2 ℃</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>回复 %1：%2</source>
        <translation>回覆 %1：%2</translation>
    </message>
</context>
<context>
    <name>InstrumentStatus</name>
    <message>
        <location filename="../../app/instrumentstatus.cpp" line="+21"/>
        <source>被测仪器：连接中</source>
        <translation>被測儀器：連線中</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被测仪器：已连接</source>
        <translation>被測儀器：已連線</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被测仪器：无应答</source>
        <translation>被測儀器：無應答</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被测仪器：连接中断</source>
        <translation>被測儀器：連線中斷</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>仪器 …</source>
        <translation>儀器 …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>仪器 ✓</source>
        <translation>儀器 ✓</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>仪器 ✗</source>
        <translation>儀器 ✗</translation>
    </message>
</context>
<context>
    <name>LinkStatus</name>
    <message>
        <location filename="../../app/linkstatus.cpp" line="+41"/>
        <location line="+1"/>
        <source>已选择:</source>
        <translation>已選擇:</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率:</source>
        <translation>鮑率:</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <source>端口已关闭</source>
        <translation>序列埠已關閉</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>稳定 %1</source>
        <translation>穩定 %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>稳定</source>
        <translation>穩定</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未稳定</source>
        <translation>未穩定</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.ui" line="+20"/>
        <location filename="../../app/mainwindow.cpp" line="+323"/>
        <source>Ostrel黑体控制软件</source>
        <translation>Ostrel黑體控制軟體</translation>
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
        <location line="+98"/>
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
        <source>测温仪</source>
        <translation>測溫儀</translation>
    </message>
    <message>
        <location line="+269"/>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>环温</source>
        <translation>環溫</translation>
    </message>
    <message>
        <location line="+139"/>
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
        <source>保存曲线</source>
        <translation>儲存曲線</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-145"/>
        <location line="+8"/>
        <location line="+134"/>
        <location line="+267"/>
        <location line="+181"/>
        <source>打开串口</source>
        <translation>開啟序列埠</translation>
    </message>
    <message>
        <location line="-575"/>
        <location line="+8"/>
        <location line="+20"/>
        <location line="+382"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="-409"/>
        <source>无法继续记录校准结果：%1
程序意外退出时，已完成各步的结果会丢失。</source>
        <translation>無法繼續記錄校正結果：%1
程式意外結束時，已完成各步的結果會遺失。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>在恢复写入之前，这些操作不会留在审计记录中。</source>
        <translation>在恢復寫入之前，這些操作不會留在稽核記錄中。</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>第 %1 步的设定点 %2℃ 连续 %3 次未被确认，校准已暂停。请检查黑体后继续。</source>
        <translation>第 %1 步的設定點 %2℃ 連續 %3 次未被確認，校正已暫停。請檢查黑體後繼續。</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>无法读取校准记录 %1：%2</source>
        <translation>無法讀取校正紀錄 %1：%2</translation>
    </message>
    <message>
        <location line="+610"/>
        <source>远程 %1</source>
        <translation>遠端 %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设置成功：%1，%2</source>
        <translation>設定成功：%1，%2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设置失败：%1，%2</source>
        <translation>設定失敗：%1，%2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设置成功</source>
        <translation>設定成功</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设置失败,请再试一次</source>
        <translation>設定失敗，請再試一次</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>黑体尚无有效读数。请先打开黑体的串口，待读数出现后再继续校准。</source>
        <translation>黑體尚無有效讀數。請先開啟黑體的序列埠，待讀數出現後再繼續校正。</translation>
    </message>
    <message>
        <location line="-262"/>
        <source>与黑体的串口连接已中断超过一分钟（设备已断开或被拔出）。程序仍在自动重新连接，请检查连线。</source>
        <translation>與黑體的序列埠連線已中斷超過一分鐘（裝置已斷開或被拔除）。程式仍在自動重新連線，請檢查連線。</translation>
    </message>
    <message>
        <location line="-395"/>
        <location line="+629"/>
        <location line="+28"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-546"/>
        <location line="+262"/>
        <location line="+153"/>
        <source>关闭串口</source>
        <translation>關閉序列埠</translation>
    </message>
    <message>
        <location filename="../../station/openfailure.cpp" line="+9"/>
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
    <name>ManualDialog</name>
    <message>
        <location filename="../../dialogs/manualdialog.ui" line="+14"/>
        <source>使用手册</source>
        <translation>使用手冊</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>关闭</source>
        <translation>關閉</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <location filename="../../telemetry/mqttpublisher.cpp" line="+234"/>
        <source>连接超时</source>
        <translation>連線逾時</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>状态主题无效：%1</source>
        <translation>狀態主題無效：%1</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+6"/>
        <source>无法读取 CA 文件 %1</source>
        <translation>無法讀取 CA 檔案 %1</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>服务器不支持 MQTT 5，改用 MQTT 3.1.1</source>
        <translation>伺服器不支援 MQTT 5，改用 MQTT 3.1.1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>服务器拒绝连接：用户名或密码错误</source>
        <translation>伺服器拒絕連線：使用者名稱或密碼錯誤</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>服务器拒绝连接：%1</source>
        <translation>伺服器拒絕連線：%1</translation>
    </message>
    <message>
        <location line="+162"/>
        <source>无法连接到 %1:%2：%3</source>
        <translation>無法連線到 %1:%2：%3</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+12"/>
        <source>连接被关闭</source>
        <translation>連線被關閉</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>找不到该主机</source>
        <translation>找不到該主機</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 %1:%2 的 TLS 握手失败：证书被拒绝或对方不是 TLS 服务</source>
        <translation>與 %1:%2 的 TLS 交握失敗：憑證被拒絕或對方不是 TLS 服務</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>对方不是 MQTT 服务器</source>
        <translation>對方不是 MQTT 伺服器</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>服务器拒绝了事件：%1</source>
        <translation>伺服器拒絕了事件：%1</translation>
    </message>
</context>
<context>
    <name>PdfSigner</name>
    <message>
        <location filename="../../station/pdfsigner.cpp" line="+91"/>
        <source>审核</source>
        <translation>審核</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>批准</source>
        <translation>批准</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>没有签名密钥</source>
        <translation>沒有簽名金鑰</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>签名证书中没有姓名</source>
        <translation>簽名憑證中沒有姓名</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签名证书属于“%1”，而本证书的签发人是“%2”</source>
        <translation>簽名憑證屬於「%1」，而本證書的簽發人是「%2」</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>签名：%1</source>
        <translation>簽名：%1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>时间：%1 UTC</source>
        <translation>時間：%1 UTC</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>含义：%1</source>
        <translation>含義：%1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>PDF 没有页面</source>
        <translation>PDF 沒有頁面</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>无法绘制签名框</source>
        <translation>無法繪製簽名框</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>PDF 中找不到签名的位置</source>
        <translation>PDF 中找不到簽名的位置</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>签名过长</source>
        <translation>簽名過長</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+3"/>
        <source>无法签署 PDF：%1</source>
        <translation>無法簽署 PDF：%1</translation>
    </message>
</context>
<context>
    <name>QMainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-652"/>
        <source>Ostrel黑体控制软件</source>
        <translation>Ostrel黑體控制軟體</translation>
    </message>
</context>
<context>
    <name>ReadingTiles</name>
    <message>
        <location filename="../../widgets/readingtiles.cpp" line="+31"/>
        <source>测温仪</source>
        <translation>測溫儀</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>当前温度值</source>
        <translation>目前溫度值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设定温度值</source>
        <translation>設定溫度值</translation>
    </message>
</context>
<context>
    <name>RecordingJournal</name>
    <message>
        <location filename="../../recording/recordingjournal.cpp" line="+108"/>
        <source>不是曲线记录</source>
        <translation>不是曲線記錄</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>由较新版本的程序写入（格式 %1）</source>
        <translation>由較新版本的程式寫入（格式 %1）</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+5"/>
        <location line="+10"/>
        <source>曲线记录的开头已损坏</source>
        <translation>曲線記錄的開頭已損壞</translation>
    </message>
</context>
<context>
    <name>RecordingOffer</name>
    <message>
        <location filename="../../app/recordingoffer.cpp" line="+20"/>
        <source>曲线记录无法写入（%1）：程序意外退出时这条曲线会丢失。</source>
        <translation>曲線記錄無法寫入（%1）：程式意外結束時這條曲線會遺失。</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+15"/>
        <location line="+7"/>
        <location line="+13"/>
        <location line="+6"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>曲线记录 %1 无法读取：%2。文件已保留。</source>
        <translation>曲線記錄 %1 無法讀取：%2。檔案已保留。</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>发现一条未保存的曲线（开始于 %1，%2 个点）：</source>
        <translation>發現一條未儲存的曲線（開始於 %1，%2 個點）：</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>儲存</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>查看</source>
        <translation>檢視</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>丢弃</source>
        <translation>丟棄</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法删除曲线记录 %1</source>
        <translation>無法刪除曲線記錄 %1</translation>
    </message>
</context>
<context>
    <name>RemoteControlDialog</name>
    <message>
        <location filename="../../dialogs/remotecontroldialog.ui" line="+6"/>
        <source>远程控制</source>
        <translation>遠端控制</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>启用远程控制（SCPI，TCP）</source>
        <translation>啟用遠端控制（SCPI，TCP）</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>TCP 端口</source>
        <translation>TCP 連接埠</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>监听</source>
        <translation>監聽</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>只限本机</source>
        <translation>只限本機</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>网络</source>
        <translation>網路</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>允许的地址</source>
        <translation>允許的位址</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>空闲断开</source>
        <translation>閒置斷線</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>从不</source>
        <translation>從不</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> 秒</source>
        <translation> 秒</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>允许远程更改</source>
        <translation>允許遠端更改</translation>
    </message>
</context>
<context>
    <name>RemoteControlShell</name>
    <message>
        <location filename="../../app/remotecontrolshell.cpp" line="+41"/>
        <source>远程控制的设置无法使用：%1
远程控制保持关闭，请在 设置 → 远程控制 中改正。</source>
        <translation>遠端控制的設定無法使用：%1
遠端控制保持關閉，請在 設定 → 遠端控制 中改正。</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>远程控制无法使用 TCP 端口 %1：%2
程序照常运行，但不提供远程控制。</source>
        <translation>遠端控制無法使用 TCP 連接埠 %1：%2
程式照常執行，但不提供遠端控制。</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+18"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>这些地址无法识别：%1</source>
        <translation>這些位址無法識別：%1</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>远程控制：%1，%2 个客户端，已拒绝 %3 个</source>
        <translation>遠端控制：%1，%2 個用戶端，已拒絕 %3 個</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>远程控制：%1，%2 个客户端</source>
        <translation>遠端控制：%1，%2 個用戶端</translation>
    </message>
</context>
<context>
    <name>RunCertificateFields</name>
    <message>
        <location filename="../../dialogs/runcertificatefields.cpp" line="+196"/>
        <source>接收时</source>
        <translation>接收時</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>调整后</source>
        <translation>調整後</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>读数</source>
        <translation>讀數</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>参考值</source>
        <translation>參考值</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>简单接受</source>
        <translation>簡單接受</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>保护带 (w = U)</source>
        <translation>保護帶 (w = U)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设定值 (℃)</source>
        <translation>設定值 (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>U (℃)</source>
        <translation>U (℃)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>名称</source>
        <translation>名稱</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>值 (℃)</source>
        <translation>值 (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>分布 (normal/rectangular/triangular)</source>
        <translation>分佈 (normal/rectangular/triangular)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>k</source>
        <translation>k</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自由度（空为无穷）</source>
        <translation>自由度（空為無窮）</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>作用于 (reading/source)</source>
        <translation>作用於 (reading/source)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>重复性声明的依据</source>
        <translation>重複性聲明的依據</translation>
    </message>
</context>
<context>
    <name>RunReadingsFields</name>
    <message>
        <location filename="../../dialogs/runreadingsfields.cpp" line="+52"/>
        <source>读取中…</source>
        <translation>讀取中…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>手动输入</source>
        <translation>手動輸入</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>从被测仪器读取</source>
        <translation>從被測儀器讀取</translation>
    </message>
</context>
<context>
    <name>SaveResult</name>
    <message>
        <location filename="../../files/saveresult.cpp" line="+25"/>
        <source>磁盘空间不足</source>
        <translation>磁碟空間不足</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>超出磁盘配额</source>
        <translation>超出磁碟配額</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>没有写入权限</source>
        <translation>沒有寫入權限</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件系统为只读</source>
        <translation>檔案系統為唯讀</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件夹不存在</source>
        <translation>資料夾不存在</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读写错误</source>
        <translation>讀寫錯誤</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>不是普通文件</source>
        <translation>不是一般檔案</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法生成文件内容</source>
        <translation>無法產生檔案內容</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>无法保存文件 %1：%2</source>
        <translation>無法儲存檔案 %1：%2</translation>
    </message>
</context>
<context>
    <name>SetPointControl</name>
    <message>
        <location filename="../../app/setpointcontrol.cpp" line="+43"/>
        <source>校准进行中，设定点由校准程序发送</source>
        <translation>校正進行中，設定點由校正程序傳送</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>串口未打开，请先打开串口</source>
        <translation>序列埠未開啟，請先開啟序列埠</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>正在打开串口，请稍候</source>
        <translation>正在開啟序列埠，請稍候</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接已断开，正在重新连接</source>
        <translation>連線已中斷，正在重新連線</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制器未确认，请先确认是否为同一台黑体</source>
        <translation>控制器未確認，請先確認是否為同一台黑體</translation>
    </message>
</context>
<context>
    <name>SetPointSpinBox</name>
    <message>
        <location filename="../../widgets/setpointspinbox.cpp" line="+38"/>
        <source>设定范围：%1 至 %2 ℃</source>
        <translation>設定範圍：%1 至 %2 ℃</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../../settings/settings.cpp" line="+178"/>
        <source>Not a settings file</source>
        <translation>不是設定檔</translation>
    </message>
    <message>
        <location line="+166"/>
        <source>设置尚未载入</source>
        <translation>設定尚未載入</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+13"/>
        <source>无法读取的设置文件未能移开，不能覆盖</source>
        <translation>無法讀取的設定檔未能移開，不能覆蓋</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>设置文件正被另一个程序实例占用（%1）</source>
        <translation>設定檔正被另一個程式實例佔用（%1）</translation>
    </message>
</context>
<context>
    <name>SignConfirmDialog</name>
    <message>
        <location filename="../../dialogs/signconfirmdialog.ui" line="+5"/>
        <source>签署证书</source>
        <translation>簽署證書</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>证书编号</source>
        <translation>證書編號</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签发人</source>
        <translation>簽發人</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>密钥</source>
        <translation>金鑰</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签名含义</source>
        <translation>簽名含義</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>密钥密码</source>
        <translation>金鑰密碼</translation>
    </message>
    <message>
        <location filename="../../dialogs/signconfirmdialog.cpp" line="+71"/>
        <source>批准</source>
        <translation>批准</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>审核</source>
        <translation>審核</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签名</source>
        <translation>簽名</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不签名签发</source>
        <translation>不簽名簽發</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>SigningKey</name>
    <message>
        <location filename="../../station/signingkey.cpp" line="+70"/>
        <source>签名证书尚未生效</source>
        <translation>簽名憑證尚未生效</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签名证书已过期</source>
        <translation>簽名憑證已過期</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>无法读取私钥，或密码不对：%1</source>
        <translation>無法讀取私鑰，或密碼不對：%1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>私钥未加密，任何人都能用它签名：请使用有密码保护的私钥：%1</source>
        <translation>私密金鑰未加密，任何人都能用它簽名：請使用有密碼保護的私密金鑰：%1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法读取签名证书：%1</source>
        <translation>無法讀取簽名憑證：%1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>私钥与签名证书不匹配</source>
        <translation>私鑰與簽名憑證不符</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>不是 PKCS#12 文件：%1</source>
        <translation>不是 PKCS#12 檔案：%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>无法打开 PKCS#12 文件，或密码不对：%1</source>
        <translation>無法開啟 PKCS#12 檔案，或密碼不對：%1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>PKCS#12 文件中没有私钥及其证书：%1</source>
        <translation>PKCS#12 檔案中沒有私鑰及其憑證：%1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>没有签名密钥</source>
        <translation>沒有簽名金鑰</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法生成签名</source>
        <translation>無法產生簽名</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法编码签名</source>
        <translation>無法編碼簽名</translation>
    </message>
</context>
<context>
    <name>SigningSettingsDialog</name>
    <message>
        <location filename="../../dialogs/signingsettingsdialog.ui" line="+5"/>
        <location filename="../../dialogs/signingsettingsdialog.cpp" line="+109"/>
        <source>签名</source>
        <translation>簽名</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>签发校准证书时用此密钥签署 PDF。密钥的密码在每次签名时询问，不会保存。</source>
        <translation>簽發校正證書時用此金鑰簽署 PDF。金鑰的密碼在每次簽名時詢問，不會儲存。</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>密钥</source>
        <translation>金鑰</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>私钥文件 (PEM)</source>
        <translation>私鑰檔案 (PEM)</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+7"/>
        <location line="+7"/>
        <source>浏览…</source>
        <translation>瀏覽…</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>证书文件 (PEM)</source>
        <translation>憑證檔案 (PEM)</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../../dialogs/signingsettingsdialog.cpp" line="-21"/>
        <location line="+42"/>
        <source>PKCS#12 文件</source>
        <translation>PKCS#12 檔案</translation>
    </message>
    <message>
        <location filename="../../dialogs/signingsettingsdialog.cpp" line="-89"/>
        <source>选择私钥文件</source>
        <translation>選擇私鑰檔案</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PEM 文件 (*.pem *.key);;所有文件 (*)</source>
        <translation>PEM 檔案 (*.pem *.key);;所有檔案 (*)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>选择证书文件</source>
        <translation>選擇憑證檔案</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PEM 文件 (*.pem *.crt *.cer);;所有文件 (*)</source>
        <translation>PEM 檔案 (*.pem *.crt *.cer);;所有檔案 (*)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>选择 PKCS#12 文件</source>
        <translation>選擇 PKCS#12 檔案</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PKCS#12 文件 (*.p12 *.pfx);;所有文件 (*)</source>
        <translation>PKCS#12 檔案 (*.p12 *.pfx);;所有檔案 (*)</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>请选择%1</source>
        <translation>請選擇%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1不存在：%2</source>
        <translation>%1不存在：%2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>私钥文件</source>
        <translation>私鑰檔案</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>证书文件</source>
        <translation>憑證檔案</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>不签名</source>
        <translation>不簽名</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PEM 私钥和证书</source>
        <translation>PEM 私鑰和憑證</translation>
    </message>
</context>
<context>
    <name>SigningShell</name>
    <message>
        <location filename="../../app/signingshell.cpp" line="+32"/>
        <location line="+24"/>
        <location line="+12"/>
        <location line="+26"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>签发记录 (*.json)</source>
        <translation>簽發紀錄 (*.json)</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+9"/>
        <location line="+43"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-52"/>
        <source>尚未设置签名密钥：请先在 设置 → 签名 中选择。</source>
        <translation>尚未設定簽名金鑰：請先在 設定 → 簽名 中選擇。</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>选择要签署的证书</source>
        <translation>選擇要簽署的證書</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>证书 %1 已签名</source>
        <translation>證書 %1 已簽名</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择要修订的证书</source>
        <translation>選擇要修訂的證書</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>已签发修订版 %1，替代证书 %2</source>
        <translation>已簽發修訂版 %1，替代證書 %2</translation>
    </message>
</context>
<context>
    <name>Station</name>
    <message>
        <location filename="../../station/station.cpp" line="+200"/>
        <source>当前曲线尚未保存</source>
        <translation>目前曲線尚未儲存</translation>
    </message>
</context>
<context>
    <name>TelemetryDialog</name>
    <message>
        <location filename="../../dialogs/telemetrydialog.ui" line="+6"/>
        <source>数据上报</source>
        <translation>數據上報</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>MQTT 服务器</source>
        <translation>MQTT 伺服器</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>留空则不上报</source>
        <translation>留空則不上報</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>端口</source>
        <translation>連接埠</translation>
    </message>
    <message>
        <location line="+20"/>
        <location filename="../../dialogs/telemetrydialog.cpp" line="+65"/>
        <source>站名</source>
        <translation>站名</translation>
    </message>
    <message>
        <location line="+10"/>
        <location filename="../../dialogs/telemetrydialog.cpp" line="+2"/>
        <source>主题前缀</source>
        <translation>主題前綴</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>用户名</source>
        <translation>使用者名稱</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>密码</source>
        <translation>密碼</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>使用 TLS 加密</source>
        <translation>使用 TLS 加密</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../../dialogs/telemetrydialog.cpp" line="+30"/>
        <source>CA 证书文件</source>
        <translation>CA 憑證檔案</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>浏览…</source>
        <translation>瀏覽…</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>允许远程设置温度</source>
        <translation>允許遠端設定溫度</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>密码以明文保存在 config.xml 中，该文件仅对本用户可读。</source>
        <translation>密碼以明文儲存在 config.xml 中，該檔案僅供本使用者讀取。</translation>
    </message>
    <message>
        <location filename="../../dialogs/telemetrydialog.cpp" line="-38"/>
        <source>%1不能为空</source>
        <translation>%1不能為空</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1不能含有 +、#、/ 或空字符</source>
        <translation>%1不能含有 +、#、/ 或空字元</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>使用 TLS 时须选择 CA 证书文件</source>
        <translation>使用 TLS 時須選擇 CA 憑證檔案</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>证书 (*.pem *.crt);;所有文件 (*)</source>
        <translation>憑證 (*.pem *.crt);;所有檔案 (*)</translation>
    </message>
</context>
<context>
    <name>TelemetryShell</name>
    <message>
        <location filename="../../app/telemetryshell.cpp" line="+41"/>
        <location line="+20"/>
        <location line="+31"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="-50"/>
        <source>数据上报的设置无法使用：%1
数据上报保持关闭，请在 设置 → 数据上报 中改正。</source>
        <translation>數據上報的設定無法使用：%1
數據上報保持關閉，請在 設定 → 數據上報 中改正。</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>上报：已连接</source>
        <translation>上報：已連線</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上报 ✓</source>
        <translation>上報 ✓</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>上报：未连接（重试中）</source>
        <translation>上報：未連線（重試中）</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上报 ✗</source>
        <translation>上報 ✗</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>数据上报失败：%1
程序照常运行，并在后台继续尝试连接。</source>
        <translation>數據上報失敗：%1
程式照常執行，並在背景繼續嘗試連線。</translation>
    </message>
</context>
<context>
    <name>TempAreaItem</name>
    <message>
        <location filename="../../widgets/tempareaitem.ui" line="+14"/>
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
    <name>WindowAsker</name>
    <message>
        <location filename="../../app/windowasker.cpp" line="+77"/>
        <source>请先打开黑体的串口</source>
        <translation>請先開啟黑體的序列埠</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>黑体尚无经确认的读数，请稍后再开始校准</source>
        <translation>黑體尚無經確認的讀數，請稍後再開始校正</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法从被测仪器读数：%1</source>
        <translation>無法從被測儀器讀數：%1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>被测仪器的发射率与校准程序不符：%1</source>
        <translation>被測儀器的發射率與校正程式不符：%1</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+52"/>
        <location line="+23"/>
        <location line="+8"/>
        <location line="+12"/>
        <location line="+12"/>
        <location line="+26"/>
        <location line="+74"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="-202"/>
        <source>选择校准报告文件夹</source>
        <translation>選擇校正報告資料夾</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+4"/>
        <location line="+6"/>
        <location line="+10"/>
        <source>实验室</source>
        <translation>實驗室</translation>
    </message>
    <message>
        <location line="-20"/>
        <source>实验室名称（印在证书上）：</source>
        <translation>實驗室名稱（印在證書上）：</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>实验室地址：</source>
        <translation>實驗室地址：</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>证书编号前缀（1 到 12 个字母或数字）：</source>
        <translation>證書編號前綴（1 到 12 個字母或數字）：</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>国家代码（ISO 3166-1 两个字母，如 CN；机器可读证书需要）：</source>
        <translation>國家代碼（ISO 3166-1 兩個字母，如 CN；機器可讀證書需要）：</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>按当前的表格设置，曲线最多保存 %1，而本次校准至少需要 %2：报告旁的曲线会缺少开头。</source>
        <translation>依目前的表格設定，曲線最多保存 %1，而本次校正至少需要 %2：報告旁的曲線會缺少開頭。</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>改为 %1 千点、间隔 %2 后开始</source>
        <translation>改為 %1 千點、間隔 %2 後開始</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>按当前设置开始</source>
        <translation>依目前設定開始</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>取消</source>
        <translation>取消</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>辐射源的校准已于 %1 到期，证书上会注明。仍然开始吗？</source>
        <translation>輻射源的校正已於 %1 到期，證書上會註明。仍然開始嗎？</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>程序无法设置或读取被测仪器（%1）的发射率。
它已设为 %2 吗？</source>
        <translation>程式無法設定或讀取被測儀器（%1）的發射率。
它已設為 %2 嗎？</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>校准证书还缺少：
%1

可在“证书”页补全，或以测试报告继续：测试报告没有证书编号，每页注明它不是校准证书。</source>
        <translation>校正證書還缺少：
%1

可在「證書」頁補全，或以測試報告繼續：測試報告沒有證書編號，每頁註明它不是校正證書。</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>以测试报告继续</source>
        <translation>以測試報告繼續</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无法在 %1 记录校准结果：%2
程序意外退出时，结果会丢失。仍然开始吗？</source>
        <translation>無法在 %1 記錄校正結果：%2
程式意外結束時，結果會遺失。仍然開始嗎？</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>第 %1 步，设定点 %2℃</source>
        <translation>第 %1 步，設定點 %2℃</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>被测仪器没有给出读数：%1</source>
        <translation>被測儀器沒有給出讀數：%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>，第 %1/%2 个读数</source>
        <translation>，第 %1/%2 個讀數</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被测仪器的读数（℃）：</source>
        <translation>受測儀器的讀數（℃）：</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被测仪器读数</source>
        <translation>受測儀器讀數</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>没有输入读数。</source>
        <translation>沒有輸入讀數。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过读数</source>
        <translation>跳過讀數</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>中止校准</source>
        <translation>中止校正</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>尚未选择校准报告文件夹。</source>
        <translation>尚未選擇校正報告資料夾。</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准报告未能保存。
%1</source>
        <translation>校正報告未能儲存。
%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>本次结果没有校准记录：放弃后就不再保存。</source>
        <translation>本次結果沒有校正紀錄：放棄後就不再儲存。</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+46"/>
        <source>错误</source>
        <translation>錯誤</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>重试</source>
        <translation>重試</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>另存到…</source>
        <translation>另存到…</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+33"/>
        <source>稍后</source>
        <translation>稍後</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>放弃</source>
        <translation>放棄</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>选择保存校准报告的文件夹</source>
        <translation>選擇儲存校正報告的資料夾</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>有 %1 次校准的结果尚未写成报告。现在写出报告吗？</source>
        <translation>有 %1 次校正的結果尚未寫成報告。現在寫出報告嗎？</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>写出报告</source>
        <translation>寫出報告</translation>
    </message>
</context>
<context>
    <name>WindowMenus</name>
    <message>
        <location filename="../../app/windowmenus.cpp" line="+67"/>
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
        <source>导出CSV</source>
        <translation>匯出CSV</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出图片</source>
        <translation>匯出圖片</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签署已签发的证书…</source>
        <translation>簽署已簽發的證書…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修订已签发的证书…</source>
        <translation>修訂已簽發的證書…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出</source>
        <translation>結束</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>表格设置</source>
        <translation>圖表設定</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准程序</source>
        <translation>校正程式</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>远程控制</source>
        <translation>遠端控制</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据上报</source>
        <translation>數據上報</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签名</source>
        <translation>簽名</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>实验室</source>
        <translation>實驗室</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>语言</source>
        <translation>語言</translation>
    </message>
    <message>
        <location line="+1"/>
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
        <location line="+1"/>
        <source>使用手册</source>
        <translation>使用手冊</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关于</source>
        <translation>關於</translation>
    </message>
</context>
<context>
    <name>WriteFileThread</name>
    <message>
        <location filename="../../recording/writefilethread.cpp" line="+53"/>
        <source>无法识别的文件格式!</source>
        <translation>無法辨識的檔案格式!</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../app/main.cpp" line="+111"/>
        <source>提示</source>
        <translation>提示</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>配置“%1”已由另一个程序实例（进程 %2）使用，本次不启动。</source>
        <translation>設定檔“%1”已由另一個程式實例（行程 %2）使用，本次不啟動。</translation>
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
        <location filename="../../chart/ttwidget.cpp" line="+519"/>
        <source>水平缩放</source>
        <translation>水平縮放</translation>
    </message>
    <message>
        <location line="+148"/>
        <location filename="../../chart/ttwidget.cpp" line="+2"/>
        <source>垂直缩放</source>
        <translation>垂直縮放</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>保存曲线</source>
        <translation>儲存曲線</translation>
    </message>
    <message>
        <location filename="../../chart/ttwidget.cpp" line="-476"/>
        <location line="+665"/>
        <source>时间(秒)</source>
        <translation>時間(秒)</translation>
    </message>
    <message>
        <location line="-664"/>
        <location line="+97"/>
        <source>温度(℃)</source>
        <translation>溫度(℃)</translation>
    </message>
    <message>
        <location line="-78"/>
        <location line="+52"/>
        <location line="+597"/>
        <source>暂停</source>
        <translation>暫停</translation>
    </message>
    <message>
        <location line="-646"/>
        <location line="+647"/>
        <source>实温</source>
        <translation>實測溫度</translation>
    </message>
    <message>
        <location line="-644"/>
        <location line="+645"/>
        <source>环温</source>
        <translation>環溫</translation>
    </message>
    <message>
        <location line="-641"/>
        <location line="+642"/>
        <source>设定值</source>
        <translation>設定值</translation>
    </message>
    <message>
        <location line="-621"/>
        <location line="+142"/>
        <location line="+474"/>
        <source>开始</source>
        <translation>開始</translation>
    </message>
    <message>
        <location line="-615"/>
        <source>全局</source>
        <translation>總覽</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>温度(℉)</source>
        <translation>溫度(℉)</translation>
    </message>
    <message>
        <location line="+108"/>
        <location line="+463"/>
        <source>停止</source>
        <translation>停止</translation>
    </message>
    <message>
        <location line="-595"/>
        <location line="+597"/>
        <source>继续</source>
        <translation>繼續</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>正在记录曲线，请先停止！</source>
        <translation>正在記錄曲線，請先停止！</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>没有可保存的曲线</source>
        <translation>沒有可儲存的曲線</translation>
    </message>
    <message>
        <location line="-210"/>
        <location line="+228"/>
        <source>℉</source>
        <translation>℉</translation>
    </message>
    <message>
        <location line="-339"/>
        <source>稳定</source>
        <translation>穩定</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>步骤%1</source>
        <translation>步驟%1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结束</source>
        <translation>結束</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>型号: %1</source>
        <translation>型號: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设定值: %1</source>
        <translation>設定值: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+228"/>
        <source>℃</source>
        <translation>℃</translation>
    </message>
    <message>
        <location line="+65"/>
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
