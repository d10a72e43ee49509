#include "gui/toolkit/dlg_ok_cancel.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

CDlgOkCancel::CDlgOkCancel(QWidget* parent) : QDialog(parent) {}

void CDlgOkCancel::Init() {
  if (m_ready) return;
  m_btn_cancel = new QPushButton(CancelText(), this);
  m_btn_cancel->setObjectName("m_btn_cancel");
  m_btn_ok = new QPushButton(OkText(), this);
  m_btn_ok->setObjectName("m_btn_ok");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(m_btn_cancel);
  buttons->addWidget(m_btn_ok);

  auto* area = new QWidget(this);
  area->setObjectName("m_area");
  CreateContent(area);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(area);
  layout->addLayout(buttons);

  setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
  m_btn_ok->setDefault(true);
  connect(m_btn_ok, &QPushButton::clicked, this, &CDlgOkCancel::onBtnOk);
  connect(m_btn_cancel, &QPushButton::clicked, this, &CDlgOkCancel::onBtnCancel);
  m_ready = true;
}

QString CDlgOkCancel::OkText() const { return tr("确  认"); }

QString CDlgOkCancel::CancelText() const { return tr("取  消"); }

void CDlgOkCancel::onBtnOk() {
  UpdateData(true);
  accept();
  close();
}

void CDlgOkCancel::onBtnCancel() {
  reject();
  close();
}

void CDlgOkCancel::showEvent(QShowEvent* event) {
  UpdateData(false);
  QDialog::showEvent(event);
}
