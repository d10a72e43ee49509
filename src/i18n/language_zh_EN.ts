<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>CCustomPlot</name>
    <message>
        <source>范围设置</source>
        <translation>Range Set</translation>
    </message>
    <message>
        <source>X轴对数</source>
        <translation>X axis log</translation>
    </message>
    <message>
        <source>Y轴对数</source>
        <translation>Y axis log</translation>
    </message>
    <message>
        <source>y轴</source>
        <translation>y axis</translation>
    </message>
    <message>
        <source>绘图错误</source>
        <translation>Plot Error</translation>
    </message>
    <message>
        <source>“%1”中第%2个值为NAN！</source>
        <translation>The %2th value in "%1" is NAN!</translation>
    </message>
</context>
<context>
    <name>CDlgDataLimit</name>
    <message>
        <source>Dialog</source>
        <translation>Dialog</translation>
    </message>
    <message>
        <source>合格数据统计标准</source>
        <translation>Statistical standards for qualified data</translation>
    </message>
    <message>
        <source>视电阻率误差(%)</source>
        <translation>Apparent resistivity error(%)</translation>
    </message>
    <message>
        <source>相对相位误差(mrad)</source>
        <translation>Relative phase err(mrad)</translation>
    </message>
    <message>
        <source>频散率误差(%)</source>
        <translation>Dispersion rate error(%)</translation>
    </message>
    <message>
        <source>说明：误差小于设置值的通道为合格数据，否则为不合格。</source>
        <translation>Note: Channels with errors less than the set value are considered qualified data, otherwise they are unqualified.</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore Default</translation>
    </message>
    <message>
        <source>确  定</source>
        <translation>Sure</translation>
    </message>
    <message>
        <source>取  消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CDlgOkCancel</name>
    <message>
        <source>确  认</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取  消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>CDlgPlotRange</name>
    <message>
        <source>默认范围</source>
        <translation>Default range</translation>
    </message>
    <message>
        <source>自适应</source>
        <translation>Self-adaption</translation>
    </message>
    <message>
        <source>自定义</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>X轴:</source>
        <translation>X Axis:</translation>
    </message>
    <message>
        <source>Y轴:</source>
        <translation>Y Axis:</translation>
    </message>
    <message>
        <source>~</source>
        <translation>~</translation>
    </message>
    <message>
        <source>当前范围</source>
        <translation>Current Range</translation>
    </message>
    <message>
        <source>显示范围设置</source>
        <translation>Display range</translation>
    </message>
</context>
<context>
    <name>CModelRangeLimit</name>
    <message>
        <source>最小值</source>
        <translation>MinValue</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>MaxValue</translation>
    </message>
    <message>
        <source>信号振幅(mV)</source>
        <translation>Amplitude(mV)</translation>
    </message>
    <message>
        <source>视电阻率(Ω·m)</source>
        <translation>App(Ω·m)</translation>
    </message>
    <message>
        <source>相对相位(mrad)</source>
        <translation>CP(mrad)</translation>
    </message>
</context>
<context>
    <name>CModelStPos</name>
    <message>
        <source>X坐标</source>
        <translation>X Coordinate</translation>
    </message>
    <message>
        <source>Y坐标</source>
        <translation>Y Coordinate</translation>
    </message>
    <message>
        <source>经度°</source>
        <translation>Longitude°</translation>
    </message>
    <message>
        <source>纬度°</source>
        <translation>Latitude°</translation>
    </message>
    <message>
        <source>高程m</source>
        <translation>Elevation(m)</translation>
    </message>
</context>
<context>
    <name>CWdtGpsPos</name>
    <message>
        <source>位置信息</source>
        <translation>Location Information</translation>
    </message>
    <message>
        <source>分布图</source>
        <translation>Distribution M</translation>
    </message>
    <message>
        <source>隐藏点号</source>
        <translation>Hide Point Numbers</translation>
    </message>
    <message>
        <source>旋转点号</source>
        <translation>Rotate Point Numbers</translation>
    </message>
    <message>
        <source>----1通道 </source>
        <translation>----ch1</translation>
    </message>
    <message>
        <source>----2通道 </source>
        <translation>----ch2</translation>
    </message>
    <message>
        <source>----3通道 </source>
        <translation>----ch3</translation>
    </message>
    <message>
        <source>----4通道 </source>
        <translation>----ch4</translation>
    </message>
    <message>
        <source>----5通道 </source>
        <translation>----ch5</translation>
    </message>
    <message>
        <source>----6通道 </source>
        <translation>----ch6</translation>
    </message>
    <message>
        <source>关 闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>GPS位置分布图</source>
        <translation>GPS Location Distribution Map</translation>
    </message>
    <message>
        <source>东相对坐标(m)</source>
        <translation>East Relative Coordinate</translation>
    </message>
    <message>
        <source>北相对坐标(m)</source>
        <translation>North Coordinate</translation>
    </message>
    <message>
        <source>设计点位分布图</source>
        <translation>Design Point Distribution Map</translation>
    </message>
    <message>
        <source>X坐标(m)</source>
        <translation>X Coordinate(m)</translation>
    </message>
    <message>
        <source>Y坐标(m)</source>
        <translation>Y Coordinate(m)</translation>
    </message>
