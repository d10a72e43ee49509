<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
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
</TS>
