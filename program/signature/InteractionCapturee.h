#pragma once
// The Interaction of a program signing on several threads without windows:
// what the readers and writers report about the picture a thread has in
// hand is kept for that picture's report; anything else goes to the
// standard error as StderrInteraction writes it.

#include "StderrInteraction.h"

#include <string>

class InteractionCapturee : public StderrInteraction {
public:
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override;

    // While one lives, the calling thread's messages are appended to texte,
    // separated by "; ".
    class Capture {
    public:
        explicit Capture(std::string& texte);
        ~Capture();
        Capture(const Capture&) = delete;
        Capture& operator=(const Capture&) = delete;

    private:
        std::string* m_Precedente;
    };
};