</context>
<context>
    <name>CWdtMain</name>
    <message>
        <source>供电数据文件，共0个</source>
        <translation>Measurement files, 0 in total</translation>
    </message>
    <message>
        <source>清空数据</source>
        <translation>clear</translation>
    </message>
    <message>
        <source>导入数据</source>
        <translation>import</translation>
    </message>
    <message>
        <source>数据导出</source>
        <translation>Export Data</translation>
    </message>
    <message>
        <source>SRS参数编辑</source>
        <translation>Edit SRS Parameters</translation>
    </message>
    <message>
        <source>采集结果</source>
        <translation>Collection results</translation>
    </message>
    <message>
        <source>时序显示</source>
        <translation>Time Series display</translation>
    </message>
    <message>
        <source>采集站分布</source>
        <translation>Station Distribution</translation>
    </message>
    <message>
        <source>拟断面图</source>
        <translation>Pseudo-section</translation>
    </message>
    <message>
        <source>供电数据文件，共%1个</source>
        <translation>Measurement files, %1 in total</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>打开文件“%1”失败！</source>
        <translation>Failed to open "%1"!</translation>
    </message>
</context>
<context>
    <name>CWdtOutput</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>范围限制</source>
        <translation>Range limitation(1st frequency)</translation>
    </message>
    <message>
        <source>误差限制</source>
        <translation>error limit(1st freq)</translation>
    </message>
    <message>
        <source>视电阻率最大误差(%)</source>
        <translation>Max app err(%)</translation>
    </message>
    <message>
        <source>相对相位最大误差(mrad)</source>
        <translation>Max cp err(mrad)</translation>
    </message>
    <message>
        <source>输入源</source>
        <translation>Input source</translation>
    </message>
    <message>
        <source>频谱数据(SRS)</source>
        <translation>Spectrum data(SRS)</translation>
    </message>
    <message>
        <source>时序数据(SMT)</source>
        <translation>Time series data(SMT)</translation>
    </message>
    <message>
        <source>时序文件目录</source>
        <translation>Ts file directory</translation>
    </message>
    <message>
        <source>输出格式</source>
        <translation>Output format</translation>
    </message>
    <message>
        <source>检查点</source>
        <translation>Checkpoints error</translation>
    </message>
    <message>
        <source>中梯扫面</source>
        <translation>1D middle gradient</translation>
    </message>
    <message>
        <source>导入坐标文件</source>
        <translation>Import coordinate file</translation>
    </message>
    <message>
        <source>二维测深</source>
        <translation>2D sounding</translation>
    </message>
    <message>
        <source>三维测深</source>
        <translation>3D sounding</translation>
    </message>
    <message>
        <source>拟断面数据</source>
        <translation>Raw section data</translation>
    </message>
    <message>
        <source>反演数据</source>
        <translation>Inversion data</translation>
    </message>
    <message>
        <source>三极装置</source>
        <translation>3 poles survey</translation>
    </message>
    <message>
        <source>四极装置</source>
        <translation>4 poles survey</translation>
    </message>
    <message>
        <source>极距组合</source>
        <translation>Pole combination</translation>
    </message>
    <message>
        <source> 平移(%)</source>
        <translation>Shift(%)</translation>
    </message>
    <message>
        <source>极距不组合</source>
        <translation>No pole combination</translation>
    </message>
    <message>
        <source>相对相位</source>
        <translation>CP</translation>
    </message>
    <message>
        <source>频散率</source>
        <translation>FS</translation>
    </message>
    <message>
        <source>相位</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>视电阻</source>
        <translation>Apparent resistance</translation>
    </message>
    <message>
        <source>视电阻率</source>
        <translation>Apparent resistivity</translation>
    </message>
    <message>
        <source>导入高程文件</source>
        <translation>Import elevation file</translation>
    </message>
    <message>
        <source>导入相对坐标</source>
        <translation>Import relative coordinates</translation>
    </message>
    <message>
        <source>最小电极距(m)</source>
        <translation>Min pole distance(m)</translation>
    </message>
    <message>
        <source>偏移X坐标(m)</source>
        <translation>Shift X coordinate(m)</translation>
    </message>
    <message>
        <source>加入系统误差</source>
        <translation>Add system err  </translation>
    </message>
    <message>
        <source>  视电阻率(%)</source>
        <translation>AppErr(%)</translation>
    </message>
    <message>
        <source>  相对相位(mrad)</source>
        <translation>CpErr(marad)</translation>
    </message>
    <message>
        <source>同时导出pyGIMLi/BERT格式(.ohm)</source>
        <translation>Also write pyGIMLi/BERT format (.ohm)</translation>
    </message>
    <message>
        <source>同时导出FDIP格式(.shm)</source>
        <translation>Also write FDIP format (.shm)</translation>
    </message>
    <message>
        <source>同时导出CRTomo/REDA格式</source>
        <translation>Also write CRTomo/REDA format</translation>
    </message>
    <message>
        <source>同时导出ResIPy格式(protocol)</source>
        <translation>Also write ResIPy protocol</translation>
    </message>
    <message>
        <source>不是数字</source>
        <translation>not a number</translation>
    </message>
    <message>
        <source>须为有限的数</source>
        <translation>must be a finite number</translation>
    </message>
    <message>
        <source>须大于%1且不大于%2</source>
        <translation>must be greater than %1 and at most %2</translation>
    </message>
    <message>
        <source>须在%1与%2之间</source>
        <translation>must be between %1 and %2</translation>
    </message>
    <message>
        <source>%1的值“%2”无效：%3</source>
        <translation>The value &quot;%2&quot; of %1 is invalid: %3</translation>
    </message>
    <message>
        <source>导出文件名</source>
        <translation>Output file name</translation>
    </message>
    <message>
        <source>导出数据</source>
        <translation>Output data</translation>
    </message>
    <message>
        <source>导出合格率</source>
        <translation>Export pass-rate</translation>
    </message>
    <message>
        <source>选择SMT目录</source>
        <translation>Choose SMT file directory</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>tips</translation>
    </message>
    <message>
        <source>打开坐标文件</source>
        <translation>Open coordinate file</translation>
    </message>
    <message>
        <source>导入坐标失败！</source>
        <translation>Failed to import coordinate!</translation>
    </message>
    <message>
        <source>打开高程文件</source>
        <translation>Open elevation file</translation>
    </message>
    <message>
        <source>导入高程失败！</source>
        <translation>Failed to import elevation!</translation>
    </message>
    <message>
        <source>导入相对坐标失败！</source>
        <translation>Failed to import relative coordinates!</translation>
    </message>
    <message>
        <source>文件警告</source>
        <translation>File warning</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>第%1个SRS数据文件装置错误!</source>
        <translation>The %1 SRS data file device error!</translation>
    </message>
    <message>
        <source>没有找到符合要求的SRS数据文件!</source>
        <translation>No matching SRS data file found !</translation>
    </message>
    <message>
        <source>读取文件%1失败!</source>
        <translation>Failed to read %1!</translation>
    </message>
    <message>
        <source>以下%1个时序文件缺失或无数据:</source>
        <translation>The following %1 files are misssing or have no data:</translation>
    </message>
    <message>
        <source>数据转换完成</source>
        <translation>Data conversion completed</translation>
    </message>
    <message>
        <source>数据导出完成</source>
        <translation>Data export completed!</translation>
    </message>
    <message>
        <source>导出完成，无有效数据!</source>
        <translation>Export completed, no valid data!</translation>
    </message>
    <message>
        <source>导出的文件名为空!</source>
        <translation>The exported file name is empty !</translation>
    </message>
    <message>
        <source>无法创建文件%1: %2</source>
        <translation>Cannot create %1: %2</translation>
    </message>
    <message>
        <source>文件%1未能完整写入: %2</source>
        <translation>%1 could not be completed: %2</translation>
    </message>
    <message>
        <source>%1所在组的谐波数与第一组不同，该组数据未导出!</source>
        <translation>The group of %1 has another harmonic count than the first group; its data were not exported!</translation>
    </message>
    <message>
        <source>%1没有可导出的谐波，该组数据未导出!</source>
        <translation>%1 has no harmonics to export; its group was not exported!</translation>
    </message>
    <message>
        <source>%1文件不支持频散率!</source>
        <translation>%1 files cannot carry the frequency effect!</translation>
    </message>
    <message>
        <source>导出已取消，文件中为取消前导出的数据。</source>
        <translation>Export cancelled; the files hold the data exported before the cancel.</translation>
    </message>
    <message>
        <source>%1所在组有频点与第一个文件不同的文件，未导出任何数据!</source>
        <translation>The group of %1 holds files with other frequency points than the first file; nothing was exported!</translation>
    </message>
    <message>
        <source>%1的频点少于两个，未导出任何数据!</source>
        <translation>%1 has fewer than two frequency points; nothing was exported!</translation>
    </message>
    <message>
        <source>%1和%2的文件名相同，无法区分它们的时序文件和检查点，未导出任何数据!</source>
        <translation>%1 and %2 have the same base name: their time series and check points cannot be told apart; nothing was exported!</translation>
    </message>
    <message>
        <source>保存目录选择</source>
        <translation>Choose save directory</translation>
    </message>
