<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>AboutDialog</name>
    <message>
        <location filename="../../dialogs/aboutdialog.ui" line="+20"/>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>科沃测温</source>
        <translation>Corvel Thermometry</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>版本号:1.0.0.1</source>
        <translation>Version: 1.0.0.1</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>黑体温度校准源控制程序</source>
        <translation>Blackbody calibrator control</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <location filename="../../dialogs/aboutdialog.cpp" line="+13"/>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>AmendCertificateDialog</name>
    <message>
        <location filename="../../dialogs/amendcertificatedialog.ui" line="+5"/>
        <source>修订证书</source>
        <translation>Amend a certificate</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>修订版以新的编号签发，并注明它替代的证书。只能更正客户、被校仪器和实验室的信息，测量结果不变。</source>
        <translation>The amendment is issued under a new number and names the certificate it replaces. Only the customer, the item and the lab can be corrected; the measured results stay as they are.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>证书编号</source>
        <translation>Certificate number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户</source>
        <translation>Customer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户地址</source>
        <translation>Customer address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户国家代码</source>
        <translation>Customer country code</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>制造商</source>
        <translation>Make</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>实验室名称</source>
        <translation>Lab name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>实验室地址</source>
        <translation>Lab address</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>实验室国家代码</source>
        <translation>Lab country code</translation>
    </message>
</context>
<context>
    <name>AuditRecorder</name>
    <message>
        <location filename="../../station/auditrecorder.cpp" line="+115"/>
        <source>无法读取审计记录：%1</source>
        <translation>The audit trail cannot be read: %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>审计记录第 %1 行未通过校验</source>
        <translation>Line %1 of the audit trail does not verify</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>审计记录中没有证书 %1 的签发记录</source>
        <translation>The audit trail has no issue line for certificate %1</translation>
    </message>
</context>
<context>
    <name>AuditTrail</name>
    <message>
        <location filename="../../files/audittrail.cpp" line="+26"/>
        <source>无法写入审计记录 %1（%2）。</source>
        <translation>Cannot write the audit trail %1 (%2).</translation>
    </message>
    <message>
        <location line="+176"/>
        <location line="+66"/>
        <source>最后一行已损坏</source>
        <translation>its last line is damaged</translation>
    </message>
</context>
<context>
    <name>BlackbodyLink</name>
    <message>
        <location filename="../../station/blackbodylink.cpp" line="+86"/>
        <source>黑体无应答，请检查型号、波特率和连线</source>
        <translation>No reply from the blackbody. Check the model, baud rate and cable.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接已断开，正在重新连接…</source>
        <translation>Connection lost, reconnecting…</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制器未确认，读数不作为有效值</source>
        <translation>Controller not confirmed; its readings are not taken as valid</translation>
    </message>
