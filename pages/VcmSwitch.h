#pragma once

#include <QFrame>

#include <memory>
#include <vector>

#include "pages/VcmCtrl.h"

class CToggleStatic;

// A parameter shown as a row of bit cells; a click writes the flipped bit.
class CVcmSwitch : public QFrame, public CVcmCtrl {
    Q_OBJECT
public:
    explicit CVcmSwitch(const VariableInfo* variable);
    ~CVcmSwitch() override;

    // Creates the switch in the page with its cells (disabled for a read-only
    // record).
    bool Create(const QString& text, uint32_t style, const QRect& rect, QWidget* parent, int id);

    int32_t GetShownValue() override;
    bool WriteValue(int32_t value) override;
    bool ReadValue(int source) override;
    void ShowValue(int32_t value) override;
    int32_t GetEnteredValue() override;
    QWidget* Window() override { return this; }

    uint8_t GetBitCount() const { return m_nBitCount; }
    CToggleStatic* GetCell(int i) const;

protected:
    bool event(QEvent* e) override;

private:
    int OnCreate();
    void OnToggle(unsigned bit, int state);

    uint8_t m_nBitCount = 0;
    std::vector<CToggleStatic*> m_pCells;  // children of the switch
    int32_t m_nShownValue = 0;
    bool m_bValueRead = false;
};