</context>
<context>
    <name>CWdtParamSrs</name>
    <message>
        <source>SRS参数编辑</source>
        <translation>Edit SRS Parameters</translation>
    </message>
    <message>
        <source>发送信号</source>
        <translation>Signal Sent</translation>
    </message>
    <message>
        <source>信号类型:</source>
        <translation>Signal type:</translation>
    </message>
    <message>
        <source>基频(Hz):</source>
        <translation>Base frequency:</translation>
    </message>
    <message>
        <source>电流输入</source>
        <translation>Input current</translation>
    </message>
    <message>
        <source>电流站采集</source>
        <translation>current station</translation>
    </message>
    <message>
        <source>手动输入电流</source>
        <translation>Manually input current</translation>
    </message>
    <message>
        <source>供电点位置</source>
        <translation>Power supply position</translation>
    </message>
    <message>
        <source> 方法:</source>
        <translation>Method:</translation>
    </message>
    <message>
        <source>工程参数</source>
        <translation>Project param</translation>
    </message>
    <message>
        <source>工区:</source>
        <translation>Workspace:</translation>
    </message>
    <message>
        <source>测线:</source>
        <translation>Line no:</translation>
    </message>
    <message>
        <source>区块号:</source>
        <translation>Block no:</translation>
    </message>
    <message>
        <source>文件名:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>测线设置</source>
        <translation>Setup of line</translation>
    </message>
    <message>
        <source>电极距(m):</source>
        <translation>MN(m):</translation>
    </message>
    <message>
        <source>  首电极坐标(m):</source>
        <translation>  1st electrode pos:</translation>
    </message>
    <message>
        <source>  AB垂距(m):</source>
        <translation>  VDistFromA:</translation>
    </message>
    <message>
        <source>保存当前</source>
        <translation>Save current</translation>
    </message>
    <message>
        <source>保存所有</source>
        <translation>Save all</translation>
    </message>
    <message>
        <source>仪器通道电极配置</source>
        <translation>The electrode configuration of Instrument channel</translation>
    </message>
    <message>
        <source>电极坐标配置</source>
        <translation>The coordinate configuration of Electrode</translation>
    </message>
    <message>
        <source>导入参数</source>
        <translation>import param</translation>
    </message>
    <message>
        <source>导出参数</source>
        <translation>Output param</translation>
    </message>
    <message>
        <source>导出网格</source>
        <translation>Recalculate</translation>
    </message>
    <message>
        <source>保存修改</source>
        <translation>Save Change</translation>
    </message>
    <message>
        <source>中梯装置</source>
        <translation>Middle gradient</translation>
    </message>
    <message>
        <source>三极装置</source>
        <translation>3 poles survey</translation>
    </message>
    <message>
        <source>四极装置</source>
        <translation>4 poles survey</translation>
    </message>
    <message>
        <source>任意装置</source>
        <translation>Any device</translation>
    </message>
    <message>
        <source>五阶扩频波</source>
        <translation>5th order spF wave</translation>
    </message>
    <message>
        <source>三阶多频波</source>
        <translation>3rd order multiF  wave</translation>
    </message>
    <message>
        <source>五阶多频波</source>
        <translation>5th order multiF  wave</translation>
    </message>
    <message>
        <source>三阶方波</source>
        <translation>3rd square wave</translation>
    </message>
    <message>
        <source>9倍双频波</source>
        <translation>9 times double frequency wave</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>tips</translation>
    </message>
    <message>
        <source>打开文件“%1”失败！</source>
        <translation>Failed to open "%1"!</translation>
    </message>
    <message>
        <source>参数无法应用到文件“%1”：%2</source>
        <translation>The parameters cannot be applied to "%1": %2</translation>
    </message>
    <message>
        <source>确认修改并覆盖文件“%1”？
