#pragma once

#include <QLineEdit>

#include "pages/VcmCtrl.h"

// Edit field of a parameter: shows the raw value in the descriptor's display
// format, writes the typed value on Enter.
class CVcmEdit : public QLineEdit, public CVcmCtrl {
    Q_OBJECT
public:
    explicit CVcmEdit(const VariableInfo* variable);
    ~CVcmEdit() override;

    // Creates the field in the page: adds ES_READONLY for a read-only record.
    bool Create(uint32_t style, const QRect& rect, QWidget* parent, int id);

    int32_t GetShownValue() override;
    bool WriteValue(int32_t value) override;
    bool ReadValue(int source) override;
    void ShowValue(int32_t value) override;
    int32_t GetEnteredValue() override;
    QWidget* Window() override { return this; }

    // Applies the conditions: visibility, enabling, read-only, row label and
    // detail line.
    void UpdateStyle();
    // A motor-factor field shows its unchanged value again in the factor of
    // this motor, when its text was made with another one. No exchange, and
    // no news to the page.
    void ShowInMotorScale(int motorNo);

    int GetColourState() const { return m_nState; }

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void OnEnChange();
    void OnEnKillFocus();
    void ApplyTypedValue();
    void RevertText();
    // The text of the unchanged shown value, made anew; not news to the page.
    void SetShownText(const QString& shown);
    // The shown text of a raw value by the display format; a motor-factor
    // field reads the motor number from the drive for it.
    QString FormatValue(int32_t value);
    void ShowDetail(int32_t value);
    // Text colours by the colour state; system colours unless editable.
    void CtlColor();

    int32_t m_nState = kColourStateNormal;
    int32_t m_nShownValue = kInvalidValue;
    int32_t m_nExponent = 0;
    // The text ShowValue or RevertText set last: unchanged, it stands for the
    // shown raw value exactly, whatever the format rounded away.
    QString m_strShownText;
    // The motor number whose factor made the shown text of a motor-factor field.
    int m_nTextMotorNo = 0;
};
