// A dialog with a content area filled by the subclass above a row with the
// buttons Cancel and OK. The subclass moves its data into its widgets when
// the dialog is shown (UpdateData(false)) and back when OK is pressed
// (UpdateData(true)); Cancel moves nothing.
#pragma once

#include <QDialog>

class QPushButton;
class QShowEvent;

class CDlgOkCancel : public QDialog {
  Q_OBJECT
public:
  explicit CDlgOkCancel(QWidget* parent = nullptr);

  // Builds the layout; call once after construction.
  void Init();

  virtual void CreateContent(QWidget* area) = 0;
  virtual void UpdateData(bool to_data) = 0;
  virtual QString OkText() const;
  virtual QString CancelText() const;

  QPushButton* m_btn_ok = nullptr;
  QPushButton* m_btn_cancel = nullptr;
  bool m_ready = false;

public slots:
  void onBtnOk();
  void onBtnCancel();

protected:
  void showEvent(QShowEvent* event) override;
};
