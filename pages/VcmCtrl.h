#pragma once

#include <QBrush>
#include <QPointer>

#include <cstdint>

#include "drive/DriveRecords.h"
#include "pages/VcmStyle.h"
#include "ui/VcmMessages.h"

class CTarvixMaster;
class QWidget;

// VcmColourState of edits (all four) and combos (0 and 1).
enum : int {
    kColourStateNormal = 0,
    kColourStateChanged = 1,
    kColourStateEdited = 2,
    kColourStateInvalid = 3,
};

// What GetEnteredValue gives for input that does not stand for a value.
constexpr int32_t kInvalidValue = 2147483647;

// The binding of one page control to its parameter descriptor. Every control is
// a Qt widget with this class as its second base, e.g.
//     class CVcmEdit : public QLineEdit, public CVcmCtrl
// The page goes from a control to its widget with Window(), and from a widget
// back to the control with CVcmCtrl::FromWindow (a dynamic_cast; null for
// labels and other widgets). The page's typed lists need neither.
class CVcmCtrl {
public:
    explicit CVcmCtrl(const VariableInfo* variable);
    virtual ~CVcmCtrl();
    CVcmCtrl(const CVcmCtrl&) = delete;
    CVcmCtrl& operator=(const CVcmCtrl&) = delete;

    virtual int32_t GetShownValue() = 0;
    virtual bool WriteValue(int32_t value) = 0;
    virtual bool ReadValue(int source) = 0;
    virtual void ShowValue(int32_t value) = 0;
    virtual int32_t GetEnteredValue() = 0;
    // True if either condition entry tests this parameter number.
    virtual bool DependsOn(uint16_t number);
    // The style adjusted by the descriptor's conditions; reads the tested
    // parameters through the cache.
    virtual uint32_t ApplyConditions(uint32_t style);
    virtual int GetKind();
    virtual int GetFormat();
    virtual uint8_t IsReadOnly();
    virtual uint8_t IsLive();
    virtual uint8_t NotifiesParent();

    // The widget part of the control.
    virtual QWidget* Window() = 0;
    static CVcmCtrl* FromWindow(QWidget* window);

    // Set by the page while it builds the row.
    uint16_t m_nExponentParam = 0;
    QPointer<QWidget> m_pLabel;
    uint8_t m_bHasDetail = 0;
    QPointer<QWidget> m_pDetail;
    // The style that the last application of the conditions produced.
    uint32_t m_dwAppliedStyle = WS_VISIBLE;

    // Applies the conditions' visibility and enabling to the widget and the row
    // label (combos and buttons; the edit and the header have their own).
    void UpdateControlStyle() { ApplyStyle(false, true); }

protected:
    // The shared write: "MA"/"MD", the confirmed answer into the cache, then
    // ShowValue. False when the drive did not confirm, or for a read-only record.
    bool WriteValueToDrive(int32_t value);
    // The shared read by source; false (showing nothing) when the read fails.
    bool ReadValueFromDrive(int source);
    // Reads the bound value by source without showing it.
    bool ObtainValue(int source, int32_t* value);
    // Re-applies the conditions to the window when they give another style:
    // visibility and enabling, the read-only state when asked, and the row's
    // label and detail line along with the window when asked.
    void ApplyStyle(bool readOnlyStep, bool rowWindows);
    // The page (the control's parent window), or null.
    QWidget* ParentPage();

    CTarvixMaster* m_pMaster;
    const VariableInfo* m_pVariable;
    int32_t m_nDefault = 0;
    QBrush m_brNormal;
    QBrush m_brChanged;
    QBrush m_brEdited;
    QBrush m_brInvalid;

private:
    // A source-0 read of a tested parameter: the cache, else the drive.
    bool ReadConditionValue(uint16_t number, int32_t* value);
};
