#include "gui/toolkit/reason_text.h"

#include <cerrno>
#include <cstring>

#include "gui/toolkit/paths.h"

QString ReasonText::ofPart(ReasonPart part) {
  switch (part) {
    case ReasonPart::None: return tr("数据");
    case ReasonPart::StartOfFile: return tr("文件头");
    case ReasonPart::Version: return tr("版本号");
    case ReasonPart::Measurement: return tr("测量参数");
    case ReasonPart::DeviceRecords: return tr("采集站参数表");
    case ReasonPart::DeviceRecord: return tr("采集站参数");
    case ReasonPart::Electrodes: return tr("电极列表");
    case ReasonPart::SelfPotential: return tr("自然电位数据");
    case ReasonPart::VoltageSpectra: return tr("电压频谱");
    case ReasonPart::CurrentSpectra: return tr("电流频谱");
    case ReasonPart::SingleResult: return tr("单频计算结果");
    case ReasonPart::ComposedResult: return tr("多频组合计算结果");
    case ReasonPart::Gps: return tr("GPS数据");
    case ReasonPart::Gains: return tr("通道增益");
    case ReasonPart::Samples: return tr("采样数据");
  }
  return tr("数据");
}

QString ReasonText::ofSystemError(int err) {
  switch (err) {
    case EACCES: return tr("权限不足");
    case EPERM: return tr("不允许的操作");
    case ENOENT: return tr("文件或文件夹不存在");
    case ENOTDIR: return tr("路径中有一部分不是文件夹");
    case EISDIR: return tr("是文件夹");
    case ENOSPC: return tr("磁盘空间不足");
    case EDQUOT: return tr("超出磁盘配额");
    case EROFS: return tr("只读文件系统");
    case EIO: return tr("输入输出错误");
    case ENAMETOOLONG: return tr("文件名过长");
    case EMFILE:
    case ENFILE: return tr("打开的文件过多");
    default: break;
  }
  return QString::fromLocal8Bit(std::strerror(err));
}

QString ReasonText::of(const Reason& r) {
  const QString file = fromFilePath(r.file);
  // The system's words follow after a colon when there is a system error.
  auto sys = [&r](const QString& text) { return r.sys_error ? tr("%1：%2").arg(text, ofSystemError(r.sys_error)) : text; };
  switch (r.code) {
    case ReasonCode::None: return QString();
    case ReasonCode::Other: return QString::fromUtf8(r.text.c_str());
    case ReasonCode::CannotOpen: return sys(tr("无法打开文件"));
    case ReasonCode::NotValid: return tr("不是有效的文件");
    case ReasonCode::DamagedPart: return tr("%1（第%2字节起）已损坏").arg(ofPart(r.part)).arg(r.offset);
    case ReasonCode::DamagedLine: return tr("第%1行无法读取").arg(r.line);
    case ReasonCode::CannotCreate: return sys(tr("无法在文件夹“%1”中创建文件").arg(file));
    case ReasonCode::CannotWrite: return sys(tr("写入文件“%1”失败").arg(file));
    case ReasonCode::CannotReplace: return sys(tr("无法替换文件“%1”").arg(file));
    case ReasonCode::IsFolder: return tr("“%1”是文件夹").arg(file);
    case ReasonCode::NoFileName: return tr("文件名为空");
    case ReasonCode::BackupFailed: return sys(tr("无法备份原始文件“%1”").arg(file));
    case ReasonCode::NameTaken:
      return tr("输出文件“%1”已由本次写入的“%2”占用").arg(file, fromFilePath(r.other));
    case ReasonCode::NoBaseName: return tr("文件名中没有可用作输出名的部分");
    case ReasonCode::StationCount: return tr("编辑的参数有%1个采集站，文件有%2个").arg(r.count).arg(r.other_count);
    case ReasonCode::StationDiffers: return tr("第%1个采集站的名称或通道数与编辑的文件不同").arg(r.count);
    case ReasonCode::CannotRebuild: return tr("谐波数或电流系数不可用，无法从时序重计算");
    case ReasonCode::NoCurrentSeries: return tr("未找到电流数据“%1”").arg(file);
    case ReasonCode::FieldCount: return tr("第%1行有%2个字段，应为%3个").arg(r.line).arg(r.count).arg(r.other_count);
    case ReasonCode::NulByte: return tr("第%1行含有NUL字节").arg(r.line);
  }
  return QString::fromUtf8(r.text.c_str());
}

QString ReasonText::failureList(const std::vector<std::string>& paths, const std::vector<Reason>& reasons) {
  QStringList lines;
  for (size_t i = 0; i < paths.size(); ++i) {
    const QString why = i < reasons.size() ? of(reasons[i]) : QString();
    const QString path = fromFilePath(paths[i]);
    lines << (why.isEmpty() ? path : tr("%1：%2").arg(path, why));
  }
  return lines.join("\n");
}

QString withReason(const QString& text, const Reason& reason) {
  const QString why = ReasonText::of(reason);
  return why.isEmpty() ? text : text + "\n" + why;
}