注意：在修改覆盖前，建议备份原始采集数据文件！</source>
        <translation>Are you sure to modify and overwrite the file "%1"?
Note: It is recommended to back up raw file before overwrite if!</translation>
    </message>
    <message>
        <source>文件“%1”保存失败!</source>
        <translation>Failed to save "%1"!</translation>
    </message>
    <message>
        <source>文件“%1”已保存!</source>
        <translation>The file "%1" is saved!</translation>
    </message>
    <message>
        <source>原始文件已备份为“%1”。</source>
        <translation>The original file is kept as "%1".</translation>
    </message>
    <message>
        <source>确认修改并覆盖所有文件？
注意：在修改覆盖前，建议备份原始采集数据文件！</source>
        <translation>Confirm to modify and overwrite all files? Note: Before modifying and overwriting, it is recommended to back up the original collected data files!</translation>
    </message>
    <message>
        <source>所有文件已保存!</source>
        <translation>All files have been saved!</translation>
    </message>
    <message>
        <source>文件“%1”已导出到TXT文件中!</source>
        <translation>The file "%1" is exported to txt file!</translation>
    </message>
    <message>
        <source>文件“%1”导出失败!</source>
        <translation>Failed to export to file "%1"!</translation>
    </message>
    <message>
        <source>文件%1打开失败！</source>
        <translation>Failed to open file %1!</translation>
    </message>
    <message>
        <source>参数导出成功！</source>
        <translation>Successed to export param!</translation>
    </message>
    <message>
        <source>参数覆盖</source>
        <translation>Parameter coverage</translation>
    </message>
    <message>
        <source>是否仅导入测线电极相关设置?</source>
        <translation>Is it only necessary to import the settings related to the electrodes of the measuring line?</translation>
    </message>
    <message>
        <source>参数导入失败！SPM文件的电流输入方式与当前文件不同！</source>
        <translation>Failed to import param!The SPM file measures the current in another way than the displayed file!</translation>
    </message>
    <message>
        <source>参数导入失败！请检查采集站数量是否匹配！</source>
        <translation>Failed to import param!Please check that whether the number of station is matches!</translation>
    </message>
    <message>
        <source>参数导入成功！</source>
        <translation>Successed to import param!</translation>
    </message>
</context>
<context>
    <name>CWdtPseudoSection</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>View</translation>
    </message>
    <message>
        <source>测线</source>
        <translation>Line</translation>
    </message>
    <message>
        <source>频点</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>激电参数</source>
        <translation>IP quantity</translation>
    </message>
    <message>
        <source>深度</source>
        <translation>Depth</translation>
    </message>
    <message>
        <source>插值面</source>
        <translation>Surface</translation>
    </message>
    <message>
        <source>保存图片</source>
        <translation>Save picture</translation>
    </message>
    <message>
        <source>二维测深</source>
        <translation>2D sounding</translation>
    </message>
    <message>
        <source>三维测深</source>
        <translation>3D sounding</translation>
    </message>
    <message>
        <source>中梯扫面</source>
        <translation>1D middle gradient</translation>
    </message>
    <message>
        <source>相对相位</source>
        <translation>CP</translation>
    </message>
    <message>
        <source>频散率</source>
        <translation>FS</translation>
    </message>
    <message>
        <source>相位</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>-AB/5</source>
        <translation>-AB/5</translation>
    </message>
    <message>
        <source>-PC/2d5</source>
        <translation>-PC/2d5</translation>
    </message>
    <message>
        <source>n 层</source>
        <translation>n-level</translation>
    </message>
    <message>
        <source>第%1个SRS数据文件装置错误!</source>
        <translation>The %1 SRS data file device error!</translation>
    </message>
    <message>
        <source>没有找到符合要求的SRS数据文件!</source>
        <translation>No matching SRS data file found !</translation>
    </message>
    <message>
        <source>读取文件%1失败!</source>
        <translation>Failed to read %1!</translation>
    </message>
    <message>
        <source>%1和%2的文件名相同，无法区分它们的时序文件和检查点，未导出任何数据!</source>
        <translation>%1 and %2 have the same base name: their time series and check points cannot be told apart; nothing was exported!</translation>
    </message>
    <message>
        <source>视电阻率</source>
        <translation>Apparent resistivity</translation>
    </message>
    <message>
        <source>X坐标 (m)</source>
        <translation>X (m)</translation>
    </message>
    <message>
        <source>Y坐标 (m)</source>
        <translation>Y (m)</translation>
    </message>
    <message>
        <source>中点位置 (m)</source>
        <translation>Midpoint (m)</translation>
    </message>
    <message>
        <source>高程 (m)</source>
        <translation>Elevation (m)</translation>
    </message>
    <message>
        <source>拟深度 (m)</source>
        <translation>Pseudo-depth (m)</translation>
    </message>
    <message>
        <source>%1  %2  合格 %3/%4</source>
        <translation>%1  %2  passed %3/%4</translation>
    </message>
    <message>
        <source>文件: %1</source>
        <translation>File: %1</translation>
    </message>
    <message>
        <source>采集站: %1  通道: %2</source>
        <translation>Station: %1  channel: %2</translation>
    </message>
    <message>
        <source>测点: %1</source>
        <translation>Site: %1</translation>
    </message>
    <message>
        <source>位置: X %1 m, Y %2 m</source>
        <translation>Position: X %1 m, Y %2 m</translation>
    </message>
    <message>
        <source>位置: %1 m, 深度 %2</source>
        <translation>Position: %1 m, depth %2</translation>
    </message>
    <message>
        <source>误差: %1 %2</source>
        <translation>Error: %1 %2</translation>
    </message>
    <message>
        <source>不合格</source>
        <translation>Fails the limits</translation>
    </message>
    <message>
        <source>拟断面图</source>
        <translation>Pseudo-section</translation>
    </message>
    <message>
        <source>PNG 图片 (*.png);;PDF 文件 (*.pdf);;SVG 图片 (*.svg)</source>
        <translation>PNG picture (*.png);;PDF file (*.pdf);;SVG picture (*.svg)</translation>
    </message>
    <message>
        <source>图片宽度(像素)</source>
        <translation>Picture width (pixels)</translation>
    </message>
    <message>
        <source>图片高度(像素)</source>
        <translation>Picture height (pixels)</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>保存图片%1失败: %2</source>
        <translation>Failed to save the picture %1: %2</translation>
    </message>
