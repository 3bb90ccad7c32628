#pragma once

#include <QWidget>

class QPlainTextEdit;
class SpeedButton;

// "Прием": everything received, as text. A tool window owned by the main
// window, so it stays above it.
class TFormText : public QWidget
{
    Q_OBJECT
public:
    explicit TFormText(QWidget *owner);

    QPlainTextEdit *Memo1;
    SpeedButton *SBClearRec;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
};
