#include "ScriptedInteraction.h"

int ScriptedInteraction::messageBox(HWND, const std::string& text, const std::string& caption, UINT type)
{
    shown.push_back({text, caption, type});
    if (!answers.empty()) {
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL:
        return IDYES;
    default:
        return IDOK;
    }
}

void ScriptedInteraction::beep(UINT type) { beeps.push_back(type); }

ScriptedInteraction& Scripted()
{
    static ScriptedInteraction instance;
    return instance;
}

namespace {

template <class T>
std::optional<T> Next(std::deque<std::optional<T>>& queue)
{
    if (queue.empty())
        return std::nullopt;
    std::optional<T> next = queue.front();
    queue.pop_front();
    return next;
}

std::vector<std::string> NextFiles(std::deque<std::vector<std::string>>& queue)
{
    if (queue.empty())
        return {};
    std::vector<std::string> next = queue.front();
    queue.pop_front();
    return next;
}

} // namespace

bool ScriptedInteraction::openFiles(HWND, const FileDialogRequest& request, std::vector<std::string>& paths)
{
    fileDialogs.push_back({"open", request});
    const std::vector<std::string> next = NextFiles(files);
    if (next.empty())
        return false;
    paths = next;
    return true;
}

bool ScriptedInteraction::saveFile(HWND, const FileDialogRequest& request, std::string& path)
{
    fileDialogs.push_back({"save", request});
    const std::vector<std::string> next = NextFiles(files);
    if (next.empty())
        return false;
    path = next.front();
    return true;
}

bool ScriptedInteraction::chooseFolder(HWND, const std::string& title, std::string& folder)
{
    folderTitles.push_back(title);
    if (folders.empty())
        return false;
    const std::string next = folders.front();
    folders.pop_front();
    if (next.empty())
        return false;
    folder = next;
    return true;
}

bool ScriptedInteraction::chooseColour(HWND, COLORREF& colour)
{
    colourRequests.push_back(colour);
    const std::optional<COLORREF> next = Next(colours);
    if (!next)
        return false;
    colour = *next;
    return true;
}

bool ScriptedInteraction::chooseFont(HWND, LOGFONT& font)
{
    fontRequests.push_back(font);
    const std::optional<LOGFONT> next = Next(fonts);
    if (!next)
        return false;
    font = *next;
    return true;
}

bool ScriptedInteraction::openOnDesktop(const std::string& fileOrUrl)
{
    opened.push_back(fileOrUrl);
    return desktopOpens;
}
