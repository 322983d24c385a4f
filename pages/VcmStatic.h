#pragma once

#include <QLabel>

#include "pages/VcmCtrl.h"

// Section header of the page: shows its title and obeys its conditions.
class CVcmStatic : public QLabel, public CVcmCtrl {
    Q_OBJECT
public:
    explicit CVcmStatic(const VariableInfo* variable);
    ~CVcmStatic() override;

    bool Create(const QString& text, uint32_t style, const QRect& rect, QWidget* parent, int id);

    int32_t GetShownValue() override;
    bool WriteValue(int32_t value) override;
    bool ReadValue(int source) override;
    void ShowValue(int32_t value) override;
    int32_t GetEnteredValue() override;
    QWidget* Window() override { return this; }

    // Applies the conditions: visibility and enabling.
    void UpdateStyle();
};
