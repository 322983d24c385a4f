#pragma once

#include <QDialog>

#include <cstdint>

class CGraphCtrlDlg;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The modeless, resizable "Graph" window: the plot window above a row of
// controls (X Inc, Y Inc, Auto Scale, Show Dot, Close). Close, Enter, Escape
// and the close box only hide it; the main frame owns and deletes it.
class CGraphDlg : public QDialog {
    Q_OBJECT

public:
    explicit CGraphDlg(QWidget* parent = nullptr);
    ~CGraphDlg() override;

protected:
    bool event(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    // A control's place, kept as distances from the client edges so the bottom
    // row follows the bottom edge and Close the right edge.
    struct EdgeOffset {
        int32_t left = 0;
        int32_t bottom = 0;
    };

    static EdgeOffset FromLeftBottom(const QWidget* control, int clientHeight);
    void OnInitDialog();
    void OnSize(int cx, int cy);
    void OnChangeXInc();
    void OnChangeYInc();
    void OnAutoScaleClicked();
    void OnShowDotClicked();
    void OnClose();
    intptr_t OnIncChanged(intptr_t xInc, intptr_t yInc);
    // Sends the edit's value to the plot window and shows the increment it took.
    void SendIncrement(QLineEdit* edit, int message);

    CGraphCtrlDlg* m_pGraphCtrl = nullptr;
    int32_t m_nCloseRight = 0;  // 0: not laid out yet
    int32_t m_nCloseBottom = 0;
    EdgeOffset m_yIncEdit;
    EdgeOffset m_yIncLabel;
    EdgeOffset m_xIncEdit;
    EdgeOffset m_xIncLabel;
    EdgeOffset m_autoScale;
    EdgeOffset m_showDot;
    int32_t m_nPlotWidthMargin = 0;
    int32_t m_nPlotHeightMargin = 0;

    QLabel* m_pGraphArea = nullptr;
    QLabel* m_pXIncLabel = nullptr;
    QLineEdit* m_pXInc = nullptr;
    QLabel* m_pYIncLabel = nullptr;
    QLineEdit* m_pYInc = nullptr;
    QPushButton* m_pAutoScale = nullptr;
    QCheckBox* m_pShowDot = nullptr;
    QPushButton* m_pClose = nullptr;
};
