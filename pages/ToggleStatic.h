#pragma once

#include <QLabel>

#include <cstdint>

// One cell of a bit switch: shows "0" or "1"; a click flips it and tells the
// switch (WM_VCM_TOGGLE).
class CToggleStatic : public QLabel {
    Q_OBJECT
public:
    explicit CToggleStatic(QWidget* parent);

    uint8_t m_nBit = 0;
    uint8_t m_bState = 0;

    // Shows a state without telling anyone.
    void SetState(uint8_t state);

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    void OnClicked();
};
