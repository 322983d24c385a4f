#pragma once

class QWidget;

// Progress of a long drive operation on the UI thread. Every operation that
// takes one accepts null and then reports nothing. Texts are UTF-8.
class CProgInterface {
public:
    virtual ~CProgInterface() = default;
    virtual bool Create(QWidget* parent) = 0;
    // Lets pending events run; true once per Cancel request.
    virtual bool CheckCancel() = 0;
    virtual void SetStatus(const char* text) = 0;
    virtual void SetRange(int lower, int upper) = 0;
    virtual void SetStep(int step) = 0;
    virtual int SetPos(int pos) = 0;
    virtual int OffsetPos(int delta) = 0;
    virtual int StepIt() = 0;
};