</context>
<context>
    <name>CalibrationCertificate</name>
    <message>
        <location filename="../../station/calibrationcertificate.cpp" line="+22"/>
        <source>未保存</source>
        <translation>not saved</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（已修改）</source>
        <translation>%1 (modified)</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>合格</source>
        <translation>PASS</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不合格（U ≥ 允差）</source>
        <translation>FAIL (U ≥ tolerance)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不合格</source>
        <translation>FAIL</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>完成</source>
        <translation>done</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>跳过</source>
        <translation>skipped</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>中止</source>
        <translation>aborted</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>未进行</source>
        <translation>not reached</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>未读数</source>
        <translation>no reading</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+16"/>
        <source>序列号 %1</source>
        <translation>serial %1</translation>
    </message>
    <message>
        <location line="+90"/>
        <source>未记录</source>
        <translation>not recorded</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>环境温度 %1 ℃ 至 %2 ℃（各步保持期间）</source>
        <translation>Ambient temperature %1 ℃ to %2 ℃ (during the dwells)</translation>
    </message>
    <message>
        <location line="-46"/>
        <location line="+28"/>
        <location line="+28"/>
        <location line="+229"/>
        <source>；</source>
        <translation>; </translation>
    </message>
    <message>
        <location line="-133"/>
        <source>校准证书</source>
        <translation>Calibration Certificate</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校准证书（校准未完成）</source>
        <translation>Calibration Certificate (calibration not completed)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>证书编号 %1</source>
        <translation>Certificate No. %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 页，共 %2 页</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>证书编号</source>
        <translation>Certificate No.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>实验室</source>
        <translation>Laboratory</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>客户</source>
        <translation>Customer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被校仪器</source>
        <translation>Item calibrated</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器状态</source>
        <translation>Condition</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>调整后</source>
        <translation>as left</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>接收时</source>
        <translation>as found</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>光谱范围</source>
        <translation>Spectral band</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>%1–%2 µm</source>
        <translation>%1–%2 µm</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器发射率设置 ε_u</source>
        <translation>Emissivity setting ε_u</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源发射率 ε_s</source>
        <translation>Source emissivity ε_s</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>测量距离</source>
        <translation>Distance</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源口径</source>
        <translation>Source aperture</translation>
    </message>
    <message>
        <location line="-98"/>
        <location line="+99"/>
        <source>分辨力</source>
        <translation>Resolution</translation>
    </message>
    <message>
        <location line="-286"/>
        <source>未评定</source>
        <translation>Not evaluated</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>%1（k = %2，ν_eff = %3）</source>
        <translation>%1 (k = %2, ν_eff = %3)</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>读数已跳过</source>
        <translation>reading skipped</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>在 ε_u = %1 下该温度无解</source>
        <translation>No solution for this temperature at ε_u = %1</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>控制器 %1，端口 %2</source>
        <translation>controller %1, port %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>（%1）</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>无读数：%1（%2 UTC）</source>
        <translation>no reading: %1 (%2 UTC)</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>%1（原始应答 %2，%3 UTC）</source>
        <translation>%1 (raw reply %2, %3 UTC)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（远程提供）</source>
        <translation>%1 (supplied remotely)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1（操作员输入）</source>
        <translation>%1 (entered by the operator)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>第 %1 步：%2</source>
        <translation>Step %1: %2</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>从被测仪器读取（%1）</source>
        <translation>read from the instrument (%1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>由操作员输入</source>
        <translation>entered by the operator</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>由远程客户端提供</source>
        <translation>supplied by a remote client</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>由操作员给定：%1 ℃（未测量）</source>
        <translation>Stated by the operator: %1 ℃ (not measured)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>其标准不确定度 %1 ℃</source>
        <translation>its standard uncertainty %1 ℃</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>辐射源校准</source>
        <translation>Source calibration</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源稳定性</source>
        <translation>Source stability</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>反射的环境温度</source>
        <translation>Reflected ambient temperature</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源发射率</source>
        <translation>Source emissivity</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读数重复性</source>
        <translation>Repeatability of the readings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>读数重复性（给定：%1）</source>
        <translation>Repeatability of the readings (stated: %1)</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>正态</source>
        <translation>normal</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>矩形</source>
        <translation>rectangular</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>三角</source>
        <translation>triangular</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>%1：%2，%3分布，除数 %4，灵敏系数 %5%6，贡献 %7 ℃，ν = %8</source>
        <translation>%1: %2, %3 distribution, divisor %4, sensitivity %5%6, contribution %7 ℃, ν = %8</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>u_c = %1 ℃，ν_eff = %2，k = %3，U = %4 ℃</source>
        <translation>u_c = %1 ℃, ν_eff = %2, k = %3, U = %4 ℃</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>测试报告</source>
        <translation>Test report</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>测试报告（校准未完成）</source>
        <translation>Test report (calibration not completed)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>本测试报告不是校准证书。</source>
        <translation>This test report is not a calibration certificate.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>本测试报告不是校准证书（缺少：%1）。</source>
        <translation>This test report is not a calibration certificate (missing: %1).</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <location line="+8"/>
        <source>审计链头 %1…</source>
        <translation>Audit head: %1…</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>读数来源</source>
        <translation>Source of readings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源</source>
        <translation>Source</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准日期</source>
        <translation>Date of calibration</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签发日期</source>
        <translation>Date of issue</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>开始时间</source>
        <translation>Started</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>操作员</source>
        <translation>Operator</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准程序文件</source>
        <translation>Program file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>曲线</source>
        <translation>Curve</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>替代证书</source>
        <translation>Replaces</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>本证书替代证书 %1，后者作废</source>
        <translation>This certificate replaces certificate %1, which is withdrawn</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校准方法</source>
        <translation>Method</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>与黑体辐射源比较。每一步的参考值是被测仪器在发射率设置 ε_u = %1 下应显示的辐射温度：由辐射源保持期间的平均温度、辐射源发射率 ε_s = %2 和环境（反射）温度，按 %3–%4 µm 波段内积分的普朗克辐射亮度求得（ε_s = ε_u 时即为辐射源温度）。</source>
        <translation>Comparison with a blackbody radiation source. Each step&apos;s reference is the radiance temperature the instrument should show at its emissivity setting ε_u = %1: found from the source&apos;s mean temperature over the dwell, its emissivity ε_s = %2 and the ambient (reflected) temperature, through Planck&apos;s radiance integrated over the %3–%4 µm band (with ε_s = ε_u it is the source&apos;s temperature).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>误差 = 读数 − 参考值。</source>
        <translation>Error = reading − reference.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>环境条件</source>
        <translation>Environmental conditions</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>溯源性</source>
        <translation>Traceability</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>辐射源经校准，证书编号 %1，有效期至 %2。</source>
        <translation>The source is calibrated under certificate %1, due %2.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准时辐射源的校准已过期。</source>
        <translation> The source&apos;s calibration was overdue at the time of calibration.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设定值 (℃)</source>
        <translation>Set point (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>参考值 (℃)</source>
        <translation>Reference (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>读数 (℃)</source>
        <translation>Reading (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>误差 (℃)</source>
        <translation>Error (℃)</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>允差为 ±%1 ℃ 或参考值的 ±%2 %，取较大者。</source>
        <translation>The tolerance is ±%1 ℃ or ±%2 % of the reference, whichever is greater. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>允差为 ±%1 ℃ 或读数平均值的 ±%2 %，取较大者。</source>
        <translation>The tolerance is ±%1 ℃ or ±%2 % of the mean reading, whichever is greater. </translation>
    </message>
    <message>
        <location line="+7"/>
        <source>判定依据未修约的测得值（误差、U 和允差），表中数值只为阅读而修约：U 取两位有效数字并向上修约，参考值、读数和误差修约到 U 的末位（误差由其未修约值修约，故一行可能相差末位一个数字），允差按给定值列出。标 * 的点按修约值看似相反的结论，仍按测得值判定。</source>
        <translation> Decisions are made on the unrounded measured values (error, U and tolerance); the table&apos;s values are rounded for reading only: U to two significant digits, rounded up; reference, reading and error to U&apos;s last digit (the error rounded from its unrounded value, so a row may differ by one in the last digit); the tolerance as given. A point marked * would seem to go the other way on the rounded values and is still decided on the measured ones.</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>扩展不确定度 U = k·u_c。合成标准不确定度 u_c 按 GUM（JCGM 100:2008）以方和根合成；各分量的灵敏系数由辐射模型在估计值 ±u 处的差分求得。包含因子 k 为 t 分布在包含概率 95.45 % 下对有效自由度 ν_eff（Welch–Satterthwaite 公式，向下取整）的分位数</source>
        <translation>The expanded uncertainty is U = k·u_c. The combined standard uncertainty u_c is the root sum of squares of the components (GUM, JCGM 100:2008); each component&apos;s sensitivity coefficient is the radiance model&apos;s difference at ±u around the estimate. The coverage factor k is the t-distribution&apos;s quantile for a coverage probability of 95.45 % at the effective degrees of freedom ν_eff (Welch–Satterthwaite, truncated to a whole number)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>；各点 ν_eff ≥ 50，取 k = 2。</source>
        <translation>; every point has ν_eff ≥ 50, so k = 2. </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>；ν_eff &lt; 50 的点在 U 旁列出 k 和 ν_eff，ν_eff ≥ 50 的点取 k = 2。</source>
        <translation>; points with ν_eff &lt; 50 give k and ν_eff beside U, those with ν_eff ≥ 50 take k = 2. </translation>
    </message>
    <message>
        <location line="+3"/>
        <source>只有一个读数的点未给定被测仪器的重复性，其 U 不含重复性。</source>
        <translation>Points with a single reading have no stated repeatability of the instrument; their U leaves it out. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>标 † 的分量两侧变化相差超过 10 %（一阶传播不再适用），取较大者。</source>
        <translation>For components marked †, the two one-sided changes differ by more than 10 % (first-order propagation no longer holds); the larger is taken.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>不确定度分量（第 %1 步，设定值 %2 ℃）</source>
        <translation>Uncertainty budget (step %1, set point %2 ℃)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>列出 U 最大的一步；其他各步的分量相同，数值随温度而变。</source>
        <translation>The step with the largest U is shown; the other steps have the same components, with values that change with temperature.</translation>
    </message>
    <message>
        <location line="-71"/>
        <source>允差 (℃)</source>
        <translation>Tolerance (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结论</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结果</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>U (℃)</source>
        <translation>U (℃)</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>未规定允差：不作符合性判定。</source>
        <translation>No tolerance given: no statement of conformity is made.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>总结论：未完成</source>
        <translation>Overall verdict: INCOMPLETE</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>总结论：并非所有点均已评定</source>
        <translation>Overall result: not all points evaluated</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>总结论：合格</source>
        <translation>Overall verdict: PASS</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>总结论：不合格</source>
        <translation>Overall verdict: FAIL</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>判定规则</source>
        <translation>Decision rule</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>保护带规则（ILAC-G8，保护带 w = U）：|误差| ≤ 允差 − U 时判为合格，否则不合格；U ≥ 允差 的点判为不合格。</source>
        <translation>Guarded acceptance (ILAC-G8, guard band w = U): PASS when |error| ≤ tolerance − U, otherwise FAIL; a point with U ≥ tolerance is FAIL. </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>简单接受规则（ILAC-G8）：|误差| ≤ 允差 时判为合格，否则不合格。</source>
        <translation>Simple acceptance (ILAC-G8): PASS when |error| ≤ tolerance, otherwise FAIL. </translation>
    </message>
    <message>
        <location line="+21"/>
        <source>测量不确定度</source>
        <translation>Measurement uncertainty</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>%1 起，%2 秒</source>
        <translation>from %1, %2 s</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>通信中断</source>
        <translation>Outages</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读数记录</source>
        <translation>Readings record</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签字人：%1&#x3000;&#x3000;签字：____________</source>
        <translation>Signatory: %1    Signature: ____________</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>本证书的结果仅与被校准的仪器有关。</source>
        <translation>The results relate only to the item calibrated.</translation>
    </message>
</context>
<context>
    <name>CalibrationJournal</name>
    <message>
        <location filename="../../control/calibrationjournal.cpp" line="+311"/>
        <source>不是可读的校准记录</source>
        <translation>Not a readable calibration journal</translation>
    </message>
</context>
<context>
    <name>CalibrationPdf</name>
    <message>
        <location filename="../../station/calibrationpdf.cpp" line="+46"/>
        <source>zh_CN</source>
        <comment>The locale name of this translation: zh_CN, zh_TW or en</comment>
        <translation>en</translation>
    </message>
</context>
<context>
    <name>CalibrationReporter</name>
    <message>
        <location filename="../../station/calibrationreporter.cpp" line="+172"/>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <location line="-9"/>
        <source>完整</source>
        <translation>Complete</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>自 %1 起（更早的部分超出了表格容量）</source>
        <translation>From %1 (earlier parts exceeded the chart capacity)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>见同名的 .txt 文件</source>
        <translation>See the .txt file of the same name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未保存（程序在校准中退出）</source>
        <translation>Not saved (program stopped during the run)</translation>
    </message>
    <message>
        <location line="+108"/>
        <source>证书编号 %1 已用于另一份证书</source>
        <translation>Certificate number %1 was already issued with other content</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+466"/>
        <location line="+8"/>
        <source>证书 %1 的曲线或图表已不在记录旁</source>
        <translation>The curve or chart of certificate %1 is no longer beside its record</translation>
    </message>
    <message>
        <location line="-373"/>
        <source>zh</source>
        <comment>ISO 639-1 code of the language certificates are written in</comment>
        <translation>en</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>签名证书属于“%1”，而本证书的签发人是“%2”</source>
        <translation>The signing certificate is %1&apos;s, but this certificate&apos;s signatory is %2</translation>
    </message>
    <message>
        <location line="+49"/>
        <source>未生成机器可读证书：未设置实验室所在的国家或地区</source>
        <translation>No machine-readable certificate: the lab&apos;s country is not set</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>证书 %1 的文件已不是签发时的文件：%2</source>
        <translation>A file of certificate %1 is no longer the file issued: %2</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>证书的签发记录已损坏</source>
        <translation>The certificate&apos;s issue record is damaged</translation>
    </message>
    <message>
        <location line="+47"/>
        <source>证书 %1 的签发记录已损坏</source>
        <translation>The issue record of certificate %1 is damaged</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>证书 %1 的 PDF 文件不在原处：%2</source>
        <translation>The PDF of certificate %1 is no longer where it was written: %2</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>证书 %1 已经签名</source>
        <translation>Certificate %1 is signed already</translation>
    </message>
    <message>
        <location line="+70"/>
        <source>没有要更正的内容</source>
        <translation>Nothing to correct</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>国家代码须为 ISO 3166-1 的两个大写字母，或留空</source>
        <translation>A country code is two capital letters as in ISO 3166-1, or empty</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>证书 %1 的修订版未写出；编号 %2 不再使用</source>
        <translation>The amended certificate replacing %1 was not written; its number %2 is not used again</translation>
    </message>
</context>
<context>
    <name>CalibrationRun</name>
    <message>
        <location filename="../../control/calibrationrun.cpp" line="+45"/>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 步：%2</source>
        <translation>Step %1: %2</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>第 %1 步，%2：%3</source>
        <translation>Step %1, %2: %3</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>应为数字</source>
        <translation>must be a number</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>必须大于零</source>
        <translation>must be greater than zero</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>不能为负数</source>
        <translation>must not be negative</translation>
    </message>
    <message>
        <location line="-4"/>
        <location line="+6"/>
        <source>不能大于 %1</source>
        <translation>must not exceed %1</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>应为文字</source>
        <translation>must be text</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>应为整数</source>
        <translation>must be a whole number</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>应为 %1 之一</source>
        <translation>must be one of %1</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>应为日期，如 2027-06-30</source>
        <translation>must be a date such as 2027-06-30</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>应为列表</source>
        <translation>must be a list</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+119"/>
        <location line="+17"/>
        <source>应为对象</source>
        <translation>must be an object</translation>
    </message>
    <message>
        <location line="-124"/>
        <source>应为 true 或 false</source>
        <translation>must be true or false</translation>
    </message>
    <message>
        <location line="+17"/>
        <location line="+37"/>
        <location line="+2"/>
        <source>缺少此项</source>
        <translation>is missing</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>不能短于 %1 秒</source>
        <translation>must not be shorter than %1 s</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>&quot;driver&quot; 需要版本 4</source>
        <translation>&quot;driver&quot; needs version 4</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>应为两个大写字母的国家代码，如 CN</source>
        <translation>must be a two-letter country code in capitals, such as CN</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>应为两个波长 [下限, 上限]（µm），下限小于上限</source>
        <translation>must be two wavelengths [low, high] in µm, low below high</translation>
    </message>
    <message>
        <location line="+25"/>
        <source>设定值应依次增大</source>
        <translation>set points must increase</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>文件缺少版本号</source>
        <translation>The file has no version number</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>版本号无效</source>
        <translation>invalid version number</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>此文件由较新版本的程序保存（版本 %1），本程序无法读取</source>
        <translation>This file was saved by a newer version of the program (version %1) and cannot be read here</translation>
    </message>
    <message>
        <location line="+145"/>
        <source>第 %1 行第 %2 列：%3</source>
        <translation>Line %1, column %2: %3</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>这不是校准程序文件</source>
        <translation>This is not a calibration program file</translation>
    </message>
    <message>
        <location line="+45"/>
        <source>应为步骤列表</source>
        <translation>must be a list of steps</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>应为一个步骤对象</source>
        <translation>must be a step object</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>不能短于一次轮询（%1 秒）</source>
        <translation>must not be shorter than one poll (%1 s)</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>%1℃ 超出型号范围 %2℃ 到 %3℃</source>
        <translation>%1℃ is outside the model&apos;s range of %2℃ to %3℃</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>第 %1 步的设定值 %2 超出该型号的精度（%3 位小数）</source>
        <translation>The set point %2 of step %1 is finer than this model sends (%3 decimals)</translation>
    </message>
</context>
<context>
    <name>CalibrationRunDialog</name>
    <message>
        <location filename="../../dialogs/calibrationrundialog.ui" line="+341"/>
        <source>客户地址</source>
        <translation>Customer address</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>客户国家代码</source>
        <translation>Customer country code</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>ISO 3166-1 两个字母，如 CN</source>
        <translation>ISO 3166-1, two letters, such as CN</translation>
    </message>
    <message>
        <location line="-344"/>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="+63"/>
        <source>校准程序</source>
        <translation>Calibration program</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>程序</source>
        <translation>Program</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>被测仪器:</source>
        <translation>Instrument under test:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>操作员:</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>距离(mm):</source>
        <translation>Distance (mm):</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>环境温度(℃):</source>
        <translation>Ambient (℃):</translation>
    </message>
    <message>
        <location line="+118"/>
        <source>设定点(℃)</source>
        <translation>Set point (℃)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>稳定范围(±℃)</source>
        <translation>Band (±℃)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>稳定时间(s)</source>
        <translation>Window (s)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>保持时间(s)</source>
        <translation>Dwell (s)</translation>
    </message>
    <message>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="+271"/>
        <source>等待读数</source>
        <translation>Wait reading</translation>
    </message>
    <message>
        <location filename="../../dialogs/calibrationrundialog.ui" line="-143"/>
        <source>仪器发射率设置 ε_u:</source>
        <translation>Instrument emissivity setting ε_u:</translation>
    </message>
    <message>
        <location line="+51"/>
        <source>读数来源:</source>
        <translation>Readings:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>驱动:</source>
        <translation>Driver:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>间隔(s):</source>
        <translation>Interval (s):</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>读取一次</source>
        <translation>Read once</translation>
    </message>
    <message>
        <location line="+57"/>
        <source>录入仪器读数</source>
        <translation>Enter instrument reading</translation>
    </message>
    <message>
        <location line="+23"/>
        <source>添加步骤</source>
        <translation>Add step</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>删除步骤</source>
        <translation>Remove step</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>上移</source>
        <translation>Move up</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>下移</source>
        <translation>Move down</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>打开...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>保存...</source>
        <translation>Save...</translation>
    </message>
    <message>
        <location line="+11"/>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="+71"/>
        <source>证书</source>
        <translation>Certificate</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>客户</source>
        <translation>Customer</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>仪器制造商</source>
        <translation>Instrument make</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>仪器型号</source>
        <translation>Instrument model</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>仪器序列号</source>
        <translation>Instrument serial number</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>仪器状态</source>
        <translation>Condition</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>分辨力 (℃)</source>
        <translation>Resolution (℃)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>光谱范围下限 (µm)</source>
        <translation>Spectral band from (µm)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>光谱范围上限 (µm)</source>
        <translation>Spectral band to (µm)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>签字人</source>
        <translation>Signatory</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>允差 (℃)</source>
        <translation>Tolerance (℃)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>允差 (%)</source>
        <translation>Tolerance (%)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>百分比取自</source>
        <translation>Percentage of</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>判定规则</source>
        <translation>Decision rule</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>每步读数个数</source>
        <translation>Readings per step</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>辐射源制造商</source>
        <translation>Source make</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源型号</source>
        <translation>Source model</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源序列号</source>
        <translation>Source serial number</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源发射率 ε_s</source>
        <translation>Source emissivity ε_s</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>ε_s 的标准不确定度</source>
        <translation>Standard uncertainty of ε_s</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源口径 (mm)</source>
        <translation>Source aperture (mm)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>辐射源证书编号</source>
        <translation>Source certificate number</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>有效期至 (yyyy-MM-dd)</source>
        <translation>Valid until (yyyy-MM-dd)</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>环境温度的标准不确定度 (℃)</source>
        <translation>Standard uncertainty of the ambient (℃)</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>辐射源证书的扩展不确定度 U (k = 2)</source>
        <translation>Expanded uncertainty U (k = 2) from the source&apos;s certificate</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>不确定度分量</source>
        <translation>Uncertainty components</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>添加不确定度点</source>
        <translation>Add uncertainty point</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>删除不确定度点</source>
        <translation>Remove uncertainty point</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>添加分量</source>
        <translation>Add component</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>删除分量</source>
        <translation>Remove component</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="-10"/>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>跳过此步</source>
        <translation>Skip step</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>中止</source>
        <translation>Abort</translation>
    </message>
    <message>
        <location filename="../../dialogs/calibrationrundialog.cpp" line="-245"/>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>结果</source>
        <translation>Result</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>误差 (℃)</source>
        <translation>Error (℃)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>U (℃)</source>
        <translation>U (℃)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>结论</source>
        <translation>Verdict</translation>
    </message>
    <message>
        <location line="+79"/>
        <location line="+2"/>
        <source>中止校准</source>
        <translation>Abort calibration</translation>
    </message>
    <message>
        <location line="-1"/>
        <source>中止校准？已完成的步骤仍写入报告，其余步骤记为未完成。</source>
        <translation>Abort the calibration? The steps already done are still written to the report; the others are marked as not done.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>继续校准</source>
        <translation>Continue calibration</translation>
    </message>
    <message>
        <location line="+76"/>
        <source>读数已跳过</source>
        <translation>reading skipped</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>未稳定</source>
        <translation>Not stable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已跳过</source>
        <translation>Skipped</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已中止</source>
        <translation>Aborted</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未进行</source>
        <translation>Not reached</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>已暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设定中</source>
        <translation>Setting</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>等待稳定</source>
        <translation>Settling</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保持中 %1/%2</source>
        <translation>Dwelling %1/%2</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>均值 %1</source>
        <translation>Mean %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>读数 %1</source>
        <translation>Reading %1</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+12"/>
        <source>未评定</source>
        <translation>Not evaluated</translation>
    </message>
    <message>
        <location line="-6"/>
        <source>合格</source>
        <translation>PASS</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>不合格</source>
        <translation>FAIL</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location line="+127"/>
        <source>打开校准程序</source>
        <translation>Open calibration program</translation>
    </message>
    <message>
        <location line="+12"/>
        <location line="+8"/>
        <location line="+24"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>无法打开文件 %1</source>
        <translation>Cannot open file %1</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无法读取校准程序 %1：
%2</source>
        <translation>Cannot read calibration program %1:
%2</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>保存校准程序</source>
        <translation>Save calibration program</translation>
    </message>
    <message>
        <location line="+22"/>
        <location line="+5"/>
        <location line="+5"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>请先添加步骤</source>
        <translation>Add a step first</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>请填写被测仪器：报告须写明校准的是哪台仪器。</source>
        <translation>Enter the instrument under test: the report must name the instrument calibrated.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>请填写操作员：报告须写明由谁校准。</source>
        <translation>Enter the operator: the report must name who calibrated.</translation>
    </message>
</context>
<context>
    <name>CalibrationRunner</name>
    <message>
        <location filename="../../station/calibrationrunner.cpp" line="+116"/>
        <source>本程序没有被测仪器的连接</source>
        <translation>This program has no link to the instrument</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>找不到驱动文件 %1</source>
        <translation>Driver file %1 not found</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>端口 %1 上的仪器无应答</source>
        <translation>The instrument on port %1 does not answer</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法打开端口 %1：%2</source>
        <translation>Cannot open port %1: %2</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>无法设置发射率：%1</source>
        <translation>Cannot set the emissivity: %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>读取发射率没有结果：%1</source>
        <translation>Reading the emissivity gave nothing: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>%1 读回发射率 %2，校准程序为 %3（容差 %4）</source>
        <translation>%1 reads back emissivity %2, the program&apos;s is %3 (tolerance %4)</translation>
    </message>
</context>
<context>
    <name>CalibrationStatus</name>
    <message>
        <location filename="../../app/calibrationstatus.cpp" line="+30"/>
        <source>校准已中止，正在写出报告…</source>
        <translation>Calibration aborted, writing the report…</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校准已完成，正在写出报告…</source>
        <translation>Calibration finished, writing the report…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>正在写出报告…</source>
        <translation>Writing the report…</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>设置成功</source>
        <translation>Set point confirmed</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设置失败</source>
        <translation>Set point not confirmed</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>保持期间读数不足，重新开始保持</source>
        <translation>Too few readings during the dwell; the dwell starts over</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>黑体离开稳定带，重新读数</source>
        <translation>Source left its band, readings start again</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>已暂停（控制器未确认）</source>
        <translation>paused (controller not confirmed)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停（连接中断）</source>
        <translation>Paused (link lost)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>黑体无应答，校准已暂停</source>
        <translation>blackbody not answering, calibration paused</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停（设定点未确认）</source>
        <translation>Paused (set point not confirmed)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停（被测仪器：%1）</source>
        <translation>Paused (instrument: %1)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>已暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设定中</source>
        <translation>Setting</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>等待稳定</source>
        <translation>Settling</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>保持中，剩余 %1</source>
        <translation>Dwelling, %1 left</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>读数 %1/%2</source>
        <translation>reading %1/%2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>等待读数</source>
        <translation>Waiting for reading</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>校准：第 %1/%2 步，%3</source>
        <translation>Calibration: step %1/%2, %3</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准：第 %1/%2 步，%3，结束时间待稳定后估计</source>
        <translation>Calibration: step %1/%2, %3, end estimated once stable</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>校准：第 %1/%2 步，%3，预计 %4 结束</source>
        <translation>Calibration: step %1/%2, %3, ends about %4</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>未规定允差，不作符合性判定</source>
        <translation>no tolerance given, no conformity stated</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>总结论：未完成</source>
        <translation>Overall verdict: INCOMPLETE</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>总结论：合格</source>
        <translation>Overall verdict: PASS</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>总结论：不合格</source>
        <translation>Overall verdict: FAIL</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1（测试报告，不是校准证书）</source>
        <translation>%1 (test report, not a calibration certificate)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>校准报告已保存在 %1</source>
        <translation>Calibration report saved in %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>校准已中止，%1，报告已保存在 %2</source>
        <translation>Calibration aborted, %1, report saved in %2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>校准已完成，%1，报告已保存在 %2</source>
        <translation>Calibration finished, %1, report saved in %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>%1；%2</source>
        <comment>a report&apos;s line, then why it has no machine-readable twin</comment>
        <translation>%1; %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>校准报告尚未保存；结果已记录，下次启动时可再写出报告</source>
        <translation>Calibration report not saved yet; the results are recorded and can be written at the next start</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准报告尚未保存；结果已记录，曲线未能保存</source>
        <translation>Calibration report not saved yet; the results are recorded, the curve could not be saved</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>校准报告未保存</source>
        <translation>Calibration report not saved</translation>
    </message>
</context>
<context>
    <name>CertificateCompleteness</name>
    <message>
        <location filename="../../control/certificatecompleteness.cpp" line="+72"/>
        <source>实验室名称</source>
        <translation>lab name</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>客户</source>
        <translation>Customer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被校仪器的制造商</source>
        <translation>instrument make</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被校仪器的型号</source>
        <translation>instrument model</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被校仪器的序列号</source>
        <translation>instrument serial number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的制造商</source>
        <translation>source make</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的型号</source>
        <translation>source model</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的序列号</source>
        <translation>source serial number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的证书编号</source>
        <translation>source certificate number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源校准的有效期</source>
        <translation>source calibration due date</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>辐射源的不确定度表</source>
        <translation>source uncertainty table</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>每步一个读数时仪器重复性的声明值</source>
        <translation>a stated repeatability of the instrument (one reading per step)</translation>
    </message>
</context>
<context>
    <name>CertificateCounter</name>
    <message>
        <location filename="../../settings/certificatecounter.cpp" line="+52"/>
        <source>无法取得证书编号：计数文件 %1 无法使用（%2）。为免重复编号，本次不发编号。</source>
        <translation>No certificate number: the counter file %1 cannot be used (%2). No number is given, so that none repeats.</translation>
    </message>
    <message>
        <location line="+91"/>
        <location line="+48"/>
        <source>内容不是一个编号</source>
        <translation>its content is not a number</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>无法锁定</source>
        <translation>cannot be locked</translation>
    </message>
</context>
<context>
    <name>ChartButtons</name>
    <message>
        <location filename="../../app/chartbuttons.cpp" line="+14"/>
        <location line="+45"/>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="-44"/>
        <location line="+50"/>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="-49"/>
        <source>全局</source>
        <translation>Overview</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>环温</source>
        <translation>Ambient</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
</context>
<context>
    <name>ChartFileActions</name>
    <message>
        <location filename="../../chart/chartfileactions.cpp" line="+37"/>
        <location line="+14"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>当前曲线尚未保存，放弃这条曲线吗？</source>
        <translation>The current curve has not been saved. Discard it?</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>放弃</source>
        <translation>Discard</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>选择文件</source>
        <translation>Select file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件(*.txt*)</source>
        <translation>Text files (*.txt*)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>所有文件(*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <location line="+24"/>
        <source>保存曲线</source>
        <translation>Save curve</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>曲线文件 (*.txt)</source>
        <translation>Curve files (*.txt)</translation>
    </message>
    <message>
        <location line="+15"/>
        <location line="+24"/>
        <source>导出数据成功</source>
        <translation>Data exported</translation>
    </message>
    <message>
        <location line="-24"/>
        <location line="+24"/>
        <source>信息已保存在%1！</source>
        <translation>Saved to %1.</translation>
    </message>
    <message>
        <location line="-16"/>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <location line="-49"/>
        <location line="+51"/>
        <source>CSV文件</source>
        <translation>CSV files</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>PNG图片</source>
        <translation>PNG images</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PDF文件</source>
        <translation>PDF files</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>导出图片</source>
        <translation>Export image</translation>
    </message>
    <message>
        <location line="+27"/>
        <source>导出图片成功</source>
        <translation>Image exported</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>图片已保存在%1！</source>
        <translation>Image saved to %1.</translation>
    </message>
    <message>
        <location line="+59"/>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>ChartSettingsDialog</name>
    <message>
        <location filename="../../dialogs/chartsettingsdialog.ui" line="+14"/>
        <source>表格设置</source>
        <translation>Chart settings</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>最大数据量:</source>
        <translation>Max. points:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>1000X</source>
        <translation>1000X</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>记录间隔:</source>
        <translation>Record interval:</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>记录时长:</source>
        <translation>Record time:</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>内存:</source>
        <translation>Memory:</translation>
    </message>
    <message>
        <location line="+32"/>
        <source>稳定范围(±℃):</source>
        <translation>Stable band (±℃):</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>稳定时长(秒):</source>
        <translation>Stable window (s):</translation>
    </message>
    <message>
        <location filename="../../settings/recordestimate.cpp" line="+85"/>
        <source>天,</source>
        <translation> d, </translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+7"/>
        <source>时,</source>
        <translation> h, </translation>
    </message>
    <message>
        <location line="-6"/>
        <location line="+7"/>
        <location line="+2"/>
        <source>分,</source>
        <translation> min, </translation>
    </message>
    <message>
        <location line="-8"/>
        <source>分</source>
        <translation> min</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>秒,</source>
        <translation> s,</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>秒</source>
        <translation> s</translation>
    </message>
    <message>
        <location filename="../../dialogs/chartsettingsdialog.cpp" line="+68"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>ControllerQuestion</name>
    <message>
        <location filename="../../app/controllerquestion.cpp" line="+11"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>控制器的设定值从 %1 变为 %2。仍是同一台 %3 吗？</source>
        <translation>The controller&apos;s set point changed from %1 to %2. Is it still the same %3?</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>是，继续</source>
        <translation>Yes, continue</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>否，关闭连接</source>
        <translation>No, close the connection</translation>
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
        <translation>Ostrel Blackbody Control</translation>
    </message>
    <message>
        <location line="+72"/>
        <source>00:00:00</source>
        <translation>00:00:00</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>帮助</source>
        <translation>Help</translation>
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
        <translation>Open curve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>保存曲线</source>
        <translation>Save curve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>仪器信息</source>
        <translation>Instrument info</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>表格设置</source>
        <translation>Chart settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>语言</source>
        <translation>Language</translation>
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
        <translation>Stable</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>步骤%1</source>
        <translation>Step %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>结束</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>时间(秒)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度(℉)</source>
        <translation>Temperature (℉)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>温度(℃)</source>
        <translation>Temperature (℃)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>实温</source>
        <translation>Measured</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>环温</source>
        <translation>Ambient</translation>
    </message>
    <message>
        <location line="+17"/>
        <source>设定值</source>
        <translation>Set point</translation>
    </message>
</context>
<context>
    <name>CurveRecorder</name>
    <message>
        <location filename="../../recording/curverecorder.cpp" line="+191"/>
        <source>正在记录曲线，请先停止！</source>
        <translation>A curve is being recorded. Stop recording first.</translation>
    </message>
</context>
<context>
    <name>DeviceInfoDialog</name>
    <message>
        <location filename="../../dialogs/deviceinfodialog.ui" line="+14"/>
        <source>设备信息</source>
        <translation>Device info</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>日期:</source>
        <translation>Date:</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>序列号:</source>
        <translation>Serial no.:</translation>
    </message>
    <message>
        <location line="+41"/>
        <source>量程:</source>
        <translation>Range:</translation>
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
        <translation>Open report folder</translation>
    </message>
</context>
<context>
    <name>EventOutbox</name>
    <message>
        <location filename="../../telemetry/eventoutbox.cpp" line="+79"/>
        <source>事件无法保存在 %1：无法创建该文件夹，事件只保存在内存中</source>
        <translation>Events cannot be kept in %1: the folder cannot be created; events are kept in memory only</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+112"/>
        <location line="+14"/>
        <source>事件无法保存在 %1：%2，事件只保存在内存中</source>
        <translation>Events cannot be kept in %1: %2; events are kept in memory only</translation>
    </message>
    <message>
        <location line="-100"/>
        <source>事件文件 %1 已损坏且无法移开，事件只保存在内存中</source>
        <translation>The event file %1 is damaged and cannot be moved aside; events are kept in memory only</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>事件文件已损坏，已移至 %1；事件从新的实例 %2 重新编号</source>
        <translation>The event file was damaged and has been moved to %1; events are numbered anew under instance %2</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>事件文件 %1 正被另一个程序使用，事件只保存在内存中</source>
        <translation>The event file %1 is in use by another program; events are kept in memory only</translation>
    </message>
    <message>
        <location line="+104"/>
        <source>无法整理事件文件 %1：%2</source>
        <translation>Cannot compact the event file %1: %2</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>无法写入事件文件 %1：%2</source>
        <translation>Cannot write the event file %1: %2</translation>
    </message>
</context>
<context>
    <name>InstanceGuard</name>
    <message>
        <location filename="../../app/instanceguard.cpp" line="+37"/>
        <source>无法创建文件夹 %1</source>
        <translation>Cannot create the folder %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>没有写入权限</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>未知错误</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>InstrumentProbe</name>
    <message>
        <location filename="../../app/instrumentprobe.cpp" line="+19"/>
        <source>无法打开端口：%1</source>
        <translation>Cannot open the port: %1</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>校准正在从被测仪器读数</source>
        <translation>A run is taking readings from the instrument</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>找不到驱动文件 %1</source>
        <translation>Driver file %1 not found</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>请填写端口</source>
        <translation>Enter a port</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>被测仪器无应答</source>
        <translation>The instrument does not answer</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>（无回复）</source>
        <translation>(no reply)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>回复 %1 → %2 ℃</source>
        <translation>Reply %1 → %2 °C</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>回复 %1：%2</source>
        <translation>Reply %1: %2</translation>
    </message>
</context>
<context>
    <name>InstrumentStatus</name>
    <message>
        <location filename="../../app/instrumentstatus.cpp" line="+21"/>
        <source>被测仪器：连接中</source>
        <translation>Instrument: connecting</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被测仪器：已连接</source>
        <translation>Instrument: connected</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被测仪器：无应答</source>
        <translation>Instrument: no answer</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>被测仪器：连接中断</source>
        <translation>Instrument: link lost</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>仪器 …</source>
        <translation>Instr. …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>仪器 ✓</source>
        <translation>Instr. ✓</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>仪器 ✗</source>
        <translation>Instr. ✗</translation>
    </message>
</context>
<context>
    <name>LinkStatus</name>
    <message>
        <location filename="../../app/linkstatus.cpp" line="+41"/>
        <location line="+1"/>
        <source>已选择:</source>
        <translation>Port: </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>波特率:</source>
        <translation>Baud rate: </translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+1"/>
        <source>端口已关闭</source>
        <translation>Port closed</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>稳定 %1</source>
        <translation>Stable %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>稳定</source>
        <translation>Stable</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>未稳定</source>
        <translation>Settling</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <location filename="../../app/mainwindow.ui" line="+20"/>
        <location filename="../../app/mainwindow.cpp" line="+323"/>
        <source>Ostrel黑体控制软件</source>
        <translation>Ostrel Blackbody Control</translation>
    </message>
    <message>
        <location line="+54"/>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设备</source>
        <translation>Device</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <location line="+15"/>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <location line="+98"/>
        <location line="+198"/>
        <source>串口号：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <location line="-154"/>
        <location line="+198"/>
        <source>波特率：</source>
        <translation>Baud rate:</translation>
    </message>
    <message>
        <location line="-160"/>
        <source>型号：</source>
        <translation>Model:</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>设置温度</source>
        <translation>Set</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>测温仪</source>
        <translation>Thermometer</translation>
    </message>
    <message>
        <location line="+269"/>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>环温</source>
        <translation>Ambient</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>全局</source>
        <translation>Overview</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>自适应</source>
        <translation>Auto fit</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>水平缩放</source>
        <translation>Zoom X</translation>
    </message>
    <message>
        <location line="+151"/>
        <source>垂直缩放</source>
        <translation>Zoom Y</translation>
    </message>
    <message>
        <location line="+145"/>
        <source>保存曲线</source>
        <translation>Save curve</translation>
    </message>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-145"/>
        <location line="+8"/>
        <location line="+134"/>
        <location line="+267"/>
        <location line="+181"/>
        <source>打开串口</source>
        <translation>Open port</translation>
    </message>
    <message>
        <location line="-575"/>
        <location line="+8"/>
        <location line="+20"/>
        <location line="+382"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-409"/>
        <source>无法继续记录校准结果：%1
程序意外退出时，已完成各步的结果会丢失。</source>
        <translation>Cannot go on recording the calibration results: %1
If the program stops unexpectedly, the results of the finished steps are lost.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>在恢复写入之前，这些操作不会留在审计记录中。</source>
        <translation>Until the trail can be written again, these acts are not recorded in it.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>第 %1 步的设定点 %2℃ 连续 %3 次未被确认，校准已暂停。请检查黑体后继续。</source>
        <translation>The set point %2℃ of step %1 was not confirmed %3 times in a row; the calibration is paused. Check the blackbody, then resume.</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>无法读取校准记录 %1：%2</source>
        <translation>Cannot read the calibration journal %1: %2</translation>
    </message>
    <message>
        <location line="+610"/>
        <source>远程 %1</source>
        <translation>remote %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设置成功：%1，%2</source>
        <translation>Set point confirmed: %1, %2</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设置失败：%1，%2</source>
        <translation>Set point not confirmed: %1, %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>设置成功</source>
        <translation>Set point confirmed</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>设置失败,请再试一次</source>
        <translation>Set point not confirmed, please try again</translation>
    </message>
    <message>
        <location line="+28"/>
        <source>黑体尚无有效读数。请先打开黑体的串口，待读数出现后再继续校准。</source>
        <translation>There is no valid reading from the blackbody yet. Open its port and wait for a reading before resuming the calibration.</translation>
    </message>
    <message>
        <location line="-262"/>
        <source>与黑体的串口连接已中断超过一分钟（设备已断开或被拔出）。程序仍在自动重新连接，请检查连线。</source>
        <translation>The serial connection to the blackbody has been lost for over a minute (device disconnected or unplugged). The program keeps reconnecting; please check the cable.</translation>
    </message>
    <message>
        <location line="-395"/>
        <location line="+629"/>
        <location line="+28"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="-546"/>
        <location line="+262"/>
        <location line="+153"/>
        <source>关闭串口</source>
        <translation>Close port</translation>
    </message>
    <message>
        <location filename="../../station/openfailure.cpp" line="+9"/>
        <source>未知错误</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>无法打开端口 %1：%2</source>
        <translation>Cannot open port %1: %2</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>当前用户无权使用该串口。请将用户加入串口设备所属的用户组 %1（例如 sudo usermod -aG %1 $USER），然后重新登录。</source>
        <translation>The current user may not use this serial port. Add the user to group %1, which owns the serial device (for example: sudo usermod -aG %1 $USER), then log in again.</translation>
    </message>
</context>
<context>
    <name>ManualDialog</name>
    <message>
        <location filename="../../dialogs/manualdialog.ui" line="+14"/>
        <source>使用手册</source>
        <translation>User manual</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>MqttPublisher</name>
    <message>
        <location filename="../../telemetry/mqttpublisher.cpp" line="+234"/>
        <source>连接超时</source>
        <translation>Connection timed out</translation>
    </message>
    <message>
        <location line="+40"/>
        <source>状态主题无效：%1</source>
        <translation>Invalid status topic: %1</translation>
    </message>
    <message>
        <location line="+13"/>
        <location line="+6"/>
        <source>无法读取 CA 文件 %1</source>
        <translation>Cannot read the CA file %1</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>服务器不支持 MQTT 5，改用 MQTT 3.1.1</source>
        <translation>The broker does not speak MQTT 5; using MQTT 3.1.1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>服务器拒绝连接：用户名或密码错误</source>
        <translation>The broker refused the connection: wrong user name or password</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>服务器拒绝连接：%1</source>
        <translation>The broker refused the connection: %1</translation>
    </message>
    <message>
        <location line="+162"/>
        <source>无法连接到 %1:%2：%3</source>
        <translation>Cannot connect to %1:%2: %3</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+12"/>
        <source>连接被关闭</source>
        <translation>The connection was closed</translation>
    </message>
    <message>
        <location line="-10"/>
        <source>找不到该主机</source>
        <translation>Host not found</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>与 %1:%2 的 TLS 握手失败：证书被拒绝或对方不是 TLS 服务</source>
        <translation>The TLS handshake with %1:%2 failed: the certificate was rejected or the other side does not speak TLS</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>对方不是 MQTT 服务器</source>
        <translation>The other side is not an MQTT broker</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>服务器拒绝了事件：%1</source>
        <translation>The broker refused an event: %1</translation>
    </message>
</context>
<context>
    <name>PdfSigner</name>
    <message>
        <location filename="../../station/pdfsigner.cpp" line="+91"/>
        <source>审核</source>
        <translation>Reviewed</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>批准</source>
        <translation>Approved</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>没有签名密钥</source>
        <translation>No signing key</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>签名证书中没有姓名</source>
        <translation>The signing certificate names nobody</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签名证书属于“%1”，而本证书的签发人是“%2”</source>
        <translation>The signing certificate is %1&apos;s, but this certificate&apos;s signatory is %2</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>签名：%1</source>
        <translation>Signed by: %1</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>时间：%1 UTC</source>
        <translation>Time: %1 UTC</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>含义：%1</source>
        <translation>Meaning: %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>PDF 没有页面</source>
        <translation>The PDF has no pages</translation>
    </message>
    <message>
        <location line="+21"/>
        <source>无法绘制签名框</source>
        <translation>The signature box cannot be drawn</translation>
    </message>
    <message>
        <location line="+30"/>
        <source>PDF 中找不到签名的位置</source>
        <translation>The place for the signature is not in the PDF</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>签名过长</source>
        <translation>The signature is too long</translation>
    </message>
    <message>
        <location line="+6"/>
        <location line="+3"/>
        <source>无法签署 PDF：%1</source>
        <translation>The PDF cannot be signed: %1</translation>
    </message>
</context>
<context>
    <name>QMainWindow</name>
    <message>
        <location filename="../../app/mainwindow.cpp" line="-652"/>
        <source>Ostrel黑体控制软件</source>
        <translation>Ostrel Blackbody Control</translation>
    </message>
</context>
<context>
    <name>ReadingTiles</name>
    <message>
        <location filename="../../widgets/readingtiles.cpp" line="+31"/>
        <source>测温仪</source>
        <translation>Thermometer</translation>
    </message>
    <message>
        <location line="+48"/>
        <source>当前温度值</source>
        <translation>Current</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>设定温度值</source>
        <translation>Set point</translation>
    </message>
</context>
<context>
    <name>RecordingJournal</name>
    <message>
        <location filename="../../recording/recordingjournal.cpp" line="+108"/>
        <source>不是曲线记录</source>
        <translation>not a curve journal</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>由较新版本的程序写入（格式 %1）</source>
        <translation>written by a newer version of the program (format %1)</translation>
    </message>
    <message>
        <location line="+5"/>
        <location line="+5"/>
        <location line="+10"/>
        <source>曲线记录的开头已损坏</source>
        <translation>the start of the curve journal is damaged</translation>
    </message>
</context>
<context>
    <name>RecordingOffer</name>
    <message>
        <location filename="../../app/recordingoffer.cpp" line="+20"/>
        <source>曲线记录无法写入（%1）：程序意外退出时这条曲线会丢失。</source>
        <translation>The curve journal cannot be written (%1): this curve would be lost if the program ended unexpectedly.</translation>
    </message>
    <message>
        <location line="+0"/>
        <location line="+15"/>
        <location line="+7"/>
        <location line="+13"/>
        <location line="+6"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="-25"/>
        <source>曲线记录 %1 无法读取：%2。文件已保留。</source>
        <translation>The curve journal %1 cannot be read: %2. The file is kept.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>发现一条未保存的曲线（开始于 %1，%2 个点）：</source>
        <translation>Found an unsaved curve (started %1, %2 points):</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>丢弃</source>
        <translation>Discard</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法删除曲线记录 %1</source>
        <translation>Cannot delete the curve journal %1</translation>
    </message>
</context>
<context>
    <name>RemoteControlDialog</name>
    <message>
        <location filename="../../dialogs/remotecontroldialog.ui" line="+6"/>
        <source>远程控制</source>
        <translation>Remote control</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>启用远程控制（SCPI，TCP）</source>
        <translation>Enable remote control (SCPI over TCP)</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>TCP 端口</source>
        <translation>TCP port</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>监听</source>
        <translation>Listen on</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>只限本机</source>
        <translation>This computer only</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>网络</source>
        <translation>Network</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>允许的地址</source>
        <translation>Allowed addresses</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>空闲断开</source>
        <translation>Close idle clients after</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>从不</source>
        <translation>Never</translation>
    </message>
    <message>
        <location line="+3"/>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <location line="+18"/>
        <source>允许远程更改</source>
        <translation>Allow remote changes</translation>
    </message>
</context>
<context>
    <name>RemoteControlShell</name>
    <message>
        <location filename="../../app/remotecontrolshell.cpp" line="+41"/>
        <source>远程控制的设置无法使用：%1
远程控制保持关闭，请在 设置 → 远程控制 中改正。</source>
        <translation>The remote control settings cannot be used: %1
Remote control stays off; correct them under Settings → Remote control.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source>远程控制无法使用 TCP 端口 %1：%2
程序照常运行，但不提供远程控制。</source>
        <translation>Remote control cannot use TCP port %1: %2
The program goes on without remote control.</translation>
    </message>
    <message>
        <location line="+9"/>
        <location line="+18"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-5"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>这些地址无法识别：%1</source>
        <translation>These addresses are not recognised: %1</translation>
    </message>
    <message>
        <location line="+29"/>
        <source>远程控制：%1，%2 个客户端，已拒绝 %3 个</source>
        <translation>Remote control: %1, %2 client(s), %3 refused</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>远程控制：%1，%2 个客户端</source>
        <translation>Remote control: %1, %2 client(s)</translation>
    </message>
</context>
<context>
    <name>RunCertificateFields</name>
    <message>
        <location filename="../../dialogs/runcertificatefields.cpp" line="+196"/>
        <source>接收时</source>
        <translation>as found</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>调整后</source>
        <translation>as left</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>读数</source>
        <translation>reading</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>参考值</source>
        <translation>reference</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>简单接受</source>
        <translation>simple acceptance</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>保护带 (w = U)</source>
        <translation>guarded (w = U)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>设定值 (℃)</source>
        <translation>Set point (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>U (℃)</source>
        <translation>U (℃)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>值 (℃)</source>
        <translation>Value (℃)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>分布 (normal/rectangular/triangular)</source>
        <translation>Distribution (normal/rectangular/triangular)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>k</source>
        <translation>k</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>自由度（空为无穷）</source>
        <translation>Degrees of freedom (empty: infinite)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>作用于 (reading/source)</source>
        <translation>Acts at (reading/source)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>重复性声明的依据</source>
        <translation>Basis of a stated repeatability</translation>
    </message>
</context>
<context>
    <name>RunReadingsFields</name>
    <message>
        <location filename="../../dialogs/runreadingsfields.cpp" line="+52"/>
        <source>读取中…</source>
        <translation>Reading…</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>手动输入</source>
        <translation>Typed</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>从被测仪器读取</source>
        <translation>From the instrument</translation>
    </message>
</context>
<context>
    <name>SaveResult</name>
    <message>
        <location filename="../../files/saveresult.cpp" line="+25"/>
        <source>磁盘空间不足</source>
        <translation>Not enough disk space</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>超出磁盘配额</source>
        <translation>Disk quota exceeded</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>没有写入权限</source>
        <translation>No permission to write</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件系统为只读</source>
        <translation>The file system is read-only</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>文件夹不存在</source>
        <translation>The folder does not exist</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>读写错误</source>
        <translation>Input/output error</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>不是普通文件</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法生成文件内容</source>
        <translation>Could not produce the file contents</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>无法保存文件 %1：%2</source>
        <translation>Cannot save the file %1: %2</translation>
    </message>
</context>
<context>
    <name>SetPointControl</name>
    <message>
        <location filename="../../app/setpointcontrol.cpp" line="+43"/>
        <source>校准进行中，设定点由校准程序发送</source>
        <translation>A calibration run is sending its own set points</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>串口未打开，请先打开串口</source>
        <translation>The port is not open: open it first</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>正在打开串口，请稍候</source>
        <translation>Opening the port, please wait</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>连接已断开，正在重新连接</source>
        <translation>Connection lost, reconnecting</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>控制器未确认，请先确认是否为同一台黑体</source>
        <translation>Controller not confirmed: confirm it is the same blackbody first</translation>
    </message>
</context>
<context>
    <name>SetPointSpinBox</name>
    <message>
        <location filename="../../widgets/setpointspinbox.cpp" line="+38"/>
        <source>设定范围：%1 至 %2 ℃</source>
        <translation>Set-point range: %1 to %2 ℃</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <location filename="../../settings/settings.cpp" line="+178"/>
        <source>Not a settings file</source>
        <translation>Not a settings file</translation>
    </message>
    <message>
        <location line="+166"/>
        <source>设置尚未载入</source>
        <translation>Settings not loaded yet</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+13"/>
        <source>无法读取的设置文件未能移开，不能覆盖</source>
        <translation>The unreadable settings file could not be moved aside and must not be overwritten</translation>
    </message>
    <message>
        <location line="-7"/>
        <source>设置文件正被另一个程序实例占用（%1）</source>
        <translation>The settings file is held by another instance of the program (%1)</translation>
    </message>
</context>
<context>
    <name>SignConfirmDialog</name>
    <message>
        <location filename="../../dialogs/signconfirmdialog.ui" line="+5"/>
        <source>签署证书</source>
        <translation>Sign the certificate</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>证书编号</source>
        <translation>Certificate number</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签发人</source>
        <translation>Signatory</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>密钥</source>
        <translation>Key</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签名含义</source>
        <translation>Meaning</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>密钥密码</source>
        <translation>Key password</translation>
    </message>
    <message>
        <location filename="../../dialogs/signconfirmdialog.cpp" line="+71"/>
        <source>批准</source>
        <translation>Approved</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>审核</source>
        <translation>Reviewed</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签名</source>
        <translation>Sign</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>不签名签发</source>
        <translation>Issue unsigned</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>SigningKey</name>
    <message>
        <location filename="../../station/signingkey.cpp" line="+70"/>
        <source>签名证书尚未生效</source>
        <translation>The signing certificate is not valid yet</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>签名证书已过期</source>
        <translation>The signing certificate has expired</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>无法读取私钥，或密码不对：%1</source>
        <translation>The key cannot be read, or the password is wrong: %1</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>私钥未加密，任何人都能用它签名：请使用有密码保护的私钥：%1</source>
        <translation>The private key is not encrypted, so anyone could sign with it: use a key protected by a password: %1</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法读取签名证书：%1</source>
        <translation>The signing certificate cannot be read: %1</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>私钥与签名证书不匹配</source>
        <translation>The key does not belong to the signing certificate</translation>
    </message>
    <message>
        <location line="+20"/>
        <source>不是 PKCS#12 文件：%1</source>
        <translation>Not a PKCS#12 file: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>无法打开 PKCS#12 文件，或密码不对：%1</source>
        <translation>The PKCS#12 file cannot be opened, or the password is wrong: %1</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>PKCS#12 文件中没有私钥及其证书：%1</source>
        <translation>The PKCS#12 file holds no key with its certificate: %1</translation>
    </message>
    <message>
        <location line="+31"/>
        <source>没有签名密钥</source>
        <translation>No signing key</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>无法生成签名</source>
        <translation>The signature cannot be made</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>无法编码签名</source>
        <translation>The signature cannot be encoded</translation>
    </message>
</context>
<context>
    <name>SigningSettingsDialog</name>
    <message>
        <location filename="../../dialogs/signingsettingsdialog.ui" line="+5"/>
        <location filename="../../dialogs/signingsettingsdialog.cpp" line="+109"/>
        <source>签名</source>
        <translation>Signing</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>签发校准证书时用此密钥签署 PDF。密钥的密码在每次签名时询问，不会保存。</source>
        <translation>Calibration certificates are signed with this key when they are issued. The key&apos;s password is asked at each signature and never stored.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>密钥</source>
        <translation>Key</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>私钥文件 (PEM)</source>
        <translation>Key file (PEM)</translation>
    </message>
    <message>
        <location line="+4"/>
        <location line="+7"/>
        <location line="+7"/>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <location line="-11"/>
        <source>证书文件 (PEM)</source>
        <translation>Certificate file (PEM)</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../../dialogs/signingsettingsdialog.cpp" line="-21"/>
        <location line="+42"/>
        <source>PKCS#12 文件</source>
        <translation>PKCS#12 file</translation>
    </message>
    <message>
        <location filename="../../dialogs/signingsettingsdialog.cpp" line="-89"/>
        <source>选择私钥文件</source>
        <translation>Choose the key file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PEM 文件 (*.pem *.key);;所有文件 (*)</source>
        <translation>PEM files (*.pem *.key);;All files (*)</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>选择证书文件</source>
        <translation>Choose the certificate file</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PEM 文件 (*.pem *.crt *.cer);;所有文件 (*)</source>
        <translation>PEM files (*.pem *.crt *.cer);;All files (*)</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>选择 PKCS#12 文件</source>
        <translation>Choose the PKCS#12 file</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>PKCS#12 文件 (*.p12 *.pfx);;所有文件 (*)</source>
        <translation>PKCS#12 files (*.p12 *.pfx);;All files (*)</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>请选择%1</source>
        <translation>Choose the %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1不存在：%2</source>
        <translation>The %1 does not exist: %2</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>私钥文件</source>
        <translation>key file</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>证书文件</source>
        <translation>certificate file</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>不签名</source>
        <translation>Do not sign</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>PEM 私钥和证书</source>
        <translation>PEM key and certificate</translation>
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
        <translation>Error</translation>
    </message>
    <message>
        <location line="-56"/>
        <source>签发记录 (*.json)</source>
        <translation>Issue records (*.json)</translation>
    </message>
    <message>
        <location line="+7"/>
        <location line="+9"/>
        <location line="+43"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="-52"/>
        <source>尚未设置签名密钥：请先在 设置 → 签名 中选择。</source>
        <translation>No signing key is set: choose one under Settings → Signing first.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>选择要签署的证书</source>
        <translation>Choose the certificate to sign</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>证书 %1 已签名</source>
        <translation>Certificate %1 is signed</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>选择要修订的证书</source>
        <translation>Choose the certificate to amend</translation>
    </message>
    <message>
        <location line="+36"/>
        <source>已签发修订版 %1，替代证书 %2</source>
        <translation>Amendment %1 issued; it replaces certificate %2</translation>
    </message>
</context>
<context>
    <name>Station</name>
    <message>
        <location filename="../../station/station.cpp" line="+200"/>
        <source>当前曲线尚未保存</source>
        <translation>The current curve has not been saved</translation>
    </message>
</context>
<context>
    <name>TelemetryDialog</name>
    <message>
        <location filename="../../dialogs/telemetrydialog.ui" line="+6"/>
        <source>数据上报</source>
        <translation>Data reporting</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>MQTT 服务器</source>
        <translation>MQTT broker</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>留空则不上报</source>
        <translation>Leave empty to report nothing</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <location line="+20"/>
        <location filename="../../dialogs/telemetrydialog.cpp" line="+65"/>
        <source>站名</source>
        <translation>Station name</translation>
    </message>
    <message>
        <location line="+10"/>
        <location filename="../../dialogs/telemetrydialog.cpp" line="+2"/>
        <source>主题前缀</source>
        <translation>Topic prefix</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>用户名</source>
        <translation>User name</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>密码</source>
        <translation>Password</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>使用 TLS 加密</source>
        <translation>Encrypt with TLS</translation>
    </message>
    <message>
        <location line="+7"/>
        <location filename="../../dialogs/telemetrydialog.cpp" line="+30"/>
        <source>CA 证书文件</source>
        <translation>CA certificate file</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>浏览…</source>
        <translation>Browse…</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>允许远程设置温度</source>
        <translation>Allow remote set points</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>密码以明文保存在 config.xml 中，该文件仅对本用户可读。</source>
        <translation>The password is stored as plain text in config.xml, which only your user can read.</translation>
    </message>
    <message>
        <location filename="../../dialogs/telemetrydialog.cpp" line="-38"/>
        <source>%1不能为空</source>
        <translation>%1 must not be empty</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1不能含有 +、#、/ 或空字符</source>
        <translation>%1 must not contain +, #, / or a NUL character</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>使用 TLS 时须选择 CA 证书文件</source>
        <translation>TLS needs a CA certificate file</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>证书 (*.pem *.crt);;所有文件 (*)</source>
        <translation>Certificates (*.pem *.crt);;All files (*)</translation>
    </message>
</context>
<context>
    <name>TelemetryShell</name>
    <message>
        <location filename="../../app/telemetryshell.cpp" line="+41"/>
        <location line="+20"/>
        <location line="+31"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-50"/>
        <source>数据上报的设置无法使用：%1
数据上报保持关闭，请在 设置 → 数据上报 中改正。</source>
        <translation>The data reporting settings cannot be used: %1
Data reporting stays off; correct them under Settings → Data reporting.</translation>
    </message>
    <message>
        <location line="+38"/>
        <source>上报：已连接</source>
        <translation>Reporting: connected</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上报 ✓</source>
        <translation>Reporting ✓</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>上报：未连接（重试中）</source>
        <translation>Reporting: not connected (retrying)</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>上报 ✗</source>
        <translation>Reporting ✗</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>数据上报失败：%1
程序照常运行，并在后台继续尝试连接。</source>
        <translation>Data reporting failed: %1
The program goes on as usual and keeps trying in the background.</translation>
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
        <translation>Please wait...</translation>
    </message>
</context>
<context>
    <name>WindowAsker</name>
    <message>
        <location filename="../../app/windowasker.cpp" line="+77"/>
        <source>请先打开黑体的串口</source>
        <translation>Open the blackbody&apos;s port first</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>黑体尚无经确认的读数，请稍后再开始校准</source>
        <translation>The blackbody has no confirmed reading yet; start the calibration a little later</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>无法从被测仪器读数：%1</source>
        <translation>Cannot take readings from the instrument: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>被测仪器的发射率与校准程序不符：%1</source>
        <translation>The instrument&apos;s emissivity does not match the program: %1</translation>
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
        <translation>Notice</translation>
    </message>
    <message>
        <location line="-202"/>
        <source>选择校准报告文件夹</source>
        <translation>Choose the calibration report folder</translation>
    </message>
    <message>
        <location line="+8"/>
        <location line="+4"/>
        <location line="+6"/>
        <location line="+10"/>
        <source>实验室</source>
        <translation>Laboratory</translation>
    </message>
    <message>
        <location line="-20"/>
        <source>实验室名称（印在证书上）：</source>
        <translation>Laboratory name (printed on certificates):</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>实验室地址：</source>
        <translation>Laboratory address:</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>证书编号前缀（1 到 12 个字母或数字）：</source>
        <translation>Certificate number prefix (1 to 12 letters or digits):</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>国家代码（ISO 3166-1 两个字母，如 CN；机器可读证书需要）：</source>
        <translation>Country code (ISO 3166-1, two letters, such as CN; the machine-readable certificate needs it):</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>按当前的表格设置，曲线最多保存 %1，而本次校准至少需要 %2：报告旁的曲线会缺少开头。</source>
        <translation>With the current chart settings the curve holds at most %1, but this calibration needs at least %2: the curve beside the report would miss its beginning.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>改为 %1 千点、间隔 %2 后开始</source>
        <translation>Change to %1 thousand points at %2, then start</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>按当前设置开始</source>
        <translation>Start with the current settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>辐射源的校准已于 %1 到期，证书上会注明。仍然开始吗？</source>
        <translation>The source&apos;s calibration was due on %1; the certificate will say so. Start anyway?</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>程序无法设置或读取被测仪器（%1）的发射率。
它已设为 %2 吗？</source>
        <translation>The program cannot set or read the emissivity of the instrument (%1).
Is it set to %2?</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>校准证书还缺少：
%1

可在“证书”页补全，或以测试报告继续：测试报告没有证书编号，每页注明它不是校准证书。</source>
        <translation>The calibration certificate still lacks:
%1

Complete them on the Certificate page, or continue with a test report: it has no certificate number and says on every page that it is not a calibration certificate.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>以测试报告继续</source>
        <translation>Continue as test report</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>无法在 %1 记录校准结果：%2
程序意外退出时，结果会丢失。仍然开始吗？</source>
        <translation>Cannot record the calibration results in %1: %2
If the program stops unexpectedly, the results are lost. Start anyway?</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>第 %1 步，设定点 %2℃</source>
        <translation>Step %1, set point %2℃</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>被测仪器没有给出读数：%1</source>
        <translation>The instrument gave no reading: %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>，第 %1/%2 个读数</source>
        <translation>, reading %1/%2</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被测仪器的读数（℃）：</source>
        <translation>Instrument&apos;s reading (℃):</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>被测仪器读数</source>
        <translation>Reading of the instrument</translation>
    </message>
    <message>
        <location line="+10"/>
        <source>没有输入读数。</source>
        <translation>No reading was entered.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>跳过读数</source>
        <translation>Skip reading</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>中止校准</source>
        <translation>Abort calibration</translation>
    </message>
    <message>
        <location line="+34"/>
        <source>尚未选择校准报告文件夹。</source>
        <translation>No folder for calibration reports has been chosen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准报告未能保存。
%1</source>
        <translation>The calibration report could not be saved.
%1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>本次结果没有校准记录：放弃后就不再保存。</source>
        <translation>These results have no journal: once given up, they are not saved.</translation>
    </message>
    <message>
        <location line="+1"/>
        <location line="+46"/>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <location line="-45"/>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>另存到…</source>
        <translation>Save to…</translation>
    </message>
    <message>
        <location line="+2"/>
        <location line="+33"/>
        <source>稍后</source>
        <translation>Later</translation>
    </message>
    <message>
        <location line="-33"/>
        <source>放弃</source>
        <translation>Give up</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>选择保存校准报告的文件夹</source>
        <translation>Choose a folder for the calibration report</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>有 %1 次校准的结果尚未写成报告。现在写出报告吗？</source>
        <translation>The results of %1 calibration run(s) have no report yet. Write the reports now?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>写出报告</source>
        <translation>Write reports</translation>
    </message>
</context>
<context>
    <name>WindowMenus</name>
    <message>
        <location filename="../../app/windowmenus.cpp" line="+67"/>
        <source>打开曲线</source>
        <translation>Open curve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>保存曲线</source>
        <translation>Save curve</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>导出图片</source>
        <translation>Export image</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签署已签发的证书…</source>
        <translation>Sign an issued certificate…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>修订已签发的证书…</source>
        <translation>Amend an issued certificate…</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>表格设置</source>
        <translation>Chart settings</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>校准程序</source>
        <translation>Calibration program</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>远程控制</source>
        <translation>Remote control</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>数据上报</source>
        <translation>Data reporting</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>签名</source>
        <translation>Signing</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>实验室</source>
        <translation>Laboratory</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>语言</source>
        <translation>Language</translation>
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
        <translation>User manual</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>关于</source>
        <translation>About</translation>
    </message>
</context>
<context>
    <name>WriteFileThread</name>
    <message>
        <location filename="../../recording/writefilethread.cpp" line="+53"/>
        <source>无法识别的文件格式!</source>
        <translation>Unrecognized file format!</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <location filename="../../app/main.cpp" line="+111"/>
        <source>提示</source>
        <translation>Notice</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>配置“%1”已由另一个程序实例（进程 %2）使用，本次不启动。</source>
        <translation>Profile “%1” is in use by another instance of the program (process %2); this one does not start.</translation>
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
        <translation>Zoom X</translation>
    </message>
    <message>
        <location line="+148"/>
        <location filename="../../chart/ttwidget.cpp" line="+2"/>
        <source>垂直缩放</source>
        <translation>Zoom Y</translation>
    </message>
    <message>
        <location line="+139"/>
        <source>保存曲线</source>
        <translation>Save curve</translation>
    </message>
    <message>
        <location filename="../../chart/ttwidget.cpp" line="-476"/>
        <location line="+665"/>
        <source>时间(秒)</source>
        <translation>Time (s)</translation>
    </message>
    <message>
        <location line="-664"/>
        <location line="+97"/>
        <source>温度(℃)</source>
        <translation>Temperature (℃)</translation>
    </message>
    <message>
        <location line="-78"/>
        <location line="+52"/>
        <location line="+597"/>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <location line="-646"/>
        <location line="+647"/>
        <source>实温</source>
        <translation>Measured</translation>
    </message>
    <message>
        <location line="-644"/>
        <location line="+645"/>
        <source>环温</source>
        <translation>Ambient</translation>
    </message>
    <message>
        <location line="-641"/>
        <location line="+642"/>
        <source>设定值</source>
        <translation>Set point</translation>
    </message>
    <message>
        <location line="-621"/>
        <location line="+142"/>
        <location line="+474"/>
        <source>开始</source>
        <translation>Start</translation>
    </message>
    <message>
        <location line="-615"/>
        <source>全局</source>
        <translation>Overview</translation>
    </message>
    <message>
        <location line="+44"/>
        <source>温度(℉)</source>
        <translation>Temperature (℉)</translation>
    </message>
    <message>
        <location line="+108"/>
        <location line="+463"/>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <location line="-595"/>
        <location line="+597"/>
        <source>继续</source>
        <translation>Resume</translation>
    </message>
    <message>
        <location line="-92"/>
        <source>正在记录曲线，请先停止！</source>
        <translation>A curve is being recorded. Stop recording first.</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>没有可保存的曲线</source>
        <translation>There is no curve to save</translation>
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
        <translation>Stable</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>步骤%1</source>
        <translation>Step %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>结束</source>
        <translation>End</translation>
    </message>
    <message>
        <location line="+105"/>
        <source>型号: %1</source>
        <translation>Model: %1</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>设定值: %1</source>
        <translation>Set point: %1</translation>
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
        <translation>Mode 1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>模式2</source>
        <translation>Mode 2</translation>
    </message>
</context>
</TS>
