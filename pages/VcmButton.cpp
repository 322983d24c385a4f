#include "pages/VcmButton.h"

#include "drive/TarvixMaster.h"
#include "platform/MessageBox.h"
#include "ui/DriveGate.h"
#include "ui/VcmMessages.h"

// Button formats.
namespace {
enum : int {
    kButtonMotorList = 1,
    kButtonGraph = 2,
};
}  // namespace

CVcmButton::CVcmButton(const VariableInfo* variable) : CVcmCtrl(variable)
{
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, [this] { OnClicked(); });
}

CVcmButton::~CVcmButton() = default;

bool CVcmButton::Create(const QString& caption, uint32_t style, const QRect& rect, QWidget* parent,
                        int id)
{
    if (IsReadOnly())
        style |= WS_DISABLED;
    setText(caption);
    PlaceWindow(this, style, rect.x(), rect.y(), rect.width(), rect.height(), parent, id);
    return true;
}

int32_t CVcmButton::GetShownValue() { return 0; }
bool CVcmButton::WriteValue(int32_t) { return false; }
bool CVcmButton::ReadValue(int) { return false; }
void CVcmButton::ShowValue(int32_t) {}
int32_t CVcmButton::GetEnteredValue() { return 0; }

void CVcmButton::OnClicked()
{
    const CDriveGate::Scope action(CDriveGate::kPageLoop);
    // A read-only record sends nothing; a record without options has no command.
    if (IsReadOnly() || m_pVariable->options.empty())
        return;
    CTarvixMaster* master = m_pMaster;
    const int format = GetFormat();
    if (format == kButtonMotorList) {
        SendVcmMessage(GetMainWnd(), WM_SHOW_MOTOR_LIST);
        return;
    }
    // Copied: the exchange's error box may let the page delete this button.
    const std::string command = m_pVariable->options.front().command;
    if (command.empty())
        return;
    if (format == kButtonGraph) {
        if (CDriveGate::Instance().IsBusy(CDriveGate::kTestArrayRead)) {
            host::MessageBox(
                "It's reading graph data. Wait until reading is complete, or press 'Cancel' "
                "button.",
                host::MB_OK);
            return;
        }
        if (master->SendCommand(command.c_str()) == kVcmOk)
            SendVcmMessage(GetMainWnd(), WM_SHOW_GRAPH);
        master->InvalidateParameterCache();
        SendVcmMessage(GetMainWnd(), WM_VCM_REFRESH, kReadFromDrive);
        return;
    }
    if (master->SendCommand(command.c_str()) != kVcmOk)
        return;
    master->InvalidateParameterCache();
    SendVcmMessage(GetMainWnd(), WM_VCM_REFRESH, kReadFromDrive);
}
