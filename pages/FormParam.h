#pragma once

#include <QFont>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "drive/DriveRecords.h"

class CVcmButton;
class CVcmCombo;
class CVcmCtrl;
class CVcmEdit;
class CVcmStatic;
class CVcmSwitch;
class QLabel;
class QScrollBar;
class QWheelEvent;

// Ids of the page's windows: one counter from here, restarted by every build.
constexpr int kFirstControlId = 3000;
// Pixels a wheel notch or a scroll-bar arrow moves the rows.
constexpr int kScrollLine = 28;

// Scroll-bar requests, as the native scroll bar reports them.
enum ScrollCode : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBPOSITION = 4,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7,
};

// The scrolling parameter page: one row of controls per variable record of the
// drive database's first section. It owns every window it creates, scrolls the
// rows vertically, moves the control column when its width changes, passes
// value news to the controls whose conditions test that value, and re-reads
// the controls' values on request. Messages handled (see VcmMessages.h):
//   WM_VCM_VALUE_CHANGED (wParam parameter number)
//   WM_VCM_REFRESH       (wParam VcmReadSource 0, 1 or 2)
// Every window it creates carries the property "controlId".
class CFormParam : public QWidget {
    Q_OBJECT

public:
    explicit CFormParam(QWidget* parent);
    ~CFormParam() override;
    CFormParam(const CFormParam&) = delete;
    CFormParam& operator=(const CFormParam&) = delete;

    // Replaces all rows by those of the records (which must outlive the page's
    // rows). Always true.
    bool BuildForm(const std::deque<VariableInfo>& variables);
    // Destroys every row. Asked for from inside a nested loop (a box of a
    // failed exchange is up, the page is in the middle of its own reads, or a
    // control's handler is still running) it happens once that has unwound.
    void ClearControls();

    // Re-reads the controls (VcmReadSource 0, 1 poll, 2 all from the drive).
    void OnRefresh(int source);
    void OnValueChanged(uint16_t param);
    // A scroll-bar request; false when it did nothing.
    bool OnVScroll(int code, int thumbPosition);
    void OnMouseWheel(int delta);

    int GetContentHeight() const { return m_nContentHeight; }
    int GetPageHeight() const { return m_nPageHeight; }
    int GetScrollPos() const { return m_nScrollPos; }
    bool HasScrollBar() const { return m_bScrollBar; }
    QScrollBar* GetScrollBar() const { return m_pScrollBar; }
    // The client width: the page less its scroll bar.
    int ClientWidth() const;

    const std::vector<CVcmEdit*>& GetEdits() const { return m_vecEdits; }
    const std::vector<CVcmButton*>& GetButtons() const { return m_vecButtons; }
    const std::vector<CVcmCombo*>& GetCombos() const { return m_vecCombos; }
    const std::vector<CVcmSwitch*>& GetSwitches() const { return m_vecSwitches; }
    const std::vector<CVcmStatic*>& GetHeaders() const { return m_vecHeaders; }
    const std::vector<QLabel*>& GetLabels() const { return m_vecLabels; }
    // A clear, re-read or value news still waits for a busy drive.
    bool HasDeferredWork() const
    {
        return m_bClearPending || m_nDeferredSource >= 0 || !m_vecDeferredNews.empty();
    }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* CreateLabel(const std::string& text, Qt::Alignment alignment, const QRect& rect, int id);
    void OnSize(int clientHeight);
    bool UpdateScrollBar();
    void LayoutControls();
    // Moves every row by -d (a positive d moves the rows up).
    void ScrollContents(int d);
    void ScrollBy(int d);
    void OnWheel(const QWheelEvent* event);
    void PlaceScrollBar();
    void SetVScrollStyle(bool on);
    void DestroyControls();
    // Motor-factor fields whose unchanged value was made with an older motor
    // number show it in the factor of the one the cache now holds.
    void ShowInMotorScale();
    void OnScrollBarAction(int action);
    // Value news and re-read requests run now, or once the drive is free;
    // requests that wait together coalesce.
    void QueueValueNews(uint16_t param);
    void QueueRefresh(int source);

    std::vector<CVcmEdit*> m_vecEdits;
    std::vector<CVcmButton*> m_vecButtons;
    std::vector<CVcmCombo*> m_vecCombos;
    std::vector<CVcmSwitch*> m_vecSwitches;
    std::vector<CVcmStatic*> m_vecHeaders;
    std::vector<QLabel*> m_vecLabels;
    QFont m_fontHeader;
    QFont m_fontLabel;
    QFont m_fontControl;
    QFont m_fontCombo;
    int m_nContentHeight = 0;
    int m_nPageHeight = 0;
    bool m_bScrollBar = false;
    int m_nScrollPos = 0;
    int m_nLayoutWidth = 0;

    QScrollBar* m_pScrollBar = nullptr;
    // A clear, a re-read and value news (by parameter number) that wait for
    // the drive to be free.
    bool m_bClearPending = false;
    int m_nDeferredSource = -1;
    std::vector<uint16_t> m_vecDeferredNews;
};
