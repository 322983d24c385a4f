#pragma once

#include <QPushButton>

#include "pages/VcmCtrl.h"

// Command button: sends its option's command text, or opens the motor list or
// the graph through the main window.
class CVcmButton : public QPushButton, public CVcmCtrl {
    Q_OBJECT
public:
    explicit CVcmButton(const VariableInfo* variable);
    ~CVcmButton() override;

    // Creates the button in the page, disabled for a read-only record.
    bool Create(const QString& caption, uint32_t style, const QRect& rect, QWidget* parent, int id);

    int32_t GetShownValue() override;
    bool WriteValue(int32_t value) override;
    bool ReadValue(int source) override;
    void ShowValue(int32_t value) override;
    int32_t GetEnteredValue() override;
    QWidget* Window() override { return this; }

private:
    void OnClicked();
};
