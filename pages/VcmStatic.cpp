#include "pages/VcmStatic.h"

CVcmStatic::CVcmStatic(const VariableInfo* variable) : CVcmCtrl(variable) {}

CVcmStatic::~CVcmStatic() = default;

bool CVcmStatic::Create(const QString& text, uint32_t style, const QRect& rect, QWidget* parent,
                        int id)
{
    setText(text);
    Qt::Alignment align = (style & SS_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    align |= (style & SS_CENTERIMAGE) ? Qt::AlignVCenter : Qt::AlignTop;
    setAlignment(align);
    PlaceWindow(this, style, rect.x(), rect.y(), rect.width(), rect.height(), parent, id);
    return true;
}

int32_t CVcmStatic::GetShownValue() { return 0; }
bool CVcmStatic::WriteValue(int32_t) { return true; }
bool CVcmStatic::ReadValue(int) { return false; }
void CVcmStatic::ShowValue(int32_t) {}
int32_t CVcmStatic::GetEnteredValue() { return 0; }

void CVcmStatic::UpdateStyle()
{
    ApplyStyle(false, false);
}
