#pragma once

#include <QWidget>

#include <optional>

class ReceivedTextView;
class SpeedButton;
struct ViewSettings;

// "Прием": everything received, as text. A tool window owned by the main
// window, so it stays above it; it exists for the whole run and only hides.
class TFormText : public QWidget
{
    Q_OBJECT
public:
    // The receive path it is handed to fills Memo1 and keeps SBShowText and
    // this window's visibility together.
    explicit TFormText(QWidget *owner);

    // Geometry from the view settings read at start-up, if they were.
    void FormCreate(const std::optional<ViewSettings> &saved);
    void SBClearRecClick();

    ReceivedTextView *Memo1;
    SpeedButton *SBClearRec;

signals:
    // The window was closed (close box or from code): FormClose.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
};