</context>
<context>
    <name>CWdtResPlot</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>数据类型</source>
        <translation>Data type</translation>
    </message>
    <message>
        <source>误差棒</source>
        <translation>Error bar</translation>
    </message>
    <message>
        <source>连线</source>
        <translation>connector</translation>
    </message>
    <message>
        <source>电场幅值(mV)</source>
        <translation>Electric field amplitude(mV)</translation>
    </message>
    <message>
        <source>电场相位(°)</source>
        <translation>Electric field phase(°)</translation>
    </message>
    <message>
        <source>视电阻率(Ω·m)</source>
        <translation>App(Ω·m)</translation>
    </message>
    <message>
        <source>阻抗相位(°)</source>
        <translation>Impedance phase(°)</translation>
    </message>
    <message>
        <source>磁场幅值(mV)</source>
        <translation>Magnetic field amplitude(mV)</translation>
    </message>
    <message>
        <source>磁场相位(°)</source>
        <translation>Magnetic field phase(°)</translation>
    </message>
    <message>
        <source>电流振幅(A)</source>
        <translation>Current amplitude(A)</translation>
    </message>
    <message>
        <source>电流相位(°)</source>
        <translation>Current phase(°)</translation>
    </message>
    <message>
        <source>相对相位(mrad)</source>
        <translation>CP(mrad)</translation>
    </message>
    <message>
        <source>频散率(%)</source>
        <translation>Dispersion rate(%)</translation>
    </message>
</context>
<context>
    <name>CWdtResPlotSpaceSip</name>
    <message>
        <source>视电阻率+相对相位</source>
        <translation>Apparent resistivity + relative phase</translation>
    </message>
    <message>
        <source>视电阻率+频散率</source>
        <translation>Apparent resistivity + dispersion ratio</translation>
    </message>
    <message>
        <source>电场振幅+电场相位</source>
        <translation>Electric field amplitude + electric field phase</translation>
    </message>
    <message>
        <source>M位置(m)</source>
        <translation>M(m)</translation>
    </message>
</context>
<context>
    <name>CWdtResPlotSpectrum</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>拟合曲线</source>
        <translation>Fitted curves</translation>
    </message>
    <message>
        <source>频谱视图</source>
        <translation>Spectrum View</translation>
    </message>
    <message>
        <source>视电阻率+相位</source>
        <translation>Apparent resistivity + phase</translation>
    </message>
    <message>
        <source>频率(Hz)</source>
        <translation>Frequency(Hz)</translation>
    </message>
    <message>
        <source>-相位(mrad)</source>
        <translation>-Phase(mrad)</translation>
    </message>
</context>
<context>
    <name>CWdtSipResTable</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>频率:</source>
        <translation>Frequency:</translation>
    </message>
    <message>
        <source>0.25Hz</source>
        <translation>0.25Hz</translation>
    </message>
    <message>
        <source>0.0625Hz</source>
        <translation>0.0625Hz</translation>
    </message>
</context>
<context>
    <name>CWdtTsPlot</name>
    <message>
        <source>目录选择</source>
        <translation>Select Directory</translation>
    </message>
    <message>
        <source>时序目录</source>
        <translation>Ts Directory</translation>
    </message>
    <message>
        <source>更改目录</source>
        <translation>Change Dir</translation>
    </message>
    <message>
        <source>显示选择</source>
        <translation>Select the displayed channels</translation>
    </message>
    <message>
        <source>通道1</source>
        <translation>Ch1</translation>
    </message>
    <message>
        <source>通道2</source>
        <translation>Ch2</translation>
    </message>
    <message>
        <source>通道3</source>
        <translation>Ch3</translation>
    </message>
    <message>
        <source>通道4</source>
        <translation>Ch4</translation>
    </message>
    <message>
        <source>通道5</source>
        <translation>Ch5</translation>
    </message>
    <message>
        <source>通道6</source>
        <translation>Ch6</translation>
    </message>
    <message>
        <source>采集站</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>未选择SRS文件！</source>
        <translation>SRS File is not selected!</translation>
    </message>
    <message>
        <source>  起始点</source>
        <translation>Start Point</translation>
    </message>
    <message>
        <source>  显示长度</source>
        <translation>Display points</translation>
    </message>
    <message>
        <source>上一段</source>
        <translation>Prev</translation>
    </message>
    <message>
        <source>下一段</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>打开文件“%1”失败！</source>
        <translation>Failed to open "%1"!</translation>
    </message>
    <message>
        <source>SMT文件读取失败！</source>
        <translation>Failed to read SMT file!</translation>
    </message>
    <message>
        <source>采样率=%1,点数=%2,时长=%3m%4s</source>
        <translation>SampleRate=%1,Points=%2,Times=%3m%4s</translation>
    </message>
    <message>
        <source>选择SMT目录</source>
        <translation>Choose SMT file directory</translation>
    </message>
