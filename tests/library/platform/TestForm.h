#pragma once
// A dialog for the framework's tests: a form with one control of most kinds,
// a small child panel, and handlers that record what reached them.

#include "CDialog.h"

#include <functional>
#include <string>
#include <vector>

constexpr UINT kForm = 9001;
constexpr UINT kPanel = 9002;

// Form controls: 100 edit, 101 digits-only edit with auto-buddy spin 102,
// 103 edit, 104 check box, radios 105-107 and 108-109 in two
// groups, 110 frame, 111 notifying static, 112 tab control, 113 slider, OK
// and Cancel.
// Panel (a visible child): edit 100.
class Form : public CDialog {
public:
    explicit Form(UINT id = kForm) : CDialog(id) {}

    std::function<void(CDataExchange*)> exchange;
    std::function<void()> init;
    std::vector<std::string> log;
    bool refuseSpin = false;
    bool swallowEscape = false;
    bool closeOnOk = true;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void OnClicked(int id) override;
    void OnEditChanged(int id) override;
    void OnSelectionChanged(int id) override;
    void OnHScroll(UINT code, int position, QSlider* slider) override;
    BOOL OnSpinDelta(int id, int position, int delta) override;
    BOOL PreTranslateKey(int id, QKeyEvent* event) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT id) override;
};
