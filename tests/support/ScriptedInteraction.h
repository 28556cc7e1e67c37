#pragma once
// Stands in for the user: records every message box and beep, and answers
// message boxes from a queue (the first button when the queue is empty).

#include "Interaction.h"

#include <deque>
#include <string>
#include <vector>

class ScriptedInteraction : public Interaction {
public:
    struct Shown {
        std::string text;
        std::string caption;
        UINT type;
    };

    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;
    void beep(UINT type) override;

    void answer(int button) { answers.push_back(button); }
    void clear()
    {
        shown.clear();
        beeps.clear();
        answers.clear();
    }

    std::vector<Shown> shown;
    std::vector<UINT> beeps;
    std::deque<int> answers;
};

// The instance the test main installs.
ScriptedInteraction& Scripted();
