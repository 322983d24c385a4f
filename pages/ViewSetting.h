#pragma once

#include <QSize>
#include <QWidget>

#include <cstdint>

class CFormParam;
class CTarvixMaster;
class QGroupBox;
class QLabel;
class QTabBar;
class QTimer;

// The poll timer: one tick a second, armed again only after the tick's work.
constexpr int kPollTimerId = 2010;
constexpr int kPollPeriodMs = 1000;

// The one view of the main frame: the drive's version reply in the "Drive
// Version" group and the parameter page below it. Runs the poll timer and
// relays the frame's busy, resume and re-read messages:
//   WM_POLL_START  resume polling (or clear the view when the port is closed)
//   WM_POLL_STOP   stop polling
//   WM_VCM_REFRESH re-read request, posted on to the page (wParam VcmReadSource)
// The page is created with the view, hidden and empty, and lives as long as it.
class CViewSetting : public QWidget {
    Q_OBJECT

public:
    explicit CViewSetting(QWidget* parent = nullptr);
    ~CViewSetting() override;
    CViewSetting(const CViewSetting&) = delete;
    CViewSetting& operator=(const CViewSetting&) = delete;

    // After a connect and the read of all parameters: shows the "VR" reply and
    // builds the page. False (nothing changed) when the port is not open.
    bool ShowConnectedDrive();
    // Forgets the shown drive: flag, version text, every row of the page, and
    // the poll timer. Used by the frame on disconnect, close and connect, and
    // when the port is found closed; from inside a nested loop the rows go
    // once it has unwound.
    void ClearShownDrive();

    CFormParam* GetFormParam() const { return m_pFormParam; }
    bool IsDriveShown() const { return m_bDriveShown; }
    bool IsPollTimerActive() const;
    QString GetVersionText() const;

    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnInitialUpdate();
    void OnSize(int cx, int cy);
    void OnPollStart();
    void OnPollStop();
    void OnForwardRefresh(intptr_t source);
    void OnTimer();

    CTarvixMaster* m_pMaster;
    CFormParam* m_pFormParam = nullptr;
    int m_nPageLeft = 0;
    int m_nRightMargin = 0;
    int m_nBottomMargin = 0;
    bool m_bDriveShown = false;
    QTabBar* m_tabCtrl = nullptr;

    QGroupBox* m_pVersionGroup = nullptr;
    QLabel* m_pVersionText = nullptr;
    QWidget* m_pPagePlace = nullptr;
    QTimer* m_pPollTimer = nullptr;
    // A resume that waits for the test-array read to end.
    bool m_bPollStartPending = false;
};
