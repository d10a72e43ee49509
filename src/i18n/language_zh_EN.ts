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
</context>
</TS>
