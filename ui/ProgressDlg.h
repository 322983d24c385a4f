#pragma once

#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <vector>

#include "drive/ProgInterface.h"

class QLabel;
class QProgressBar;
class QPushButton;

// Caption string ids of the progress window.
enum : int {
    kProgressCaptionLoading = 315,       // "Loading...", the default
    kProgressCaptionLoadingFile = 316,   // "Loading file..."
    kProgressCaptionSavingToFile = 317,  // "Saving to file..."
};

// Modeless progress window for long drive operations on the UI thread. While
// it is up the windows behind it take no input: its parent's window and every
// window that owns that one, up to the main window. It lets events run
// whenever progress is reported, so its Cancel button works in the middle of
// an operation. Cancel, Escape and the close box only raise a request; the
// window stays until its user deletes it.
//
// Every call sets the numbers at once; the display follows at a human rate
// (at most one repaint per display interval, and the last state once the
// calls pause), so an operation of many short steps does not wait for the
// screen.
class CProgressDlg : public QDialog, public CProgInterface {
    Q_OBJECT

public:
    // captionId: one of the caption string ids above; 0 selects the default.
    explicit CProgressDlg(int captionId = 0);
    ~CProgressDlg() override;

    bool Create(QWidget* parent) override;
    bool CheckCancel() override;
    void SetStatus(const char* text) override;
    void SetRange(int lower, int upper) override;
    void SetStep(int step) override;
    int SetPos(int pos) override;
    int OffsetPos(int delta) override;
    int StepIt() override;

    // Hides the window and gives the owner back its input, as deletion does.
    void DestroyWindow();

public slots:
    void accept() override;
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The bar keeps the rules of the native progress control: 16-bit range,
    // position held inside it, stepping past the upper bound starts over.
    struct BarState {
        int lower = 0;
        int upper = 100;
        int step = 10;
        int pos = 0;
    };

    void PumpEvents();
    int BarSetPos(int pos);
    void BarSetRange(int lower, int upper);
    void UpdatePercent(long long pos);
    // The display catches up with the numbers within one display interval.
    void ShowLater();
    void ShowNow();
    void DisableOwners(QWidget* parent);
    void ReleaseOwner();

    int m_nCaptionId;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    bool m_bCancel = false;
    bool m_bWindow = false;
    // The windows this dialog disabled, innermost first.
    std::vector<QPointer<QWidget>> m_disabledOwners;
    BarState m_bar;
    QString m_status;
    QString m_percent;
    QTimer m_displayTimer;

    QProgressBar* m_pProgress = nullptr;
    QLabel* m_pStatus = nullptr;
    QLabel* m_pPercent = nullptr;
    QPushButton* m_pCancel = nullptr;
};
