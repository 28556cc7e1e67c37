#include "InteractionCapturee.h"

namespace {

thread_local std::string* t_capture = nullptr;

} // namespace

int InteractionCapturee::messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    if (!t_capture)
        return StderrInteraction::messageBox(owner, text, caption, type);
    if (!t_capture->empty())
        *t_capture += "; ";
    *t_capture += Ligne(text, caption);
    return SilentInteraction::messageBox(owner, text, caption, type);
}

InteractionCapturee::Capture::Capture(std::string& texte) : m_Precedente(t_capture) { t_capture = &texte; }

InteractionCapturee::Capture::~Capture() { t_capture = m_Precedente; }