</context>
<context>
    <name>ModelPlotSelChannel</name>
    <message>
        <source>成功</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>点数不足</source>
        <translation>too few points</translation>
    </message>
    <message>
        <source>拟合失败</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>位置(m)</source>
        <translation>Position(m)</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
</context>
<context>
    <name>ModelPlotSelFreq</name>
    <message>
        <source>频点-谐波</source>
        <translation>Frequency point-harmonic</translation>
    </message>
    <message>
        <source>频率(Hz)</source>
        <translation>Frequency(Hz)</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
</context>
<context>
    <name>ModelRes</name>
    <message>
        <source>仪器_通道</source>
        <translation>Device_Channel</translation>
    </message>
    <message>
        <source>通道ID</source>
        <translation>Channel id</translation>
    </message>
    <message>
        <source>M位置(m)</source>
        <translation>M(m)</translation>
    </message>
    <message>
        <source>采集进度</source>
        <translation>Collection progress</translation>
    </message>
    <message>
        <source>电场振幅(mV)</source>
        <translation>Elec-amplitude(mV)</translation>
    </message>
    <message>
        <source>电场振幅均方差(mV)</source>
        <translation>Elec-amplitude square err(mV)</translation>
    </message>
    <message>
        <source>电场相位(°)</source>
        <translation>Elec-phase(°)</translation>
    </message>
    <message>
        <source>电场相位均方差(°)</source>
        <translation>Elec-phase square err(°)</translation>
    </message>
    <message>
        <source>视电阻率(Ω·m)</source>
        <translation>App(Ω·m)</translation>
    </message>
    <message>
        <source>视电阻率误差(%)</source>
        <translation>App err(%)</translation>
    </message>
    <message>
        <source>阻抗相位(°)</source>
        <translation>Impedance Phase(°)</translation>
    </message>
    <message>
        <source>阻抗相位均方差(°)</source>
        <translation>Impedance Phase square err(°)</translation>
    </message>
    <message>
        <source>磁场振幅(mV)</source>
        <translation>Mag-amplitude(mV)</translation>
    </message>
    <message>
        <source>磁场振幅均方差(mV)</source>
        <translation>Mag-amplitude square err(mV)</translation>
    </message>
    <message>
        <source>磁场相位(°)</source>
        <translation>Mag-phase(°)</translation>
    </message>
    <message>
        <source>磁场相位均方差(°)</source>
        <translation>Mag-phase square err(°)</translation>
    </message>
    <message>
        <source>电流振幅(A)</source>
        <translation>Cur-amplitude(A)</translation>
    </message>
    <message>
        <source>电流振幅均方差(A)</source>
        <translation>Cur-amplitude square err(A)</translation>
    </message>
    <message>
        <source>电流相位(°)</source>
        <translation>Cur-phase(°)</translation>
    </message>
    <message>
        <source>电流相位均方差(°)</source>
        <translation>Cur-phase square err(°)</translation>
    </message>
    <message>
        <source>     CP(mrad)</source>
        <translation>     CP(mrad)</translation>
    </message>
    <message>
        <source>CP_STD(mrad)</source>
        <translation>CP_STD(mrad)</translation>
    </message>
    <message>
        <source>     FS(%)</source>
        <translation>     FS(%)</translation>
    </message>
    <message>
        <source>FS_STD(%)</source>
        <translation>FS_STD(%)</translation>
    </message>
    <message>
        <source>已计算%1次</source>
        <translation>Calculated %1 times</translation>
    </message>
</context>
<context>
    <name>ModelSipDevLay</name>
    <message>
        <source>采集站</source>
        <translation>Station</translation>
    </message>
    <message>
        <source>通道号</source>
        <translation>ChInDev</translation>
    </message>
    <message>
        <source>通道类型</source>
        <translation>CH_Type</translation>
    </message>
    <message>
        <source>电道编号</source>
        <translation>E_Seq</translation>
    </message>
    <message>
        <source>M坐标(m)</source>
        <translation>Coord_M(m)</translation>
    </message>
    <message>
        <source>N坐标(m)</source>
        <translation>Coord_N(m)</translation>
    </message>
    <message>
        <source>A点垂距</source>
        <translation>VDistFromA</translation>
    </message>
    <message>
        <source>无效</source>
        <translation>invalid</translation>
    </message>
    <message>
        <source>电道</source>
        <translation>Electrical</translation>
    </message>
    <message>
        <source>磁道</source>
        <translation>Magnetic Track</translation>
    </message>
    <message>
        <source>电流</source>
        <translation>Current</translation>
    </message>
