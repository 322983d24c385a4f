#pragma once

#include <QComboBox>

#include "pages/VcmCtrl.h"

// Drop-down list of a parameter's options; choosing an item writes its value.
class CVcmCombo : public QComboBox, public CVcmCtrl {
    Q_OBJECT
public:
    explicit CVcmCombo(const VariableInfo* variable);
    ~CVcmCombo() override;

    // Creates the combo in the page (disabled for a read-only record) and fills
    // its list; formats 2 and 4 read the listed parameters from the drive.
    bool Create(uint32_t style, const QRect& rect, QWidget* parent, int id);

    int32_t GetShownValue() override;
    bool WriteValue(int32_t value) override;
    bool ReadValue(int source) override;
    void ShowValue(int32_t value) override;
    int32_t GetEnteredValue() override;
    QWidget* Window() override { return this; }

    int GetColourState() const { return m_nState; }

protected:
    void changeEvent(QEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

private:
    void OnCreate();
    // The user chose an item (never a selection made by the program).
    void OnSelChange();
    void CtlColor();

    int32_t m_nState = kColourStateNormal;
};
