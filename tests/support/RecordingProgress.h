#pragma once

#include <string>
#include <utility>
#include <vector>

#include "drive/ProgInterface.h"

// A progress interface that records what it is told. `calls` keeps every call
// but StepIt and CheckCancel in order, as text; the fields keep the state a
// progress bar would have. CheckCancel answers true from its cancelAt-th call
// on (counting from 1; 0 never).
class RecordingProgress : public CProgInterface {
public:
    explicit RecordingProgress(int cancelAtCall = 0) : cancelAt(cancelAtCall) {}

    bool Create(QWidget*) override { return true; }
    bool CheckCancel() override
    {
        ++checks;
        return cancelAt > 0 && checks >= cancelAt;
    }
    void SetStatus(const char* text) override
    {
        statuses.emplace_back(text);
        calls.push_back(std::string("status ") + text);
    }
    void SetRange(int l, int u) override
    {
        lower = l;
        upper = u;
        calls.push_back("range " + std::to_string(l) + " " + std::to_string(u));
    }
    void SetStep(int s) override
    {
        step = s;
        calls.push_back("step " + std::to_string(s));
    }
    int SetPos(int p) override
    {
        calls.push_back("pos " + std::to_string(p));
        return std::exchange(pos, p);
    }
    int OffsetPos(int d) override
    {
        calls.push_back("offset " + std::to_string(d));
        return std::exchange(pos, pos + d);
    }
    int StepIt() override
    {
        ++steps;
        return std::exchange(pos, pos + step);
    }

    std::vector<std::string> calls;
    std::vector<std::string> statuses;
    int lower = 0, upper = 100, step = 10, pos = 0;
    int steps = 0;
    int checks = 0;
    int cancelAt;
};