</context>
<context>
    <name>ReasonText</name>
    <message>
        <source>%1（第%2字节起）已损坏</source>
        <translation>%1 at byte %2 is damaged</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>GPS数据</source>
        <translation>GPS block</translation>
    </message>
    <message>
        <source>“%1”是文件夹</source>
        <translation>"%1" is a folder</translation>
    </message>
    <message>
        <source>不允许的操作</source>
        <translation>operation not permitted</translation>
    </message>
    <message>
        <source>不是有效的文件</source>
        <translation>not a valid file</translation>
    </message>
    <message>
        <source>写入文件“%1”失败</source>
        <translation>writing the file "%1" failed</translation>
    </message>
    <message>
        <source>单频计算结果</source>
        <translation>single-frequency result</translation>
    </message>
    <message>
        <source>只读文件系统</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>多频组合计算结果</source>
        <translation>composed-frequency result</translation>
    </message>
    <message>
        <source>打开的文件过多</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>数据</source>
        <translation>data</translation>
    </message>
    <message>
        <source>文件名中没有可用作输出名的部分</source>
        <translation>the file name has no part to name the output after</translation>
    </message>
    <message>
        <source>文件名为空</source>
        <translation>the file name is empty</translation>
    </message>
    <message>
        <source>文件名过长</source>
        <translation>file name too long</translation>
    </message>
    <message>
        <source>文件头</source>
        <translation>start of file</translation>
    </message>
    <message>
        <source>文件或文件夹不存在</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>无法在文件夹“%1”中创建文件</source>
        <translation>cannot create a file in the folder "%1"</translation>
    </message>
    <message>
        <source>无法备份原始文件“%1”</source>
        <translation>cannot keep a backup of the original file "%1"</translation>
    </message>
    <message>
        <source>无法打开文件</source>
        <translation>cannot open the file</translation>
    </message>
    <message>
        <source>无法替换文件“%1”</source>
        <translation>cannot replace the file "%1"</translation>
    </message>
    <message>
        <source>是文件夹</source>
        <translation>is a folder</translation>
    </message>
    <message>
        <source>未找到电流数据“%1”</source>
        <translation>current data not found: "%1"</translation>
    </message>
    <message>
        <source>权限不足</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>测量参数</source>
        <translation>measurement record</translation>
    </message>
    <message>
        <source>版本号</source>
        <translation>version</translation>
    </message>
    <message>
        <source>电压频谱</source>
        <translation>voltage spectra</translation>
    </message>
    <message>
        <source>电极列表</source>
        <translation>electrode list</translation>
    </message>
    <message>
        <source>电流频谱</source>
        <translation>current spectra</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>第%1行无法读取</source>
        <translation>line %1 cannot be read</translation>
    </message>
    <message>
        <source>第%1行有%2个字段，应为%3个</source>
        <translation>line %1 has %2 fields, %3 expected</translation>
    </message>
    <message>
        <source>第%1行含有NUL字节</source>
        <translation>line %1 holds a NUL byte</translation>
    </message>
    <message>
        <source>编辑的参数有%1个采集站，文件有%2个</source>
        <translation>the edited parameters hold %1 stations, the file %2</translation>
    </message>
    <message>
        <source>自然电位数据</source>
        <translation>self-potential block</translation>
    </message>
    <message>
        <source>谐波数或电流系数不可用，无法从时序重计算</source>
        <translation>cannot be recalculated from the time series: harmonic count or current factor unusable</translation>
    </message>
    <message>
        <source>超出磁盘配额</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>路径中有一部分不是文件夹</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>输入输出错误</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>输出文件“%1”已由本次写入的“%2”占用</source>
        <translation>the output file "%1" was written from "%2" in this run</translation>
    </message>
    <message>
        <source>通道增益</source>
        <translation>channel gains</translation>
    </message>
    <message>
        <source>采样数据</source>
        <translation>samples</translation>
    </message>
    <message>
        <source>采集站参数</source>
        <translation>station record</translation>
    </message>
    <message>
        <source>采集站参数表</source>
        <translation>station records</translation>
    </message>
    <message>
        <source>第%1个采集站的名称或通道数与编辑的文件不同</source>
        <translation>station %1 differs from the edited file in its name or channel count</translation>
    </message>
</context>
<context>
    <name>TableDevPoleModel</name>
    <message>
        <source>仪器号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>通道号</source>
        <translation>ChannelNo.</translation>
    </message>
    <message>
        <source>M电极</source>
        <translation>Electrode M</translation>
    </message>
    <message>
        <source>N电极</source>
        <translation>Electrode N</translation>
    </message>
</context>
<context>
    <name>TablePoleModel</name>
    <message>
        <source>电极</source>
        <translation>Electrode</translation>
    </message>
    <message>
        <source>X(m)</source>
        <translation>X(m)</translation>
    </message>
    <message>
        <source>Y(m)</source>
        <translation>Y(m)</translation>
    </message>
</context>
<context>
    <name>WdtMonitorCh</name>
    <message>
        <source>通道号</source>
        <translation>ChInDev</translation>
    </message>
    <message>
        <source>均方差</source>
        <translation>Std</translation>
    </message>
    <message>
        <source>最小值</source>
        <translation>MinValue</translation>
    </message>
    <message>
        <source>最大值</source>
        <translation>MaxValue</translation>
    </message>
</context>
<context>
    <name>WdtSipRes</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>“%1”和“%2”将写入同一个文件“%3”，未写入任何文件！</source>
        <translation>"%1" and "%2" would both be written as "%3"; nothing was written!</translation>
    </message>
    <message>
        <source>显示方式:</source>
        <translation>Display mode:</translation>
    </message>
    <message>
        <source>图形</source>
        <translation>graphic</translation>
    </message>
    <message>
        <source>数据表</source>
        <translation>table</translation>
    </message>
    <message>
        <source>  频率组合:</source>
        <translation>Frequency combination:</translation>
    </message>
    <message>
        <source>  合格率：0%</source>
        <translation>Pass rate: 0%</translation>
    </message>
    <message>
        <source>误差设置</source>
        <translation>Error setting</translation>
    </message>
    <message>
        <source>SRS修复</source>
        <translation>SRS Repair</translation>
    </message>
    <message>
        <source>恢复SRS文件</source>
        <translation>Restore SRS</translation>
    </message>
    <message>
        <source>时序文件目录</source>
        <translation>SMT file directory</translation>
    </message>
    <message>
        <source>导出当前SRS</source>
        <translation>Export the current SRS</translation>
    </message>
    <message>
        <source>导出所有SRS</source>
        <translation>Export all SRS</translation>
    </message>
    <message>
        <source>SRS重计算</source>
        <translation>SRS recalculation</translation>
    </message>
    <message>
        <source>重计算当前SRS</source>
        <translation>SRS-recal current</translation>
    </message>
    <message>
        <source>重计算所有SRS</source>
        <translation>SRS-recal all</translation>
    </message>
    <message>
        <source>导出当前SRS结果</source>
        <translation>Export current result</translation>
    </message>
    <message>
        <source>导出所有SRS结果</source>
        <translation>Export all result</translation>
    </message>
    <message>
        <source>数据表格</source>
        <translation>Data Table</translation>
    </message>
    <message>
        <source>空间视图</source>
        <translation>Space View</translation>
    </message>
    <message>
        <source>多频组合计算</source>
        <translation>Multi-frequency calculate</translation>
    </message>
    <message>
        <source>单频计算</source>
        <translation>Single frequency calculate</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Tips</translation>
    </message>
    <message>
        <source>打开文件“%1”失败！</source>
        <translation>Failed to open "%1"!</translation>
    </message>
    <message>
        <source>  合格率：%.1f%</source>
        <translation>  Pass rate: %.1f%</translation>
    </message>
    <message>
        <source>选择SMT目录</source>
        <translation>Choose SMT file directory</translation>
    </message>
    <message>
        <source>文件“%1”已导出到TXT文件中!</source>
        <translation>The file "%1" is exported to txt file!</translation>
    </message>
    <message>
        <source>文件“%1”导出失败!</source>
        <translation>Failed to export to file "%1"!</translation>
    </message>
    <message>
        <source>%1 打开失败!

</source>
        <translation>%1 open failed!
</translation>
    </message>
    <message>
        <source>%1 导出成功!

</source>
        <translation>%1 Export successful!

</translation>
    </message>
    <message>
        <source>%1 导出失败!

</source>
        <translation>%1 Export failed!

</translation>
    </message>
    <message>
        <source>导出完成！</source>
        <translation>Export completed!</translation>
    </message>
    <message>
        <source>%1 重计算成功!
</source>
        <translation>%1 Recalculation successful
</translation>
    </message>
    <message>
        <source>%1 写入失败!

</source>
        <translation>%1 write failed!

</translation>
    </message>
    <message>
        <source>%1 打开成功!
</source>
        <translation>%1 open successfull!
</translation>
    </message>
    <message>
        <source>%1 重计算失败!
</source>
        <translation>%1 recalculation failed!
</translation>
    </message>
    <message>
        <source>重计算仪器: %1
</source>
        <translation>Recalculation devices: %1
</translation>
    </message>
    <message>
        <source>重计算仪器: 无
</source>
        <translation>Recalculation devices: none
</translation>
    </message>
    <message>
        <source>未计算仪器: %1

</source>
        <translation>UnCalculated devices: %1

</translation>
    </message>
    <message>
        <source>未计算仪器: 无

</source>
        <translation>UnCalculated devices: none

</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>未找到电流数据:
%1</source>
        <translation>Current data not found: %1</translation>
    </message>
    <message>
        <source>组合频率设置</source>
        <translation>Combination frequency setting</translation>
    </message>
    <message>
        <source>单频的组合谐波数:</source>
        <translation>Number of combined harmonics for a single frequency:</translation>
    </message>
    <message>
        <source>输入数据格式不正确！</source>
        <translation>The input format is not correct!</translation>
    </message>
    <message>
        <source>文件%1已被重新计算！</source>
        <translation>File"%1" is recalculated!</translation>
    </message>
    <message>
        <source>SRS文件列表为空！</source>
        <translation>The SRS file list is empty!</translation>
    </message>
    <message>
        <source>重计算已完成！</source>
        <translation>Recalculation completed!</translation>
    </message>
    <message>
        <source>SMT时序文件目录为空！</source>
        <translation>The directory of SMT timing files is empty!</translation>
    </message>
    <message>
        <source>请选择需要进行重计算的SRS文件！</source>
        <translation>Please select the SRS file that requires recalculation!</translation>
    </message>
    <message>
        <source>%1.SRS文件读取失败！</source>
        <translation>Failed to read the %1.SRS file!</translation>
    </message>
    <message>
        <source>文件保存成功！
重计算设备:%1
未计算设备:%2</source>
        <translation>The file has been saved successfully!
Recalculated devices:%1
Uncalculated devices:%2</translation>
    </message>
    <message>
        <source>%1.SRS文件无法从时序重计算！</source>
        <translation>The %1.SRS file cannot be recalculated from the time series!</translation>
    </message>
    <message>
        <source>文件%1打开失败！</source>
        <translation>Failed to open file %1!</translation>
    </message>
    <message>
        <source>文件保存成功！</source>
        <translation>The file has been saved successfully!</translation>
    </message>
    <message>
        <source>输出目录包含原始SRS文件，是否覆盖？</source>
        <translation>The output folder holds the original SRS files. Overwrite them?</translation>
    </message>
    <message>
        <source>已替换的文件：
%1</source>
        <translation>Replaced files:
%1</translation>
    </message>
    <message>
        <source>文件“%1”不完整：第%2字节后的数据缺失</source>
        <translation>File "%1" is incomplete: data after byte %2 are missing</translation>
    </message>
    <message>
        <source>%1个文件中%2个已完成，%3个失败：
%4</source>
        <translation>%2 of %1 files done, %3 failed:
%4</translation>
    </message>
    <message>
        <source>报告文件“%1”无法写入！</source>
        <translation>The report file "%1" cannot be written!</translation>
    </message>
</context>
</TS>
